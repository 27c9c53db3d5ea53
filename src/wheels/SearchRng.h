#pragma once

#include <bit>
#include <cstdint>

namespace bm::wheels {

// xoshiro256**, seeded by splitmix64: the same numbers on every platform, unlike the standard
// library's distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
    {
        for (auto& word : s_) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }
    std::uint64_t Next()
    {
        const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = std::rotl(s_[3], 45);
        return result;
    }
    // Uniform in 0..n-1 (n > 0).
    std::uint64_t Below(std::uint64_t n) { return n <= 1 ? 0 : Next() % n; }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t s_[4];
};

}  // namespace bm::wheels
