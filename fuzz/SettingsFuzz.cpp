// Settings files are tiny but hand-edited. Besides not crashing: what is read can be stored
// and reads back unchanged, so an offset never drifts from one selection to the next; and the
// program's own Brindlemark.ini is read line by line as its writers keep it, a printer's
// calibration given twice refused naming the second line, never one of the two taken.
#include <cctype>
#include <set>

#include "FuzzSupport.h"
#include "common/OwnSettings.h"
#include "definitions/MarginSettings.h"
#include "paper/Calibration.h"

using namespace bm;
using bmfuzz::Require;

namespace {

void OffsetsFile(std::string_view text)
{
    bmfuzz::WriteScratch(text);
    const auto read = ReadMarginsFile(bmfuzz::ScratchFile().string());
    if (!read.ok()) {
        Require(read.error().message.rfind(bmfuzz::ScratchFile().string(), 0) == 0,
                "a refusal that does not name the file: " + read.error().message);
        return;
    }
    const MarginSettings& m = *read;
    (void)OffsetValue(m.top);
    (void)OffsetValue(m.left);
    // WriteMargins refuses texts with a quote; everything else must survive the file.
    if (m.top.find('"') != std::string::npos || m.left.find('"') != std::string::npos)
        return;
    bmfuzz::WriteScratch(MarginsFileText(m));
    const auto again = ReadMarginsFile(bmfuzz::ScratchFile().string());
    Require(again.ok(), "the stored text of offsets that were read is refused");
    Require(*again == m, "offsets changed on the way through the file: [" + m.top + "] [" + m.left + "] became [" +
                             again->top + "] [" + again->left + "]");
}

// The printers named by calibration lines, each with the lines that name it.
void ProgramSettingsFile(std::string_view text)
{
    bmfuzz::WriteScratch(text);
    const auto& file = bmfuzz::ScratchFile();
    const OwnSettings own = ReadOwnSettings(file);
    if (own.foreign)
        return;
    std::set<std::string> printers;
    for (const std::string& line : own.lines) {
        const auto eq = line.find('=');
        Require(line.empty() || (eq != std::string::npos && IsSettingsKey(line.substr(0, eq))),
                "a line that is no Key=Value was taken: " + line);
        if (line.rfind("Calibration.", 0) == 0 && eq != std::string::npos)
            printers.insert(line.substr(12, eq - 12));
    }
    for (const std::string& key : printers) {
        // The printer the key names (%XX undone); only keys the store itself writes are asked for.
        std::string printer;
        for (std::size_t i = 0; i < key.size(); ++i) {
            if (key[i] == '%' && i + 2 < key.size() && std::isxdigit(static_cast<unsigned char>(key[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(key[i + 2]))) {
                printer += static_cast<char>(std::stoi(key.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                printer += key[i];
            }
        }
        if (CalibrationStore::Key(printer) != "Calibration." + key)
            continue;
        std::size_t first = 0, second = 0;
        for (std::size_t i = 0; i < own.lines.size() && !second; ++i)
            if (own.lines[i].rfind("Calibration." + key + "=", 0) == 0)
                (first ? second : first) = i + 1;
        const CalibrationStore store(file);
        const auto got = store.Get(printer);
        if (second) {
            Require(!got.ok() &&
                        got.error().message.rfind(file.string() + ": line " + std::to_string(second) + ": ", 0) == 0,
                    "a calibration given twice was taken, or refused without its second line");
            continue;
        }
        if (!got.ok() || !got->has_value())
            continue;
        // Stored again as it was read, it reads back the same to the six significant digits the
        // file keeps (a millionth of the sheet, far below a printer's dot), and stored once more it
        // does not move at all.
        const Scale scale = **got;
        Require(store.Set(printer, scale).ok(), "a calibration that was read cannot be stored");
        const auto again = store.Get(printer);
        Require(again.ok() && again->has_value() && ScaleText(**again) == ScaleText(scale),
                "a calibration changed on its way through the file");
        Require(store.Set(printer, **again).ok(), "a calibration that was read cannot be stored");
        const auto third = store.Get(printer);
        Require(third.ok() && third->has_value() && **third == **again, "a calibration stored twice moved");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = bmfuzz::AsText(data, size);
    OffsetsFile(text);
    ProgramSettingsFile(text);
    return 0;
}
