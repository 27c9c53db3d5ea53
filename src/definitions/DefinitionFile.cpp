#include "definitions/DefinitionFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "common/ShownText.h"

namespace bm {

namespace {

constexpr int kFlagLines = 3;
constexpr int kMinLines = kFieldCount + 1 + kFlagLines;              // one row
constexpr int kMaxLines = kFieldCount + kMaxRowFields + kFlagLines;  // the editor's twelve rows
constexpr std::uintmax_t kMaxFileSize = 64 * 1024;

Result<std::vector<std::string>> ReadLines(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        const auto folder = file.parent_path();
        if (!folder.empty() && std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec))
            return Error{folder.string() + ": is a file, not the folder of the definitions"};
        return Error{file.string() + ": no such definition file"};
    }
    if (std::filesystem::is_directory(status))
        return Error{file.string() + ": is a folder, not a definition file"};
    if (!std::filesystem::is_regular_file(status))
        return Error{file.string() + ": is not a regular file (a FIFO, device or socket), not a definition file"};
    if (std::filesystem::file_size(file, ec) > kMaxFileSize)
        return Error{file.string() + ": too large to be a definition file"};
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Error{file.string() + ": cannot be opened for reading"};
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = buffer.str();
    if (const char* wide = WideTextKind(bytes.substr(0, 4)))
        return Error{file.string() + ": is " + wide + " text; save it as plain text (ANSI or UTF-8)"};

    std::vector<std::string> lines;
    // A UTF-8 byte-order mark, as some editors write, is no part of the first line.
    std::size_t start = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Old Mac line ends would otherwise read as one line and be refused as far too short.
        if (line.find('\r') != std::string::npos)
            return Error{file.string() + ": line " + std::to_string(lines.size() + 1) +
                         " holds a carriage return inside the line; lines must end with CR LF or LF"};
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string LineError(const std::filesystem::path& file, std::size_t line, const std::string& what)
{
    return file.string() + ": line " + std::to_string(line) + ": " + what;
}

}  // namespace

std::string DefinitionName(std::string_view fileName)
{
    return std::string(fileName.substr(0, 5));
}

bool IsDefinitionName(std::string_view name)
{
    const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return name.size() == 5 && upper(name[0]) && upper(name[1]) && digit(name[2]) && digit(name[3]) && digit(name[4]);
}

bool IsDefinitionFileName(std::string_view fileName)
{
    return fileName.size() == 9 && fileName.ends_with(".def") && IsDefinitionName(fileName.substr(0, 5));
}

DefinitionListing ListDefinitionFiles(const std::filesystem::path& defs)
{
    SweepWriterLeftovers(defs, [](std::string_view target) { return IsDefinitionFileName(target); });
    DefinitionListing listing;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(defs, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::error_code ignored;
        const bool hidden = name.starts_with('.');
        if (hidden || !lower.ends_with(".def") || !std::filesystem::is_regular_file(it->path(), ignored))
            continue;
        (IsDefinitionFileName(name) ? listing.definitions : listing.leftOut).push_back(name);
    }
    std::sort(listing.definitions.begin(), listing.definitions.end());
    std::sort(listing.leftOut.begin(), listing.leftOut.end());
    return listing;
}

Result<std::vector<float>> ReadDefinitionValues(const std::filesystem::path& file)
{
    auto lines = ReadLines(file);
    if (!lines)
        return lines.error();
    const auto count = static_cast<int>(lines->size());
    if (count < kMinLines)
        return Error{file.string() + ": holds " + std::to_string(count) + (count == 1 ? " line" : " lines") +
                     "; a definition has at least " + std::to_string(kMinLines) +
                     " (17 measurements, the row numbers and 3 flags)"};
    if (count > kMaxLines)
        return Error{file.string() + ": holds " + std::to_string(count) + " lines; a definition has at most " +
                     std::to_string(kMaxLines) + " (12 rows)"};
    std::vector<float> values;
    values.reserve(lines->size());
    for (std::size_t i = 0; i < lines->size(); ++i) {
        const std::string& text = (*lines)[i];
        if (TrimBlanks(text).empty())
            return Error{LineError(file, i + 1, "is empty; every line holds one number")};
        const auto value = ParseFloat(text);
        if (!value && IsPlainDecimal(text))
            return Error{LineError(file, i + 1, "\"" + ShownText(text) + "\" is too large for a measurement or count")};
        if (!value)
            return Error{LineError(file, i + 1, "\"" + ShownText(text) + "\" is not a number")};
        values.push_back(*value);
    }
    return values;
}

Result<SlipDefinition> ReadDefinitionFile(const std::filesystem::path& file)
{
    auto read = ReadDefinitionValues(file);
    if (!read)
        return read.error();
    const std::vector<float>& v = *read;
    const int rows = static_cast<int>(v.size()) - kFieldCount - kFlagLines;

    std::optional<Error> fault;
    // Whole numbers: counts may not be negative; game numbers are 16-bit.
    auto whole = [&](std::size_t index, const char* what, bool count) -> int {
        const float x = v[index];
        if (fault)
            return 0;
        if (x != std::floor(x))
            fault = Error{LineError(file, index + 1, ShortestText(x) + " is not a whole number (" + what + ")")};
        else if (x < (count ? 0.0f : -32768.0f) || x > 32767.0f)
            fault = Error{LineError(file, index + 1, ShortestText(x) + " is out of range (" + what + ")")};
        return fault ? 0 : static_cast<int>(x);
    };

    SlipDefinition d;
    d.Pool = whole(0, "Pool", true);
    d.Pick = whole(1, "Pick", true);
    d.TotalPanels = whole(2, "Total Panels", true);
    d.SlipWidth = v[3];
    d.SlipHeight = v[4];
    d.TopToFirstRow = v[5];
    d.MainPanels = whole(6, "Number Of Main Panels", true);
    d.RowsInPanel = whole(7, "Rows In Each Panel", true);
    d.PanelsAcross = whole(8, "Panels Across", true);
    d.LeftIndent = v[9];
    d.ColumnsInPanel = whole(10, "Columns Across Panel", true);
    d.BoxWidth = v[11];
    d.BoxHeight = v[12];
    d.HorizontalPanelGap = v[13];
    d.VerticalRowGap = v[14];
    d.VerticalPanelGap = v[15];
    d.HorizontalBoxShift = v[16];
    for (int r = 0; r < rows; ++r) {
        const std::string label = "first number of row " + std::to_string(r + 1);
        d.RowFirstNumber.push_back(static_cast<std::int16_t>(whole(kFieldCount + r, label.c_str(), false)));
    }
    if (fault)
        return *fault;
    // The row list is what the readers trust; a count that disagrees would walk rows that have no number.
    if (d.RowsInPanel != rows)
        return Error{LineError(file, 8,
                               "says " + std::to_string(d.RowsInPanel) + " rows in each panel, but the file holds " +
                                   std::to_string(rows) + " row numbers")};
    d.bBon = v[v.size() - 3] != 0;
    d.bPB = v[v.size() - 2] != 0;
    d.Horizontal = v[v.size() - 1] != 0;
    return d;
}

Result<SlipDefinition> ReadDefinitionAsNamed(const std::filesystem::path& file)
{
    auto def = ReadDefinitionFile(file);
    const std::string fileName = file.filename().string();
    if (!def || !IsDefinitionFileName(fileName))
        return def;
    const std::string name = DefinitionName(fileName);
    const int pick = name[2] - '0';
    const int pool = (name[3] - '0') * 10 + (name[4] - '0');
    if (def->Pick != pick || def->Pool != pool)
        return Error{file.string() + ": the name " + name + " says " + std::to_string(pick) + " numbers from " +
                     std::to_string(pool) + ", but the file holds a slip of " + std::to_string(def->Pick) +
                     " numbers from " + std::to_string(def->Pool) + "; rename the file or correct its Pick and Pool"};
    return def;
}

Result<SlipDefinition> ReadDefinition(const ProgramFolder& folder, const std::string& name)
{
    return ReadDefinitionFile(folder.definitionFile(name));
}

std::string NameLetters(const DefinitionEntries& entries, EditorMode mode)
{
    return mode == EditorMode::Make ? entries.name : entries.name.substr(0, 2);
}

std::string DefinitionFileText(const DefinitionEntries& entries)
{
    std::string out;
    for (const auto& field : entries.fields)
        out += field + "\r\n";
    const auto rows = ParseWhole(entries.fields[static_cast<int>(Field::RowsInPanel)]).value_or(0);
    for (int r = 0; r < rows && r < kMaxRowFields; ++r)
        out += entries.rows[r] + "\r\n";
    for (bool flag : {entries.bBon, entries.bPB, entries.Horizontal})
        out += flag ? " 1 \r\n" : " 0 \r\n";
    return out;
}

std::string SavedDefinitionName(const DefinitionEntries& entries, EditorMode mode)
{
    std::string name = NameLetters(entries, mode);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name + entries.fields[static_cast<int>(Field::Pick)] + entries.fields[static_cast<int>(Field::Pool)];
}

Result<std::string> WriteDefinition(const ProgramFolder& folder, const DefinitionEntries& entries, EditorMode mode)
{
    const std::string name = SavedDefinitionName(entries, mode);

    std::error_code ec;
    std::filesystem::create_directories(folder.defs(), ec);
    const Status written = WriteFileAtomically(folder.definitionFile(name), DefinitionFileText(entries));
    if (!written)
        return written.error();
    return name;
}

DefinitionEntries EntriesFromDefinition(const std::string& name, const SlipDefinition& d)
{
    DefinitionEntries e;
    e.name = name;
    const float values[kFieldCount] = {
        float(d.Pool),           float(d.Pick),       float(d.TotalPanels), d.SlipWidth,           d.SlipHeight,
        d.TopToFirstRow,         float(d.MainPanels), float(d.RowsInPanel), float(d.PanelsAcross), d.LeftIndent,
        float(d.ColumnsInPanel), d.BoxWidth,          d.BoxHeight,          d.HorizontalPanelGap,  d.VerticalRowGap,
        d.VerticalPanelGap,      d.HorizontalBoxShift};
    for (int i = 0; i < kFieldCount; ++i)
        e.fields[i] = ShortestText(values[i]);
    for (std::size_t r = 0; r < d.RowFirstNumber.size() && r < kMaxRowFields; ++r)
        e.rows[r] = std::to_string(d.RowFirstNumber[r]);
    e.bBon = d.bBon;
    e.bPB = d.bPB;
    e.Horizontal = d.Horizontal;
    return e;
}

}  // namespace bm
