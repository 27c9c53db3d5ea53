#include "wheels/WheelDesign.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "common/ShownText.h"
#include "plays/WheelFile.h"

namespace bm::wheels {

namespace {

// Far more than any game draws; it keeps a hostile line from costing time.
constexpr std::size_t kMaxPlaySize = 100;

bool IsSeparator(char c)
{
    return c == ',' || c == ' ' || c == '\t' || c == '{' || c == '}';
}

// The fields of a line between separators.
std::vector<std::string_view> Fields(std::string_view line, bool (*separator)(char))
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && separator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !separator(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A whole number of digits alone, within int range.
std::optional<int> WholeNumber(std::string_view field)
{
    int value = 0;
    if (field.empty() || field.size() > 9 ||
        !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return value;
}

std::string NotWhole(std::string_view field)
{
    return "\"" + ShownText(field) + "\" is not a whole number";
}

// Braces enclose the one play of a line: two braced plays on a line would otherwise run
// together into one play of twice the size.
std::optional<std::string> BraceFault(std::string_view line)
{
    const std::size_t open = line.find('{'), close = line.find('}');
    if (open == std::string_view::npos && close == std::string_view::npos)
        return std::nullopt;
    constexpr const char* kOnePlay = "a design has one play a line, such as { 1, 2, 3 }";
    if (std::count(line.begin(), line.end(), '{') > 1 || std::count(line.begin(), line.end(), '}') > 1)
        return std::string("holds more than one braced play; ") + kOnePlay;
    const auto digits = [&](std::size_t from, std::size_t to) {
        return std::any_of(line.begin() + static_cast<std::ptrdiff_t>(from),
                           line.begin() + static_cast<std::ptrdiff_t>(std::min(to, line.size())),
                           [](char c) { return c >= '0' && c <= '9'; });
    };
    const bool outside = (open != std::string_view::npos && digits(0, open)) ||
                         (close != std::string_view::npos && digits(close, line.size())) ||
                         (open != std::string_view::npos && close != std::string_view::npos && close < open);
    if (outside)
        return std::string("has numbers outside its braces; ") + kOnePlay;
    return std::nullopt;
}

}  // namespace

std::vector<Play> Design::OnLabels() const
{
    std::vector<Play> out;
    out.reserve(plays.size());
    const int shift = zeroBased ? 0 : 1;
    for (const auto& play : plays) {
        Play p;
        p.reserve(play.size());
        for (int label : play)
            p.push_back(label - shift);
        out.push_back(std::move(p));
    }
    return out;
}

namespace {

// A line of a design: its play, or none for a blank, comment or separators-only line.
Status PlayOfLine(std::string_view line, const std::string& at, std::vector<int>& play)
{
    play.clear();
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#')
        return Ok{};
    const auto fields = Fields(line, IsSeparator);
    if (fields.empty())
        return Ok{};
    if (const auto fault = BraceFault(line))
        return Error{at + *fault};
    if (fields.size() > kMaxPlaySize)
        return Error{at + "the play holds " + std::to_string(fields.size()) + " numbers, more than the " +
                     std::to_string(kMaxPlaySize) + " a play of a wheel may hold"};
    play.reserve(fields.size());
    for (std::string_view field : fields) {
        const auto label = WholeNumber(field);
        if (!label)
            return Error{at + NotWhole(field)};
        if (std::find(play.begin(), play.end(), *label) != play.end())
            return Error{at + "label " + std::to_string(*label) + " is given twice"};
        play.push_back(*label);
    }
    return Ok{};
}

// The design's shape as its plays come: every play the size of the first.
class ShapeOfPlays {
public:
    Status Add(const std::vector<int>& play, std::int64_t lineNo, const std::string& at)
    {
        if (shape_.plays == 0) {
            shape_.playSize = static_cast<int>(play.size());
            firstLine_ = lineNo;
        } else if (static_cast<int>(play.size()) != shape_.playSize) {
            return Error{at + "the play holds " + std::to_string(play.size()) + " numbers, the play on line " +
                         std::to_string(firstLine_) + " holds " + std::to_string(shape_.playSize)};
        }
        for (int label : play) {
            shape_.zeroBased = shape_.zeroBased || label == 0;
            shape_.highest = std::max(shape_.highest, label);
        }
        ++shape_.plays;
        return Ok{};
    }
    const DesignShape& shape() const { return shape_; }

private:
    DesignShape shape_;
    std::int64_t firstLine_ = 0;
};

std::string LineAt(const std::string& name, std::int64_t lineNo)
{
    return name + ": line " + std::to_string(lineNo) + ": ";
}

// The text of a first line that is a comment (a library design's credit), or nothing.
std::string HeadingOf(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] != '#')
        return {};
    const std::string_view credit = line.substr(first + 1);
    const std::size_t from = credit.find_first_not_of(" \t");
    return ShownText(from == std::string_view::npos ? std::string_view{} : credit.substr(from), 120);
}

// Far longer than any play of a design; a longer line is no play and is not held whole.
constexpr std::size_t kMaxLineBytes = 64 * 1024;

}  // namespace

Result<Design> ParseDesign(std::string_view text, const std::string& name)
{
    Design d;
    d.name = name;
    if (const char* wide = WideTextKind(text.substr(0, 4)))
        return Error{name + ": is " + wide + " text; save the design as plain text (ASCII or UTF-8)"};
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::int64_t lineNo = 0;
    ShapeOfPlays shape;
    std::vector<int> play;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNo;
        if (lineNo == 1)
            d.heading = HeadingOf(line);
        const std::string at = LineAt(name, lineNo);
        if (const Status read = PlayOfLine(line, at, play); !read)
            return read.error();
        if (play.empty())
            continue;
        if (const Status added = shape.Add(play, lineNo, at); !added)
            return added.error();
        d.plays.push_back(play);
        d.lines.push_back(lineNo);
    }
    if (d.plays.empty())
        return Error{name + ": holds no plays"};
    d.playSize = shape.shape().playSize;
    d.zeroBased = shape.shape().zeroBased;
    d.highest = shape.shape().highest;
    return d;
}

namespace {

// The checks ReadDesign and OpenDesign share before anything is read.
Status DesignFileFault(const std::filesystem::path& file)
{
    const std::string name = file.string();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return Error{name + ": no such file"};
    if (const Status plain = CheckWheelIsFile(file); !plain)
        return Error{name + ": is not a regular file; give a design file"};
    // The largest published designs are a few megabytes; a file far beyond is not a design.
    constexpr std::uintmax_t kMaxBytes = 256u << 20;
    if (const auto size = std::filesystem::file_size(file, ec); !ec && size > kMaxBytes)
        return Error{name + ": is " + std::to_string(size >> 20) + " MB, too large for a design (at most " +
                     std::to_string(kMaxBytes >> 20) + " MB)"};
    return Ok{};
}

}  // namespace

Result<Design> ReadDesign(const std::filesystem::path& file)
{
    const std::string name = file.string();
    if (const Status fault = DesignFileFault(file); !fault)
        return fault.error();
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Error{name + ": cannot be read"};
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return Error{name + ": cannot be read"};
    return ParseDesign(content.str(), name);
}

Result<std::shared_ptr<InputFile>> OpenDesign(const std::filesystem::path& file)
{
    if (const Status fault = DesignFileFault(file); !fault)
        return fault.error();
    auto opened = InputFile::Open(file);
    if (!opened)
        return Error{file.string() + ": cannot be read"};
    return std::move(*opened);
}

Result<DesignShape> ScanDesign(const InputFile& file, const std::string& name, const DesignPlay& each)
{
    constexpr std::size_t kPiece = 64 * 1024;
    std::vector<char> piece(kPiece);
    std::string line;
    std::uint64_t offset = 0;
    std::int64_t lineNo = 0;
    ShapeOfPlays shape;
    std::vector<int> play;
    bool first = true, stopped = false;
    const auto take = [&](std::string_view text) -> Status {
        ++lineNo;
        const std::string at = LineAt(name, lineNo);
        if (const Status read = PlayOfLine(text, at, play); !read)
            return read;
        if (play.empty())
            return Ok{};
        if (const Status added = shape.Add(play, lineNo, at); !added)
            return added;
        if (each && !each(play, lineNo))
            stopped = true;
        return Ok{};
    };
    while (!stopped) {
        int error = 0;
        const std::ptrdiff_t got = file.ReadAt(offset, piece.data(), piece.size(), error);
        if (got < 0)
            return Error{name + ": cannot be read (" + std::strerror(error) + ")"};
        if (got == 0)
            break;
        std::string_view text(piece.data(), static_cast<std::size_t>(got));
        if (first) {
            if (const char* wide = WideTextKind(text.substr(0, 4)))
                return Error{name + ": is " + wide + " text; save the design as plain text (ASCII or UTF-8)"};
            if (text.substr(0, 3) == "\xEF\xBB\xBF")
                text.remove_prefix(3);
            first = false;
        }
        offset += static_cast<std::uint64_t>(got);
        while (!text.empty() && !stopped) {
            const std::size_t end = text.find('\n');
            const std::string_view part = text.substr(0, end);
            if (line.size() + part.size() > kMaxLineBytes)
                return Error{LineAt(name, lineNo + 1) + "is longer than " + std::to_string(kMaxLineBytes) +
                             " bytes, longer than any play of a design"};
            if (end == std::string_view::npos) {
                line.append(part);
                break;
            }
            text.remove_prefix(end + 1);
            Status taken = Ok{};
            if (line.empty()) {
                taken = take(part);
            } else {
                line.append(part);
                taken = take(line);
                line.clear();
            }
            if (!taken)
                return taken.error();
        }
    }
    if (!stopped && !line.empty())
        if (const Status taken = take(line); !taken)
            return taken.error();
    if (shape.shape().plays == 0)
        return Error{name + ": holds no plays"};
    return shape.shape();
}

Result<std::vector<int>> ParseNumbers(std::string_view text, std::optional<int> pool, const std::string& lottery,
                                      const std::string& field)
{
    std::vector<int> numbers;
    std::set<int> seen;
    // Line ends too: numbers pasted from a column arrive one a line.
    const auto separator = [](char c) { return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    for (std::string_view entry : Fields(text, separator)) {
        const auto n = WholeNumber(entry);
        if (!n)
            return Error{field + ": " + NotWhole(entry)};
        if (pool && (*n < 1 || *n > *pool))
            return Error{field + ": " + std::to_string(*n) + " is not a number of " + lottery + " (1 to " +
                         std::to_string(*pool) + ")"};
        if (!seen.insert(*n).second)
            return Error{field + ": " + std::to_string(*n) + " is given twice"};
        numbers.push_back(*n);
    }
    if (numbers.empty())
        return Error{field + " holds no numbers: give the numbers to play, such as \"3 11 19 27 35 43 45\""};
    return numbers;
}

Result<std::vector<std::vector<int>>> ApplyDesign(const Design& design, const std::vector<int>& numbers)
{
    const int shift = design.zeroBased ? 0 : 1;
    const int v = static_cast<int>(numbers.size());
    std::vector<std::vector<int>> out;
    out.reserve(design.plays.size());
    for (std::size_t p = 0; p < design.plays.size(); ++p) {
        std::vector<int> play;
        play.reserve(design.plays[p].size());
        for (int label : design.plays[p]) {
            const int index = label - shift;
            if (index >= v || index < 0)
                return Error{design.name + ": line " + std::to_string(design.lines[p]) + ": label " +
                             std::to_string(label) + " is beyond the " + std::to_string(v) + " numbers given"};
            play.push_back(numbers[static_cast<std::size_t>(index)]);
        }
        std::sort(play.begin(), play.end());
        out.push_back(std::move(play));
    }
    return out;
}

std::string PlaysText(const std::vector<std::vector<int>>& plays)
{
    std::string text;
    text.reserve(plays.size() * 24);
    for (const auto& play : plays) {
        for (std::size_t i = 0; i < play.size(); ++i) {
            if (i > 0)
                text += ',';
            text += std::to_string(play[i]);
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace bm::wheels
