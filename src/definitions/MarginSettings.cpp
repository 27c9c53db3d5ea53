#include "definitions/MarginSettings.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "definitions/DefinitionFile.h"

namespace bm {

namespace {

constexpr std::uintmax_t kMaxSettingsSize = 64 * 1024;

// Items of the delimited-text format: a quoted item is the text between the quotes, an
// unquoted one runs to the next comma or line end, without surrounding blanks.
std::vector<std::string> ReadItems(const std::string& bytes)
{
    std::vector<std::string> items;
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < n) {
        while (i < n && (blank(bytes[i]) || bytes[i] == '\r' || bytes[i] == '\n'))
            ++i;
        if (i >= n)
            break;
        std::string item;
        if (bytes[i] == '"') {
            const std::size_t close = bytes.find('"', i + 1);
            const std::size_t end = close == std::string::npos ? n : close;
            item = bytes.substr(i + 1, end - i - 1);
            i = close == std::string::npos ? n : close + 1;
        } else {
            std::size_t end = i;
            while (end < n && bytes[end] != ',' && bytes[end] != '\r' && bytes[end] != '\n')
                ++end;
            item = std::string(TrimBlanks(std::string_view(bytes).substr(i, end - i)));
            i = end;
        }
        // Skip to the start of the next item.
        while (i < n && blank(bytes[i]))
            ++i;
        if (i < n && bytes[i] == ',')
            ++i;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

Result<MarginSettings> ReadMarginsFile(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status))
        return MarginSettings{};
    if (std::filesystem::is_directory(status))
        return Error{path + ": is a folder, not a settings file"};
    if (!std::filesystem::is_regular_file(status))
        return Error{path + ": is not a regular file (a FIFO, device or socket), not a settings file"};
    if (std::filesystem::file_size(path, ec) > kMaxSettingsSize)
        return Error{path + ": too large to be a settings file"};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Error{path + ": cannot be opened for reading"};
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const auto items = ReadItems(buffer.str());
    // An empty file yields two empty texts; otherwise the last complete pair counts.
    if (items.empty())
        return MarginSettings{"", ""};
    if (items.size() == 1)
        return Error{path + ": holds only one offset; the file needs the top and the left offset"};
    const std::size_t last = (items.size() / 2) * 2;
    return MarginSettings{items[last - 2], items[last - 1]};
}

namespace {

// Offsets are read and written often, but an unchanged pair is never written again: the
// folder is swept whenever it is used.
void SweepSettings(const ProgramFolder& folder)
{
    SweepWriterLeftovers(folder.settings(), [](std::string_view target) {
        return target.size() == 9 && target.ends_with(".ini") && IsDefinitionName(target.substr(0, 5));
    });
}

}  // namespace

Result<MarginSettings> ReadMargins(const ProgramFolder& folder, const std::string& name)
{
    SweepSettings(folder);
    return ReadMarginsFile(folder.settingsFile(name).string());
}

std::string MarginsFileText(const MarginSettings& m)
{
    return "\"" + m.top + "\"\r\n\"" + m.left + "\"\r\n";
}

Result<bool> WriteMargins(const ProgramFolder& folder, const std::string& name, const MarginSettings& m)
{
    const auto file = folder.settingsFile(name);
    SweepSettings(folder);
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        const auto stored = ReadMarginsFile(file.string());
        if (stored && *stored == m)
            return false;
    }
    // A quote inside a text would end the item early and change what is read back.
    if (m.top.find('"') != std::string::npos || m.left.find('"') != std::string::npos)
        return Error{"an offset cannot contain a double quote"};
    std::filesystem::create_directories(folder.settings(), ec);
    if (ec && !std::filesystem::is_directory(folder.settings()))
        return Error{"cannot create the settings folder " + folder.settings().string() + ": " + ec.message()};
    const Status written = WriteFileAtomically(file, MarginsFileText(m));
    if (!written)
        return written.error();
    return true;
}

std::optional<float> OffsetValue(const std::string& text)
{
    return ParseFloat(text);
}

}  // namespace bm
