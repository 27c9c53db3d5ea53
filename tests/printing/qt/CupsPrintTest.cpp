#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <set>
#include <thread>

#include "printing/qt/PrintTestTools.h"

using namespace bm;
using namespace bmtest;

namespace {

const std::string kScript = std::string(SAMPLE_DIR) + "/../scripts/private-cups.sh";

// A private cupsd with the virtual PDF printer "brindlemark-pdf" (cups-pdf, A4, no margins),
// started once for the tests of this file and stopped by its process id.
class CupsPrint : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        skipReason_.clear();
        if (std::string(BRINDLEMARK_EXE).empty())
            skipReason_ = "the brindlemark executable is not built";
        else if (geteuid() != 0)
            skipReason_ = "a private cupsd needs root; run the tests as root (CI does)";
        if (!skipReason_.empty())
            return;
        root_ = std::make_unique<TempDir>();
        const Ran ran = RunShell("bash " + Quoted(kScript) + " start " + Quoted((*root_ / "cups").string()));
        if (ran.status != 0) {
            skipReason_ = "no private cupsd could be started here: " + ran.err;
            return;
        }
        std::istringstream lines(ran.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("CUPS_SERVER=", 0) == 0)
                server_ = line.substr(12);
            if (line.rfind("OUT=", 0) == 0)
                out_ = line.substr(4);
        }
    }

    static void TearDownTestSuite()
    {
        if (root_)
            RunShell("bash " + Quoted(kScript) + " stop " + Quoted((*root_ / "cups").string()));
        root_.reset();
    }

    void SetUp() override
    {
        if (!skipReason_.empty())
            GTEST_SKIP() << skipReason_;
        home_.makeProgramFolder();
    }

    std::string Env() const
    {
        return "CUPS_SERVER=" + Quoted(server_) + " QT_QPA_PLATFORM=offscreen";
    }

    Ran Brindlemark(const std::string& args) const
    {
        return RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home_.path().string()) + " " + args, Env());
    }

    Ran Cups(const std::string& command) const { return RunShell(command, Env()); }

    static std::set<std::filesystem::path> Outputs()
    {
        std::set<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(out_))
            files.insert(e.path());
        return files;
    }

    // The PDF the printer wrote for the job after `before`, once it is complete.
    static std::filesystem::path WaitForOutput(const std::set<std::filesystem::path>& before)
    {
        for (int i = 0; i < 300; ++i) {
            for (const auto& f : Outputs()) {
                if (before.count(f) || f.extension() != ".pdf")
                    continue;
                if (RunShell("pdfinfo " + Quoted(f.string())).status == 0)
                    return f;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }

    static inline std::string skipReason_;
    static inline std::unique_ptr<TempDir> root_;
    static inline std::string server_;
    static inline std::filesystem::path out_;
    TempDir home_;
};

TEST_F(CupsPrint, AJobOnTheDefaultPrinterComesOutWithEveryMarkInPlace)
{
    const SlipDefinition d = Horizontal649(2);
    WriteDefinition(home_ / "Defs", "HZ649", d);
    WriteBytes(home_ / "wheel" / "w.txt", Wheel(23));
    const auto before = Outputs();
    const Ran ran = Brindlemark("print --definition HZ649 --wheel w.txt");
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.err, "Printing 23 Picks On 3 Playslips\nProcessing Complete\n");
    const auto pdf = WaitForOutput(before);
    ASSERT_FALSE(pdf.empty()) << "the printer wrote no PDF";
    const auto expected = Recorded(home_ / "Defs" / "HZ649.def", d, false, "0", "0", home_ / "wheel" / "w.txt");
    ASSERT_EQ(expected.sheets(), 3);
    EXPECT_EQ(CheckMarks(pdf, expected), "");
}

// A queue that rejects the job: status 1, said, never "Processing Complete".
TEST_F(CupsPrint, ARejectedJobIsAFailureNamedNotCompletion)
{
    WriteDefinition(home_ / "Defs", "HZ649", Horizontal649(1));
    WriteBytes(home_ / "wheel" / "w.txt", Wheel(3));
    ASSERT_EQ(Cups("cupsreject brindlemark-pdf").status, 0);
    const Ran rejected = Brindlemark("print --definition HZ649 --wheel w.txt");
    Cups("cupsaccept brindlemark-pdf");
    EXPECT_EQ(rejected.status, 1);
    EXPECT_NE(rejected.err.find("did not take the job"), std::string::npos) << rejected.err;
    EXPECT_EQ(rejected.err.find("Processing Complete"), std::string::npos) << rejected.err;
}

}  // namespace
