// The history's counting: a block of plays is turned into one bit set per number (bit i: play i
// holds it), and a draw's matches for 64 plays (512 with the wide instructions) are the sum of the
// six or seven bit sets of its numbers, added as three bit planes. The count of plays with each
// sum then comes from the population counts of the planes and their intersections.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <thread>
#include <utility>

#include "checking/GameRules.h"
#include "checking/HistoryCheck.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define BM_X86 1
#endif

namespace bm {

namespace {

// Plays turned into bit sets at a time: 128 words a number, so that the rows of a 6/49 game
// (49 KB) stay in the first-level cache while every draw of the batch is added up over them.
constexpr std::size_t kBlockWords = 128;
constexpr std::size_t kBlockPlays = kBlockWords * 64;
// Draws taken from the file at a time: memory stays flat whatever the history's length, and
// each block of plays is made once per batch, so batches are long (a lottery's whole history is
// one or two). The first is as long while the wheel is small enough for it to take a moment
// (a million plays), and shorter for a larger one, so that the first rows come out soon.
constexpr std::size_t kFirstBatch = 1024;
constexpr std::size_t kBatch = 8192;
constexpr std::size_t kQuickBatchPlays = std::size_t{1} << 20;
// The rows of a block: row n holds the plays with main number n (row 0 is always empty), row
// kPowerballRows + v those whose powerball is v; one more row for a powerball beyond them.
constexpr std::size_t kPowerballRows = 128;
constexpr std::size_t kLargeRow = 2 * kPowerballRows;
constexpr std::size_t kRows = kLargeRow + 1;
constexpr int kDrawnInputs = kMaxMatches;  // seven bit sets are added, missing ones empty
// Counts by subset of the four planes (three of the sum, one of the extra-number hit): entry s is
// the number of plays in which every plane of s is set; entry 0 is the plays themselves.
constexpr int kSubsets = 16;
using Subsets = std::array<std::uint64_t, kSubsets>;

int PowerballShift(int mainPicks)
{
    return CompactWheel::kFieldBits * mainPicks;
}

// What one draw adds up: the rows of its main numbers, and the row its extra number hits.
struct Target {
    std::array<std::uint16_t, kDrawnInputs> rows{};
    std::uint16_t hitRow = 0;
    std::int32_t largePowerball = 0;  // when the drawn powerball has no row of its own
};

Target TargetOf(const CheckGame& game, const DrawResult& draw)
{
    Target t;
    // Numbers outside the rows cannot be in a play; a number given twice is added once.
    std::array<bool, kPowerballRows> seen{};
    int used = 0;
    for (int j = 0; j < draw.mainCount && used < kDrawnInputs; ++j) {
        const std::int32_t n = draw.main[static_cast<std::size_t>(j)];
        if (n >= 1 && n < static_cast<std::int32_t>(kPowerballRows) && !seen[static_cast<std::size_t>(n)]) {
            seen[static_cast<std::size_t>(n)] = true;
            t.rows[static_cast<std::size_t>(used++)] = static_cast<std::uint16_t>(n);
        }
    }
    if (game.extraMatchesLastPick) {
        if (draw.extra >= 1 && draw.extra < static_cast<std::int32_t>(kPowerballRows))
            t.hitRow = static_cast<std::uint16_t>(kPowerballRows + static_cast<std::size_t>(draw.extra));
        else if (draw.extra >= 1) {
            t.hitRow = static_cast<std::uint16_t>(kLargeRow);
            t.largePowerball = draw.extra;
        }
    } else if (game.extra == ExtraNumber::Bonus && draw.extra >= 1 &&
               draw.extra < static_cast<std::int32_t>(kPowerballRows)) {
        t.hitRow = static_cast<std::uint16_t>(draw.extra);
    }
    return t;
}

// The bit sets of plays [first, first + count) of the wheel. Only the rows the game uses are
// cleared and filled.
class Block {
public:
    Block() : rows_(kRows * kBlockWords) {}

    void Fill(const CompactWheel& wheel, std::size_t first)
    {
        count_ = std::min(kBlockPlays, wheel.size() - first);
        first_ = first;
        words_ = (count_ + 511) / 512 * 8;  // whole 512-bit steps; the bits past the plays stay clear
        const bool powerball = wheel.powerball();
        for (std::size_t r = 0; r < (powerball ? kLargeRow : kPowerballRows); ++r)
            std::memset(Row(r), 0, words_ * sizeof(std::uint64_t));
        const int picks = wheel.mainPicks();
        const int shift = PowerballShift(picks);
        for (std::size_t i = 0; i < count_; ++i) {
            std::uint64_t packed = wheel.Packed(first + i);
            const std::size_t word = i >> 6;
            const std::uint64_t bit = std::uint64_t{1} << (i & 63);
            for (int k = 0; k < picks; ++k, packed >>= CompactWheel::kFieldBits)
                Row(packed & CompactWheel::kFieldMask)[word] |= bit;
            if (powerball) {
                const std::uint64_t v = wheel.Packed(first + i) >> shift;
                if (v < kPowerballRows)
                    Row(kPowerballRows + v)[word] |= bit;
            }
        }
    }

    // The row of plays whose powerball is `value`, one with no row of its own.
    void FillLargeRow(const CompactWheel& wheel, std::int32_t value)
    {
        std::uint64_t* row = Row(kLargeRow);
        std::memset(row, 0, words_ * sizeof(std::uint64_t));
        const int shift = PowerballShift(wheel.mainPicks());
        for (std::size_t i = 0; i < count_; ++i)
            if ((wheel.Packed(first_ + i) >> shift) >= kPowerballRows && wheel.Powerball(first_ + i) == value)
                row[i >> 6] |= std::uint64_t{1} << (i & 63);
    }

    std::uint64_t* Row(std::size_t r) { return rows_.data() + r * kBlockWords; }
    std::size_t words() const { return words_; }

private:
    std::vector<std::uint64_t> rows_;
    std::size_t first_ = 0, count_ = 0, words_ = 0;
};

// Full adders on bit planes: the sum bit and the carry bit of three bits in every position.
template <class V>
inline V Xor3(V a, V b, V c)
{
    return a ^ b ^ c;
}
template <class V>
inline V Majority(V a, V b, V c)
{
    return (a & b) | (c & (a ^ b));
}

// The sums whose plays are asked about the extra number, when a game asks for one or two of them
// only: then the plays with that sum and a hit are counted alone (entry 8 + j of the counts),
// cheaper than every subset with the hit row. `flip` turns the sum's planes into all ones where
// the sum is that one.
struct HitSums {
    int count = 0;
    std::array<int, 2> sum{};
    std::array<std::array<std::uint64_t, 3>, 2> flip{};
};

// Adds up the seven rows in `in` over `words` words (a multiple of 8) into the subset counts;
// `in[7]` is the hit row: `Hit` 0 leaves it out, 8 counts every subset with it, 1 or 2 only the
// sums of `few`.
template <int Hit>
void CountWords(const std::uint64_t* const* in, std::size_t words, Subsets& s, const HitSums& few)
{
    Subsets acc{};
    for (std::size_t w = 0; w < words; ++w) {
        const std::uint64_t s1 = Xor3(in[0][w], in[1][w], in[2][w]), k1 = Majority(in[0][w], in[1][w], in[2][w]);
        const std::uint64_t s2 = Xor3(in[3][w], in[4][w], in[5][w]), k2 = Majority(in[3][w], in[4][w], in[5][w]);
        const std::uint64_t c0 = Xor3(s1, s2, in[6][w]), k3 = Majority(s1, s2, in[6][w]);
        const std::uint64_t c1 = Xor3(k1, k2, k3), c2 = Majority(k1, k2, k3);
        const std::uint64_t planes[8] = {~std::uint64_t{0}, c0, c1, c0 & c1, c2, c0 & c2, c1 & c2, c0 & c1 & c2};
        for (int p = 1; p < 8; ++p)
            acc[static_cast<std::size_t>(p)] += static_cast<std::uint64_t>(std::popcount(planes[p]));
        if constexpr (Hit == 8) {
            const std::uint64_t h = in[7][w];
            for (int p = 0; p < 8; ++p)
                acc[static_cast<std::size_t>(8 + p)] += static_cast<std::uint64_t>(std::popcount(planes[p] & h));
        } else {
            for (int j = 0; j < Hit; ++j) {
                const auto& f = few.flip[static_cast<std::size_t>(j)];
                acc[static_cast<std::size_t>(8 + j)] +=
                    static_cast<std::uint64_t>(std::popcount((c0 ^ f[0]) & (c1 ^ f[1]) & (c2 ^ f[2]) & in[7][w]));
            }
        }
    }
    for (int p = 1; p < kSubsets; ++p)
        s[static_cast<std::size_t>(p)] += acc[static_cast<std::size_t>(p)];
}

#ifdef BM_X86
// The population count instruction is most of the speed of the plain version.
template <int Hit>
__attribute__((target("popcnt"))) void CountWordsPopcnt(const std::uint64_t* const* in, std::size_t words, Subsets& s,
                                                        const HitSums& few)
{
    CountWords<Hit>(in, words, s, few);
}

// 512 plays per instruction: full adders are one ternary-logic instruction each, and the counts
// stay in eight lanes until the end.
#define BM_AVX512 __attribute__((target("avx512f,avx512vpopcntdq")))
// GCC 12 takes the undefined first operand inside some AVX-512 intrinsics for an uninitialised one.
#pragma GCC diagnostic push
#ifndef __clang__  // a GCC warning clang does not know
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#pragma GCC diagnostic ignored "-Wuninitialized"
// Adds the sum of the lanes of a[i] to out[i], for eight vectors: pairs of lanes are added in
// three rounds, each round halving the vectors, instead of 64 scalar additions.
BM_AVX512 inline void AddLaneSums(const __m512i* a, std::uint64_t* out)
{
    __m512i t[4], u[2];
    for (int i = 0; i < 4; ++i)
        t[i] = _mm512_add_epi64(_mm512_unpacklo_epi64(a[2 * i], a[2 * i + 1]),
                                _mm512_unpackhi_epi64(a[2 * i], a[2 * i + 1]));
    for (int i = 0; i < 2; ++i)
        u[i] = _mm512_add_epi64(_mm512_shuffle_i64x2(t[2 * i], t[2 * i + 1], 0x88),
                                _mm512_shuffle_i64x2(t[2 * i], t[2 * i + 1], 0xDD));
    const __m512i v = _mm512_add_epi64(_mm512_shuffle_i64x2(u[0], u[1], 0x88), _mm512_shuffle_i64x2(u[0], u[1], 0xDD));
    _mm512_storeu_si512(out, _mm512_add_epi64(_mm512_loadu_si512(out), v));
}

// `Seven`: the draw has seven main numbers (else the seventh row is the empty one, and no play
// sums to seven). `Sum`: with one sum asked about the hit, that sum.
template <int Hit, bool Seven, int Sum>
BM_AVX512 void CountWordsAvx512(const std::uint64_t* const* in, std::size_t words, Subsets& s, const HitSums& few)
{
    // Named, not arrays: the compiler kept arrays of vectors in memory, with a store and a load
    // of every counter on every step.
    const __m512i zero = _mm512_setzero_si512();
    __m512i a1 = zero, a2 = zero, a3 = zero, a4 = zero, a5 = zero, a6 = zero, a7 = zero;
    __m512i h0 = zero, h1 = zero, h2 = zero, h3 = zero, h4 = zero, h5 = zero, h6 = zero, h7 = zero;
    const __m512i f00 = _mm512_set1_epi64(static_cast<long long>(few.flip[0][0]));
    const __m512i f01 = _mm512_set1_epi64(static_cast<long long>(few.flip[0][1]));
    const __m512i f02 = _mm512_set1_epi64(static_cast<long long>(few.flip[0][2]));
    const __m512i f10 = _mm512_set1_epi64(static_cast<long long>(few.flip[1][0]));
    const __m512i f11 = _mm512_set1_epi64(static_cast<long long>(few.flip[1][1]));
    const __m512i f12 = _mm512_set1_epi64(static_cast<long long>(few.flip[1][2]));
    const std::uint64_t *r0 = in[0], *r1 = in[1], *r2 = in[2], *r3 = in[3], *r4 = in[4], *r5 = in[5], *r6 = in[6],
                        *r7 = in[kDrawnInputs];
    for (std::size_t w = 0; w < words; w += 8) {
        const __m512i x0 = _mm512_loadu_si512(r0 + w), x1 = _mm512_loadu_si512(r1 + w), x2 = _mm512_loadu_si512(r2 + w);
        const __m512i x3 = _mm512_loadu_si512(r3 + w), x4 = _mm512_loadu_si512(r4 + w), x5 = _mm512_loadu_si512(r5 + w);
        const __m512i s1 = _mm512_ternarylogic_epi64(x0, x1, x2, 0x96),
                      k1 = _mm512_ternarylogic_epi64(x0, x1, x2, 0xE8);
        const __m512i s2 = _mm512_ternarylogic_epi64(x3, x4, x5, 0x96),
                      k2 = _mm512_ternarylogic_epi64(x3, x4, x5, 0xE8);
        __m512i c0, k3;
        if constexpr (Seven) {
            const __m512i x6 = _mm512_loadu_si512(r6 + w);
            c0 = _mm512_ternarylogic_epi64(s1, s2, x6, 0x96);
            k3 = _mm512_ternarylogic_epi64(s1, s2, x6, 0xE8);
        } else {
            c0 = _mm512_xor_si512(s1, s2);
            k3 = _mm512_and_si512(s1, s2);
        }
        const __m512i c1 = _mm512_ternarylogic_epi64(k1, k2, k3, 0x96),
                      c2 = _mm512_ternarylogic_epi64(k1, k2, k3, 0xE8);
        const __m512i c01 = _mm512_and_si512(c0, c1), c02 = _mm512_and_si512(c0, c2), c12 = _mm512_and_si512(c1, c2);
        const __m512i c012 = Seven ? _mm512_and_si512(c01, c2) : zero;
        a1 = _mm512_add_epi64(a1, _mm512_popcnt_epi64(c0));
        a2 = _mm512_add_epi64(a2, _mm512_popcnt_epi64(c1));
        a3 = _mm512_add_epi64(a3, _mm512_popcnt_epi64(c01));
        a4 = _mm512_add_epi64(a4, _mm512_popcnt_epi64(c2));
        a5 = _mm512_add_epi64(a5, _mm512_popcnt_epi64(c02));
        a6 = _mm512_add_epi64(a6, _mm512_popcnt_epi64(c12));
        if constexpr (Seven)
            a7 = _mm512_add_epi64(a7, _mm512_popcnt_epi64(c012));
        if constexpr (Hit == 8) {
            const __m512i h = _mm512_loadu_si512(r7 + w);
            h0 = _mm512_add_epi64(h0, _mm512_popcnt_epi64(h));
            h1 = _mm512_add_epi64(h1, _mm512_popcnt_epi64(_mm512_and_si512(c0, h)));
            h2 = _mm512_add_epi64(h2, _mm512_popcnt_epi64(_mm512_and_si512(c1, h)));
            h3 = _mm512_add_epi64(h3, _mm512_popcnt_epi64(_mm512_and_si512(c01, h)));
            h4 = _mm512_add_epi64(h4, _mm512_popcnt_epi64(_mm512_and_si512(c2, h)));
            h5 = _mm512_add_epi64(h5, _mm512_popcnt_epi64(_mm512_and_si512(c02, h)));
            h6 = _mm512_add_epi64(h6, _mm512_popcnt_epi64(_mm512_and_si512(c12, h)));
            h7 = _mm512_add_epi64(h7, _mm512_popcnt_epi64(_mm512_and_si512(c012, h)));
        } else if constexpr (Hit == 1 && Sum >= 0) {
            // The plays of that sum: one instruction picks the sum's pattern of the three planes.
            const __m512i h = _mm512_loadu_si512(r7 + w);
            const __m512i sum = _mm512_ternarylogic_epi64(c2, c1, c0, 1 << Sum);
            h0 = _mm512_add_epi64(h0, _mm512_popcnt_epi64(_mm512_and_si512(sum, h)));
        } else if constexpr (Hit > 0) {
            const __m512i h = _mm512_loadu_si512(r7 + w);
            // The plays whose sum is the asked one (all three planes as flipped) and that hit.
            const __m512i sum0 = _mm512_ternarylogic_epi64(_mm512_xor_si512(c0, f00), _mm512_xor_si512(c1, f01),
                                                           _mm512_xor_si512(c2, f02), 0x80);
            h0 = _mm512_add_epi64(h0, _mm512_popcnt_epi64(_mm512_and_si512(sum0, h)));
            if constexpr (Hit == 2) {
                const __m512i sum1 = _mm512_ternarylogic_epi64(_mm512_xor_si512(c0, f10), _mm512_xor_si512(c1, f11),
                                                               _mm512_xor_si512(c2, f12), 0x80);
                h1 = _mm512_add_epi64(h1, _mm512_popcnt_epi64(_mm512_and_si512(sum1, h)));
            }
        }
    }
    const __m512i acc[kSubsets] = {zero, a1, a2, a3, a4, a5, a6, a7, h0, h1, h2, h3, h4, h5, h6, h7};
    // Each group of eight accumulators into one vector of their eight sums, added to the counts.
    for (int group = 0; group < (Hit == 0 ? 1 : 2); ++group)
        AddLaneSums(acc + 8 * group, s.data() + 8 * group);
}
#pragma GCC diagnostic pop
#endif

using WordCounter = void (*)(const std::uint64_t* const*, std::size_t, Subsets&, const HitSums&);

std::atomic<HistoryInstructions> allowed{HistoryInstructions::Widest};

template <template <int> class Version>
WordCounter Pick(int hit)
{
    switch (hit) {
    case 0: return &Version<0>::Count;
    case 1: return &Version<1>::Count;
    case 2: return &Version<2>::Count;
    default: return &Version<8>::Count;
    }
}
template <int Hit>
struct Plain {
    static void Count(const std::uint64_t* const* in, std::size_t w, Subsets& s, const HitSums& f)
    {
        CountWords<Hit>(in, w, s, f);
    }
};
#ifdef BM_X86
template <int Hit>
struct Popcnt {
    static void Count(const std::uint64_t* const* in, std::size_t w, Subsets& s, const HitSums& f)
    {
        CountWordsPopcnt<Hit>(in, w, s, f);
    }
};
template <int Hit, bool Seven = true, int Sum = -1>
struct Avx512 {
    static void Count(const std::uint64_t* const* in, std::size_t w, Subsets& s, const HitSums& f)
    {
        CountWordsAvx512<Hit, Seven, Sum>(in, w, s, f);
    }
};

template <bool Seven, int... Sums>
WordCounter PickAvx512(int hit, int sum, std::integer_sequence<int, Sums...>)
{
    WordCounter counter = nullptr;
    if (hit == 1)
        ((counter = sum == Sums ? &Avx512<1, Seven, Sums>::Count : counter), ...);
    if (counter)
        return counter;
    switch (hit) {
    case 0: return &Avx512<0, Seven>::Count;
    case 1: return &Avx512<1, Seven>::Count;
    case 2: return &Avx512<2, Seven>::Count;
    default: return &Avx512<8, Seven>::Count;
    }
}
#endif

// `hit`: 0 for a game without an extra number, 1 or 2 sums asked about it (the first `sum`), 8
// for more; `seven`: a draw of seven main numbers.
WordCounter ChooseCounter(int hit, bool seven, int sum)
{
#ifdef BM_X86
    const HistoryInstructions most = allowed.load();
    if (most == HistoryInstructions::Widest && __builtin_cpu_supports("avx512f") &&
        __builtin_cpu_supports("avx512vpopcntdq"))
        return seven ? PickAvx512<true>(hit, sum, std::make_integer_sequence<int, 8>{})
                     : PickAvx512<false>(hit, sum, std::make_integer_sequence<int, 8>{});
    if (most != HistoryInstructions::Portable && __builtin_cpu_supports("popcnt"))
        return Pick<Popcnt>(hit);
#else
    (void)seven, (void)sum;
#endif
    return Pick<Plain>(hit);
}

// The plays of each sum and hit, from the subset counts: pattern p is the sum in its low three
// bits and the hit in bit 3; a pattern's plays are the alternating sum over the subsets holding it.
std::array<std::int64_t, kSubsets> PatternsOf(const Subsets& s)
{
    std::array<std::int64_t, kSubsets> n{};
    for (int p = 0; p < kSubsets; ++p) {
        std::int64_t v = 0;
        for (int t = p; t < kSubsets; t = (t + 1) | p)
            v += (std::popcount(static_cast<unsigned>(t ^ p)) & 1 ? -1 : 1) *
                 static_cast<std::int64_t>(s[static_cast<std::size_t>(t)]);
        n[static_cast<std::size_t>(p)] = v;
    }
    return n;
}

struct Shared {
    const CompactWheel& wheel;
    WordCounter counter;
    const HitSums& few;
    const std::vector<Target>& targets;
    std::atomic<bool>& stop;
};

// Counts blocks [from, to) of the wheel against every draw of the batch into `sums`.
void CountBlocks(const Shared& job, Block& block, std::size_t from, std::size_t to, std::vector<Subsets>& sums,
                 const HistoryPoll* poll, std::int64_t drawsDone)
{
    for (std::size_t b = from; b < to && !job.stop.load(std::memory_order_relaxed); ++b) {
        block.Fill(job.wheel, b * kBlockPlays);
        std::int32_t largeFilled = 0;
        for (std::size_t d = 0; d < job.targets.size(); ++d) {
            const Target& t = job.targets[d];
            if (t.largePowerball != 0 && t.largePowerball != largeFilled) {
                block.FillLargeRow(job.wheel, t.largePowerball);
                largeFilled = t.largePowerball;
            }
            const std::uint64_t* in[kDrawnInputs + 1];
            for (int r = 0; r < kDrawnInputs; ++r)
                in[r] = block.Row(t.rows[static_cast<std::size_t>(r)]);
            in[kDrawnInputs] = block.Row(t.hitRow);
            job.counter(in, block.words(), sums[d], job.few);
        }
        if (poll && *poll && !(*poll)(drawsDone))
            job.stop = true;
    }
}

}  // namespace

void AllowHistoryInstructions(HistoryInstructions most)
{
    allowed = most;
}

std::size_t CompactWheel::BytesHeld() const
{
    const std::size_t last = size_ & (kChunk - 1);
    const std::size_t chunked = chunks_.size() * kChunk - (trimmed_ && last ? kChunk - last : 0);
    return chunked * sizeof(std::uint64_t) + largePowerballs_.capacity() * sizeof(largePowerballs_[0]);
}

void CompactWheel::TrimLastChunk()
{
    const std::size_t last = size_ & (kChunk - 1);
    if (last == 0 || trimmed_)
        return;
    auto exact = std::make_unique_for_overwrite<std::uint64_t[]>(last);
    std::copy_n(chunks_.back().get(), last, exact.get());
    chunks_.back() = std::move(exact);
    trimmed_ = true;
    largePowerballs_.shrink_to_fit();
}

std::int32_t CompactWheel::Powerball(std::size_t play) const
{
    const int shift = PowerballShift(mainPicks_);
    if (const std::uint64_t v = Packed(play) >> shift; v < (~std::uint64_t{0} >> shift))
        return static_cast<std::int32_t>(v);
    const auto at = std::lower_bound(largePowerballs_.begin(), largePowerballs_.end(), play,
                                     [](const auto& entry, std::size_t p) { return entry.first < p; });
    return at != largePowerballs_.end() && at->first == play ? at->second : 0;
}

void CompactWheel::Add(const Play& play)
{
    if ((size_ & (kChunk - 1)) == 0)
        chunks_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kChunk));
    std::uint64_t packed = 0;
    for (int i = 0; i < mainPicks_; ++i)
        packed |= static_cast<std::uint64_t>(play.numbers[static_cast<std::size_t>(i)]) << (kFieldBits * i);
    if (powerball_) {
        const int shift = PowerballShift(mainPicks_);
        const std::uint64_t most = ~std::uint64_t{0} >> shift;  // the field's highest value marks a large one
        const auto ball = static_cast<std::uint64_t>(play.numbers[static_cast<std::size_t>(mainPicks_)]);
        if (ball >= most) {
            largePowerballs_.emplace_back(size_, static_cast<std::int32_t>(ball));
            packed |= most << shift;
        } else {
            packed |= ball << shift;
        }
    }
    chunks_.back()[size_ & (kChunk - 1)] = packed;
    ++size_;
}

Result<CompactWheel> CompactWheel::Read(const std::filesystem::path& wheel, const CheckGame& game, int pool,
                                        std::uint64_t memoryFree)
{
    if (const Status plain = CheckWheelIsFile(wheel); !plain)
        return plain.error();
    auto input = InputFile::Open(wheel);
    if (!input)
        return input.error();
    bool stopped = false;
    auto read = Read(*input, game, pool, {}, stopped, memoryFree);
    if (const Status same = (*input)->CheckUnchanged(); read && !same)
        return same.error();
    return read;
}

void CompactWheel::Append(CompactWheel&& other)
{
    const std::size_t base = size_;
    for (std::size_t i = 0; i < other.size_;) {
        if ((size_ & (kChunk - 1)) == 0)
            chunks_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kChunk));
        const std::size_t n = std::min({kChunk - (size_ & (kChunk - 1)), kChunk - (i & (kChunk - 1)), other.size_ - i});
        std::copy_n(other.chunks_[i >> kChunkShift].get() + (i & (kChunk - 1)), n,
                    chunks_.back().get() + (size_ & (kChunk - 1)));
        size_ += n;
        i += n;
        if ((i & (kChunk - 1)) == 0)
            other.chunks_[(i - 1) >> kChunkShift].reset();  // copied: let it go at once
    }
    for (const auto& [play, ball] : other.largePowerballs_)
        largePowerballs_.emplace_back(base + play, ball);
    other = CompactWheel{};
}

Status CompactWheel::ReadPlays(WheelReader& reader, CompactWheel& w, const CheckGame& game, int pool,
                               const std::function<bool()>& keepGoing, bool& stopped, std::uint64_t memoryFree)
{
    const std::string& name = reader.input().path().string();
    // A quarter of what is free stays for the rest of the program and the system.
    const std::uint64_t budget = memoryFree / 4 * 3;
    const PlayRule rule(game, pool);
    // The usual lines are read 64 bytes at a time straight into the chunk while it has room; the
    // plain reading takes the others, and the play that needs a new chunk.
    static_assert(kFieldBits == 7, "the quick reading packs numbers seven bits apart");
    const DrawMatcher quick(game, DrawResult{}, pool);
    Play play;
    for (;;) {
        if (quick.HasPackPath() && (w.size_ & (kChunk - 1)) != 0) {
            // Up to the next play at which `keepGoing` is asked, as the plain reading asks it.
            const std::size_t room = std::min(kChunk - (w.size_ & (kChunk - 1)), 4095 - (w.size_ & 4095));
            std::int64_t plays = 0;
            const std::size_t taken = quick.PackUsualLines(reader.Buffered(), static_cast<std::int64_t>(room),
                                                           w.chunks_.back().get() + (w.size_ & (kChunk - 1)), plays);
            reader.Skip(taken, plays);
            w.size_ += static_cast<std::size_t>(plays);
        }
        if (!reader.Next(play))
            break;
        if (auto fault = rule.Accepts(play) ? std::nullopt : rule.Fault(play))
            return Error{name + ": line " + std::to_string(play.line) + ": " + *fault};
        if ((w.size_ & 4095) == 4095 && keepGoing && !keepGoing()) {
            stopped = true;
            return Ok{};
        }
        if ((w.size_ & (kChunk - 1)) == 0 && w.BytesHeld() + kChunk * kBytesPerPlay > budget) {
            constexpr std::uint64_t kMB = 1024 * 1024;
            return Error{name + ": line " + std::to_string(play.line) +
                         ": this machine cannot hold so many plays: " + std::to_string(w.size_) + " plays take " +
                         std::to_string((w.BytesHeld() + kMB - 1) / kMB) + " MB at " + std::to_string(kBytesPerPlay) +
                         " bytes a play, and only " + std::to_string(memoryFree / kMB) + " MB of memory are free"};
        }
        w.Add(play);
    }
    if (reader.error())
        return *reader.error();
    return Ok{};
}

Result<CompactWheel> CompactWheel::Read(const std::shared_ptr<const InputFile>& wheel, const CheckGame& game, int pool,
                                        const std::function<bool()>& keepGoing, bool& stopped, std::uint64_t memoryFree)
{
    if (pool < 1 || pool > kMaxPool)
        return Error{"a pool of " + std::to_string(pool) + " numbers cannot be checked against a history (1 to " +
                     std::to_string(kMaxPool) + ")"};
    stopped = false;
    const auto empty = [&] {
        CompactWheel w;
        w.mainPicks_ = game.mainPicks;
        w.powerball_ = game.extraMatchesLastPick;
        return w;
    };
    // A large file is read in two halves side by side, the second from the first line start past
    // its middle. Any fault, or a wheel too large for the memory, is left to the reading in one
    // piece below, whose message names the line as the file numbers it.
    const std::uintmax_t size = wheel->opened().regular ? wheel->opened().size : 0;
    std::uintmax_t middle = 0;
    if (size >= std::uintmax_t{1} << 20 && std::thread::hardware_concurrency() >= 2) {
        char block[4096];
        int error = 0;
        const std::ptrdiff_t got = wheel->ReadAt(size / 2, block, sizeof block, error);
        if (const void* feed = got > 0 ? std::memchr(block, '\n', static_cast<std::size_t>(got)) : nullptr)
            middle = size / 2 + static_cast<std::uintmax_t>(static_cast<const char*>(feed) - block) + 1;
    }
    if (middle > 0 && middle < size) {
        auto first = WheelReader::OpenPart(wheel, game.numbersPerPlay, NumberWidth::Bits32, 0, middle);
        // A file that grows meanwhile keeps its growth in the second half.
        auto second = WheelReader::OpenPart(wheel, game.numbersPerPlay, NumberWidth::Bits32, middle, UINTMAX_MAX);
        if (!first)
            return first.error();
        if (second) {
            CompactWheel a = empty(), b = empty();
            std::atomic<bool> stop{false};
            bool stoppedB = false;
            Status readB = Ok{};
            std::thread other([&] {
                readB = ReadPlays(
                    **second, b, game, pool, [&] { return !stop.load(); }, stoppedB, memoryFree);
                if (!readB)
                    stop = true;
            });
            bool asked = false;  // the caller asked to stop
            const Status readA = ReadPlays(
                **first, a, game, pool,
                [&] {
                    if (stop.load())
                        return false;
                    if (keepGoing && !keepGoing()) {
                        asked = stop = true;
                        return false;
                    }
                    return true;
                },
                stopped, memoryFree);
            if (!readA)
                stop = true;
            other.join();
            if (readA && stopped && !asked)
                stopped = false;  // stopped by the other half's fault: read again below
            if (readA && stopped) {
                a.TrimLastChunk();
                return a;
            }
            if (readA && readB && !stoppedB && a.BytesHeld() + b.BytesHeld() <= memoryFree / 4 * 3) {
                a.Append(std::move(b));
                a.TrimLastChunk();
                return a;
            }
        }
    }
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    if (!reader)
        return reader.error();
    CompactWheel w = empty();
    if (const Status read = ReadPlays(**reader, w, game, pool, keepGoing, stopped, memoryFree); !read)
        return read.error();
    w.TrimLastChunk();
    return w;
}

Status RunHistory(const CheckGame& game, const CompactWheel& wheel, DrawsReader& draws,
                  const std::function<void(const HistoryRow&)>& row, HistoryRun& run, Clock& clock, int workers,
                  const HistoryPoll& poll)
{
    const std::int64_t start = clock.NowMs();
    run.plays = static_cast<std::int64_t>(wheel.size());
    // A play that matches few numbers is not asked about the extra one: its hit folds into 0.
    std::array<int, kSubsets> tierOfPattern{};
    for (int p = 0; p < kSubsets; ++p) {
        const int m = p & 7, hit = p >> 3;
        tierOfPattern[static_cast<std::size_t>(p)] =
            m > game.mainPicks ? -1 : game.TierOf(m, game.LooksAtHit(m) ? hit : 0);
    }
    HitSums few;
    for (int m = 0; m <= std::min(game.mainPicks, kMaxMatches); ++m)
        if (game.extra != ExtraNumber::None && game.LooksAtHit(m) && few.count++ < 2) {
            few.sum[static_cast<std::size_t>(few.count - 1)] = m;
            for (int k = 0; k < 3; ++k)
                few.flip[static_cast<std::size_t>(few.count - 1)][static_cast<std::size_t>(k)] =
                    (m >> k) & 1 ? 0 : ~std::uint64_t{0};
        }
    const int hitCounting = game.extra == ExtraNumber::None ? 0 : few.count <= 2 ? few.count : 8;
    const WordCounter counter = ChooseCounter(hitCounting, game.mainDrawn >= kDrawnInputs, few.sum[0]);
    const std::size_t blocks = (wheel.size() + kBlockPlays - 1) / kBlockPlays;
    workers = static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(std::clamp(workers, 1, 8)), 1,
                                                       std::max<std::size_t>(blocks, 1)));

    std::vector<HistoryDraw> batch;
    std::vector<Target> targets;
    std::vector<std::vector<Subsets>> sums(static_cast<std::size_t>(workers));
    std::vector<Block> scratch(static_cast<std::size_t>(workers));
    std::atomic<bool> stop{false};
    const Shared job{wheel, counter, few, targets, stop};
    HistoryDraw next;
    bool more = true;
    const std::size_t firstBatch =
        std::clamp(kBatch * kQuickBatchPlays / std::max<std::size_t>(wheel.size(), 1), kFirstBatch, kBatch);
    for (std::size_t batchSize = firstBatch; more && !stop; batchSize = kBatch) {
        batch.clear();
        targets.clear();
        while (batch.size() < batchSize && (more = draws.Next(next))) {
            targets.push_back(TargetOf(game, next.draw));
            batch.push_back(std::move(next));
        }
        if (draws.error())
            break;
        for (auto& s : sums)
            s.assign(batch.size(), Subsets{});
        std::vector<std::thread> threads;
        const auto share = [&](int k) {
            return blocks * static_cast<std::size_t>(k) / static_cast<std::size_t>(workers);
        };
        for (int k = 1; k < workers; ++k)
            threads.emplace_back(CountBlocks, std::cref(job), std::ref(scratch[static_cast<std::size_t>(k)]), share(k),
                                 share(k + 1), std::ref(sums[static_cast<std::size_t>(k)]), nullptr, run.draws);
        CountBlocks(job, scratch[0], 0, share(1), sums[0], &poll, run.draws);
        for (auto& t : threads)
            t.join();
        if (stop)
            break;
        for (std::size_t d = 0; d < batch.size(); ++d) {
            Subsets s{};
            for (const auto& part : sums)
                for (int p = 1; p < kSubsets; ++p)
                    s[static_cast<std::size_t>(p)] += part[d][static_cast<std::size_t>(p)];
            s[0] = wheel.size();
            // One or two sums counted with a hit alone: the rest of the plays of that sum had none.
            std::array<std::int64_t, 2> withHit{};
            if (hitCounting == 1 || hitCounting == 2)
                for (int j = 0; j < 8; ++j) {
                    if (j < hitCounting)
                        withHit[static_cast<std::size_t>(j)] =
                            static_cast<std::int64_t>(s[static_cast<std::size_t>(8 + j)]);
                    s[static_cast<std::size_t>(8 + j)] = 0;
                }
            auto patterns = PatternsOf(s);
            for (int j = 0; j < (hitCounting == 8 ? 0 : hitCounting); ++j) {
                const auto m = static_cast<std::size_t>(few.sum[static_cast<std::size_t>(j)]);
                patterns[m] -= withHit[static_cast<std::size_t>(j)];
                patterns[8 + m] = withHit[static_cast<std::size_t>(j)];
            }
            HistoryRow r;
            r.draw = std::move(batch[d]);
            for (int p = 0; p < kSubsets; ++p)
                if (const int tier = tierOfPattern[static_cast<std::size_t>(p)]; tier >= 0)
                    r.tally.count[static_cast<std::size_t>(tier)] += patterns[static_cast<std::size_t>(p)];
            r.wins = TotalsOf(game, r.tally).wins;
            for (std::size_t i = 0; i < game.tiers.size(); ++i)
                run.total.count[i] += r.tally.count[i];
            run.wins += r.wins;
            ++run.draws;
            row(r);
        }
        if (poll && !poll(run.draws))
            stop = true;
    }
    run.aborted = stop;
    run.elapsedMs = clock.NowMs() - start;
    run.drawsFile = draws.notes();
    if (draws.error() && !stop)
        return *draws.error();
    return Ok{};
}

}  // namespace bm
