#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "paper/Paper.h"
#include "paper/PrintSurface.h"

namespace bm {

// How much a printer's marks must be stretched so they land where meant: `sx` across the paper,
// `sy` along its feed, each intended / measured. 1, 1 leaves every mark where it is.
struct Scale {
    double sx = 1, sy = 1;
    bool Identity() const { return sx == 1 && sy == 1; }
    bool operator==(const Scale&) const = default;
};

constexpr double kLeastScale = 0.9, kMostScale = 1.1;

// "SX,SY", each from 0.9 to 1.1; `what` names the source in a refusal ("--scale", a file and line).
Result<Scale> ParseScale(const std::string& text, const std::string& what = "--scale");
// As ParseScale reads it back: "1.0125,0.99".
std::string ScaleText(const Scale& scale);
// As a user reads it: "X 1.013  Y 0.990".
std::string ScaleShown(const Scale& scale);

// The calibration page: three crosshairs, one at the page's top-left, one `across` millimetres to
// its right and one `down` millimetres below it, with a millimetre ruler along each of the two
// distances. Printed portrait on the paper as the printer holds it, so the factors belong to the
// paper's own axes.
struct CalibrationPage {
    float originX = 0, originY = 0;  // centre of the first crosshair, from the printable corner
    float across = 0, down = 0;      // the distances between the centres, whole millimetres
    std::string caption;             // printed under the distances: the printer and paper
};
CalibrationPage CalibrationPageFor(const Paper& paper);
// Draws the page in one sheet and ends nothing; the number of marks drawn. The crosshairs come
// first (two bars each), then the rulers, then the labels: the crosshairs' numbers, the ruler's
// figures every 10 mm, the two distances and the caption.
long long DrawCalibrationPage(const CalibrationPage& page, PrintSurface& surface);

// The factors from the two distances measured on the printed page; a measurement that is not a
// number, not more than 0, or more than a tenth off the intended distance is refused by name.
Result<Scale> ScaleFromMeasured(const CalibrationPage& page, const std::string& measuredAcross,
                                const std::string& measuredDown);

// The factors on one sheet: on a portrait sheet X' = X * sx, Y' = Y * sy. A landscape sheet is the
// paper turned (its right edge feeds first), so there the factors act along the paper's own axes,
// about its top-left corner: Y' = Y * sx, X' = W - (W - X) * sy, W the sheet's width.
struct ScaleOnSheet {
    Scale scale;
    float width = 210;
    bool landscape = false;
    float X(float x) const;
    float Y(float y) const;
};

// Stretches every mark by the printer's factors before it reaches `inner`, after the offsets:
// as ScaleOnSheet says, for the orientation the job sets.
class ScaledSurface : public PrintSurface {
public:
    ScaledSurface(PrintSurface& inner, Scale scale, float sheetWidth) : inner_(inner), on_{scale, sheetWidth, false} {}

    void UseMillimetres() override { inner_.UseMillimetres(); }
    void SetOrientation(Orientation o) override
    {
        on_.landscape = o == Orientation::Landscape;
        inner_.SetOrientation(o);
    }
    void FillBox(float x1, float y1, float x2, float y2) override;
    void OutlineBox(float x1, float y1, float x2, float y2) override;
    void FirstSheetIs(int sheet) override { inner_.FirstSheetIs(sheet); }
    void NextPage() override { inner_.NextPage(); }
    Status EndDocument() override { return inner_.EndDocument(); }
    void AbandonDocument() override { inner_.AbandonDocument(); }
    Destination HandedTo() const override { return inner_.HandedTo(); }

private:
    PrintSurface& inner_;
    ScaleOnSheet on_;
};

// Each printer's factors, kept in the program's settings file (Brindlemark.ini in the program
// folder) as "Calibration.PRINTER=SX,SY" lines beside the program's other choices.
class CalibrationStore {
public:
    explicit CalibrationStore(std::filesystem::path settingsFile) : file_(std::move(settingsFile)) {}

    // Nothing when the printer was never calibrated (or was reset); a stored value that is not
    // two factors from 0.9 to 1.1 is refused naming the file and line.
    Result<std::optional<Scale>> Get(const std::string& printer) const;
    // Keeps the factors (nothing: forgets them), rewriting the file atomically with every other
    // line as it was.
    Status Set(const std::string& printer, const std::optional<Scale>& scale) const;

    static std::string Key(const std::string& printer);

private:
    Result<std::vector<std::string>> Lines() const;

    std::filesystem::path file_;
};

}  // namespace bm
