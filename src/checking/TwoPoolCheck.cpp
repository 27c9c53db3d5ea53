#include "checking/TwoPoolCheck.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "checking/DrawEntry.h"

namespace bm {

namespace {

double Choose(int n, int k)
{
    if (k < 0 || n < 0 || k > n)
        return 0;
    double c = 1;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return c;
}

// Hypergeometric: `picked` numbers of a pool of `pool`, `matched` of them among `picked` drawn.
double Chance(int pool, int picked, int matched)
{
    return Choose(picked, matched) * Choose(pool - picked, picked - matched) / Choose(pool, picked);
}

std::string Money(double amount)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", amount);
    return text;
}

}  // namespace

bool TwoPoolGame::HasAmounts() const
{
    for (const auto& a : amounts)
        if (a)
            return true;
    return false;
}

bool ChecksByTiers(const GameFormat& game)
{
    return game.HasSecondPool() && !(game.bPB && game.Pick == 5);
}

bool WinsByDefault(int pick, int secondPick, int main, int second)
{
    if (secondPick == 1)
        return main >= 3 || second == 1;  // where the powerball checker pays
    if (pick == 5)
        return main >= 2 || (main == 1 && second == 2);
    return 2 * main >= pick || (second == secondPick && main >= 1);
}

Result<TwoPoolGame> TwoPoolGameOf(const GameFormat& format, const SlipMarks& marks, const std::string& marksFile)
{
    TwoPoolGame game;
    game.pool = format.Pool;
    game.pick = format.Pick;
    game.secondPool = format.secondPool;
    game.secondPick = format.secondPick;
    game.wins.assign(static_cast<std::size_t>(game.Tiers()), false);
    game.amounts.assign(static_cast<std::size_t>(game.Tiers()), std::nullopt);
    if (!marks.prizes) {
        for (int t = 0; t < game.Tiers(); ++t)
            game.wins[static_cast<std::size_t>(t)] =
                WinsByDefault(game.pick, game.secondPick, game.MainOf(t), game.SecondOf(t));
        return game;
    }
    for (const PrizeTier& p : *marks.prizes) {
        if (p.main > game.pick || p.second > game.secondPick)
            return Error{marksFile + ": line " + std::to_string(p.line) + ": prize tier \"" + std::to_string(p.main) +
                         "+" + std::to_string(p.second) + "\" cannot happen: a play holds " +
                         std::to_string(game.pick) + " main numbers and " + std::to_string(game.secondPick) +
                         " of the second pool"};
        const auto t = static_cast<std::size_t>(game.TierOf(p.main, p.second));
        game.wins[t] = true;
        if (!p.amount.empty())
            game.amounts[t] = std::stod(p.amount);
    }
    return game;
}

std::optional<std::string> TwoPoolDrawFault(const TwoPoolGame& game, const TwoPoolDraw& draw)
{
    for (std::size_t i = 0; i < draw.main.size(); ++i) {
        const auto n = draw.main[i];
        if (n < 1 || n > game.pool)
            return "main number " + std::to_string(n) + " is out of range (1 to " + std::to_string(game.pool) + ")";
        for (std::size_t k = 0; k < i; ++k)
            if (draw.main[k] == n)
                return "main number " + std::to_string(n) + " is given twice";
    }
    for (std::size_t i = 0; i < draw.second.size(); ++i) {
        const auto n = draw.second[i];
        if (n < 1 || n > game.secondPool)
            return "second-pool number " + std::to_string(n) + " is out of range (1 to " +
                   std::to_string(game.secondPool) + ")";
        for (std::size_t k = 0; k < i; ++k)
            if (draw.second[k] == n)
                return "second-pool number " + std::to_string(n) + " is given twice";
    }
    return std::nullopt;
}

Result<TwoPoolDraw> ParseTwoPoolDraw(const std::string& text, const TwoPoolGame& game, const std::string& lottery)
{
    std::vector<std::string> words;
    std::string current;
    for (char c : text + " ") {
        if (c == ' ' || c == ',' || c == '\t') {
            if (!current.empty())
                words.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    const int size = game.NumbersPerPlay();
    if (static_cast<int>(words.size()) != size)
        return Error{"--draw \"" + text + "\" holds " + std::to_string(words.size()) + " numbers; " + lottery + " (" +
                     std::to_string(game.pick) + " from " + std::to_string(game.pool) + " and " +
                     std::to_string(game.secondPick) + " from " + std::to_string(game.secondPool) + ") needs " +
                     std::to_string(size) + ": the " + std::to_string(game.pick) + " main numbers, then the " +
                     std::to_string(game.secondPick) + " of the second pool"};
    TwoPoolDraw draw;
    for (int i = 0; i < size; ++i) {
        const std::string& w = words[static_cast<std::size_t>(i)];
        const bool digits = !w.empty() && w.size() <= 9 && w.find_first_not_of("0123456789") == std::string::npos;
        if (!digits)
            return Error{"--draw: number " + std::to_string(i + 1) + " (\"" + w + "\") is not a whole number"};
        (i < game.pick ? draw.main : draw.second).push_back(std::stoi(w));
    }
    if (const auto fault = TwoPoolDrawFault(game, draw))
        return Error{"--draw: " + *fault};
    return draw;
}

std::optional<std::string> TwoPoolPlayFault(const TwoPoolGame& game, const Play& play)
{
    for (int i = 0; i < game.pick; ++i) {
        const auto n = play.numbers[static_cast<std::size_t>(i)];
        if (n < 1 || n > game.pool)
            return std::to_string(n) + " is out of range (1 to " + std::to_string(game.pool) + ")";
        for (int k = 0; k < i; ++k)
            if (play.numbers[static_cast<std::size_t>(k)] == n)
                return std::to_string(n) + " is given twice";
    }
    for (int i = game.pick; i < game.NumbersPerPlay(); ++i) {
        const auto n = play.numbers[static_cast<std::size_t>(i)];
        if (n < 1 || n > game.secondPool)
            return "second-pool number " + std::to_string(n) + " is out of range (1 to " +
                   std::to_string(game.secondPool) + ")";
        for (int k = game.pick; k < i; ++k)
            if (play.numbers[static_cast<std::size_t>(k)] == n)
                return "second-pool number " + std::to_string(n) + " is given twice";
    }
    return std::nullopt;
}

int TwoPoolTier(const TwoPoolGame& game, const TwoPoolDraw& draw, const Play& play)
{
    int main = 0, second = 0;
    for (int i = 0; i < game.pick; ++i)
        for (const auto d : draw.main)
            main += play.numbers[static_cast<std::size_t>(i)] == d;
    for (int i = game.pick; i < game.NumbersPerPlay(); ++i)
        for (const auto d : draw.second)
            second += play.numbers[static_cast<std::size_t>(i)] == d;
    return game.TierOf(main, second);
}

Status RunTwoPoolCheck(const TwoPoolGame& game, const TwoPoolDraw& draw, const std::shared_ptr<const InputFile>& wheel,
                       Clock& clock, TwoPoolRun& run, const std::function<void(const std::string&)>& reportLine,
                       const std::function<bool()>& keepGoing)
{
    const std::int64_t start = clock.NowMs();
    run.tally.assign(static_cast<std::size_t>(game.Tiers()), 0);
    auto reader = WheelReader::Open(wheel, game.NumbersPerPlay(), NumberWidth::Bits32);
    if (!reader)
        return reader.error();
    Play play;
    while ((*reader)->Next(play)) {
        if (const auto fault = TwoPoolPlayFault(game, play))
            return Error{wheel->path().string() + ": line " + std::to_string(play.line) + ": " + *fault};
        ++run.playsRead;
        const int tier = TwoPoolTier(game, draw, play);
        ++run.tally[static_cast<std::size_t>(tier)];
        if (game.wins[static_cast<std::size_t>(tier)] && reportLine)
            reportLine(TwoPoolReportLine(game.MainOf(tier), game.SecondOf(tier), play.line));
        if ((run.playsRead & 0xFFF) == 0 && keepGoing && !keepGoing()) {
            run.aborted = true;
            break;
        }
    }
    run.elapsedMs = clock.NowMs() - start;
    if ((*reader)->error())
        return *(*reader)->error();
    if (const Status same = wheel->CheckUnchanged(); !same)
        return same;
    return Ok{};
}

std::string TwoPoolReportLine(int main, int second, std::int64_t line)
{
    return "Match-" + std::to_string(main) + "+" + std::to_string(second) + " For This Draw At Line " +
           std::to_string(line);
}

std::string TwoPoolDrawLine(const TwoPoolDraw& draw)
{
    std::string text = "Draw:";
    for (const auto n : draw.main)
        text += " " + std::to_string(n);
    text += " +";
    for (const auto n : draw.second)
        text += " " + std::to_string(n);
    return text;
}

double TwoPoolExpected(const TwoPoolGame& game, int tier, std::int64_t plays)
{
    return static_cast<double>(plays) * Chance(game.pool, game.pick, game.MainOf(tier)) *
           Chance(game.secondPool, game.secondPick, game.SecondOf(tier));
}

std::optional<double> TwoPoolWon(const TwoPoolGame& game, const std::vector<std::int64_t>& tally)
{
    if (!game.HasAmounts())
        return std::nullopt;
    double won = 0;
    for (int t = 0; t < game.Tiers() && t < static_cast<int>(tally.size()); ++t)
        if (const auto& a = game.amounts[static_cast<std::size_t>(t)])
            won += *a * static_cast<double>(tally[static_cast<std::size_t>(t)]);
    return won;
}

Result<TwoPoolWheel> ReadTwoPoolWheel(const TwoPoolGame& game, const std::shared_ptr<const InputFile>& wheel,
                                      const std::function<bool()>& keepGoing, bool& stopped)
{
    stopped = false;
    auto reader = WheelReader::Open(wheel, game.NumbersPerPlay(), NumberWidth::Bits32);
    if (!reader)
        return reader.error();
    TwoPoolWheel held;
    Play play;
    while ((*reader)->Next(play)) {
        if (const auto fault = TwoPoolPlayFault(game, play))
            return Error{wheel->path().string() + ": line " + std::to_string(play.line) + ": " + *fault};
        if (++held.plays > kMostHeldPlays)
            return Error{wheel->path().string() + ": holds more than " + std::to_string(kMostHeldPlays) +
                         " plays, more than a check against many draws holds"};
        for (int i = 0; i < game.NumbersPerPlay(); ++i)
            held.numbers.push_back(static_cast<std::uint8_t>(play.numbers[static_cast<std::size_t>(i)]));
        if ((held.plays & 0xFFF) == 0 && keepGoing && !keepGoing()) {
            stopped = true;
            return TwoPoolWheel{};
        }
    }
    if ((*reader)->error())
        return *(*reader)->error();
    return held;
}

std::vector<std::int64_t> TwoPoolTally(const TwoPoolGame& game, const TwoPoolWheel& wheel, const TwoPoolDraw& draw)
{
    // Whether each number was drawn, main and second apart.
    std::array<std::uint8_t, 256> main{}, second{};
    for (const auto n : draw.main)
        main[static_cast<std::uint8_t>(n)] = 1;
    for (const auto n : draw.second)
        second[static_cast<std::uint8_t>(n)] = 1;
    std::vector<std::int64_t> tally(static_cast<std::size_t>(game.Tiers()), 0);
    const auto per = static_cast<std::size_t>(game.NumbersPerPlay());
    const auto pick = static_cast<std::size_t>(game.pick);
    for (std::size_t at = 0; at + per <= wheel.numbers.size(); at += per) {
        int m = 0, j = 0;
        for (std::size_t i = 0; i < pick; ++i)
            m += main[wheel.numbers[at + i]];
        for (std::size_t i = pick; i < per; ++i)
            j += second[wheel.numbers[at + i]];
        ++tally[static_cast<std::size_t>(game.TierOf(m, j))];
    }
    return tally;
}

namespace {

std::string CsvCounts(const TwoPoolGame& game, const std::vector<std::int64_t>& tally)
{
    std::string text;
    std::int64_t wins = 0;
    for (int t = 0; t < game.Tiers(); ++t) {
        const std::int64_t n = tally[static_cast<std::size_t>(t)];
        text += "," + std::to_string(n);
        if (game.wins[static_cast<std::size_t>(t)])
            wins += n;
    }
    text += "," + std::to_string(wins);
    if (const auto won = TwoPoolWon(game, tally))
        text += "," + Money(*won);
    return text + "\n";
}

}  // namespace

std::string TwoPoolCsvHeader(const TwoPoolGame& game)
{
    std::string text = "Date,Draw";
    for (int t = 0; t < game.Tiers(); ++t)
        text += ",Match " + std::to_string(game.MainOf(t)) + "+" + std::to_string(game.SecondOf(t));
    text += ",Wins";
    if (game.HasAmounts())
        text += ",Won";
    return text + "\n";
}

std::string TwoPoolCsvRow(const TwoPoolGame& game, const std::string& date, const TwoPoolDraw& draw,
                          const std::vector<std::int64_t>& tally)
{
    std::string numbers;
    for (const auto n : draw.main)
        numbers.append(numbers.empty() ? "" : " ").append(std::to_string(n));
    for (const auto n : draw.second)
        numbers += " +" + std::to_string(n);
    return date + "," + numbers + CsvCounts(game, tally);
}

std::string TwoPoolCsvTotal(const TwoPoolGame& game, const std::vector<std::int64_t>& total)
{
    return "Total," + CsvCounts(game, total);
}

std::string TwoPoolSummary(const TwoPoolGame& game, const std::vector<std::int64_t>& tally,
                           const NumberSeparators& separators)
{
    std::int64_t plays = 0, losses = 0;
    std::string text;
    for (int t = 0; t < game.Tiers(); ++t) {
        const std::int64_t count = t < static_cast<int>(tally.size()) ? tally[static_cast<std::size_t>(t)] : 0;
        plays += count;
        if (!game.wins[static_cast<std::size_t>(t)])
            losses += count;
    }
    for (int t = 0; t < game.Tiers(); ++t) {
        const std::int64_t count = t < static_cast<int>(tally.size()) ? tally[static_cast<std::size_t>(t)] : 0;
        text += "Match " + std::to_string(game.MainOf(t)) + "+" + std::to_string(game.SecondOf(t)) + " - " +
                FormatWhole(count, Pattern::Grouped, separators) + " Expected is " +
                FormatDecimal(TwoPoolExpected(game, t, plays), Pattern::Grouped3, separators) + "\n";
    }
    text += "\n";
    text += "Total Plays - " + FormatWhole(plays, Pattern::Plain, separators) + "\n";
    text += "Total Losses - " + FormatWhole(losses, Pattern::Plain, separators) + "\n";
    text += "Total Wins - " + FormatWhole(plays - losses, Pattern::Grouped, separators) + "\n";
    if (const auto won = TwoPoolWon(game, tally))
        text += "Total Won - " + Money(*won) + "\n";
    text += "\n";
    return text;
}

}  // namespace bm
