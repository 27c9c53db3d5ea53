// A writer killed at any moment must leave every file it was saving either as it was or as it
// was meant to become: a definition the user calibrated for years must never be half a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "checking/SummaryFile.h"
#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using Clock = std::chrono::steady_clock;

namespace {

// Two versions of each file, of different sizes; summaries are the largest, so kills often land in one.
const DefinitionEntries kDefs[2] = {
    {"cs",
     {"49", "6", "10", "190", "82", "12", "2", "2", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"},
     {"1", "8"},
     true},
    {"cs",
     {"49", "6", "8", "190.25", "82.5", "12.75", "1", "7", "4", "14.5", "7", "3.5", "2.5", "36", "4.25", "0", "4.75"},
     {"1", "8", "15", "22", "29", "36", "43"}}};
const MarginSettings kMargins[2] = {{"-1.5", "2"}, {"12.25", "-0.75"}};
std::string Summary(int v)
{
    std::string text = "Lottery: CS649\n";
    for (int line = 1; line <= (v == 0 ? 40 : 6000); ++line)
        text += "Match-3 For This Draw At Line " + std::to_string(line * 7 + v) + "\n";
    return text;
}

bool SaveAll(const ProgramFolder& folder, int v)
{
    return WriteDefinition(folder, kDefs[v], EditorMode::Make).ok() &&
           WriteMargins(folder, "CS649", kMargins[v]).ok() &&
           WriteSummaryFile(folder.summary() / "CS649.txt", Summary(v)).ok();
}

}  // namespace

TEST(CrashSafety, KilledWritersLeaveTheOldOrTheNewFileNeverAPart)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder();
    const ProgramFolder folder(dir.path());
    const std::filesystem::path files[] = {folder.definitionFile("CS649"), folder.settingsFile("CS649"),
                                           folder.summary() / "CS649.txt"};
    const std::string versions[3][2] = {{DefinitionFileText(kDefs[0]), DefinitionFileText(kDefs[1])},
                                        {MarginsFileText(kMargins[0]), MarginsFileText(kMargins[1])},
                                        {WithCrLf(Summary(0)), WithCrLf(Summary(1))}};
    bool seen[3][2] = {};
    const auto check = [&](int round) {
        for (int f = 0; f < 3; ++f) {
            const std::string bytes = bmtest::ReadBytes(files[f]);
            ASSERT_TRUE(bytes == versions[f][0] || bytes == versions[f][1]) << files[f] << " round " << round;
            seen[f][bytes == versions[f][1]] = true;
        }
    };
    // One round of saves, timed, so that the kills spread over whole rounds on any disk.
    const auto before = Clock::now();
    ASSERT_TRUE(SaveAll(folder, 0));
    for (const auto& file : files)  // private files must stay private however the writer dies
        std::filesystem::permissions(file, std::filesystem::perms(0600));
    const long roundUs =
        std::max<long>(200, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before).count());
    auto* rounds =
        new (mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0))
            std::atomic<long>(0);
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", one round " + std::to_string(roundUs) + " us");
    std::mt19937 rng(seed);
    // On a loaded machine starting the writer costs more than the saves, so the range widens
    // while too few rounds get finished or a file has not yet been caught in both versions.
    // The test counts kills, not seconds: it goes on until it has killed enough writers, however
    // slow the machine; the clock only stops a test that has hung.
    long maxDelay = 2 * roundUs;
    constexpr int kKills = 200, kFinishedRounds = 20, kMostKills = 4000;
    const auto safetyNet = Clock::now() + std::chrono::minutes(15);
    const auto enough = [&] {
        return rounds->load() >= kFinishedRounds && std::all_of(&seen[0][0], &seen[0][0] + 6, [](bool b) { return b; });
    };
    int kills = 0;
    for (int round = 0; (kills < kKills || !enough()) && round < kMostKills && !HasFatalFailure(); ++round) {
        ASSERT_LT(Clock::now(), safetyNet) << "hung after " << kills << " kills";
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(600);  // never outlive a test that failed to kill it
            for (int k = round;; rounds->fetch_add(1))
                if (!SaveAll(folder, ++k % 2))
                    _exit(3);
        }
        if (round > 0 && round % 25 == 0 && (rounds->load() < round / 10 || (round >= 100 && !enough())))
            maxDelay *= 2;
        const long until = std::uniform_int_distribution<long>(0, maxDelay)(rng);
        std::this_thread::sleep_for(std::chrono::microseconds(until / 2));
        check(round);  // a reader meanwhile sees whole files too
        std::this_thread::sleep_for(std::chrono::microseconds(until - until / 2));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with status " << status;
        ++kills;
        check(round);
    }
    EXPECT_GE(kills, kKills);
    EXPECT_GE(rounds->load(), kFinishedRounds) << "the writer hardly ever finished a round: the kills tested little";
    for (int f = 0; f < 3; ++f)
        EXPECT_TRUE(seen[f][0] && seen[f][1]) << files[f] << " was not seen in both versions";
    munmap(rounds, sizeof(std::atomic<long>));
    // Nothing partial under any name: at most a finished copy that a kill caught between its
    // link and its rename. Using the folders sweeps those away once they are a minute old,
    // though nothing is saved.
    for (int f = 0; f < 3; ++f)
        for (const auto& entry : std::filesystem::directory_iterator(files[f].parent_path()))
            if (entry.path() != files[f]) {
                const std::string bytes = bmtest::ReadBytes(entry.path());
                EXPECT_TRUE(bytes == versions[f][0] || bytes == versions[f][1]) << "partial leftover " << entry.path();
                bmtest::MakeOlder(entry.path(), 120);
            }
    ASSERT_TRUE(ReadMargins(folder, "CS649"));
    ListDefinitionFiles(folder.defs());
    for (int f = 0; f < 2; ++f)
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files[f].parent_path()), {}), 1)
            << "leftover beside " << files[f];
    ASSERT_TRUE(SaveAll(folder, 0));
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files[f].parent_path()), {}), 1)
            << "leftover beside " << files[f];
        EXPECT_EQ(std::filesystem::status(files[f]).permissions(), std::filesystem::perms(0600)) << files[f];
    }
}
