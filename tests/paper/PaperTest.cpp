#include <algorithm>
#include <cmath>
#include <cstdio>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "common/OwnSettings.h"
#include "paper/Calibration.h"
#include "paper/Feed.h"
#include "paper/Paper.h"
#include "slip/SheetFit.h"
#include "support/PrintJobSupport.h"
#include "support/TempDir.h"

using namespace bm;
using namespace bmtest;

namespace {

TEST(Paper, ReadsNamedAndOwnSizesAndRefusesTheRestNamingTheOption)
{
    const struct {
        const char* text;
        std::optional<Paper> paper;
    } cases[] = {
        {"A4", Paper{"A4", 210, 297}},
        {"letter", Paper{"Letter", 215.9f, 279.4f}},
        {" LEGAL ", Paper{"Legal", 215.9f, 355.6f}},
        {"82x190", Paper{"", 82, 190}},
        {"190X82", Paper{"", 82, 190}},  // held portrait whichever side comes first
        {"82.5x190", Paper{"", 82.5f, 190}},
        {"210x297", Paper{"", 210, 297}},  // a size of its own, as typed
        {"B5", std::nullopt},
        {"82x", std::nullopt},
        {"x190", std::nullopt},
        {"82x190x3", std::nullopt},
        {"0x190", std::nullopt},
        {"10x190", std::nullopt},
        {"82x5000", std::nullopt},
        {"-82x190", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = ParsePaper(c.text);
        ASSERT_EQ(read.ok(), c.paper.has_value()) << (read ? "" : read.error().message);
        if (read)
            EXPECT_EQ(*read, *c.paper);
        else
            EXPECT_EQ(read.error().message.rfind(std::string("--paper \"") + c.text + "\": ", 0), 0u)
                << read.error().message;
    }
    EXPECT_EQ(PaperOfSize(215.9f, 279.4f), LetterPaper());
    EXPECT_EQ(PaperOfSize(297.1f, 209.8f), A4Paper());
    EXPECT_EQ(PaperOfSize(100, 150), (Paper{"", 100, 150}));
    EXPECT_EQ(PaperName(Paper{"", 82, 190}), "82 x 190 mm");
    EXPECT_EQ(PaperOption(Paper{"", 82.5f, 190}), "82.5x190");
    EXPECT_EQ(PaperMedia(LetterPaper()), "na_letter_8.5x11in");
    EXPECT_EQ(PaperMedia(Paper{"", 82, 190}), "custom_82x190mm_82x190mm");
}

// The refusal names the paper the job is laid out on; a box just inside the paper's far edge
// prints on that paper and is refused on a smaller one. The slip's stored size never refuses.
TEST(SheetFit, RefusesABoxBeyondThePaperNamingItAndNeverTheSlipsOwnSize)
{
    const SlipDefinition vertical = Vertical649(1);
    const Paper slip{"", 82, 190};
    const struct {
        const char* what;
        bool horizontal;
        Paper paper;
        float top, left;
        const char* refusal;  // the end of the message; nothing: it prints
    } cases[] = {
        // The last box of the five panels across ends at 15 + 4 * 35 + 6 * 4.5 + 3 = 185 mm.
        {"A4 landscape", true, A4Paper(), 0, 113, "off the A4 sheet (landscape, 297 x 210 mm)"},
        {"A4 landscape fits", true, A4Paper(), 0, 110, nullptr},
        {"Letter landscape", true, LetterPaper(), 0, 95, "off the Letter sheet (landscape, 279.4 x 215.9 mm)"},
        {"Letter landscape fits", true, LetterPaper(), 0, 94, nullptr},
        {"Legal down", false, LegalPaper(), 320, 0, "off the Legal sheet (portrait, 215.9 x 355.6 mm)"},
        {"Legal down fits", false, LegalPaper(), 300, 0, nullptr},
        {"slip-sized paper", true, slip, 0, 10, "off the 82 x 190 mm sheet (landscape, 190 x 82 mm)"},
        {"slip-sized paper fits", true, slip, 0, 0, nullptr},
        {"slip-sized paper below", true, slip, 50, 0, "off the 82 x 190 mm sheet (landscape, 190 x 82 mm)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SlipDefinition d = c.horizontal ? Horizontal649(1) : vertical;
        // Stored sizes far beyond every paper: no mark is placed by them.
        d.SlipWidth = 500;
        d.SlipHeight = 400;
        const auto off = SheetRefusal(d, c.top, c.left, c.paper);
        if (!c.refusal) {
            EXPECT_FALSE(off.has_value()) << off->message;
            continue;
        }
        ASSERT_TRUE(off.has_value());
        EXPECT_NE(off->message.find(c.refusal), std::string::npos) << off->message;
    }
}

// A calibration that stretches the marks may push the last box off the paper; that is refused
// with the calibration named, as the printer could not print it.
TEST(SheetFit, CountsThePrintersCalibration)
{
    const SlipDefinition d = Horizontal649(1);
    ASSERT_FALSE(SheetRefusal(d, 0, 95, A4Paper()).has_value());
    // Landscape: the paper's feed runs across the sheet from its right edge, so a stretch along the
    // feed moves the left-hand boxes further left.
    ASSERT_FALSE(SheetRefusal(d, 0, 0, A4Paper()).has_value());
    const auto off = SheetRefusal(d, 0, 0, A4Paper(), Scale{1, 1.1});
    ASSERT_TRUE(off.has_value());
    EXPECT_NE(off->message.find("(offsets and calibration included), off the A4 sheet"), std::string::npos)
        << off->message;
    EXPECT_FALSE(SheetRefusal(d, 0, 0, A4Paper(), Scale{1.1, 1}).has_value());
}

// The job lays out on the paper it is given: its refusal names it, and a job on paper that holds
// the slip prints where A4 would have refused.
TEST(PrintJobPaper, TheJobsRefusalFollowsItsPaper)
{
    TempDir dir;
    const SlipDefinition d = Horizontal649(2);
    const auto file = WriteDefinition(dir.path(), "HZ649", d);
    for (const auto& [paper, left, refused] :
         {std::tuple{A4Paper(), "115", true}, std::tuple{LegalPaper(), "115", false},
          std::tuple{Paper{"", 100, 200}, "20", true}}) {
        SCOPED_TRACE(PaperName(paper));
        auto request = RequestFor(file, d, true, "0", left);
        request.paper = paper;
        RecordingSurface surface;
        const JobOutcome outcome = RunUnwatched(request, surface);
        EXPECT_EQ(outcome.end, refused ? JobEnd::Refused : JobEnd::Completed) << outcome.message;
        if (refused)
            EXPECT_NE(outcome.message.find(SheetText(paper, true)), std::string::npos) << outcome.message;
        else
            EXPECT_EQ(surface.marks().size(), 490u);
    }
}

// Calibration comes after the offsets: every corner and size of every mark is multiplied,
// offsets included, on a portrait sheet; on a landscape sheet along the paper's own axes.
TEST(PrintJobScale, ScaleIsAppliedAfterOffsetsToCornersAndSizes)
{
    TempDir dir;
    for (const bool horizontal : {false, true}) {
        SCOPED_TRACE(horizontal ? "landscape" : "portrait");
        SlipDefinition d = Horizontal649(1);
        d.Horizontal = horizontal;
        const auto file = WriteDefinition(dir.path(), horizontal ? "HZ649" : "VT649", d);
        const auto marks = [&](Scale scale) {
            auto request = RequestFor(file, d, true, "3.5", "-2");
            request.scale = scale;
            RecordingSurface surface;
            EXPECT_EQ(RunUnwatched(request, surface).end, JobEnd::Completed);
            return surface.marks();
        };
        const auto plain = marks({}), scaled = marks({1.05, 0.95});
        ASSERT_EQ(plain.size(), scaled.size());
        ASSERT_FALSE(plain.empty());
        const float width = SheetOf(A4Paper(), horizontal).width;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            const auto& p = plain[i];
            const auto& s = scaled[i];
            if (!horizontal) {
                EXPECT_TRUE(std::fabs(s.x1 - p.x1 * 1.05) < 1e-3 && std::fabs(s.x2 - p.x2 * 1.05) < 1e-3 &&
                            std::fabs(s.y1 - p.y1 * 0.95) < 1e-3 && std::fabs(s.y2 - p.y2 * 0.95) < 1e-3)
                    << i;
            } else {
                EXPECT_NEAR(s.y1, p.y1 * 1.05, 1e-3);
                EXPECT_NEAR(s.x1, width - (width - p.x1) * 0.95, 1e-3);
                EXPECT_NEAR(s.x2 - s.x1, (p.x2 - p.x1) * 0.95, 1e-3);
            }
        }
    }
}

TEST(Calibration, FactorsAreReadAndWorkedOutStrictly)
{
    const struct {
        const char* text;
        std::optional<Scale> scale;
    } cases[] = {
        {"1,1", Scale{1, 1}},         {"1.02,0.98", Scale{1.02, 0.98}},
        {"0.9,1.1", Scale{0.9, 1.1}}, {" 1.05 , 1 ", Scale{1.05, 1}},
        {"0.89,1", std::nullopt},     {"1,1.11", std::nullopt},
        {"1", std::nullopt},          {"1,1,1", std::nullopt},
        {"a,1", std::nullopt},        {"1;1", std::nullopt},
        {"", std::nullopt},           {"nan,1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = ParseScale(c.text);
        ASSERT_EQ(read.ok(), c.scale.has_value()) << (read ? "" : read.error().message);
        if (read) {
            EXPECT_NEAR(read->sx, c.scale->sx, 1e-12);
            EXPECT_NEAR(read->sy, c.scale->sy, 1e-12);
            const auto again = ParseScale(ScaleText(*read));
            ASSERT_TRUE(again.ok());
            EXPECT_EQ(*again, *read);
        } else {
            EXPECT_NE(read.error().message.find("--scale"), std::string::npos);
        }
    }

    const CalibrationPage page = CalibrationPageFor(A4Paper());
    EXPECT_EQ(page.across, 180);
    EXPECT_EQ(page.down, 267);
    const auto scale = ScaleFromMeasured(page, "183.6", "264.33");
    ASSERT_TRUE(scale.ok()) << scale.error().message;
    EXPECT_NEAR(scale->sx, 180 / 183.6, 1e-9);
    EXPECT_NEAR(scale->sy, 267 / 264.33, 1e-9);
    const struct {
        const char *across, *down, *refusal;
    } bad[] = {
        {"abc", "267", "The distance across (crosshair 1 to 2) \"abc\" is not a number of millimetres"},
        {"180", "", "The distance down (crosshair 1 to 3) \"\" is not a number of millimetres"},
        {"0", "267", "The distance across (crosshair 1 to 2) \"0\" must be more than 0 mm"},
        {"-180", "267", "must be more than 0 mm"},
        {"180", "200", "The distance down (crosshair 1 to 3) \"200\" is more than a tenth off the 267 mm printed"},
        {"18", "267", "more than a tenth off the 180 mm printed"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.refusal);
        EXPECT_TRUE(HasText(Refusal(ScaleFromMeasured(page, b.across, b.down)), b.refusal));
    }
}

// The calibration page is labelled, with marks as every other line of it: the crosshairs'
// numbers beside them, a figure under every 10 mm of the across ruler and beside the down ruler,
// and the distances and the caption inside the crosshairs' span, on the paper, whatever its size.
TEST(Calibration, ThePageIsLabelled)
{
    for (const Paper& paper : {A4Paper(), LetterPaper(), Paper{"", 82, 190}}) {
        SCOPED_TRACE(PaperName(paper));
        CalibrationPage page = CalibrationPageFor(paper);
        page.caption = "Printer office, paper " + PaperName(paper);
        RecordingSurface surface;
        surface.SetOrientation(Orientation::Portrait);
        DrawCalibrationPage(page, surface);
        const auto& marks = surface.marks();
        const auto inkIn = [&](float x1, float y1, float x2, float y2) {
            return std::count_if(marks.begin() + 6, marks.end(),
                                 [&](const auto& m) { return m.x1 >= x1 && m.x2 <= x2 && m.y1 >= y1 && m.y2 <= y2; });
        };
        const float x = page.originX, y = page.originY;
        // "1", "2" and "3" in the upper right quarter of each crosshair.
        EXPECT_GT(inkIn(x + 1, y - 6.5f, x + 5, y - 0.5f), 2);
        EXPECT_GT(inkIn(x + page.across + 1, y - 6.5f, x + page.across + 5, y - 0.5f), 2);
        EXPECT_GT(inkIn(x + 1, y + page.down - 6.5f, x + 5, y + page.down - 0.5f), 2);
        // "10" under the across ruler, "20" beside the down ruler.
        EXPECT_GT(inkIn(x + 7, y + 13.5f, x + 13, y + 16.5f), 2);
        EXPECT_GT(inkIn(x + 13.5f, y + 18.5f, x + 21, y + 21.5f), 2);
        // The distances and the caption: lines of text between the rulers' figures and crosshair 2.
        EXPECT_GT(inkIn(x + 23, y + 19.5f, x + page.across, y + page.down), 100);
        for (const auto& m : marks) {
            EXPECT_TRUE(m.x1 >= 0 && m.y1 >= 0 && m.x2 <= paper.width && m.y2 <= paper.height)
                << m.x1 << "," << m.y1 << " " << m.x2 << "," << m.y2;
        }
    }
}

// Each printer's factors in the settings file, every other line left as it was; a bad stored
// value is refused naming the file and line, never taken as no calibration.
TEST(CalibrationStore, KeepsEachPrintersFactorsBesideTheOtherChoices)
{
    TempDir dir;
    const auto ini = dir / "Brindlemark.ini";
    WriteBytes(ini, "Definition=LO649.def\r\nPrinter=office\r\n");
    const CalibrationStore store(ini);
    ASSERT_TRUE(store.Get("office").ok());
    EXPECT_FALSE(store.Get("office")->has_value());
    ASSERT_TRUE(store.Set("office", Scale{1.02, 0.985}));
    ASSERT_TRUE(store.Set("odd=name%", Scale{0.95, 1.05}));
    ASSERT_TRUE(store.Set("office", Scale{1.01, 0.99}));
    EXPECT_EQ(ReadBytes(ini), "Definition=LO649.def\r\nPrinter=office\r\nCalibration.office=1.01,0.99\r\n"
                              "Calibration.odd%3Dname%25=0.95,1.05\r\n");
    EXPECT_EQ(**store.Get("office"), (Scale{1.01, 0.99}));
    EXPECT_EQ(**store.Get("odd=name%"), (Scale{0.95, 1.05}));
    EXPECT_FALSE(store.Get("home")->has_value());
    ASSERT_TRUE(store.Set("office", std::nullopt));
    EXPECT_EQ(ReadBytes(ini), "Definition=LO649.def\r\nPrinter=office\r\nCalibration.odd%3Dname%25=0.95,1.05\r\n");
    EXPECT_FALSE(store.Set("office", Scale{1.2, 1}).ok());

    WriteBytes(ini, "Printer=office\r\nCalibration.office=1.5,1\r\n");
    const std::string bad = Refusal(store.Get("office"));
    EXPECT_TRUE(bad.starts_with(ini.string() + ": line 2: the calibration of printer \"office\" \"1.5,1\": ")) << bad;
    EXPECT_FALSE(CalibrationStore(dir / "none.ini").Get("office")->has_value());

    // Two calibrations of one printer: neither is taken, the second is named.
    WriteBytes(ini, "Calibration.office=1.01,0.99\r\nPrinter=office\r\nCalibration.office=1.02,0.98\r\n");
    EXPECT_EQ(Refusal(store.Get("office")),
              ini.string() + ": line 3: the calibration of printer \"office\" is given a second time (first on line "
                             "1); remove one of the two lines");
    EXPECT_FALSE(store.Get("home")->has_value());

    // Any printer name keeps the file the program's own, so the window's other choices are still read.
    WriteBytes(ini, "Printer=office\r\n");
    ASSERT_TRUE(store.Set("B\xC3\xBCro @home", Scale{1.01, 0.99}));
    EXPECT_EQ(**store.Get("B\xC3\xBCro @home"), (Scale{1.01, 0.99}));
    const OwnSettings own = ReadOwnSettings(ini);
    EXPECT_FALSE(own.foreign) << ReadBytes(ini);
    EXPECT_EQ(own.lines.size(), 2u);

    // Whatever else stands in the file's place is neither waited on nor rewritten.
    WriteBytes(ini, "[Printers]\r\noffice = 1.01\r\n");
    EXPECT_FALSE(store.Get("office").ok());
    EXPECT_FALSE(store.Set("office", Scale{1.01, 0.99}).ok());
    EXPECT_EQ(ReadBytes(ini), "[Printers]\r\noffice = 1.01\r\n");
#ifdef _WIN32
    // A device in its place: NUL is one in every folder.
    const CalibrationStore onDevice(dir / "NUL");
    EXPECT_TRUE(HasText(Refusal(onDevice.Get("office")), "is not a settings file of this program"));
    EXPECT_FALSE(onDevice.Set("office", Scale{1.01, 0.99}).ok());
#else
    // A link there leads to another program's file: it is not read, and never rewritten.
    const auto other = dir / "other.conf";
    WriteBytes(other, "zeta=1\n\nalpha=2\n");
    const auto linked = dir / "linked.ini";
    std::filesystem::create_symlink(other, linked);
    const CalibrationStore onLink(linked);
    EXPECT_TRUE(HasText(Refusal(onLink.Get("office")), "is not a settings file of this program"));
    EXPECT_FALSE(onLink.Set("office", Scale{1.01, 0.99}).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(linked));
    EXPECT_EQ(ReadBytes(other), "zeta=1\n\nalpha=2\n");
    const auto fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const CalibrationStore onFifo(fifo);
    EXPECT_TRUE(HasText(Refusal(onFifo.Get("office")), "is not a settings file of this program"));
    EXPECT_FALSE(onFifo.Set("office", Scale{1.01, 0.99}).ok());
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
#endif
}

TEST(Feed, FollowsTheOrientationSent)
{
    const FeedAdvice portrait = FeedFor(false), landscape = FeedFor(true);
    EXPECT_EQ(portrait.leading, SlipEdge::Top);
    EXPECT_EQ(portrait.guide, SlipEdge::Left);
    EXPECT_EQ(portrait.line, "Feed The Slip Top Edge First, Printed Side Up, Left Edge Against The Paper Guide");
    EXPECT_EQ(landscape.leading, SlipEdge::Right);
    EXPECT_EQ(landscape.guide, SlipEdge::Top);
    EXPECT_EQ(landscape.line, "Feed The Slip Right Edge First, Printed Side Up, Top Edge Against The Paper Guide");
}

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
