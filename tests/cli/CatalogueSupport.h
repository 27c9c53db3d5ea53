#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"

namespace bmtest {

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

// A program folder copied from the sample one (Defs, wheel) with empty Settings and Summary,
// and an output folder beside it for PDFs and summaries.
class Lab {
public:
    Lab();
    const std::filesystem::path& home() const { return home_; }
    const std::filesystem::path& out() const { return out_; }
    // The path under the home folder, its folders made.
    std::filesystem::path Put(const std::string& relative, std::string_view bytes) const;
    // "{home}" and "{out}" replaced by the folders.
    std::string Expand(std::string text) const;
    // The program on this home folder, the arguments expanded.
    ProgramRun Run(std::vector<std::string> args) const;

private:
    TempDir dir_;
    std::filesystem::path home_, out_;
};

// Every file and folder under the roots with a checksum of each file: what "nothing was written
// or lost" compares.
using Snapshot = std::string;
Snapshot TakeSnapshot(const std::vector<std::filesystem::path>& roots);

// The shell command that runs the brindlemark executable with these arguments.
std::string ProgramCommand(const std::vector<std::string>& args);
// The brindlemark executable on the offscreen platform, with stdin closed.
ProgramRun RunProgram(const std::vector<std::string>& args);
// The command line run in this process on the program folder `home`.
ProgramRun RunInProcess(const std::filesystem::path& home, std::vector<std::string> args);

// Runs of the executable are skipped where it is not built.
#define BM_NEEDS_PROGRAM()                                                                                             \
    if (std::string(BRINDLEMARK_EXE).empty())                                                                          \
    GTEST_SKIP() << "the program is not built"

}  // namespace bmtest
