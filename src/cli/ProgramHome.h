#pragma once

#include <filesystem>

namespace bm::cli {

// The folder of the running executable, the program folder by default; `argv0` is the fallback
// where the system cannot tell.
std::filesystem::path ExecutableFolder(const char* argv0);

// The window's own program: beside the command's executable (a build folder, a portable copy)
// or where an installed program keeps it, ../libexec/brindlemark; empty when neither has it.
std::filesystem::path WindowProgram(const std::filesystem::path& exeFolder);

}  // namespace bm::cli
