#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"

namespace bm {

// The mark's size in percent of its box, each way: 100 fills the box edge to edge.
inline constexpr int kFullMark = 100;
inline constexpr int kSmallestMark = 10;
// More would be no slip anyone fills by hand; it also keeps the overlap check small.
inline constexpr int kMaxExtraMarks = 100;
// Longer than any paper a slip printer takes; positions and sizes beyond it are typing slips.
inline constexpr float kMaxExtraMm = 1000;

// A box marked on every slip played (number of draws, draw days, an add-on game), measured like
// the definition: from the slip's top-left edge, in millimetres, before offsets.
struct ExtraMark {
    std::string name;
    float left = 0, top = 0, width = 0, height = 0;
    int line = 0;  // its line in the marks file; 0 when it was not read from one

    bool operator==(const ExtraMark& o) const
    {
        return name == o.name && left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// What a definition's marks file holds. The default is what a definition without one prints.
struct SlipMarks {
    int width = kFullMark, height = kFullMark;
    std::vector<ExtraMark> extras;

    bool IsDefault() const { return width == kFullMark && height == kFullMark && extras.empty(); }
    bool operator==(const SlipMarks&) const = default;
};

// NAME.marks beside NAME.def.
std::filesystem::path MarksFileOf(const std::filesystem::path& definitionFile);

// The marks file read line by line; no file gives the default. Anything the format does not hold
// (an unknown section or key, a value out of range, a size of 0, a name twice), and anything that
// is no small text file (a FIFO, a device, a folder, a huge or binary file), is refused with the
// file, the line and what is wrong.
Result<SlipMarks> ReadSlipMarks(const std::filesystem::path& file);

// Why an extra mark's name cannot stand in the file; nothing when it can.
std::optional<std::string> ExtraNameFault(const std::string& name);

// The file's bytes: CR LF lines, [Mark] with both sizes, then [Extra] in the given order.
std::string SlipMarksText(const SlipMarks& marks);

// Written atomically, replacing the file.
Status WriteSlipMarks(const std::filesystem::path& file, const SlipMarks& marks);

}  // namespace bm
