// Marks files are hand-edited and written by other tools. Besides not crashing: a refusal names
// the file, what is read keeps to the format's limits, and the editor's text of it reads back the
// same, so a save never changes a mark.
#include <cmath>

#include "FuzzSupport.h"
#include "slip/MarkPlacement.h"
#include "slip/SlipMarks.h"

using namespace bm;
using bmfuzz::Require;

namespace {

bool Close(float a, float b)
{
    // The file keeps seven significant digits.
    return a == b || std::fabs(a - b) <= 1e-6f * std::fmax(std::fabs(a), std::fabs(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    bmfuzz::WriteScratch(bmfuzz::AsText(data, size));
    const auto read = ReadSlipMarks(bmfuzz::ScratchFile());
    if (!read.ok()) {
        Require(read.error().message.rfind(bmfuzz::ScratchFile().string(), 0) == 0,
                "a refusal that does not name the file: " + read.error().message);
        return 0;
    }
    const SlipMarks& m = *read;
    Require(m.width >= kSmallestMark && m.width <= kFullMark && m.height >= kSmallestMark && m.height <= kFullMark,
            "a mark size outside 10 to 100 accepted");
    Require(m.extras.size() <= static_cast<std::size_t>(kMaxExtraMarks), "too many extra marks accepted");
    for (const ExtraMark& e : m.extras) {
        Require(!ExtraNameFault(e.name), "a name the file cannot keep was accepted: " + e.name);
        Require(e.width > 0 && e.height > 0 && e.left >= 0 && e.top >= 0, "a size of 0 or a negative place accepted");
        const BoxRect sized = SizedMark(ExtraRect(e, 0, 0), m.width, m.height);
        Require(sized.x1 <= sized.x2 && sized.y1 <= sized.y2, "a sized mark turned inside out");
    }
    bmfuzz::WriteScratch(SlipMarksText(m));
    const auto again = ReadSlipMarks(bmfuzz::ScratchFile());
    Require(again.ok(),
            "the written text of accepted marks is refused: " + (again.ok() ? std::string() : again.error().message));
    Require(again->width == m.width && again->height == m.height && again->extras.size() == m.extras.size(),
            "the marks changed on the way through the file");
    for (std::size_t i = 0; i < m.extras.size(); ++i) {
        const ExtraMark &a = m.extras[i], &b = again->extras[i];
        Require(a.name == b.name && Close(a.left, b.left) && Close(a.top, b.top) && Close(a.width, b.width) &&
                    Close(a.height, b.height),
                "extra mark " + a.name + " changed on the way through the file");
    }
    return 0;
}
