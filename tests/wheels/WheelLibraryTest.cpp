// The wheel library shipped with the program: every design read by the design reader, held to
// its name and proven by the exhaustive analysis; the status it claims matches the published
// tables; a broken library file is refused naming the file and line.

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "wheels/WheelLibrary.h"
#include "wheels/WheelMake.h"

namespace bm::wheels {
namespace {

using bmtest::TempDir;
using bmtest::WriteBytes;

TEST(WheelLibrary, EveryDesignHoldsItsGuaranteeAtThePublishedSize)
{
    const auto entries = ListLibrary(WHEEL_LIBRARY_DIR);
    ASSERT_TRUE(entries) << entries.error().message;
    std::vector<std::pair<int, int>> held;  // (k, v)
    for (const auto& e : *entries) {
        SCOPED_TRACE(e.file.string());
        held.emplace_back(e.k, e.v);
        EXPECT_EQ(e.t, e.k - 1);
        const auto design = LibraryDesign(WHEEL_LIBRARY_DIR, e.v, e.k, e.t);
        ASSERT_TRUE(design && *design);
        const auto& d = **design;
        EXPECT_EQ(d.plays.size(), e.plays);
        EXPECT_EQ(d.heading, e.credit);
        EXPECT_EQ(e.credit.rfind("method: ", 0), 0u) << e.credit;
        // Every t-subset of the v numbers lies in a play, and the design is no larger than published.
        const auto guaranteed = Guaranteed(d.OnLabels(), e.v, e.t);
        ASSERT_TRUE(guaranteed);
        EXPECT_EQ(*guaranteed, e.t);
        const auto record = PublishedRecord({e.v, e.k, e.t, e.t});
        ASSERT_TRUE(record);
        EXPECT_EQ(record->plays, e.plays);
        EXPECT_EQ(record->provenOptimal, e.provenOptimal);
    }
    std::vector<std::pair<int, int>> want;
    for (int v = 5; v <= 40; ++v)
        want.emplace_back(4, v);
    for (int v = 7; v <= 24; ++v)
        want.emplace_back(6, v);
    EXPECT_EQ(held, want);
}

TEST(WheelLibrary, OnlyTheTablesProvenOptimaAreClaimed)
{
    const auto entries = ListLibrary(WHEEL_LIBRARY_DIR);
    ASSERT_TRUE(entries);
    std::vector<std::pair<int, int>> optimal;
    for (const auto& e : *entries)
        if (e.provenOptimal)
            optimal.emplace_back(e.k, e.v);
    const std::vector<std::pair<int, int>> want{{4, 5},  {4, 6}, {4, 7}, {4, 8}, {4, 9},  {4, 10}, {4, 11}, {4, 12},
                                                {4, 13}, {6, 7}, {6, 8}, {6, 9}, {6, 10}, {6, 12}, {6, 13}};
    EXPECT_EQ(optimal, want);
}

TEST(WheelLibrary, ABrokenOrMisnamedFileIsRefusedNamingIt)
{
    const struct {
        const char* name;
        const char* text;
        const char* error;  // after the file's path
    } cases[] = {
        {"v005_k4_t3.txt", "# method: x\n1 2 3 4\n1 2 3 x\n", ": line 3: \"x\" is not a whole number"},
        {"v005_k4_t3.txt", "1 2 3 4\n1 2 3\n", ": line 2: the play holds 3 numbers, the play on line 1 holds 4"},
        {"v005_k4_t3.txt", "0 1 2 3\n1 2 3 4\n",
         ": is not a covering C(5,4,3) on the labels 1..5 as its name says (plays of 4, labels 0..4)"},
        {"v006_k4_t3.txt", "1 2 3 4\n2 3 4 5\n",
         ": is not a covering C(6,4,3) on the labels 1..6 as its name says (plays of 4, labels 1..5)"},
        {"v005_k4_t3.txt", "", ": holds no plays"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        WriteBytes(dir / c.name, c.text);
        WriteBytes(dir / "README.md", "not a design\n");
        const auto file = (dir / c.name).string();
        EXPECT_EQ(bmtest::Refusal(ListLibrary(dir.path())), file + c.error);
        const std::string name = c.name;
        const int v = std::stoi(name.substr(1, 3));
        EXPECT_EQ(bmtest::Refusal(LibraryDesign(dir.path(), v, 4, 3)), file + c.error);
        // `wheel make` goes on without it, saying why.
        std::vector<std::string> faults;
        ReadyWheels({v, 4, 3, 3}, dir.path(), faults);
        EXPECT_EQ(faults, std::vector<std::string>{file + c.error});
    }
    TempDir empty;
    EXPECT_EQ(bmtest::Refusal(ListLibrary(empty / "none")),
              (empty / "none").string() + ": the wheel library is not installed with this program");
    EXPECT_EQ(bmtest::Refusal(ListLibrary({})),
              "the wheel library: the wheel library is not installed with this program");
    const auto none = LibraryDesign(empty.path(), 9, 4, 3);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->has_value());
}

// A library design serves its own shape as the best published wheel, and any "t if m" of the
// same v and k the analysis proves it meets.
TEST(WheelLibrary, ServesItsShapeAndTheGuaranteesItProves)
{
    std::vector<std::string> faults;
    const auto own = ReadyWheels({13, 4, 3, 3}, WHEEL_LIBRARY_DIR, faults);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].plays.size(), 78u);
    EXPECT_EQ(own[0].source, "best published, from the library");
    // "3 if 5": the library's design serves, and the projective plane of order 3 better.
    const auto weaker = ReadyWheels({13, 4, 5, 3}, WHEEL_LIBRARY_DIR, faults);
    ASSERT_EQ(weaker.size(), 2u);
    EXPECT_EQ(weaker[0].source, "projective plane of order 3");
    EXPECT_EQ(weaker[0].plays.size(), 13u);
    EXPECT_EQ(weaker[1].source, "library design C(13,4,3)");
    EXPECT_EQ(weaker[1].plays.size(), 78u);
    // C(10,4,3) puts no 4 numbers of some 5 in one play: "4 if 5" is not served.
    EXPECT_TRUE(ReadyWheels({10, 4, 5, 4}, WHEEL_LIBRARY_DIR, faults).empty());
    EXPECT_TRUE(faults.empty());

    // At the best published size: at once, without a search.
    MakeLimits limits;
    limits.search.keepGoing = [](const SearchProgress&) {
        ADD_FAILURE() << "searched";
        return false;
    };
    const MadeWheel made = MakeWheel({20, 6, 5, 5}, limits, WHEEL_LIBRARY_DIR, faults);
    EXPECT_EQ(made.plays.size(), 2800u);
    EXPECT_EQ(made.source, "best published, from the library");
    EXPECT_EQ(made.rounds, 0);
}

}  // namespace
}  // namespace bm::wheels
