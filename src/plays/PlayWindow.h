#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "common/Result.h"
#include "plays/PlayCount.h"
#include "plays/WheelFile.h"

namespace bm {

// Where reading may start so that play `play` (1-based) is the next one read.
struct SeekPoint {
    std::int64_t play = 1;
    std::uintmax_t offset = 0;     // byte of the line it starts at
    std::int64_t linesBefore = 0;  // physical lines before that byte
};

// Seek points noted while a wheel is counted, so that any slip can be drawn without reading the
// file from its start. At most a few thousand are kept whatever the file's size: when they
// become too many every other one is dropped.
class PlaySeekIndex {
public:
    // Before play `play` is read, in order; notes only every so many.
    void Note(std::int64_t play, std::uintmax_t offset, std::int64_t linesBefore)
    {
        if (play == nextNoted_)
            Add({play, offset, linesBefore});
    }
    // The last point at or before play `play`.
    SeekPoint Before(std::int64_t play) const;
    std::size_t size() const { return points_.size(); }

private:
    void Add(const SeekPoint& point);

    std::vector<SeekPoint> points_;
    std::int64_t stride_ = 64;
    std::int64_t nextNoted_ = 1;
};

// The plays of a wheel file as the print job walks them: read forward on demand and let go
// once printed, so a job's memory does not grow with the wheel. Plays beyond the file's
// last one are the empty filler plays of the last slip.
class PlayWindow {
public:
    // `kept` numbers of every play are compared with the boxes (a powerball's sixth is not).
    // A play that `fault` names is a fault like a malformed line: the file may have changed
    // since it was counted.
    static Result<std::unique_ptr<PlayWindow>> Open(const std::filesystem::path& file, int numbersPerPlay, int kept,
                                                    std::int64_t plays, PlayFault fault = {},
                                                    const SeekPoint& from = {});

    struct Numbers {
        const std::int32_t* begin = nullptr;
        const std::int32_t* end = nullptr;      // begin == end: an empty (filler) panel
        const std::int32_t* lineEnd = nullptr;  // past every number of the line: [end, lineEnd) are not marked as main
        bool Filler() const { return begin == end; }
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
    PlayWindow(std::unique_ptr<WheelReader> reader, std::filesystem::path file, int numbersPerPlay, int kept,
               std::int64_t plays, PlayFault fault);

    std::unique_ptr<WheelReader> reader_;
    std::filesystem::path file_;
    int numbersPerPlay_;
    int kept_;
    std::int64_t plays_;
    PlayFault fault_;
    std::int64_t first_ = 1;  // index of held_.front()
    std::deque<std::array<std::int32_t, kMaxNumbersPerPlay>> held_;
    std::optional<Error> error_;
};

}  // namespace bm
