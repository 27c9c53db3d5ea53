#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "definitions/DefinitionFile.h"
#include "slip/SlipMarks.h"

namespace bm {

// What the editor's marks entries hold: both percentages as typed, and the list of extra marks.
struct MarksEntries {
    std::string width = "100", height = "100";
    std::vector<ExtraMark> extras;
    // The second grid and the board boxes, kept through every save.
    std::optional<SecondGrid> second;
    std::vector<BoardBox> board;
    std::optional<std::vector<PrizeTier>> prizes;
    // Why the second grid's or the board boxes' entries do not read; empty when they do.
    std::string secondFault;
};

// The five entries of one extra mark, as typed.
struct ExtraEntries {
    std::string name, left, top, width, height;
};

// Which entry a refusal points at.
enum class MarksEntry { Width, Height, ExtraName, ExtraLeft, ExtraTop, ExtraWidth, ExtraHeight, ExtraList, Second };

struct MarksFailure {
    std::string message;
    MarksEntry focus = MarksEntry::Width;
    int extra = -1;  // the extra mark at fault, for ExtraList
};

// One extra mark from its entries; `others` are the marks already listed, `replacing` the index of
// the one being changed (-1 for a new one). The definition, when it can be drawn yet, refuses a
// mark off its sheet or over a number box.
Result<ExtraMark> ExtraFromEntries(const ExtraEntries& entries, const std::vector<ExtraMark>& others, int replacing,
                                   const std::optional<SlipDefinition>& def, MarksEntry& focus);

// The checks before a save, after those of the definition: the percentages, and every extra mark
// against the slip the entries describe.
std::optional<MarksFailure> ValidateMarks(const MarksEntries& entries, const SlipDefinition& def);

// The marks the entries describe; percentages that are not whole numbers read as 100 (the
// drawing's guess while they are typed; a save is refused first).
SlipMarks MarksFromEntries(const MarksEntries& entries);

MarksEntries EntriesFromMarks(const SlipMarks& marks);

// Saves the definition and its marks as the editor does: NAME.marks is written beside NAME.def
// when the marks are not the default or such a file is there already (an old one would otherwise
// go with the new definition). Both are checked writable first; when the definition cannot be
// written, the marks file is put back as it was. Returns NAME.
Result<std::string> WriteDefinitionAndMarks(const ProgramFolder& folder, const DefinitionEntries& entries,
                                            EditorMode mode, const SlipMarks& marks);

}  // namespace bm
