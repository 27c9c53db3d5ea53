#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/Result.h"
#include "plays/WheelFile.h"

namespace bm {

class PlaySeekIndex;

// Why a play is not a play that can be used as it stands ("50 has no box on this slip (1 to
// 49)"), or nothing.
using PlayFault = std::function<std::optional<std::string>(const Play&)>;

// Counts the plays of a wheel file as CountPlays does, and refuses the file at the first play
// that `fault` (when given) names, with the file and the line. With `countAll` the whole file is read and the
// message says how many plays have such a fault when there are several.
// `stop`, when given, is asked every few thousand plays; when it says so the count ends with
// Error::Stopped(). `seek`, when given, gets the places plays can be read from later.
Result<std::int32_t> CountPlaysWithin(const std::filesystem::path& file, int numbersPerPlay, NumberWidth width,
                                      const PlayFault& fault, bool countAll, const std::function<bool()>& stop = {},
                                      PlaySeekIndex* seek = nullptr);

}  // namespace bm
