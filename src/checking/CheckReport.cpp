#include "checking/CheckReport.h"

#include <cmath>

#include "common/ShownText.h"

namespace bm {

std::string LoadedText(std::int64_t plays, const NumberSeparators& separators)
{
    return "This file contains " + FormatWhole(plays, Pattern::GroupedBlankZero, separators) +
           " picks. Click RUN to continue.";
}

std::string DrawLine(const CheckGame& game, const DrawResult& draw)
{
    std::string text = "Draw:";
    for (int i = 0; i < game.mainDrawn; ++i)
        text += " " + std::to_string(draw.main[static_cast<std::size_t>(i)]);
    if (game.extra == ExtraNumber::Bonus)
        text += " Bonus " + std::to_string(draw.extra);
    else if (game.extra == ExtraNumber::Powerball)
        text += " Powerball " + std::to_string(draw.extra);
    return text;
}

std::string ReportHeader(std::string_view lottery, std::string_view ticketFileName, const CheckGame& game,
                         const DrawResult& draw, std::int64_t plays, const NumberSeparators& separators)
{
    std::string text;
    // Names as given may hold line feeds or escape sequences: shown escaped, they make no line of their own.
    text.append("Lottery: ").append(ShownLine(lottery)).append("\n");
    text.append("Ticket File: ").append(ShownLine(ticketFileName)).append("\n");
    text.append(DrawLine(game, draw)).append("\n");
    // An empty ticket file says so: "Checking 0 Picks", not a blank where the count goes.
    text.append("Checking ")
        .append(FormatWhole(plays, Pattern::Grouped, separators))
        .append(" Picks Against Above Draw Results\n");
    text.append("\n");
    return text;
}

std::optional<std::array<float, kMaxTiers>> ExpectedFigures(const CheckGame& game, int pool, std::int64_t plays)
{
    if (!game.expectedFor49 || pool != 49)
        return std::nullopt;
    std::array<float, kMaxTiers> figures{};
    for (std::size_t i = 0; i < game.tiers.size(); ++i)
        figures[i] = static_cast<float>(static_cast<double>(plays) * static_cast<double>(game.tiers[i].probability));
    return figures;
}

std::string SummaryText(const CheckGame& game, const Tally& tally, int pool, const NumberSeparators& separators)
{
    const Totals totals = TotalsOf(game, tally);
    const auto expected = ExpectedFigures(game, pool, totals.plays);
    std::string text;
    for (std::size_t i = 0; i < game.tiers.size(); ++i) {
        if (static_cast<int>(i) == game.summaryBreak)
            text += "\n";
        text += game.tiers[i].summaryLabel;
        text += FormatWhole(tally.count[i], Pattern::Grouped, separators);
        if (expected)
            text += " Expected is " + FormatDecimal(static_cast<double>((*expected)[i]), Pattern::Grouped3, separators);
        else if (game.tierLineEndsInBlank)
            text += " ";
        text += "\n";
    }
    text += "\n";
    text += "Total Plays - " + FormatWhole(totals.plays, Pattern::Plain, separators) + "\n";
    text += "Total Losses - " + FormatWhole(totals.losses, Pattern::Plain, separators) + "\n";
    text += "Total Wins - " + FormatWhole(totals.wins, Pattern::Grouped, separators) + "\n";
    text += "\n";
    return text;
}

std::string CompletedReport(std::string_view report, std::string_view summary)
{
    std::string text;
    text.reserve(report.size() + 1 + summary.size());
    text.append(report).append("\n").append(summary);
    return text;
}

std::string CompletionTimeText(double e, const NumberSeparators& separators)
{
    const std::string head = "Processing Completed In ";
    const auto fixed = [&](double v) { return FormatDecimal(v, Pattern::Fixed3, separators); };
    if (e > 60 && e < 3600) {
        const double m = std::floor(e / 60);
        return head + FormatWhole(static_cast<std::int64_t>(m), Pattern::Plain, separators) + "m " + fixed(e - 60 * m) +
               "s";
    }
    if (e > 3600) {
        const double h = std::floor(e / 3600);
        const double m = std::floor((e - 3600 * h) / 60);
        return head + FormatWhole(static_cast<std::int64_t>(h), Pattern::Plain, separators) + "h " +
               FormatWhole(static_cast<std::int64_t>(m), Pattern::Plain, separators) + "m " +
               fixed(e - 3600 * h - 60 * m) + "s";
    }
    return head + FormatDecimal(e, Pattern::Grouped3, separators) + " Seconds";
}

std::string AbortText(std::int64_t playsRead, double seconds, const NumberSeparators& separators)
{
    return "Operation Aborted By User At Line " + FormatWhole(playsRead - 1, Pattern::GroupedBlankZero, separators) +
           " After " + FormatDecimal(seconds, Pattern::Fixed3, separators) + " Seconds";
}

std::string InterruptQuestion(std::int64_t playsRead)
{
    return "Current count is " + std::to_string(playsRead) + "\nDo You Want To Abort This Operation?";
}

std::string CountText(const Tier& tier, std::int64_t count, const NumberSeparators& separators)
{
    return FormatWhole(count, tier.final, separators);
}

std::optional<std::string> LiveCountText(const Tier& tier, std::int64_t count, const NumberSeparators& separators)
{
    if (!tier.live)
        return std::nullopt;
    return FormatWhole(count, *tier.live, separators);
}

}  // namespace bm
