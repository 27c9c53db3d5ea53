#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/ProgramFolder.h"
#include "common/Result.h"

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
    std::string slips;     // print only: "N", "N-M" or "N-"
    bool outline = false;  // print to a PDF only
};

Result<JobOptions> ParseJobOptions(const std::vector<std::string>& args, bool takesWheel);

// Runs the job the options describe; returns the exit status.
int RunJob(const JobOptions& options, const ProgramFolder& folder, bool testMode, std::ostream& out, std::ostream& err);

// Parses the arguments of `command` (print takes a wheel, test-pattern not) and runs the job.
int RunJobCommand(const std::string& command, const std::vector<std::string>& args, const ProgramFolder& folder,
                  std::ostream& out, std::ostream& err);

}  // namespace bm::cli
