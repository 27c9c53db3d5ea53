#include "DrawsReference.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

namespace bmfuzz {

namespace {

using Order = ReferenceGame::Order;

constexpr std::size_t kMaxLine = 4096;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool Digits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), IsDigit);
}

int Value(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = std::min(v * 10 + (c - '0'), 1000000);
    return v;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool OneOf(std::string_view word, std::initializer_list<std::string_view> words)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

std::vector<std::string_view> Split(std::string_view text, char at)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(at, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// ---- Dates ----

std::optional<std::string> Day(int year, int month, int day)
{
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || year > 9999 || month < 1 || month > 12 || day < 1 || day > days[month - 1])
        return std::nullopt;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return std::string(text);
}

// Exactly three runs of digits joined by `sep`.
bool Three(std::string_view field, char sep, std::vector<std::string_view>& p)
{
    p = Split(field, sep);
    return p.size() == 3 && Digits(p[0]) && Digits(p[1]) && Digits(p[2]);
}

// "Sat 2020-01-04", "Saturday, June 12, 1982", "samedi 4.1.2020": the date after the day's name.
std::string_view WithoutDayName(std::string_view f)
{
    std::size_t end = 0;
    while (end < f.size() && IsLetter(f[end]))
        ++end;
    const std::string word = Lower(f.substr(0, end));
    const bool day = OneOf(word, {"monday", "tuesday", "wednesday", "thursday", "friday",   "saturday", "sunday",
                                  "mon",    "tue",     "wed",       "thu",      "fri",      "sat",      "sun",
                                  "lundi",  "mardi",   "mercredi",  "jeudi",    "vendredi", "samedi",   "dimanche"});
    std::size_t next = end;
    while (next < f.size() && (IsBlank(f[next]) || f[next] == ',' || f[next] == '.'))
        ++next;
    return day && next > end ? f.substr(next) : f;
}

// "2020-01-04T20:30:00Z", "2020-01-04 20:30": the date without its time.
std::string_view WithoutTime(std::string_view f)
{
    if (f.size() < 15 || f[4] != '-' || f[7] != '-' || (f[10] != 'T' && f[10] != ' ') || !IsDigit(f[11]))
        return f;
    for (char c : f.substr(11))
        if (!IsDigit(c) && c != ':' && c != '.' && c != 'Z' && c != '+' && c != '-')
            return f;
    return f.substr(0, 10);
}

int MonthNamed(std::string_view word)
{
    static const char* const kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                          "july",    "august",   "september", "october", "november", "december"};
    const std::string w = Lower(word);
    for (int m = 0; m < 12; ++m) {
        const std::string_view name = kMonths[m];
        if (w == name || (w.size() == 3 && name.substr(0, 3) == w) || (m == 8 && w == "sept"))
            return m + 1;
    }
    return 0;
}

// The pieces of a date written with a month's name: runs of letters and runs of digits, apart
// or parted by blanks, commas, dashes, dots and slashes. Nothing for any other character.
std::optional<std::vector<std::string_view>> Pieces(std::string_view f)
{
    std::vector<std::string_view> pieces;
    for (std::size_t i = 0; i < f.size();) {
        if (IsBlank(f[i]) || f[i] == ',' || f[i] == '-' || f[i] == '.' || f[i] == '/') {
            ++i;
            continue;
        }
        const bool digit = IsDigit(f[i]);
        if (!digit && !IsLetter(f[i]))
            return std::nullopt;
        std::size_t j = i;
        while (j < f.size() && (digit ? IsDigit(f[j]) : IsLetter(f[j])))
            ++j;
        pieces.push_back(f.substr(i, j - i));
        i = j;
    }
    return pieces;
}

// A field as a date in the file's order, or nothing.
std::optional<std::string> Date(std::string_view f, Order order)
{
    f = WithoutTime(WithoutDayName(f));
    if (f.size() == 8 && Digits(f))
        return Day(Value(f.substr(0, 4)), Value(f.substr(4, 2)), Value(f.substr(6, 2)));
    std::vector<std::string_view> p;
    for (char sep : {'-', '/'}) {
        if (!Three(f, sep, p))
            continue;
        if (p[0].size() == 4 && p[1].size() <= 2 && p[2].size() <= 2)
            return Day(Value(p[0]), Value(p[1]), Value(p[2]));
        if (p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
            return order == Order::DayFirst ? Day(Value(p[2]), Value(p[1]), Value(p[0]))
                                            : Day(Value(p[2]), Value(p[0]), Value(p[1]));
        return std::nullopt;
    }
    if (Three(f, '.', p))
        return p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4 ? Day(Value(p[2]), Value(p[1]), Value(p[0]))
                                                                        : std::nullopt;
    const auto w = Pieces(f);
    if (!w || w->size() != 3 || (*w)[2].size() != 4 || !Digits((*w)[2]))
        return std::nullopt;
    const std::string_view a = (*w)[0], b = (*w)[1];
    if (Digits(a) && a.size() <= 2 && MonthNamed(b))
        return Day(Value((*w)[2]), MonthNamed(b), Value(a));
    if (MonthNamed(a) && Digits(b) && b.size() <= 2)
        return Day(Value((*w)[2]), MonthNamed(a), Value(b));
    return std::nullopt;
}

// A field written as a date, a good one or not: three runs of digits of at most four parted by
// "-", "/" or "." with a year of four digits first or last (or two last, after two short ones),
// or a day and a year with a month's name.
bool LooksLikeDate(std::string_view f)
{
    f = WithoutDayName(f);
    std::vector<std::string_view> p;
    for (char sep : {'-', '/', '.'})
        if (Three(f, sep, p) && p[0].size() <= 4 && p[1].size() <= 4 && p[2].size() <= 4 &&
            (p[0].size() == 4 || p[2].size() == 4 || (p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 2)))
            return true;
    const auto w = Pieces(f);
    return w && w->size() == 3 && Digits((*w)[2]) && (Digits((*w)[0]) || Digits((*w)[1])) &&
           (MonthNamed((*w)[0]) || MonthNamed((*w)[1]));
}

// How "A/B/YYYY" reads: whether it is such a date at all, and whether it names a day read day
// first, month first.
struct Readings {
    bool shaped = false, dayFirst = false, monthFirst = false;
};

Readings ReadingsOf(std::string_view a, std::string_view b, std::string_view year)
{
    Readings r;
    if (!Digits(a) || !Digits(b) || !Digits(year) || a.size() > 2 || b.size() > 2 || year.size() != 4)
        return r;
    r.shaped = true;
    r.dayFirst = Day(Value(year), Value(b), Value(a)).has_value();
    r.monthFirst = Day(Value(year), Value(a), Value(b)).has_value();
    return r;
}

Readings ReadingsOf(std::string_view f)
{
    f = WithoutDayName(f);
    std::vector<std::string_view> p;
    for (char sep : {'/', '-'})
        if (Three(f, sep, p))
            return ReadingsOf(p[0], p[1], p[2]);
    return {};
}

// Month, day and year (or day, month and year) in three fields of their own: "10,7,2015".
bool ThreeFieldsAt(const std::vector<std::string>& fields, std::size_t i)
{
    return i + 2 < fields.size() && ReadingsOf(fields[i], fields[i + 1], fields[i + 2]).shaped;
}

// ---- Fields and numbers ----

// Parted at `sep` (0: any of , ; and tab) outside double quotes; "" in quotes is a quote; blanks
// around each field dropped.
std::vector<std::string> Fields(std::string_view line, char sep, bool& unclosed)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[i++];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && (sep ? c == sep : c == ',' || c == ';' || c == '\t'))
            fields.emplace_back();
        else
            fields.back() += c;
    }
    unclosed = quoted;
    for (auto& f : fields) {
        const auto b = f.find_first_not_of(" \t");
        f = b == std::string::npos ? std::string() : f.substr(b, f.find_last_not_of(" \t") - b + 1);
    }
    return fields;
}

// The numbers of a field of blank-separated runs of digits (none for an empty field); nothing
// when it holds anything else. Values stop growing at a billion.
std::optional<std::vector<std::int64_t>> Whole(std::string_view field)
{
    std::vector<std::int64_t> numbers;
    for (std::string_view token : Split(field, ' ')) {
        for (std::string_view t : Split(token, '\t')) {
            if (t.empty())
                continue;
            if (!Digits(t))
                return std::nullopt;
            std::int64_t v = 0;
            for (char c : t)
                v = std::min<std::int64_t>(v * 10 + (c - '0'), 1000000000);
            numbers.push_back(v);
        }
    }
    return numbers;
}

// A header's text, not a draw: no field written as a date (nor three fields that make one), no
// run of consecutive fields of numbers as long as a draw, and some other text.
bool IsHeader(const std::vector<std::string>& fields, std::size_t want)
{
    bool text = false;
    std::size_t run = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (Date(fields[i], Order::MonthFirst) || LooksLikeDate(fields[i]) || ThreeFieldsAt(fields, i))
            return false;
        const auto n = fields[i].empty() ? std::nullopt : Whole(fields[i]);
        if (!n) {
            run = 0;
            text = text || !fields[i].empty();
        } else if ((run += n->size()) >= want) {
            return false;
        }
    }
    return text;
}

// ---- What a header's names say ----

// "é" as "e": the Latin letters with accents, written in UTF-8, as their plain letters.
char PlainLetter(std::string_view at)
{
    static const struct {
        const char* letters;
        char plain;
    } kAccented[] = {{"àáâãäåÀÁÂÃÄÅ", 'a'}, {"çÇ", 'c'},         {"èéêëÈÉÊË", 'e'}, {"ìíîïÌÍÎÏ", 'i'},
                     {"ñÑ", 'n'},           {"òóôõöÒÓÔÕÖ", 'o'}, {"ùúûüÙÚÛÜ", 'u'}};
    if (at.size() < 2)
        return 0;
    for (const auto& a : kAccented)
        for (std::size_t k = 0; a.letters[k]; k += 2)
            if (at.substr(0, 2) == std::string_view(a.letters + k, 2))
                return a.plain;
    return 0;
}

// The words of a column's name in lower case: runs of letters (a capital after a small letter
// begins a word: "DrawDate") and runs of digits; "#" is a word; anything else parts words.
std::vector<std::string> NameWords(std::string_view name)
{
    std::vector<std::string> words;
    std::string word;
    bool letters = false;
    const auto end = [&] {
        if (!word.empty())
            words.push_back(word);
        word.clear();
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            c = PlainLetter(name.substr(i));
            if (!c) {
                end();
                continue;
            }
            ++i;
        } else if (!IsLetter(c) && !IsDigit(c)) {
            end();
            if (c == '#')
                words.emplace_back("#");
            continue;
        }
        const bool letter = IsLetter(c);
        const bool capitalAfterSmall = c >= 'A' && c <= 'Z' && i > 0 && name[i - 1] >= 'a' && name[i - 1] <= 'z';
        if (!word.empty() && (letter != letters || capitalAfterSmall))
            end();
        word += Lower(std::string_view(&c, 1));
        letters = letter;
    }
    end();
    return words;
}

bool HasWord(const std::vector<std::string>& words, std::initializer_list<std::string_view> any)
{
    return std::any_of(words.begin(), words.end(), [&](const std::string& w) { return OneOf(w, any); });
}

bool HasWordWith(const std::vector<std::string>& words, std::initializer_list<std::string_view> any)
{
    for (const auto& w : words)
        for (std::string_view a : any)
            if (w.find(a) != std::string::npos)
                return true;
    return false;
}

enum class Named { Other, DrawNumber, Date, Day, Month, Year, Second, Bonus, Prize, Main };

// What a column's name says it holds, the first rule that fits deciding.
Named NameOf(const std::vector<std::string>& w)
{
    if (HasWordWith(w, {"winner",    "gagnant",    "gewinner",    "ganador",   "vincitor",    "joker",
                        "multipl",   "megaplier",  "millionaire", "raffle",    "combinaison", "combination",
                        "croissant", "forclusion", "deadline",    "devise",    "currency",    "promotion",
                        "rollover",  "estimated",  "weekday",     "powerplay", "sequence"}) ||
        HasWord(w, {"set", "machine", "code", "codes", "sorted", "claim", "product", "game", "total", "sales", "name",
                    "dow", "jackpot"}) ||
        (HasWord(w, {"power"}) && HasWord(w, {"play"})))
        return Named::Other;
    const bool drawWord = HasWord(w, {"draw", "tirage", "ziehung", "sorteo", "concurso"});
    if (HasWord(w, {"drawnumber", "drawno", "drawnr", "drawid"}) ||
        ((drawWord || HasWord(w, {"estrazione", "trekking"})) &&
         HasWord(w, {"number", "no", "nr", "num", "numero", "id", "#", "nummer", "n"})) ||
        (w.size() == 1 && drawWord))
        return Named::DrawNumber;
    if (HasWord(w, {"date", "datum", "fecha", "data", "drawdate"}))
        return Named::Date;
    if (w.size() == 1 && HasWord(w, {"day", "jour", "tag", "dia"}))
        return Named::Day;
    if (w.size() == 1 && HasWord(w, {"month", "mois", "monat", "mes", "mese"}))
        return Named::Month;
    if (w.size() == 1 && HasWord(w, {"year", "annee", "jahr", "ano", "anno"}))
        return Named::Year;
    if (HasWord(w, {"powerball", "pb",       "megaball",    "star",       "stars",       "etoile",   "etoiles",
                    "chance",    "cashball", "thunderball", "euronumber", "euronumbers", "eurozahl", "eurozahlen",
                    "stern",     "sterne",   "lifeball",    "luckyball",  "superzahl",   "lucky"}) ||
        (HasWord(w, {"mega", "cash", "life", "power"}) && HasWord(w, {"ball", "balls"})) ||
        (HasWord(w, {"euro"}) && HasWord(w, {"number", "numbers"})))
        return Named::Second;
    if (HasWord(w, {"bonus", "supplementary", "supp", "supps", "supplementaire", "supplementaires", "complementario",
                    "complementaire", "complementare", "zusatzzahl", "additional"}))
        return Named::Bonus;
    if (HasWord(w, {"division", "div",      "divisions", "prize",    "prizes",  "payout", "payouts", "rapport",
                    "rapports", "dividend", "dividends", "premio",   "premios", "quote",  "quota",   "gewinnquote",
                    "amount",   "rang",     "tier",      "winnings", "gain",    "gains"}))
        return Named::Prize;
    if (HasWord(w, {"ball",   "balls",   "number", "numbers", "num",  "nums",   "n",      "boule",   "boules",
                    "numero", "numeros", "zahl",   "zahlen",  "bola", "bolas",  "numeri", "winning", "drawn",
                    "wb",     "white",   "nr",     "no",      "nos",  "result", "results"}))
        return Named::Main;
    return Named::Other;
}

struct HeaderNames {
    bool main = false;       // it names a column of drawn numbers: the file is read by this header
    bool threeDays = false;  // ... and the date in day, month and year columns, with no date column
    bool dayFirst = false;   // its words are of a language that writes the day first
};

HeaderNames NamesOf(const std::vector<std::string>& fields)
{
    HeaderNames h;
    bool date = false, day = false, month = false, year = false;
    for (const auto& f : fields) {
        const auto w = NameWords(f);
        const Named n = NameOf(w);
        h.main = h.main || n == Named::Main;
        date = date || n == Named::Date;
        day = day || n == Named::Day;
        month = month || n == Named::Month;
        year = year || n == Named::Year;
        h.dayFirst = h.dayFirst || HasWord(w, {"tirage", "boule", "boules", "jour", "gagnant", "rapport", "datum",
                                               "ziehung", "zahlen", "fecha", "sorteo", "estrazione", "numeri",
                                               "trekking", "concurso", "dezenas"});
    }
    h.threeDays = h.main && !date && day && month && year;
    return h;
}

// ---- Lines ----

struct Line {
    std::int64_t number = 0;
    bool tooLong = false;
    bool carriageReturn = false;  // inside the line, after one at its end is taken off
    std::string_view text;
};

bool BlankOrComment(std::string_view text, const char* blanks)
{
    const auto first = text.find_first_not_of(blanks);
    return first == std::string_view::npos || text[first] == '#';
}

std::string WithoutQuotes(std::string_view text)
{
    std::string plain(text);
    plain.erase(std::remove(plain.begin(), plain.end(), '"'), plain.end());
    return plain;
}

// Whether the reading takes the line for a header: a line with an open quote by its text without
// quotes; in a file parted by ";", a line that is a header parted at commas and tabs too.
bool HeaderLine(const Line& line, char sep, std::size_t want)
{
    if (line.carriageReturn)
        return false;
    bool unclosed = false;
    Fields(line.text, sep, unclosed);
    const std::string text = unclosed ? WithoutQuotes(line.text) : std::string(line.text);
    return IsHeader(Fields(text, sep, unclosed), want) && (sep == 0 || IsHeader(Fields(text, 0, unclosed), want));
}

// One look at the whole file: its separator, whether it is read by a header, and the order of its
// dates (or why it is refused).
void Survey(const std::vector<Line>& lines, const ReferenceGame& game, std::size_t want, char& sep, ReferenceDraws& out)
{
    bool first = true, past = false, threeDays = false, dayFirstWords = false;
    std::int64_t dayFirst = 0, monthFirst = 0;
    for (const Line& line : lines) {
        if (line.tooLong) {
            past = true;
            continue;
        }
        if (BlankOrComment(line.text, " \t\r")) {
            past = past || line.carriageReturn;
            continue;
        }
        if (first) {
            // A ";" outside quotes in the first line: only it parts fields.
            first = false;
            bool quoted = false;
            for (char c : line.text) {
                quoted = quoted != (c == '"');
                if (c == ';' && !quoted)
                    sep = ';';
            }
        }
        bool unclosed = false;
        const auto fields = Fields(line.text, sep, unclosed);
        // Only the headers before the draws say what the draws are.
        const bool header = HeaderLine(line, sep, want);
        if (header && !past) {
            const HeaderNames names = NamesOf(fields);
            dayFirstWords = dayFirstWords || names.dayFirst;
            if (names.main && !unclosed) {
                out.byHeader = true;
                threeDays = names.threeDays;
            }
        }
        past = past || !header;
        if (IsHeader(fields, want))
            continue;
        const auto note = [&](const Readings& r) {
            if (!r.shaped)
                return;
            if (r.dayFirst && !r.monthFirst && dayFirst++ == 0)
                out.dayFirstLine = line.number;
            if (r.monthFirst && !r.dayFirst && monthFirst++ == 0)
                out.monthFirstLine = line.number;
            if (r.dayFirst && r.monthFirst && out.eitherLine == 0)
                out.eitherLine = line.number;
        };
        bool dated = false;
        for (const auto& f : fields) {
            const Readings r = ReadingsOf(f);
            note(r);
            dated = dated || r.shaped || Date(f, Order::MonthFirst);
        }
        // Three date fields tell only where the line has no date of one field and no header names them.
        for (std::size_t i = 0; !dated && !threeDays && i < fields.size(); ++i)
            if (ThreeFieldsAt(fields, i)) {
                note(ReadingsOf(fields[i], fields[i + 1], fields[i + 2]));
                break;
            }
    }
    if (game.order != Order::Unknown) {
        out.order = game.order;
    } else if (dayFirst > 0 || monthFirst > 0) {
        if (dayFirst == monthFirst)
            out.refusal = ReferenceDraws::Refusal::OrdersEven;
        out.order = dayFirst > monthFirst ? Order::DayFirst : Order::MonthFirst;
    } else if (out.eitherLine > 0) {
        if (!dayFirstWords)
            out.refusal = ReferenceDraws::Refusal::OrderUnknown;
        out.order = Order::DayFirst;
    }
}

enum class Kind { Skip, Header, Draw, Fault };

// Where a dated draw lies on its line: the field its numbers begin at, how many numbers each of
// its fields holds, and how many fields the line has, empty ones too.
struct Placing {
    std::size_t from = 0;
    std::vector<std::size_t> counts;
    std::size_t fields = 0;
    bool operator==(const Placing&) const = default;
};

// A line read by position: the date is the first field written as one, or three fields of day,
// month and year; the draw is the whole numbers of the fields right after it, or the whole line
// when it has no date.
Kind ReadLine(const Line& line, const ReferenceGame& game, std::size_t want, char sep, Order order, ReferenceDraw& draw,
              std::optional<Placing>& placing)
{
    if (line.tooLong || line.carriageReturn)
        return Kind::Fault;
    if (BlankOrComment(line.text, " \t"))
        return Kind::Skip;
    if (HeaderLine(line, sep, want))
        return Kind::Header;
    bool unclosed = false;
    const auto fields = Fields(line.text, sep, unclosed);
    if (unclosed)
        return Kind::Fault;
    std::optional<std::size_t> from;  // the field after the date
    for (std::size_t i = 0; i < fields.size() && !from; ++i) {
        if (auto d = Date(fields[i], order)) {
            draw.date = *d;
            from = i + 1;
        } else if (LooksLikeDate(fields[i])) {
            return Kind::Fault;
        }
    }
    for (std::size_t i = 0; i < fields.size() && !from; ++i) {
        if (!ThreeFieldsAt(fields, i))
            continue;
        const std::string_view a = fields[i], b = fields[i + 1];
        const auto d = order == Order::DayFirst ? Day(Value(fields[i + 2]), Value(b), Value(a))
                                                : Day(Value(fields[i + 2]), Value(a), Value(b));
        if (!d)
            return Kind::Fault;
        draw.date = *d;
        from = i + 3;
    }
    const bool dated = from.has_value();
    std::vector<std::int64_t>& n = draw.numbers;
    std::size_t i = from.value_or(0);
    for (; n.size() < want; ++i) {
        if (i == fields.size()) {
            if (dated)
                return Kind::Fault;
            break;
        }
        const auto more = fields[i].empty() ? std::nullopt : Whole(fields[i]);
        if (!more || (dated && n.size() + more->size() > want))
            return Kind::Fault;
        n.insert(n.end(), more->begin(), more->end());
        if (dated) {
            if (!placing)
                placing = Placing{*from, {}, fields.size()};
            placing->counts.push_back(more->size());
        }
    }
    if (!dated) {
        for (; i < fields.size(); ++i) {
            const auto more = Whole(fields[i]);
            if (!more)
                return Kind::Fault;
            n.insert(n.end(), more->begin(), more->end());
        }
        if (n.size() != want)
            return Kind::Fault;
    }
    for (int k = 0; k < game.mainDrawn; ++k) {
        if (n[k] < 1 || n[k] > game.pool)
            return Kind::Fault;
        for (int j = 0; j < k; ++j)
            if (n[j] == n[k])
                return Kind::Fault;
    }
    if (game.extra == ReferenceGame::Extra::Powerball && n.back() < 1)
        return Kind::Fault;
    if (game.extra == ReferenceGame::Extra::Bonus &&
        (n.back() < 1 || n.back() > game.pool || std::find(n.begin(), n.end() - 1, n.back()) != n.end() - 1))
        return Kind::Fault;
    return Kind::Draw;
}

bool Wide(std::string_view b)
{
    const auto at = [&](std::size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0x100u; };
    if ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF) ||
        (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF))
        return true;
    if (b.size() < 4)
        return false;
    const bool z0 = at(0) == 0, z1 = at(1) == 0, z2 = at(2) == 0, z3 = at(3) == 0;
    return (!z0 && z1 && z2 && z3) || (z0 && z1 && z2 && !z3) || (!z0 && z1 && !z2 && z3) || (z0 && !z1 && z2 && !z3);
}

}  // namespace

ReferenceDraws ReadDrawsPlainly(std::string_view bytes, const ReferenceGame& game)
{
    ReferenceDraws out;
    if (Wide(bytes)) {
        out.refusal = ReferenceDraws::Refusal::Wide;
        return out;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    auto raw = Split(bytes, '\n');
    if (raw.back().empty())
        raw.pop_back();
    std::vector<Line> lines;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        Line line;
        line.number = static_cast<std::int64_t>(i + 1);
        line.tooLong = raw[i].size() > kMaxLine;
        line.text = raw[i];
        if (!line.text.empty() && line.text.back() == '\r')
            line.text.remove_suffix(1);
        line.carriageReturn = line.text.find('\r') != std::string_view::npos;
        lines.push_back(line);
    }
    const std::size_t want =
        static_cast<std::size_t>(game.mainDrawn + (game.extra == ReferenceGame::Extra::None ? 0 : 1));
    char sep = 0;
    Survey(lines, game, want, sep, out);
    if (out.refusal != ReferenceDraws::Refusal::None || out.byHeader)
        return out;

    bool pastHeaders = false;
    std::optional<Placing> firstPlacing;  // of the first dated draw
    for (const Line& line : lines) {
        ReferenceDraw draw;
        draw.line = line.number;
        std::optional<Placing> placing;
        Kind kind = ReadLine(line, game, want, sep, out.order, draw, placing);
        if (kind == Kind::Skip || (kind == Kind::Header && !pastHeaders))
            continue;
        pastHeaders = true;
        // Every dated draw lies over the same fields as the first: else a field or number missing
        // would shift the next column into the draw.
        if (kind == Kind::Draw && placing) {
            if (!firstPlacing)
                firstPlacing = placing;
            else if (*placing != *firstPlacing)
                kind = Kind::Fault;
        }
        if (kind == Kind::Draw) {
            out.draws.push_back(draw);
            continue;
        }
        if (!game.skip) {
            out.fault = true;
            out.faultLine = draw.line;
            return out;
        }
        if (out.skipped++ == 0)
            out.firstSkipped = draw.line;
    }
    if (out.draws.empty()) {
        out.fault = true;
        return out;
    }
    int direction = 0;
    std::string last;
    for (std::size_t d = 0; d < out.draws.size(); ++d) {
        const ReferenceDraw& draw = out.draws[d];
        for (std::size_t e = 0; e < d; ++e) {
            auto a = draw.numbers, b = out.draws[e].numbers;
            std::sort(a.begin(), a.begin() + game.mainDrawn);
            std::sort(b.begin(), b.begin() + game.mainDrawn);
            if (a == b && draw.date == out.draws[e].date) {
                ++out.repeated;
                break;
            }
        }
        if (draw.date.empty())
            continue;
        if (!last.empty() && draw.date != last) {
            const int step = draw.date > last ? 1 : -1;
            if (direction == 0)
                direction = step;
            else if (step != direction && out.outOfOrderLine == 0)
                out.outOfOrderLine = draw.line;
        }
        last = draw.date;
    }
    return out;
}

}  // namespace bmfuzz
