#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace bm::wheels {

// What a wheel is asked to hold: plays of `k` numbers taken from `v`, such that every m-subset
// of the v numbers meets some play in at least `t` numbers ("t if m"). m == t is a covering.
struct WheelShape {
    int v = 0;
    int k = 0;
    int m = 0;
    int t = 0;
    bool operator==(const WheelShape&) const = default;
};

// The most numbers a wheel may be built on.
inline constexpr int kMaxWheelNumbers = 128;

// Why the shape makes no sense ("the match 4 is more than the if 3"), or empty when it does.
std::string ShapeProblem(const WheelShape& shape);

// C(v, m): the m-subsets a wheel must cover, saturating.
std::uint64_t SetsToCover(const WheelShape& shape);
// How many m-subsets one play covers: those meeting it in t or more numbers.
std::uint64_t SetsOnePlayCovers(const WheelShape& shape);

// The Schonheim bound for coverings: C(v,k,t) >= ceil(v/k * ceil((v-1)/(k-1) * ... )).
std::uint64_t SchonheimBound(int v, int k, int t);

// A lower bound on the t-subsets a lotto design's plays must hold: every m-subset contains one
// of them, so their count is at least the Turan number T(v, m, t); for t = 2 the exact value
// (Turan's theorem), otherwise de Caen's bound (v-m+1)/(v-t+1) * C(v,t) / C(m-1,t-1).
std::uint64_t TuranBound(int v, int m, int t);

struct LowerBound {
    std::uint64_t plays = 0;
    // "Schonheim", "counting", "Turan", "proven optimum"
    std::string reason;
};

// The best lower bound on the plays this program knows for the shape.
LowerBound KnownLowerBound(const WheelShape& shape);

// A size published for the shape (covering tables, finite geometry, public design files).
struct PublishedSize {
    std::uint64_t plays = 0;
    bool provenOptimal = false;
};
std::optional<PublishedSize> PublishedRecord(const WheelShape& shape);

}  // namespace bm::wheels
