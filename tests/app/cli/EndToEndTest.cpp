#include <gtest/gtest.h>

#include "printing/qt/PrintTestTools.h"

using namespace bmtest;

namespace {

TEST(EndToEnd, PrintsTheSampleWheelToALandscapePdfWithEveryMarkInPlace)
{
    const std::string exe = BRINDLEMARK_EXE;
    if (exe.empty())
        GTEST_SKIP() << "the brindlemark executable is not built";
    // The sample program folder is copied beside the executable; it is the default home.
    const std::filesystem::path home = std::filesystem::path(exe).parent_path();
    TempDir dir;
    const auto pdf = dir / "LO649.pdf";
    // Named relative to the working folder, said in full.
    const Ran ran = RunShell(Quoted(exe) + " print --definition LO649 --wheel LO649-sample.txt --top 0.5 --left -1" +
                                 " --pdf LO649.pdf",
                             "-C " + Quoted(dir.path().string()) + " QT_QPA_PLATFORM=offscreen");
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(ran.err, "Printing 12 Picks On 2 Playslips\nProcessing Complete\nSaved To " +
                           (std::filesystem::canonical(dir.path()) / "LO649.pdf").string() + "\n");

    const auto def = bm::ReadDefinitionFile(home / "Defs" / "LO649.def");
    ASSERT_TRUE(def.ok());
    const auto expected =
        Recorded(home / "Defs" / "LO649.def", *def, false, "0.5", "-1", home / "wheel" / "LO649-sample.txt");
    ASSERT_EQ(expected.marks().size(), 72u);
    ASSERT_EQ(expected.sheets(), 2);
    EXPECT_EQ(CheckMarks(pdf, expected), "");
}

}  // namespace
