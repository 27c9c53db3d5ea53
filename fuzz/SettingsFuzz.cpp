// Settings files are tiny but hand-edited. Besides not crashing: what is read can be stored
// and reads back unchanged, so an offset never drifts from one selection to the next.
#include "FuzzSupport.h"
#include "definitions/MarginSettings.h"

using namespace bm;
using bmfuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    bmfuzz::WriteScratch(bmfuzz::AsText(data, size));
    const auto read = ReadMarginsFile(bmfuzz::ScratchFile().string());
    if (!read.ok()) {
        Require(read.error().message.rfind(bmfuzz::ScratchFile().string(), 0) == 0,
                "a refusal that does not name the file: " + read.error().message);
        return 0;
    }
    const MarginSettings& m = *read;
    (void)OffsetValue(m.top);
    (void)OffsetValue(m.left);
    // WriteMargins refuses texts with a quote; everything else must survive the file.
    if (m.top.find('"') != std::string::npos || m.left.find('"') != std::string::npos)
        return 0;
    bmfuzz::WriteScratch(MarginsFileText(m));
    const auto again = ReadMarginsFile(bmfuzz::ScratchFile().string());
    Require(again.ok(), "the stored text of offsets that were read is refused");
    Require(*again == m, "offsets changed on the way through the file: [" + m.top + "] [" + m.left + "] became [" +
                             again->top + "] [" + again->left + "]");
    return 0;
}
