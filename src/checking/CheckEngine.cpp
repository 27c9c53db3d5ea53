#include "checking/CheckEngine.h"

#include <atomic>
#include <charconv>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BM_QUICK_LINES 1
#endif

namespace bm {

namespace {

std::atomic<CheckInstructions> allowedInstructions{CheckInstructions::Widest};

#ifdef BM_QUICK_LINES
bool QuickPathAvailable()
{
    static const bool yes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    return yes && allowedInstructions.load() != CheckInstructions::Portable;
}
bool BlocksAvailable()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
                            __builtin_cpu_supports("avx512vpopcntdq") && __builtin_cpu_supports("bmi2") &&
                            __builtin_cpu_supports("popcnt");
    return yes && allowedInstructions.load() == CheckInstructions::Widest;
}
#else
bool QuickPathAvailable()
{
    return false;
}
bool BlocksAvailable()
{
    return false;
}
#endif

// A reported play is kept while the allowance lasts; past it every kept one is let go.
void KeepReported(CheckRun& run, int tier, std::int64_t line)
{
    if (run.reportDropped)
        return;
    const bool room = run.sharedAllowance ? run.sharedAllowance->fetch_sub(1, std::memory_order_relaxed) > 0
                                          : static_cast<std::int64_t>(run.reported.size()) < run.keepAtMost;
    if (room) {
        run.reported.push_back({tier, line});
    } else {
        run.reportDropped = true;
        std::vector<ReportedPlay>().swap(run.reported);
    }
}

}  // namespace

void AllowCheckInstructions(CheckInstructions most)
{
    allowedInstructions = most;
}

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
    : game_(game),
      rule_(game, pool),
      draw_(draw)
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

    const bool powerball = game.extra == ExtraNumber::Powerball;
    quick_.on = QuickPathAvailable() && pool >= 1 && pool <= 63 && game.extraMatchesLastPick == powerball &&
                game.numbersPerPlay == game.mainPicks + (powerball ? 1 : 0) && game.mainPicks >= 1;
    quick_.blocks = quick_.on && !powerball && game.mainPicks >= 5 && game.mainPicks <= 7 && BlocksAvailable();
    quick_.numbers = game.numbersPerPlay;
    quick_.mainPicks = game.mainPicks;
    quick_.powerball = powerball;
    quick_.poolBits = pool >= 1 && pool <= 63 ? (std::uint64_t{2} << pool) - 2 : 0;
    // A number of no play of the game has no bit: it cannot match.
    for (int j = 0; j < draw.mainCount; ++j)
        if (draw.main[j] >= 1 && draw.main[j] <= 63)
            quick_.drawn |= std::uint64_t{1} << draw.main[j];
    if (!powerball && draw.extra >= 1 && draw.extra <= 63)
        quick_.bonus = std::uint64_t{1} << draw.extra;
    quick_.powerballDrawn = draw.extra;
    for (int m = 0; m <= game.mainPicks && m <= kMaxMatches; ++m) {
        for (int hit = 0; hit < 2; ++hit) {
            const int tier = game.TierOf(m, game.LooksAtHit(m) ? hit : 0);
            quick_.tier[m][hit] =
                static_cast<std::uint8_t>(tier | (game.tiers[tier].reportLine ? Quick::kReported : 0));
        }
    }
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

#ifdef BM_QUICK_LINES
namespace {

#define BM_AVX2 __attribute__((target("avx2,popcnt")))

BM_AVX2 inline std::uint32_t Mask(__m256i v)
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(v));
}

// All ones in the bytes whose bit is clear in `bits`.
BM_AVX2 inline __m256i BytesOutside(std::uint32_t bits, __m256i byteOfBit, __m256i bitOfByte)
{
    const __m256i spread = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(bits)), byteOfBit);
    return _mm256_cmpeq_epi8(_mm256_and_si256(spread, bitOfByte), _mm256_setzero_si256());
}

// A bit for every number from 0 to 63 among 16 bytes; a byte of 64 or more gives none.
BM_AVX2 inline std::uint64_t BitsOf(__m128i numbers, __m256i one, __m256i past31)
{
    const __m256i n0 = _mm256_cvtepu8_epi32(numbers), n1 = _mm256_cvtepu8_epi32(_mm_srli_si128(numbers, 8));
    // A shift by 32 or more gives 0, and so does one by a "negative" count.
    const __m256i low = _mm256_or_si256(_mm256_sllv_epi32(one, n0), _mm256_sllv_epi32(one, n1));
    const __m256i high = _mm256_or_si256(_mm256_sllv_epi32(one, _mm256_sub_epi32(n0, past31)),
                                         _mm256_sllv_epi32(one, _mm256_sub_epi32(n1, past31)));
    const __m256i both = _mm256_or_si256(_mm256_unpacklo_epi32(low, high), _mm256_unpackhi_epi32(low, high));
    const __m128i two = _mm_or_si128(_mm256_castsi256_si128(both), _mm256_extracti128_si256(both, 1));
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(two) | _mm_extract_epi64(two, 1));
}

// The usual line, 32 bytes at a time: only digits, commas, blanks and tabs before its LF or CR LF,
// numbers of one or two digits, each comma right after a number (so none leads and no field is
// empty), and the play's count of numbers. A line of any other shape stops the loop, and so does
// a play the rule refuses; the plain reading takes them. The loads reach 32 bytes past the start
// of a line, so a line that close to the end of the bytes is left to the plain reading too.
template <bool Powerball>
BM_AVX2 std::size_t QuickLines(const auto& q, const char* const begin, const char* const end, std::int64_t most,
                               std::int64_t line, CheckRun& run, std::int64_t& plays)
{
    // Built once, then hidden from the compiler, which would otherwise build each one again on
    // every line for want of registers.
    __m256i zero = _mm256_set1_epi8('0'), nine = _mm256_set1_epi8(9), feed = _mm256_set1_epi8('\n'),
            comma = _mm256_set1_epi8(','), one = _mm256_set1_epi32(1), past31 = _mm256_set1_epi32(32),
            bitOfByte = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ULL));
    __m256i byteOfBit = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3,
                                         3, 3, 3, 3, 3, 3);
    // Each of LF, tab, comma and blank at the slot of its low four bits, which differ; a byte
    // equals its own slot's entry only if it is one of them (one of 128 or more looks up 0).
    __m256i separators = _mm256_setr_epi8(' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, ',', 0, 0, 0, ' ', 0, 0, 0, 0, 0,
                                          0, 0, 0, '\t', '\n', 0, ',', 0, 0, 0);
    __asm__("" : "+x"(zero), "+x"(nine), "+x"(feed), "+x"(comma), "+x"(separators));
    __asm__("" : "+x"(byteOfBit), "+x"(bitOfByte), "+x"(one), "+x"(past31));
    const char* p = begin;
    std::int64_t n = 0;
    for (; n < most && end - p > 32; ++n) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i digit = _mm256_sub_epi8(x, zero);
        const __m256i isDigit = _mm256_cmpeq_epi8(_mm256_min_epu8(digit, nine), digit);
        const std::uint32_t digits = Mask(isDigit);
        const std::uint32_t feeds = Mask(_mm256_cmpeq_epi8(x, feed));
        const std::uint32_t commas = Mask(_mm256_cmpeq_epi8(x, comma));
        const std::uint32_t separated = Mask(_mm256_cmpeq_epi8(_mm256_shuffle_epi8(separators, x), x));
        if (feeds == 0)
            break;
        const auto length = static_cast<unsigned>(__builtin_ctz(feeds));
        const unsigned cr = length > 0 && p[length - 1] == '\r';
        const std::uint32_t inside = (std::uint32_t{1} << (length - cr)) - 1;
        const std::uint32_t own = digits & inside;
        const std::uint32_t starts = own & ~(own << 1);
        if ((((digits | separated) & inside) != inside) | ((own & (own << 1) & (own << 2)) != 0) |
            ((commas & inside & ~(own << 1)) != 0) | (__builtin_popcount(starts) != q.numbers))
            break;
        // Each number's value stands at its first digit: that digit, or ten times it plus the next.
        const __m256i next = _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1)), zero);
        const __m256i twice = _mm256_add_epi8(digit, digit);
        const __m256i tenTimes =
            _mm256_add_epi8(_mm256_add_epi8(_mm256_add_epi8(twice, twice), twice), _mm256_add_epi8(twice, twice));
        const __m256i value = _mm256_blendv_epi8(digit, _mm256_add_epi8(tenTimes, next),
                                                 _mm256_cmpeq_epi8(_mm256_min_epu8(next, nine), next));
        std::uint32_t mainStarts = starts;
        unsigned powerball = 1;
        if constexpr (Powerball) {
            const unsigned last = 31u - static_cast<unsigned>(__builtin_clz(starts));
            mainStarts ^= std::uint32_t{1} << last;
            const unsigned first = static_cast<unsigned char>(p[last]) - '0';
            const unsigned second = static_cast<unsigned char>(p[last + 1]) - '0';
            powerball = first + ((own >> (last + 1)) & 1u) * (first * 9 + second);
        }
        // The main numbers where they start, 255 (no bit) everywhere else.
        const __m256i picked = _mm256_or_si256(value, BytesOutside(mainStarts, byteOfBit, bitOfByte));
        // A line of six numbers of two digits has them all in its first 16 bytes.
        std::uint64_t picks = BitsOf(_mm256_castsi256_si128(picked), one, past31);
        if (mainStarts >> 16)
            picks |= BitsOf(_mm256_extracti128_si256(picked, 1), one, past31);
        // A number outside the pool (one of 64 or more has no bit, as if given twice), a number
        // given twice, or a powerball of 0.
        if (((picks & ~q.poolBits) != 0) | (__builtin_popcountll(picks) != q.mainPicks) | (powerball == 0))
            break;
        const int matches = __builtin_popcountll(picks & q.drawn);
        int hit;
        if constexpr (Powerball)
            hit = powerball == static_cast<unsigned>(q.powerballDrawn);
        else
            hit = (picks & q.bonus) != 0;
        const int tier = q.tier[static_cast<std::size_t>(matches)][static_cast<std::size_t>(hit)];
        ++run.tally.count[static_cast<std::size_t>(tier & q.kTier)];
        if (tier & q.kReported)
            KeepReported(run, tier & q.kTier, line + n);
        p += length + 1;
    }
    run.playsRead += n;
    plays = n;
    return static_cast<std::size_t>(p - begin);
}

// GCC 12 takes the undefined first operand inside some AVX-512 intrinsics for an uninitialised one.
#pragma GCC diagnostic push
#ifndef __clang__  // a GCC warning clang does not know
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#pragma GCC diagnostic ignored "-Wuninitialized"
#define BM_AVX512_LINES                                                                                                \
    __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,avx512vpopcntdq,bmi,bmi2,popcnt,lzcnt")))

// Adds the per-lane byte counters by matches (all lines, lines with a hit) to `counted`, by
// 2 x matches + hit.
BM_AVX512_LINES void EmptyByMatches(__m512i& lines, __m512i& hits, int numbers,
                                    std::array<std::int64_t, 2 * (kMaxMatches + 1)>& counted)
{
    alignas(64) std::uint8_t all[64], hit[64];
    _mm512_storeu_si512(all, lines);
    _mm512_storeu_si512(hit, hits);
    for (int lane = 0; lane < 8; ++lane)
        for (int m = 0; m <= numbers; ++m) {
            counted[static_cast<std::size_t>(2 * m)] += all[8 * lane + m] - hit[8 * lane + m];
            counted[static_cast<std::size_t>(2 * m + 1)] += hit[8 * lane + m];
        }
    lines = hits = _mm512_setzero_si512();
}

// The usual lines of a game of N main picks and no powerball, 64 bytes at a time, each line of the
// block in a lane of its own: the bytes are sorted into digits and separators at once, each
// number's value is worked out at its first digit, the values and line ends are packed in file
// order (N values and an end per line when every line is right), and lane j then gathers the
// numbers of line j into a bit set. A block holds at most six lines (a line has N digits, N - 1
// separators and its end). The shape a line must have is QuickLines' one; a block whose lines are
// not all of it is taken up to the first line that is not, which is left to the plain reading.
// The next block starts after the last line end of this one, known early, so that the work on
// one block overlaps the next. The loads reach 65 bytes past the start of the block.
// With `Pack`, the plays are not counted but written to `out`, their numbers seven bits apart.
template <int N, bool Pack = false>
BM_AVX512_LINES std::size_t BlockLines(const auto& q, const char* const begin, const char* const end,
                                       const std::int64_t most, const std::int64_t line, CheckRun& run,
                                       std::int64_t& plays, std::uint64_t* out = nullptr)
{
    static_assert(N >= 5 && N <= 7, "six lines of N numbers fit a block, and N + 1 bytes a lane");
    constexpr std::uint64_t kLow = 0x0101010101010101ULL;
    const __m512i zero = _mm512_set1_epi8('0'), nine = _mm512_set1_epi8(9), feed = _mm512_set1_epi8('\n'),
                  cr = _mm512_set1_epi8('\r'), comma = _mm512_set1_epi8(','), blank = _mm512_set1_epi8(' '),
                  tab = _mm512_set1_epi8('\t'), ends = _mm512_set1_epi8(-1), one = _mm512_set1_epi64(1),
                  drawn = _mm512_set1_epi64(static_cast<long long>(q.drawn)),
                  bonus = _mm512_set1_epi64(static_cast<long long>(q.bonus)), picks = _mm512_set1_epi64(N);
    // Ten times a digit, for a number's first of two.
    const __m512i tens = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0, 0, 0, 0));
    // A number outside the pool has a bit here, or none at all when it is 64 or more.
    const __m512i outside = _mm512_set1_epi64(static_cast<long long>(~q.poolBits));
    // Where lane j finds number i of line j among the packed values and ends, and where the ends
    // stand when every line holds N numbers.
    __m512i gather[N];
    for (int i = 0; i < N; ++i)
        gather[i] = _mm512_add_epi64(
            _mm512_setr_epi64(0, N + 1, 2 * (N + 1), 3 * (N + 1), 4 * (N + 1), 5 * (N + 1), 6 * (N + 1), 7 * (N + 1)),
            _mm512_set1_epi64(i));
    std::uint64_t endsExpected = 0;
    for (int j = 0; j < 64 / (N + 1); ++j)
        endsExpected |= std::uint64_t{1} << ((N + 1) * j + N);
    // By matches (a byte each, in every lane): the lines counted, and those with a hit. Emptied
    // into `counted` before a byte can overflow.
    __m512i lines = _mm512_setzero_si512(), hits = _mm512_setzero_si512();
    int untilEmptied = 255;
    std::array<std::int64_t, 2 * (kMaxMatches + 1)> counted{};
    // The tiers with report lines, by 2 x matches + hit.
    std::uint32_t reportedTiers = 0;
    for (int m = 0; m <= N; ++m)
        for (int hit = 0; hit < 2; ++hit)
            if (q.tier[static_cast<std::size_t>(m)][static_cast<std::size_t>(hit)] & q.kReported)
                reportedTiers |= 1u << (2 * m + hit);
    const __m512i reported = _mm512_set1_epi64(reportedTiers);

    const char* p = begin;
    std::int64_t n = 0;
    while (n < most && end - p > 64) {
        const __m512i x = _mm512_loadu_si512(p);
        const std::uint64_t feeds = _mm512_cmpeq_epi8_mask(x, feed);
        if (feeds == 0)
            break;
        const auto blockEnd = static_cast<unsigned>(64 - __builtin_clzll(feeds));  // past the last line end
        const __m512i digit = _mm512_sub_epi8(x, zero);
        const __m512i next = _mm512_sub_epi8(_mm512_loadu_si512(p + 1), zero);
        const std::uint64_t digits = _mm512_cmple_epu8_mask(digit, nine);
        const std::uint64_t returns = _mm512_cmpeq_epi8_mask(x, cr);
        const std::uint64_t commas = _mm512_cmpeq_epi8_mask(x, comma);
        const std::uint64_t blanks = _mm512_cmpeq_epi8_mask(x, blank) | _mm512_cmpeq_epi8_mask(x, tab);
        const std::uint64_t starts = digits & ~(digits << 1);
        // Each number's value at its first digit: that digit, or ten times it plus the next.
        // (A number at the last byte belongs to a line that ends beyond the block.)
        const __m512i value = _mm512_mask_add_epi8(digit, digits >> 1, _mm512_shuffle_epi8(tens, digit), next);
        // Anything but digits and separators, a CR not before an LF, a third digit, a comma after
        // no digit.
        const std::uint64_t bad = ~(digits | feeds | returns | commas | blanks) | (returns & ~(feeds >> 1)) |
                                  (digits & (digits << 1) & (digits << 2)) | (commas & ~(digits << 1));
        // The values and line ends (255) in file order, and which of them are ends.
        const std::uint64_t events = (starts | feeds) & _bzhi_u64(~std::uint64_t{0}, blockEnd);
        const auto eventCount = static_cast<unsigned>(__builtin_popcountll(events));
        const __m512i packed = _mm512_maskz_compress_epi8(events, _mm512_mask_blend_epi8(feeds, value, ends));
        const std::uint64_t wrongEnds =
            (_mm512_cmpeq_epi8_mask(packed, ends) ^ endsExpected) & _bzhi_u64(~std::uint64_t{0}, eventCount);
        // Each lane's line as a bit set.
        __m512i set = _mm512_setzero_si512(), fields = _mm512_setzero_si512();
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            const __m512i number = _mm512_maskz_permutexvar_epi8(kLow, gather[i], packed);
            set = _mm512_or_si512(set, _mm512_sllv_epi64(one, number));
            if constexpr (Pack)
                fields = _mm512_or_si512(fields, _mm512_slli_epi64(number, 7 * i));
        }
        const auto count = static_cast<unsigned>(__builtin_popcountll(feeds));
        // A number outside the pool or given twice.
        const auto twiceGiven = static_cast<std::uint32_t>(_mm512_cmpneq_epi64_mask(_mm512_popcnt_epi64(set), picks) |
                                                           _mm512_test_epi64_mask(set, outside));
        // A block of short lines may hold 32 line feeds or more.
        std::uint32_t laneMask = _bzhi_u32(~0u, count);
        const bool whole = (bad & _bzhi_u64(~std::uint64_t{0}, blockEnd)) == 0 && wrongEnds == 0 &&
                           (twiceGiven & laneMask) == 0 && n + count <= most;
        unsigned taken = count;
        if (!whole) [[unlikely]] {
            // The lines before the first wrong byte, wrong count of numbers, wrong number, or poll.
            unsigned good = static_cast<unsigned>(
                __builtin_popcountll(_bzhi_u64(feeds, bad ? static_cast<unsigned>(__builtin_ctzll(bad)) : 64u)));
            if (wrongEnds)
                good = std::min(good, static_cast<unsigned>(__builtin_popcountll(
                                          _bzhi_u64(endsExpected, static_cast<unsigned>(__builtin_ctzll(wrongEnds))))));
            if (twiceGiven & laneMask)
                good = std::min(good, static_cast<unsigned>(__builtin_ctz(twiceGiven & laneMask)));
            taken = static_cast<unsigned>(std::min<std::int64_t>(good, most - n));
            laneMask = _bzhi_u32(~0u, taken);
        }
        if constexpr (Pack) {
            _mm512_mask_compressstoreu_epi64(out + n, static_cast<__mmask8>(laneMask), fields);
            n += taken;
            if (taken != count) [[unlikely]] {
                if (taken != 0)
                    p += __builtin_ctzll(_pdep_u64(std::uint64_t{1} << (taken - 1), feeds)) + 1;
                break;
            }
            p += blockEnd;
            continue;
        }
        const __m512i matches = _mm512_popcnt_epi64(_mm512_and_si512(set, drawn));
        const auto hitLanes = static_cast<std::uint32_t>(_mm512_test_epi64_mask(set, bonus)) & laneMask;
        const __m512i byMatches = _mm512_sllv_epi64(one, _mm512_slli_epi64(matches, 3));
        lines = _mm512_mask_add_epi64(lines, static_cast<__mmask8>(laneMask), lines, byMatches);
        hits = _mm512_mask_add_epi64(hits, static_cast<__mmask8>(hitLanes), hits, byMatches);
        const __m512i tierBit = _mm512_sllv_epi64(one, _mm512_mask_add_epi64(_mm512_add_epi64(matches, matches),
                                                                             static_cast<__mmask8>(hitLanes),
                                                                             _mm512_add_epi64(matches, matches), one));
        if (std::uint32_t report = _mm512_test_epi64_mask(tierBit, reported) & laneMask) {
            alignas(64) std::uint64_t m[8];
            _mm512_storeu_si512(m, matches);
            for (; report != 0; report &= report - 1) {
                const auto j = static_cast<unsigned>(__builtin_ctz(report));
                const int tier = q.tier[static_cast<std::size_t>(m[j])][(hitLanes >> j) & 1u];
                KeepReported(run, tier & q.kTier, line + n + j);
            }
        }
        n += taken;
        if (--untilEmptied == 0) {
            EmptyByMatches(lines, hits, N, counted);
            untilEmptied = 255;
        }
        if (taken != count) [[unlikely]] {
            if (taken != 0)
                p += __builtin_ctzll(_pdep_u64(std::uint64_t{1} << (taken - 1), feeds)) + 1;
            break;
        }
        p += blockEnd;
    }
    plays = n;
    if constexpr (Pack)
        return static_cast<std::size_t>(p - begin);
    EmptyByMatches(lines, hits, N, counted);
    for (std::size_t m = 0; m <= static_cast<std::size_t>(N); ++m)
        for (std::size_t hit = 0; hit < 2; ++hit)
            run.tally.count[static_cast<std::size_t>(q.tier[m][hit] & q.kTier)] += counted[2 * m + hit];
    run.playsRead += n;
    plays = n;
    return static_cast<std::size_t>(p - begin);
}

#pragma GCC diagnostic pop

}  // namespace
#endif

std::size_t DrawMatcher::PackUsualLines(std::string_view bytes, std::int64_t most, std::uint64_t* out,
                                        std::int64_t& plays) const
{
    plays = 0;
#ifdef BM_QUICK_LINES
    if (quick_.blocks) {
        const char* b = bytes.data();
        const char* e = b + bytes.size();
        CheckRun unused;
        switch (quick_.numbers) {
        case 5: return BlockLines<5, true>(quick_, b, e, most, 0, unused, plays, out);
        case 6: return BlockLines<6, true>(quick_, b, e, most, 0, unused, plays, out);
        default: return BlockLines<7, true>(quick_, b, e, most, 0, unused, plays, out);
        }
    }
#else
    (void)bytes, (void)most, (void)out;
#endif
    return 0;
}

std::size_t DrawMatcher::CheckUsualLines(std::string_view bytes, std::int64_t most, std::int64_t line, CheckRun& run,
                                         std::int64_t& plays) const
{
    plays = 0;
#ifdef BM_QUICK_LINES
    if (quick_.blocks) {
        const char* b = bytes.data();
        const char* e = b + bytes.size();
        switch (quick_.numbers) {
        case 5: return BlockLines<5>(quick_, b, e, most, line, run, plays);
        case 6: return BlockLines<6>(quick_, b, e, most, line, run, plays);
        default: return BlockLines<7>(quick_, b, e, most, line, run, plays);
        }
    }
    if (quick_.on)
        return quick_.powerball
                   ? QuickLines<true>(quick_, bytes.data(), bytes.data() + bytes.size(), most, line, run, plays)
                   : QuickLines<false>(quick_, bytes.data(), bytes.data() + bytes.size(), most, line, run, plays);
#else
    (void)bytes, (void)most, (void)line, (void)run;
#endif
    return 0;
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
    const int every = pollEvery < 1 ? 1 : pollEvery;
    std::int64_t untilPoll = every;
    const auto polled = [&] {
        untilPoll = every;
        run.aborted = !progress->Poll(run);
        return !run.aborted;
    };
    Play play;
    for (;;) {
        // Most lines take the quick way; the plain reading takes the rest one at a time, refills
        // the buffer and names the faults.
        if (matcher.HasQuickPath()) {
            std::int64_t plays = 0;
            const std::size_t taken = matcher.CheckUsualLines(reader.Buffered(), progress ? untilPoll : INT64_MAX,
                                                              reader.lines() + 1, run, plays);
            reader.Skip(taken, plays);
            if (progress && (untilPoll -= plays) == 0) {
                if (!polled())
                    return Ok{};
                continue;
            }
        }
        if (!reader.Next(play))
            break;
        const int tier = matcher.Classify(play);
        if (tier == DrawMatcher::kNotAPlay)
            return Error{reader.name() + ": line " + std::to_string(play.line) + ": " +
                         matcher.rule().Fault(play).value_or("")};
        ++run.playsRead;
        ++run.tally.count[tier];
        if (game.tiers[tier].reportLine)
            KeepReported(run, tier, play.line);
        if (progress && --untilPoll == 0 && !polled())
            return Ok{};
    }
    if (reader.error())
        return *reader.error();
    return Ok{};
}

Status RunCheck(const CheckGame& game, int pool, const DrawResult& draw, const std::filesystem::path& wheel,
                Clock& clock, CheckRun& run, CheckProgress* progress, int pollEvery)
{
    if (const Status plain = CheckWheelIsFile(wheel); !plain)
        return plain;
    auto input = InputFile::Open(wheel);
    if (!input)
        return input.error();
    return RunCheck(game, pool, draw, *input, clock, run, progress, pollEvery);
}

Status RunCheck(const CheckGame& game, int pool, const DrawResult& draw, const std::shared_ptr<const InputFile>& wheel,
                Clock& clock, CheckRun& run, CheckProgress* progress, int pollEvery)
{
    const std::int64_t start = clock.NowMs();
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    Status status =
        reader ? CheckPlays(**reader, DrawMatcher(game, draw, pool), run, progress, pollEvery) : Status(reader.error());
    run.elapsedMs = clock.NowMs() - start;
    // A fault met in a file that changed meanwhile is the change's doing.
    if (reader && !run.aborted)
        if (Status same = wheel->CheckUnchanged(); !same)
            return same;
    return status;
}

}  // namespace bm
