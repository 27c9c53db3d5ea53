#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <functional>
#include <sstream>
#include <thread>

#include <atomic>

#include <sys/wait.h>
#include <unistd.h>

#include "app/cli/Cli.h"
#include "common/AtomicFile.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

extern "C" void IgnoreInterrupt(int) {}

// True once this process holds a file open in `folder` (Qt writes the PDF into an unnamed
// temporary file there, which no folder listing shows).
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

// Ctrl+C during a job abandons the document: no PDF appears and the job says where it stopped.
TEST(Interrupt, CtrlCEndsAJobWithoutLeavingAPdf)
{
    // A stray SIGINT outside the job must not end the test program.
    const auto previous = std::signal(SIGINT, IgnoreInterrupt);
    TempDir home;
    home.makeProgramFolder();
    WriteDefinition(home / "Defs", "HZ649", Horizontal649(2));
    WriteBytes(home / "wheel" / "w.txt", Wheel(200000));
    std::filesystem::create_directories(home / "out");
    const auto pdf = home / "out" / "slips.pdf";

    // Sends Ctrl+C once the job has begun writing, however long that takes.
    std::atomic<bool> ended = false;
    std::thread presser([&] {
        while (!ended) {
            if (WritingInto(home / "out")) {
                std::raise(SIGINT);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::ostringstream out, err;
    const int status = cli::RunCli({"--home", home.path().string(), "print", "--definition", "HZ649", "--wheel",
                                    "w.txt", "--pdf", pdf.string()},
                                   "/x", out, err);
    ended = true;
    presser.join();
    std::signal(SIGINT, previous);

    EXPECT_EQ(status, 1);
    EXPECT_NE(err.str().find("Print Job Aborted At Slip "), std::string::npos) << err.str();
    EXPECT_TRUE(std::filesystem::is_empty(home / "out"));
}

// Ctrl+C once the reading is done and the report is being written still stops the check:
// exit 1, no summary file, not a whole report claimed.
TEST(Interrupt, CtrlCWhileTheReportIsWrittenLeavesNoSummary)
{
    const auto previous = std::signal(SIGINT, IgnoreInterrupt);
    TempDir home;
    home.makeProgramFolder();
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "Defs/LO649.def", home / "Defs/LO649.def");
    std::string wheel;
    for (int i = 0; i < 1000000; ++i)
        wheel += "3,11,19,27,35,43\n";  // every play wins, so the report is long
    WriteBytes(home / "wheel" / "w.txt", wheel);
    std::filesystem::create_directories(home / "out");
    std::atomic<bool> ended = false;
    std::thread presser([&] {
        while (!ended && !WritingInto(home / "out"))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        if (!ended)
            std::raise(SIGINT);
    });
    std::ostringstream out, err;
    const int status = cli::RunCli({"--home", home.path().string(), "check", "--definition", "LO649", "--wheel",
                                    "w.txt", "--draw", "3 11 19 27 35 43 7", "--save", (home / "out/s.txt").string()},
                                   "/x", out, err);
    ended = true;
    presser.join();
    std::signal(SIGINT, previous);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.str().find("Operation Aborted By User At Line "), std::string::npos) << err.str();
    EXPECT_TRUE(std::filesystem::is_empty(home / "out"));
    EXPECT_EQ(out.str().find("Total Wins"), std::string::npos);
}

// SIGTERM (a shutdown, kill) where the file system has no unnamed files: the hidden copy of
// the PDF, megabytes by then, goes with the process; the process still ends by the signal.
TEST(Interrupt, TerminatedWhileAPdfIsWrittenLeavesNoHiddenCopy)
{
    TempDir home;
    home.makeProgramFolder();
    WriteDefinition(home / "Defs", "HZ649", Horizontal649(2));
    WriteBytes(home / "wheel" / "w.txt", Wheel(200000));
    std::filesystem::create_directories(home / "out");
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
        std::ostringstream out, err;
        _exit(cli::RunCli({"--home", home.path().string(), "print", "--definition", "HZ649", "--wheel", "w.txt",
                           "--pdf", (home / "out" / "slips.pdf").string()},
                          "/x", out, err));
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

// True once this process holds `file` open.
bool Reading(const std::filesystem::path& file)
{
    std::error_code ec;
    const std::string wanted = std::filesystem::canonical(file, ec).string();
    return Holds([&](const std::string& target) { return target == wanted; });
}

// Ctrl+C while the draws are first read or while the wheel loads stops a history with the usual
// message and exit 1, as it does while the draws are checked: the process never dies of it.
TEST(Interrupt, CtrlCInEveryPhaseOfAHistoryStopsItWithItsMessage)
{
    const auto previous = std::signal(SIGINT, IgnoreInterrupt);
    TempDir home;
    home.makeProgramFolder();
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "Defs/LO649.def", home / "Defs/LO649.def");
    std::string wheel, draws;
    for (int i = 0; i < 300000; ++i)
        wheel += "1,2,3,4,5," + std::to_string(6 + i % 40) + "\n";
    for (int d = 0; d < 3000; ++d)
        draws += "2001-01-01,3,11,19,27," + std::to_string(30 + d % 10) + ",43,7\n";
    WriteBytes(home / "wheel" / "w.txt", wheel);
    WriteBytes(home / "wheel" / "d.csv", draws);
    for (const char* pressedWhileOpen : {"d.csv", "w.txt"}) {
        SCOPED_TRACE(pressedWhileOpen);
        std::atomic<bool> running{true};
        std::thread presser([&] {
            while (running && !Reading(home / "wheel" / pressedWhileOpen))
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            if (running)
                std::raise(SIGINT);
        });
        std::ostringstream out, err;
        const int status = cli::RunCli({"--home", home.path().string(), "check", "--definition", "LO649", "--wheel",
                                        "w.txt", "--draws", (home / "wheel" / "d.csv").string()},
                                       "/x", out, err);
        running = false;
        presser.join();
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(err.str().starts_with("brindlemark: stopped after ")) << err.str();
        EXPECT_EQ(out.str().find("Total"), std::string::npos);
    }
    std::signal(SIGINT, previous);
}

}  // namespace
