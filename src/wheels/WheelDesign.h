#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/InputFile.h"
#include "common/Result.h"
#include "wheels/WheelAnalysis.h"

namespace bm::wheels {

// A published wheel (covering or lotto design) written on labels 1..v or 0..v-1.
struct Design {
    std::string name;                     // the file as messages name it
    std::vector<std::vector<int>> plays;  // labels as written, in file order
    std::vector<std::int64_t> lines;      // physical 1-based line of each play
    int playSize = 0;
    bool zeroBased = false;  // a 0 occurs somewhere: labels run 0..v-1
    int highest = 0;         // the largest label written
    std::string heading;     // the first line when it is a comment (a credit), without "#"

    // The least count of numbers the design needs: every label it uses stands for one.
    int NumbersNeeded() const { return zeroBased ? highest + 1 : highest; }
    // The plays on labels 0..v-1, the lowest label first.
    std::vector<Play> OnLabels() const;
};

// Reads a design by the wheel-file rules: lines of blanks and comment lines (first character
// other than a blank is "#") are skipped, as are lines of separators alone; numbers are
// separated by commas, blanks, tabs and the braces "{" "}". Every play holds the same count of
// distinct labels. Errors name the file and the physical line.
Result<Design> ParseDesign(std::string_view text, const std::string& name);
Result<Design> ReadDesign(const std::filesystem::path& file);

// A design file opened for reading in passes: refused as ReadDesign refuses what is no design
// file (missing, no regular file, larger than a design can be).
Result<std::shared_ptr<InputFile>> OpenDesign(const std::filesystem::path& file);

// The shape of a design, as read by a pass over it.
struct DesignShape {
    std::int64_t plays = 0;
    int playSize = 0;
    bool zeroBased = false;
    int highest = 0;
    int NumbersNeeded() const { return zeroBased ? highest + 1 : highest; }
};

// One pass over the open design by the rules of ParseDesign (the same refusals), a piece of the
// file at a time, so memory stays that of a piece and a line however long the design is: each
// play goes to `each` (labels as written, with its physical line), which returns false to stop
// the pass. A line longer than a play of a design can be is refused.
using DesignPlay = std::function<bool(const std::vector<int>& labels, std::int64_t line)>;
Result<DesignShape> ScanDesign(const InputFile& file, const std::string& name, const DesignPlay& each = {});

// The player's numbers, blank- and/or comma-separated, distinct whole numbers; `pool`, when
// given, bounds them to 1..pool and `lottery` names the game in the message. `field` names
// where they were given.
Result<std::vector<int>> ParseNumbers(std::string_view text, std::optional<int> pool = std::nullopt,
                                      const std::string& lottery = {}, const std::string& field = "--numbers");

// The design on the player's numbers: the first number replaces the lowest label, and so on in
// the order given; each play's numbers ascending, the plays in the design's order.
Result<std::vector<std::vector<int>>> ApplyDesign(const Design& design, const std::vector<int>& numbers);

// One play a line, the numbers joined by ",", every line ending in CR LF.
std::string PlaysText(const std::vector<std::vector<int>>& plays);

}  // namespace bm::wheels
