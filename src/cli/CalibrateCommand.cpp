#include "cli/Cli.h"
#include "cli/JobCommand.h"
#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "common/ShownText.h"
#include "paper/Calibration.h"

namespace bm::cli {

namespace {

Result<JobOptions> ParseCalibrateOptions(const std::vector<std::string>& args)
{
    JobOptions o;
    int outputs = 0;
    std::string error;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
        if (auto p = ValueOf(args, i, "--pdf", error, seen)) {
            o.output = JobOptions::Output::Pdf;
            o.pdf = *p;
            ++outputs;
        } else if (auto q = ValueOf(args, i, "--printer", error, seen)) {
            o.output = JobOptions::Output::Printer;
            o.printer = *q;
            ++outputs;
        } else if (auto size = ValueOf(args, i, "--paper", error, seen)) {
            if (auto paper = ParsePaper(*size))
                o.paper = *paper;
            else
                error = paper.error().message;
        } else if (!error.empty()) {
            break;
        } else if (args[i] == "--marks" && o.output != JobOptions::Output::Marks) {
            o.output = JobOptions::Output::Marks;
            ++outputs;
        } else {
            error = args[i] == "--marks" ? "--marks is given twice" : "unknown option \"" + args[i] + "\"";
        }
    }
    if (!error.empty())
        return Error{error};
    if (outputs > 1)
        return Error{"choose one of --pdf, --printer and --marks"};
    if (o.output == JobOptions::Output::Pdf && o.pdf.empty())
        return Error{"--pdf needs a file name"};
    if (o.output == JobOptions::Output::Printer && o.printer.empty())
        return Error{"--printer needs a printer name"};
    return o;
}

}  // namespace

int RunCalibrateCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                        std::ostream& err)
{
    auto options = ParseCalibrateOptions(args);
    if (!options) {
        err << "brindlemark calibrate: " << ShownLine(options.error().message) << "\n";
        return kExitRefused;
    }
    if (options->output == JobOptions::Output::Pdf) {
        if (const Status target = CheckOutputTarget(options->pdf, {}, &folder); !target) {
            err << "brindlemark: " << ShownLine(target.error().message) << "\n";
            return kExitRefused;
        }
    }
    // The page measures the printer as it is: no calibration of its own.
    options->scale = Scale{};
    int failureStatus = kExitRefused;
    auto opened = OpenSurface(*options, folder, out, failureStatus, "Brindlemark calibration page");
    if (!opened) {
        err << "brindlemark: " << ShownLine(opened.error().message) << "\n";
        return failureStatus;
    }
    PrintSurface& surface = *opened->surface;
    surface.UseMillimetres();
    surface.SetOrientation(Orientation::Portrait);
    CalibrationPage page = CalibrationPageFor(opened->paper);
    if (const Destination to = surface.HandedTo(); to.kind == Destination::Kind::Printer)
        page.caption = "Printer " + to.name + ", paper " + PaperName(opened->paper);
    else
        page.caption = "Paper " + PaperName(opened->paper);
    DrawCalibrationPage(page, surface);
    if (const Status ended = surface.EndDocument(); !ended) {
        err << "brindlemark: " << ShownLine(ended.error().message) << "\n";
        return kExitFailure;
    }
    err << "Printed The Calibration Page: crosshairs " << ShortestText(page.across) << " mm across and "
        << ShortestText(page.down) << " mm down\n";
    if (const Destination to = surface.HandedTo(); to.kind == Destination::Kind::Printer)
        err << "Sent To Printer " << to.name << "\n";
    else if (to.kind == Destination::Kind::File)
        err << "Saved To " << to.name << "\n";
    return kExitOk;
}

}  // namespace bm::cli
