#pragma once

// One line of a results file read into a draw, by its header's columns or by position: what the
// file reader (DrawHistory.cpp) and the line reader (DrawLineReading.cpp) share.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checking/DrawHistory.h"
#include "checking/DrawHistoryParts.h"

namespace bm::draws {

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

// Whether a line is a header's text rather than a draw: it holds no date (nor a field written
// like one), not a whole draw's numbers in consecutive fields, and some text.
bool HeaderLike(const std::vector<std::string>& fields, const LineRules& rules);
// The columns a header names, or nothing when it names no draw's numbers.
std::optional<HeaderLayout> LayoutOf(const std::vector<ColumnName>& names, std::int64_t line, const DrawShape& shape);
// In a file whose fields ";" alone parts: a line that is a draw when commas and tabs part it too.
bool PartedOtherwise(std::string_view line, const LineRules& rules);
// "fields 2 to 3 (5 + 1 numbers)", "field 2 (6 numbers)".
std::string SpreadText(const std::pair<std::size_t, std::vector<int>>& spread);
// One line: by the header's columns when `layout` is given, else by position.
DrawsLine ReadOneLine(std::string_view line, const LineRules& rules, const HeaderLayout* layout);

}  // namespace bm::draws
