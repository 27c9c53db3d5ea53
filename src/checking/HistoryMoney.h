#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checking/CheckEngine.h"

namespace bm {

// What a wheel would have won and cost over a history: a prize for each tier (in the order of the
// game's summary) and the price of one play, in hundredths of the currency ("12.50" is 1250).
struct HistoryPrizes {
    std::vector<std::int64_t> prize;
    std::int64_t price = 0;
    bool operator==(const HistoryPrizes&) const = default;
};

// "", "7", "7.5" or "7.50" (an empty box is 0); nothing for other text, a negative amount or
// one beyond a hundred billion.
std::optional<std::int64_t> ParseAmount(std::string_view text);
// "1234.50"; sums are held in long double, exact to far beyond any real total.
std::string AmountText(long double hundredths);

// The money one draw's tally wins.
long double WonBy(const HistoryPrizes& prizes, const Tally& tally);

// A draws file's prizes by division (1 first, -1 none) as prizes by tier, in the game's summary
// order: division 1 is the game's top tier, division 2 the one below, and so on down; -1 for a
// tier the file gives no prize.
std::vector<std::int64_t> TierPrizes(const CheckGame& game, const std::vector<std::int64_t>& divisions);
// The money a draw's tally wins at the file's prizes (`tierPrizes`, from TierPrizes), a typed
// prize standing in for a tier the file gives none or 0.
long double WonBy(const HistoryPrizes& typed, const Tally& tally, const std::vector<std::int64_t>& tierPrizes);

// Kept per definition as "P1;P2;...;Pn;PRICE" in hundredths; text that does not read as that for
// `tiers` tiers gives no prizes.
std::string PrizesText(const HistoryPrizes& prizes);
std::optional<HistoryPrizes> PrizesFromText(std::string_view text, std::size_t tiers);

}  // namespace bm
