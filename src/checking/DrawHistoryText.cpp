#include <algorithm>
#include <array>
#include <cstdio>

#include "checking/DrawHistoryParts.h"

namespace bm {

namespace draws {

bool AllDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

int ToInt(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = std::min(v * 10 + (c - '0'), 1'000'000);
    return v;
}

std::vector<std::string> SplitFields(std::string_view line, char separator, bool& unclosed)
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
        } else if (separator ? c == separator : (c == ',' || c == ';' || c == '\t')) {
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

std::optional<std::string> DateText(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || year > 9999 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return std::string(text);
}

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = Lower(c);
    return out;
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

// 1 to 12 for an English or French month's name or its short form ("Feb", "Sept", "févr"), else 0.
int MonthOfName(std::string_view word)
{
    static constexpr std::array<const char*, 12> kEnglish = {"january",   "february", "march",    "april",
                                                             "may",       "june",     "july",     "august",
                                                             "september", "october",  "november", "december"};
    const std::string w = Lowered(word);
    if (w.size() < 3)
        return 0;
    for (std::size_t m = 0; m < kEnglish.size(); ++m) {
        const std::string_view name = kEnglish[m];
        if (w == name || (w.size() >= 3 && name.starts_with(w) && (w.size() == 3 || w == "sept")))
            return static_cast<int>(m) + 1;
    }
    return 0;
}

bool IsDayName(std::string_view word)
{
    static constexpr const char* kDays[] = {"monday",   "tuesday",  "wednesday", "thursday", "friday",
                                            "saturday", "sunday",   "lundi",     "mardi",    "mercredi",
                                            "jeudi",    "vendredi", "samedi",    "dimanche"};
    const std::string w = Lowered(word);
    for (std::string_view day : kDays)
        if (w == day || (w.size() == 3 && day.starts_with(w) && day.ends_with("day")))
            return true;
    return false;
}

// The field without a day's name before it ("Sat 2020-01-04", "Saturday, June 12, 1982").
std::string_view WithoutDayName(std::string_view f)
{
    std::size_t end = 0;
    while (end < f.size() && IsLetter(f[end]))
        ++end;
    if (end == 0 || !IsDayName(f.substr(0, end)))
        return f;
    std::size_t next = end;
    while (next < f.size() && (IsBlank(f[next]) || f[next] == ',' || f[next] == '.'))
        ++next;
    return next > end ? f.substr(next) : f;
}

// The field without a time of day after an ISO date ("2020-01-04T00:00:00", "2020-01-04 20:30").
std::string_view WithoutTime(std::string_view f)
{
    if (f.size() <= 10 || f[4] != '-' || f[7] != '-' || (f[10] != 'T' && f[10] != ' '))
        return f;
    const std::string_view time = f.substr(11);
    if (time.size() < 4 || !IsDigit(time[0]) || time.find_first_not_of("0123456789:.Z+-") != std::string_view::npos)
        return f;
    return f.substr(0, 10);
}

// The words of a date written with a month's name: runs of letters or digits.
std::vector<std::string_view> DateWords(std::string_view f, bool& clean)
{
    std::vector<std::string_view> words;
    clean = true;
    std::size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        if (IsBlank(c) || c == ',' || c == '-' || c == '.' || c == '/') {
            ++i;
            continue;
        }
        std::size_t j = i;
        if (IsDigit(c))
            while (j < f.size() && IsDigit(f[j]))
                ++j;
        else if (IsLetter(c))
            while (j < f.size() && IsLetter(f[j]))
                ++j;
        else {
            clean = false;
            return words;
        }
        words.push_back(f.substr(i, j - i));
        i = j;
    }
    return words;
}

// "06-Feb-2013", "6 February 2013", "June 12, 1982", "Jan 4 2020": the day, month and year
// (day 0 when the field has none of these shapes).
struct NamedDate {
    std::string_view day, year;
    int month = 0;
};
NamedDate NamedMonthDate(std::string_view f)
{
    bool clean = false;
    const auto w = DateWords(f, clean);
    if (!clean || w.size() != 3 || w[2].size() != 4 || !AllDigits(w[2]))
        return {};
    if (AllDigits(w[0]) && w[0].size() <= 2 && MonthOfName(w[1]))
        return {w[0], w[2], MonthOfName(w[1])};
    if (MonthOfName(w[0]) && AllDigits(w[1]) && w[1].size() <= 2)
        return {w[1], w[2], MonthOfName(w[0])};
    return {};
}

}  // namespace

OrderEvidence DateOrderEvidence(std::string_view a, std::string_view b, std::string_view year)
{
    OrderEvidence e;
    if (!AllDigits(a) || !AllDigits(b) || !AllDigits(year) || a.size() > 2 || b.size() > 2 || year.size() != 4)
        return e;
    e.shaped = true;
    const int y = ToInt(year);
    e.dayFirst = DateText(y, ToInt(b), ToInt(a)).has_value();
    e.monthFirst = DateText(y, ToInt(a), ToInt(b)).has_value();
    return e;
}

OrderEvidence DateOrderEvidence(std::string_view field)
{
    field = WithoutDayName(field);
    std::string_view p[3];
    for (char sep : {'/', '-'})
        if (ThreeParts(field, sep, p))
            return DateOrderEvidence(p[0], p[1], p[2]);
    return {};
}

std::optional<std::string> ThreeFieldDate(std::string_view a, std::string_view b, std::string_view year,
                                          DateOrder order)
{
    const int y = ToInt(year);
    if (order == DateOrder::DayFirst)
        return DateText(y, ToInt(b), ToInt(a));
    return DateText(y, ToInt(a), ToInt(b));
}

bool ThreeFieldDateAt(const std::vector<std::string>& fields, std::size_t at)
{
    return at + 2 < fields.size() && DateOrderEvidence(fields[at], fields[at + 1], fields[at + 2]).shaped;
}

bool DateShaped(std::string_view field)
{
    field = WithoutDayName(field);
    std::string_view p[3];
    for (char sep : {'-', '/', '.'})
        if (ThreeParts(field, sep, p) && p[0].size() <= 4 && p[1].size() <= 4 && p[2].size() <= 4 &&
            (p[0].size() == 4 || p[2].size() == 4 || (p[2].size() == 2 && p[0].size() <= 2 && p[1].size() <= 2)))
            return true;
    bool clean = false;
    const auto w = DateWords(field, clean);
    if (clean && w.size() == 3) {
        const bool numbers = AllDigits(w[2]) && (AllDigits(w[0]) || AllDigits(w[1]));
        if (numbers && (MonthOfName(w[0]) || MonthOfName(w[1])))
            return true;
    }
    return false;
}

}  // namespace draws

std::optional<DateOrder> DateOrderFromText(std::string_view text)
{
    const std::string t = draws::Lowered(text);
    if (t == "dmy")
        return DateOrder::DayFirst;
    if (t == "mdy")
        return DateOrder::MonthFirst;
    return std::nullopt;
}

std::optional<std::string> ReadDrawDate(std::string_view f, DateOrder order)
{
    using namespace draws;
    f = WithoutTime(WithoutDayName(f));
    std::string_view p[3];
    if (f.size() == 8 && AllDigits(f))
        return DateText(ToInt(f.substr(0, 4)), ToInt(f.substr(4, 2)), ToInt(f.substr(6, 2)));
    for (char sep : {'-', '/'}) {
        if (ThreeParts(f, sep, p) && p[0].size() == 4 && p[1].size() <= 2 && p[2].size() <= 2)
            return DateText(ToInt(p[0]), ToInt(p[1]), ToInt(p[2]));
        if (ThreeParts(f, sep, p) && p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
            return ThreeFieldDate(p[0], p[1], p[2], order);
    }
    if (ThreeParts(f, '.', p) && p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
        return DateText(ToInt(p[2]), ToInt(p[1]), ToInt(p[0]));
    if (const NamedDate named = NamedMonthDate(f); named.month)
        return DateText(ToInt(named.year), named.month, ToInt(named.day));
    return std::nullopt;
}

std::optional<std::int64_t> ReadFileAmount(std::string_view text)
{
    constexpr std::int64_t kMost = 100'000'000'000;  // whole units
    // Blanks, no-break spaces and currency marks around the amount are not part of it.
    static constexpr std::string_view kMarks[] = {
        "\xC2\xA0", "\xE2\x80\xAF", "$",   "\xE2\x82\xAC", "\xC2\xA3", "EUR", "eur", "USD",
        "AUD",      "CAD",          "GBP", "CHF",          "NZD",      "Eur", " ",   "\t"};
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (std::string_view mark : kMarks) {
            if (text.starts_with(mark)) {
                text.remove_prefix(mark.size());
                trimmed = true;
            }
            if (text.ends_with(mark)) {
                text.remove_suffix(mark.size());
                trimmed = true;
            }
        }
    }
    if (text.empty() || text == "-")
        return std::nullopt;
    // The decimal mark is the last "." or "," with one or two digits after it; every other
    // mark, a blank or an apostrophe groups thousands, three digits a group.
    std::int64_t cents = 0;
    const std::size_t mark = text.find_last_of(".,");
    if (mark != std::string_view::npos) {
        const std::string_view fraction = text.substr(mark + 1);
        if (!fraction.empty() && fraction.size() <= 2 && draws::AllDigits(fraction)) {
            cents = draws::ToInt(fraction) * (fraction.size() == 1 ? 10 : 1);
            text = text.substr(0, mark);
        }
    }
    std::int64_t whole = 0;
    std::size_t group = 0;  // digits since the last grouping mark
    bool grouped = false;
    bool firstGroup = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (draws::IsDigit(c)) {
            whole = whole * 10 + (c - '0');
            if (whole > kMost)
                return std::nullopt;
            ++group;
            continue;
        }
        std::size_t width = 1;
        if (text.substr(i).starts_with("\xC2\xA0"))
            width = 2;
        else if (text.substr(i).starts_with("\xE2\x80\xAF"))
            width = 3;
        else if (c != ',' && c != '.' && c != ' ' && c != '\'')
            return std::nullopt;
        if (group == 0 || (firstGroup ? group > 3 : group != 3))
            return std::nullopt;
        grouped = true;
        firstGroup = false;
        group = 0;
        i += width - 1;
    }
    if (group == 0 || (grouped && group != 3))
        return std::nullopt;
    return whole * 100 + cents;
}

namespace draws {

namespace {

// UTF-8 letters with accents as their plain letter; other bytes beyond ASCII part words.
char Folded(unsigned char lead, unsigned char next)
{
    if (lead != 0xC3)
        return 0;
    const unsigned char c = next | 0x20;  // lower case
    if (c >= 0xA0 && c <= 0xA5)
        return 'a';
    if (c == 0xA7)
        return 'c';
    if (c >= 0xA8 && c <= 0xAB)
        return 'e';
    if (c >= 0xAC && c <= 0xAF)
        return 'i';
    if (c == 0xB1)
        return 'n';
    if (c >= 0xB2 && c <= 0xB6)
        return 'o';
    if (c >= 0xB9 && c <= 0xBC)
        return 'u';
    return 0;
}

// The words of a column's name, lower case: runs of letters and runs of digits ("DrawNumber",
// "boule_1_second_tirage", "rang1" each give their words); "#" is a word.
std::vector<std::string> NameWords(std::string_view name)
{
    std::vector<std::string> words;
    std::string word;
    int kind = 0;  // of the word so far: 1 letters, 2 digits
    const auto flush = [&] {
        if (!word.empty())
            words.push_back(word);
        word.clear();
        kind = 0;
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            const char folded = i + 1 < name.size() ? Folded(u, static_cast<unsigned char>(name[i + 1])) : 0;
            if (!folded) {
                flush();
                continue;
            }
            ++i;
            c = folded;
        }
        const int k = IsLetter(c) ? 1 : IsDigit(c) ? 2 : 0;
        // A capital after a small letter starts a word: "DrawDate".
        const bool camel =
            k == 1 && kind == 1 && c >= 'A' && c <= 'Z' && i > 0 && name[i - 1] >= 'a' && name[i - 1] <= 'z';
        if (k == 0 || k != kind || camel)
            flush();
        if (c == '#') {
            words.emplace_back("#");
            continue;
        }
        if (k == 0)
            continue;
        word += Lower(c);
        kind = k;
    }
    flush();
    return words;
}

bool Has(const std::vector<std::string>& words, std::initializer_list<std::string_view> any)
{
    for (const auto& w : words)
        for (std::string_view a : any)
            if (w == a)
                return true;
    return false;
}

bool HasPart(const std::vector<std::string>& words, std::initializer_list<std::string_view> any)
{
    for (const auto& w : words)
        for (std::string_view a : any)
            if (w.find(a) != std::string::npos)
                return true;
    return false;
}

Column KindOf(const std::vector<std::string>& w)
{
    if (HasPart(w, {"winner",    "gagnant",    "gewinner",    "ganador",   "vincitor",    "joker",
                    "multipl",   "megaplier",  "millionaire", "raffle",    "combinaison", "combination",
                    "croissant", "forclusion", "deadline",    "devise",    "currency",    "promotion",
                    "rollover",  "estimated",  "weekday",     "powerplay", "sequence"}) ||
        Has(w, {"set", "machine", "code", "codes", "sorted", "claim", "product", "game", "total", "sales", "name",
                "dow", "jackpot"}) ||
        (Has(w, {"power"}) && Has(w, {"play"})))
        return Column::Other;
    if (Has(w, {"drawnumber", "drawno", "drawnr", "drawid"}) ||
        (Has(w, {"draw", "tirage", "ziehung", "sorteo", "concurso", "estrazione", "trekking"}) &&
         Has(w, {"number", "no", "nr", "num", "numero", "id", "#", "nummer", "n"})) ||
        (w.size() == 1 && Has(w, {"draw", "tirage", "ziehung", "sorteo", "concurso"})))
        return Column::DrawNumber;
    if (Has(w, {"date", "datum", "fecha", "data", "drawdate"}))
        return Column::Date;
    if (w.size() == 1) {
        if (Has(w, {"day", "jour", "tag", "dia"}))
            return Column::Day;
        if (Has(w, {"month", "mois", "monat", "mes", "mese"}))
            return Column::Month;
        if (Has(w, {"year", "annee", "jahr", "ano", "anno"}))
            return Column::Year;
    }
    if (Has(w, {"powerball", "pb",       "megaball",    "star",       "stars",       "etoile",   "etoiles",
                "chance",    "cashball", "thunderball", "euronumber", "euronumbers", "eurozahl", "eurozahlen",
                "stern",     "sterne",   "lifeball",    "luckyball",  "superzahl",   "lucky"}) ||
        (Has(w, {"mega", "cash", "life", "power"}) && Has(w, {"ball", "balls"})) ||
        (Has(w, {"euro"}) && Has(w, {"number", "numbers"})))
        return Column::Second;
    if (Has(w, {"bonus", "supplementary", "supp", "supps", "supplementaire", "supplementaires", "complementario",
                "complementaire", "complementare", "zusatzzahl", "additional"}))
        return Column::Bonus;
    if (Has(w, {"division", "div",      "divisions", "prize",    "prizes",  "payout", "payouts", "rapport",
                "rapports", "dividend", "dividends", "premio",   "premios", "quote",  "quota",   "gewinnquote",
                "amount",   "rang",     "tier",      "winnings", "gain",    "gains"}))
        return Column::Prize;
    if (Has(w, {"ball",   "balls",   "number", "numbers", "num",  "nums",   "n",      "boule",   "boules",
                "numero", "numeros", "zahl",   "zahlen",  "bola", "bolas",  "numeri", "winning", "drawn",
                "wb",     "white",   "nr",     "no",      "nos",  "result", "results"}))
        return Column::Main;
    return Column::Other;
}

// The draw of the line a column belongs to, by the words that name it.
std::string GroupOf(const std::vector<std::string>& w)
{
    std::string group;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const std::string& word = w[i];
        const std::string next = i + 1 < w.size() ? w[i + 1] : "";
        std::string mark;
        if (word == "second" || word == "deuxieme" || word == "zweite" || word == "segundo" || word == "secondo" ||
            (word == "2" && (next == "nd" || next == "eme" || next == "e")))
            mark = "2";
        else if (word == "midday" || word == "evening" || word == "night" || word == "noon" || word == "midi" ||
                 word == "soir" || word == "matin" || word == "morning" || word == "afternoon")
            mark = word;
        if (!mark.empty()) {
            if (!group.empty())
                group += ' ';
            group += mark;
        }
    }
    return group;
}

}  // namespace

std::vector<ColumnName> ReadColumnNames(const std::vector<std::string>& fields, DateOrder& order)
{
    std::vector<ColumnName> names;
    for (const std::string& field : fields) {
        const auto w = NameWords(field);
        ColumnName name;
        name.text = field;
        if (w.size() == 1 && AllDigits(w[0]) && !names.empty()) {
            // "Winning Number 1, 2, 3": the column before, numbered on.
            const ColumnName& before = names.back();
            if (before.kind == Column::Main || before.kind == Column::Bonus || before.kind == Column::Second ||
                before.kind == Column::Prize) {
                name.kind = before.kind;
                name.group = before.group;
            }
            name.index = ToInt(w[0]);
            names.push_back(name);
            continue;
        }
        name.kind = KindOf(w);
        name.group = GroupOf(w);
        for (const auto& word : w)
            if (AllDigits(word)) {
                name.index = ToInt(word);
                break;
            }
        // Languages that write their dates day first.
        if (Has(w, {"tirage", "boule", "boules", "jour", "gagnant", "rapport", "datum", "ziehung", "zahlen", "fecha",
                    "sorteo", "estrazione", "numeri", "trekking", "concurso", "dezenas"}))
            order = DateOrder::DayFirst;
        names.push_back(name);
    }
    return names;
}

}  // namespace draws

}  // namespace bm
