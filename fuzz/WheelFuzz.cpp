// Wheel files are made by other programs and by hand, and are the largest input by far.
// The first byte picks the game (5, 6 or 7 numbers; 16- or 32-bit numbers; a powerball play
// keeping five; filler plays), the rest is the file. The fast reader must agree with a plain
// reading of the rules on every play, every line number and whether the file is refused, and
// the counting, the print job's reading, a reading in two parts and the check engine (which
// reads the usual lines its own quicker way) must agree with it.
#include <limits>

#include "FuzzSupport.h"
#include "WheelReference.h"
#include "checking/CheckEngine.h"
#include "plays/PlayWindow.h"
#include "plays/WheelFile.h"

using namespace bm;
using bmfuzz::Require;

namespace {

struct Game {
    int perPlay;
    NumberWidth width;
    int kept;
    int filler;
};

Game GameOf(std::uint8_t b)
{
    Game g;
    g.perPlay = 5 + b % 3;
    g.width = (b & 4) ? NumberWidth::Bits32 : NumberWidth::Bits16;
    g.kept = (g.perPlay == 6 && (b & 8)) ? 5 : g.perPlay;
    g.filler = (b >> 4) & 3;
    return g;
}

std::vector<Play> ReadAll(const Game& g, bool& fault)
{
    std::vector<Play> plays;
    auto reader = WheelReader::Open(bmfuzz::ScratchFile(), g.perPlay, g.width);
    fault = !reader.ok();
    if (fault)
        return plays;
    Play p;
    while ((*reader)->Next(p)) {
        plays.push_back(p);
        Require(!(*reader)->error(), "a play returned while an error is held");
    }
    fault = (*reader)->error().has_value();
    Require(!(*reader)->Next(p), "a play after the end or a fault");
    if (fault)
        Require((*reader)->error()->message.rfind(bmfuzz::ScratchFile().string(), 0) == 0,
                "a refusal that does not name the file");
    return plays;
}

// The plays of bytes [from, to) as the check engine's parallel parts read them.
std::vector<Play> ReadPart(const Game& g, std::uintmax_t from, std::uintmax_t to, bool& fault, std::int64_t& lines)
{
    std::vector<Play> plays;
    auto input = InputFile::Open(bmfuzz::ScratchFile());
    Require(input.ok(), "the scratch file cannot be opened");
    auto reader = WheelReader::OpenPart(*input, g.perPlay, g.width, from, to);
    fault = !reader.ok();
    lines = 0;
    if (fault)
        return plays;
    Play p;
    while ((*reader)->Next(p))
        plays.push_back(p);
    fault = (*reader)->error().has_value();
    lines = (*reader)->lines();
    return plays;
}

// Split just past the first line feed from the middle on, as large files are split: the two
// parts together must read exactly as the whole file does.
void CheckParts(const Game& g, std::string_view bytes, const std::vector<Play>& whole, bool wholeFault)
{
    const std::size_t nl = bytes.find('\n', bytes.size() / 2);
    if (nl == std::string_view::npos || nl + 1 >= bytes.size())
        return;
    const std::uintmax_t split = nl + 1;
    bool fault1 = false, fault2 = false;
    std::int64_t lines1 = 0, lines2 = 0;
    auto plays = ReadPart(g, 0, split, fault1, lines1);
    const auto second = ReadPart(g, split, bytes.size(), fault2, lines2);
    Require(wholeFault == (fault1 || fault2), "the parts and the whole file disagree about a fault");
    if (wholeFault)
        return;
    for (Play p : second) {
        p.line += lines1;
        plays.push_back(p);
    }
    Require(plays.size() == whole.size(), "the parts hold another number of plays than the whole file");
    for (std::size_t i = 0; i < plays.size(); ++i) {
        Require(plays[i].line == whole[i].line, "a play on another line when read in parts");
        for (int k = 0; k < g.perPlay; ++k)
            Require(plays[i].numbers[k] == whole[i].numbers[k], "a play read differently in parts");
    }
}

// The check engine's counts, line numbers and refusal against the plays as read, each sorted
// into its tier one at a time. The pool lies on either side of 63, where the quick reading stops.
void CheckEngineAgrees(const Game& g, std::uint8_t pick, const std::vector<Play>& plays, bool fault)
{
    const char* checker = g.perPlay == 5 ? "five" : g.perPlay == 7 ? "seven" : g.kept == 5 ? "powerball" : "six";
    const CheckGame& game = CheckerById(checker).Game(pick & 1);
    const int pool = 40 + (pick >> 1) % 30;
    DrawResult draw;
    draw.main = {3, 11, 19, 27, 35, 43, 44};
    draw.mainCount = game.mainDrawn;
    draw.extra = 7;
    const DrawMatcher matcher(game, draw, pool);
    CheckRun expected;
    bool refused = fault;
    for (const Play& p : plays) {
        const int tier = matcher.Classify(p);
        if (tier == DrawMatcher::kNotAPlay) {
            refused = true;
            break;
        }
        ++expected.tally.count[tier];
        ++expected.playsRead;
        if (game.tiers[tier].reportLine)
            expected.reported.push_back({tier, p.line});
    }
    CheckRun run;
    const Status status = RunCheck(game, pool, draw, bmfuzz::ScratchFile(), MonotonicClock(), run);
    Require(status.ok() == !refused, status.ok() ? "the check engine takes a file it must refuse"
                                                 : "the check engine refuses a file of real plays");
    Require(run.tally == expected.tally && run.playsRead == expected.playsRead, "the check engine counts otherwise");
    Require(run.reported == expected.reported, "the check engine reports other lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Lines of 64 KiB and more are refused wherever they straddle a read; the reference knows no reads.
    if (size < 1 || size > 60000)
        return 0;
    const Game g = GameOf(data[0]);
    const std::string_view bytes = bmfuzz::AsText(data + 1, size - 1);
    bmfuzz::WriteScratch(bytes);

    const bool wide = g.width == NumberWidth::Bits32;
    const std::int64_t min = wide ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int16_t>::min();
    const std::int64_t max = wide ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int16_t>::max();
    const auto expected = bmfuzz::ReadWheelPlainly(bytes, g.perPlay, min, max);

    bool fault = false;
    const auto plays = ReadAll(g, fault);
    Require(fault == expected.fault, fault ? "a file within the rules refused" : "a file against the rules accepted");
    Require(plays.size() == expected.plays.size(), "a different number of plays than the rules give");
    for (std::size_t i = 0; i < plays.size(); ++i) {
        Require(plays[i].count == g.perPlay, "a play of the wrong size");
        Require(plays[i].line == expected.plays[i].line, "a play on the wrong line");
        for (int k = 0; k < g.perPlay; ++k)
            Require(plays[i].numbers[k] == expected.plays[i].numbers[k], "a number read wrong");
    }

    CheckParts(g, bytes, plays, fault);
    if (wide)
        CheckEngineAgrees(g, size > 1 ? data[1] : 0, plays, fault);

    const auto count = CountPlays(bmfuzz::ScratchFile(), g.perPlay, g.width);
    Require(count.ok() == !fault, "counting and reading disagree about the file");
    if (count.ok())
        Require(*count == static_cast<std::int32_t>(plays.size()), "counting and reading disagree about the plays");

    if (!wide && !fault) {
        // The print job's reading: the kept numbers of every play, then empty filler plays.
        auto window =
            PlayWindow::Open(bmfuzz::ScratchFile(), g.perPlay, g.kept, static_cast<std::int64_t>(plays.size()));
        Require(window.ok(), "the print job cannot open a file that reads");
        const auto total = static_cast<std::int64_t>(plays.size()) + g.filler;
        for (std::int64_t p = 1; p <= total; ++p) {
            const auto n = (*window)->Get(p);
            Require(!(*window)->error(), "the print job refuses a play that reads");
            if (p > static_cast<std::int64_t>(plays.size())) {
                Require(n.begin == n.end, "a filler play that is not empty");
                continue;
            }
            Require(n.end - n.begin == g.kept, "a play of the print job with another count of numbers");
            for (int k = 0; k < g.kept; ++k)
                Require(n.begin[k] == plays[static_cast<std::size_t>(p - 1)].numbers[k],
                        "a play printed with other numbers");
            (*window)->Release(p);
        }
        Require((*window)->CheckEnd().ok(), "the print job finds the file changed when it has not");
    }
    return 0;
}
