#include <memory>
#include <tuple>

#include "cli/Cli.h"
#include "cli/InputFiles.h"
#include "cli/Interrupt.h"
#include "cli/JobCommand.h"
#include "cli/MarksSurface.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "printing/PdfSurface.h"
#include "printing/PrintJob.h"
#include "printing/PrinterSurface.h"
#include "slip/SlipMarks.h"
#ifdef _WIN32
#include "printing/windows/GdiPrinterSurface.h"
#endif

namespace bm::cli {

namespace {

// The job's texts on stderr. The summary is held back until the job goes on, so a refusal
// right after it (an unsupported pick) is the only line written.
class CliStatus : public JobStatus {
public:
    explicit CliStatus(std::ostream& err) : err_(err) {}
    void SetSummary(const std::string& text) override { summary_ = text; }
    void ShowCounters(bool) override {}
    void SetSlip(long long) override { Flush(); }
    void SetEndMessage(const std::string& text, bool shown) override
    {
        if (!shown || text.empty())
            return;
        Flush();
        err_ << text << "\n";
    }
    void SetBusy(bool) override {}
    void SetDestination(const std::string& text) override { err_ << text << "\n"; }

private:
    void Flush()
    {
        if (!summary_.empty())
            err_ << summary_ << "\n";
        summary_.clear();
    }

    std::ostream& err_;
    std::string summary_;
};

Result<PrintJobRequest> MakeRequest(const JobOptions& options, const ProgramFolder& folder, bool testMode)
{
    const auto chosen = ResolveDefinition(options.definition, folder);
    if (!chosen)
        return chosen.error();
    const auto def = ReadChosenDefinition(*chosen);
    if (!def)
        return def.error();
    auto margins = ReadMargins(folder, chosen->name);
    if (!margins)
        return margins.error();
    PrintJobRequest request;
    request.definitionFile = chosen->file;
    request.nameTellsGame = true;
    request.Horizontal = def->Horizontal;
    request.bPB = def->bPB;
    request.testMode = testMode;
    request.offsets = *margins;
    request.slips = options.slips;
    request.outline = options.outline;
    // A stored offset that is not a number is the settings file's fault: say which file.
    for (auto [given, stored, which] : {std::tuple{&options.top, &request.offsets.top, "top"},
                                        std::tuple{&options.left, &request.offsets.left, "left"}}) {
        if (*given)
            *stored = **given;
        else if (!OffsetValue(*stored))
            return Error{folder.settingsFile(chosen->name).string() + ": the " + which + " offset \"" +
                         ShownText(*stored) + "\" is not a number of millimetres (for example -1.5 or 2)"};
    }
    return request;
}

}  // namespace

Result<OpenedSurface> OpenSurface(const JobOptions& options, const ProgramFolder& folder, std::ostream& out,
                                  int& failureStatus, const std::string& title)
{
    failureStatus = kExitRefused;
    OpenedSurface opened;
    opened.paper = options.paper.value_or(A4Paper());
    opened.scale = options.scale.value_or(Scale{});
    switch (options.output) {
    case JobOptions::Output::Marks: opened.surface = std::make_unique<MarksSurface>(out); return opened;
    case JobOptions::Output::Pdf:
        opened.surface = std::make_unique<PdfSurface>(options.pdf, PaperArea{opened.paper.width, opened.paper.height});
        return opened;
    case JobOptions::Output::Printer:
    case JobOptions::Output::DefaultPrinter: break;
    }
    failureStatus = kExitFailure;
#ifdef _WIN32
    auto printer = GdiPrinterSurface::Open(options.printer, title, options.paper);
#else
    auto printer = PrinterSurface::Open(options.printer, SystemSpooler(), title, PaperChoice{options.paper, {}});
#endif
    if (!printer)
        return printer.error();
    opened.paper = (*printer)->LaidOutOn();
    // The printer's calibration, unless this run gives its own factors.
    if (!options.scale) {
        failureStatus = kExitRefused;
        const auto stored = CalibrationStore(Under(folder.home(), "Brindlemark.ini")).Get((*printer)->printer());
        if (!stored)
            return stored.error();
        opened.scale = stored->value_or(Scale{});
        failureStatus = kExitFailure;
    }
    opened.surface = std::move(*printer);
    return opened;
}

namespace {

// Before anything is read: the PDF must not land on an input of the job or in Defs or Settings.
Status CheckPdfTarget(const JobOptions& options, const std::filesystem::path& wheel, const ProgramFolder& folder)
{
    if (options.output != JobOptions::Output::Pdf)
        return Ok{};
    std::vector<std::filesystem::path> inputs{wheel};
    if (const auto chosen = ResolveDefinition(options.definition, folder)) {
        inputs.push_back(chosen->file);
        inputs.push_back(folder.settingsFile(chosen->name));
        // Not yet there, the marks file would be made by the PDF and refuse every later job.
        const auto marks = MarksFileOf(chosen->file);
        std::error_code ecPdf, ecMarks;
        const auto pdf = std::filesystem::weakly_canonical(options.pdf, ecPdf);
        const auto beside = std::filesystem::weakly_canonical(marks, ecMarks);
        if (!ecPdf && !ecMarks && pdf == beside)
            return Error{options.pdf.string() + ": is the marks file of " + chosen->file.string() +
                         "; choose another file"};
        inputs.push_back(marks);
    }
    return CheckOutputTarget(options.pdf, inputs, &folder);
}

}  // namespace

int RunJob(const JobOptions& options, const ProgramFolder& folder, bool testMode, std::ostream& out, std::ostream& err)
{
    const std::filesystem::path wheel = ResolveWheel(options.wheel, folder);
    if (const Status target = CheckPdfTarget(options, wheel, folder); !target) {
        err << "brindlemark: " << ShownLine(target.error().message) << "\n";
        return kExitRefused;
    }
    const auto request = MakeRequest(options, folder, testMode);
    if (!request) {
        err << "brindlemark: " << ShownLine(request.error().message) << "\n";
        return kExitRefused;
    }
    int failureStatus = kExitRefused;
    auto opened = OpenSurface(options, folder, out, failureStatus);
    if (!opened) {
        err << "brindlemark: " << ShownLine(opened.error().message) << "\n";
        return failureStatus;
    }
    PrintJobRequest job = *request;
    job.paper = opened->paper;
    job.scale = opened->scale;
    CliStatus status(err);
    Interrupt escape;
    const JobOutcome outcome = RunPrintJob(job, *opened->surface, status, escape, [&] { return wheel; });
    switch (outcome.end) {
    case JobEnd::Completed: return kExitOk;
    case JobEnd::Refused: err << "brindlemark: " << ShownLine(outcome.message) << "\n"; return kExitRefused;
    case JobEnd::Failed: err << "brindlemark: " << ShownLine(outcome.message) << "\n"; return kExitFailure;
    case JobEnd::Aborted:
    case JobEnd::Cancelled: break;
    }
    return kExitFailure;
}

int RunJobCommand(const std::string& command, const std::vector<std::string>& args, const ProgramFolder& folder,
                  std::ostream& out, std::ostream& err)
{
    const bool testMode = command == "test-pattern";
    const auto options = ParseJobOptions(args, !testMode);
    if (!options) {
        err << "brindlemark " << command << ": " << ShownLine(options.error().message) << "\n";
        return kExitRefused;
    }
    return RunJob(*options, folder, testMode, out, err);
}

}  // namespace bm::cli
