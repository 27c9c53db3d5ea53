// Reading one line of a results file: its fields, the draw's numbers by position or by the
// columns a header names, and every refusal worded with the field it is about.
#include "checking/DrawLineReading.h"

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

namespace {

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

}  // namespace

// Whether a line is a header's text rather than a draw: it holds no date (nor a field written
// like one), not a whole draw's numbers in consecutive fields, and some text.
bool draws::HeaderLike(const std::vector<std::string>& fields, const LineRules& rules)
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

namespace {

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

}  // namespace

std::optional<HeaderLayout> draws::LayoutOf(const std::vector<ColumnName>& names, std::int64_t line,
                                            const DrawShape& shape)
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

namespace {

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

}  // namespace

// In a file whose fields ";" alone parts, a line that holds a date or a draw when commas and tabs
// part it too is a draw written with other separators, never a header to pass over.
bool draws::PartedOtherwise(std::string_view line, const LineRules& rules)
{
    bool unclosed = false;
    return rules.separator != 0 && !HeaderLike(SplitFields(line, 0, unclosed), rules);
}

// "fields 2 to 3 (5 + 1 numbers)", "field 2 (6 numbers)".
std::string draws::SpreadText(const std::pair<std::size_t, std::vector<int>>& spread)
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

// Reads one line: by its header's columns when there is a header, else by position.
DrawsLine draws::ReadOneLine(std::string_view line, const LineRules& rules, const HeaderLayout* layout)
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
    if (layout && (!justNumbers || layout->day >= 0) && !HeaderLike(fields, rules)) {
        read = ReadByHeader(fields, *layout, rules);
    } else {
        read = ReadByPosition(fields, rules);
        // Month, day and year found across three of its fields lie in columns the header gives to
        // something else when it names the date's column: that column refuses the line.
        if (layout && layout->date >= 0 && read.kind == DrawsLine::Kind::Draw && !read.draw.date.empty())
            read = ReadByHeader(fields, *layout, rules);
    }
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

DrawsLine ReadDrawsLine(std::string_view line, const CheckGame& game, int pool, DateOrder order)
{
    LineRules rules;
    rules.shape = DrawShapeOf(game, pool);
    rules.game = &game;
    rules.order = order == DateOrder::Unknown ? DateOrder::MonthFirst : order;
    return ReadOneLine(line, rules, nullptr);
}

}  // namespace bm
