#include "checking/HistoryCheck.h"

#include "checking/HistoryMoney.h"

namespace bm {

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& p : parts)
        text += "," + p;
    return text;
}

std::string Counts(const CheckGame& game, const Tally& tally, std::int64_t wins, std::optional<long double> won)
{
    std::string text;
    for (std::size_t i = 0; i < game.tiers.size(); ++i)
        text += "," + std::to_string(tally.count[i]);
    text += "," + std::to_string(wins);
    if (won)
        text += "," + AmountText(*won);
    return text + "\n";
}

}  // namespace

std::vector<std::string> HistoryTierNames(const CheckGame& game)
{
    std::vector<std::string> names;
    for (const auto& tier : game.tiers) {
        std::string name = tier.summaryLabel;
        if (name.size() >= 3 && name.compare(name.size() - 3, 3, " - ") == 0)
            name.resize(name.size() - 3);
        names.push_back(name);
    }
    return names;
}

std::string HistoryDrawText(const CheckGame& game, const DrawResult& draw)
{
    std::string text;
    for (int i = 0; i < draw.mainCount; ++i)
        text += (i ? " " : "") + std::to_string(draw.main[static_cast<std::size_t>(i)]);
    if (game.extra != ExtraNumber::None)
        text += " +" + std::to_string(draw.extra);
    return text;
}

std::string HistoryCsvHeader(const CheckGame& game, bool money)
{
    return "Date,Draw" + Joined(HistoryTierNames(game)) + ",Wins" + (money ? ",Won" : "") + "\n";
}

std::string HistoryCsvRow(const CheckGame& game, const HistoryRow& row, bool money)
{
    std::optional<long double> won;
    if (money)
        won = WonBy(HistoryPrizes{}, row.tally, TierPrizes(game, row.draw.prizes));
    return row.draw.date + "," + HistoryDrawText(game, row.draw.draw) + Counts(game, row.tally, row.wins, won);
}

std::string HistoryCsvTotal(const CheckGame& game, const HistoryRun& run, std::optional<long double> won)
{
    return "Total," + Counts(game, run.total, run.wins, won);
}

}  // namespace bm
