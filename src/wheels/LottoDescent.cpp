#include "wheels/CoverSearch.h"

#include <bit>
#include <optional>

namespace bm::wheels::cover {

namespace {

// The n-th set bit of mask (there must be more than n), counted from the lowest.
int NthBit(std::uint64_t mask, std::uint64_t n)
{
    for (; n > 0; --n)
        mask &= mask - 1;
    return std::countr_zero(mask);
}

}  // namespace

// Lotto designs: one play less at a time, then a tabu search at that size until it covers.
void CoverSearch::LottoDescend(std::vector<int> start, bool tryFamily)
{
    // "t if t+1" has a descent of its own, which the family start gives up sooner to while it has
    // not beaten the start (27 numbers "3 if 4": the family stays above the 90-play orbit wheel
    // and took a quarter of a minute from the descent).
    const bool bits = LottoBits::Fits({v_, k_, m_, t_});
    std::vector<int> family =
        tryFamily ? FamilyStart(bits ? start.size() / static_cast<std::size_t>(k_) : 0) : std::vector<int>{};
    const bool fromFamily = !family.empty() && family.size() < start.size();
    if (fromFamily)
        start = std::move(family);
    if (fromFamily && (stopped_ || (limits_.maxRounds >= 0 && rounds_ >= limits_.maxRounds)))
        return;  // its best is kept already
    if (bits) {
        BitsDescend(start);
        return;
    }
    LottoState lotto({v_, k_, m_, t_});
    lotto_ = &lotto;
    lottoWork_ = 0;
    // Setting up a large shape takes seconds: the time limit and Ctrl+C are heard meanwhile.
    const bool setUp = lotto.AddPlays(start, [this] {
        CountLottoWork();
        return Poll();
    });
    CountLottoWork();
    if (!setUp) {
        lotto_ = nullptr;
        return;
    }
    if (lotto.Uncovered() == 0 && (best_.empty() || lotto.AllElems().size() < best_.size()))
        best_ = lotto.AllElems();
    if (stopped_ || (limits_.maxRounds >= 0 && rounds_ >= limits_.maxRounds)) {
        lotto_ = nullptr;
        return;
    }
    // The counts by play are not needed from here on.
    std::vector<std::uint32_t>().swap(count_);
    std::vector<std::uint32_t>().swap(list_);
    std::vector<std::vector<std::uint32_t>>().swap(holders_);
    const auto v = static_cast<std::size_t>(v_);
    tabu_.assign(lotto.Plays() * v, 0);
    while (lotto.Plays() > stopAt_ && lotto.Plays() > 1) {
        // The play covering the fewest sets alone goes.
        std::size_t drop = 0;
        std::uint64_t fewest = ~std::uint64_t{0};
        const std::size_t plays = lotto.Plays();
        const auto from = static_cast<std::size_t>(rng_.Below(plays));
        for (std::size_t i = 0; i < plays; ++i) {
            const std::size_t p = (from + i) % plays;
            const std::uint64_t only = lotto.OnlyBy(p);
            if (only < fewest) {
                fewest = only;
                drop = p;
            }
        }
        lotto.RemovePlay(drop);
        std::copy(tabu_.begin() + static_cast<std::ptrdiff_t>((plays - 1) * v),
                  tabu_.begin() + static_cast<std::ptrdiff_t>(plays * v),
                  tabu_.begin() + static_cast<std::ptrdiff_t>(drop * v));
        tabu_.resize((plays - 1) * v);
        if (!LottoSearch(lotto))
            break;
        best_ = lotto.AllElems();
    }
    lotto_ = nullptr;
}

// Weighted tabu search at a fixed size: for a random uncovered set, of all swaps that make a play
// cover it the one leaving the lightest uncovered sets, unless it brings back a number lately
// taken out of that play. When none makes things lighter, the set weighs more instead.
bool CoverSearch::LottoSearch(LottoState& lotto)
{
    int d[kMaxWheelNumbers];
    const auto v = static_cast<std::size_t>(v_);
    while (lotto.Uncovered() > 0) {
        CountLottoWork();
        if (!Poll())
            return false;
        lotto.SampleUncovered([this](std::size_t n) { return rng_.Below(n); }, d);
        std::uint64_t dmask[2] = {0, 0};
        for (int i = 0; i < m_; ++i)
            dmask[d[i] >> 6] |= std::uint64_t{1} << (d[i] & 63);
        const auto inD = [&](int e) { return ((dmask[e >> 6] >> (e & 63)) & 1) != 0; };
        SwapChoice best;
        for (std::size_t p = 0; p < lotto.Plays(); ++p) {
            if (lotto.Common(p, dmask) != t_ - 1)
                continue;
            const int* e = lotto.Elems(p);
            for (int i = 0; i < k_; ++i) {
                if (inD(e[i]))
                    continue;
                for (int j = 0; j < m_; ++j) {
                    if (lotto.Holds(p, d[j]))
                        continue;
                    if (tabu_[p * v + static_cast<std::size_t>(d[j])] > moves_)
                        continue;
                    const std::int64_t delta = lotto.SwapDelta(p, e[i], d[j]);
                    best.Offer(delta, p, e[i], d[j], rng_);
                }
            }
        }
        if (best.x >= 0 && best.delta >= 0) {
            // Nothing better for d: it weighs more, until covering it pays.
            lotto.WeighSet(d);
            ++moves_;
            work_ += kMoveOverhead;
            continue;
        }
        if (best.x < 0) {  // no play holds t-1 of d, or every swap is tabu: any play one number closer
            best.p = static_cast<std::size_t>(rng_.Below(lotto.Plays()));
            int xs[kMaxWheelNumbers] = {};
            int ys[kMaxWheelNumbers] = {};
            int nx = 0;
            int ny = 0;
            const int* e = lotto.Elems(best.p);
            for (int i = 0; i < k_; ++i)
                if (!inD(e[i]))
                    xs[nx++] = e[i];
            for (int j = 0; j < m_; ++j)
                if (!lotto.Holds(best.p, d[j]))
                    ys[ny++] = d[j];
            best.x = xs[rng_.Below(static_cast<std::uint64_t>(nx))];
            best.y = ys[rng_.Below(static_cast<std::uint64_t>(ny))];
        }
        lotto.Swap(best.p, best.x, best.y);
        tabu_[best.p * v + static_cast<std::size_t>(best.x)] = moves_ + kTabuTenure + rng_.Below(kTabuTenure + 1);
        ++moves_;
        work_ += kMoveOverhead;
    }
    return true;
}

// "t if t+1": the same descent on LottoBits, with a plain tabu search at each size. Weighing sets
// stalls here (27 numbers "3 if 4" stayed at 90 for minutes); always taking the best swap, with a
// short tenure and any swap allowed that beats the fewest uncovered so far, goes below it in seconds.
// How long a size takes hangs on which play went, so a size not reached within a patience of moves
// starts again from the best wheel without another play, with twice the patience.
void CoverSearch::BitsDescend(const std::vector<int>& start)
{
    const WheelShape shape{v_, k_, m_, t_};
    std::optional<LottoBits> bits;
    const auto load = [&](const std::vector<int>& plays) {
        bits.emplace(shape);
        bits_ = &*bits;
        lottoWork_ = 0;
        for (std::size_t p = 0; p < plays.size(); p += static_cast<std::size_t>(k_)) {
            bits->AddPlay(&plays[p]);
            CountLottoWork();
            if (!Poll())
                return false;
        }
        tabu_.assign(bits->Plays() * static_cast<std::size_t>(v_), 0);
        return true;
    };
    if (!load(start)) {
        bits_ = nullptr;
        return;
    }
    if (bits->Uncovered() == 0 && (best_.empty() || bits->AllElems().size() < best_.size()))
        best_ = bits->AllElems();
    std::vector<std::uint32_t>().swap(count_);
    std::vector<std::uint32_t>().swap(list_);
    std::vector<std::vector<std::uint32_t>>().swap(holders_);
    const auto v = static_cast<std::size_t>(v_);
    std::uint64_t patience = kPlainPatience;
    bool again = false;
    while (bits->Plays() > stopAt_ && bits->Plays() > 1) {
        // The play covering the fewest sets alone goes; after a failure, any.
        const std::size_t plays = bits->Plays();
        std::size_t drop = static_cast<std::size_t>(rng_.Below(plays));
        if (!again) {
            std::uint64_t fewest = ~std::uint64_t{0};
            const std::size_t from = drop;
            for (std::size_t i = 0; i < plays; ++i) {
                const std::size_t p = (from + i) % plays;
                const std::uint64_t only = bits->OnlyBy(p);
                if (only < fewest) {
                    fewest = only;
                    drop = p;
                }
            }
        }
        bits->RemovePlay(drop);
        std::copy(tabu_.begin() + static_cast<std::ptrdiff_t>((plays - 1) * v),
                  tabu_.begin() + static_cast<std::ptrdiff_t>(plays * v),
                  tabu_.begin() + static_cast<std::ptrdiff_t>(drop * v));
        tabu_.resize((plays - 1) * v);
        const Outcome outcome = BitsSearch(*bits, patience);
        if (outcome == Outcome::Stopped)
            break;
        if (outcome == Outcome::OutOfMoves) {
            patience *= 2;
            again = true;
            if (!load(best_))
                break;
            continue;
        }
        best_ = bits->AllElems();
        patience = kPlainPatience;
        again = false;
    }
    bits_ = nullptr;
}

CoverSearch::Outcome CoverSearch::BitsSearch(LottoBits& bits, std::uint64_t patience)
{
    const std::uint64_t until = moves_ + patience;
    int d[kMaxWheelNumbers];
    const auto v = static_cast<std::size_t>(v_);
    auto fewest = static_cast<std::int64_t>(bits.Uncovered());
    while (bits.Uncovered() > 0) {
        CountLottoWork();
        if (!Poll())
            return Outcome::Stopped;
        if (moves_ >= until)
            return Outcome::OutOfMoves;
        bits.SampleUncovered([this](std::size_t n) { return rng_.Below(n); }, d);
        std::uint64_t dmask = 0;
        for (int i = 0; i < m_; ++i)
            dmask |= std::uint64_t{1} << d[i];
        const auto now = static_cast<std::int64_t>(bits.Uncovered());
        SwapChoice best;
        for (std::size_t p = 0; p < bits.Plays(); ++p) {
            const std::uint64_t play = bits.Mask(p);
            if (std::popcount(play & dmask) != t_ - 1)
                continue;
            for (std::uint64_t out = play & ~dmask; out != 0; out &= out - 1) {
                const int x = std::countr_zero(out);
                for (std::uint64_t in = dmask & ~play; in != 0; in &= in - 1) {
                    const int y = std::countr_zero(in);
                    const std::int64_t delta = bits.SwapDelta(p, x, y);
                    if (tabu_[p * v + static_cast<std::size_t>(y)] > moves_ && now + delta >= fewest)
                        continue;
                    best.Offer(delta, p, x, y, rng_);
                }
            }
        }
        if (best.x < 0) {  // every swap is tabu: any play one number closer
            best.p = static_cast<std::size_t>(rng_.Below(bits.Plays()));
            const std::uint64_t play = bits.Mask(best.p);
            const std::uint64_t outs = play & ~dmask;
            const std::uint64_t ins = dmask & ~play;
            best.x = NthBit(outs, rng_.Below(static_cast<std::uint64_t>(std::popcount(outs))));
            best.y = NthBit(ins, rng_.Below(static_cast<std::uint64_t>(std::popcount(ins))));
        }
        bits.Swap(best.p, best.x, best.y);
        tabu_[best.p * v + static_cast<std::size_t>(best.x)] = moves_ + kPlainTenure + rng_.Below(kPlainTenure / 4 + 1);
        fewest = std::min(fewest, static_cast<std::int64_t>(bits.Uncovered()));
        ++moves_;
        work_ += kMoveOverhead;
    }
    return Outcome::Covered;
}

}  // namespace bm::wheels::cover
