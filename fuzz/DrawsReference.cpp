#include "DrawsReference.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace bmfuzz {

namespace {

constexpr std::size_t kMaxLine = 4096;

bool Digits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Value(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
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

// Three runs of digits and nothing else, joined by `sep`.
bool Three(std::string_view field, char sep, std::vector<std::string_view>& parts)
{
    parts = Split(field, sep);
    return parts.size() == 3 && Digits(parts[0]) && Digits(parts[1]) && Digits(parts[2]);
}

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

std::optional<std::string> Date(std::string_view f)
{
    std::vector<std::string_view> p;
    if (f.size() == 8 && Digits(f))
        return Day(Value(f.substr(0, 4)), Value(f.substr(4, 2)), Value(f.substr(6, 2)));
    if ((Three(f, '-', p) || Three(f, '/', p)) && p[0].size() == 4 && p[1].size() <= 2 && p[2].size() <= 2)
        return Day(Value(p[0]), Value(p[1]), Value(p[2]));
    if (Three(f, '/', p) && p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
        return Day(Value(p[2]), Value(p[0]), Value(p[1]));
    if (Three(f, '.', p) && p[0].size() <= 2 && p[1].size() <= 2 && p[2].size() == 4)
        return Day(Value(p[2]), Value(p[1]), Value(p[0]));
    return std::nullopt;
}

bool DateShaped(std::string_view f)
{
    std::vector<std::string_view> p;
    for (char sep : {'-', '/', '.'})
        if (Three(f, sep, p) && p[0].size() <= 4 && p[1].size() <= 4 && p[2].size() <= 4 &&
            (p[0].size() == 4 || p[2].size() == 4))
            return true;
    return false;
}

// The numbers of a field of blank-separated runs of digits (none for an empty field); nothing
// when it holds anything else. Values stop growing at a billion.
std::optional<std::vector<std::int64_t>> Whole(std::string_view field)
{
    std::vector<std::int64_t> numbers;
    std::string token;
    for (std::size_t i = 0; i <= field.size(); ++i) {
        const bool blank = i == field.size() || field[i] == ' ' || field[i] == '\t';
        if (!blank) {
            token += field[i];
            continue;
        }
        if (token.empty())
            continue;
        if (!Digits(token))
            return std::nullopt;
        std::int64_t v = 0;
        for (char c : token)
            v = std::min<std::int64_t>(v * 10 + (c - '0'), 1000000000);
        numbers.push_back(v);
        token.clear();
    }
    return numbers;
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

enum class Kind { Skip, Header, Draw, Fault };

Kind Classify(std::string_view line, const ReferenceGame& game, ReferenceDraw& draw)
{
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#')
        return Kind::Skip;
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (quoted && line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[i++];
        else if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && (line[i] == ',' || line[i] == ';' || line[i] == '\t'))
            fields.emplace_back();
        else
            fields.back() += line[i];
    }
    if (quoted)
        return Kind::Header;
    for (auto& f : fields)
        f = Trim(f);
    const std::size_t want = static_cast<std::size_t>(game.mainDrawn + (game.extra == ReferenceGame::Extra::None ? 0 : 1));
    std::size_t at = fields.size();
    for (std::size_t i = 0; i < fields.size() && at == fields.size(); ++i)
        if (auto d = Date(fields[i])) {
            draw.date = *d;
            at = i;
        }
    const bool dated = at < fields.size();
    if (!dated && std::any_of(fields.begin(), fields.end(), [](const std::string& f) { return DateShaped(f); }))
        return Kind::Fault;
    std::vector<std::int64_t>& n = draw.numbers;
    std::size_t i = dated ? at + 1 : 0;
    for (; n.size() < want; ++i) {
        if (i == fields.size()) {
            if (dated)
                return Kind::Fault;
            break;
        }
        const auto more = fields[i].empty() ? std::nullopt : Whole(fields[i]);
        if (!more) {
            if (dated)
                return Kind::Fault;
            for (std::size_t k = i; k < fields.size(); ++k)
                if (!Whole(fields[k]))
                    return Kind::Header;
            return Kind::Fault;
        }
        if (dated && n.size() + more->size() > want)
            return Kind::Fault;
        n.insert(n.end(), more->begin(), more->end());
    }
    if (!dated) {
        for (; i < fields.size(); ++i) {
            const auto more = Whole(fields[i]);
            if (!more)
                return Kind::Header;
            n.insert(n.end(), more->begin(), more->end());
        }
        if (n.size() != want)
            return Kind::Fault;
    }
    n.resize(want);
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
        out.refusedAtOpen = true;
        return out;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    auto lines = Split(bytes, '\n');
    if (lines.back().empty())
        lines.pop_back();
    bool pastHeaders = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        ReferenceDraw draw;
        draw.line = static_cast<std::int64_t>(i + 1);
        Kind kind = Kind::Fault;
        if (line.size() <= kMaxLine) {
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.find('\r') == std::string_view::npos)
                kind = Classify(line, game, draw);
        }
        if (kind == Kind::Skip || (kind == Kind::Header && !pastHeaders))
            continue;
        pastHeaders = true;
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
            const ReferenceDraw& other = out.draws[e];
            auto a = draw.numbers, b = other.numbers;
            std::sort(a.begin(), a.begin() + game.mainDrawn);
            std::sort(b.begin(), b.begin() + game.mainDrawn);
            if (a == b && draw.date == other.date) {
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
