#include "cli/MarksSurface.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace bm::cli {

namespace {

constexpr std::size_t kPiece = 1 << 16;

// As printf's "%.3f" writes it: the exact value rounded to the nearest thousandth, a tie to the
// even one, the sign kept ("-0.000"). A float times 1000 is exact in a double (24 + 10 bits), so
// rounding that product to a whole number in the default mode is that very rounding.
char* Fixed3(char* at, char* end, float v)
{
    const double thousandths = static_cast<double>(v) * 1000.0;
    if (!std::isfinite(thousandths) || std::fabs(thousandths) >= 9e15)
        return std::to_chars(at, end, static_cast<double>(v), std::chars_format::fixed, 3).ptr;
    const double whole = std::nearbyint(std::fabs(thousandths));
    const auto units = static_cast<std::uint64_t>(whole);
    if (std::signbit(v))
        *at++ = '-';
    at = std::to_chars(at, end, units / 1000).ptr;
    const auto fraction = static_cast<unsigned>(units % 1000);
    at[0] = '.';
    at[1] = static_cast<char>('0' + fraction / 100);
    at[2] = static_cast<char>('0' + fraction / 10 % 10);
    at[3] = static_cast<char>('0' + fraction % 10);
    return at + 4;
}

}  // namespace

MarksSurface::~MarksSurface()
{
    Flush();
}

void MarksSurface::Flush()
{
    if (!pending_.empty())
        out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
    pending_.clear();
}

void MarksSurface::FillBox(float x1, float y1, float x2, float y2)
{
    counter_.Draw();
    char line[200];
    char* const end = line + sizeof line;
    char* at = std::to_chars(line, end, counter_.sheet()).ptr;
    for (const float v : {x1, y1, x2, y2}) {
        *at++ = ' ';
        at = Fixed3(at, end - 1, v);
    }
    *at++ = '\n';
    pending_.append(line, at);
    if (pending_.size() >= kPiece)
        Flush();
}

Status MarksSurface::EndDocument()
{
    Flush();
    out_.flush();
    if (!out_)
        return Error{"the marks could not be written to standard output"};
    return Ok{};
}

void MarksSurface::AbandonDocument()
{
    Flush();
    out_.flush();
}

}  // namespace bm::cli
