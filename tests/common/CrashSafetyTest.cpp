// A writer killed at any moment must leave every file it was saving either as it was or as it
// was meant to become: a definition the user calibrated for years must never be half a file.
// The writers are the program's own: definitions, offsets and summaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <random>
#include <set>
#include <thread>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "checking/SummaryFile.h"
#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;

namespace {

using Clock = std::chrono::steady_clock;

DefinitionEntries Entries(int version)
{
    DefinitionEntries e;
    e.name = "cs";
    const char* fields[2][kFieldCount] = {
        {"49", "6", "10", "190", "82", "12", "2", "2", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"},
        {"49", "6", "8", "190.25", "82.5", "12.75", "1", "7", "4", "14.5", "7", "3.5", "2.5", "36", "4.25", "0", "4.75"}};
    for (int i = 0; i < kFieldCount; ++i)
        e.fields[i] = fields[version][i];
    for (int r = 0; r < kMaxRowFields; ++r)
        e.rows[r] = std::to_string(1 + 7 * r);
    e.bBon = version == 0;
    return e;
}

const MarginSettings kMargins[2] = {{"-1.5", "2"}, {"12.25", "-0.75"}};

// Summaries are the largest files, so a kill often lands while one is being written.
std::string Summary(int version)
{
    std::string text = "Lottery: CS649\nTicket File: v" + std::to_string(version) + ".txt\n\n";
    for (int line = 1; line <= (version == 0 ? 40 : 6000); ++line)
        text += "Match-3 For This Draw At Line " + std::to_string(line * 7 + version) + "\n";
    return text;
}

struct Target {
    std::filesystem::path file;
    std::string versions[2];
    bool seen[2] = {false, false};
};

// Saves version 0, 1, 0, ... of everything until killed; counts finished rounds.
[[noreturn]] void WriteForever(const ProgramFolder& folder, const std::filesystem::path& summary,
                               std::atomic<long>* rounds, int start)
{
    alarm(20);  // never outlive a test that failed to kill it
    for (int k = start;; ++k) {
        const int v = k % 2;
        if (!WriteDefinition(folder, Entries(v), EditorMode::Make))
            _exit(3);
        if (!WriteMargins(folder, "CS649", kMargins[v]))
            _exit(4);
        if (!WriteSummaryFile(summary, Summary(v)))
            _exit(5);
        rounds->fetch_add(1);
    }
}

// Every file holds one of its two versions whole; notes which one.
void Check(std::vector<Target>& targets, const char* when, int round)
{
    for (auto& t : targets) {
        const std::string bytes = ReadBytes(t.file);
        ASSERT_TRUE(bytes == t.versions[0] || bytes == t.versions[1])
            << t.file.filename() << " holds " << bytes.size() << " bytes that are neither version " << when
            << " in round " << round;
        t.seen[bytes == t.versions[1] ? 1 : 0] = true;
    }
}

}  // namespace

TEST(CrashSafety, KilledWritersLeaveTheOldOrTheNewFileNeverAPart)
{
    TempDir dir;
    dir.makeProgramFolder();
    const ProgramFolder folder(dir.path());
    const auto summary = folder.summary() / "CS649-summary.txt";
    std::vector<Target> targets = {
        {folder.definitionFile("CS649"), {DefinitionFileText(Entries(0)), DefinitionFileText(Entries(1))}},
        {folder.settingsFile("CS649"), {MarginsFileText(kMargins[0]), MarginsFileText(kMargins[1])}},
        {summary, {WithCrLf(Summary(0)), WithCrLf(Summary(1))}},
    };
    ASSERT_NE(targets[0].versions[0].size(), targets[0].versions[1].size());

    // One round of saves, timed, so that the kills spread over whole rounds on any disk.
    const auto before = Clock::now();
    ASSERT_TRUE(WriteDefinition(folder, Entries(0), EditorMode::Make));
    ASSERT_TRUE(WriteMargins(folder, "CS649", kMargins[0]));
    ASSERT_TRUE(WriteSummaryFile(summary, Summary(0)));
    const auto roundTime = std::max<long>(
        200, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before).count());

    void* shared = mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* rounds = new (shared) std::atomic<long>(0);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", one round of saves " + std::to_string(roundTime) + " us");
    std::mt19937 rng(seed);
    // Kills within the first rounds and later. On a loaded machine starting the writer costs more
    // than the saves themselves, so the range widens while too few rounds get finished or a file
    // has not yet been caught in both versions.
    long maxDelay = 2 * roundTime;
    const auto deadline = Clock::now() + std::chrono::seconds(18);
    int kills = 0;
    for (int round = 0; round < 300 && Clock::now() < deadline; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            WriteForever(folder, summary, rounds, round);
        const bool bothSeen =
            std::all_of(targets.begin(), targets.end(), [](const Target& t) { return t.seen[0] && t.seen[1]; });
        if (round > 0 && round % 25 == 0 && (rounds->load() < round / 10 || (round >= 100 && !bothSeen)))
            maxDelay *= 2;
        const long until = std::uniform_int_distribution<long>(0, maxDelay)(rng);
        std::this_thread::sleep_for(std::chrono::microseconds(until / 2));
        Check(targets, "while saving", round);  // a reader meanwhile sees whole files too
        std::this_thread::sleep_for(std::chrono::microseconds(until - until / 2));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped by itself with status " << status << " in round " << round;
        ++kills;
        Check(targets, "after the kill", round);
        if (HasFatalFailure())
            break;
    }
    const long finished = rounds->load();
    munmap(shared, sizeof(std::atomic<long>));

    std::printf("%d kills, %ld rounds of saves finished, one round %ld us\n", kills, finished, roundTime);
    EXPECT_GE(kills, 200);
    EXPECT_GE(finished, 20) << "the writer hardly ever finished a round: the kills tested little";
    for (const auto& t : targets)
        EXPECT_TRUE(t.seen[0] && t.seen[1]) << t.file << " was not seen in both versions";

    // Leftover temporary files may remain after a kill, but nothing the program lists.
    for (const auto& [sub, ext] : {std::pair{folder.defs(), ".def"}, std::pair{folder.settings(), ".ini"}}) {
        std::set<std::string> listed;
        for (const auto& entry : std::filesystem::directory_iterator(sub))
            if (entry.path().extension() == ext)
                listed.insert(entry.path().filename().string());
        EXPECT_EQ(listed, (std::set<std::string>{std::string("CS649") + ext})) << sub;
    }
}
