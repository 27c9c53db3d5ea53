#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <mutex>
#include <utility>

#include "CheckTestSupport.h"

namespace {

using bmtest::Draw;
using bmtest::FakeClock;

// About 6 MB of plays with blank lines here and there and wins all through the file; the play
// at `faultPlay` is replaced by `fault`.
std::string LargeWheel(int faultPlay = -1, const char* fault = "")
{
    std::string text;
    unsigned x = 12345;
    for (int i = 0; i < 300000; ++i) {
        if (i == faultPlay) {
            text += fault;
            continue;
        }
        // Six different numbers, as a real play has.
        int pool[49];
        for (int n = 0; n < 49; ++n)
            pool[n] = n + 1;
        for (int k = 0; k < 6; ++k) {
            x = x * 1103515245u + 12345u;
            std::swap(pool[k], pool[k + static_cast<int>((x >> 16) % static_cast<unsigned>(49 - k))]);
            text += std::to_string(pool[k]) + (k < 5 ? "," : "\r\n");
        }
        if (i % 1000 == 7)
            text += "\r\n";
    }
    return text;
}

class StopAtOnce final : public bm::CheckProgress {
public:
    bool Poll(const bm::CheckRun&) override { return false; }
};

// Every split reads what one reading reads: counts, reported lines, a stop, and a fault named by
// the whole file's line number (250,000 plays and a blank line after every thousand: 250,251).
TEST(CheckInParts, SameResultAsOneReadingAndAStopReachesEveryPart)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "big.txt", LargeWheel());
    bmtest::WriteBytes(dir / "bad.txt", LargeWheel(250000, "1,2,3\r\n"));
    bmtest::WriteBytes(dir / "repeat.txt", LargeWheel(250000, "1,2,3,4,5,3\r\n"));
    const auto& game = bm::CheckerById("six").Game(true);
    const auto draw = Draw(game, {3, 11, 19, 27, 35, 43, 7});
    FakeClock clock;
    bm::CheckRun whole, stopped, faulty;
    ASSERT_TRUE(bm::RunCheck(game, 49, draw, dir / "big.txt", clock, whole).ok());
    ASSERT_GT(whole.reported.size(), 1000u);
    for (int parts : {1, 2, 3, 7}) {
        SCOPED_TRACE(parts);
        FakeClock timed({10, 30});
        bm::CheckRun split;
        ASSERT_TRUE(bm::RunCheckInParts(game, 49, draw, dir / "big.txt", timed, split, parts).ok());
        EXPECT_EQ(split.elapsedMs, 20);
        EXPECT_EQ(split.tally, whole.tally);
        EXPECT_EQ(split.playsRead, whole.playsRead);
        EXPECT_TRUE(split.reported == whole.reported && !split.aborted && !split.reportDropped);
        // An allowance of kept lines the report passes lets them all go, with the counts whole.
        bm::CheckRun bounded;
        bounded.keepAtMost = static_cast<std::int64_t>(whole.reported.size()) - 1;
        ASSERT_TRUE(bm::RunCheckInParts(game, 49, draw, dir / "big.txt", clock, bounded, parts).ok());
        EXPECT_TRUE(bounded.reportDropped && bounded.reported.empty() && bounded.tally == whole.tally);
    }
    StopAtOnce stop;
    ASSERT_TRUE(bm::RunCheckInParts(game, 49, draw, dir / "big.txt", clock, stopped, 2, &stop, 10).ok());
    EXPECT_TRUE(stopped.aborted);
    EXPECT_LE(stopped.playsRead, 20);
    // A malformed line, and a play that is no play of the game.
    for (const auto& [file, fault] : {std::pair{"bad.txt", "line 250251 holds 3 numbers"},
                                      std::pair{"repeat.txt", "line 250251: 3 is given twice"}}) {
        const auto one = bm::RunCheck(game, 49, draw, dir / file, clock, whole);
        const auto parts = bm::RunCheckInParts(game, 49, draw, dir / file, clock, faulty, 2);
        ASSERT_FALSE(one.ok() || parts.ok());
        EXPECT_EQ(parts.error().message, one.error().message);
        EXPECT_NE(one.error().message.find(fault), std::string::npos) << one.error().message;
    }
}

// Changes the wheel at the run's first look at its progress: from then on the run reads a file
// that is no longer the one named, or no longer whole.
class ChangeAtFirstPoll final : public bm::CheckProgress {
public:
    explicit ChangeAtFirstPoll(std::function<void()> change) : change_(std::move(change)) {}
    bool Poll(const bm::CheckRun&) override
    {
        std::call_once(once_, change_);
        return true;
    }

private:
    std::function<void()> change_;
    std::once_flag once_;
};

// A wheel cut, replaced by a rename or grown while it is checked, in one reading or in parts,
// ends the run with "changed while it was being checked", never with counts of a mix or a part.
TEST(CheckInParts, AWheelThatChangesWhileItIsCheckedEndsTheRun)
{
    bmtest::TempDir dir;
    const std::string wheel = LargeWheel();
    const auto file = dir / "w.txt";
    const auto& game = bm::CheckerById("six").Game(true);
    const auto draw = Draw(game, {3, 11, 19, 27, 35, 43, 7});
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"cut", [&] { std::filesystem::resize_file(file, wheel.size() / 2); }},
        {"replaced",
         [&] {
             bmtest::WriteBytes(dir / "new.txt", LargeWheel(5, "1,2,3,4,5,6\r\n"));
#ifdef _WIN32
             // Windows replaces a file open for reading; Wine refuses, and the wheel stays as it was.
             std::error_code refused;
             std::filesystem::rename(dir / "new.txt", file, refused);
             if (refused)
                 std::ofstream(file, std::ios::app) << "1,2,3,4,5,6\r\n";
#else
             std::filesystem::rename(dir / "new.txt", file);
#endif
         }},
        {"grown", [&] { std::ofstream(file, std::ios::app) << "1,2,3,4,5,6\r\n"; }},
    };
    for (const auto& c : changes) {
        for (int workers : {1, 2}) {
            SCOPED_TRACE(std::string(c.what) + " " + std::to_string(workers));
            bmtest::WriteBytes(file, wheel);
            ChangeAtFirstPoll progress(c.change);
            FakeClock clock;
            bm::CheckRun run;
            EXPECT_EQ(bmtest::Refusal(bm::RunCheckInParts(game, 49, draw, file, clock, run, workers, &progress, 64)),
                      file.string() + " changed while it was being checked");
        }
    }
}

}  // namespace
