// check --draws through the program: lines that are no draws skipped when asked, what stderr says
// about a draws file, and inputs that change while the program reads them.

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/cli/CatalogueSupport.h"
#include "checking/CheckTestSupport.h"

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
    const auto r = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draw", " 1, 2 ,3\t4 5,,6 7 ",
                            "--save", "{out}/s.txt"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kLottoReport);
    EXPECT_TRUE(IsCompletedLine(r.err)) << r.err;
    EXPECT_EQ(bmtest::ReadBytes(lab.out() / "s.txt"), bmtest::CrLf(kLottoReport));

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

// Against a history: one CSV line per draw with its date (empty without one), the same bytes
// saved, and one line on stderr.
TEST(CheckCommand, ChecksAgainstAHistoryOfDraws)
{
    BM_NEEDS_PROGRAM();
    bmtest::Lab lab;
    lab.Put("wheel/w.txt", bmtest::kLottoWheel);
    lab.Put("wheel/d.csv", "\"DRAW DATE\",\"NUMBERS\"\r\n\"06/12/1982\",\"1 2 3 4 5 6\",7\r\n\r\n1;2;3;10;11;12;44\r\n");
    const auto r = lab.Run({"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", "{home}/wheel/d.csv",
                            "--save", "{out}/h.csv"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string csv = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n"
                            "1982-06-12,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n"
                            ",1 2 3 10 11 12 +44,1,0,0,2,0,0,0,1,3\n"
                            "Total,,2,0,0,3,0,0,1,2,6\n";
    EXPECT_EQ(r.out, csv);
    EXPECT_EQ(bmtest::ReadBytes(lab.out() / "h.csv"), csv);
    EXPECT_TRUE(r.err.starts_with("Checked 4 plays against 2 draws in ")) << r.err;
}

namespace fs = std::filesystem;

ProgramRun History(const Lab& lab, std::vector<std::string> more = {})
{
    std::vector<std::string> args = {"check", "--definition", "LO649", "--wheel", "w.txt", "--draws", "{home}/wheel/d.csv"};
    args.insert(args.end(), more.begin(), more.end());
    return lab.Run(args);
}

const char* kHeading = "Date,Draw,Match 0,Match 1,Match 2,Match 3,Match 4,Match 5,Match 5+,Match 6,Wins\n";

// The lottery's own file mixes draws of another game (bonus 0) and a footer in: skipped and
// counted with --skip-invalid-draws, refused at the first without it.
TEST(HistoryCommand, SkipsLinesThatAreNoDrawsOfTheGameWhenAsked)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    lab.Put("wheel/w.txt", kLottoWheel);
    const auto draws = lab.Put("wheel/d.csv", "DRAW DATE,NUMBERS,BONUS\r\n"
                                              "2020-01-03,1 2 3 4 5 6,7\r\n"
                                              "2020-01-03,8 9 10 11 12 13,0\r\n"
                                              "2020-01-07,1 2 3 10 11 13,44\r\n"
                                              "Prizes are paid in cash\r\n");
    const auto save = lab.out() / "h.csv";
    const auto skipped = History(lab, {"--skip-invalid-draws", "--save", save.string()});
    EXPECT_EQ(skipped.status, 0) << skipped.err;
    const std::string csv = std::string(kHeading) +
                            "2020-01-03,1 2 3 4 5 6 +7,1,0,0,1,0,0,1,1,3\n"
                            "2020-01-07,1 2 3 10 11 13 +44,1,0,0,2,0,1,0,0,3\n"
                            "Total,,2,0,0,3,0,1,1,1,6\n";
    EXPECT_EQ(skipped.out, csv);
    EXPECT_EQ(ReadBytes(save), csv);
    EXPECT_TRUE(skipped.err.starts_with("Skipped 2 lines of " + draws.string() +
                                        " that are not draws of this game; first: line 3: The bonus number (box 7) "
                                        "is 0; the numbers of this game run from 1 to 49.\nChecked 4 plays against 2 "
                                        "draws in "))
        << skipped.err;

    const auto refused = History(lab);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "brindlemark: " + draws.string() +
                               ": line 3: The bonus number (box 7) is 0; the numbers of this game run from 1 to 49.\n");
}

// Repeated draws and a file out of date order are said on stderr; the CSV keeps the file's order.
TEST(HistoryCommand, SaysWhenDrawsRepeatAndWhenTheFileIsNotInDateOrder)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    lab.Put("wheel/w.txt", kLottoWheel);
    const auto draws = lab.Put("wheel/d.csv", "2020-01-07,1 2 3 10 11 13,44\n"
                                              "2020-01-03,1 2 3 4 5 6,7\n"
                                              "2020-01-07,13 11 10 3 2 1,44\n");
    const auto r = History(lab);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with(std::string(kHeading) + "2020-01-07,1 2 3 10 11 13 +44,") &&
                r.out.find("\n2020-01-07,13 11 10 3 2 1 +44,") != std::string::npos)
        << r.out;
    EXPECT_TRUE(r.err.starts_with(draws.string() +
                                  ": 1 draw repeats an earlier draw (same date and numbers); each is counted every "
                                  "time it appears\n" +
                                  draws.string() +
                                  ": the draws are not in date order (line 3 goes against the order of the draws "
                                  "before it); the CSV keeps the file's order\nChecked 4 plays against 3 draws in "))
        << r.err;
}

// The program started with its standard output a pipe that is read only when asked, so that a
// run that writes more than the pipe holds waits there with its inputs open.
class HeldRun {
public:
    explicit HeldRun(const std::vector<std::string>& args, const fs::path& errFile)
    {
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
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::vector<char*> argv{const_cast<char*>(BRINDLEMARK_EXE)};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(BRINDLEMARK_EXE, argv.data());
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
// was being checked", no summary or CSV saved, and no total claimed.
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
        {"draws cut between the passes", "d.csv", cut, {"--wheel", "w.txt", "--draws", "{home}/wheel/d.csv"}},
        {"wheel replaced during a history", "w.txt", replace, {"--wheel", "w.txt", "--draws", "{home}/wheel/d.csv"}},
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

}  // namespace
