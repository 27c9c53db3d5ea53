#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bm {

// Blanks and tabs around a value are not part of it.
std::string_view TrimBlanks(std::string_view text);

// A decimal number with the point as separator ("12.5", "-1.5", "+2", ".5"); blanks around it
// are skipped. Not numbers: an empty text, "1,5", "1e", NaN and infinity texts, values beyond a float.
std::optional<float> ParseFloat(std::string_view text);
// The same in double precision.
std::optional<double> ParseDouble(std::string_view text);
// Whether the text is written as such a number, however large it is.
bool IsPlainDecimal(std::string_view text);
// Whether typing may still turn the text into such a number: "", "-", "." and "2." may, "1,5",
// "hepv" and "1.2.3" may not.
bool CouldBecomeDecimal(std::string_view text);

// A whole number, optionally signed, with blanks around it skipped.
std::optional<std::int64_t> ParseWhole(std::string_view text);

// A float in its shortest form with at most seven significant digits: 12.5, 3, 0.8.
std::string ShortestText(float value);

}  // namespace bm
