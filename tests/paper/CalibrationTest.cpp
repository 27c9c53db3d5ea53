#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "paper/Calibration.h"
#include "support/PrintJobSupport.h"
#include "support/TempDir.h"

using namespace bm;
using namespace bmtest;

namespace {

// A printer whose feed stretches the paper by `feed` and whose carriage stretches it by
// `across`, about the paper's top-left corner. A landscape page arrives turned on its portrait
// paper, right edge first: (X, Y) on the page lands at (Y, W - X) on the paper. It keeps where
// each mark landed, in millimetres of the paper.
class StretchingPrinter : public RecordingSurface {
public:
    StretchingPrinter(Paper paper, double across, double feed) : paper_(paper), across_(across), feed_(feed) {}

    void SetOrientation(Orientation o) override
    {
        landscape_ = o == Orientation::Landscape;
        RecordingSurface::SetOrientation(o);
    }
    void FillBox(float x1, float y1, float x2, float y2) override
    {
        const auto [ax, ay] = Land(x1, y1);
        const auto [bx, by] = Land(x2, y2);
        landed.push_back({std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)});
    }

    struct Spot {
        double x1, y1, x2, y2;
    };
    std::vector<Spot> landed;

    // Where a mark meant for (x, y) on the page belongs on the paper.
    std::pair<double, double> OnPaper(double x, double y) const
    {
        return landscape_ ? std::pair{y, paper_.height - x} : std::pair{x, y};
    }

private:
    std::pair<double, double> Land(double x, double y) const
    {
        const auto [px, py] = OnPaper(x, y);
        return {px * across_, py * feed_};
    }

    Paper paper_;
    double across_, feed_;
    bool landscape_ = false;
};

// A user's ruler reads to a twentieth of a millimetre at best.
std::string Measured(double mm)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::round(mm * 20) / 20);
    return text;
}

// A printer that stretches the page by known factors prints the calibration page; the distances
// between its crosshairs, as they came out, give the factors, which are kept for the printer.
// After that every mark of every box, on a portrait and on a landscape (turned) page, lands
// within 0.1 mm of where it belongs; uncalibrated, the far boxes were millimetres off.
TEST(Calibration, AStretchingPrinterCalibratedFromItsOwnCrosshairsPutsEveryMarkInItsBox)
{
    TempDir dir;
    const struct {
        Paper paper;
        double across, feed;
    } printers[] = {{A4Paper(), 1.0125, 0.982}, {LetterPaper(), 0.97, 1.035}, {Paper{"", 100, 220}, 1.0, 1.06}};
    for (const auto& printer : printers) {
        SCOPED_TRACE(PaperName(printer.paper));
        StretchingPrinter calibrationRun(printer.paper, printer.across, printer.feed);
        const CalibrationPage page = CalibrationPageFor(printer.paper);
        calibrationRun.SetOrientation(Orientation::Portrait);
        DrawCalibrationPage(page, calibrationRun);
        // The first six marks are the three crosshairs' bars; a crosshair's centre is where they cross.
        const auto centre = [&](int n) {
            const auto& across = calibrationRun.landed[static_cast<std::size_t>(2 * n)];
            const auto& down = calibrationRun.landed[static_cast<std::size_t>(2 * n + 1)];
            return std::pair{(down.x1 + down.x2) / 2, (across.y1 + across.y2) / 2};
        };
        const auto [x0, y0] = centre(0);
        const double acrossMm = centre(1).first - x0, downMm = centre(2).second - y0;
        EXPECT_NEAR(acrossMm, page.across * printer.across, 1e-3);
        const auto scale = ScaleFromMeasured(page, Measured(acrossMm), Measured(downMm));
        ASSERT_TRUE(scale.ok()) << scale.error().message;
        const CalibrationStore store(dir / "Brindlemark.ini");
        ASSERT_TRUE(store.Set("office", *scale));
        const auto kept = store.Get("office");
        ASSERT_TRUE(kept.ok() && kept->has_value());

        for (const bool horizontal : {false, true}) {
            SCOPED_TRACE(horizontal ? "landscape" : "portrait");
            SlipDefinition d = Horizontal649(2);
            d.Horizontal = horizontal;
            const auto file = WriteDefinition(dir.path(), "ST649", d);
            auto request = RequestFor(file, d, true, "2", "1.5");
            request.paper = printer.paper;
            request.scale = **kept;
            StretchingPrinter calibrated(printer.paper, printer.across, printer.feed);
            const JobOutcome outcome = RunUnwatched(request, calibrated);
            if (outcome.end == JobEnd::Refused)
                continue;  // the slip does not fit this paper turned this way
            ASSERT_EQ(outcome.end, JobEnd::Completed) << outcome.message;
            request.scale = {};
            RecordingSurface meant;
            ASSERT_EQ(RunUnwatched(request, meant).end, JobEnd::Completed);
            ASSERT_EQ(meant.marks().size(), calibrated.landed.size());
            ASSERT_EQ(meant.marks().size(), 490u);
            double worst = 0;
            for (std::size_t i = 0; i < calibrated.landed.size(); ++i) {
                const auto& m = meant.marks()[i];
                const auto [ax, ay] = calibrated.OnPaper(m.x1, m.y1);
                const auto [bx, by] = calibrated.OnPaper(m.x2, m.y2);
                const auto& l = calibrated.landed[i];
                for (const double off : {l.x1 - std::min(ax, bx), l.y1 - std::min(ay, by), l.x2 - std::max(ax, bx),
                                         l.y2 - std::max(ay, by)})
                    worst = std::max(worst, std::fabs(off));
            }
            EXPECT_LT(worst, 0.1);
        }
    }
}

}  // namespace
