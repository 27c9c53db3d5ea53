#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "cli/CatalogueSupport.h"
#include "cli/Cli.h"
#include "common/AtomicFile.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

extern "C" void IgnoreInterrupt(int) {}

// True once this process holds open a file whose path `matches` (Qt writes the PDF into an
// unnamed temporary file in its folder, which no folder listing shows).
bool Holds(const std::function<bool(const std::string&)>& matches)
{
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        const auto target = std::filesystem::read_symlink(fd.path(), ec).string();
        if (!ec && matches(target))
            return true;
    }
    return false;
}

bool WritingInto(const std::filesystem::path& folder)
{
    return Holds([&](const std::string& target) { return target.rfind(folder.string() + "/", 0) == 0; });
}

// True once this process holds `file` open.
bool Reading(const std::filesystem::path& file)
{
    std::error_code ec;
    const std::string wanted = std::filesystem::canonical(file, ec).string();
    return Holds([&](const std::string& target) { return target == wanted; });
}

// Presses Ctrl+C once `when` holds, however long that takes, while it lives; a stray SIGINT
// outside the run must not end the test program.
class CtrlCWhen {
public:
    explicit CtrlCWhen(std::function<bool()> when)
        : previous_(std::signal(SIGINT, IgnoreInterrupt)),
          presser_([this, when] {
              while (running_ && !when())
                  std::this_thread::sleep_for(std::chrono::microseconds(50));
              if (running_)
                  std::raise(SIGINT);
          })
    {}
    ~CtrlCWhen()
    {
        running_ = false;
        presser_.join();
        std::signal(SIGINT, previous_);
    }

private:
    std::atomic<bool> running_{true};
    void (*previous_)(int);
    std::thread presser_;
};

// A program folder with the horizontal 6/49 slip HZ649, LO649, a wheel of 200,000 plays and a folder out.
void PrintHome(const TempDir& home)
{
    home.makeProgramFolder({"LO649"});
    WriteDefinition(home / "Defs", "HZ649", Horizontal649(2));
    WriteBytes(home / "wheel" / "w.txt", Wheel(200000));
    std::filesystem::create_directories(home / "out");
}

// Ctrl+C once a print has begun writing its PDF, or once a check's reading is done and its
// report is being written: exit 1, the job says where it stopped, no PDF or summary file, and
// no whole report claimed.
TEST(Interrupt, CtrlCWhileWritingLeavesNoFile)
{
    TempDir home;
    PrintHome(home);
    WriteBytes(home / "wheel" / "wins.txt", Repeated("3,11,19,27,35,43\n", 1000000));  // every play wins: a long report
    const struct {
        std::vector<std::string> args;
        const char* err;
    } cases[] = {
        {{"print", "--definition", "HZ649", "--wheel", "w.txt", "--pdf", (home / "out/slips.pdf").string()},
         "Print Job Aborted At Slip "},
        {{"check", "--definition", "LO649", "--wheel", "wins.txt", "--draw", "3 11 19 27 35 43 7", "--save",
          (home / "out/s.txt").string()},
         "Operation Aborted By User At Line "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        ProgramRun run;
        {
            const CtrlCWhen press([&] { return WritingInto(home / "out"); });
            run = RunInProcess(home.path(), c.args);
        }
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(home / "out"));
        EXPECT_EQ(run.out.find("Total Wins"), std::string::npos);
    }
}

// SIGTERM (a shutdown, kill) where the file system has no unnamed files: the hidden copy of
// the PDF, megabytes by then, goes with the process; the process still ends by the signal.
TEST(Interrupt, TerminatedWhileAPdfIsWrittenLeavesNoHiddenCopy)
{
    TempDir home;
    PrintHome(home);
    const auto copy = [&] {
        for (const auto& e : std::filesystem::directory_iterator(home / "out"))
            if (e.path().filename().string().rfind(".slips.pdf.", 0) == 0)
                return true;
        return false;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        UseNamedTemporaryFilesForTesting(true);
        _exit(RunInProcess(home.path(), {"print", "--definition", "HZ649", "--wheel", "w.txt", "--pdf",
                                         (home / "out" / "slips.pdf").string()})
                  .status);
    }
    int status = 0;
    bool seen = false;
    // Waits for the copy as long as the job runs: rounds, not seconds.
    while (!(seen = copy()) && waitpid(child, &status, WNOHANG) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (seen) {
        ASSERT_EQ(kill(child, SIGTERM), 0);
        ASSERT_EQ(waitpid(child, &status, 0), child);
    }
    ASSERT_TRUE(seen) << "the job ended (status " << status << ") before its copy was seen";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(std::filesystem::is_empty(home / "out"));
}

// Ctrl+C while the draws are first read or while the wheel loads stops a history with the usual
// message and exit 1, as it does while the draws are checked: the process never dies of it.
TEST(Interrupt, CtrlCInEveryPhaseOfAHistoryStopsItWithItsMessage)
{
    TempDir home;
    home.makeProgramFolder({"LO649"});
    std::string wheel, draws;
    for (int i = 0; i < 300000; ++i)
        wheel += "1,2,3,4,5," + std::to_string(6 + i % 40) + "\n";
    for (int d = 0; d < 3000; ++d)
        draws += "2001-01-01,3,11,19,27," + std::to_string(30 + d % 10) + ",43,7\n";
    WriteBytes(home / "wheel" / "w.txt", wheel);
    WriteBytes(home / "wheel" / "d.csv", draws);
    for (const char* pressedWhileOpen : {"d.csv", "w.txt"}) {
        SCOPED_TRACE(pressedWhileOpen);
        const CtrlCWhen press([&] { return Reading(home / "wheel" / pressedWhileOpen); });
        const auto run = RunInProcess(home.path(), {"check", "--definition", "LO649", "--wheel", "w.txt", "--draws",
                                                    (home / "wheel" / "d.csv").string()});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.starts_with("brindlemark: stopped after ")) << run.err;
        EXPECT_EQ(run.out.find("Total"), std::string::npos);
    }
}

}  // namespace
