#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace bmfuzz {

struct ReferencePlay {
    std::vector<std::int64_t> numbers;
    std::int64_t line = 0;
};

struct ReferenceReading {
    std::vector<ReferencePlay> plays;  // those before the first fault
    bool fault = false;
};

// The wheel file rules written down as plainly as possible, slow and obviously right: the
// fuzzer holds the fast reader against it.
ReferenceReading ReadWheelPlainly(std::string_view bytes, int numbersPerPlay, std::int64_t min, std::int64_t max);

}  // namespace bmfuzz
