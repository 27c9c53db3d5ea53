#include "printing/WheelFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace bm {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// A play line is short; a longer one is garbage, not a play, and must not grow memory without end.
constexpr std::size_t kMaxLine = 64 * 1024;

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

std::string Shown(const char* b, const char* e)
{
    std::string out;
    const std::size_t n = static_cast<std::size_t>(e - b);
    for (std::size_t i = 0; i < n && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    if (n > 40)
        out += "...";
    return out;
}


enum class LineFault { None, LeadingComma, EmptyField, NotWhole, CarriageReturn, OutOfRange };

// One line of numbers into `out` (at most kMaxNumbersPerPlay kept, all counted). Kept free of
// member state so the compiler holds everything in registers: this loop is the reading speed.
LineFault ParseLine(const char* p, const char* e, std::int64_t min, std::int64_t max, std::int32_t* out,
                    int& count, const char*& faultAt)
{
    bool commaPending = false;  // a comma followed the last number
    while (p != e) {
        const char* tokenStart = p;
        unsigned digit = static_cast<unsigned char>(*p) - '0';
        bool negative = false;
        if (digit >= 10) {
            const char c = *p;
            if (c == ' ' || c == '\t') {
                ++p;
                continue;
            }
            if (c == ',') {
                if (count == 0 || commaPending) {
                    faultAt = p;
                    return count == 0 ? LineFault::LeadingComma : LineFault::EmptyField;
                }
                commaPending = true;
                ++p;
                continue;
            }
            if (c == '-' || c == '+') {
                negative = c == '-';
                ++p;
            }
        }
        const char* digits = p;
        std::int64_t value = 0;
        while (p != e && (digit = static_cast<unsigned char>(*p) - '0') < 10) {
            value = value * 10 + digit;
            ++p;
            // Past ten digits every value is out of range; stop before the sum can overflow.
            if (value > max + 1) {
                while (p != e && static_cast<unsigned>(static_cast<unsigned char>(*p) - '0') < 10)
                    ++p;
                break;
            }
        }
        faultAt = tokenStart;
        if (p == digits || (p != e && !IsSeparator(*p)))
            return std::memchr(tokenStart, '\r', static_cast<std::size_t>(e - tokenStart)) ? LineFault::CarriageReturn
                                                                                           : LineFault::NotWhole;
        if (negative)
            value = -value;
        if (value < min || value > max)
            return LineFault::OutOfRange;
        if (count < kMaxNumbersPerPlay)
            out[count] = static_cast<std::int32_t>(value);
        ++count;
        commaPending = false;
    }
    return LineFault::None;
}

std::string Describe(LineFault fault, const char* at, const char* e, std::int64_t min, std::int64_t max)
{
    const char* end = at;
    while (end != e && (end == at || !IsSeparator(*end)))
        ++end;
    switch (fault) {
    case LineFault::LeadingComma:
        return "starts with a comma";
    case LineFault::EmptyField:
        return "holds an empty field between two commas";
    case LineFault::CarriageReturn:
        return "holds a carriage return inside the line; lines must end with CR LF or LF";
    case LineFault::OutOfRange:
        return Shown(at, end) + " is beyond the numbers this program can read (" + std::to_string(min) + " to " +
               std::to_string(max) + ")";
    default:
        return "\"" + Shown(at, end) + "\" is not a whole number";
    }
}

}  // namespace

WheelReader::WheelReader(std::FILE* f, std::string name, int numbersPerPlay, NumberWidth width, std::size_t chunk)
    : file_(f), name_(std::move(name)), numbersPerPlay_(numbersPerPlay), buffer_(chunk + kMaxLine)
{
    if (width == NumberWidth::Bits16) {
        min_ = std::numeric_limits<std::int16_t>::min();
        max_ = std::numeric_limits<std::int16_t>::max();
    } else {
        min_ = std::numeric_limits<std::int32_t>::min();
        max_ = std::numeric_limits<std::int32_t>::max();
    }
}

WheelReader::~WheelReader()
{
    if (file_)
        std::fclose(file_);
}

Result<std::unique_ptr<WheelReader>> WheelReader::Open(const std::filesystem::path& file, int numbersPerPlay,
                                                       NumberWidth width)
{
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        return Error{file.string() + ": is a folder, not a wheel file"};
    std::FILE* f = std::fopen(file.string().c_str(), "rb");
    if (!f)
        return Error{file.string() + ": cannot be opened (" + std::strerror(errno) + ")"};
    // A small file needs no megabyte of buffer; one that grows meanwhile is still read, in smaller chunks.
    const auto size = std::filesystem::file_size(file, ec);
    const std::size_t chunk = ec ? kChunk : static_cast<std::size_t>(std::min<std::uintmax_t>(size + 1, kChunk));
    auto reader = std::unique_ptr<WheelReader>(new WheelReader(f, file.string(), numbersPerPlay, width, chunk));

    // Text saved as UTF-16 would otherwise show up as a puzzling number fault on line 1.
    unsigned char head[3] = {};
    const std::size_t got = std::fread(head, 1, 3, f);
    if (got >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return Error{file.string() + ": is UTF-16 text; save it as plain text (ANSI or UTF-8)"};
    const bool utf8Bom = got == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
    if (!utf8Bom) {
        std::memcpy(reader->buffer_.data(), head, got);
        reader->end_ = got;
    }
    return reader;
}

bool WheelReader::Fail(std::string what)
{
    // "line 7 holds 5 numbers", but "line 3: "1O" is not a whole number".
    const char* joint = what.rfind("holds ", 0) == 0 || what.rfind("is ", 0) == 0 ? " " : ": ";
    error_ = Error{name_ + ": line " + std::to_string(line_) + joint + std::move(what)};
    return false;
}

// The next physical line, without its line end; false at the end of the file or at a fault.
bool WheelReader::NextLine(const char*& begin, const char*& end)
{
    for (;;) {
        const char* data = buffer_.data();
        const void* nl = std::memchr(data + begin_, '\n', end_ - begin_);
        if (nl) {
            begin = data + begin_;
            end = static_cast<const char*>(nl);
            begin_ = static_cast<std::size_t>(end - data) + 1;
            ++line_;
            return true;
        }
        if (eof_) {
            if (begin_ == end_)
                return false;
            begin = data + begin_;
            end = data + end_;
            begin_ = end_;
            ++line_;
            return true;
        }
        // Keep the unfinished line and read the next chunk behind it.
        const std::size_t rest = end_ - begin_;
        if (rest >= kMaxLine) {
            ++line_;
            return Fail("is too long (more than " + std::to_string(kMaxLine) + " characters); this is not a wheel file");
        }
        std::memmove(buffer_.data(), data + begin_, rest);
        begin_ = 0;
        end_ = rest;
        const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        end_ += got;
        if (got == 0) {
            if (std::ferror(file_)) {
                error_ = Error{name_ + ": reading failed (" + std::strerror(errno) + ")"};
                return false;
            }
            eof_ = true;
        }
    }
}

bool WheelReader::Next(Play& play)
{
    if (error_)
        return false;
    const char* p;
    const char* e;
    while (NextLine(p, e)) {
        if (p != e && e[-1] == '\r')
            --e;
        int count = 0;
        const char* faultAt = nullptr;
        const LineFault fault = ParseLine(p, e, min_, max_, play.numbers.data(), count, faultAt);
        if (fault != LineFault::None)
            return Fail(Describe(fault, faultAt, e, min_, max_));
        const bool any = count > 0;
        if (!any)
            continue;  // a line of blanks is not a play
        if (count != numbersPerPlay_)
            return Fail("holds " + std::to_string(count) + (count == 1 ? " number" : " numbers") +
                        "; a play of this game has " + std::to_string(numbersPerPlay_));
        play.count = count;
        play.line = line_;
        return true;
    }
    return false;
}

Result<std::int32_t> CountPlays(const std::filesystem::path& file, int numbersPerPlay, NumberWidth width)
{
    auto reader = WheelReader::Open(file, numbersPerPlay, width);
    if (!reader)
        return reader.error();
    std::int64_t plays = 0;
    Play play;
    while ((*reader)->Next(play))
        ++plays;
    if ((*reader)->error())
        return *(*reader)->error();
    if (plays > std::numeric_limits<std::int32_t>::max())
        return Error{file.string() + ": holds more plays than this program can handle"};
    return static_cast<std::int32_t>(plays);
}

Result<std::vector<std::int32_t>> ReadPlays(const std::filesystem::path& file, int numbersPerPlay, int numbersKept,
                                            int fillerPlays)
{
    auto reader = WheelReader::Open(file, numbersPerPlay, NumberWidth::Bits16);
    if (!reader)
        return reader.error();
    std::vector<std::int32_t> table;
    Play play;
    while ((*reader)->Next(play))
        table.insert(table.end(), play.numbers.begin(), play.numbers.begin() + numbersKept);
    if ((*reader)->error())
        return *(*reader)->error();
    table.resize(table.size() + static_cast<std::size_t>(fillerPlays) * static_cast<std::size_t>(numbersKept), 0);
    return table;
}

}  // namespace bm
