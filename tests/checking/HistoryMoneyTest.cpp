#include <gtest/gtest.h>

#include "checking/HistoryMoney.h"

using namespace bm;

TEST(HistoryMoney, AmountsAndKeptPrizesReadOnlyAsWritten)
{
    const std::pair<const char*, std::optional<std::int64_t>> amounts[] = {
        {"", 0}, {" 7 ", 700}, {"7.5", 750}, {"7.50", 750}, {"0.05", 5}, {"100000000000", 10'000'000'000'000},
        {"7.505", std::nullopt}, {"-1", std::nullopt}, {"1e3", std::nullopt}, {"1,000", std::nullopt},
        {".", std::nullopt}, {"100000000001", std::nullopt}};
    for (const auto& [text, hundredths] : amounts)
        EXPECT_EQ(ParseAmount(text), hundredths) << text;
    EXPECT_EQ(AmountText(100000003050.0L), "1000000030.50");

    const HistoryPrizes prizes{{0, 0, 1000, 250}, 300};
    EXPECT_EQ(PrizesFromText(PrizesText(prizes), 4), prizes);
    // A value spoiled in the file, or kept for a game of other tiers, gives no prizes.
    for (const char* kept : {"0;0;1000;250", "0;0;1000;250;300;1", "0;0;x;250;300", "0;0;1000;;300", ""})
        EXPECT_FALSE(PrizesFromText(kept, 4)) << kept;
    EXPECT_EQ(WonBy(prizes, Tally{{5, 4, 3, 2}}), 3 * 1000 + 2 * 250);
}
