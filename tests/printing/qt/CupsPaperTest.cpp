#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "paper/Calibration.h"
#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

const std::string kScript = std::string(SAMPLE_DIR) + "/../scripts/private-cups.sh";

// A private cupsd (started for the test, stopped by its process id) with two more queues on the
// virtual PDF printer: "bm-letter" holding Letter and "bm-a4" holding A4, each offering a tray and
// manual feed.
class PrivateCups {
public:
    PrivateCups()
    {
        if (std::string(BRINDLEMARK_EXE).empty() || geteuid() != 0) {
            skip_ = "a private cupsd needs root and the brindlemark executable";
            return;
        }
        cups_ = Quoted((root_ / "cups").string());
        const Ran started = RunShell("bash " + Quoted(kScript) + " start " + cups_);
        if (started.status != 0) {
            skip_ = "no private cupsd could be started here: " + started.err;
            return;
        }
        running_ = true;
        std::string line;
        for (std::istringstream lines(started.out); std::getline(lines, line);) {
            if (line.rfind("CUPS_SERVER=", 0) == 0)
                server = line.substr(12);
            if (line.rfind("OUT=", 0) == 0)
                out = line.substr(4);
        }
        for (const auto& [name, size] : {std::pair{"bm-letter", "Letter"}, std::pair{"bm-a4", "A4"}})
            if (RunShell("bash " + Quoted(kScript) + " queue " + cups_ + " " + name + " " + size).status != 0)
                skip_ = std::string("the queue ") + name + " could not be added";
    }
    ~PrivateCups()
    {
        if (running_)
            RunShell("bash " + Quoted(kScript) + " stop " + cups_);
    }

    const std::string& skip() const { return skip_; }
    std::string env() const { return "QT_QPA_PLATFORM=offscreen CUPS_SERVER=" + Quoted(server); }

    // The PDF the printer wrote for a job not seen before, once it is whole; its job id in `job`.
    std::filesystem::path NextPdf(int& job)
    {
        for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(100)))
            for (const auto& f : std::filesystem::directory_iterator(out)) {
                const std::string name = f.path().filename().string();
                const auto at = name.rfind("-job_");
                if (f.path().extension() != ".pdf" || at == std::string::npos || seen_.count(name))
                    continue;
                if (RunShell("pdfinfo " + Quoted(f.path().string())).status != 0)
                    continue;
                seen_.insert(name);
                job = std::stoi(name.substr(at + 5));
                return f.path();
            }
        return {};
    }

    // "media=...;media-source=..." as the spooler keeps them for the job.
    std::string JobMedia(int job) const
    {
        const Ran ran = RunShell("ipptool -tv ipp://" + server + "/jobs/" + std::to_string(job) + " -d job-id=" +
                                     std::to_string(job) + " /usr/share/cups/ipptool/get-job-attributes.test",
                                 env());
        std::string found, line;
        for (std::istringstream lines(ran.out); std::getline(lines, line);)
            for (const char* name : {"media (keyword) = ", "media-source (keyword) = "})
                if (const auto at = line.find(name); at != std::string::npos && line.find("supported") == std::string::npos)
                    found += std::string(name).substr(0, std::string(name).find(' ')) + "=" +
                             line.substr(at + std::string(name).size()) + ";";
        return found;
    }

    std::string server;
    std::filesystem::path out;

private:
    TempDir root_;
    std::string cups_, skip_;
    bool running_ = false;
    std::set<std::string> seen_;
};

std::string PageSize(const std::filesystem::path& pdf)
{
    const Ran info = RunShell("pdfinfo " + Quoted(pdf.string()) + " | grep '^Page size'");
    return info.out.substr(info.out.find(':') + 1).erase(0, info.out.substr(info.out.find(':') + 1).find_first_not_of(' '));
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
TEST(CupsPaper, ALandscapePageArrivesTurnedAndUnscaledOnTheQueuesOwnPaper)
{
    PrivateCups cups;
    if (!cups.skip().empty())
        GTEST_SKIP() << cups.skip();
    TempDir home;
    home.makeProgramFolder();
    const SlipDefinition d = Horizontal649(2);
    const auto file = WriteDefinition(home / "Defs", "HZ649", d);
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
        const Ran ran = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) +
                                     " test-pattern --definition HZ649 " + c.args,
                                 cups.env());
        ASSERT_EQ(ran.status, 0) << ran.err;
        int job = 0;
        const auto pdf = cups.NextPdf(job);
        ASSERT_FALSE(pdf.empty()) << "the printer wrote no PDF";
        EXPECT_EQ(PageSize(pdf), std::string(c.size) + "\n");
        const auto expected = Expected(file, d, c.paper, c.scale);
        ASSERT_EQ(expected.marks().size(), 490u);
        EXPECT_EQ(CheckMarks(pdf, expected, true), "");
    }
}

// --paper asks the printer for that paper: the job carries it, and the page comes out that size.
TEST(CupsPaper, TheChosenPaperReachesTheJob)
{
    PrivateCups cups;
    if (!cups.skip().empty())
        GTEST_SKIP() << cups.skip();
    TempDir home;
    home.makeProgramFolder();
    SlipDefinition d = Horizontal649(1);
    WriteDefinition(home / "Defs", "HZ649", d);
    const struct {
        const char *paper, *media, *size;
    } cases[] = {
        {"82x190", "media=custom_82x190mm_82x190mm;", "232 x 538 pts"},
        {"Legal", "media=na_legal_8.5x14in;", "612 x 1008 pts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.paper);
        const Ran ran = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) +
                                     " test-pattern --definition HZ649 --printer bm-letter --paper " + c.paper,
                                 cups.env());
        ASSERT_EQ(ran.status, 0) << ran.err;
        int job = 0;
        const auto pdf = cups.NextPdf(job);
        ASSERT_FALSE(pdf.empty());
        EXPECT_EQ(cups.JobMedia(job), c.media);
        EXPECT_EQ(PageSize(pdf), std::string(c.size) + "\n");
    }
    // The calibration page goes out on the paper asked for, never stretched by the printer's own
    // calibration: every crosshair and ruler tick where the page puts it.
    WriteBytes(home / "Brindlemark.ini", "Calibration.bm-letter=1.08,0.92\r\n");
    const Ran calibrate = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) +
                                       " calibrate --printer bm-letter --paper A4",
                                   cups.env());
    ASSERT_EQ(calibrate.status, 0) << calibrate.err;
    EXPECT_EQ(calibrate.err, "Printed The Calibration Page: crosshairs 180 mm across and 267 mm down\n"
                             "Sent To Printer bm-letter\n");
    int job = 0;
    const auto page = cups.NextPdf(job);
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(cups.JobMedia(job), "media=iso_a4_210x297mm;");
    RecordingSurface expected;
    expected.SetOrientation(Orientation::Portrait);
    DrawCalibrationPage(CalibrationPageFor(A4Paper()), expected);
    ASSERT_TRUE(expected.EndDocument());
    EXPECT_EQ(CheckMarks(page, expected), "");

    // A box beyond the paper is refused naming it, and nothing reaches the queue.
    const Ran refused = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()) +
                                     " test-pattern --definition HZ649 --printer bm-letter --paper 82x150 --left 5",
                                 cups.env());
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("off the 82 x 150 mm sheet (landscape, 150 x 82 mm)"), std::string::npos) << refused.err;
}

}  // namespace
