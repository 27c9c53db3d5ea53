#include "plays/WheelFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "common/ShownText.h"
#include "plays/PlayCount.h"

namespace bm {

namespace {

// A play line is short; a longer one is garbage, not a play, and must not grow memory without end.
constexpr std::size_t kMaxLine = 64 * 1024;

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

enum class LineFault { None, LeadingComma, EmptyField, NotWhole, CarriageReturn, OutOfRange, TooLong };

// Where a line that starts at `p` ends, its CR LF or LF not included.
const char* LineEnd(const char* lineStart, const char* p, const char* limit)
{
    const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(limit - p));
    const char* e = nl ? static_cast<const char*>(nl) : limit;
    if (e != lineStart && e[-1] == '\r')
        --e;
    return e;
}

// A token that is no number: a stray carriage return is told apart, it is the usual cause.
LineFault TokenFault(const char* lineStart, const char* tokenStart, const char* limit)
{
    const char* e = LineEnd(lineStart, tokenStart, limit);
    return std::memchr(tokenStart, '\r', static_cast<std::size_t>(e - tokenStart)) ? LineFault::CarriageReturn
                                                                                   : LineFault::NotWhole;
}

// The value of a run of more than 18 digits, which could overflow on the way; leading zeros are
// allowed, anything else that long is out of range for every game.
std::int64_t LongDigits(const char* digits, const char* end, std::int64_t max)
{
    while (end - digits > 1 && *digits == '0')
        ++digits;
    // Beyond the range whichever sign the number has: -(max + 1) would be the range's minimum.
    if (end - digits > 18)
        return max + 2;
    std::int64_t v = 0;
    for (; digits != end; ++digits)
        v = v * 10 + (*digits - '0');
    return v;
}

// One line of numbers into `out` (at most kMaxNumbersPerPlay kept, all counted), scanned in the
// same pass that finds the line's end. The buffered bytes end at `limit`, where a line feed is
// kept as a sentinel so that no step checks for the end of the buffer; `atEnd` says whether
// they are the last bytes of the file (else the buffer holds more than any line may have).
// `next` gets the start of the next line. Everything lives in locals so the compiler keeps it
// in registers: this loop is the reading speed.
LineFault ParseLine(const char* const lineStart, const char* const limit, bool atEnd, std::int64_t min,
                    std::int64_t max, std::int32_t* out, int& count, const char*& faultAt, const char*& next)
{
    int n = 0;
    std::int32_t kept[kMaxNumbersPerPlay + 1];
    const auto done = [&](LineFault fault) {
        count = n;
        for (int i = 0; i < n && i < kMaxNumbersPerPlay; ++i)
            out[i] = kept[i];
        return fault;
    };
    const auto lineEnds = [&](const char* at, LineFault& fault) {
        // `at` is the line feed, or the carriage return before it.
        const char* nl = *at == '\r' ? at + 1 : at;
        if (nl == limit && !atEnd) {
            fault = LineFault::TooLong;
            return;
        }
        next = nl == limit ? limit : nl + 1;
        fault = LineFault::None;
    };
    const char* p = lineStart;
    bool commaPending = false;  // a comma followed the last number
    for (;;) {
        const char* tokenStart = p;
        bool negative = false;
        unsigned digit = static_cast<unsigned char>(*p) - '0';
        if (digit >= 10) {
            // Tests in the order of how often the characters come; a switch here compiles to an
            // indirect jump that the processor mispredicts on almost every line.
            const char c = *p;
            if (c == ',') {
                if (n == 0 || commaPending) {
                    faultAt = p;
                    return done(n == 0 ? LineFault::LeadingComma : LineFault::EmptyField);
                }
                commaPending = true;
                ++p;
                continue;
            }
            if (c == '\n' || (c == '\r' && p[1] == '\n')) {
                LineFault fault;
                lineEnds(p, fault);
                return done(fault);
            }
            if (c == ' ' || c == '\t') {
                ++p;
                continue;
            }
            if (c == '#' && n == 0) {
                // A comment line, as wheel files from covering repositories start with one. With
                // carriage returns for line ends it would swallow every play after it.
                const char* e = LineEnd(lineStart, p, limit);
                if (std::memchr(p, '\r', static_cast<std::size_t>(e - p))) {
                    faultAt = p;
                    return done(LineFault::CarriageReturn);
                }
                LineFault fault;
                lineEnds(e, fault);
                return done(fault);
            }
            if (c == '-' || c == '+') {
                negative = c == '-';
                ++p;
            }
            digit = static_cast<unsigned char>(*p) - '0';
            if (digit >= 10) {
                faultAt = tokenStart;
                return done(TokenFault(lineStart, tokenStart, limit));
            }
        }
        const char* digits = p;
        // Unsigned, so that a run of many digits wraps harmlessly before LongDigits takes it over.
        std::uint64_t sum = digit;
        ++p;
        while ((digit = static_cast<unsigned char>(*p) - '0') < 10) {
            sum = sum * 10 + digit;
            ++p;
        }
        std::int64_t value = p - digits > 18 ? LongDigits(digits, p, max) : static_cast<std::int64_t>(sum);
        // A number that runs into the end of the buffer stops at the line feed kept there; the
        // line's end then tells whether the line was too long.
        const char c = *p;
        if (c != ',' && c != ' ' && c != '\t' && c != '\n' && !(c == '\r' && p[1] == '\n')) {
            faultAt = tokenStart;
            return done(TokenFault(lineStart, tokenStart, limit));
        }
        if (negative)
            value = -value;
        if (static_cast<std::uint64_t>(value - min) > static_cast<std::uint64_t>(max - min)) {
            faultAt = tokenStart;
            return done(p == limit && !atEnd ? LineFault::TooLong : LineFault::OutOfRange);
        }
        // Numbers past the kept ones are counted, and written over the spare last slot.
        kept[n < kMaxNumbersPerPlay ? n : kMaxNumbersPerPlay] = static_cast<std::int32_t>(value);
        ++n;
        commaPending = c == ',';
        p += commaPending;  // the usual separator, taken at once
    }
}

// The usual play line, read the short way: the play's count of numbers of one or two digits,
// each followed by a comma and/or blanks, the last by CR LF or LF. Any other shape (and a line
// feed that is only the buffer's sentinel) is left to ParseLine, which also names its faults.
// Branches, not selects, on the digit count and the separator: the processor predicts them well
// on real files, and a select would chain every number's reading to the one before it.
bool QuickLine(const char* p, const char* limit, int numbers, std::int32_t* out, const char*& next)
{
    for (int i = 0;;) {
        const unsigned d0 = static_cast<unsigned char>(p[0]) - '0';
        if (d0 >= 10)
            return false;
        const unsigned d1 = static_cast<unsigned char>(p[1]) - '0';
        if (d1 < 10) {
            out[i] = static_cast<std::int32_t>(d0 * 10 + d1);
            p += 2;
        } else {
            out[i] = static_cast<std::int32_t>(d0);
            p += 1;
        }
        if (++i == numbers)
            break;
        if (*p == ',')
            ++p;
        else if (*p != ' ' && *p != '\t')
            return false;  // a third digit, or no separator at all
        while (*p == ' ' || *p == '\t')
            ++p;
    }
    p += *p == '\r';
    if (*p != '\n' || p == limit)
        return false;
    next = p + 1;
    return true;
}

std::string Describe(LineFault fault, const char* at, const char* e, std::int64_t min, std::int64_t max)
{
    const char* end = at;
    while (end != e && (end == at || !IsSeparator(*end)))
        ++end;
    switch (fault) {
    case LineFault::LeadingComma: return "starts with a comma";
    case LineFault::EmptyField: return "holds an empty field between two commas";
    case LineFault::CarriageReturn: return "holds a carriage return inside the line; lines must end with CR LF or LF";
    case LineFault::OutOfRange:
        return ShownText(std::string_view(at, static_cast<std::size_t>(end - at))) +
               " is beyond the numbers this program can read (" + std::to_string(min) + " to " + std::to_string(max) +
               ")";
    default:
        return "\"" + ShownText(std::string_view(at, static_cast<std::size_t>(end - at))) + "\" is not a whole number";
    }
}

}  // namespace

WheelReader::WheelReader(std::shared_ptr<const InputFile> input, int numbersPerPlay, NumberWidth width,
                         std::size_t chunk, std::vector<char> buffer)
    : input_(std::move(input)),
      name_(input_->path().string()),
      numbersPerPlay_(numbersPerPlay),
      buffer_(std::move(buffer))
{
    buffer_.resize(chunk + kMaxLine + 1);
    if (width == NumberWidth::Bits16) {
        min_ = std::numeric_limits<std::int16_t>::min();
        max_ = std::numeric_limits<std::int16_t>::max();
    } else {
        min_ = std::numeric_limits<std::int32_t>::min();
        max_ = std::numeric_limits<std::int32_t>::max();
    }
}

WheelReader::~WheelReader() = default;

Status CheckWheelIsFile(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto type = std::filesystem::status(file, ec).type();
    if (type == std::filesystem::file_type::directory)
        return Error{file.string() + ": is a folder, not a wheel file"};
    // A FIFO or device would block on opening and could not be read a second time.
    using enum std::filesystem::file_type;
    if (type == fifo || type == block || type == character || type == socket)
        return Error{file.string() + ": is not a regular file (a FIFO, device or socket); save the plays in a file"};
    return Ok{};
}

Result<std::unique_ptr<WheelReader>> WheelReader::Open(const std::filesystem::path& file, int numbersPerPlay,
                                                       NumberWidth width)
{
    if (const Status plain = CheckWheelIsFile(file); !plain)
        return plain.error();
    auto input = InputFile::Open(file);
    if (!input)
        return input.error();
    return Open(std::move(*input), numbersPerPlay, width);
}

Result<std::unique_ptr<WheelReader>> WheelReader::Open(std::shared_ptr<const InputFile> input, int numbersPerPlay,
                                                       NumberWidth width)
{
    return OpenSized(std::move(input), numbersPerPlay, width, kDefaultChunk);
}

Result<std::unique_ptr<WheelReader>> WheelReader::OpenSized(std::shared_ptr<const InputFile> input, int numbersPerPlay,
                                                            NumberWidth width, std::size_t chunk,
                                                            std::vector<char> buffer)
{
    auto head = TextHead(*input, input->path().string(), "wheel file", "plays");
    if (!head)
        return head.error();
    // A small file needs no megabyte of buffer; one that grows meanwhile is still read, in smaller chunks.
    const std::size_t size = static_cast<std::size_t>(
        std::min<std::uintmax_t>(input->opened().size + 1, std::max<std::size_t>(chunk, 4096)));
    auto reader =
        std::unique_ptr<WheelReader>(new WheelReader(std::move(input), numbersPerPlay, width, size, std::move(buffer)));
    const std::size_t got = head->size();
    const std::size_t skipped = head->starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (reader->buffer_.size() < got)
        reader->buffer_.resize(got);
    std::memcpy(reader->buffer_.data(), head->data() + skipped, got - skipped);
    reader->end_ = got - skipped;
    reader->bufferStart_ = skipped;
    reader->position_ = got;
    return reader;
}

bool WheelReader::Fail(std::string what)
{
    // "line 7 holds 5 numbers", but "line 3: "1O" is not a whole number".
    const char* joint = what.rfind("holds ", 0) == 0 || what.rfind("is ", 0) == 0 ? " " : ": ";
    error_ = Error{name_ + ": line " + std::to_string(line_) + joint + std::move(what)};
    return false;
}

// Keeps a whole line in the buffer: more than the longest allowed line, or the rest of the file.
// A line feed after the buffered bytes ends every scan.
bool WheelReader::Fill()
{
    while (!eof_ && end_ - begin_ < kMaxLine) {
        const std::size_t rest = end_ - begin_;
        std::memmove(buffer_.data(), buffer_.data() + begin_, rest);
        bufferStart_ += begin_;
        begin_ = 0;
        end_ = rest;
        const std::size_t room =
            static_cast<std::size_t>(std::min<std::uintmax_t>(buffer_.size() - 1 - end_, remaining_));
        int error = 0;
        const std::ptrdiff_t read = room ? input_->ReadAt(position_, buffer_.data() + end_, room, error) : 0;
        if (read < 0) {
            error_ = Error{name_ + ": reading failed (" + std::strerror(error) + ")"};
            return false;
        }
        const auto got = static_cast<std::size_t>(read);
        end_ += got;
        position_ += got;
        remaining_ -= got;
        if (got == 0)
            eof_ = true;
        buffer_[end_] = '\n';
    }
    return true;
}

bool WheelReader::Next(Play& play)
{
    // The usual line takes this short way; the rest, and refilling the buffer, the long one.
    const bool fits = numbersPerPlay_ >= 1 && numbersPerPlay_ <= kMaxNumbersPerPlay;
    if (fits && (eof_ || end_ - begin_ >= kMaxLine) && begin_ != end_ && !error_) {
        const char* next = nullptr;
        if (QuickLine(buffer_.data() + begin_, buffer_.data() + end_, numbersPerPlay_, play.numbers.data(), next)) {
            begin_ = static_cast<std::size_t>(next - buffer_.data());
            play.count = numbersPerPlay_;
            play.line = ++line_;
            return true;
        }
    }
    return NextSlowly(play);
}

bool WheelReader::NextSlowly(Play& play)
{
    if (error_)
        return false;
    for (;;) {
        if (!eof_ && end_ - begin_ < kMaxLine && !Fill())
            return false;
        if (begin_ == end_)
            return false;
        ++line_;
        const char* const start = buffer_.data() + begin_;
        const char* const limit = buffer_.data() + end_;
        const char* next = limit;
        int count = 0;
        const char* faultAt = start;
        const LineFault fault = ParseLine(start, limit, eof_, min_, max_, play.numbers.data(), count, faultAt, next);
        if (fault == LineFault::TooLong)
            return Fail("is too long (more than " + std::to_string(kMaxLine) +
                        " characters); this is not a wheel file");
        if (fault != LineFault::None)
            return Fail(Describe(fault, faultAt, LineEnd(start, faultAt, limit), min_, max_));
        begin_ = static_cast<std::size_t>(next - buffer_.data());
        if (count == 0)
            continue;  // a line of blanks is not a play
        if (count != numbersPerPlay_)
            return Fail("holds " + std::to_string(count) + (count == 1 ? " number" : " numbers") +
                        "; a play of this game has " + std::to_string(numbersPerPlay_));
        play.count = count;
        play.line = line_;
        return true;
    }
}

Result<std::unique_ptr<WheelReader>> WheelReader::OpenPart(std::shared_ptr<const InputFile> input, int numbersPerPlay,
                                                           NumberWidth width, std::uintmax_t from, std::uintmax_t to,
                                                           std::size_t chunk, std::vector<char> buffer)
{
    const std::string name = input->path().string();
    auto reader = OpenSized(std::move(input), numbersPerPlay, width, chunk, std::move(buffer));
    if (!reader)
        return reader;
    WheelReader& r = **reader;
    if (from == 0) {
        // Open has taken the first bytes (and a UTF-8 mark) already.
        r.remaining_ = to > r.position_ ? to - r.position_ : 0;
        r.end_ = static_cast<std::size_t>(std::min<std::uintmax_t>(r.end_, to));
        return reader;
    }
    if (from > to)
        return Error{name + ": cannot be read from byte " + std::to_string(from)};
    r.begin_ = r.end_ = 0;
    r.bufferStart_ = from;
    r.position_ = from;
    r.remaining_ = to - from;
    return reader;
}

Result<std::unique_ptr<WheelReader>> WheelReader::OpenAt(const std::filesystem::path& file, int numbersPerPlay,
                                                         NumberWidth width, std::uintmax_t offset,
                                                         std::int64_t linesBefore)
{
    if (const Status plain = CheckWheelIsFile(file); !plain)
        return plain.error();
    auto input = InputFile::Open(file);
    if (!input)
        return input.error();
    auto reader = OpenPart(std::move(*input), numbersPerPlay, width, offset, UINTMAX_MAX);
    if (reader)
        (*reader)->line_ = linesBefore;
    return reader;
}

Result<std::int32_t> CountPlays(const std::filesystem::path& file, int numbersPerPlay, NumberWidth width)
{
    return CountPlaysWithin(file, numbersPerPlay, width, {}, false);
}

}  // namespace bm
