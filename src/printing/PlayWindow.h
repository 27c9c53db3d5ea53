#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>

#include "common/Result.h"
#include "printing/PlayRules.h"
#include "printing/WheelFile.h"

namespace bm {

// The plays of a wheel file as the print job walks them: read forward on demand and let go
// once printed, so a job's memory does not grow with the wheel. Plays beyond the file's
// last one are the empty filler plays of the last slip.
class PlayWindow {
public:
    // `kept` numbers of every play are compared with the boxes (a powerball's sixth is not).
    // A play that `fault` names is a fault like a malformed line: the file may have changed
    // since it was counted.
    static Result<std::unique_ptr<PlayWindow>> Open(const std::filesystem::path& file, int numbersPerPlay,
                                                    int kept, std::int64_t plays, PlayFault fault = {});

    struct Numbers {
        const std::int32_t* begin = nullptr;
        const std::int32_t* end = nullptr;  // begin == end: an empty (filler) panel
    };
    // Play `index` (1-based, not below the last Release); on a fault `error` is set and the
    // play is empty. A file that changed since it was counted is such a fault.
    Numbers Get(std::int64_t index);
    // Plays below `index` are not needed any more.
    void Release(std::int64_t index);
    // After the last play: a fault when the file now goes on beyond the plays it was counted
    // with (then error() is set too).
    Status CheckEnd();
    const std::optional<Error>& error() const { return error_; }

private:
    PlayWindow(std::unique_ptr<WheelReader> reader, std::filesystem::path file, int kept, std::int64_t plays,
               PlayFault fault);

    std::unique_ptr<WheelReader> reader_;
    std::filesystem::path file_;
    int kept_;
    std::int64_t plays_;
    PlayFault fault_;
    std::int64_t first_ = 1;  // index of held_.front()
    std::deque<std::array<std::int32_t, kMaxNumbersPerPlay>> held_;
    std::optional<Error> error_;
};

}  // namespace bm
