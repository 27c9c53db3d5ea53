#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/ProgramFolder.h"
#include "common/Result.h"

namespace bm {

// The text with every line ending in CR LF ("\n" and "\r\n" ends alike become "\r\n").
std::string WithCrLf(std::string_view text);

// Creates the program folder's Summary folder when it is missing.
Status EnsureSummaryFolder(const ProgramFolder& folder);

// Writes the report box text as a summary file: exactly that text, CR LF line ends, replacing any
// file of that name. Atomic: on failure an existing file is left as it was.
Status WriteSummaryFile(const std::filesystem::path& file, std::string_view reportText);

}  // namespace bm
