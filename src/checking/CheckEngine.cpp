#include "checking/CheckEngine.h"

#include <charconv>

namespace bm {

Totals TotalsOf(const CheckGame& game, const Tally& tally)
{
    Totals t;
    for (std::size_t i = 0; i < game.tiers.size(); ++i) {
        t.plays += tally.count[i];
        if (game.tiers[i].losing)
            t.losses += tally.count[i];
    }
    t.wins = t.plays - t.losses;
    return t;
}

int ClassifyPlay(const CheckGame& game, const DrawResult& draw, const Play& play)
{
    int matches = 0;
    for (int i = 0; i < game.mainPicks; ++i) {
        const std::int32_t n = play.numbers[i];
        // A repeated pick number counts every time it occurs, but each pick at most once.
        for (int j = 0; j < draw.mainCount; ++j) {
            if (n == draw.main[j]) {
                ++matches;
                break;
            }
        }
    }
    int hit = 0;
    if (game.LooksAtHit(matches)) {
        if (game.extraMatchesLastPick) {
            hit = play.numbers[game.numbersPerPlay - 1] == draw.extra ? 1 : 0;
        } else {
            for (int i = 0; i < game.numbersPerPlay; ++i) {
                if (play.numbers[i] == draw.extra) {
                    hit = 1;
                    break;
                }
            }
        }
    }
    return game.TierOf(matches, hit);
}

void AppendReportLine(std::string& report, const Tier& tier, std::int64_t line)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, line).ptr;
    report += tier.reportLine;
    report.append(digits, end);
    report += '\n';
}

Status RunCheck(const CheckGame& game, const DrawResult& draw, const std::filesystem::path& wheel, Clock& clock,
                CheckRun& run, CheckProgress* progress, int pollEvery)
{
    const std::int64_t start = clock.NowMs();
    const auto stop = [&] { run.elapsedMs = clock.NowMs() - start; };
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    if (!reader) {
        stop();
        return reader.error();
    }
    if (pollEvery < 1)
        pollEvery = 1;
    int untilPoll = pollEvery;
    Play play;
    while ((*reader)->Next(play)) {
        ++run.playsRead;
        const int tier = ClassifyPlay(game, draw, play);
        ++run.tally.count[tier];
        if (game.tiers[tier].reportLine)
            AppendReportLine(run.reportLines, game.tiers[tier], play.line);
        if (progress && --untilPoll == 0) {
            untilPoll = pollEvery;
            if (!progress->Poll(run)) {
                run.aborted = true;
                stop();
                return Ok{};
            }
        }
    }
    stop();
    if ((*reader)->error())
        return *(*reader)->error();
    return Ok{};
}

}  // namespace bm
