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

DrawMatcher::DrawMatcher(const CheckGame& game, const DrawResult& draw, int pool)
    : game_(game), rule_(game, pool), draw_(draw)
{
    for (int j = 0; j < draw.mainCount; ++j) {
        if (static_cast<std::uint32_t>(draw.main[j]) < kTableSize)
            drawn_[static_cast<std::uint32_t>(draw.main[j])] = 1;
        else
            allDrawnInTable_ = false;
    }
    // The usual game: a pool of at most 64 numbers, every one with a bit of its own.
    smallPool_ = allDrawnInTable_ && pool >= 0 && pool <= 64;
    for (int n = 1; smallPool_ && n <= pool; ++n)
        drawn_[static_cast<std::size_t>(n)] |= kInPool;
}

bool DrawMatcher::IsMain(std::int32_t n) const
{
    if (static_cast<std::uint32_t>(n) < kTableSize)
        return (drawn_[static_cast<std::uint32_t>(n)] & 1u) != 0;
    for (int j = 0; j < draw_.mainCount; ++j)
        if (n == draw_.main[j])
            return true;
    return false;
}

int DrawMatcher::Classify(const Play& play) const
{
    // Each pick adds at most one: the rule has made sure that no number is repeated.
    int matches = 0;
    if (smallPool_) {
        // The rule in the same pass: a number outside the pool (or the table) finds no kInPool,
        // and one whose bit is set already is a repeat.
        std::uint64_t seen = 0, again = 0;
        unsigned outside = 0;
        for (int i = 0; i < game_.mainPicks; ++i) {
            const auto n = static_cast<std::uint32_t>(play.numbers[i]);
            const unsigned entry = drawn_[n & (kTableSize - 1)] * static_cast<unsigned>(n < kTableSize);
            matches += static_cast<int>(entry & 1u);
            outside |= ~entry & kInPool;
            const std::uint64_t bit = std::uint64_t{1} << (n & 63u);
            again |= seen & bit;
            seen |= bit;
        }
        if (outside | again || (game_.extra == ExtraNumber::Powerball && play.numbers[game_.mainPicks] < 1))
            return kNotAPlay;
    } else if (!rule_.Accepts(play)) {
        return kNotAPlay;
    } else if (allDrawnInTable_) {
        // Without a branch per number: one beyond the table looks up a wrong slot and is masked off.
        for (int i = 0; i < game_.mainPicks; ++i) {
            const auto n = static_cast<std::uint32_t>(play.numbers[i]);
            const std::uint32_t inTable = n < kTableSize;
            matches += static_cast<int>(drawn_[n & (kTableSize - 1)] & inTable);
        }
    } else {
        for (int i = 0; i < game_.mainPicks; ++i)
            matches += IsMain(play.numbers[i]) ? 1 : 0;
    }
    int hit = 0;
    if (game_.LooksAtHit(matches)) {
        if (game_.extraMatchesLastPick) {
            hit = play.numbers[game_.numbersPerPlay - 1] == draw_.extra ? 1 : 0;
        } else {
            for (int i = 0; i < game_.numbersPerPlay; ++i)
                hit |= play.numbers[i] == draw_.extra ? 1 : 0;
        }
    }
    return game_.TierOf(matches, hit);
}

void AppendReportLine(std::string& report, const Tier& tier, std::int64_t line)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, line).ptr;
    report += tier.reportLine;
    report.append(digits, end);
    report += '\n';
}

std::string ReportLines(const CheckGame& game, std::span<const ReportedPlay> plays)
{
    std::string text;
    text.reserve(plays.size() * 40);
    for (const auto& p : plays)
        AppendReportLine(text, game.tiers[p.tier], p.line);
    return text;
}

Status CheckPlays(WheelReader& reader, const DrawMatcher& matcher, CheckRun& run, CheckProgress* progress,
                  int pollEvery)
{
    const CheckGame& game = matcher.game();
    int untilPoll = pollEvery < 1 ? 1 : pollEvery;
    Play play;
    while (reader.Next(play)) {
        const int tier = matcher.Classify(play);
        if (tier == DrawMatcher::kNotAPlay)
            return Error{reader.name() + ": line " + std::to_string(play.line) + ": " +
                         matcher.rule().Fault(play).value_or("")};
        ++run.playsRead;
        ++run.tally.count[tier];
        if (game.tiers[tier].reportLine && !run.reportDropped) {
            const bool room = run.sharedAllowance
                                  ? run.sharedAllowance->fetch_sub(1, std::memory_order_relaxed) > 0
                                  : static_cast<std::int64_t>(run.reported.size()) < run.keepAtMost;
            if (room) {
                run.reported.push_back({tier, play.line});
            } else {
                run.reportDropped = true;
                std::vector<ReportedPlay>().swap(run.reported);
            }
        }
        if (progress && --untilPoll == 0) {
            untilPoll = pollEvery < 1 ? 1 : pollEvery;
            if (!progress->Poll(run)) {
                run.aborted = true;
                return Ok{};
            }
        }
    }
    if (reader.error())
        return *reader.error();
    return Ok{};
}

Status RunCheck(const CheckGame& game, int pool, const DrawResult& draw, const std::filesystem::path& wheel,
                Clock& clock, CheckRun& run, CheckProgress* progress, int pollEvery)
{
    const std::int64_t start = clock.NowMs();
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    Status status = reader ? CheckPlays(**reader, DrawMatcher(game, draw, pool), run, progress, pollEvery)
                           : Status(reader.error());
    run.elapsedMs = clock.NowMs() - start;
    return status;
}

}  // namespace bm
