#include "cli/CatalogueSupport.h"

#include <sstream>

#include "cli/Cli.h"
#include "support/PrintTestTools.h"

namespace bmtest {

Lab::Lab() : home_(dir_ / "home"), out_(dir_ / "out")
{
    namespace fs = std::filesystem;
    fs::create_directories(home_);
    for (const char* sub : {"Defs", "wheel"})
        fs::copy(fs::path(SAMPLE_DIR) / sub, home_ / sub, fs::copy_options::recursive);
    fs::create_directories(home_ / "Settings");
    fs::create_directories(home_ / "Summary");
    fs::create_directories(out_);
}

std::filesystem::path Lab::Put(const std::string& relative, std::string_view bytes) const
{
    const auto path = home_ / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path, bytes);
    return path;
}

std::string Lab::Expand(std::string text) const
{
    for (const auto& [key, value] : {std::pair{std::string("{home}"), home_.string()}, {"{out}", out_.string()}})
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    return text;
}

ProgramRun Lab::Run(std::vector<std::string> args) const
{
    args.insert(args.begin(), {"--home", home_.string()});
    for (auto& a : args)
        a = Expand(a);
    return RunProgram(args);
}

Snapshot TakeSnapshot(const std::vector<std::filesystem::path>& roots)
{
    std::string command = "find";
    for (const auto& root : roots)
        command += " " + Quoted(root.string());
    return RunShell(command + " \\( -type f -exec md5sum {} + \\) -o -print | sort").out;
}

std::string ProgramCommand(const std::vector<std::string>& args)
{
    std::string command = Quoted(BRINDLEMARK_EXE);
    for (const auto& a : args)
        command += " " + Quoted(a);
    return command;
}

ProgramRun RunProgram(const std::vector<std::string>& args)
{
    // A run that blocks is a fault too: it is ended instead of hanging the suite.
    const Ran ran = RunShell("timeout 600 " + ProgramCommand(args) + " </dev/null", "QT_QPA_PLATFORM=offscreen");
    return {ran.status, ran.out, ran.err};
}

ProgramRun RunInProcess(const std::filesystem::path& home, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--home", home.string()});
    std::ostringstream out, err;
    const int status = bm::cli::RunCli(args, "/nonexistent", out, err);
    return {status, out.str(), err.str()};
}

}  // namespace bmtest
