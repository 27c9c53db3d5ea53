#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/Result.h"

namespace bm {

// Where an installed program keeps its sample folder, relative to the executable's folder.
#ifdef _WIN32
inline const std::filesystem::path kInstalledSample = "sample";  // beside brindlemark.exe
#else
inline const std::filesystem::path kInstalledSample = "../share/brindlemark/sample";
#endif

// The program folder when no --home names one. A program run from its build folder (its
// folder holds Defs) keeps using that folder, as does one whose folder can be written and that
// has no installed sample beside it. An installed program gets a folder per user:
// $XDG_DATA_HOME/brindlemark, or ~/.local/share/brindlemark when XDG_DATA_HOME is unset or not
// an absolute path; the first start creates it with a copy of the installed sample folder.
// `xdgDataHome` and `userHome` are the environment's values (empty when unset). On Windows they
// are APPDATA and USERPROFILE, and the folder is %APPDATA%\Brindlemark (or
// %USERPROFILE%\AppData\Roaming\Brindlemark).
Result<std::filesystem::path> DefaultProgramFolder(const std::filesystem::path& exeFolder,
                                                   const std::string& xdgDataHome, const std::string& userHome);

// Why `path` cannot serve as a folder, links followed: "no such folder", "is a file, not a
// folder", "is a link to X, which does not exist", "is a FIFO, not a folder"...; nothing when
// it is a folder.
std::optional<std::string> NotAFolder(const std::filesystem::path& path);

// Creates `target` with a copy of `sample` (when it is a folder) and the four folders the
// program uses, unless `target` exists already: then nothing is touched. The copy is made
// aside and renamed into place, so no start ever sees half a folder.
Status SeedProgramFolder(const std::filesystem::path& target, const std::filesystem::path& sample);

}  // namespace bm
