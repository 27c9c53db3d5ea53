#include "checking/DrawHistory.h"

#include <algorithm>
#include <array>
#include <cstdio>
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
std::vector<std::string> SplitFields(std::string_view line, bool& unclosed)
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
    unclosed = quoted;
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

// Three runs of digits joined by one of "-", "/" or ".", as dates are written: a field of that
// shape that names no real day is a draw's date written wrongly, not a header.
bool DateShaped(std::string_view field)
{
    std::string_view p[3];
    for (char sep : {'-', '/', '.'})
        if (ThreeParts(field, sep, p) && p[0].size() <= 4 && p[1].size() <= 4 && p[2].size() <= 4 &&
            (p[0].size() == 4 || p[2].size() == 4))
            return true;
    return false;
}

std::string FieldText(std::size_t index, std::string_view field)
{
    return "field " + std::to_string(index + 1) + " (\"" + ShownText(field) + "\")";
}

// Why field `index` cannot carry on a draw that needs `want` numbers.
std::string FieldFault(std::size_t index, std::string_view field, std::size_t want)
{
    const std::string needs = "; the draw needs " + std::to_string(want) + " numbers";
    if (field.empty())
        return "field " + std::to_string(index + 1) + " is empty" + needs;
    return FieldText(index, field) + " is not a whole number" + needs;
}

constexpr const char* kDateForms = "dates are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY or "
                                   "YYYYMMDD";

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

    const auto fault = [&](DrawsLine::Kind kind, std::string what) {
        result.kind = kind;
        result.fault = std::move(what);
        return result;
    };
    bool unclosed = false;
    const auto fields = SplitFields(line, unclosed);
    if (unclosed)
        return fault(DrawsLine::Kind::Header, "holds a quote (\") that is not closed");
    const auto want = static_cast<std::size_t>(game.DrawSize());
    std::vector<std::int32_t> numbers;
    std::size_t dateField = fields.size();
    for (std::size_t i = 0; i < fields.size() && dateField == fields.size(); ++i) {
        if (auto date = ReadDrawDate(fields[i])) {
            result.draw.date = *date;
            dateField = i;
        }
    }
    if (dateField == fields.size()) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (DateShaped(fields[i]))
                return fault(DrawsLine::Kind::Fault, FieldText(i, fields[i]) + " is not a date; " + kDateForms);
    }
    // The draw is the whole numbers of consecutive fields: after the date, or from the first
    // field of a line without one. Fields after it (prizes, a second draw) are not read.
    std::size_t i = dateField < fields.size() ? dateField + 1 : 0;
    for (; numbers.size() < want; ++i) {
        if (i == fields.size()) {
            if (dateField < fields.size())
                return fault(DrawsLine::Kind::Fault, "holds " + std::to_string(numbers.size()) +
                                                         " numbers after its date " + result.draw.date +
                                                         "; a draw of this game has " + std::to_string(want));
            break;
        }
        const auto more = fields[i].empty() ? std::nullopt : WholeNumbers(fields[i]);
        if (!more) {
            // A line without a date that is not all numbers is a header, or a draw written wrongly.
            const bool allNumbers = std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(i), fields.end(),
                                                [](const std::string& f) { return WholeNumbers(f).has_value(); });
            const bool header = dateField == fields.size() && !allNumbers;
            return fault(header ? DrawsLine::Kind::Header : DrawsLine::Kind::Fault, FieldFault(i, fields[i], want));
        }
        if (numbers.size() + more->size() > want && dateField < fields.size())
            return fault(DrawsLine::Kind::Fault, FieldText(i, fields[i]) + " holds " + std::to_string(more->size()) +
                                                     " numbers, more than the draw needs (" + std::to_string(want) + ")");
        numbers.insert(numbers.end(), more->begin(), more->end());
    }
    if (dateField == fields.size()) {
        // Without a date the line is the draw and nothing else (an empty field may end it).
        for (; i < fields.size(); ++i) {
            auto more = WholeNumbers(fields[i]);
            if (!more)
                return fault(DrawsLine::Kind::Header, FieldFault(i, fields[i], want));
            numbers.insert(numbers.end(), more->begin(), more->end());
        }
        if (numbers.size() != want)
            return fault(DrawsLine::Kind::Fault, "holds " + std::to_string(numbers.size()) + " numbers (" +
                                                     ShownText(NumberList(numbers, numbers.size())) +
                                                     "); a draw of this game has " + std::to_string(want));
    }

    DrawResult& draw = result.draw.draw;
    draw.mainCount = game.mainDrawn;
    for (int k = 0; k < game.mainDrawn; ++k)
        draw.main[static_cast<std::size_t>(k)] = numbers[static_cast<std::size_t>(k)];
    if (game.extra != ExtraNumber::None)
        draw.extra = numbers[static_cast<std::size_t>(game.mainDrawn)];
    if (auto refusal = DrawRuleFault(game, pool, draw))
        return fault(DrawsLine::Kind::Fault, refusal->message);
    result.kind = DrawsLine::Kind::Draw;
    return result;
}

namespace {

// A draw as eight bytes, the same for the same date and numbers in any order: the day, the
// main numbers as their rank among all sets of that many numbers, and the extra number. Pools
// of up to 99 numbers (every game's) fit exactly; anything beyond is hashed into the top half.
std::uint64_t DrawKey(const HistoryDraw& d)
{
    std::uint64_t day = 0;
    if (d.date.size() == 10)
        day = 1 + static_cast<std::uint64_t>((ToInt(d.date.substr(0, 4)) - 1000) * 372 +
                                             (ToInt(d.date.substr(5, 2)) - 1) * 31 + ToInt(d.date.substr(8, 2)) - 1);
    std::array<std::int32_t, kMaxNumbersPerPlay> main{};
    const auto count = static_cast<std::size_t>(std::clamp(d.draw.mainCount, 0, kMaxNumbersPerPlay));
    std::copy_n(d.draw.main.begin(), count, main.begin());
    // At most seven numbers: an insertion sort (std::sort's own unrolling trips GCC's bounds
    // warning on an array this small).
    for (std::size_t i = 1; i < count; ++i)
        for (std::size_t j = i; j > 0 && main[j - 1] > main[j]; --j)
            std::swap(main[j - 1], main[j]);
    bool exact = d.draw.extra >= 0 && d.draw.extra < 128;
    std::uint64_t rank = 0;
    for (std::size_t k = 0; k < count; ++k) {
        exact = exact && main[k] >= 1 && main[k] <= 99;
        // The number of sets of k + 1 numbers below main[k]: C(main[k] - 1, k + 1).
        std::uint64_t c = 1;
        const auto n = static_cast<std::uint64_t>(std::max(main[k] - 1, 0));
        for (std::uint64_t r = 1; r <= k + 1; ++r)
            c = r > n ? 0 : c * (n - r + 1) / r;
        rank += c;
    }
    if (exact)
        return day << 41 | rank << 7 | static_cast<std::uint64_t>(d.draw.extra);
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ day;
    for (std::size_t k = 0; k < count; ++k)
        h = (h ^ static_cast<std::uint32_t>(main[k])) * 0x100000001B3ULL;
    h = (h ^ static_cast<std::uint32_t>(d.draw.extra)) * 0x100000001B3ULL;
    return h | std::uint64_t{1} << 63;
}

}  // namespace

DrawsReader::DrawsReader(std::shared_ptr<const InputFile> input, const CheckGame& game, int pool, bool skipInvalid)
    : input_(std::move(input)), name_(ShownText(input_->path().string(), 200)), game_(game), pool_(pool),
      skipInvalid_(skipInvalid), buffer_(64 * 1024)
{
}

DrawsReader::~DrawsReader() = default;

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(const std::filesystem::path& file, const CheckGame& game,
                                                       int pool, bool skipInvalid)
{
    auto input = InputFile::Open(file);
    if (!input)
        return Error{ShownText(file.string(), 200) + input.error().message.substr(file.string().size())};
    return Open(std::move(*input), game, pool, skipInvalid);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(std::shared_ptr<const InputFile> input, const CheckGame& game,
                                                       int pool, bool skipInvalid)
{
    auto head = TextHead(*input, ShownText(input->path().string(), 200), "draws file", "draws");
    if (!head)
        return head.error();
    auto reader = std::unique_ptr<DrawsReader>(new DrawsReader(std::move(input), game, pool, skipInvalid));
    if (head->starts_with("\xEF\xBB\xBF"))
        reader->position_ = 3;
    return reader;
}

bool DrawsReader::Refill()
{
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    int error = 0;
    const std::ptrdiff_t got = input_->ReadAt(position_, buffer_.data() + end_, buffer_.size() - end_, error);
    if (got < 0) {
        error_ = Error{name_ + ": cannot be read after line " + std::to_string(line_) + " (" + std::strerror(error) + ")"};
        return false;
    }
    position_ += static_cast<std::uint64_t>(got);
    end_ += static_cast<std::size_t>(got);
    atEnd_ = got == 0;
    return true;
}

DrawsReader::LineRead DrawsReader::ReadLine(std::string& line)
{
    line.clear();
    bool tooLong = false;
    for (;;) {
        if (begin_ == end_ && !atEnd_ && !Refill())
            return LineRead::Failed;
        if (begin_ == end_) {
            if (line.empty() && !tooLong)
                return LineRead::End;
            break;
        }
        const char* from = buffer_.data() + begin_;
        const void* feed = std::memchr(from, '\n', end_ - begin_);
        const std::size_t length = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - from) : end_ - begin_;
        // A line too long is passed over to its end, so that a skipping reading can go on after it.
        if (!tooLong && line.size() + length > kMaxLine)
            tooLong = true;
        if (!tooLong)
            line.append(from, length);
        begin_ += length + (feed ? 1 : 0);
        if (feed)
            break;
    }
    ++line_;
    if (tooLong)
        return LineRead::TooLong;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return LineRead::Line;
}

void DrawsReader::Note(const HistoryDraw& draw)
{
    keys_.push_back(DrawKey(draw));
    if (draw.date.empty())
        return;
    if (!lastDate_.empty() && draw.date != lastDate_) {
        const int step = draw.date > lastDate_ ? 1 : -1;
        if (direction_ == 0)
            direction_ = step;
        else if (step != direction_ && notes_.outOfOrderLine == 0)
            notes_.outOfOrderLine = draw.line;
    }
    lastDate_ = draw.date;
}

void DrawsReader::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    std::sort(keys_.begin(), keys_.end());
    for (std::size_t k = 1; k < keys_.size(); ++k)
        notes_.repeated += keys_[k] == keys_[k - 1] ? 1 : 0;
    std::vector<std::uint64_t>().swap(keys_);
}

bool DrawsReader::Next(HistoryDraw& draw)
{
    std::string line;
    while (!error_) {
        const LineRead got = ReadLine(line);
        if (got == LineRead::End || got == LineRead::Failed)
            break;
        std::string fault;
        // "line 3 is too long", but "line 3: holds 4 numbers".
        const char* joint = ": ";
        if (got == LineRead::TooLong) {
            fault = "is too long for a line of draws";
            joint = " ";
        } else if (line.find('\r') != std::string::npos) {
            fault = "holds a carriage return inside the line";
            joint = " ";
        } else {
            DrawsLine read = ReadDrawsLine(line, game_, pool_);
            if (read.kind == DrawsLine::Kind::Skip || (read.kind == DrawsLine::Kind::Header && !pastHeaders_))
                continue;
            pastHeaders_ = true;
            if (read.kind == DrawsLine::Kind::Draw) {
                draw = std::move(read.draw);
                draw.line = line_;
                ++draws_;
                Note(draw);
                return true;
            }
            fault = std::move(read.fault);
        }
        pastHeaders_ = true;
        std::string refusal = name_ + ": line " + std::to_string(line_) + joint + fault;
        if (!skipInvalid_) {
            error_ = Error{std::move(refusal)};
            return false;
        }
        if (notes_.skipped++ == 0) {
            notes_.firstSkippedLine = line_;
            notes_.firstSkippedReason = std::move(fault);
            notes_.firstSkippedRefusal = std::move(refusal);
        }
    }
    if (!error_ && draws_ == 0) {
        error_ = Error{name_ + ": holds no draw"};
        if (notes_.skipped > 0)
            error_->message += " of this game; line " + std::to_string(notes_.firstSkippedLine) + ", the first of " +
                               std::to_string(notes_.skipped) + " lines passed over: " + notes_.firstSkippedReason;
    }
    if (!error_)
        Finish();
    return false;
}

std::vector<std::string> DrawsFileNoteLines(const std::filesystem::path& file, const DrawsFileNotes& notes)
{
    std::vector<std::string> lines;
    const std::string name = ShownText(file.string(), 200);
    if (notes.skipped > 0)
        lines.push_back("Skipped " + std::to_string(notes.skipped) + " lines of " + name +
                        " that are not draws of this game; first: line " +
                        std::to_string(notes.firstSkippedLine) + ": " + notes.firstSkippedReason);
    if (notes.repeated > 0)
        lines.push_back(name + ": " + std::to_string(notes.repeated) +
                        (notes.repeated == 1 ? " draw repeats" : " draws repeat") +
                        " an earlier draw (same date and numbers); each is counted every time it appears");
    if (notes.outOfOrderLine > 0)
        lines.push_back(name + ": the draws are not in date order (line " + std::to_string(notes.outOfOrderLine) +
                        " goes against the order of the draws before it); the CSV keeps the file's order");
    return lines;
}

std::string SkipQuestion(const DrawsFileNotes& notes)
{
    // A reason that ends its sentence already gets no second full stop.
    const std::string& reason = notes.firstSkippedReason;
    return std::to_string(notes.skipped) + " lines are not draws of this game, the first is line " +
           std::to_string(notes.firstSkippedLine) + ": " + reason + (reason.ends_with('.') ? "" : ".") +
           " Skip them?";
}

}  // namespace bm
