#include "wheels/CoverSearch.h"

namespace bm::wheels::cover {

// Lotto designs: one play less at a time, then a tabu search at that size until it covers.
void CoverSearch::LottoDescend(std::vector<int> start, bool tryFamily)
{
    std::vector<int> family = tryFamily ? FamilyStart() : std::vector<int>{};
    const bool fromFamily = !family.empty() && family.size() < start.size();
    if (fromFamily)
        start = std::move(family);
    if (fromFamily && (stopped_ || (limits_.maxRounds >= 0 && rounds_ >= limits_.maxRounds)))
        return;  // its best is kept already
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
}  // namespace bm::wheels::cover
