#include "slip/SlipMarks.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "common/Platform.h"
#include "common/ShownText.h"

namespace bm {

namespace {

constexpr std::size_t kMaxFileSize = 64 * 1024;

std::string KindFault(const std::filesystem::path& file, const FileStamp& stamp)
{
    if (stamp.folder)
        return file.string() + ": is a folder, not a marks file";
    return file.string() + ": is not a regular file (a FIFO, device or socket), not a marks file";
}

}  // namespace

// The whole file, or why it is no small regular file. Nothing is opened before it is known to be
// a regular file, and the open never waits: a FIFO put there in between is refused, not read.
Result<std::string> ReadMarksFileBytes(const std::filesystem::path& file)
{
    FileStamp before;
    if (!StampOf(file, before))
        return Error{file.string() + ": cannot be read (" + std::strerror(errno) + ")"};
    if (!before.regular)
        return Error{KindFault(file, before)};
    ReadOnlyFile in;
    int error = 0;
    if (!in.Open(file, error))
        return Error{file.string() + ": cannot be opened for reading (" + std::strerror(error) + ")"};
    FileStamp opened;
    if (!in.Stamp(opened) || !opened.regular)
        return Error{KindFault(file, opened)};
    const std::string tooLarge =
        file.string() + ": too large to be a marks file (at most " + std::to_string(kMaxFileSize / 1024) + " KiB)";
    if (opened.size > kMaxFileSize)
        return Error{tooLarge};
    // Read with a bound all the same: the file may grow while it is read.
    std::string bytes(kMaxFileSize + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::ptrdiff_t n = in.ReadAt(got, bytes.data() + got, bytes.size() - got, error);
        if (n < 0)
            return Error{file.string() + ": cannot be read (" + std::strerror(error) + ")"};
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got > kMaxFileSize)
        return Error{tooLarge};
    bytes.resize(got);
    return bytes;
}

namespace {

class MarksReader {
public:
    explicit MarksReader(const std::filesystem::path& file) : file_(file) {}

    Result<SlipMarks> Read(const std::string& bytes)
    {
        if (const char* wide = WideTextKind(std::string_view(bytes).substr(0, 4)))
            return Error{file_.string() + ": is " + wide + " text; save it as plain text (ANSI or UTF-8)"};
        // Notepad starts UTF-8 text with a byte-order mark.
        std::size_t start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
        while (start < bytes.size()) {
            ++line_;
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            std::string_view text(bytes.data() + start, end - start);
            start = end + 1;
            if (!text.empty() && text.back() == '\r')
                text.remove_suffix(1);
            if (text.find('\r') != std::string_view::npos)
                return LineFault("holds a carriage return inside the line; lines must end with CR LF or LF");
            for (char c : text)
                if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
                    return LineFault("holds a control character; a marks file is plain text");
            if (auto fault = Line(TrimBlanks(text)))
                return *fault;
        }
        if (auto fault = SecondComplete())
            return *fault;
        return marks_;
    }

private:
    enum class Section { None, Mark, Extra, Second, Board, Prizes };

    Error Fault(const std::string& what) const { return LineFault(": " + what); }
    // "FILE: line N holds ..." for what is wrong with the line as a whole.
    Error LineFault(const std::string& what) const
    {
        return Error{file_.string() + ": line " + std::to_string(line_) + (what.front() == ':' ? "" : " ") + what};
    }

    std::optional<Error> Line(std::string_view text)
    {
        if (text.empty() || text.front() == ';')
            return std::nullopt;
        if (text.front() == '[')
            return SectionLine(text);
        const std::size_t eq = text.find('=');
        if (eq == std::string_view::npos)
            return Fault("\"" + ShownText(text) + "\" is neither a section nor KEY=VALUE");
        const std::string_view key = TrimBlanks(text.substr(0, eq));
        const std::string_view value = TrimBlanks(text.substr(eq + 1));
        switch (section_) {
        case Section::Mark: return SizeLine(key, value);
        case Section::Extra: return ExtraLine(key, value);
        case Section::Second: return SecondLine(key, WithoutComment(value));
        case Section::Board: return BoardLine(key, WithoutComment(value));
        case Section::Prizes: return PrizeLine(key, WithoutComment(value));
        case Section::None: break;
        }
        return Fault("\"" + ShownText(text) +
                     "\" stands before any section; it belongs under [Mark], [Extra], "
                     "[Second], [Board] or [Prizes]");
    }

    std::optional<Error> SectionLine(std::string_view text)
    {
        const std::string shown = "\"" + ShownText(text) + "\"";
        if (text.back() != ']')
            return Fault(shown + " is not a section name such as [Mark]");
        const std::string_view name = text.substr(1, text.size() - 2);
        Section section = Section::None;
        if (name == "Mark")
            section = Section::Mark;
        else if (name == "Extra")
            section = Section::Extra;
        else if (name == "Second")
            section = Section::Second;
        else if (name == "Board")
            section = Section::Board;
        else if (name == "Prizes")
            section = Section::Prizes;
        else
            return Fault("unknown section " + shown +
                         "; a marks file has the sections [Mark], [Extra], [Second], [Board] and [Prizes]");
        if (!seenSections_.emplace(std::string(name), line_).second)
            return Fault("[" + std::string(name) + "] is given twice (first on line " +
                         std::to_string(seenSections_[std::string(name)]) + ")");
        section_ = section;
        if (section == Section::Prizes)
            marks_.prizes.emplace();
        if (section == Section::Second) {
            marks_.second = SecondGrid{};
            marks_.second->line = line_;
        }
        return std::nullopt;
    }

    // [Second] and [Board] values may end in a comment, as the layout's own notes do.
    static std::string_view WithoutComment(std::string_view value)
    {
        return TrimBlanks(value.substr(0, value.find(';')));
    }

    std::optional<Error> SecondLine(std::string_view key, std::string_view value)
    {
        SecondGrid& g = *marks_.second;
        struct Key {
            const char* name;
            int* whole;
            float* mm;
            double low, high;
            const char* meaning;
        };
        const Key keys[] = {
            {"Pool", &g.pool, nullptr, kSmallestSecondPool, kLargestSecondPool, "the second pool runs 1 to Pool"},
            {"Pick", &g.pick, nullptr, 1, kMostSecondPicks, "second-pool numbers per play"},
            {"Left", nullptr, &g.left, -kMaxExtraMm, kMaxExtraMm, "mm from the panel's first number box"},
            {"Top", nullptr, &g.top, -kMaxExtraMm, kMaxExtraMm, "mm from the panel's first number box"},
            {"Columns", &g.columns, nullptr, 1, kLargestSecondPool, "boxes per row of the second grid"},
            {"Width", nullptr, &g.width, 0, kMaxExtraMm, "the box width in mm"},
            {"Height", nullptr, &g.height, 0, kMaxExtraMm, "the box height in mm"},
            {"Across", nullptr, &g.across, 0, kMaxExtraMm, "mm from one box's left edge to the next one's"},
            {"Down", nullptr, &g.down, 0, kMaxExtraMm, "mm from one row's top edge to the next one's"},
        };
        const Key* found = nullptr;
        for (const Key& k : keys)
            if (key == k.name)
                found = &k;
        if (!found)
            return Fault("unknown key \"" + ShownText(key) +
                         "\" in [Second]; it takes Pool, Pick, Left, Top, Columns, Width, Height, Across and Down");
        const std::string name(key);
        if (!seenSecond_.emplace(name, line_).second)
            return Fault(name + " in [Second] is given twice (first on line " + std::to_string(seenSecond_[name]) +
                         ")");
        const std::string shown = name + " \"" + ShownText(value) + "\"";
        if (found->whole) {
            const auto v = ParseWhole(value);
            if (!v)
                return Fault(shown + " is not a whole number (" + found->meaning + ")");
            if (*v < found->low || *v > found->high)
                return Fault(name + " " + std::to_string(*v) + " is out of range (" + found->meaning + ": " +
                             ShortestText(static_cast<float>(found->low)) + " to " +
                             ShortestText(static_cast<float>(found->high)) + ")");
            *found->whole = static_cast<int>(*v);
            return std::nullopt;
        }
        const auto mm = ParseFloat(value);
        if (!mm)
            return Fault(shown + " is not a number of millimetres (decimal point)");
        const bool size = found->low == 0;
        if (size && *mm <= 0)
            return Fault(name + " is " + ShortestText(*mm) + " mm; a size or pitch must be more than 0 mm");
        if (*mm < found->low || *mm > found->high)
            return Fault(name + " " + ShortestText(*mm) + " mm is out of range (" +
                         ShortestText(static_cast<float>(found->low)) + " to " +
                         ShortestText(static_cast<float>(found->high)) + " mm)");
        *found->mm = *mm;
        return std::nullopt;
    }

    // "M+J=" or "M+J=AMOUNT": a tier that wins, with what it pays when known.
    std::optional<Error> PrizeLine(std::string_view key, std::string_view value)
    {
        const std::size_t plus = key.find('+');
        const auto digits = [](std::string_view t) {
            return !t.empty() && t.size() <= 2 && t.find_first_not_of("0123456789") == std::string_view::npos;
        };
        const std::string shown = "\"" + ShownText(key) + "\"";
        if (plus == std::string_view::npos || !digits(key.substr(0, plus)) || !digits(key.substr(plus + 1)))
            return Fault("prize tier " + shown + " is not MAIN+SECOND, such as 5+2");
        const int main = std::stoi(std::string(key.substr(0, plus)));
        const int second = std::stoi(std::string(key.substr(plus + 1)));
        if (!value.empty()) {
            const std::size_t point = value.find('.');
            const std::string_view whole = value.substr(0, point);
            const std::string_view cents =
                point == std::string_view::npos ? std::string_view() : value.substr(point + 1);
            const bool number =
                !whole.empty() && whole.size() <= 12 &&
                whole.find_first_not_of("0123456789") == std::string_view::npos &&
                (point == std::string_view::npos || (!cents.empty() && cents.size() <= 2 &&
                                                     cents.find_first_not_of("0123456789") == std::string_view::npos));
            if (!number)
                return Fault("prize tier " + shown + ": its amount \"" + ShownText(value) +
                             "\" is not an amount such as 1000 or 12.50");
        }
        for (const PrizeTier& other : *marks_.prizes)
            if (other.main == main && other.second == second)
                return Fault("prize tier " + shown + " is given twice (first on line " + std::to_string(other.line) +
                             ")");
        marks_.prizes->push_back({main, second, std::string(value), line_});
        return std::nullopt;
    }

    // A [Second] section must give every value, and its boxes must not overlap each other.
    std::optional<Error> SecondComplete()
    {
        if (marks_.prizes && !marks_.second) {
            line_ = seenSections_["Prizes"];
            return Fault("[Prizes] names the tiers of a game with a second pool, and this file has no [Second]");
        }
        if (marks_.prizes)
            for (const PrizeTier& tier : *marks_.prizes)
                if (tier.second > marks_.second->pick) {
                    line_ = tier.line;
                    return Fault("prize tier \"" + std::to_string(tier.main) + "+" + std::to_string(tier.second) +
                                 "\" matches more second-pool numbers than a play holds (Pick=" +
                                 std::to_string(marks_.second->pick) + " in [Second])");
                }
        if (!marks_.second)
            return std::nullopt;
        const SecondGrid& g = *marks_.second;
        line_ = g.line;
        for (const char* key : {"Pool", "Pick", "Left", "Top", "Columns", "Width", "Height", "Across", "Down"})
            if (!seenSecond_.count(key))
                return Fault("[Second] has no " + std::string(key) +
                             "=; the second grid needs Pool, Pick, Left, Top, Columns, Width, Height, Across and Down");
        if (g.pick >= g.pool)
            return Fault("[Second] Pick=" + std::to_string(g.pick) + " is not less than Pool=" +
                         std::to_string(g.pool) + "; a play picks some of the second pool, not all of it");
        if (g.columns > 1 && g.across < g.width)
            return Fault("[Second] Across=" + ShortestText(g.across) + " is less than Width=" + ShortestText(g.width) +
                         "; the boxes of a row would overlap");
        if (g.Rows() > 1 && g.down < g.height)
            return Fault("[Second] Down=" + ShortestText(g.down) + " is less than Height=" + ShortestText(g.height) +
                         "; the rows of boxes would overlap");
        return std::nullopt;
    }

    std::optional<Error> BoardLine(std::string_view key, std::string_view value)
    {
        const std::string name(key);
        if (auto fault = ExtraNameFault(name))
            return Fault("board box: " + *fault);
        const std::string shown = "board box \"" + ShownText(name) + "\"";
        if (marks_.board.size() >= static_cast<std::size_t>(kMaxBoardBoxes))
            return Fault(shown + " is one too many; a panel takes at most " + std::to_string(kMaxBoardBoxes) +
                         " board boxes");
        float v[4] = {};
        if (auto fault = BoxValues(shown, value, " from the panel's first number box", -kMaxExtraMm, v, [](float mm) {
                return mm > 0 ? std::string() : std::string("a size must be more than 0 mm");
            }))
            return fault;
        for (const BoardBox& other : marks_.board)
            if (other.name == name)
                return Fault(shown + " is given twice (first on line " + std::to_string(other.line) + ")");
        marks_.board.push_back({name, v[0], v[1], v[2], v[3], line_});
        return std::nullopt;
    }

    // LEFT TOP WIDTH HEIGHT of a box line into `v`: a left or top from `low` to the largest, a
    // size within the largest and passing `sizeFault` (which says what a size must be, or nothing).
    template <class SizeFault>
    std::optional<Error> BoxValues(const std::string& shown, std::string_view value, std::string_view from, float low,
                                   float (&v)[4], SizeFault sizeFault)
    {
        const auto parts = Words(value);
        if (parts.size() != 4)
            return Fault(shown + " holds " + std::to_string(parts.size()) + (parts.size() == 1 ? " value" : " values") +
                         "; it takes LEFT TOP WIDTH HEIGHT in mm" + std::string(from));
        static const char* const kWhat[] = {"left", "top", "width", "height"};
        for (std::size_t i = 0; i < 4; ++i) {
            const auto mm = ParseFloat(parts[i]);
            if (!mm)
                return Fault(shown + ": its " + kWhat[i] + " \"" + ShownText(parts[i]) +
                             "\" is not a number of millimetres (decimal point, values separated by blanks)");
            const bool size = i >= 2;
            if (std::string rule = size ? sizeFault(*mm) : std::string(); !rule.empty())
                return Fault(shown + ": its " + kWhat[i] + " is " + ShortestText(*mm) + " mm; " + rule);
            const float least = size ? 0 : low;
            if (*mm < least || *mm > kMaxExtraMm)
                return Fault(shown + ": its " + kWhat[i] + " " + ShortestText(*mm) + " mm is out of range (" +
                             ShortestText(least) + " to " + ShortestText(kMaxExtraMm) + " mm)");
            v[i] = *mm;
        }
        return std::nullopt;
    }

    static std::vector<std::string_view> Words(std::string_view value)
    {
        std::vector<std::string_view> parts;
        while (!value.empty()) {
            const std::size_t end = std::min(value.find(' '), value.find('\t'));
            parts.push_back(value.substr(0, end));
            value = end == std::string_view::npos ? std::string_view() : TrimBlanks(value.substr(end));
        }
        return parts;
    }

    std::optional<Error> SizeLine(std::string_view key, std::string_view value)
    {
        int* target = key == "Width" ? &marks_.width : key == "Height" ? &marks_.height : nullptr;
        if (!target)
            return Fault("unknown key \"" + ShownText(key) + "\" in [Mark]; it takes Width and Height");
        if (!seenKeys_.emplace(std::string(key), line_).second)
            return Fault(std::string(key) + " is given twice (first on line " +
                         std::to_string(seenKeys_[std::string(key)]) + ")");
        const auto percent = ParseWhole(value);
        if (!percent)
            return Fault(std::string(key) + " \"" + ShownText(value) + "\" is not a whole number of percent");
        if (*percent < kSmallestMark || *percent > kFullMark)
            return Fault(std::string(key) + " " + std::to_string(*percent) + " is out of range; the mark's " +
                         (target == &marks_.width ? "width" : "height") + " is " + std::to_string(kSmallestMark) +
                         " to " + std::to_string(kFullMark) + " percent of the box");
        *target = static_cast<int>(*percent);
        return std::nullopt;
    }

    std::optional<Error> ExtraLine(std::string_view key, std::string_view value)
    {
        const std::string name(key);
        if (auto fault = ExtraNameFault(name))
            return Fault(*fault);
        const std::string shown = "extra mark \"" + ShownText(name) + "\"";
        if (marks_.extras.size() >= static_cast<std::size_t>(kMaxExtraMarks))
            return Fault(shown + " is one too many; a slip takes at most " + std::to_string(kMaxExtraMarks) +
                         " extra marks");
        float v[4] = {};
        if (auto fault = BoxValues(shown, value, "", 0, v, [](float mm) {
                return mm >= kSmallestExtraMm
                           ? std::string()
                           : "an extra mark is at least " + ShortestText(kSmallestExtraMm) + " mm wide and high";
            }))
            return fault;
        for (const ExtraMark& other : marks_.extras)
            if (other.name == name)
                return Fault(shown + " is given twice (first on line " + std::to_string(other.line) + ")");
        marks_.extras.push_back({name, v[0], v[1], v[2], v[3], line_});
        return std::nullopt;
    }

    const std::filesystem::path& file_;
    SlipMarks marks_;
    Section section_ = Section::None;
    int line_ = 0;
    std::map<std::string, int> seenSections_, seenKeys_, seenSecond_;
};

}  // namespace

std::filesystem::path MarksFileOf(const std::filesystem::path& definitionFile)
{
    std::filesystem::path marks = definitionFile;
    marks.replace_extension(".marks");
    return marks;
}

Result<SlipMarks> ReadSlipMarks(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto link = std::filesystem::symlink_status(file, ec);
    if (!std::filesystem::exists(link))
        return SlipMarks{};  // a definition without marks prints as it always did
    if (std::filesystem::is_symlink(link)) {
        std::error_code why;
        const auto target = std::filesystem::status(file, why);
        if (why || !std::filesystem::exists(target)) {
            // A file in a folder the user may not enter is there all the same: say what stops it.
            if (why != std::errc::no_such_file_or_directory && why != std::errc::not_a_directory)
                return Error{file.string() + ": is a link to " + std::filesystem::read_symlink(file, ec).string() +
                             ", which cannot be reached (" + why.message() + ")"};
            return Error{file.string() + ": is a link to a file that does not exist"};
        }
    }
    const auto bytes = ReadMarksFileBytes(file);
    if (!bytes)
        return bytes.error();
    return MarksReader(file).Read(*bytes);
}

Result<SlipMarks> ParseSlipMarks(const std::string& bytes, const std::filesystem::path& file)
{
    return MarksReader(file).Read(bytes);
}

std::optional<std::string> ExtraNameFault(const std::string& name)
{
    constexpr std::size_t kLongest = 40;
    if (TrimBlanks(name).empty())
        return "an extra mark needs a name";
    if (TrimBlanks(name).size() != name.size())
        return "the name \"" + ShownText(name) + "\" starts or ends with a blank";
    if (name.size() > kLongest)
        return "the name \"" + ShownText(name) + "\" is longer than " + std::to_string(kLongest) + " characters";
    if (name.front() == '[' || name.front() == ';')
        return "the name \"" + ShownText(name) + "\" starts with " + name.front() +
               ", which would read as a section or a comment";
    for (char c : name)
        if (c == '=' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7f)
            return "the name \"" + ShownText(name) + "\" holds " + (c == '=' ? "=" : "a control character") +
                   ", which the marks file cannot keep";
    return std::nullopt;
}

std::string SlipMarksText(const SlipMarks& marks)
{
    std::string out = "[Mark]\r\nWidth=" + std::to_string(marks.width) + "\r\nHeight=" + std::to_string(marks.height) +
                      "\r\n[Extra]\r\n";
    for (const ExtraMark& e : marks.extras)
        out += e.name + "=" + ShortestText(e.left) + " " + ShortestText(e.top) + " " + ShortestText(e.width) + " " +
               ShortestText(e.height) + "\r\n";
    if (const auto& g = marks.second)
        out += "[Second]\r\nPool=" + std::to_string(g->pool) + "\r\nPick=" + std::to_string(g->pick) +
               "\r\nLeft=" + ShortestText(g->left) + "\r\nTop=" + ShortestText(g->top) +
               "\r\nColumns=" + std::to_string(g->columns) + "\r\nWidth=" + ShortestText(g->width) +
               "\r\nHeight=" + ShortestText(g->height) + "\r\nAcross=" + ShortestText(g->across) +
               "\r\nDown=" + ShortestText(g->down) + "\r\n";
    if (!marks.board.empty()) {
        out += "[Board]\r\n";
        for (const BoardBox& b : marks.board)
            out += b.name + "=" + ShortestText(b.left) + " " + ShortestText(b.top) + " " + ShortestText(b.width) + " " +
                   ShortestText(b.height) + "\r\n";
    }
    if (marks.prizes) {
        out += "[Prizes]\r\n";
        for (const PrizeTier& p : *marks.prizes)
            out += std::to_string(p.main) + "+" + std::to_string(p.second) + "=" + p.amount + "\r\n";
    }
    return out;
}

Status WriteSlipMarks(const std::filesystem::path& file, const SlipMarks& marks)
{
    return WriteFileAtomically(file, SlipMarksText(marks));
}

}  // namespace bm
