#include "wheels/DesignConstructions.h"

#include <algorithm>
#include <array>

namespace bm::wheels {

bool IsPrime(int q)
{
    if (q < 2)
        return false;
    for (int d = 2; d * d <= q; ++d)
        if (q % d == 0)
            return false;
    return true;
}

namespace {

// Points and lines of a projective plane share one normal form: the first non-zero
// coordinate is 1.
std::vector<std::array<int, 3>> NormalisedTriples(int q)
{
    std::vector<std::array<int, 3>> all;
    for (int a = 0; a < q; ++a)
        for (int b = 0; b < q; ++b)
            all.push_back({1, a, b});
    for (int c = 0; c < q; ++c)
        all.push_back({0, 1, c});
    all.push_back({0, 0, 1});
    return all;
}

std::vector<std::vector<int>> AffinePlane(int q)
{
    std::vector<std::vector<int>> lines;
    for (int slope = 0; slope < q; ++slope)
        for (int shift = 0; shift < q; ++shift) {
            std::vector<int> line;
            for (int x = 0; x < q; ++x)
                line.push_back(x * q + (slope * x + shift) % q);
            lines.push_back(line);
        }
    for (int x = 0; x < q; ++x) {
        std::vector<int> line;
        for (int y = 0; y < q; ++y)
            line.push_back(x * q + y);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::vector<int>> ProjectivePlane(int q)
{
    const auto points = NormalisedTriples(q);
    std::vector<std::vector<int>> lines;
    for (const auto& l : NormalisedTriples(q)) {
        std::vector<int> line;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto& p = points[i];
            if ((l[0] * p[0] + l[1] * p[1] + l[2] * p[2]) % q == 0)
                line.push_back(static_cast<int>(i));
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::vector<std::vector<int>> KnownConstruction(const WheelShape& s)
{
    if (s.m != 2 || s.t != 2)
        return {};
    std::vector<std::vector<int>> lines;
    if (IsPrime(s.k) && s.v == s.k * s.k)
        lines = AffinePlane(s.k);
    else if (IsPrime(s.k - 1) && s.v == (s.k - 1) * (s.k - 1) + s.k)
        lines = ProjectivePlane(s.k - 1);
    for (auto& line : lines)
        std::sort(line.begin(), line.end());
    return lines;
}

}  // namespace bm::wheels
