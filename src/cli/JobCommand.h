#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "paper/Calibration.h"
#include "paper/Paper.h"
#include "paper/PrintSurface.h"

namespace bm::cli {

// `print`: plays of a wheel file onto slips. `args` follow the command word.
int RunPrintCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                    std::ostream& err);
// `test-pattern`: one slip with every box marked.
int RunTestPatternCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                          std::ostream& err);

// The options print and test-pattern share.
struct JobOptions {
    enum class Output { DefaultPrinter, Printer, Pdf, Marks };
    std::string definition;
    std::filesystem::path wheel;  // print only
    std::optional<std::string> top, left;
    Output output = Output::DefaultPrinter;
    std::string printer;
    std::filesystem::path pdf;
    std::string slips;           // print only: "N", "N-M" or "N-"
    bool outline = false;        // print to a PDF only
    std::optional<Paper> paper;  // default: the printer's paper, A4 for --pdf and --marks
    std::optional<Scale> scale;  // default: the printer's calibration; none for --pdf and --marks
};

// "--name value" or "--name=value"; `i` is left on the last argument used. A repeated option is
// refused (`error` set): which of the two was meant cannot be guessed.
std::optional<std::string> ValueOf(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                                   std::string& error, std::set<std::string>& seen);

Result<JobOptions> ParseJobOptions(const std::vector<std::string>& args, bool takesWheel);

// Where a job's sheets go, on which paper, with which factors: those given, else the printer's
// paper and stored calibration (A4 and none for --pdf and --marks). A failure to reach the
// printer is the printing system's (`failureStatus` 1), a bad stored calibration bad input (2).
struct OpenedSurface {
    std::unique_ptr<PrintSurface> surface;
    Paper paper;
    Scale scale;
};
Result<OpenedSurface> OpenSurface(const JobOptions& options, const ProgramFolder& folder, std::ostream& out,
                                  int& failureStatus, const std::string& title = "Brindlemark playslips");

// Runs the job the options describe; returns the exit status.
int RunJob(const JobOptions& options, const ProgramFolder& folder, bool testMode, std::ostream& out, std::ostream& err);

// `calibrate`: the calibration page, on plain paper or a slip.
int RunCalibrateCommand(const std::vector<std::string>& args, const ProgramFolder& folder, std::ostream& out,
                        std::ostream& err);

// Parses the arguments of `command` (print takes a wheel, test-pattern not) and runs the job.
int RunJobCommand(const std::string& command, const std::vector<std::string>& args, const ProgramFolder& folder,
                  std::ostream& out, std::ostream& err);

}  // namespace bm::cli
