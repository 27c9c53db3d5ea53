#pragma once

#include <bit>
#include <cstdint>

namespace bm::wheels {

// Numbers 0..127 as bits.
struct Mask {
    std::uint64_t w[2] = {0, 0};
    void Set(int i) { w[i >> 6] |= std::uint64_t{1} << (i & 63); }
    void Clear(int i) { w[i >> 6] &= ~(std::uint64_t{1} << (i & 63)); }
    bool Has(int i) const { return ((w[i >> 6] >> (i & 63)) & 1) != 0; }
};

inline int Common(const Mask& a, const Mask& b)
{
    return std::popcount(a.w[0] & b.w[0]) + std::popcount(a.w[1] & b.w[1]);
}

}  // namespace bm::wheels
