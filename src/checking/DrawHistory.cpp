#include "checking/DrawHistory.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "checking/DrawHistoryParts.h"
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

// Real results lines are short; anything longer is not a results file.
constexpr std::size_t kMaxLine = 4096;
constexpr const char* kDateOrderAsk = "give --date-order";

// What a line is read by: the draw's shape, the checker game that words the refusals (when there
// is one), how "01/02/2020" reads and what parts the fields.
struct LineRules {
    DrawShape shape;
    const CheckGame* game = nullptr;
    DateOrder order = DateOrder::MonthFirst;
    char separator = 0;
    std::string from, to;  // the days asked for, empty: any
};

// A header line's columns as the reader uses them.
struct HeaderLayout {
    std::int64_t line = 0;
    std::size_t columns = 0;  // named, trailing empty names not counted
    std::vector<ColumnName> names;
    int date = -1, day = -1, month = -1, year = -1;
    struct Group {
        std::string label;
        std::vector<int> main, bonus, second;
        std::vector<std::pair<int, int>> prizes;  // division, column
        bool read = true;
    };
    std::vector<Group> groups;
    std::vector<bool> needed;  // by column: read for the first draw of a line, or its date
    bool prizes = false;
};

std::string FieldText(std::size_t index, std::string_view field)
{
    return "field " + std::to_string(index + 1) + " (\"" + ShownText(field) + "\")";
}

// "field 3 (\"1 2 3\")", or "field 3" for an empty one, as a line without a header says it.
std::string FieldAt(std::size_t index, std::string_view field)
{
    return field.empty() ? "field " + std::to_string(index + 1) : FieldText(index, field);
}

// " (column Winning Numbers)": the end of a refusal of a field a header names.
std::string ColumnOf(std::size_t index, const HeaderLayout& layout)
{
    if (index >= layout.names.size() || layout.names[index].text.empty())
        return {};
    return " (column " + ShownText(layout.names[index].text, 60) + ")";
}

// Why field `index` cannot carry on a draw that needs `want` numbers.
std::string FieldFault(std::size_t index, std::string_view field, std::size_t want)
{
    const std::string needs = "; the draw needs " + std::to_string(want) + " numbers";
    if (field.empty())
        return "field " + std::to_string(index + 1) + " is empty" + needs;
    return FieldText(index, field) + " is not a whole number" + needs;
}

std::string DateForms(DateOrder order)
{
    return std::string("dates are read as YYYY-MM-DD, YYYY/MM/DD, ") +
           (order == DateOrder::DayFirst ? "D/M/YYYY (day first)" : "M/D/YYYY (month first)") +
           ", D.M.YYYY, DD-Mon-YYYY, Month D YYYY or YYYYMMDD";
}

std::string NumberList(const std::vector<std::int32_t>& numbers, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count && i < numbers.size(); ++i)
        text += (i ? " " : "") + std::to_string(numbers[i]);
    return text;
}

std::string Count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Whether a line is a header's text rather than a draw: it holds no date (nor a field written
// like one), not a whole draw's numbers in consecutive fields, and some text.
bool HeaderLike(const std::vector<std::string>& fields, const LineRules& rules)
{
    const auto want = static_cast<std::size_t>(rules.shape.Size());
    bool text = false;
    std::size_t run = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (ReadDrawDate(f, rules.order) || DateShaped(f) || ThreeFieldDateAt(fields, i))
            return false;
        const auto numbers = f.empty() ? std::nullopt : WholeNumbers(f);
        if (numbers) {
            run += numbers->size();
            if (run >= want)
                return false;
        } else {
            run = 0;
            text = text || !f.empty();
        }
    }
    return text;
}

// The pool a draw would need, when its numbers lie beyond the game's.
std::string PoolNeeded(const LineRules& rules, const DrawnNumbers& n)
{
    std::int32_t main = 0, second = 0;
    for (int k = 0; k < n.mainCount; ++k)
        main = std::max(main, n.main[static_cast<std::size_t>(k)]);
    if (rules.shape.bonus)
        main = std::max(main, n.bonus);
    for (int k = 0; k < n.secondCount; ++k)
        second = std::max(second, n.second[static_cast<std::size_t>(k)]);
    std::string text;
    if (main > rules.shape.mainPool)
        text += " This draw needs a pool of at least " + std::to_string(main) + " numbers (the definition has " +
                std::to_string(rules.shape.mainPool) + ").";
    if (rules.shape.secondPool > 0 && second > rules.shape.secondPool)
        text += " This draw needs a second pool of at least " + std::to_string(second) +
                " numbers (the definition has " + std::to_string(rules.shape.secondPool) + ").";
    return text;
}

// The draw as a checker compares it, or why it cannot happen.
std::optional<std::string> RuleFault(const LineRules& rules, const DrawnNumbers& n, DrawResult& draw)
{
    const DrawShape& shape = rules.shape;
    draw.mainCount = n.mainCount;
    std::copy(n.main.begin(), n.main.end(), draw.main.begin());
    draw.extra = shape.bonus ? n.bonus : n.secondCount > 0 ? n.second[0] : 0;
    std::string fault;
    if (rules.game) {
        if (auto refusal = DrawRuleFault(*rules.game, shape.mainPool, draw))
            fault = refusal->message;
    } else {
        const auto range = [](int pool) {
            return "the numbers of this pool run from 1 to " + std::to_string(pool) + ".";
        };
        for (int k = 0; k < n.mainCount && fault.empty(); ++k) {
            const std::int32_t v = n.main[static_cast<std::size_t>(k)];
            const std::string name = "Drawn number " + std::to_string(k + 1) + " is " + std::to_string(v);
            if (v < 1 || v > shape.mainPool)
                fault = name + "; " + range(shape.mainPool);
            for (int j = 0; j < k && fault.empty(); ++j)
                if (n.main[static_cast<std::size_t>(j)] == v)
                    fault =
                        name + ", the same as drawn number " + std::to_string(j + 1) + "; no number is drawn twice.";
        }
        if (fault.empty() && shape.bonus) {
            const std::string name = "The bonus number is " + std::to_string(n.bonus);
            if (n.bonus < 1 || n.bonus > shape.mainPool)
                fault = name + "; " + range(shape.mainPool);
            for (int k = 0; k < n.mainCount && fault.empty(); ++k)
                if (n.main[static_cast<std::size_t>(k)] == n.bonus)
                    fault = name + ", the same as drawn number " + std::to_string(k + 1) +
                            "; the bonus is drawn from the numbers left.";
        }
        for (int k = 0; k < n.secondCount && fault.empty(); ++k) {
            const std::int32_t v = n.second[static_cast<std::size_t>(k)];
            const std::string name = "Second-pool number " + std::to_string(k + 1) + " is " + std::to_string(v);
            if (v < 1)
                fault = name + "; a number of the second pool is at least 1.";
            else if (shape.secondPool > 0 && v > shape.secondPool)
                fault = name + "; the second pool runs from 1 to " + std::to_string(shape.secondPool) + ".";
            for (int j = 0; j < k && fault.empty(); ++j)
                if (n.second[static_cast<std::size_t>(j)] == v)
                    fault = name + ", the same as second-pool number " + std::to_string(j + 1) +
                            "; no number is drawn twice.";
        }
    }
    if (fault.empty())
        return std::nullopt;
    return fault + PoolNeeded(rules, n);
}

// Fills the draw from `numbers` in file order: main, bonus, second pool.
void Assign(const DrawShape& shape, const std::vector<std::int32_t>& numbers, DrawnNumbers& n)
{
    std::size_t at = 0;
    n.mainCount = shape.main;
    for (int k = 0; k < shape.main; ++k)
        n.main[static_cast<std::size_t>(k)] = numbers[at++];
    if (shape.bonus)
        n.bonus = numbers[at++];
    n.secondCount = shape.second;
    for (int k = 0; k < shape.second; ++k)
        n.second[static_cast<std::size_t>(k)] = numbers[at++];
}

DrawsLine Faulted(DrawsLine::Kind kind, std::string what)
{
    DrawsLine result;
    result.kind = kind;
    result.fault = std::move(what);
    return result;
}

// A line without a header naming its columns: the draw is the consecutive fields after the date
// (or the whole line when it has none).
DrawsLine ReadByPosition(const std::vector<std::string>& fields, const LineRules& rules)
{
    DrawsLine result;
    const auto fault = [&](DrawsLine::Kind kind, std::string what) { return Faulted(kind, std::move(what)); };
    const auto want = static_cast<std::size_t>(rules.shape.Size());
    std::vector<std::int32_t> numbers;
    std::size_t dateField = fields.size();
    std::size_t drawFrom = 0;
    // The first field written as a date is the draw's: one that is no day refuses the line
    // rather than a later date (a claim deadline) being taken for it.
    for (std::size_t i = 0; i < fields.size() && dateField == fields.size(); ++i) {
        if (auto date = ReadDrawDate(fields[i], rules.order)) {
            result.draw.date = *date;
            dateField = i;
            drawFrom = i + 1;
        } else if (DateShaped(fields[i])) {
            return fault(DrawsLine::Kind::Fault, FieldText(i, fields[i]) + " is not a date; " + DateForms(rules.order));
        }
    }
    if (dateField == fields.size()) {
        // Month, day and year in three fields ("Powerball,10,7,2015,18,30,...").
        for (std::size_t i = 0; i < fields.size() && dateField == fields.size(); ++i) {
            if (!ThreeFieldDateAt(fields, i))
                continue;
            const auto date = ThreeFieldDate(fields[i], fields[i + 1], fields[i + 2], rules.order);
            if (!date)
                return fault(DrawsLine::Kind::Fault,
                             "fields " + std::to_string(i + 1) + " to " + std::to_string(i + 3) + " (\"" +
                                 ShownText(fields[i]) + "\", \"" + ShownText(fields[i + 1]) + "\", \"" +
                                 ShownText(fields[i + 2]) + "\") are no day; " +
                                 (rules.order == DateOrder::DayFirst ? "day, month and year" : "month, day and year") +
                                 " are read in this file");
            result.draw.date = *date;
            dateField = i;
            drawFrom = i + 3;
        }
    }
    const bool dated = dateField < fields.size();
    // The draw is the whole numbers of consecutive fields: after the date, or from the first
    // field of a line without one. Fields after it (prizes, a second draw) are not read.
    std::size_t i = drawFrom;
    for (; numbers.size() < want; ++i) {
        if (i == fields.size()) {
            if (dated)
                return fault(DrawsLine::Kind::Fault, "holds " + std::to_string(numbers.size()) +
                                                         " numbers after its date " + result.draw.date +
                                                         "; a draw of this game has " + std::to_string(want));
            break;
        }
        const auto more = fields[i].empty() ? std::nullopt : WholeNumbers(fields[i]);
        if (!more) {
            const bool header = !dated && HeaderLike(fields, rules);
            return fault(header ? DrawsLine::Kind::Header : DrawsLine::Kind::Fault, FieldFault(i, fields[i], want));
        }
        if (numbers.size() + more->size() > want && dated)
            return fault(DrawsLine::Kind::Fault, FieldText(i, fields[i]) + " holds " + std::to_string(more->size()) +
                                                     " numbers, more than the draw needs (" + std::to_string(want) +
                                                     ")");
        numbers.insert(numbers.end(), more->begin(), more->end());
        if (dated)
            result.spread.push_back(static_cast<int>(more->size()));
    }
    result.spreadFrom = drawFrom;
    result.fields = fields.size();
    if (!dated) {
        // Without a date the line is the draw and nothing else (an empty field may end it).
        for (; i < fields.size(); ++i) {
            auto more = WholeNumbers(fields[i]);
            if (!more)
                return fault(HeaderLike(fields, rules) ? DrawsLine::Kind::Header : DrawsLine::Kind::Fault,
                             FieldFault(i, fields[i], want));
            numbers.insert(numbers.end(), more->begin(), more->end());
        }
        if (numbers.size() != want)
            return fault(DrawsLine::Kind::Fault, "holds " + std::to_string(numbers.size()) + " numbers (" +
                                                     ShownText(NumberList(numbers, numbers.size())) +
                                                     "); a draw of this game has " + std::to_string(want));
    }
    Assign(rules.shape, numbers, result.draw.numbers);
    result.kind = DrawsLine::Kind::Draw;
    return result;
}

std::optional<HeaderLayout> LayoutOf(const std::vector<ColumnName>& names, std::int64_t line, const DrawShape& shape)
{
    HeaderLayout layout;
    layout.line = line;
    layout.names = names;
    layout.columns = names.size();
    while (layout.columns > 0 && names[layout.columns - 1].text.empty())
        --layout.columns;
    const auto groupOf = [&](const std::string& label) -> HeaderLayout::Group& {
        for (auto& g : layout.groups)
            if (g.label == label)
                return g;
        layout.groups.push_back({});
        layout.groups.back().label = label;
        return layout.groups.back();
    };
    for (std::size_t c = 0; c < layout.columns; ++c) {
        const ColumnName& n = names[c];
        const int col = static_cast<int>(c);
        switch (n.kind) {
        case Column::Date:
            if (layout.date < 0)
                layout.date = col;
            break;
        case Column::Day: layout.day = col; break;
        case Column::Month: layout.month = col; break;
        case Column::Year: layout.year = col; break;
        case Column::Main: groupOf(n.group).main.push_back(col); break;
        case Column::Bonus: groupOf(n.group).bonus.push_back(col); break;
        case Column::Second: groupOf(n.group).second.push_back(col); break;
        case Column::Prize: {
            auto& g = groupOf(n.group);
            g.prizes.emplace_back(n.index > 0 ? n.index : static_cast<int>(g.prizes.size()) + 1, col);
            break;
        }
        default: break;
        }
    }
    // A group with no main numbers is no draw; the first draw is the first group that has them.
    std::erase_if(layout.groups, [](const HeaderLayout::Group& g) { return g.main.empty(); });
    if (layout.groups.empty())
        return std::nullopt;
    std::stable_sort(layout.groups.begin(), layout.groups.end(),
                     [](const auto& a, const auto& b) { return a.main.front() < b.main.front(); });
    for (std::size_t g = 1; g < layout.groups.size(); ++g) {
        auto& group = layout.groups[g];
        // A second draw whose columns lack what the game needs (a bonus, a second pool) is not read.
        group.read = (!shape.bonus || !group.bonus.empty()) && (shape.second == 0 || !group.second.empty());
    }
    if (layout.date >= 0 || layout.day < 0 || layout.month < 0 || layout.year < 0)
        layout.day = layout.month = layout.year = -1;
    layout.needed.assign(layout.columns, false);
    const auto need = [&](int c) {
        if (c >= 0)
            layout.needed[static_cast<std::size_t>(c)] = true;
    };
    for (int c : {layout.date, layout.day, layout.month, layout.year})
        need(c);
    const auto& first = layout.groups.front();
    for (int c : first.main)
        need(c);
    if (shape.bonus && !first.bonus.empty())
        need(first.bonus.front());
    if (shape.second > 0)
        for (int c : first.second)
            need(c);
    for (const auto& [division, c] : first.prizes)
        need(c);
    for (const auto& g : layout.groups)
        layout.prizes = layout.prizes || (g.read && !g.prizes.empty());
    return layout;
}

// Numbers of the columns `cols`, in order, into `numbers`; a fault names the field.
std::optional<std::string> Gather(const std::vector<std::string>& fields, const HeaderLayout& layout,
                                  const std::vector<int>& cols, std::size_t want, std::vector<std::int32_t>& numbers)
{
    for (int c : cols) {
        const auto at = static_cast<std::size_t>(c);
        const std::string field = at < fields.size() ? fields[at] : std::string();
        const auto more = field.empty() ? std::nullopt : WholeNumbers(field);
        if (!more)
            return FieldFault(at, field, want) + ColumnOf(at, layout);
        numbers.insert(numbers.end(), more->begin(), more->end());
    }
    return std::nullopt;
}

// "field 2 (\"1 2 3\") holds 3 numbers; WANT (column Winning Numbers)", or for several columns
// "fields 5 to 10 hold 6 numbers; WANT (columns NUMBER DRAWN 1 to NUMBER DRAWN 6)".
std::string CountFault(const HeaderLayout& layout, const std::vector<int>& cols, const std::vector<std::string>& fields,
                       std::size_t count, const std::string& want)
{
    const auto first = static_cast<std::size_t>(cols.front());
    if (cols.size() == 1)
        return FieldAt(first, first < fields.size() ? fields[first] : std::string()) + " holds " +
               Count(count, "number", "numbers") + "; " + want + ColumnOf(first, layout);
    const auto name = [&](int c) { return ShownText(layout.names[static_cast<std::size_t>(c)].text, 60); };
    const auto last = static_cast<std::size_t>(cols.back());
    const std::string columns = last < layout.columns
                                    ? " (columns " + name(cols.front()) + " to " + name(cols.back()) + ")"
                                    : " (column " + name(cols.front()) + " and the fields after it)";
    return "fields " + std::to_string(cols.front() + 1) + " to " + std::to_string(cols.back() + 1) + " hold " +
           Count(count, "number", "numbers") + "; " + want + columns;
}

// One draw of a line from the columns of `group`; nothing when every field of a later draw is empty.
std::optional<std::string> ReadGroup(const std::vector<std::string>& fields, const HeaderLayout& layout,
                                     const HeaderLayout::Group& group, bool first, const LineRules& rules,
                                     std::optional<HistoryDraw>& out)
{
    const DrawShape& shape = rules.shape;
    const bool bonusColumn = shape.bonus && !group.bonus.empty();
    const bool secondColumns = shape.second > 0 && !group.second.empty();
    // A header that names its last column "Numbers" has it run over the fields after it.
    std::vector<int> mainCols = group.main;
    if (group.main.back() + 1 == static_cast<int>(layout.columns)) {
        std::size_t end = fields.size();
        while (end > layout.columns && fields[end - 1].empty())
            --end;
        for (std::size_t c = layout.columns; c < end; ++c)
            mainCols.push_back(static_cast<int>(c));
    }
    std::vector<int> used = mainCols;
    if (bonusColumn)
        used.push_back(group.bonus.front());
    if (secondColumns)
        used.insert(used.end(), group.second.begin(), group.second.end());
    const auto fieldAt = [&](int c) {
        const auto at = static_cast<std::size_t>(c);
        return at < fields.size() ? fields[at] : std::string();
    };
    if (!first && std::all_of(used.begin(), used.end(), [&](int c) { return fieldAt(c).empty(); }))
        return std::nullopt;
    const auto want = static_cast<std::size_t>(shape.Size());
    const std::size_t fromMain =
        want - (bonusColumn ? 1 : 0) - (secondColumns ? static_cast<std::size_t>(shape.second) : 0);
    std::vector<std::int32_t> main, bonus, second;
    if (auto f = Gather(fields, layout, mainCols, want, main))
        return f;
    if (main.size() != fromMain)
        return CountFault(layout, mainCols, fields, main.size(),
                          fromMain == want ? "the draw needs " + std::to_string(want) + " numbers"
                                           : "the draw needs " + std::to_string(fromMain) + " there, " +
                                                 std::to_string(want) + " in all");
    if (bonusColumn) {
        if (auto f = Gather(fields, layout, {group.bonus.front()}, want, bonus))
            return f;
        if (bonus.size() != 1)
            return CountFault(layout, {group.bonus.front()}, fields, bonus.size(), "the bonus is one number");
    }
    if (secondColumns) {
        if (auto f = Gather(fields, layout, group.second, want, second))
            return f;
        if (second.size() != static_cast<std::size_t>(shape.second))
            return CountFault(layout, group.second, fields, second.size(),
                              "the draw needs " + std::to_string(shape.second) + " from the second pool");
    }
    // The file's order: main numbers (with what they carry beyond), then the bonus, then the second pool.
    std::vector<std::int32_t> numbers(main.begin(), main.begin() + shape.main);
    std::size_t rest = static_cast<std::size_t>(shape.main);
    if (shape.bonus)
        numbers.push_back(bonusColumn ? bonus.front() : main[rest++]);
    for (int k = 0; k < shape.second; ++k)
        numbers.push_back(secondColumns ? second[static_cast<std::size_t>(k)] : main[rest++]);
    HistoryDraw draw;
    Assign(shape, numbers, draw.numbers);
    for (const auto& [division, c] : group.prizes) {
        const std::string field = fieldAt(c);
        std::int64_t value = -1;
        if (!field.empty() && field != "-") {
            const auto amount = ReadFileAmount(field);
            if (!amount)
                return FieldText(static_cast<std::size_t>(c), field) + " is not an amount of money" +
                       ColumnOf(static_cast<std::size_t>(c), layout);
            value = *amount;
        }
        if (division > 0 && division <= 64) {
            if (draw.prizes.size() < static_cast<std::size_t>(division))
                draw.prizes.resize(static_cast<std::size_t>(division), -1);
            draw.prizes[static_cast<std::size_t>(division - 1)] = value;
        }
    }
    out = std::move(draw);
    return std::nullopt;
}

// A line read by the columns its header names: the date from its column, each draw from its own.
DrawsLine ReadByHeader(const std::vector<std::string>& fields, const HeaderLayout& layout, const LineRules& rules)
{
    DrawsLine result;
    const auto fault = [&](std::string what) { return Faulted(DrawsLine::Kind::Fault, std::move(what)); };
    for (std::size_t c = fields.size(); c < layout.columns; ++c)
        if (layout.needed[c])
            return fault("holds " + Count(fields.size(), "field", "fields") + "; the header on line " +
                         std::to_string(layout.line) + " names " + std::to_string(layout.columns) + " columns");
    const auto fieldAt = [&](int c) {
        const auto at = static_cast<std::size_t>(c);
        return at < fields.size() ? fields[at] : std::string();
    };
    std::string date;
    if (layout.date >= 0) {
        const std::string f = fieldAt(layout.date);
        const auto at = static_cast<std::size_t>(layout.date);
        if (f.empty())
            return fault(FieldAt(at, f) + " is empty; it holds the draw's date" + ColumnOf(at, layout));
        const auto read = ReadDrawDate(f, rules.order);
        if (!read)
            return fault(FieldText(at, f) + " is not a date; " + DateForms(rules.order) + ColumnOf(at, layout));
        date = *read;
    } else if (layout.day >= 0) {
        const std::string d = fieldAt(layout.day), m = fieldAt(layout.month), y = fieldAt(layout.year);
        std::optional<std::string> read;
        if (AllDigits(d) && AllDigits(m) && AllDigits(y) && d.size() <= 2 && m.size() <= 2 && y.size() == 4)
            read = DateText(ToInt(y), ToInt(m), ToInt(d));
        if (!read)
            return fault("fields " + std::to_string(layout.month + 1) + ", " + std::to_string(layout.day + 1) +
                         " and " + std::to_string(layout.year + 1) + " (month \"" + ShownText(m) + "\", day \"" +
                         ShownText(d) + "\", year \"" + ShownText(y) + "\") are no day");
        date = *read;
    } else {
        for (std::size_t i = 0; i < fields.size() && date.empty(); ++i) {
            if (auto read = ReadDrawDate(fields[i], rules.order))
                date = *read;
            else if (DateShaped(fields[i]))
                return fault(FieldText(i, fields[i]) + " is not a date; " + DateForms(rules.order));
        }
    }
    bool first = true;
    for (const auto& group : layout.groups) {
        if (!group.read)
            continue;
        std::optional<HistoryDraw> draw;
        if (auto f = ReadGroup(fields, layout, group, first, rules, draw))
            return fault(std::move(*f));
        if (draw) {
            draw->date = date;
            if (first)
                result.draw = std::move(*draw);
            else if (!result.second)
                result.second = std::move(*draw);
        }
        first = false;
    }
    result.kind = DrawsLine::Kind::Draw;
    return result;
}

// In a file whose fields ";" alone parts, a line that holds a date or a draw when commas and tabs
// part it too is a draw written with other separators, never a header to pass over.
bool PartedOtherwise(std::string_view line, const LineRules& rules)
{
    bool unclosed = false;
    return rules.separator != 0 && !HeaderLike(SplitFields(line, 0, unclosed), rules);
}

// Reads one line: by its header's columns when there is a header, else by position.
// "fields 2 to 3 (5 + 1 numbers)", "field 2 (6 numbers)".
std::string SpreadText(const std::pair<std::size_t, std::vector<int>>& spread)
{
    const auto& [from, counts] = spread;
    std::string text = counts.size() == 1
                           ? "field " + std::to_string(from + 1)
                           : "fields " + std::to_string(from + 1) + " to " + std::to_string(from + counts.size());
    text += " (";
    for (std::size_t i = 0; i < counts.size(); ++i)
        text += (i > 0 ? " + " : "") + std::to_string(counts[i]);
    return text + (counts.size() == 1 && counts[0] == 1 ? " number)" : " numbers)");
}

DrawsLine ReadOneLine(std::string_view line, const LineRules& rules, const HeaderLayout* layout)
{
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    if (first == line.size() || line[first] == '#')
        return {};
    bool unclosed = false;
    const auto fields = SplitFields(line, rules.separator, unclosed);
    if (unclosed) {
        // Text with a stray quote may be a header; a line that holds a draw is refused for it.
        std::string plain(line);
        std::erase(plain, '"');
        bool again = false;
        const bool header =
            HeaderLike(SplitFields(plain, rules.separator, again), rules) && !PartedOtherwise(plain, rules);
        return Faulted(header ? DrawsLine::Kind::Header : DrawsLine::Kind::Fault,
                       "holds a quote (\") that is not closed");
    }
    // A line of nothing but the draw's numbers reads as one without a date, as in a file without a
    // header; not where the header names day, month and year columns, which such a line fills.
    const bool justNumbers = std::all_of(fields.begin(), fields.end(), [&](const std::string& f) {
        return f.empty() || (WholeNumbers(f) && !ReadDrawDate(f, rules.order));
    });
    DrawsLine read;
    if (layout && (!justNumbers || layout->day >= 0) && !HeaderLike(fields, rules))
        read = ReadByHeader(fields, *layout, rules);
    else
        read = ReadByPosition(fields, rules);
    if (read.kind == DrawsLine::Kind::Header && PartedOtherwise(line, rules))
        return Faulted(DrawsLine::Kind::Fault, "holds a draw parted by commas or tabs; the first line of this file "
                                               "parts its fields by \";\" alone");
    if (read.kind != DrawsLine::Kind::Draw)
        return read;
    // Draws outside the days asked for are passed over before the game's rules are asked: a
    // matrix change beyond them does not refuse the file.
    if (!rules.from.empty() || !rules.to.empty()) {
        const auto outside = [&](const HistoryDraw& d) {
            return (!rules.from.empty() && d.date < rules.from) || (!rules.to.empty() && d.date > rules.to);
        };
        if (read.draw.date.empty())
            return Faulted(DrawsLine::Kind::Fault, "holds no date; a range of days needs dated draws");
        if (read.second && outside(*read.second)) {
            read.second.reset();
            ++read.outside;
        }
        if (outside(read.draw)) {
            ++read.outside;
            if (!read.second) {
                read.kind = DrawsLine::Kind::Skip;
                return read;
            }
            read.draw = std::move(*read.second);
            read.second.reset();
        }
    }
    for (HistoryDraw* d : {&read.draw, read.second ? &*read.second : nullptr}) {
        if (!d)
            continue;
        if (auto refusal = RuleFault(rules, d->numbers, d->draw)) {
            read.kind = DrawsLine::Kind::Fault;
            read.fault = std::move(*refusal);
            read.second.reset();
            return read;
        }
    }
    return read;
}

}  // namespace

DrawsLine ReadDrawsLine(std::string_view line, const CheckGame& game, int pool, DateOrder order)
{
    LineRules rules;
    rules.shape = DrawShapeOf(game, pool);
    rules.game = &game;
    rules.order = order == DateOrder::Unknown ? DateOrder::MonthFirst : order;
    return ReadOneLine(line, rules, nullptr);
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
    bool namedDays = false;  // the header the draws are read by names the day, month and year columns
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
                    namedDays = layout->day >= 0;
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
