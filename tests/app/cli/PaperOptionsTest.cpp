#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/CatalogueSupport.h"
#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

std::vector<std::vector<double>> Marks(const std::string& lines)
{
    std::vector<std::vector<double>> marks;
    std::istringstream in(lines);
    for (double sheet, x1, y1, x2, y2; in >> sheet >> x1 >> y1 >> x2 >> y2;)
        marks.push_back({x1, y1, x2, y2});
    return marks;
}

// --paper and --scale for print and test-pattern: the paper decides what is refused (naming it),
// --scale stretches every mark after the offsets, a stored printer calibration never reaches
// --marks or --pdf, and bad values are refused naming the option before anything is drawn.
TEST(PaperOptions, PaperAndScaleOnTheCommandLine)
{
    TempDir home;
    home.makeProgramFolder();
    SlipDefinition vertical = Horizontal649(1);
    vertical.Horizontal = false;
    vertical.PanelsAcross = 1;
    vertical.TotalPanels = 1;
    WriteDefinition(home / "Defs", "VT649", vertical);
    WriteDefinition(home / "Defs", "HZ649", Horizontal649(2));
    // A calibration kept for a printer: --marks and --pdf apply none.
    WriteBytes(home / "Brindlemark.ini", "Calibration.office=1.05,0.95\r\n");

    const ProgramRun plain = RunInProcess(home.path(), {"test-pattern", "--definition", "VT649", "--marks", "--top", "2", "--left", "1"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const ProgramRun scaled = RunInProcess(home.path(), {"test-pattern", "--definition", "VT649", "--marks", "--top", "2",
                                                         "--left", "1", "--scale", "1.05,0.95"});
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    const auto p = Marks(plain.out), s = Marks(scaled.out);
    ASSERT_EQ(p.size(), 49u);
    ASSERT_EQ(s.size(), p.size());
    for (std::size_t i = 0; i < p.size(); ++i)
        for (std::size_t j = 0; j < 4; ++j)
            EXPECT_NEAR(s[i][j], p[i][j] * (j % 2 ? 0.95 : 1.05), 0.0015) << i << " " << j;

    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;  // the start of stderr
        const char* says = "";  // somewhere in it
    } cases[] = {
        {{"test-pattern", "--definition", "HZ649", "--marks", "--left", "115"}, 2, "brindlemark: ",
         "off the A4 sheet (landscape, 297 x 210 mm)"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--left", "115", "--paper", "Legal"}, 0,
         "Printed 1 Test Playslip\n"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--paper", "82x150"}, 2, "brindlemark: ",
         "off the 82 x 150 mm sheet (landscape, 150 x 82 mm)"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--paper", "B5"}, 2,
         "brindlemark test-pattern: --paper \"B5\": not a paper size; give A4, Letter, Legal or WIDTHxHEIGHT"},
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--marks", "--scale", "1.2,1"}, 2,
         "brindlemark print: --scale \"1.2,1\": a factor is out of range; give two factors SX,SY, each from 0.9 to 1.1"},
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--marks", "--scale", "1"}, 2,
         "brindlemark print: --scale \"1\": not two factors"},
        {{"test-pattern", "--definition", "HZ649", "--marks", "--paper", "A4", "--paper", "Letter"}, 2,
         "brindlemark test-pattern: --paper is given twice"},
        {{"calibrate", "--marks", "--paper", "Letter"}, 0,
         "Printed The Calibration Page: crosshairs 185 mm across and 249 mm down\n"},
        {{"calibrate", "--marks", "--scale", "1,1"}, 2, "brindlemark calibrate: unknown option \"--scale\""},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const ProgramRun ran = RunInProcess(home.path(), c.args);
        EXPECT_EQ(ran.status, c.status) << ran.err;
        EXPECT_EQ(ran.err.rfind(c.err, 0), 0u) << ran.err;
        EXPECT_NE(ran.err.find(c.says), std::string::npos) << ran.err;
    }
}

}  // namespace
