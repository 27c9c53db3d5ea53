#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

#include "printing/qt/PrintTestTools.h"
#include "printing/qt/Spooler.h"

using namespace bm;
using namespace bmtest;

namespace {

const std::string kScript = std::string(SAMPLE_DIR) + "/../scripts/private-cups.sh";

// A private cupsd with the virtual PDF printer "brindlemark-pdf" (cups-pdf, A4, no margins) as
// the default, started for this test and stopped by its process id. A job on it comes out with
// every mark in place and says where it went; while the queue is stopped or rejects jobs a job
// is refused at once, naming the printer and the reason CUPS gives, and nothing reaches the queue.
TEST(CupsPrint, AJobComesOutWithEveryMarkInPlaceAndAQueueThatWouldNotPrintIsRefusedFirst)
{
    if (std::string(BRINDLEMARK_EXE).empty() || geteuid() != 0)
        GTEST_SKIP() << "a private cupsd needs root and the brindlemark executable";
    TempDir root, home;
    home.makeProgramFolder();
    const std::string cups = Quoted((root / "cups").string());
    const Ran started = RunShell("bash " + Quoted(kScript) + " start " + cups);
    if (started.status != 0)
        GTEST_SKIP() << "no private cupsd could be started here: " << started.err;
    const std::shared_ptr<void> stop(nullptr, [&](void*) { RunShell("bash " + Quoted(kScript) + " stop " + cups); });
    std::string env = "QT_QPA_PLATFORM=offscreen", line, server;
    std::filesystem::path out;
    for (std::istringstream lines(started.out); std::getline(lines, line);) {
        if (line.rfind("CUPS_SERVER=", 0) == 0) {
            env += " " + Quoted(line);
            server = line.substr(12);
        }
        if (line.rfind("OUT=", 0) == 0)
            out = line.substr(4);
    }
    const auto brindlemark = [&](const std::string& args) {
        return RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) + " " + args, env);
    };

    const SlipDefinition d = Horizontal649(2);
    WriteDefinition(home / "Defs", "HZ649", d);
    WriteBytes(home / "wheel" / "w.txt", Wheel(23));
    const Ran ran = brindlemark("print --definition HZ649 --wheel w.txt");
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.err, "Printing 23 Picks On 3 Playslips\nProcessing Complete\nSent To Printer brindlemark-pdf\n");
    std::filesystem::path pdf;  // once the printer has written it whole
    for (int i = 0; i < 6000 && pdf.empty(); ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
        for (const auto& f : std::filesystem::directory_iterator(out))
            if (f.path().extension() == ".pdf" && RunShell("pdfinfo " + Quoted(f.path().string())).status == 0)
                pdf = f.path();
    ASSERT_FALSE(pdf.empty()) << "the printer wrote no PDF";
    const auto expected = Recorded(home / "Defs" / "HZ649.def", d, false, "0", "0", home / "wheel" / "w.txt");
    EXPECT_EQ(expected.sheets(), 3);
    EXPECT_EQ(CheckMarks(pdf, expected, true), "");

    const std::string jobs = RunShell("lpstat -W all -o brindlemark-pdf", env).out;
    const struct {
        const char *make, *undo, *command, *refusal;
    } notReady[] = {
        {"cupsdisable -r 'Jammed at tray 2'", "cupsenable", "print --definition HZ649 --wheel w.txt",
         "is stopped (Jammed at tray 2)"},
        {"cupsreject", "cupsaccept", "test-pattern --definition HZ649 --printer brindlemark-pdf",
         "does not accept jobs (Rejecting Jobs)"},
    };
    for (const auto& c : notReady) {
        SCOPED_TRACE(c.make);
        ASSERT_EQ(RunShell(std::string(c.make) + " brindlemark-pdf", env).status, 0);
        const Ran refused = brindlemark(c.command);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err, "brindlemark: The printer \"brindlemark-pdf\" " + std::string(c.refusal) +
                                   ", so nothing was sent to it. Start it again, or choose another printer.\n");
        EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", env).out, jobs);
        ASSERT_EQ(RunShell(std::string(c.undo) + " brindlemark-pdf", env).status, 0);
    }

    // A queue that turns the job away after that check still fails the submission, never silently.
    ASSERT_EQ(RunShell("cupsreject brindlemark-pdf", env).status, 0);
    cupsSetServer(server.c_str());
    const auto submitted = SystemSpooler()->Submit("brindlemark-pdf", pdf, "late", {});
    cupsSetServer(nullptr);
    ASSERT_FALSE(submitted.ok());
    EXPECT_NE(submitted.error().message.find("did not take the job"), std::string::npos) << submitted.error().message;
    EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", env).out, jobs);
}

}  // namespace
