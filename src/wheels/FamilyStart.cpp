#include "wheels/CoverSearch.h"

#include <queue>

#include "wheels/LottoStarts.h"

namespace bm::wheels::cover {

// "3 if m": plays holding every triple of CyclicTripleFamily (so a wheel), first greedily, then
// fewer one at a time by a weighted tabu search on the family alone, whose swaps cost a few
// lookups. Its smallest cover, or empty. Gives up on a size after a fixed count of moves, a
// sixteenth of it while it has no fewer plays than `toBeat` (0: always the whole).
std::vector<int> CoverSearch::FamilyStart(std::size_t toBeat)
{
    constexpr std::uint64_t kMostCandidates = 4'000'000;
    constexpr std::uint64_t kPatience = 2'000'000;
    const std::vector<char> family = CyclicTripleFamily({v_, k_, m_, t_});
    if (family.empty())
        return {};
    const auto rank3 = [this](const int* q) { return C(q[0], 1) + C(q[1], 2) + C(q[2], 3); };
    std::vector<std::uint32_t> held(family.size(), 0);
    std::vector<std::uint32_t> weight(family.size(), 1);
    std::uint64_t open = 0;
    for (const char f : family)
        open += static_cast<std::uint64_t>(f);
    // The sum over the triples of play (k numbers, ascending) the family has and none holds.
    const auto gain = [&](const int* play) {
        std::uint64_t g = 0;
        ForEachSubset(play, k_, 3, [&](const int* q) {
            const std::uint32_t r = rank3(q);
            g += family[r] != 0 && held[r] == 0 ? 1 : 0;
            return true;
        });
        work_ += C(k_, 3);
        return g;
    };
    std::vector<int> plays;
    const auto take = [&](const int* play) {
        ForEachSubset(play, k_, 3, [&](const int* q) {
            const std::uint32_t r = rank3(q);
            if (held[r]++ == 0 && family[r] != 0)
                --open;
            return true;
        });
        plays.insert(plays.end(), play, play + k_);
    };
    // Lazy greedy, first over the split of a play between Vi and V(i+1) holding the most pairs
    // of one with a number of the other, then over all splits.
    int widest = 2;
    for (int a = 2; a <= k_; ++a)
        if (a * (a - 1) * (k_ - a) > widest * (widest - 1) * (k_ - widest))
            widest = a;
    for (const bool onlyBest : {true, false}) {
        const std::vector<int> candidates =
            CyclicPlays({v_, k_, m_, t_}, onlyBest ? widest : 2, onlyBest ? widest : k_, kMostCandidates);
        const std::size_t n = candidates.size() / static_cast<std::size_t>(k_);
        using Entry = std::pair<std::uint64_t, std::uint64_t>;  // gain, a seeded tie-break and the index
        std::priority_queue<Entry> heap;
        for (std::size_t i = 0; i < n; ++i)
            if (const std::uint64_t g = gain(&candidates[i * static_cast<std::size_t>(k_)]); g > 0)
                heap.emplace(g, (rng_.Next() << 32) | i);
        while (open > 0 && !heap.empty()) {
            if (!Poll())
                return {};
            const auto [was, key] = heap.top();
            heap.pop();
            const int* play = &candidates[(key & 0xFFFFFFFFu) * static_cast<std::size_t>(k_)];
            const std::uint64_t now = gain(play);
            if (now == 0)
                continue;
            if (now < was && !heap.empty() && now < heap.top().first) {
                heap.emplace(now, key);
                continue;
            }
            take(play);
        }
    }
    if (open > 0)
        return {};
    // Every triple of the family held makes a wheel (see CyclicTripleFamily).
    const auto keep = [&]() {
        if (best_.empty() || plays.size() < best_.size())
            best_ = plays;
    };
    keep();
    std::vector<int> bestPlays = plays;
    const auto count = [&]() { return plays.size() / static_cast<std::size_t>(k_); };
    std::vector<std::uint64_t> masks;
    for (std::size_t p = 0; p < count(); ++p) {
        masks.push_back(0);
        masks.push_back(0);
        for (int i = 0; i < k_; ++i) {
            const int e = plays[p * static_cast<std::size_t>(k_) + static_cast<std::size_t>(i)];
            masks[p * 2 + static_cast<std::size_t>(e >> 6)] |= std::uint64_t{1} << (e & 63);
        }
    }
    const auto holds = [&](std::size_t p, int e) {
        return ((masks[p * 2 + static_cast<std::size_t>(e >> 6)] >> (e & 63)) & 1) != 0;
    };
    std::vector<std::uint32_t> openList;
    const auto v = static_cast<std::size_t>(v_);
    std::vector<std::uint64_t> tabu(count() * v, 0);
    // Calls fn(rank with x, rank with y) for the pairs of play p other than x.
    const auto forPairs = [&](std::size_t p, int x, int y, auto&& fn) {
        int rest[kMaxWheelNumbers];
        int n = 0;
        for (int i = 0; i < k_; ++i)
            if (const int e = plays[p * static_cast<std::size_t>(k_) + static_cast<std::size_t>(i)]; e != x)
                rest[n++] = e;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                int a[3] = {rest[i], rest[j], x};
                int b[3] = {rest[i], rest[j], y};
                for (int h = 2; h > 0 && a[h - 1] > a[h]; --h)
                    std::swap(a[h - 1], a[h]);
                for (int h = 2; h > 0 && b[h - 1] > b[h]; --h)
                    std::swap(b[h - 1], b[h]);
                fn(rank3(a), rank3(b));
            }
        work_ += static_cast<std::uint64_t>(n * (n - 1) / 2);
    };
    std::uint64_t step = 0;
    while (count() > stopAt_ && count() > 1) {
        // The play holding the lightest family triples no other play holds goes.
        std::size_t drop = 0;
        std::uint64_t fewest = ~std::uint64_t{0};
        for (std::size_t p = 0; p < count(); ++p) {
            std::uint64_t only = 0;
            ForEachSubset(&plays[p * static_cast<std::size_t>(k_)], k_, 3, [&](const int* q) {
                const std::uint32_t r = rank3(q);
                only += family[r] != 0 && held[r] == 1 ? weight[r] : 0;
                return true;
            });
            if (only < fewest) {
                fewest = only;
                drop = p;
            }
        }
        const std::size_t last = count() - 1;
        ForEachSubset(&plays[drop * static_cast<std::size_t>(k_)], k_, 3, [&](const int* q) {
            const std::uint32_t r = rank3(q);
            if (--held[r] == 0 && family[r] != 0) {
                ++open;
                openList.push_back(r);
            }
            return true;
        });
        std::copy(plays.begin() + static_cast<std::ptrdiff_t>(last * static_cast<std::size_t>(k_)), plays.end(),
                  plays.begin() + static_cast<std::ptrdiff_t>(drop * static_cast<std::size_t>(k_)));
        plays.resize(last * static_cast<std::size_t>(k_));
        masks[drop * 2] = masks[last * 2];
        masks[drop * 2 + 1] = masks[last * 2 + 1];
        masks.resize(last * 2);
        std::copy(tabu.begin() + static_cast<std::ptrdiff_t>(last * v), tabu.end(),
                  tabu.begin() + static_cast<std::ptrdiff_t>(drop * v));
        tabu.resize(last * v);
        const std::uint64_t started = step;
        const std::uint64_t patience = toBeat != 0 && count() >= toBeat ? kPatience / 16 : kPatience;
        while (open > 0) {
            if (!Poll() || step - started >= patience)
                return bestPlays;
            ++step;
            // an open triple, stale entries dropped on the way
            std::size_t at = static_cast<std::size_t>(rng_.Below(openList.size()));
            while (held[openList[at]] != 0) {
                openList[at] = openList.back();
                openList.pop_back();
                at = static_cast<std::size_t>(rng_.Below(openList.size()));
            }
            int q[3];
            UnrankInto(openList[at], 3, q, Binomials::Table());
            std::uint64_t qmask[2] = {0, 0};
            for (const int e : q)
                qmask[e >> 6] |= std::uint64_t{1} << (e & 63);
            SwapChoice best;
            bool any = false;
            for (std::size_t p = 0; p < count(); ++p) {
                if (std::popcount(masks[p * 2] & qmask[0]) + std::popcount(masks[p * 2 + 1] & qmask[1]) != 2)
                    continue;
                any = true;
                const int y = !holds(p, q[0]) ? q[0] : !holds(p, q[1]) ? q[1] : q[2];
                if (tabu[p * v + static_cast<std::size_t>(y)] > step)
                    continue;
                for (int i = 0; i < k_; ++i) {
                    const int x = plays[p * static_cast<std::size_t>(k_) + static_cast<std::size_t>(i)];
                    if (((qmask[x >> 6] >> (x & 63)) & 1) != 0)
                        continue;
                    std::int64_t delta = 0;
                    forPairs(p, x, y, [&](std::uint32_t lost, std::uint32_t gained) {
                        if (family[lost] != 0 && held[lost] == 1)
                            delta += weight[lost];
                        if (family[gained] != 0 && held[gained] == 0)
                            delta -= weight[gained];
                    });
                    best.Offer(delta, p, x, y, rng_);
                }
            }
            if (best.x >= 0 && best.delta > 0) {
                ++weight[openList[at]];
                continue;
            }
            if (best.x < 0 && any)
                continue;      // every play holding two of it is tabu for it
            if (best.x < 0) {  // none holds two of it: any play one number closer
                best.p = static_cast<std::size_t>(rng_.Below(count()));
                const int* e = &plays[best.p * static_cast<std::size_t>(k_)];
                do
                    best.x = e[rng_.Below(static_cast<std::uint64_t>(k_))];
                while (((qmask[best.x >> 6] >> (best.x & 63)) & 1) != 0);
                do
                    best.y = q[rng_.Below(3)];
                while (holds(best.p, best.y));
            }
            forPairs(best.p, best.x, best.y, [&](std::uint32_t lost, std::uint32_t gained) {
                if (held[gained]++ == 0 && family[gained] != 0)
                    --open;
                if (--held[lost] == 0 && family[lost] != 0) {
                    ++open;
                    openList.push_back(lost);
                }
            });
            int* e = &plays[best.p * static_cast<std::size_t>(k_)];
            *std::find(e, e + k_, best.x) = best.y;
            for (int i = 1; i < k_; ++i)
                for (int h = i; h > 0 && e[h - 1] > e[h]; --h)
                    std::swap(e[h - 1], e[h]);
            masks[best.p * 2 + static_cast<std::size_t>(best.x >> 6)] &= ~(std::uint64_t{1} << (best.x & 63));
            masks[best.p * 2 + static_cast<std::size_t>(best.y >> 6)] |= std::uint64_t{1} << (best.y & 63);
            tabu[best.p * v + static_cast<std::size_t>(best.x)] = step + kTabuTenure + rng_.Below(kTabuTenure + 1);
        }
        bestPlays = plays;
        keep();
    }
    return bestPlays;
}
}  // namespace bm::wheels::cover
