#include <cups/cups.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "paper/Calibration.h"
#include "printing/Spooler.h"
#include "support/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

// The program run on the private cupsd with the program folder `home`.
Ran Brindlemark(const PrivateCups& cups, const TempDir& home, const std::string& args)
{
    return RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) + " " + args, cups.env());
}

// Sets environment variables for one scope, as a user's session would have them.
class UsersEnvironment {
public:
    UsersEnvironment(std::initializer_list<std::pair<const char*, std::string>> vars)
    {
        for (const auto& [name, value] : vars) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name, value.c_str(), 1);
        }
    }
    ~UsersEnvironment()
    {
        for (const auto& [name, old] : saved_)
            old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name);
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// A home folder whose CUPS settings choose a default printer the server does not have.
void ChooseMissingDefault(const TempDir& home)
{
    std::filesystem::create_directories(home / ".cups");
    WriteBytes(home / ".cups" / "lpoptions", "Default OfficeA4\n");
}

// The children the tests run never see the user's folders, locale or printer settings, even where
// the user's session names its own default printer and print server.
TEST(TestChildren, NeverSeeTheUsersFoldersLocaleOrPrinterSettings)
{
    TempDir users;
    ChooseMissingDefault(users);
    const UsersEnvironment session{{"HOME", users.path().string()},
                                   {"XDG_CONFIG_HOME", (users / ".config").string()},
                                   {"LPDEST", "OfficeA4"},
                                   {"CUPS_SERVER", "/nowhere/cups.sock"},
                                   {"LC_ALL", "de_DE.UTF-8"}};
    const Ran ran = RunShell(
        "sh -c 'echo \"$HOME|$XDG_CONFIG_HOME|${LPDEST-none}|${CUPS_SERVER-none}|$LC_ALL\"; "
        "test -e \"$HOME/.cups/lpoptions\" && echo lpoptions; test -e \"$CUPS_SERVERROOT/lpoptions\" && echo system; true'");
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out.find(users.path().string()), std::string::npos) << ran.out;
    EXPECT_TRUE(HasText(ran.out, "|none|none|C.UTF-8\n")) << ran.out;
    EXPECT_FALSE(HasText(ran.out, "lpoptions"));
    EXPECT_FALSE(HasText(ran.out, "system"));

    // A child started without a shell gets the same.
    TempDir child;
    std::map<std::string, std::string> seen;
    for (const std::string& entry : ChildEnvironmentEntries(child.path())) {
        const auto at = entry.find('=');
        EXPECT_TRUE(seen.emplace(entry.substr(0, at), entry.substr(at + 1)).second) << entry << " is given twice";
    }
    EXPECT_EQ(seen["HOME"], (child / "home").string());
    EXPECT_EQ(seen["XDG_CONFIG_HOME"], (child / "config").string());
    EXPECT_EQ(seen["LC_ALL"], "C.UTF-8");
    EXPECT_EQ(seen.count("LPDEST"), 0u);
    EXPECT_EQ(seen.count("CUPS_SERVER"), 0u);
    EXPECT_EQ(seen["CUPS_SERVERROOT"], (child / "cups").string());
    EXPECT_TRUE(std::filesystem::is_directory(child / "home"));
}

// A daemon left behind by a test that was killed (its owner gone) is stopped by the next start,
// with its settings in /etc/cups and its folder; a wait for a PDF ends as soon as none can come
// (nothing left in the queue, or the queue stopped) and says why.
TEST(PrivateCupsd, ADaemonLeftByAKilledTestIsSweptAndAWaitEndsOnceNothingCanCome)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a private cupsd needs root";
    TempDir left;
    const auto root = left / "cups";
    const std::string script = Quoted(std::string(PROJECT_SOURCE_DIR) + "/scripts/private-cups.sh");
    // Started for the shell that runs the script, which is gone once it has: as after a kill.
    const Ran stale = RunShell("bash " + script + " start " + Quoted(root.string()));
    if (stale.status != 0)
        GTEST_SKIP() << "no private cupsd could be started here: " << stale.err;
    const std::string pid = stale.out.substr(stale.out.find("PID=") + 4,
                                             stale.out.find('\n', stale.out.find("PID=")) - stale.out.find("PID=") - 4);
    const auto running = [&] { return ::kill(std::stoi(pid), 0) == 0; };
    const std::shared_ptr<void> stopAnyway(nullptr, [&](void*) {
        if (running() && HasText(ReadBytes("/proc/" + pid + "/cmdline"), root.string()))
            ::kill(std::stoi(pid), SIGTERM);
    });
    // Its settings, named after no test: found by the folder they write to.
    const auto settingsLeft = [&] {
        std::vector<std::string> found;
        for (const auto& f : std::filesystem::directory_iterator("/etc/cups"))
            if (f.path().filename().string().rfind("cups-pdf-brindlemark-", 0) == 0 &&
                HasText(ReadBytes(f.path()), "Out " + root.string() + "/out"))
                found.push_back(f.path().string());
        return found;
    };
    // A test running beside this one may start its own daemon now and sweep this one first; what
    // counts is that after a start nothing of it is left.
    const bool there = running() && !settingsLeft().empty();

    PrivateCups cups;
    ASSERT_TRUE(cups.started) << cups.why;
    for (int round = 0; round < 100 && running(); ++round)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // a killed process lingers as a zombie a moment
    EXPECT_FALSE(running() && HasText(ReadBytes("/proc/" + pid + "/cmdline"), root.string())) << there;
    EXPECT_TRUE(settingsLeft().empty()) << there;
    EXPECT_FALSE(std::filesystem::exists(root)) << there;

    // Nothing was sent: the wait ends at once instead of at the hang limit.
    int job = 0;
    EXPECT_TRUE(cups.NextPdf(job).empty());
    EXPECT_TRUE(HasText(cups.why, "no job is left in the queue")) << cups.why;
    // A job held by a stopped queue never prints: the wait says so.
    ASSERT_EQ(RunShell("cupsdisable brindlemark-pdf", cups.env()).status, 0);
    ASSERT_EQ(RunShell("lp -d brindlemark-pdf " + script, cups.env()).status, 0);
    EXPECT_TRUE(cups.NextPdf(job).empty());
    EXPECT_TRUE(HasText(cups.why, "a queue stopped with jobs waiting")) << cups.why;
    std::string reason;
    EXPECT_FALSE(cups.JobDone(&reason));
    EXPECT_TRUE(HasText(reason, "a queue stopped with jobs waiting")) << reason;
}

// On the private cupsd's default queue a job comes out with every mark in place and says where it
// went; while the queue is stopped or rejects jobs a job is refused at once, naming the printer
// and the reason CUPS gives, and nothing reaches the queue.
TEST(CupsPrint, AJobComesOutWithEveryMarkInPlaceAndAQueueThatWouldNotPrintIsRefusedFirst)
{
    PrivateCups cups;
    if (std::string(BRINDLEMARK_EXE).empty() || !cups.started)
        GTEST_SKIP() << cups.why << " (and the program must be built)";
    const std::string env = cups.env();
    TempDir home;
    home.makeProgramFolder();
    const auto brindlemark = [&](const std::string& args) { return Brindlemark(cups, home, args); };
    const SlipDefinition d = Horizontal649(2);
    WriteDefinition(home / "Defs", "HZ649", d);
    WriteBytes(home / "wheel" / "w.txt", Wheel(23));
    // The user's own default printer, which this server does not have, plays no part in a test.
    TempDir users;
    ChooseMissingDefault(users);
    const Ran ran = [&] {
        const UsersEnvironment session{{"HOME", users.path().string()}, {"PRINTER", "OfficeA4"}};
        return brindlemark("print --definition HZ649 --wheel w.txt");
    }();
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.err, "Printing 23 Picks On 3 Playslips\nProcessing Complete\nSent To Printer brindlemark-pdf\n");
    int job = 0;
    const auto pdf = cups.NextPdf(job);
    ASSERT_FALSE(pdf.empty()) << "the printer wrote no PDF: " << cups.why;
    const auto expected = Recorded(home / "Defs" / "HZ649.def", d, false, "0", "0", home / "wheel" / "w.txt");
    EXPECT_EQ(expected.sheets(), 3);
    EXPECT_EQ(CheckMarks(pdf, expected, true), "");

    const std::string jobs = RunShell("lpstat -W all -o brindlemark-pdf", env).out;
    // An empty wheel prints nothing and the job is done: nothing reaches the queue.
    WriteBytes(home / "wheel" / "empty.txt", "# no plays yet\r\n");
    const Ran empty = brindlemark("print --definition HZ649 --wheel empty.txt --printer brindlemark-pdf");
    EXPECT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.err, "Printing 0 Picks On 0 Playslips\nProcessing Complete\n");
    EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", env).out, jobs);

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

    // A default printer the user's own settings name but the server lacks is named as such.
    const std::string missing = "brindlemark: The default printer \"OfficeA4\" chosen in your printing settings "
                                "(lpoptions, LPDEST or PRINTER) does not exist; choose one of: brindlemark-pdf\n";
    const Ran byOptions = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) +
                                       " print --definition HZ649 --wheel w.txt",
                                   env + " HOME=" + Quoted(users.path().string()));
    EXPECT_EQ(byOptions.status, 1);
    EXPECT_EQ(byOptions.err, missing);
    const Ran byVariable = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) +
                                        " print --definition HZ649 --wheel w.txt",
                                    env + " LPDEST=OfficeA4");
    EXPECT_EQ(byVariable.status, 1);
    EXPECT_EQ(byVariable.err, missing);
    EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", env).out, jobs);

    // A queue that turns the job away after that check still fails the submission, never silently.
    ASSERT_EQ(RunShell("cupsreject brindlemark-pdf", env).status, 0);
    cupsSetServer(cups.server.c_str());
    const auto submitted = SystemSpooler()->Submit("brindlemark-pdf", pdf, "late", {});
    cupsSetServer(nullptr);
    EXPECT_TRUE(HasText(Refusal(submitted), "did not take the job"));
    EXPECT_EQ(RunShell("lpstat -W all -o brindlemark-pdf", env).out, jobs);
}

// A private cupsd with two more queues on the virtual PDF printer: "bm-letter" holding Letter and
// "bm-a4" holding A4, each offering a tray and manual feed; `why` is set when it cannot serve.
struct TwoQueues : PrivateCups {
    TwoQueues()
    {
        if (std::string(BRINDLEMARK_EXE).empty())
            why = "the program is not built";
        for (const char* queue : {"queue bm-letter Letter", "queue bm-a4 A4"})
            if (why.empty() && Script(queue).status != 0)
                why = std::string("could not add the ") + queue;
    }
};

std::string PageSize(const std::filesystem::path& pdf)
{
    const Ran info = RunShell("pdfinfo " + Quoted(pdf.string()) + " | grep '^Page size'");
    return info.out.substr(info.out.find(':') + 1)
        .erase(0, info.out.substr(info.out.find(':') + 1).find_first_not_of(' '));
}

// What a job on the definition draws, with the paper and factors the printer is given.
RecordingSurface Expected(const std::filesystem::path& file, const SlipDefinition& d, const Paper& paper, Scale scale)
{
    auto request = RequestFor(file, d, true);
    request.paper = paper;
    request.scale = scale;
    RecordingSurface surface;
    RunUnwatched(request, surface);
    return surface;
}

// A horizontal definition goes out as a landscape page laid out on the queue's own paper; CUPS
// turns it onto the portrait sheet: every mark arrives rotated and unscaled, on A4 and on Letter.
// A calibration kept for one printer stretches that printer's marks only, and --scale overrides it.
// --paper asks the printer for another paper, and the calibration page is never stretched.
TEST(CupsPaper, PagesArriveTurnedAndUnscaledOnThePaperAskedFor)
{
    TwoQueues cups;
    if (!cups.why.empty())
        GTEST_SKIP() << cups.why;
    TempDir home;
    home.makeProgramFolder();
    const SlipDefinition d = Horizontal649(2);
    const auto file = WriteDefinition(home / "Defs", "HZ649", d);
    WriteDefinition(home / "Defs", "HA649", Horizontal649(1));  // one main panel: fits a slip-sized paper
    WriteBytes(home / "Brindlemark.ini", "Calibration.bm-a4=1.02,0.97\r\n");
    const struct {
        const char* args;
        Paper paper;
        Scale scale;
        const char* size;
    } cases[] = {
        {"--printer bm-letter", LetterPaper(), {}, "612 x 792 pts (letter)"},
        {"--printer bm-a4 --scale 1,1", A4Paper(), {}, "595 x 842 pts (A4)"},
        {"--printer bm-a4", A4Paper(), {1.02, 0.97}, "595 x 842 pts (A4)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const Ran ran = Brindlemark(cups, home, std::string("test-pattern --definition HZ649 ") + c.args);
        ASSERT_EQ(ran.status, 0) << ran.err;
        int job = 0;
        const auto pdf = cups.NextPdf(job);
        ASSERT_FALSE(pdf.empty()) << "the printer wrote no PDF: " << cups.why;
        EXPECT_EQ(PageSize(pdf), std::string(c.size) + "\n");
        const auto expected = Expected(file, d, c.paper, c.scale);
        ASSERT_EQ(expected.marks().size(), 490u);
        EXPECT_EQ(CheckMarks(pdf, expected, true), "");
    }

    // --paper asks the printer for that paper: the job carries it, and the page comes out that size.
    const struct {
        const char *paper, *media, *size;
    } papers[] = {
        {"82x190", "media=custom_82x190mm_82x190mm;", "232 x 538 pts"},
        {"Legal", "media=na_legal_8.5x14in;", "612 x 1008 pts"},
    };
    for (const auto& c : papers) {
        SCOPED_TRACE(c.paper);
        const Ran ran = Brindlemark(
            cups, home, std::string("test-pattern --definition HA649 --printer bm-letter --paper ") + c.paper);
        ASSERT_EQ(ran.status, 0) << ran.err;
        int job = 0;
        const auto pdf = cups.NextPdf(job);
        ASSERT_FALSE(pdf.empty()) << cups.why;
        EXPECT_EQ(cups.JobMedia(job), c.media);
        EXPECT_EQ(PageSize(pdf), std::string(c.size) + "\n");
    }
    // The calibration page goes out on the paper asked for, never stretched by the printer's own
    // calibration: every crosshair and ruler tick where the page puts it.
    WriteBytes(home / "Brindlemark.ini", "Calibration.bm-letter=1.08,0.92\r\n");
    const Ran calibrate = Brindlemark(cups, home, "calibrate --printer bm-letter --paper A4");
    ASSERT_EQ(calibrate.status, 0) << calibrate.err;
    EXPECT_EQ(calibrate.err, "Printed The Calibration Page: crosshairs 180 mm across and 267 mm down\n"
                             "Sent To Printer bm-letter\n");
    int job = 0;
    const auto page = cups.NextPdf(job);
    ASSERT_FALSE(page.empty()) << cups.why;
    EXPECT_EQ(cups.JobMedia(job), "media=iso_a4_210x297mm;");
    RecordingSurface expected;
    expected.SetOrientation(Orientation::Portrait);
    CalibrationPage a4 = CalibrationPageFor(A4Paper());
    a4.caption = "Printer bm-letter, paper A4";  // as the command line labels it
    DrawCalibrationPage(a4, expected);
    ASSERT_TRUE(expected.EndDocument());
    EXPECT_EQ(CheckMarks(page, expected), "");

    // A box beyond the paper is refused naming it, and nothing reaches the queue.
    const Ran refused =
        Brindlemark(cups, home, "test-pattern --definition HA649 --printer bm-letter --paper 82x150 --left 5");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("off the 82 x 150 mm sheet (landscape, 150 x 82 mm)"), std::string::npos) << refused.err;
}

// A driver-based queue ("bm-driver", a PPD whose trays are PJL commands, writing what the printer
// would receive to a file): its trays are offered with the driver's own names, the chosen one
// reaches the printer as the driver's choice, whether remembered as that choice or as the IPP
// keyword; a paper size the driver does not take is refused before anything is sent.
TEST(CupsDriver, TheChosenTrayReachesThePrinterAndAPaperItCannotTakeIsRefused)
{
    PrivateCups cups;
    if (std::string(BRINDLEMARK_EXE).empty() || !cups.started)
        GTEST_SKIP() << cups.why << " (and the program must be built)";
    ASSERT_EQ(cups.Script("driver bm-driver").status, 0);
    const auto received = cups.out / "bm-driver.prn";
    TempDir home;
    home.makeProgramFolder();
    WriteDefinition(home / "Defs", "HA649", Horizontal649(1));
    const auto pdf = home / "pattern.pdf";
    const Ran pattern = Brindlemark(cups, home, "test-pattern --definition HA649 --pdf " + Quoted(pdf.string()));
    ASSERT_EQ(pattern.status, 0) << pattern.err;

    cupsSetServer(cups.server.c_str());
    const std::shared_ptr<void> unset(nullptr, [](void*) { cupsSetServer(nullptr); });
    const auto spooler = SystemSpooler();
    EXPECT_EQ(spooler->Description("bm-driver"), "Office laser, second floor");
    EXPECT_EQ(spooler->Description("no-such-queue"), "");
    std::vector<std::string> labels;
    for (const auto& source : spooler->Sources("bm-driver"))
        labels.push_back(source.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"Bypass Tray", "Tray 1", "Tray 2", "Tray 3", "Tray 4",
                                                "Large Capacity Tray", "Auto Select"}));
    const struct {
        const char *source, *pjl;
    } trays[] = {
        {"MultiTray", "@PJL SET TRAY = BYPASS"},
        {"multi-tray", "@PJL SET TRAY = BYPASS"},
        {"1Tray", "@PJL SET TRAY = Tray1"},
        {"", "@PJL SET TRAY = ALL"},
    };
    for (const auto& c : trays) {
        SCOPED_TRACE(c.source);
        WriteBytes(received, "");
        const auto job = spooler->Submit("bm-driver", pdf, "tray", {A4Paper(), c.source});
        ASSERT_TRUE(job) << job.error().message;
        ASSERT_TRUE(cups.JobDone(&cups.why)) << cups.why;
        EXPECT_TRUE(HasText(ReadBytes(received), c.pjl));
    }
    EXPECT_TRUE(spooler->TakesPaper("bm-driver", LegalPaper()));
    EXPECT_FALSE(spooler->TakesPaper("bm-driver", Paper{"", 82, 190}));
    EXPECT_TRUE(spooler->TakesPaper("brindlemark-pdf", Paper{"", 82, 190}));  // cups-pdf takes custom sizes

    const std::string jobs = RunShell("lpstat -W all -o bm-driver", cups.env()).out;
    const Ran refused = Brindlemark(cups, home, "test-pattern --definition HA649 --printer bm-driver --paper 82x190");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "brindlemark: The printer \"bm-driver\" does not take 82 x 190 mm paper (it lists no such "
                           "size and takes no custom sizes), so nothing was sent to it: it would print on A4 instead, "
                           "moving every mark. Choose a paper size it lists, or another printer.\n");
    EXPECT_EQ(RunShell("lpstat -W all -o bm-driver", cups.env()).out, jobs);
}

}  // namespace
