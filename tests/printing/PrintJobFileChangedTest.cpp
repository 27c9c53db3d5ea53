// The wheel file is counted, then read while the slips are printed. Another program may write
// it in between (the status summary is shown exactly then): the job must neither print a file it
// did not count nor claim "Processing Complete" over plays it left out.
#include <gtest/gtest.h>

#include <functional>

#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

using namespace bm;
using namespace bmtest;

namespace {

// A status whose summary, the moment between counting and reading, changes the wheel file.
class ChangingStatus final : public JobStatus {
public:
    explicit ChangingStatus(std::function<void()> change) : change_(std::move(change)) {}
    void SetSummary(const std::string& text) override
    {
        summary = text;
        change_();
    }
    void ShowCounters(bool) override {}
    void SetSlip(long long) override {}
    void SetEndMessage(const std::string& text, bool shown) override
    {
        if (shown)
            endMessage = text;
    }
    void SetBusy(bool) override {}

    std::string summary, endMessage;

private:
    std::function<void()> change_;
};

class NeverEscape final : public EscapeKey {
public:
    bool Pressed() override { return false; }
};

struct Changed {
    JobOutcome outcome;
    RecordingSurface surface;
    std::string summary, endMessage;
};

std::unique_ptr<Changed> PrintWhileChanging(const std::string& counted, const std::string& printed)
{
    TempDir dir;
    const SlipDefinition def = Horizontal649();
    const auto defFile = WriteDefinition(dir, "HZ649", def);
    const auto wheel = dir / "w.txt";
    WriteBytes(wheel, counted);
    auto run = std::make_unique<Changed>();
    ChangingStatus status([&] { WriteBytes(wheel, printed); });
    NeverEscape escape;
    run->outcome = RunPrintJob(RequestFor(defFile, def), run->surface, status, escape, [&] { return wheel; });
    run->summary = status.summary;
    run->endMessage = status.endMessage;
    // The message names the file; the folder is gone with the test's.
    const auto at = run->outcome.message.find("w.txt");
    if (at != std::string::npos)
        run->outcome.message.erase(0, at);
    return run;
}

TEST(PrintJobFileChanged, EveryChangeBetweenCountingAndPrintingIsRefusedAndNothingIsPrinted)
{
    const struct Case {
        const char* what;
        std::string printed;
        const char* message;
    } cases[] = {
        {"plays added", Wheel(15), "w.txt: changed while it was being printed; it now holds more than 12 plays"},
        {"plays removed", Wheel(7), "w.txt: changed while it was being printed; it now holds 7 plays instead of 12"},
        {"emptied", "", "w.txt: changed while it was being printed; it now holds 0 plays instead of 12"},
        {"a bad line added", Wheel(12) + "1,2,3\r\n", "w.txt: line 13 holds 3 numbers; a play of this game has 6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto run = PrintWhileChanging(Wheel(12), c.printed);
        EXPECT_EQ(run->summary, "Printing 12 Picks On 2 Playslips");
        EXPECT_EQ(run->outcome.end, JobEnd::Refused);
        EXPECT_EQ(run->outcome.message, c.message);
        EXPECT_EQ(run->endMessage, "");  // no "Processing Complete"
        EXPECT_TRUE(run->surface.abandoned());
        EXPECT_EQ(run->surface.sheets(), 0);
    }
}

TEST(PrintJobFileChanged, BlankLinesAddedAfterTheLastPlayChangeNothing)
{
    const auto run = PrintWhileChanging(Wheel(12), Wheel(12) + "\r\n   \r\n");
    EXPECT_EQ(run->outcome.end, JobEnd::Completed);
    EXPECT_EQ(run->endMessage, "Processing Complete");
    EXPECT_EQ(run->surface.sheets(), 2);
}

}  // namespace
