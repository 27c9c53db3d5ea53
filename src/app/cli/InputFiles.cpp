#include "app/cli/InputFiles.h"

#include "definitions/DefinitionFile.h"

namespace bm::cli {

Result<ChosenDefinition> ResolveDefinition(const std::string& given, const ProgramFolder& folder)
{
    const std::filesystem::path path(given);
    const bool isFile = given.find('/') != std::string::npos || given.find('\\') != std::string::npos ||
                        path.extension() == ".def";
    if (isFile)
        return ChosenDefinition{path, DefinitionName(path.filename().string())};
    if (given.size() != 5)
        return Error{"--definition \"" + given +
                     "\" is neither a five-character definition name (such as LO649) nor a .def file"};
    return ChosenDefinition{folder.definitionFile(given), given};
}

std::filesystem::path ResolveWheel(const std::filesystem::path& given, const ProgramFolder& folder)
{
    std::error_code ec;
    if (given.empty() || std::filesystem::exists(given, ec) || !given.is_relative())
        return given;
    const auto inWheelFolder = folder.wheel() / given;
    return std::filesystem::exists(inWheelFolder, ec) ? inWheelFolder : given;
}

}  // namespace bm::cli
