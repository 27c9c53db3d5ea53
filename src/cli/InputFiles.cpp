#include "cli/InputFiles.h"

#include "definitions/DefinitionFile.h"

namespace bm::cli {

Result<DefinitionArgument> ResolveDefinition(const std::string& given, const ProgramFolder& folder)
{
    const std::filesystem::path path(given);
    const bool isFile =
        given.find('/') != std::string::npos || given.find('\\') != std::string::npos || path.extension() == ".def";
    // The name says which offsets the file has and which game it is checked as: a copy such as
    // "LO649 copy.def" must not borrow LO649's.
    if (isFile) {
        if (!IsDefinitionFileName(path.filename().string()))
            return Error{path.string() + ": is not named as a definition; " + kDefinitionNameRule};
        // "LO649.def" is looked for in Defs when it is not where it was given, as a wheel in wheel.
        std::error_code ec;
        if (path.is_relative() && path == path.filename() && !std::filesystem::exists(path, ec) &&
            std::filesystem::exists(folder.definitionFile(DefinitionName(given)), ec))
            return DefinitionArgument{folder.definitionFile(DefinitionName(given)), DefinitionName(given)};
        return DefinitionArgument{path, DefinitionName(path.filename().string())};
    }
    if (!IsDefinitionName(given))
        return Error{"--definition \"" + given +
                     "\" is neither a definition name (two capital letters, the pick digit and the two-digit pool, "
                     "such as LO649) nor a .def file"};
    return DefinitionArgument{folder.definitionFile(given), given};
}

Result<SlipDefinition> ReadChosenDefinition(const DefinitionArgument& chosen)
{
    return ReadDefinitionAsNamed(chosen.file);
}

std::filesystem::path ResolveWheel(const std::filesystem::path& given, const ProgramFolder& folder)
{
    std::error_code ec;
    if (given.empty() || std::filesystem::exists(given, ec) || !given.is_relative())
        return given;
    const auto inWheelFolder = Under(folder.wheel(), given);
    return std::filesystem::exists(inWheelFolder, ec) ? inWheelFolder : given;
}

}  // namespace bm::cli
