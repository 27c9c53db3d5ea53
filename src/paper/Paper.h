#pragma once

#include <string>

#include "common/Result.h"

namespace bm {

// The paper a job is laid out on, as the printer holds it: portrait, width across, height along
// the feed, in millimetres. `name` is "A4", "Letter", "Legal" or empty for a size of its own.
struct Paper {
    std::string name = "A4";
    float width = 210, height = 297;
    bool operator==(const Paper&) const = default;
};

Paper A4Paper();
Paper LetterPaper();
Paper LegalPaper();

// "A4", "Letter", "Legal" (any case) or "WxH" in millimetres ("82x190"); the two sides may come
// in either order, the paper is always held portrait. `what` names the source in a refusal.
Result<Paper> ParsePaper(const std::string& text, const std::string& what = "--paper");
// A named size whose sides are within half a millimetre of these (a printer's paper in hundredths
// of a millimetre or points), else a paper of its own size.
Paper PaperOfSize(float width, float height);

// As a user reads it: "A4", "82 x 190 mm".
std::string PaperName(const Paper& paper);
// As --paper takes it: "A4", "82x190".
std::string PaperOption(const Paper& paper);
// The IPP media keyword a printer is asked for: "iso_a4_210x297mm", "custom_82x190mm_82x190mm".
std::string PaperMedia(const Paper& paper);

// The page a definition is laid out on: the paper, turned for a horizontal definition.
struct Sheet {
    float width = 210, height = 297;
    bool landscape = false;
};
Sheet SheetOf(const Paper& paper, bool horizontal);
// "the A4 sheet (portrait, 210 x 297 mm)", "the 82 x 190 mm sheet (landscape, 190 x 82 mm)".
std::string SheetText(const Paper& paper, bool horizontal);

}  // namespace bm
