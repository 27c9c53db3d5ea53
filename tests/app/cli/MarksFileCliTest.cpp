#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

#include "app/cli/CatalogueSupport.h"

using namespace bmtest;

namespace {

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

// The sample folder in a folder of its own.
void CopySample(const TempDir& home)
{
    std::filesystem::copy(SAMPLE_DIR, home.path(), std::filesystem::copy_options::recursive);
}

// A definition without a marks file prints byte for byte what it printed before marks files
// existed: the --marks lines of every sample, recorded then.
TEST(MarksFileCli, WithoutTheFileEverySamplePrintsAsBefore)
{
    const struct {
        const char* name;
        std::uint64_t print, pattern;
        int printLines, patternLines;
    } cases[] = {
        {"CD649", 0x1a99fe813510841dull, 0xf5cbdbbd55a59969ull, 30, 196},
        {"LM750", 0x214731f0a04142b5ull, 0xecaa8e35035bd06dull, 56, 300},
        {"LO649", 0x85ac44fedc2b67c5ull, 0xbc02cfb6d284b6bdull, 72, 490},
        {"PB569", 0x0815da8d93d0e229ull, 0x1288c2b1be09e6d9ull, 35, 350},
        {"TK539", 0xf04e3f6783c7a7b4ull, 0x30b105964b8ebd1bull, 45, 200},
        {"VT645", 0xdf3dda6cacb44c8aull, 0x0a4f32f6ef29789bull, 36, 180},
    };
    TempDir home;
    CopySample(home);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string wheel = std::string(c.name) + "-sample.txt";
        const auto print = RunInProcess(home.path(), {"print", "--definition", c.name, "--wheel", wheel, "--marks"});
        ASSERT_EQ(print.status, 0) << print.err;
        EXPECT_EQ(std::count(print.out.begin(), print.out.end(), '\n'), c.printLines);
        EXPECT_EQ(Fnv1a(print.out), c.print);
        const auto pattern = RunInProcess(home.path(), {"test-pattern", "--definition", c.name, "--marks"});
        ASSERT_EQ(pattern.status, 0) << pattern.err;
        EXPECT_EQ(std::count(pattern.out.begin(), pattern.out.end(), '\n'), c.patternLines);
        EXPECT_EQ(Fnv1a(pattern.out), c.pattern);
    }
}

// With a marks file: every number mark is 60 % x 50 % of its 3 x 2 mm box, and each sheet ends
// with the extra marks in file order, offsets applied.
TEST(MarksFileCli, MarksListTheSizedMarksThenTheExtras)
{
    TempDir home;
    CopySample(home);
    WriteBytes(home / "Defs" / "LO649.marks",
               "[Mark]\r\nWidth=60\r\nHeight=50\r\n[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n");
    const auto run = RunInProcess(home.path(), {"print", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--marks",
                                "--top", "1", "--left", "-2"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_EQ(all.size(), 72u + 2u * 2u);
    int extrasSeen = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        int sheet = 0;
        double x1, y1, x2, y2;
        ASSERT_EQ(std::sscanf(all[i].c_str(), "%d %lf %lf %lf %lf", &sheet, &x1, &y1, &x2, &y2), 5) << all[i];
        if (all[i].substr(2) == "18.000 77.000 22.000 79.500" || all[i].substr(2) == "148.000 4.000 153.000 7.000") {
            ++extrasSeen;
            continue;
        }
        EXPECT_NEAR(x2 - x1, 1.8, 0.0015) << all[i];
        EXPECT_NEAR(y2 - y1, 1.0, 0.0015) << all[i];
    }
    EXPECT_EQ(extrasSeen, 4);
    const std::vector<std::string> ends = {all[all.size() - 2], all[all.size() - 1]};
    EXPECT_EQ(ends, (std::vector<std::string>{"2 18.000 77.000 22.000 79.500", "2 148.000 4.000 153.000 7.000"}));
}

// The marks file is an input: a PDF never lands on it, made or not yet there.
TEST(MarksFileCli, PdfNeverLandsOnTheMarksFile)
{
    TempDir home;
    CopySample(home);
    std::filesystem::create_directories(home / "mine");
    std::filesystem::copy(home / "Defs" / "LO649.def", home / "mine" / "LO649.def");
    const auto target = home / "mine" / "LO649.marks";
    for (bool exists : {false, true}) {
        SCOPED_TRACE(exists);
        if (exists)
            WriteBytes(target, "[Mark]\r\nWidth=50\r\n");
        const auto run = RunInProcess(home.path(), {"print", "--definition", (home / "mine" / "LO649.def").string(), "--wheel",
                                    "LO649-sample.txt", "--pdf", target.string()});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(target.string() + ": is "), std::string::npos) << run.err;
        EXPECT_EQ(std::filesystem::exists(target), exists);
        if (exists) {
            EXPECT_EQ(ReadBytes(target), "[Mark]\r\nWidth=50\r\n");
        }
    }
}

}  // namespace
