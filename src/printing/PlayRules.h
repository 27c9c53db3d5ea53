#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "plays/PlayCount.h"
#include "plays/WheelFile.h"
#include "slip/BoxGeometry.h"

namespace bm {

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
    std::vector<bool> markable_;        // by number, 0 to Pool
    std::vector<bool> pastLastColumn_;  // by number: its only box lies beyond the columns marked
};

}  // namespace bm
