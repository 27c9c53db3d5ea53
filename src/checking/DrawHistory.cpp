#include "checking/DrawHistory.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "checking/GameRules.h"
#include "common/ShownText.h"

namespace bm {

namespace {

// Real results lines are short; anything longer is not a results file.
constexpr std::size_t kMaxLine = 4096;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits at commas, semicolons and tabs outside double quotes; blanks around a field and the
// quotes are removed ("" inside quotes is one quote).
std::vector<std::string> SplitFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == ';' || c == '\t') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (auto& f : fields) {
        std::size_t b = 0, e = f.size();
        while (b < e && IsBlank(f[b]))
            ++b;
        while (e > b && IsBlank(f[e - 1]))
            --e;
        f = f.substr(b, e - b);
    }
    return fields;
}

// The whole numbers of a field made of nothing else (blank-separated), or nothing when the
// field holds other text. Digits beyond nine are kept as a value no game has.
std::optional<std::vector<std::int32_t>> WholeNumbers(std::string_view field)
{
    std::vector<std::int32_t> numbers;
    std::size_t i = 0;
    while (i < field.size()) {
        if (IsBlank(field[i])) {
            ++i;
            continue;
        }
        if (!IsDigit(field[i]))
            return std::nullopt;
        std::int64_t value = 0;
        for (; i < field.size() && IsDigit(field[i]); ++i)
            value = std::min<std::int64_t>(value * 10 + (field[i] - '0'), 1'000'000'000);
        if (i < field.size() && !IsBlank(field[i]))
            return std::nullopt;
        numbers.push_back(static_cast<std::int32_t>(value));
    }
    return numbers;
}

bool AllDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}

int ToInt(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

std::optional<std::string> DateText(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return std::string(text);
}

// "a?b?c" split at `sep` into exactly three digit runs.
bool ThreeParts(std::string_view field, char sep, std::string_view (&parts)[3])
{
    for (int k = 0; k < 3; ++k) {
        const std::size_t at = k < 2 ? field.find(sep) : field.size();
        if (at == std::string_view::npos)
            return false;
        parts[k] = field.substr(0, at);
        if (!AllDigits(parts[k]))
            return false;
        field = k < 2 ? field.substr(at + 1) : std::string_view();
    }
    return true;
}

std::string NumberList(const std::vector<std::int32_t>& numbers, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count && i < numbers.size(); ++i)
        text += (i ? " " : "") + std::to_string(numbers[i]);
    return text;
}

}  // namespace

std::optional<std::string> ReadDrawDate(std::string_view f)
{
    std::string_view p[3];
    if (f.size() == 8 && AllDigits(f))
        return DateText(ToInt(f.substr(0, 4)), ToInt(f.substr(4, 2)), ToInt(f.substr(6, 2)));
    for (char sep : {'-', '/'}) {
        if (ThreeParts(f, sep, p) && p[0].size() == 4 && p[1].size() <= 2 && p[2].size() <= 2)
            return DateText(ToInt(p[0]), ToInt(p[1]), ToInt(p[2]));
    }
    if (ThreeParts(f, '/', p) && p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
        return DateText(ToInt(p[2]), ToInt(p[0]), ToInt(p[1]));
    if (ThreeParts(f, '.', p) && p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
        return DateText(ToInt(p[2]), ToInt(p[1]), ToInt(p[0]));
    return std::nullopt;
}

DrawsLine ReadDrawsLine(std::string_view line, const CheckGame& game, int pool)
{
    DrawsLine result;
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    if (first == line.size() || line[first] == '#')
        return result;

    const auto fields = SplitFields(line);
    const auto want = static_cast<std::size_t>(game.DrawSize());
    std::vector<std::int32_t> numbers;
    std::size_t dateField = fields.size();
    for (std::size_t i = 0; i < fields.size() && dateField == fields.size(); ++i) {
        if (auto date = ReadDrawDate(fields[i])) {
            result.draw.date = *date;
            dateField = i;
        }
    }
    if (dateField < fields.size()) {
        for (std::size_t i = dateField + 1; i < fields.size() && numbers.size() < want; ++i) {
            if (auto more = WholeNumbers(fields[i]))
                numbers.insert(numbers.end(), more->begin(), more->end());
        }
        if (numbers.size() < want) {
            result.kind = DrawsLine::Kind::Fault;
            result.fault = "holds " + std::to_string(numbers.size()) + " numbers after its date " +
                           result.draw.date + "; a draw of this game has " + std::to_string(want);
            return result;
        }
    } else {
        for (const auto& field : fields) {
            auto more = WholeNumbers(field);
            if (!more)
                return result;  // a header
            numbers.insert(numbers.end(), more->begin(), more->end());
        }
        if (numbers.size() != want) {
            result.kind = DrawsLine::Kind::Fault;
            result.fault = "holds " + std::to_string(numbers.size()) + " numbers (" +
                           ShownText(NumberList(numbers, numbers.size())) + "); a draw of this game has " +
                           std::to_string(want);
            return result;
        }
    }

    DrawResult& draw = result.draw.draw;
    draw.mainCount = game.mainDrawn;
    for (int i = 0; i < game.mainDrawn; ++i)
        draw.main[static_cast<std::size_t>(i)] = numbers[static_cast<std::size_t>(i)];
    if (game.extra != ExtraNumber::None)
        draw.extra = numbers[static_cast<std::size_t>(game.mainDrawn)];
    if (auto fault = DrawRuleFault(game, pool, draw)) {
        result.kind = DrawsLine::Kind::Fault;
        result.fault = fault->message;
        return result;
    }
    result.kind = DrawsLine::Kind::Draw;
    return result;
}

DrawsReader::DrawsReader(std::FILE* f, std::string name, const CheckGame& game, int pool)
    : file_(f), name_(std::move(name)), game_(game), pool_(pool)
{
}

DrawsReader::~DrawsReader() { std::fclose(file_); }

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(const std::filesystem::path& file, const CheckGame& game,
                                                       int pool)
{
    const std::string name = ShownText(file.string(), 200);
    std::error_code ec;
    const auto type = std::filesystem::status(file, ec).type();
    if (type == std::filesystem::file_type::directory)
        return Error{name + ": is a folder, not a draws file"};
    // A FIFO or device would block on opening and could not be read a second time.
    using enum std::filesystem::file_type;
    if (type == fifo || type == block || type == character || type == socket)
        return Error{name + ": is not a regular file (a FIFO, device or socket); save the draws in a file"};
    std::FILE* f = std::fopen(file.string().c_str(), "rb");
    if (!f)
        return Error{name + ": cannot be opened (" + std::strerror(errno) + ")"};
    auto reader = std::unique_ptr<DrawsReader>(new DrawsReader(f, name, game, pool));
    unsigned char head[3] = {};
    const std::size_t got = std::fread(head, 1, 3, f);
    if (got >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return Error{name + ": is UTF-16 text; save it as plain text (ANSI or UTF-8)"};
    if (!(got == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF))
        std::rewind(f);
    return reader;
}

bool DrawsReader::ReadLine(std::string& line)
{
    line.clear();
    int c;
    while ((c = std::getc(file_)) != EOF && c != '\n') {
        if (line.size() == kMaxLine) {
            error_ = Error{name_ + ": line " + std::to_string(line_ + 1) + " is too long for a line of draws"};
            return false;
        }
        line += static_cast<char>(c);
    }
    if (c == EOF && line.empty())
        return false;
    ++line_;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.find('\r') != std::string::npos) {
        error_ = Error{name_ + ": line " + std::to_string(line_) + " holds a carriage return inside the line"};
        return false;
    }
    return true;
}

bool DrawsReader::Next(HistoryDraw& draw)
{
    std::string line;
    while (!error_ && ReadLine(line)) {
        DrawsLine read = ReadDrawsLine(line, game_, pool_);
        if (read.kind == DrawsLine::Kind::Fault) {
            error_ = Error{name_ + ": line " + std::to_string(line_) + ": " + read.fault};
            return false;
        }
        if (read.kind == DrawsLine::Kind::Draw) {
            draw = std::move(read.draw);
            draw.line = line_;
            ++draws_;
            return true;
        }
    }
    if (!error_ && std::ferror(file_))
        error_ = Error{name_ + ": cannot be read after line " + std::to_string(line_)};
    if (!error_ && draws_ == 0)
        error_ = Error{name_ + ": holds no draw"};
    return false;
}

}  // namespace bm
