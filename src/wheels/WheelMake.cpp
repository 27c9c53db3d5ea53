#include "wheels/WheelMake.h"

#include <algorithm>

namespace bm::wheels {

std::optional<std::string> MakeFault(const WheelShape& shape)
{
    if (std::string problem = ShapeProblem(shape); !problem.empty())
        return problem;
    if (std::string problem = SearchSizeProblem(shape); !problem.empty())
        return problem;
    if (auto fault = AnalysisFault(std::vector<LabelPlay>{}, shape.v, shape.v, shape.m))
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
        text += "; best published " + std::to_string(record->plays) +
                (record->provenOptimal ? ", proven smallest" : "");
    else
        text += "; no published size known";
    return text;
}

}  // namespace bm::wheels
