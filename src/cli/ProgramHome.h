#pragma once

#include <filesystem>

namespace bm::cli {

// The folder of the running executable, the program folder by default; `argv0` is the fallback
// where the system cannot tell.
std::filesystem::path ExecutableFolder(const char* argv0);

}  // namespace bm::cli
