#pragma once

#include <cstdint>

namespace bm {

// Milliseconds from a clock that never goes back or wraps; only differences mean anything.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t NowMs() = 0;
};

// The system's monotonic clock.
Clock& MonotonicClock();

}  // namespace bm
