#include "checking/DrawHistory.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "checking/DrawHistoryParts.h"
#include "checking/DrawLineReading.h"
#include "checking/GameRules.h"
#include "common/ShownText.h"

namespace bm {

using namespace draws;

DrawShape DrawShapeOf(const CheckGame& game, int pool)
{
    DrawShape shape;
    shape.main = game.mainDrawn;
    shape.bonus = game.extra == ExtraNumber::Bonus;
    shape.second = game.extra == ExtraNumber::Powerball ? 1 : 0;
    shape.mainPool = pool;
    return shape;
}

namespace {

// A draw as eight bytes, the same for the same date and numbers in any order: the day, the
// main numbers as their rank among all sets of that many numbers, and the extra number. Pools
// of up to 99 numbers (every game's) fit exactly; anything beyond, and a second second-pool
// number, is hashed into the top half.
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
    bool exact = d.draw.extra >= 0 && d.draw.extra < 128 && d.numbers.secondCount < 2;
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
    // Two second-pool numbers count in either order; the extra number is the first of them then.
    if (d.numbers.secondCount < 2)
        h = (h ^ static_cast<std::uint32_t>(d.draw.extra)) * 0x100000001B3ULL;
    std::array<std::int32_t, kMaxSecondNumbers> second = d.numbers.second;
    if (d.numbers.secondCount == 2 && second[0] > second[1])
        std::swap(second[0], second[1]);
    for (int k = 0; k < d.numbers.secondCount; ++k)
        h = (h ^ static_cast<std::uint32_t>(second[static_cast<std::size_t>(k)] + 1000)) * 0x100000001B3ULL;
    return h | std::uint64_t{1} << 63;
}

}  // namespace

struct DrawsReader::Layout {
    HeaderLayout header;
};

DrawsReader::DrawsReader(std::shared_ptr<const InputFile> input, const DrawShape& shape, const CheckGame* game,
                         const DrawsOptions& options)
    : input_(std::move(input)),
      name_(ShownText(input_->path().string(), 200)),
      shape_(shape),
      game_(game),
      options_(options),
      buffer_(64 * 1024)
{}

DrawsReader::~DrawsReader() = default;

bool DrawsReader::carriesPrizes() const
{
    return layout_ && layout_->header.prizes;
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(const std::filesystem::path& file, const CheckGame& game,
                                                       int pool, bool skipInvalid)
{
    DrawsOptions options;
    options.skipInvalid = skipInvalid;
    return Open(file, game, pool, options);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(std::shared_ptr<const InputFile> input, const CheckGame& game,
                                                       int pool, bool skipInvalid)
{
    DrawsOptions options;
    options.skipInvalid = skipInvalid;
    return Open(std::move(input), game, pool, options);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(const std::filesystem::path& file, const CheckGame& game,
                                                       int pool, const DrawsOptions& options)
{
    auto input = InputFile::Open(file);
    if (!input)
        return Error{ShownText(file.string(), 200) + input.error().message.substr(file.string().size())};
    return OpenWith(std::move(*input), DrawShapeOf(game, pool), &game, options);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(std::shared_ptr<const InputFile> input, const CheckGame& game,
                                                       int pool, const DrawsOptions& options)
{
    return OpenWith(std::move(input), DrawShapeOf(game, pool), &game, options);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(const std::filesystem::path& file, const DrawShape& shape,
                                                       const DrawsOptions& options)
{
    auto input = InputFile::Open(file);
    if (!input)
        return Error{ShownText(file.string(), 200) + input.error().message.substr(file.string().size())};
    return OpenWith(std::move(*input), shape, nullptr, options);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::Open(std::shared_ptr<const InputFile> input, const DrawShape& shape,
                                                       const DrawsOptions& options)
{
    return OpenWith(std::move(input), shape, nullptr, options);
}

Result<std::unique_ptr<DrawsReader>> DrawsReader::OpenWith(std::shared_ptr<const InputFile> input,
                                                           const DrawShape& shape, const CheckGame* game,
                                                           const DrawsOptions& options)
{
    auto head = TextHead(*input, ShownText(input->path().string(), 200), "draws file", "draws");
    if (!head)
        return head.error();
    auto reader = std::unique_ptr<DrawsReader>(new DrawsReader(std::move(input), shape, game, options));
    const std::uint64_t start = head->starts_with("\xEF\xBB\xBF") ? 3 : 0;
    reader->position_ = start;
    if (const Status surveyed = reader->Survey(); !surveyed)
        return surveyed.error();
    reader->position_ = start;
    reader->begin_ = reader->end_ = 0;
    reader->atEnd_ = false;
    reader->line_ = 0;
    return reader;
}

bool DrawsReader::AsksDateOrder(const Error& error)
{
    return error.message.find(kDateOrderAsk) != std::string::npos;
}

// One look at the whole file before its draws are read: what parts its fields (a ";" in its
// first line), and how its dates with the day and month in numbers read.
Status DrawsReader::Survey()
{
    std::string line;
    bool first = true;
    std::int64_t dayFirst = 0, monthFirst = 0, firstDayFirst = 0, firstMonthFirst = 0, firstEither = 0;
    std::string eitherText;
    DateOrder language = DateOrder::Unknown;
    // The header the draws are read by names the day, month and year columns, or the date's:
    // either way three fields in a row that look like month, day and year tell no order.
    bool namedDays = false;
    // Past the headers, as the reading will be: a line after the draws (a footer, a line skipped)
    // says nothing of their columns or dates.
    bool past = false;
    LineRules rules;
    rules.shape = shape_;
    for (;;) {
        const LineRead got = ReadLine(line);
        if (got == LineRead::Failed)
            return *error_;
        if (got == LineRead::End)
            break;
        if (got == LineRead::TooLong) {
            past = true;
            continue;
        }
        const bool carriageReturn = line.find('\r') != std::string::npos;
        past = past || carriageReturn;
        const std::size_t at = line.find_first_not_of(" \t\r");
        if (at == std::string::npos || line[at] == '#')
            continue;
        bool unclosed = false;
        if (first) {
            // A ";" outside quotes parts the fields alone, so that decimal commas stay in theirs.
            first = false;
            bool quoted = false;
            for (char c : line) {
                quoted = c == '"' ? !quoted : quoted;
                if (c == ';' && !quoted) {
                    separator_ = ';';
                    break;
                }
            }
            rules.separator = separator_;
        }
        const auto fields = SplitFields(line, separator_, unclosed);
        const bool headerLike = HeaderLike(fields, rules);
        bool header = headerLike && !carriageReturn && !PartedOtherwise(line, rules);
        if (unclosed && !carriageReturn) {
            // The reading takes a line with an open quote for a header by its text without quotes.
            std::string plain = line;
            std::erase(plain, '"');
            bool again = false;
            header = HeaderLike(SplitFields(plain, separator_, again), rules) && !PartedOtherwise(plain, rules);
        }
        if (header && !past) {
            DateOrder hint = DateOrder::Unknown;
            const auto names = ReadColumnNames(fields, hint);
            if (hint != DateOrder::Unknown)
                language = hint;
            // The reading reads by the last header before the draws that names their columns.
            if (!unclosed)
                if (auto layout = LayoutOf(names, line_, shape_))
                    namedDays = layout->day >= 0 || layout->date >= 0;
        }
        past = past || !header;
        if (headerLike)
            continue;
        bool single = false;
        const auto note = [&](const OrderEvidence& e, std::string_view text) {
            if (!e.shaped)
                return;
            if (e.dayFirst && !e.monthFirst && dayFirst++ == 0)
                firstDayFirst = line_;
            if (e.monthFirst && !e.dayFirst && monthFirst++ == 0)
                firstMonthFirst = line_;
            if (e.monthFirst && e.dayFirst && firstEither == 0) {
                firstEither = line_;
                eitherText = text;
            }
        };
        for (const auto& f : fields) {
            if (ReadDrawDate(f, DateOrder::MonthFirst) && !DateOrderEvidence(f).shaped)
                single = true;
            const OrderEvidence e = DateOrderEvidence(f);
            single = single || e.shaped;
            note(e, f);
        }
        if (!single && !namedDays)
            for (std::size_t i = 0; i + 2 < fields.size(); ++i)
                if (ThreeFieldDateAt(fields, i)) {
                    note(DateOrderEvidence(fields[i], fields[i + 1], fields[i + 2]),
                         fields[i] + "," + fields[i + 1] + "," + fields[i + 2]);
                    break;
                }
    }
    if (options_.dateOrder != DateOrder::Unknown) {
        order_ = options_.dateOrder;
    } else if (dayFirst > 0 || monthFirst > 0) {
        if (dayFirst == monthFirst)
            return Error{name_ + ": its dates are written day first (line " + std::to_string(firstDayFirst) +
                         ") as often as month first (line " + std::to_string(firstMonthFirst) + "); " + kDateOrderAsk +
                         " DMY (day first) or MDY (month first)"};
        // The order most lines need; a line against it is refused as no date.
        order_ = dayFirst > monthFirst ? DateOrder::DayFirst : DateOrder::MonthFirst;
    } else if (firstEither > 0) {
        if (language == DateOrder::Unknown)
            return Error{name_ + ": line " + std::to_string(firstEither) + ": the date \"" + ShownText(eitherText, 60) +
                         "\" reads day first or month first, and no date of the file tells which; " + kDateOrderAsk +
                         " DMY (day first) or MDY (month first)"};
        order_ = language;
    }
    return Ok{};
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
        error_ =
            Error{name_ + ": cannot be read after line " + std::to_string(line_) + " (" + std::strerror(error) + ")"};
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
        const std::size_t length =
            feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - from) : end_ - begin_;
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
    if (!pending_.empty()) {
        draw = std::move(pending_.front());
        pending_.erase(pending_.begin());
        ++draws_;
        Note(draw);
        return true;
    }
    LineRules rules;
    rules.shape = shape_;
    rules.game = game_;
    rules.order = order_;
    rules.separator = separator_;
    rules.from = options_.from;
    rules.to = options_.to;
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
            DrawsLine read = ReadOneLine(line, rules, layout_ ? &layout_->header : nullptr);
            if (read.kind == DrawsLine::Kind::Header && !pastHeaders_) {
                // The last header line before the draws that names their columns is the one read by.
                bool unclosed = false;
                const auto fields = SplitFields(line, separator_, unclosed);
                DateOrder hint = DateOrder::Unknown;
                if (!unclosed)
                    if (auto layout = LayoutOf(ReadColumnNames(fields, hint), line_, shape_))
                        layout_ = std::make_unique<Layout>(Layout{std::move(*layout)});
                continue;
            }
            if (read.kind == DrawsLine::Kind::Skip) {
                if (read.outside > 0) {
                    pastHeaders_ = true;
                    notes_.outsideRange += read.outside;
                }
                continue;
            }
            pastHeaders_ = true;
            if (read.kind == DrawsLine::Kind::Draw && !read.spread.empty() && !layout_) {
                std::pair<std::size_t, std::vector<int>> spread{read.spreadFrom, read.spread};
                if (!firstSpread_) {
                    firstSpread_ = std::move(spread);
                    firstFields_ = read.fields;
                    firstSpreadLine_ = line_;
                } else if (read.fields != firstFields_) {
                    read.kind = DrawsLine::Kind::Fault;
                    read.fault = "holds " + std::to_string(read.fields) + " fields, the draw on line " +
                                 std::to_string(firstSpreadLine_) + " " + std::to_string(firstFields_) +
                                 "; a field missing or added would let the next column slide into the draw";
                } else if (spread != *firstSpread_) {
                    read.kind = DrawsLine::Kind::Fault;
                    read.fault = "its draw lies in " + SpreadText(spread) + ", the draw on line " +
                                 std::to_string(firstSpreadLine_) + " in " + SpreadText(*firstSpread_) +
                                 "; a number missing would let the next column slide into the draw";
                }
            }
            if (read.kind == DrawsLine::Kind::Draw) {
                notes_.outsideRange += read.outside;
                draw = std::move(read.draw);
                draw.line = line_;
                if (read.second) {
                    read.second->line = line_;
                    pending_.push_back(std::move(*read.second));
                }
                ++draws_;
                Note(draw);
                return true;
            }
            fault = std::move(read.fault);
        }
        pastHeaders_ = true;
        std::string refusal = name_ + ": line " + std::to_string(line_) + joint + fault;
        if (!options_.skipInvalid) {
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
        if (!options_.from.empty() || !options_.to.empty())
            error_->message += " from " + (options_.from.empty() ? std::string("its first day") : options_.from) +
                               " to " + (options_.to.empty() ? std::string("its last day") : options_.to);
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
                        " that are not draws of this game; first: line " + std::to_string(notes.firstSkippedLine) +
                        ": " + notes.firstSkippedReason);
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
           std::to_string(notes.firstSkippedLine) + ": " + reason + (reason.ends_with('.') ? "" : ".") + " Skip them?";
}

}  // namespace bm
