#pragma once

#include <optional>
#include <string>

#include "common/ProgramFolder.h"
#include "common/Result.h"

namespace bm {

// The top and left offsets of a definition in millimetres, as typed.
struct MarginSettings {
    std::string top = "0";
    std::string left = "0";
    bool operator==(const MarginSettings&) const = default;
};

// The offsets stored for a definition; "0" and "0" when it has no settings file. A file that
// cannot be read is an error naming it.
Result<MarginSettings> ReadMargins(const ProgramFolder& folder, const std::string& name);

// The same, from any file.
Result<MarginSettings> ReadMarginsFile(const std::string& path);

// The two quoted lines of the file.
std::string MarginsFileText(const MarginSettings& m);

// Stores the offsets unless the file already holds exactly these texts. Creates the Settings
// folder when missing; writes atomically. True when the file was written.
Result<bool> WriteMargins(const ProgramFolder& folder, const std::string& name, const MarginSettings& m);

// An offset text as the print job reads it: a 32-bit float, or nothing when it is not a number.
std::optional<float> OffsetValue(const std::string& text);

}  // namespace bm
