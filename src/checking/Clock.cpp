#include "checking/Clock.h"

#include <chrono>

namespace bm {

namespace {

class SteadyClock final : public Clock {
public:
    std::int64_t NowMs() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

}  // namespace

Clock& MonotonicClock()
{
    static SteadyClock clock;
    return clock;
}

}  // namespace bm
