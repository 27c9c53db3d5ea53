// Published designs come from books, web sites and other programs, in many shapes. Whatever the
// bytes, reading either refuses with the file and a line, or gives plays of one size of
// distinct labels; applying them to as many numbers as they need gives ascending plays of those
// numbers; and an analysis of a small one counts every draw exactly once in both tables.
#include "FuzzSupport.h"
#include "wheels/WheelAnalysis.h"
#include "wheels/WheelDesign.h"

#include <algorithm>
#include <numeric>
#include <set>

using namespace bm::wheels;
using bmfuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto design = ParseDesign(bmfuzz::AsText(data, size), "d.txt");
    if (!design) {
        Require(design.error().message.rfind("d.txt: ", 0) == 0, "a refusal names the file");
        return 0;
    }
    Require(!design->plays.empty() && design->plays.size() == design->lines.size(), "plays with their lines");
    const int v = design->NumbersNeeded();
    for (const auto& play : design->plays) {
        Require(static_cast<int>(play.size()) == design->playSize, "every play has the design's size");
        Require(std::set<int>(play.begin(), play.end()).size() == play.size(), "labels distinct within a play");
    }
    if (v > 200)
        return 0;
    std::vector<int> numbers(static_cast<std::size_t>(v));
    std::iota(numbers.begin(), numbers.end(), 100);
    const auto applied = ApplyDesign(*design, numbers);
    Require(applied.ok(), "a design applies to as many numbers as it needs");
    for (const auto& play : *applied)
        Require(std::is_sorted(play.begin(), play.end()) && play.front() >= 100 && play.back() < 100 + v,
                "applied plays ascend within the numbers given");
    numbers.pop_back();
    Require(!ApplyDesign(*design, numbers).ok(), "a label beyond the numbers given is refused");
    if (v <= 14 && design->plays.size() <= 64) {
        const int pool = v + 3, drawn = 4;
        const auto c = Analyze(design->OnLabels(), v, pool, drawn);
        Require(c.ok(), "a small design is analysed");
        const std::int64_t all = Binomial(pool, drawn);
        Require(std::accumulate(c->best.begin(), c->best.end(), std::int64_t{0}) == all, "best counts every draw");
        Require(std::accumulate(c->drawsWithin.begin(), c->drawsWithin.end(), std::int64_t{0}) == all,
                "draws within count every draw");
        for (std::size_t m = 1; m < c->guaranteed.size(); ++m)
            Require(c->guaranteed[m] >= c->guaranteed[m - 1] && c->guaranteed[m] <= static_cast<int>(m),
                    "a guarantee grows with m and never beats m");
    }
    return 0;
}
