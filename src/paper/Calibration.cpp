#include "paper/Calibration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "common/OwnSettings.h"
#include "common/ShownText.h"
#include "paper/BlockText.h"

namespace bm {

namespace {

constexpr float kArm = 6, kLine = 0.3f, kTick = 0.2f;

std::string Factor(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

bool InRange(double v)
{
    // Read from text such as "1.1", which lies a hair above 1.1 as a double.
    return v >= kLeastScale - 1e-9 && v <= kMostScale + 1e-9;
}

void Cross(PrintSurface& s, float x, float y, long long& marks)
{
    s.FillBox(x - kArm, y - kLine / 2, x + kArm, y + kLine / 2);
    s.FillBox(x - kLine / 2, y - kArm, x + kLine / 2, y + kArm);
    marks += 2;
}

// A ruler from `from` for `length` millimetres, ticks every millimetre, longer every 5 and 10;
// the first `skip` millimetres are left out, clear of the other ruler.
void Ruler(PrintSurface& s, float fromX, float fromY, float length, bool acrossPage, int skip, long long& marks)
{
    const auto bar = [&](float along1, float side1, float along2, float side2) {
        if (acrossPage)
            s.FillBox(fromX + along1, fromY + side1, fromX + along2, fromY + side2);
        else
            s.FillBox(fromX + side1, fromY + along1, fromX + side2, fromY + along2);
        ++marks;
    };
    bar(static_cast<float>(skip), 0, length, kTick);
    for (int mm = skip; mm <= static_cast<int>(length); ++mm) {
        const float tick = mm % 10 == 0 ? 5.0f : mm % 5 == 0 ? 3.5f : 2.0f;
        bar(static_cast<float>(mm) - kTick / 2, 0, static_cast<float>(mm) + kTick / 2, tick);
    }
}

std::string Escaped(const std::string& printer)
{
    std::string out;
    for (const char c : printer) {
        // Every other character stays a settings key's, so the file still reads as the program's own.
        if (c == '%' || !IsSettingsKey(std::string_view(&c, 1))) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

Result<Scale> ParseScale(const std::string& text, const std::string& what)
{
    const auto refuse = [&](const std::string& why) {
        return Error{what + " \"" + ShownText(text) + "\": " + why +
                     "; give two factors SX,SY, each from 0.9 to 1.1, such as 1.02,0.985"};
    };
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos)
        return refuse("not two factors");
    const auto sx = ParseDouble(std::string_view(text).substr(0, comma));
    const auto sy = ParseDouble(std::string_view(text).substr(comma + 1));
    if (!sx || !sy)
        return refuse("not two factors");
    if (!InRange(*sx) || !InRange(*sy))
        return refuse("a factor is out of range");
    return Scale{*sx, *sy};
}

std::string ScaleText(const Scale& scale)
{
    return Factor(scale.sx) + "," + Factor(scale.sy);
}

std::string ScaleShown(const Scale& scale)
{
    char text[64];
    std::snprintf(text, sizeof text, "X %.4f  Y %.4f", scale.sx, scale.sy);
    return text;
}

CalibrationPage CalibrationPageFor(const Paper& paper)
{
    // Room for the crosshair's arms and the ruler inside the paper, however small it is.
    const float margin = std::min(15.0f, std::min(paper.width, paper.height) * 0.15f);
    return CalibrationPage{
        margin, margin, std::floor(paper.width - 2 * margin), std::floor(paper.height - 2 * margin), {}};
}

long long DrawCalibrationPage(const CalibrationPage& page, PrintSurface& surface)
{
    long long marks = 0;
    Cross(surface, page.originX, page.originY, marks);
    Cross(surface, page.originX + page.across, page.originY, marks);
    Cross(surface, page.originX, page.originY + page.down, marks);
    // Clear of the arms, so a crosshair's centre is plain to see.
    const float acrossRuler = page.originY + kArm + 2, downRuler = page.originX + kArm + 2;
    const int downSkip = static_cast<int>(2 * kArm + 4);
    Ruler(surface, page.originX, acrossRuler, page.across, true, 0, marks);
    Ruler(surface, downRuler, page.originY, page.down, false, downSkip, marks);

    // The crosshairs' numbers in their upper right quarters, as the dialog names them.
    const std::pair<float, float> centres[] = {{page.originX, page.originY},
                                               {page.originX + page.across, page.originY},
                                               {page.originX, page.originY + page.down}};
    for (int i = 0; i < 3; ++i)
        marks += DrawBlockText(surface, centres[i].first + 1.5f, centres[i].second - kArm, 3, std::to_string(i + 1));
    // The figures every 10 mm, below the across ruler's ticks and beside the down ruler's.
    constexpr float kFigure = 2;
    for (int mm = 10; mm <= static_cast<int>(page.across); mm += 10) {
        const std::string figure = std::to_string(mm);
        marks += DrawBlockText(surface, page.originX + static_cast<float>(mm) - BlockTextWidth(kFigure, figure) / 2,
                               acrossRuler + 6, kFigure, figure);
    }
    for (int mm = (downSkip + 9) / 10 * 10; mm <= static_cast<int>(page.down); mm += 10)
        marks += DrawBlockText(surface, downRuler + 6, page.originY + static_cast<float>(mm) - kFigure / 2, kFigure,
                               std::to_string(mm));
    // What to measure, and on what, inside the crosshairs' span whatever the paper's size.
    const std::string lines[] = {"Crosshair 1 to 2: " + ShortestText(page.across) + " mm across",
                                 "Crosshair 1 to 3: " + ShortestText(page.down) + " mm down",
                                 "Measure between the centres", page.caption};
    const float left = downRuler + 16, room = page.originX + page.across - 2 - left;
    float y = acrossRuler + 12;
    for (const std::string& line : lines) {
        if (line.empty() || room <= 0)
            continue;
        const float height = std::min(3.5f, 3.5f * room / BlockTextWidth(3.5f, line));
        marks += DrawBlockText(surface, left, y, height, line);
        y += 2 * height;
    }
    return marks;
}

Result<Scale> ScaleFromMeasured(const CalibrationPage& page, const std::string& measuredAcross,
                                const std::string& measuredDown)
{
    double factors[2] = {1, 1};
    const struct {
        const std::string& text;
        float intended;
        const char* name;
    } distances[] = {{measuredAcross, page.across, "across (crosshair 1 to 2)"},
                     {measuredDown, page.down, "down (crosshair 1 to 3)"}};
    for (int i = 0; i < 2; ++i) {
        const auto& d = distances[i];
        const std::string head = "The distance " + std::string(d.name) + " \"" + ShownText(d.text) + "\"";
        const auto measured = ParseDouble(d.text);
        if (!measured)
            return Error{head + " is not a number of millimetres (for example " + ShortestText(d.intended) + " or " +
                         ShortestText(d.intended - 0.5f) + ")"};
        if (*measured <= 0)
            return Error{head + " must be more than 0 mm"};
        factors[i] = d.intended / *measured;
        if (!InRange(factors[i]))
            return Error{head + " is more than a tenth off the " + ShortestText(d.intended) +
                         " mm printed; measure again between the centres of the crosshairs"};
    }
    return Scale{factors[0], factors[1]};
}

float ScaleOnSheet::X(float x) const
{
    return landscape ? static_cast<float>(width - (width - x) * scale.sy) : static_cast<float>(x * scale.sx);
}

float ScaleOnSheet::Y(float y) const
{
    return static_cast<float>(y * (landscape ? scale.sx : scale.sy));
}

void ScaledSurface::FillBox(float x1, float y1, float x2, float y2)
{
    inner_.FillBox(on_.X(x1), on_.Y(y1), on_.X(x2), on_.Y(y2));
}

void ScaledSurface::OutlineBox(float x1, float y1, float x2, float y2)
{
    inner_.OutlineBox(on_.X(x1), on_.Y(y1), on_.X(x2), on_.Y(y2));
}

std::string CalibrationStore::Key(const std::string& printer)
{
    return "Calibration." + Escaped(printer);
}

Result<std::vector<std::string>> CalibrationStore::Lines() const
{
    OwnSettings own = ReadOwnSettings(file_);
    if (own.foreign)
        return Error{file_.string() + ": is not a settings file of this program; it was left as it is"};
    return std::move(own.lines);
}

Result<std::optional<Scale>> CalibrationStore::Get(const std::string& printer) const
{
    const auto lines = Lines();
    if (!lines)
        return lines.error();
    const std::string key = Key(printer) + "=";
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if ((*lines)[i].rfind(key, 0) != 0)
            continue;
        // Two calibrations of one printer: taking either would be a guess.
        if (first)
            return Error{file_.string() + ": line " + std::to_string(i + 1) + ": the calibration of printer \"" +
                         printer + "\" is given a second time (first on line " + std::to_string(*first + 1) +
                         "); remove one of the two lines"};
        first = i;
    }
    if (!first)
        return std::optional<Scale>();
    auto scale =
        ParseScale((*lines)[*first].substr(key.size()), file_.string() + ": line " + std::to_string(*first + 1) +
                                                            ": the calibration of printer \"" + printer + "\"");
    if (!scale)
        return scale.error();
    return std::optional<Scale>(*scale);
}

Status CalibrationStore::Set(const std::string& printer, const std::optional<Scale>& scale) const
{
    if (scale && (!InRange(scale->sx) || !InRange(scale->sy)))
        return Error{"The calibration " + ScaleText(*scale) + " is out of range (0.9 to 1.1)"};
    auto lines = Lines();
    if (!lines)
        return lines.error();
    const std::string key = Key(printer) + "=";
    std::vector<std::string> kept;
    bool placed = false;
    for (std::string& line : *lines) {
        if (line.rfind(key, 0) == 0) {
            if (scale && !placed)
                kept.push_back(key + ScaleText(*scale));
            placed = true;
            continue;
        }
        kept.push_back(std::move(line));
    }
    while (!kept.empty() && kept.back().empty())
        kept.pop_back();
    if (scale && !placed)
        kept.push_back(key + ScaleText(*scale));
    std::string text;
    for (const std::string& line : kept)
        text += line + "\r\n";
    return WriteFileAtomically(file_, text);
}

}  // namespace bm
