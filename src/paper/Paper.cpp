#include "paper/Paper.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/Numbers.h"

namespace bm {

namespace {

// Smaller than a slip, larger than any office printer takes.
constexpr float kSmallestSide = 20, kLargestSide = 1200;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const Paper kNamed[] = {{"A4", 210, 297}, {"Letter", 215.9f, 279.4f}, {"Legal", 215.9f, 355.6f}};

}  // namespace

Paper A4Paper()
{
    return kNamed[0];
}
Paper LetterPaper()
{
    return kNamed[1];
}
Paper LegalPaper()
{
    return kNamed[2];
}

Paper PaperOfSize(float width, float height)
{
    const float w = std::min(width, height), h = std::max(width, height);
    for (const Paper& p : kNamed)
        if (std::fabs(p.width - w) <= 0.5f && std::fabs(p.height - h) <= 0.5f)
            return p;
    return Paper{"", w, h};
}

Result<Paper> ParsePaper(const std::string& text, const std::string& what)
{
    const std::string trimmed(TrimBlanks(text));
    for (const Paper& p : kNamed)
        if (Lower(trimmed) == Lower(p.name))
            return p;
    const auto refuse = [&](const std::string& why) {
        return Error{what + " \"" + text + "\": " + why +
                     "; give A4, Letter, Legal or WIDTHxHEIGHT in millimetres such as 82x190"};
    };
    const std::size_t x = Lower(trimmed).find('x');
    if (x == std::string::npos)
        return refuse("not a paper size");
    const auto w = ParseFloat(std::string_view(trimmed).substr(0, x));
    const auto h = ParseFloat(std::string_view(trimmed).substr(x + 1));
    if (!w || !h)
        return refuse("not a paper size");
    for (float side : {*w, *h})
        if (side < kSmallestSide || side > kLargestSide)
            return refuse("each side must be from " + ShortestText(kSmallestSide) + " to " +
                          ShortestText(kLargestSide) + " mm");
    return Paper{"", std::min(*w, *h), std::max(*w, *h)};
}

std::string PaperName(const Paper& paper)
{
    return paper.name.empty() ? ShortestText(paper.width) + " x " + ShortestText(paper.height) + " mm" : paper.name;
}

std::string PaperOption(const Paper& paper)
{
    return paper.name.empty() ? ShortestText(paper.width) + "x" + ShortestText(paper.height) : paper.name;
}

std::string PaperMedia(const Paper& paper)
{
    if (paper.name == "A4")
        return "iso_a4_210x297mm";
    if (paper.name == "Letter")
        return "na_letter_8.5x11in";
    if (paper.name == "Legal")
        return "na_legal_8.5x14in";
    const std::string size = ShortestText(paper.width) + "x" + ShortestText(paper.height) + "mm";
    return "custom_" + size + "_" + size;
}

Sheet SheetOf(const Paper& paper, bool horizontal)
{
    return horizontal ? Sheet{paper.height, paper.width, true} : Sheet{paper.width, paper.height, false};
}

std::string SheetText(const Paper& paper, bool horizontal)
{
    const Sheet s = SheetOf(paper, horizontal);
    return "the " + PaperName(paper) + " sheet (" + (horizontal ? "landscape, " : "portrait, ") +
           ShortestText(s.width) + " x " + ShortestText(s.height) + " mm)";
}

}  // namespace bm
