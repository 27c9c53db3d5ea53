#pragma once

#include <filesystem>
#include <string>

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "slip/SlipDefinition.h"

namespace bm::cli {

// The definition named by --definition: its file and its five-character name.
struct DefinitionArgument {
    std::filesystem::path file;
    std::string name;  // the five-character definition name
};

// A five-character name is looked up in Defs; anything with a folder or a .def ending is a file.
Result<DefinitionArgument> ResolveDefinition(const std::string& given, const ProgramFolder& folder);

// The chosen file read; refused when its name's pick digit and pool disagree with what it holds
// (it would print plays of one game and check them as another).
Result<SlipDefinition> ReadChosenDefinition(const DefinitionArgument& chosen);

// A wheel file not found as given is looked for in the program's wheel folder.
std::filesystem::path ResolveWheel(const std::filesystem::path& given, const ProgramFolder& folder);

}  // namespace bm::cli
