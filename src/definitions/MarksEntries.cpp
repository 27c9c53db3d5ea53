#include "definitions/MarksEntries.h"

#include <fstream>
#include <sstream>

#include "common/AtomicFile.h"
#include "common/FolderLock.h"
#include "common/Numbers.h"
#include "slip/MarkPlacement.h"

namespace bm {

namespace {

std::optional<MarksFailure> Percent(const std::string& text, const char* what, MarksEntry focus)
{
    if (TrimBlanks(text).empty())
        return MarksFailure{std::string("No Entry For ") + what, focus};
    const auto value = ParseWhole(text);
    if (!value || *value < kSmallestMark || *value > kFullMark)
        return MarksFailure{std::string(what) + " Must Be A Whole Number From 10 To 100", focus};
    return std::nullopt;
}

std::string Capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

}  // namespace

Result<ExtraMark> ExtraFromEntries(const ExtraEntries& e, const std::vector<ExtraMark>& others, int replacing,
                                   const std::optional<SlipDefinition>& def, MarksEntry& focus)
{
    focus = MarksEntry::ExtraName;
    const std::string name(TrimBlanks(e.name));
    if (name.empty())
        return Error{"No Entry For The Name Of The Extra Mark"};
    if (const auto fault = ExtraNameFault(name))
        return Error{"Extra mark: " + *fault};
    for (std::size_t i = 0; i < others.size(); ++i)
        if (static_cast<int>(i) != replacing && others[i].name == name)
            return Error{"An Extra Mark Named " + Quoted(name) + " Is Already In The List"};
    const struct {
        const std::string& text;
        const char* label;
        MarksEntry entry;
        bool size;
    } values[] = {{e.left, "Left", MarksEntry::ExtraLeft, false},
                  {e.top, "Top", MarksEntry::ExtraTop, false},
                  {e.width, "Width", MarksEntry::ExtraWidth, true},
                  {e.height, "Height", MarksEntry::ExtraHeight, true}};
    float mm[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& v = values[i];
        focus = v.entry;
        const auto value = ParseFloat(v.text);
        if (TrimBlanks(v.text).empty())
            return Error{std::string("No Entry For Extra Mark ") + v.label};
        if (!value)
            return Error{std::string("Entry For Extra Mark ") + v.label + " Is Not A Number"};
        if (v.size && !(*value >= kSmallestExtraMm))
            return Error{std::string("Extra Mark ") + v.label + " Must Be At Least " + ShortestText(kSmallestExtraMm) +
                         " mm"};
        if (*value < 0 || *value > kMaxExtraMm)
            return Error{std::string("Extra Mark ") + v.label + " Must Be From 0 To " + ShortestText(kMaxExtraMm) +
                         " mm"};
        mm[i] = *value;
    }
    const ExtraMark extra{name, mm[0], mm[1], mm[2], mm[3]};
    focus = MarksEntry::ExtraLeft;
    if (def)
        if (const auto refusal = ExtraRefusal(*def, extra, 0, 0))
            return Error{"The " + *refusal};
    return extra;
}

std::optional<MarksFailure> ValidateMarks(const MarksEntries& entries, const SlipDefinition& def)
{
    if (auto fault = Percent(entries.width, "Mark Width", MarksEntry::Width))
        return fault;
    if (auto fault = Percent(entries.height, "Mark Height", MarksEntry::Height))
        return fault;
    const SlipMarks sized = MarksFromEntries(entries);
    for (std::size_t i = 0; i < entries.extras.size(); ++i)
        if (const auto refusal = ExtraRefusal(def, entries.extras[i], 0, 0, A4Paper(), {}, sized.width, sized.height))
            return MarksFailure{"The " + *refusal, MarksEntry::ExtraList, static_cast<int>(i)};
    if (!entries.secondFault.empty())
        return MarksFailure{entries.secondFault, MarksEntry::Second};
    // A changed definition may move the panels onto the second grid or a board box.
    int line = 0;
    if (const auto refusal = PanelMarksRefusal(def, MarksFromEntries(entries), 0, 0, line))
        return MarksFailure{Capitalised(*refusal), MarksEntry::Second};
    return std::nullopt;
}

SlipMarks MarksFromEntries(const MarksEntries& entries)
{
    const auto percent = [](const std::string& text) {
        const auto v = ParseWhole(text);
        return v && *v >= kSmallestMark && *v <= kFullMark ? static_cast<int>(*v) : kFullMark;
    };
    SlipMarks marks{percent(entries.width), percent(entries.height), entries.extras,
                    entries.second,         entries.board,           entries.prizes};
    for (ExtraMark& extra : marks.extras)
        extra.line = 0;
    return marks;
}

MarksEntries EntriesFromMarks(const SlipMarks& marks)
{
    return {std::to_string(marks.width),
            std::to_string(marks.height),
            marks.extras,
            marks.second,
            marks.board,
            marks.prizes,
            {}};
}

Result<std::string> WriteDefinitionAndMarks(const ProgramFolder& folder, const DefinitionEntries& entries,
                                            EditorMode mode, const SlipMarks& marks)
{
    const std::string name = SavedDefinitionName(entries, mode);
    const auto definitionFile = folder.definitionFile(name);
    const auto marksFile = MarksFileOf(definitionFile);
    std::error_code ec;
    std::filesystem::create_directories(folder.defs(), ec);
    // Saves take turns, so the definition and the marks on disk always come from one save.
    const FolderLock turn(folder.defs());
    const bool marksThere = std::filesystem::exists(std::filesystem::symlink_status(marksFile, ec));
    if (marks.IsDefault() && !marksThere)
        return WriteDefinition(folder, entries, mode);

    for (const auto& target : {definitionFile, marksFile})
        if (const Status writable = CheckWritableTarget(target); !writable)
            return writable.error();
    // The old marks file is kept to be put back; read as the marks reader reads it, so that a
    // file far beyond what it takes is never read into memory.
    std::optional<std::string> before;
    if (marksThere) {
        auto bytes = ReadMarksFileBytes(marksFile);
        if (!bytes)
            return Error{bytes.error().message + ", so it is not replaced; move it away and save again"};
        before = std::move(*bytes);
    }
    if (const Status written = WriteSlipMarks(marksFile, marks); !written)
        return written.error();
    auto saved = WriteDefinition(folder, entries, mode);
    if (!saved) {
        // Marks without their definition would go with the old one: as it was.
        if (before)
            (void)WriteFileAtomically(marksFile, *before);
        else
            std::filesystem::remove(marksFile, ec);
    }
    return saved;
}

}  // namespace bm
