#pragma once

// The pieces of a results file's reading that know nothing of the reader: fields, dates, the
// names of a header's columns. Used by DrawHistory.cpp and its tests only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checking/DrawHistory.h"

namespace bm::draws {

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool AllDigits(std::string_view s);
int ToInt(std::string_view s);

// Splits at commas, semicolons and tabs outside double quotes, or at `separator` alone when it is
// not 0; blanks around a field and the quotes are removed ("" inside quotes is one quote).
std::vector<std::string> SplitFields(std::string_view line, char separator, bool& unclosed);

// The whole numbers of a field made of nothing else (blank-separated), or nothing when the
// field holds other text. Digits beyond nine are kept as a value no game has.
std::optional<std::vector<std::int32_t>> WholeNumbers(std::string_view field);

// "YYYY-MM-DD" of a real day, or nothing.
std::optional<std::string> DateText(int year, int month, int day);

// A field written as a date that names no day (or a two-digit year): no header, no number.
bool DateShaped(std::string_view field);

// Which readings a field "A/B/YYYY" or "A-B-YYYY" allows: none when it is no such field.
struct OrderEvidence {
    bool shaped = false;      // a date whose order matters
    bool dayFirst = false;    // it names a day read day first
    bool monthFirst = false;  // ... month first
};
OrderEvidence DateOrderEvidence(std::string_view field);
OrderEvidence DateOrderEvidence(std::string_view a, std::string_view b, std::string_view year);

// Day, month and year in three consecutive fields ("10,7,2015"): `at` is the first of them. A
// year of four digits after two numbers of one or two digits.
bool ThreeFieldDateAt(const std::vector<std::string>& fields, std::size_t at);
std::optional<std::string> ThreeFieldDate(std::string_view a, std::string_view b, std::string_view year,
                                          DateOrder order);

// What a header names a column.
enum class Column { Other, DrawNumber, Date, Day, Month, Year, Main, Bonus, Second, Prize };
struct ColumnName {
    Column kind = Column::Other;
    std::string group;  // "" for the first draw of a line; "2", "midday" ... for another
    int index = 0;      // the number in the name ("Division 3": 3), 0 when none
    std::string text;   // as the header writes it
};
// The columns a header line names; a bare number continues the column before it ("Winning
// Number 1, 2, 3"). `order` becomes DayFirst when the names are in a language that writes
// dates day first.
std::vector<ColumnName> ReadColumnNames(const std::vector<std::string>& fields, DateOrder& order);

}  // namespace bm::draws
