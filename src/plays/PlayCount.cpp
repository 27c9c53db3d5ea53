#include "plays/PlayCount.h"

#include <limits>

#include "plays/PlayWindow.h"

namespace bm {

Result<std::int32_t> CountPlaysWithin(const std::filesystem::path& file, int numbersPerPlay, NumberWidth width,
                                      const PlayFault& fault, bool countAll, const std::function<bool()>& stop,
                                      PlaySeekIndex* seek)
{
    auto reader = WheelReader::Open(file, numbersPerPlay, width);
    if (!reader)
        return reader.error();
    std::int64_t plays = 0, faulty = 0;
    std::optional<Error> first;
    Play play;
    for (;;) {
        if (seek)
            seek->Note(plays + 1, (*reader)->offset(), (*reader)->lines());
        if (!(*reader)->Next(play))
            break;
        if ((++plays & 0xFFF) == 0 && stop && stop())
            return Error::Stopped();
        if (const auto why = fault ? fault(play) : std::nullopt) {
            if (!first)
                first = Error{file.string() + ": line " + std::to_string(play.line) + ": " + *why};
            ++faulty;
            if (!countAll)
                break;
        }
    }
    if (first) {
        if (faulty > 1)
            first->message += "; " + std::to_string(faulty) + " plays of this file have such a fault";
        return *first;
    }
    if ((*reader)->error())
        return *(*reader)->error();
    if (plays > std::numeric_limits<std::int32_t>::max())
        return Error{file.string() + ": holds more plays than this program can handle"};
    return static_cast<std::int32_t>(plays);
}

}  // namespace bm
