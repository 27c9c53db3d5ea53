#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/EscapeKey.h"
#include "common/Result.h"
#include "definitions/MarginSettings.h"
#include "paper/Calibration.h"
#include "paper/Paper.h"
#include "paper/PrintSurface.h"
#include "plays/PlayWindow.h"
#include "printing/PlayRules.h"
#include "slip/BoxGeometry.h"
#include "slip/SlipMarks.h"

namespace bm {

// The main window's job-status labels (lblcnt, lblupdate, lblF, Label2) as the job drives them.
class JobStatus {
public:
    virtual ~JobStatus() = default;
    virtual void SetSummary(const std::string& text) = 0;                 // lblcnt
    virtual void ShowCounters(bool shown) = 0;                            // lblcnt, lblupdate, lblF
    virtual void SetSlip(long long slip) = 0;                             // lblF
    virtual void SetEndMessage(const std::string& text, bool shown) = 0;  // Label2
    virtual void SetBusy(bool busy) = 0;                                  // the hourglass pointer
    // Where the finished document went ("Sent To Printer office", "Saved To /home/ann/job.pdf"),
    // said after the end message; a status with no place for it leaves it out.
    virtual void SetDestination(const std::string& text) { (void)text; }
    // Only slips `first` to `last` of a job of `slips` are printed (told after the summary).
    virtual void SetRange(long long first, long long last, long long slips) { (void)first, (void)last, (void)slips; }
};

// A job nobody watches: nothing is shown and Escape is never pressed (the preview's drawing of one
// slip, benchmarks).
class UnwatchedJob : public JobStatus, public EscapeKey {
public:
    void SetSummary(const std::string&) override {}
    void ShowCounters(bool) override {}
    void SetSlip(long long) override {}
    void SetEndMessage(const std::string&, bool) override {}
    void SetBusy(bool) override {}
    bool Pressed() override { return false; }
};

}  // namespace bm

namespace bm {

// What a job needs from the main window: the chosen definition file and the flags the window
// loaded with it, the texts of the offset boxes, and whether this is the test pattern.
struct PrintJobRequest {
    std::filesystem::path definitionFile;
    bool Horizontal = true;
    bool bPB = false;
    bool testMode = false;
    MarginSettings offsets;
    // Only these slips of the job: "N", "N-M" or "N-" (1-based, inclusive); empty for all.
    std::string slips;
    // Every box outlined in light grey as well, for proofing a definition on a PDF.
    bool outline = false;
    // Asked with the number of slips before a job of more than kAskAboveSlips draws anything;
    // false prints nothing. Unset: never asked (the command line).
    std::function<bool(long long slips)> confirmSlips;
    // The paper the sheets are laid out on, and the printer's factors (applied after the offsets).
    Paper paper = A4Paper();
    Scale scale;
    // The definition file's name must tell the game it holds (ReadDefinitionAsNamed): set where
    // the same file is also checked, which goes by its name.
    bool nameTellsGame = false;
};

constexpr long long kAskAboveSlips = 100;

enum class JobEnd {
    Completed,  // "Processing Complete" / "Printed 1 Test Playslip"
    Aborted,    // Escape: "Print Job Aborted At Slip N", nothing printed
    Cancelled,  // the wheel-file dialog was cancelled, or a big job was not confirmed
    Refused,    // bad input (definition, offsets, wheel file, pick): message says what
    Failed,     // the printing system failed or refused the document
};

struct JobOutcome {
    JobEnd end = JobEnd::Completed;
    std::string message;  // for Refused and Failed: one clear line for the user
    long long slip = 0;   // the slip counter at the end
};

// Returns the chosen wheel file, or an empty path when the user cancelled.
using ChooseWheelFile = std::function<std::filesystem::path()>;

JobOutcome RunPrintJob(const PrintJobRequest& request, PrintSurface& surface, JobStatus& status, EscapeKey& escape,
                       const ChooseWheelFile& chooseWheelFile);

// Slips first to last of a job, 1-based and inclusive.
struct SlipSpan {
    long long first = 1, last = 1;
    bool operator==(const SlipSpan&) const = default;
};

// "N", "N-M" or "N-" read against a job of `slips` slips; the refusal names the option and
// how many slips the wheel fills.
Result<SlipSpan> ParseSlipRange(const std::string& text, long long slips);

// A job whose definition, offsets and wheel passed every check: any of its slips can be drawn,
// each from the nearest seek point rather than from the start of the wheel.
struct PreparedJob {
    PreparedJob(SlipDefinition d, float top, float left);

    std::filesystem::path definitionFile;
    SlipDefinition def;
    float top = 0, left = 0;  // the offsets
    Paper paper = A4Paper();
    BoxGeometry geometry;
    SlipNumbers slipNumbers;
    std::filesystem::path wheel;
    std::int64_t plays = 0;
    long long slips = 0;
    PlaySeekIndex seek;
    SlipMarks marks;  // the mark's size and the extra marks, read with the definition

    // The game with the second pool its marks give.
    GameFormat Game() const;
    PlayFault Fault() const;
    // The plays of slip `slip` with their lines (fewer than a slip holds on the last one).
    Result<std::vector<Play>> PlaysOf(long long slip) const;
};

// Everything RunPrintJob does before the first slip: reads and checks the definition and
// offsets, asks for the wheel, counts and checks its plays. `job` is set when it may print;
// otherwise the outcome says how it ended.
struct JobPreparation {
    JobOutcome outcome;
    std::unique_ptr<PreparedJob> job;
};
JobPreparation PrepareJob(const PrintJobRequest& request, JobStatus& status, EscapeKey& escape,
                          const ChooseWheelFile& chooseWheelFile);

// Draws slips `span` of a prepared job onto `surface`, each on its own sheet numbered as in the
// whole job, and ends the document.
JobOutcome PrintPreparedSlips(const PreparedJob& job, SlipSpan span, bool outline, PrintSurface& surface,
                              JobStatus& status, EscapeKey& escape);

}  // namespace bm
