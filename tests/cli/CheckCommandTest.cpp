// check through the program: the report, the summary and the CSV of a history, lines that are no
// draws skipped when asked, what stderr says about a draws file, and inputs that change while the
// program reads them; a report that could not be written is a failure with its reason, a long
// report arrives whole, and names show escaped wherever they are written.

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include <gtest/gtest.h>

#include "checking/CheckTestSupport.h"
#include "cli/CatalogueSupport.h"
#include "cli/CheckCommand.h"
#include "cli/ReportOutput.h"
#include "support/PrintTestTools.h"

using namespace bmtest;

namespace {

using bmtest::kLottoReport;

// "Processing Completed In 1,234.567 Seconds" and a line end; the number's format is the
// report's own test.
bool IsCompletedLine(const std::string& s)
{
    const std::string head = "Processing Completed In ", tail = " Seconds\n";
    return s.rfind(head, 0) == 0 && s.size() > head.size() + tail.size() && s.ends_with(tail) &&
           s.find('\n') == s.size() - 1;
}

// The installed program: the report on stdout, the completion line on stderr, the same report
// saved with CR LF line ends.
TEST(CheckCommand, WritesTheReportTheCompletionLineAndTheSummary)
{
    BM_NEEDS_PROGRAM();
    bmtest::Lab lab;
    lab.Put("wheel/w.txt", bmtest::kLottoWheel);
    const auto r = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draw", " 1, 2 ,3\t4 5, 6 7 ",
                            "--save", "{out}/s.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kLottoReport);
    EXPECT_TRUE(IsCompletedLine(r.err)) << r.err;
    EXPECT_EQ(bmtest::ReadBytes(lab.out() / "s.txt"), bmtest::CrLf(kLottoReport));

    // "LO649.def" is found in Defs as a wheel is in wheel, and a definition saved with a UTF-8
    // byte-order mark reads as without it.
    const auto bom = lab.Put("Defs/BM649.def", "\xEF\xBB\xBF" + bmtest::ReadBytes(lab.home() / "Defs" / "LO649.def"));
    for (const std::string definition : {"LO649.def", "BM649"}) {
        const auto d =
            lab.Run({"check", "--definition", definition, "--wheel", "w.txt", "--draw", " 1, 2 ,3\t4 5, 6 7 "});
        EXPECT_EQ(d.status, 0) << d.err;
        const std::string report = kLottoReport;
        EXPECT_EQ(d.out.substr(d.out.find('\n')), report.substr(report.find('\n'))) << definition;
    }

    // Comment lines are no plays, and the report names the physical lines.
    lab.Put("wheel/c.txt", std::string("# method: covering\r\n") + bmtest::kLottoWheel);
    const auto c = lab.Run({"check", "--definition", "LO649", "--wheel", "c.txt", "--draw", "1 2 3 4 5 6 7"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_NE(c.out.find("Draw: 1 2 3 4 5 6 Bonus 7\nChecking 4 Picks Against Above Draw Results\n\n"
                         "Match-3 For This Draw At Line 2\nMATCH-5 + Bonus For This Draw At Line 4\n"
                         "***MATCH-6*** For This Draw At Line 6\n\n"),
              std::string::npos)
        << c.out;
}

namespace fs = std::filesystem;

const char* kHeading = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n";

// Against a history: one CSV line per draw with its date (empty without one), in the file's order,
// the same bytes saved, and on stderr what the reading noted before the one line of the run. The
// lottery's own file may mix draws of another game (bonus 0) and a footer in: skipped and counted
// with --skip-invalid-draws, refused at the first without it.
TEST(HistoryCommand, WritesTheCsvAndSaysWhatTheDrawsFileHolds)
{
    BM_NEEDS_PROGRAM();
    const std::string mixed = "DRAW DATE,NUMBERS,BONUS\r\n2020-01-03,1 2 3 4 5 6,7\r\n2020-01-03,8 9 10 11 12 13,0\r\n"
                              "2020-01-07,1 2 3 10 11 13,44\r\nPrizes are paid in cash\r\n";
    const struct {
        const char* what;
        std::string draws;
        std::vector<std::string> more;
        std::string csv, err;  // the start of stderr
    } cases[] = {
        {"quoted, month first as told and undated",
         "\"DRAW DATE\",\"NUMBERS\"\r\n\"06/12/1982\",\"1 2 3 4 5 6\",7\r\n\r\n1;2;3;10;11;12;44\r\n",
         {"--date-order", "MDY"},
         "1982-06-12,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n,1 2 3 10 11 12 +44,1,0,0,2,0,0,0,1,3\nTotal,,2,0,0,3,0,0,1,2,6\n",
         "Checked 4 plays against 2 draws in "},
        {"lines that are no draws skipped",
         mixed,
         {"--skip-invalid-draws"},
         "2020-01-03,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n2020-01-07,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n"
         "Total,,2,0,0,3,0,1,1,1,6\n",
         "Skipped 2 lines of {home}/wheel/d.csv that are not draws of this game; first: line 3: The bonus number (box 7) "
         "is 0; the numbers of this game run from 1 to 49.\nChecked 4 plays against 2 draws in "},
        {"repeated and out of date order",
         "2020-01-07,1 2 3 10 11 13,44\n2020-01-03,1 2 3 4 5 6,7\n2020-01-07,13 11 10 3 2 1,44\n",
         {},
         "2020-01-07,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n2020-01-03,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n"
         "2020-01-07,13 11 10 3 2 1 +44,1,0,0,2,0,1,0,0,3\nTotal,,3,0,0,5,0,2,1,1,9\n",
         "{home}/wheel/d.csv: 1 draw repeats an earlier draw (same date and numbers); each is counted every time it "
         "appears\n{home}/wheel/d.csv: the draws are not in date order (line 3 goes against the order of the draws "
         "before it); the CSV keeps the file's order\nChecked 4 plays against 3 draws in "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lab lab;
        lab.Put("wheel/w.txt", kLottoWheel);
        lab.Put("wheel/d.csv", c.draws);
        std::vector<std::string> args = {"check",   "--definition",       "LO649",  "--wheel",    "w.txt",
                                         "--draws", "{home}/wheel/d.csv", "--save", "{out}/h.csv"};
        args.insert(args.end(), c.more.begin(), c.more.end());
        const auto r = lab.Run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, kHeading + c.csv);
        EXPECT_EQ(ReadBytes(lab.out() / "h.csv"), kHeading + c.csv);
        EXPECT_TRUE(r.err.starts_with(lab.Expand(c.err))) << r.err;
    }
    Lab lab;
    lab.Put("wheel/w.txt", kLottoWheel);
    // A file that gives prizes by division: the CSV gains what the plays won at them, per draw
    // and in all; a range of days checks only its draws.
    lab.Put("wheel/p.csv", "Draw Date,Winning Numbers,Bonus,Division 1,Division 2,Division 3,Division 4,Division 5\r\n"
                           "14/01/2020,1 2 3 4 5 6,7,\"$5,000,000.00\",\"$50,000.00\",\"$1,000.50\",$80,$10\r\n"
                           "07/01/2020,1 2 3 10 11 13,44,$0.00,,\"$2,000.00\",$90,$10\r\n");
    const std::string money = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins,Won\n";
    const auto paid = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", "{home}/wheel/p.csv"});
    EXPECT_EQ(paid.status, 0) << paid.err;
    EXPECT_EQ(paid.out,
              money + "2020-01-14,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3,5050010.00\n"
                      "2020-01-07,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3,2020.00\nTotal,,2,0,0,3,0,1,1,1,6,5052030.00\n");
    const auto ranged = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", "{home}/wheel/p.csv",
                                 "--from", "2020-01-01", "--to", "2020-01-10"});
    EXPECT_EQ(ranged.status, 0) << ranged.err;
    EXPECT_EQ(ranged.out,
              money + "2020-01-07,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3,2020.00\nTotal,,1,0,0,2,0,1,0,0,3,2020.00\n");
    lab.Put("wheel/d.csv", mixed);
    const auto refused =
        lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", "{home}/wheel/d.csv"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, lab.Expand("brindlemark: {home}/wheel/d.csv: line 3: The bonus number (box 7) is 0; the "
                                      "numbers of this game run from 1 to 49.\n"));
}

// The program started with its standard output a pipe that is read only when asked, so that a
// run that writes more than the pipe holds waits there with its inputs open.
class HeldRun {
public:
    explicit HeldRun(const std::vector<std::string>& args, const fs::path& errFile)
    {
        // Everything the child needs is made before the fork.
        std::vector<std::string> environment = bmtest::ChildEnvironmentEntries(errFile.parent_path() / "held-run");
        environment.emplace_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<char*> argv{const_cast<char*>(BRINDLEMARK_EXE)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], 1);
            const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, 2);
            const int in = ::open("/dev/null", O_RDONLY);
            ::dup2(in, 0);
            ::close(fds[0]);
            ::execve(BRINDLEMARK_EXE, argv.data(), envp.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~HeldRun()
    {
        if (out_ >= 0)
            ::close(out_);
        if (pid_ > 0 && !done_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    // Waits (in rounds of a millisecond, a minute at most) until the program holds `file` open.
    bool WaitUntilOpen(const fs::path& file)
    {
        const fs::path wanted = fs::canonical(file);
        for (int round = 0; round < 60000; ++round) {
            std::error_code ec;
            for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", ec))
                if (fs::read_symlink(fd.path(), ec) == wanted)
                    return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // Reads standard output to its end and returns the exit status.
    int Finish(std::string& out)
    {
        char buffer[65536];
        for (ssize_t n; (n = ::read(out_, buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
        done_ = true;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool done_ = false;
};

// An input cut or replaced while the program holds it open: exit 1 with "FILE changed while it
// was being checked", no summary or CSV saved, no total claimed, and no row of a history written.
TEST(HistoryCommand, AnInputThatChangesMidRunRefusesTheRun)
{
    BM_NEEDS_PROGRAM();
    // Every play wins: the report is far longer than a pipe holds.
    const std::string winners = Repeated("3,11,19,27,35,43\n", 200000);
    std::string draws;
    for (int d = 0; d < 4000; ++d)
        draws += "1,2,3,4,5," + std::to_string(6 + d % 40) + ",49\n";
    const auto cut = [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); };
    const auto replace = [](const fs::path& f) {
        WriteBytes(f.string() + ".new", "1,2,3,4,5,6\n");
        fs::rename(f.string() + ".new", f);
    };
    const struct {
        const char* what;
        const char* changed;  // under wheel/
        std::function<void(const fs::path&)> change;
        std::vector<std::string> args;  // after the definition
    } cases[] = {
        {"wheel cut during a check", "big.txt", cut, {"--wheel", "big.txt", "--draw", "3 11 19 27 35 43 7"}},
        {"wheel replaced during a check", "big.txt", replace, {"--wheel", "big.txt", "--draw", "3 11 19 27 35 43 7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lab lab;
        lab.Put("wheel/big.txt", winners);
        lab.Put("wheel/w.txt", kLottoWheel);
        lab.Put("wheel/d.csv", draws);
        std::vector<std::string> args = {"--home", lab.home().string(), "check", "--definition", "LO649"};
        for (const auto& a : c.args)
            args.push_back(lab.Expand(a));
        args.insert(args.end(), {"--save", (lab.out() / "s.txt").string()});
        const fs::path changed = lab.home() / "wheel" / c.changed;
        HeldRun run(args, lab.out().parent_path() / "err.txt");
        ASSERT_TRUE(run.WaitUntilOpen(changed));
        c.change(changed);
        std::string out;
        EXPECT_EQ(run.Finish(out), 1);
        EXPECT_EQ(ReadBytes(lab.out().parent_path() / "err.txt"),
                  "brindlemark: " + changed.string() + " changed while it was being checked\n");
        EXPECT_TRUE(fs::is_empty(lab.out()));
        EXPECT_EQ(out.find("Total"), std::string::npos);
    }
}

// A history whose wheel or draws file changes while the draws are counted (changed by the test
// as the counting asks whether to go on): exit 1 with the message, no CSV saved, and nothing on
// stdout, not even the rows counted before: the CSV goes out only once the whole run is known good.
TEST(HistoryCommand, AnInputThatChangesMidRunWritesNoRow)
{
    // A game of one pool and one of two (5 + 2 stars), whose history is counted by another reader.
    std::string lotto, stars;
    for (int d = 0; d < 4000; ++d) {
        lotto += "1,2,3,4,5," + std::to_string(6 + d % 40) + ",49\n";
        stars += "1,2,3,4," + std::to_string(5 + d % 40) + "," + std::to_string(1 + d % 11) + ",12\n";
    }
    const auto cut = [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); };
    const auto replace = [](const fs::path& f) {
        WriteBytes(f.string() + ".new", "1,2,3,4,5,6,7\n");
        fs::rename(f.string() + ".new", f);
    };
    const struct {
        const char* what;
        const char* definition;
        const char* changed;  // under wheel/
        std::function<void(const fs::path&)> change;
    } cases[] = {
        {"draws cut between the passes", "LO649", "d.csv", cut},
        {"draws replaced", "LO649", "d.csv", replace},
        {"wheel replaced", "LO649", "w.txt", replace},
        {"two pools: draws cut", "EM550", "d.csv", cut},
        {"two pools: draws replaced", "EM550", "d.csv", replace},
        {"two pools: wheel replaced", "EM550", "w.txt", replace},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lab lab;
        const bool twoPools = std::string(c.definition) == "EM550";
        lab.Put("wheel/w.txt", twoPools ? ReadBytes(lab.home() / "wheel/EM550-sample.txt") : kLottoWheel);
        lab.Put("wheel/d.csv", twoPools ? stars : lotto);
        const fs::path changed = lab.home() / "wheel" / c.changed;
        bool done = false;
        bm::cli::HistoryPollHook() = [&](std::int64_t) {
            if (!std::exchange(done, true))
                c.change(changed);
        };
        const auto run =
            RunInProcess(lab.home(), {"check", "--definition", c.definition, "--wheel", "w.txt", "--draws",
                                      (lab.home() / "wheel/d.csv").string(), "--save", (lab.out() / "s.csv").string()});
        bm::cli::HistoryPollHook() = nullptr;
        EXPECT_TRUE(done);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "brindlemark: " + changed.string() + " changed while it was being checked\n");
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(fs::is_empty(lab.out()));
    }
}

// Standard output on a full device, or a file beyond the size the system lets it grow to (a
// full disk as a program meets it; one block, so that stderr's line still fits): exit 1, the
// reason, no summary or CSV saved.
TEST(ReportOutput, AReportThatCannotBeWrittenFailsWithItsReason)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    // A report of some 3 KB, more than the limit below lets a file hold.
    lab.Put("wheel/w.txt", Repeated("1,2,3,10,11,12\n", 100));
    lab.Put("wheel/d.csv", Repeated("2020-01-01,1 2 3 4 5 6,7\n", 300));
    const std::vector<std::string> check = {"--home", lab.home().string(), "check", "--definition",
                                            "LO649",  "--wheel",           "w.txt"};
    const std::string draw = " --draw '1 2 3 4 5 6 7'";
    const std::string draws = " --draws " + Quoted((lab.home() / "wheel/d.csv").string());
    const std::string save = " --save " + Quoted((lab.out() / "s.txt").string());
    const std::string full = "No space left on device", tooLarge = "File too large";
    const struct {
        const char* what;
        std::string tail;   // after the check's arguments
        std::string limit;  // a shell command before the program
        std::string reason;
    } cases[] = {
        {"report on a full device", draw + save + " >/dev/full", "", full},
        {"CSV on a full device", draws + save + " >/dev/full", "", full},
        {"report into a file that may not grow", draw + " >" + Quoted((lab.out() / "r.txt").string()), "ulimit -f 1; ",
         tooLarge},
        {"CSV into a file that may not grow", draws + " >" + Quoted((lab.out() / "r.txt").string()), "ulimit -f 1; ",
         tooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(lab.out() / "r.txt");
        const Ran ran =
            RunShell("sh -c " + Quoted("trap '' XFSZ; " + c.limit + "exec " + ProgramCommand(check) + c.tail),
                     "QT_QPA_PLATFORM=offscreen");
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.err, "brindlemark: the report could not be written: " + c.reason + "\n");
        EXPECT_FALSE(fs::exists(lab.out() / "s.txt"));
    }
    // A PDF that cannot be written says why.
    const Ran pdf = RunShell(
        "sh -c " + Quoted("trap '' XFSZ; ulimit -f 1; exec " +
                          ProgramCommand({"--home", lab.home().string(), "print", "--definition", "LO649", "--wheel",
                                          "LO649-sample.txt", "--pdf", (lab.out() / "p.pdf").string()})),
        "QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(pdf.status, 1);
    EXPECT_NE(pdf.err.find("the PDF could not be written (" + tooLarge), std::string::npos) << pdf.err;
    EXPECT_FALSE(fs::exists(lab.out() / "p.pdf"));
}

// An output file that cannot be written to its end (a full disk as a program meets it: a file
// beyond the size the system lets it grow to) is a failure, exit 1, whichever command writes it:
// the input was good. Nothing is left under the output's name.
TEST(ReportOutput, AnOutputFileThatCannotBeWrittenIsAFailure)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    lab.Put("wheel/w.txt", Repeated("1,2,3,10,11,12\n", 300));
    lab.Put("wheel/d.csv", Repeated("2020-01-01,1 2 3 4 5 6,7\n", 300));
    lab.Put("design.txt", Repeated("1 2 3 4 5 6\n", 300));
    lab.Put("wheel/stars.txt", Repeated("1,2,3,10,11,1,2\n", 300));
    lab.Put("wheel/stars.csv", Repeated("2020-01-01,1,2,3,4,5,1,2\n", 300));
    const std::string out = (lab.out() / "o.txt").string();
    const struct {
        const char* what;
        std::vector<std::string> args;
    } cases[] = {
        {"check --save",
         {"check", "--definition", "LO649", "--wheel", "w.txt", "--draw", "1 2 3 4 5 6 7", "--save", out}},
        {"check --draws --save",
         {"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", (lab.home() / "wheel/d.csv").string(),
          "--save", out}},
        {"two pools: check --save",
         {"check", "--definition", "EM550", "--wheel", "stars.txt", "--draw", "1 2 3 4 5 1 2", "--save", out}},
        {"two pools: check --draws --save",
         {"check", "--definition", "EM550", "--wheel", "stars.txt", "--draws",
          (lab.home() / "wheel/stars.csv").string(), "--save", out}},
        {"wheel apply --out",
         {"wheel", "apply", "--design", (lab.home() / "design.txt").string(), "--numbers", "1 2 3 4 5 6", "--out",
          out}},
        {"wheel make --out",
         {"wheel", "make", "--count", "12", "--pick", "3", "--if", "3", "--match", "3", "--out", out}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--home", lab.home().string()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Ran ran =
            RunShell("sh -c " + Quoted("trap '' XFSZ; ulimit -f 1; exec " + ProgramCommand(args) + " >/dev/null"),
                     "QT_QPA_PLATFORM=offscreen");
        EXPECT_EQ(ran.status, 1) << ran.err;
        EXPECT_TRUE(HasText(ran.err, "brindlemark: cannot write " + out + ": writing failed (File too large)"));
        EXPECT_FALSE(fs::exists(out));
    }
}

// A stream that fails without a reason of the system's still fails.
TEST(ReportOutput, AStreamThatFailsIsAFailure)
{
    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    bm::cli::ReportOutput out(closed);
    EXPECT_FALSE(out.Write("x"));
    EXPECT_FALSE(out.Flush());
    EXPECT_EQ(out.FailureText(), "the report could not be written: the output stream failed");
    std::ostringstream fine;
    bm::cli::ReportOutput good(fine);
    EXPECT_TRUE(good.Write("abc") && good.Flush() && good.ok());
    EXPECT_EQ(fine.str(), "abc");
}

// Past half a million winning plays the report lines are read a second time: every one of them
// arrives, the last included, on stdout and in the summary.
TEST(ReportOutput, AReportReadASecondTimeKeepsItsLastLines)
{
    const Lab lab;
    const int plays = 600000;
    std::string wheel;
    for (int i = 0; i < plays; ++i)
        wheel += i % 7 == 3 ? "3,11,19,27,35,1\n" : "3,11,19,1,2,4\n";  // Match 5 or Match 3
    lab.Put("wheel/w.txt", wheel);
    const auto run = RunInProcess(lab.home(), {"check", "--definition", "LO649", "--wheel", "w.txt", "--draw",
                                               "3 11 19 27 35 43 7", "--save", (lab.out() / "s.txt").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string report = run.out;
    std::istringstream lines(report);
    int reported = 0, fives = 0;
    std::string line, last;
    for (int n = 1; std::getline(lines, line); ++n) {
        if (line.find(" For This Draw At Line ") == std::string::npos)
            continue;
        ++reported;
        fives += line.rfind("MATCH-5 For", 0) == 0 ? 1 : 0;
        last = line;
    }
    EXPECT_EQ(reported, plays);
    EXPECT_EQ(fives, (plays + 3) / 7);
    EXPECT_EQ(last, "Match-3 For This Draw At Line 600000");
    EXPECT_NE(report.find("Total Plays - 600000\nTotal Losses - 0\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(lab.out() / "s.txt"), CrLf(report));
}

// A name with a line feed or an escape sequence is written escaped: it adds no line to the
// report, the summary or the status, and nothing reaches the terminal as a control sequence.
TEST(ReportOutput, NamesAreWrittenWithTheirControlCharactersEscaped)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    const std::string wheel = "a\nTotal Wins - 999\x1b[2J.txt";
    lab.Put("wheel/" + wheel, kLottoWheel);
    const auto def = lab.out() / "L\nO649.def";
    fs::copy_file(lab.home() / "Defs/LO649.def", def);
    const auto save = lab.out() / "s.txt";
    // A definition can no longer be named so; its refusal shows the name escaped, on one line.
    const auto refused = lab.Run(
        {"check", "--definition", def.string(), "--wheel", wheel, "--draw", "1 2 3 4 5 6 7", "--save", save.string()});
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find("L\\x0AO649.def: is not named as a definition"), std::string::npos) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_FALSE(fs::exists(save));
    const auto r = lab.Run(
        {"check", "--definition", "LO649", "--wheel", wheel, "--draw", "1 2 3 4 5 6 7", "--save", save.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string head =
        "Lottery: LO649\nTicket File: a\\x0ATotal Wins - 999\\x1B[2J.txt\nDraw: 1 2 3 4 5 6 Bonus 7\n";
    EXPECT_TRUE(r.out.starts_with(head)) << r.out;
    EXPECT_EQ(r.out.find("Total Wins - 999\n"), std::string::npos);
    EXPECT_TRUE(ReadBytes(save).starts_with(CrLf(head)));

    const auto pdf = lab.out() / "slips\n\x1b[31m.pdf";
    const auto printed =
        lab.Run({"print", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--pdf", pdf.string()});
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_NE(printed.err.find("Saved To " + lab.out().string() + "/slips\\x0A\\x1B[31m.pdf"), std::string::npos)
        << printed.err;
    EXPECT_EQ(printed.err.find('\x1b'), std::string::npos);
}

}  // namespace
