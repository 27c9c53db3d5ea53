#include "checking/HistoryCheck.h"

namespace bm {

namespace {

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const auto& p : parts)
        text += "," + p;
    return text;
}

std::string Counts(const CheckGame& game, const Tally& tally, std::int64_t wins)
{
    std::string text;
    for (std::size_t i = 0; i < game.tiers.size(); ++i)
        text += "," + std::to_string(tally.count[i]);
    return text + "," + std::to_string(wins) + "\n";
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

std::string HistoryCsvHeader(const CheckGame& game) { return "Date,Draw" + Joined(HistoryTierNames(game)) + ",Wins\n"; }

std::string HistoryCsvRow(const CheckGame& game, const HistoryRow& row)
{
    return row.draw.date + "," + HistoryDrawText(game, row.draw.draw) + Counts(game, row.tally, row.wins);
}

std::string HistoryCsvTotal(const CheckGame& game, const HistoryRun& run)
{
    return "Total," + Counts(game, run.total, run.wins);
}

}  // namespace bm
