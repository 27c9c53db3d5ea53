#include <gtest/gtest.h>

#include "printing/RecordingSurface.h"
#include "printing/qt/PrintTestTools.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

constexpr int kDpi = 300;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (exe_.empty())
            GTEST_SKIP() << "the brindlemark executable is not built";
    }
    Ran Brindlemark(const std::string& args) const
    {
        return RunShell(Quoted(exe_) + " " + args, "QT_QPA_PLATFORM=offscreen");
    }

    const std::string exe_ = BRINDLEMARK_EXE;
    // The sample program folder is copied beside the executable; it is the default home.
    const std::filesystem::path home_ = std::filesystem::path(exe_).parent_path();
};

TEST_F(EndToEnd, PrintsTheSampleWheelToALandscapePdfWithEveryMarkInPlace)
{
    TempDir dir;
    const auto pdf = dir / "LO649.pdf";
    const Ran ran = Brindlemark("print --definition LO649 --wheel LO649-sample.txt --top 0.5 --left -1 --pdf " +
                                Quoted(pdf.string()));
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.err, "Printing 12 Picks On 2 Playslips\nProcessing Complete\n");

    const auto def = ReadDefinitionFile(home_ / "Defs" / "LO649.def");
    ASSERT_TRUE(def.ok());
    RecordingSurface expected;
    FakeStatus status;
    EscapeAtSlip never(status, 0);
    RunPrintJob(RequestFor(home_ / "Defs" / "LO649.def", *def, false, "0.5", "-1"), expected, status, never,
                [&] { return home_ / "wheel" / "LO649-sample.txt"; });
    ASSERT_EQ(expected.marks().size(), 72u);

    std::string error;
    const auto pages = Rasterise(pdf, kDpi, error);
    ASSERT_EQ(pages.size(), 2u) << error;
    const auto [width, height] = PdfPageSize(pdf);
    EXPECT_NEAR(width, 297, 0.1);
    EXPECT_NEAR(height, 210, 0.1);
    for (const auto& m : expected.marks())
        EXPECT_EQ(FindMark(pages[m.sheet - 1], m.x1, m.y1, m.x2, m.y2, kDpi), "") << "sheet " << m.sheet;
}

TEST_F(EndToEnd, MarksVersionAndExitStatuses)
{
    const Ran version = Brindlemark("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "1.0.502\n");

    const Ran marks = Brindlemark("test-pattern --definition LO649 --marks");
    EXPECT_EQ(marks.status, 0);
    EXPECT_EQ(std::count(marks.out.begin(), marks.out.end(), '\n'), 490);
    EXPECT_EQ(marks.err, "Printed 1 Test Playslip\n");

    TempDir dir;
    WriteBytes(dir / "bad.txt", "1,2,3,4,5,6\r\n1,2,3,4,5,six\r\n");
    const Ran refused = Brindlemark("print --definition LO649 --wheel " + Quoted((dir / "bad.txt").string()) +
                                    " --pdf " + Quoted((dir / "x.pdf").string()));
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("bad.txt: line 2"), std::string::npos) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.pdf"));

    const Ran usage = Brindlemark("--home " + Quoted(dir.path().string()) + " print --definition");
    EXPECT_EQ(usage.status, 2);
}

}  // namespace
