#include "wheels/WheelMake.h"

#include <algorithm>
#include <tuple>

#include "wheels/DesignConstructions.h"
#include "wheels/WheelLibrary.h"

namespace bm::wheels {

std::optional<std::string> MakeFault(const WheelShape& shape)
{
    if (std::string problem = ShapeProblem(shape); !problem.empty())
        return problem;
    if (std::string problem = SearchSizeProblem(shape); !problem.empty())
        return problem;
    if (auto fault = AnalysisFault(std::vector<Play>{}, shape.v, shape.v, shape.m))
        return "checking the wheel: " + *fault;
    return std::nullopt;
}

std::optional<int> CheckedMatch(const WheelShape& shape, const std::vector<Play>& plays,
                                const AnalysisProgress& progress)
{
    const auto coverage = Analyze(plays, shape.v, shape.v, shape.m, progress);
    if (!coverage)
        return std::nullopt;
    return coverage->guaranteed.at(static_cast<std::size_t>(shape.m));
}

std::vector<std::vector<int>> PlaysOnNumbers(const std::vector<Play>& plays, const std::vector<int>& numbers)
{
    std::vector<std::vector<int>> out;
    out.reserve(plays.size());
    for (const Play& play : plays) {
        std::vector<int> onNumbers;
        for (const int label : play)
            onNumbers.push_back(numbers.at(static_cast<std::size_t>(label)));
        std::sort(onNumbers.begin(), onNumbers.end());
        out.push_back(std::move(onNumbers));
    }
    return out;
}

std::string BoundAndRecordText(const WheelShape& shape)
{
    const LowerBound bound = KnownLowerBound(shape);
    std::string text = "lower bound " + std::to_string(bound.plays) + " (" + bound.reason + ")";
    if (const auto record = PublishedRecord(shape))
        text +=
            "; best published " + std::to_string(record->plays) + (record->provenOptimal ? ", proven smallest" : "");
    else
        text += "; no published size known";
    return text;
}

}  // namespace bm::wheels

namespace bm::wheels {

namespace {

// A design file's plays in its own order, ascending as the search and the constructions give them.
std::vector<Play> Sorted(std::vector<Play> plays)
{
    for (Play& play : plays)
        std::sort(play.begin(), play.end());
    return plays;
}

// Proven for the shape by the exhaustive analysis (a shape too large to analyse is not proven).
bool Serves(const WheelShape& shape, const std::vector<Play>& plays)
{
    if (AnalysisFault(plays, shape.v, shape.v, shape.m))
        return false;
    const auto match = CheckedMatch(shape, plays);
    return match && *match >= shape.t;
}

// The share of the time a split's searched part may take: a play saved there is one saved in the
// whole, while the search on all the numbers moves far slower.
constexpr double kSearchedPartShare = 0.8;

bool Smaller(const ReadyWheel& a, const ReadyWheel& b)
{
    return a.plays.size() < b.plays.size();
}

// A part's best size known without search (ready wheels), else its best published size with a
// tenth more for the search that has to find it; nothing when neither is known.
struct PartPlan {
    std::optional<ReadyWheel> ready;
    std::uint64_t estimate = 0;
};
std::optional<PartPlan> PlanPart(const WheelShape& part, const std::filesystem::path& library,
                                 std::vector<std::string>& faults)
{
    auto ready = ReadyWheels(part, library, faults);
    if (!ready.empty())
        return PartPlan{ready.front(), ready.front().plays.size()};
    if (const auto record = PublishedRecord(part))
        return PartPlan{std::nullopt, record->plays + record->plays / 10};
    return std::nullopt;
}

}  // namespace

std::vector<ReadyWheel> ReadyWheels(const WheelShape& shape, const std::filesystem::path& library,
                                    std::vector<std::string>& faults)
{
    std::vector<ReadyWheel> ready;
    if (!ShapeProblem(shape).empty())
        return ready;
    // The library holds coverings C(v, k, k-1).
    const int t = shape.k - 1;
    if (const auto design = LibraryDesign(library, shape.v, shape.k, t); !design) {
        faults.push_back(design.error().message);
    } else if (*design) {
        auto plays = Sorted((*design)->OnLabels());
        const bool own = shape.m == t && shape.t == t;
        if (Serves(shape, plays))
            ready.push_back({std::move(plays), own ? "best published, from the library"
                                                   : "library design C(" + std::to_string(shape.v) + "," +
                                                         std::to_string(shape.k) + "," + std::to_string(t) + ")"});
    }
    for (NamedWheel& built : ConstructionsOn(shape.v, shape.k)) {
        auto plays = Sorted(built.plays);
        if (Serves(shape, plays))
            ready.push_back({std::move(plays), std::move(built.name)});
    }
    std::stable_sort(ready.begin(), ready.end(), Smaller);
    return ready;
}

std::optional<ReadyWheel> SplitWheel(const WheelShape& shape, const MakeLimits& limits,
                                     const std::filesystem::path& library, std::vector<std::string>& faults)
{
    const auto [v, k, m, t] = shape;
    if (m + 1 < 2 * t || v < 2 * k)
        return std::nullopt;
    const auto record = PublishedRecord(shape);
    struct Plan {
        WheelShape a, b;
        PartPlan pa, pb;
        std::uint64_t estimate;
    };
    std::optional<Plan> best;
    for (int a = k; a <= v - k; ++a)
        for (int m1 = t; m1 <= m + 1 - t; ++m1) {
            const WheelShape sa{a, k, m1, t};
            const WheelShape sb{v - a, k, m + 1 - m1, t};
            if (sa.m > sa.v || sb.m > sb.v || MakeFault(sa) || MakeFault(sb))
                continue;
            const auto pa = PlanPart(sa, library, faults);
            const auto pb = pa ? PlanPart(sb, library, faults) : std::nullopt;
            if (!pa || !pb)
                continue;
            // A part to search is worth its time only where the whole has a size to compare with.
            const bool searched = !pa->ready || !pb->ready;
            if ((searched && !record) || (!pa->ready && !pb->ready))
                continue;
            const std::uint64_t estimate = pa->estimate + pb->estimate;
            if (searched && estimate > record->plays + record->plays / 10)
                continue;
            if (!best || estimate < best->estimate)
                best = Plan{sa, sb, *pa, *pb, estimate};
        }
    if (!best)
        return std::nullopt;

    std::string sources;
    std::vector<Play> plays;
    bool searched = false;
    for (const auto& [part, plan, first] :
         {std::tuple{best->a, best->pa, 0}, std::tuple{best->b, best->pb, best->a.v}}) {
        std::vector<Play> partPlays;
        std::string source;
        if (plan.ready) {
            partPlays = plan.ready->plays;
            source = plan.ready->source;
        } else {
            SearchLimits searchPart = limits.search;
            searchPart.start.clear();
            if (searchPart.maxRounds >= 0)
                searchPart.maxRounds = std::max<std::int64_t>(searchPart.maxRounds / 2, 1);
            const auto outer = limits.search.keepGoing;
            const auto spent = limits.spent;
            // Its first wheel whatever the share: without it there is no split at all.
            searchPart.keepGoing = [outer, spent](const SearchProgress& progress) {
                return (!outer || outer(progress)) &&
                       (!spent || progress.bestPlays == 0 || spent() < kSearchedPartShare);
            };
            partPlays = BuildWheel(part, searchPart).plays;
            if (partPlays.empty())
                return std::nullopt;
            source = "search";
            searched = true;
        }
        sources.append(sources.empty() ? "" : " and ");
        sources += std::to_string(part.m) + " of " + std::to_string(part.v) + " (" + std::to_string(partPlays.size()) +
                   " plays, " + source + ")";
        for (Play& play : partPlays) {
            for (int& e : play)
                e += first;
            plays.push_back(std::move(play));
        }
    }
    if (!Serves(shape, plays))
        return std::nullopt;
    return ReadyWheel{std::move(plays),
                      "split of " + std::to_string(best->a.v) + " + " + std::to_string(best->b.v) + ": " +
                          std::to_string(t) + " if " + sources,
                      searched};
}

MadeWheel MakeWheel(const WheelShape& shape, const MakeLimits& limits, const std::filesystem::path& library,
                    std::vector<std::string>& faults)
{
    std::vector<ReadyWheel> ready = ReadyWheels(shape, library, faults);
    const std::uint64_t bound = KnownLowerBound(shape).plays;
    const auto record = PublishedRecord(shape);
    const auto atBest = [&]() {
        const std::size_t size = ready.front().plays.size();
        return size <= bound || (record && size <= record->plays);
    };
    if (ready.empty() || !atBest()) {
        if (auto split = SplitWheel(shape, limits, library, faults)) {
            ready.push_back(std::move(*split));
            std::stable_sort(ready.begin(), ready.end(), Smaller);
        }
    }
    MadeWheel made;
    if (!ready.empty() && atBest()) {
        made.plays = std::move(ready.front().plays);
        made.source = std::move(ready.front().source);
        return made;
    }
    // After a split's searched part the rest of the time is too short for the search on all the
    // numbers to gain anything: it only costs its start.
    if (limits.spent && !ready.empty() && limits.spent() >= (ready.front().searched ? kSearchedPartShare : 1.0)) {
        made.plays = std::move(ready.front().plays);
        made.source = std::move(ready.front().source);
        return made;
    }
    SearchLimits search = limits.search;
    if (!ready.empty()) {
        search.start = ready.front().plays;
        // Near the best published size the search's own start could only be larger.
        search.startAtOnce = record && search.start.size() <= record->plays + record->plays / 4;
    }
    SearchResult found = BuildWheel(shape, search);
    made.rounds = found.rounds;
    made.stopped = found.stopped;
    if (!found.plays.empty() && (ready.empty() || found.plays.size() < ready.front().plays.size())) {
        made.plays = std::move(found.plays);
        if (found.fromStart)
            made.source = "improved by search, from " + ready.front().source;
    } else if (!ready.empty()) {
        made.plays = std::move(ready.front().plays);
        made.source = std::move(ready.front().source);
    }
    return made;
}

}  // namespace bm::wheels
