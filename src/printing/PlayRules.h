#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "printing/BoxGeometry.h"
#include "printing/WheelFile.h"

namespace bm {

class PlaySeekIndex;

// Why a play is not a play that can be used as it stands ("50 has no box on this slip (1 to
// 49)"), or nothing.
using PlayFault = std::function<std::optional<std::string>(const Play&)>;

// The numbers a print job can mark on a slip: from 1 to the definition's Pool, with a box in the
// rows and the first 13 columns that the job walks.
class SlipNumbers {
public:
    SlipNumbers(const SlipDefinition& def, const BoxGeometry& geometry);
    // The first of the `marked` numbers of the play that the slip cannot take, or that the play
    // gives twice (a play with too few marks would be a void slip).
    std::optional<std::string> Fault(const Play& play, int marked) const;

private:
    bool Markable(std::int32_t n) const
    {
        return n >= 1 && n < static_cast<std::int32_t>(markable_.size()) && markable_[static_cast<std::size_t>(n)];
    }
    std::string NoBox(std::int32_t n) const;

    int pool_;
    int rows_;
    std::vector<bool> markable_;       // by number, 0 to Pool
    std::vector<bool> pastLastColumn_;  // by number: its only box lies beyond the columns marked
};

// Counts the plays of a wheel file as CountPlays does, and refuses the file at the first play
// that `fault` (when given) names, with the file and the line. With `countAll` the whole file is read and the
// message says how many plays have such a fault when there are several.
// `stop`, when given, is asked every few thousand plays; when it says so the count ends with an
// error of no message. `seek`, when given, gets the places plays can be read from later.
Result<std::int32_t> CountPlaysWithin(const std::filesystem::path& file, int numbersPerPlay, NumberWidth width,
                                      const PlayFault& fault, bool countAll,
                                      const std::function<bool()>& stop = {}, PlaySeekIndex* seek = nullptr);

}  // namespace bm
