#pragma once

#include <filesystem>
#include <string_view>

#include "common/Result.h"

namespace bm {

// Writes the bytes to a temporary file in the target's folder, flushes it to disk and
// renames it over the target, so a reader sees either the old or the new file, never a
// half-written one. On failure the old file is untouched and the temporary file removed.
Status WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace bm
