#include "printing/PlayRules.h"

#include <algorithm>

namespace bm {

SlipNumbers::SlipNumbers(const SlipDefinition& def, const BoxGeometry& geometry)
    : pool_(def.Pool),
      rows_(std::min({def.RowsInPanel, kMaxNumberedRows, static_cast<int>(def.RowFirstNumber.size())})),
      markable_(static_cast<std::size_t>(std::max(def.Pool, 0)) + 1),
      pastLastColumn_(markable_.size())
{
    for (int r = 1; r <= rows_; ++r) {
        for (int c = 1; c <= def.ColumnsInPanel; ++c) {
            // Boxes past the 13th column keep their place in the row but are never marked.
            const int n = c <= kMaxNumberedColumns
                              ? geometry.BoxNumber(r, c).value_or(0)
                              : static_cast<std::int16_t>(def.RowFirstNumber[r - 1] + (c - 1) * geometry.Step());
            if (n < 1 || n > pool_)
                continue;
            if (c <= kMaxNumberedColumns)
                markable_[static_cast<std::size_t>(n)] = true;
            else
                pastLastColumn_[static_cast<std::size_t>(n)] = true;
        }
    }
}

std::string SlipNumbers::NoBox(std::int32_t n) const
{
    const std::string number = std::to_string(n);
    if (n < 1 || n > pool_)
        return number + " has no box on this slip (1 to " + std::to_string(pool_) + ")";
    if (pastLastColumn_[static_cast<std::size_t>(n)])
        return number + " has no box on this slip that can be marked (its box lies beyond the " +
               std::to_string(kMaxNumberedColumns) + "th column of the panel)";
    return number + " has no box on this slip (no box of its " + std::to_string(rows_) + " rows is numbered " + number +
           ")";
}

std::optional<std::string> SlipNumbers::Fault(const Play& play, int marked) const
{
    for (int i = 0; i < marked && i < play.count; ++i) {
        const std::int32_t n = play.numbers[static_cast<std::size_t>(i)];
        if (!Markable(n))
            return NoBox(n);
        for (int j = 0; j < i; ++j)
            if (play.numbers[static_cast<std::size_t>(j)] == n)
                return std::to_string(n) + " is given twice";
    }
    return std::nullopt;
}

}  // namespace bm
