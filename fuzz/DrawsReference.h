#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bmfuzz {

// What a draws file must give, by the rules written down as plainly as possible: the fuzzer holds
// the buffered reader against it.
struct ReferenceGame {
    int mainDrawn = 6;
    enum class Extra { None, Bonus, Powerball } extra = Extra::None;
    int pool = 49;
    bool skip = false;  // lines after the headers that are no draws are passed over
    enum class Order { Unknown, DayFirst, MonthFirst } order = Order::Unknown;  // as the user gives it
};

struct ReferenceDraw {
    std::int64_t line = 0;
    std::string date;                   // "YYYY-MM-DD" or empty
    std::vector<std::int64_t> numbers;  // main numbers in file order, then the extra one
};

struct ReferenceDraws {
    // Refused before any draw is read: UTF-16 or UTF-32 text, or dates whose order the file
    // does not settle.
    enum class Refusal { None, Wide, OrdersEven, OrderUnknown } refusal = Refusal::None;
    std::int64_t dayFirstLine = 0, monthFirstLine = 0;              // OrdersEven: the first line of each
    std::int64_t eitherLine = 0;                                    // OrderUnknown: the first date read both ways
    ReferenceGame::Order order = ReferenceGame::Order::MonthFirst;  // how "01/02/2020" reads
    // A header before the draws names their columns: the file is read by it, and what follows
    // here does not hold.
    bool byHeader = false;

    std::vector<ReferenceDraw> draws;
    bool fault = false;
    std::int64_t faultLine = 0;  // 0: the file holds no draw
    std::int64_t skipped = 0, firstSkipped = 0;
    std::int64_t repeated = 0, outOfOrderLine = 0;
};

ReferenceDraws ReadDrawsPlainly(std::string_view bytes, const ReferenceGame& game);

}  // namespace bmfuzz
