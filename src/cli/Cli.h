#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace bm::cli {

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the printing system failed, or the job was interrupted
inline constexpr int kExitRefused = 2;  // bad input or usage: nothing was printed

// Where the command line starts: `[--home DIR] COMMAND ...`, `--help`, `--version`.
// `defaultHome` is the program folder unless --home names another.
int RunCli(const std::vector<std::string>& args, const std::filesystem::path& defaultHome, std::ostream& out,
           std::ostream& err);

// True when the arguments ask for the command line rather than the desktop window: anything
// besides --home, except the single-dash options Qt takes (-platform, -style, ...).
bool WantsCommandLine(const std::vector<std::string>& args);

// The --home option and its value taken out of `args`; empty when not given.
std::filesystem::path TakeHome(std::vector<std::string>& args, std::string& error);

void WriteUsage(std::ostream& out);
// One command's usage lines and options: what "brindlemark COMMAND --help" prints.
void WriteCommandUsage(const std::string& command, std::ostream& out, const std::string& sub = {});
// "print", "test-pattern", "check": the commands the usage names.
bool IsCommand(const std::string& word);

}  // namespace bm::cli
