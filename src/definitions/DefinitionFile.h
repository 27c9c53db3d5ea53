#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "slip/SlipDefinition.h"

namespace bm {

// The first five characters of a listed file name: "NY659.def" gives "NY659".
std::string DefinitionName(std::string_view fileName);

// A definition's name: two capital letters, the pick digit and the two-digit pool ("NY659").
bool IsDefinitionName(std::string_view name);
// A definition name followed by ".def": the only files the program takes for definitions, so
// that a copy such as "LO649 copy.def" never reads or writes LO649's offsets or definition.
bool IsDefinitionFileName(std::string_view fileName);
inline constexpr const char* kDefinitionNameRule =
    "a definition file is named by two capital letters, the pick digit and the two-digit pool, "
    "followed by .def (such as LO649.def)";

// The files of a Defs folder: the definitions by name, and the other files ending in .def,
// which are not definitions by their name. Hidden copies that killed writers left are swept.
struct DefinitionListing {
    std::vector<std::string> definitions;
    std::vector<std::string> leftOut;
};
DefinitionListing ListDefinitionFiles(const std::filesystem::path& defs);

// The values of a definition file, one 32-bit float per line, in file order. A missing file,
// a line that is not a number, or fewer lines than a definition has are refused, naming the
// file and the line.
Result<std::vector<float>> ReadDefinitionValues(const std::filesystem::path& file);

// A definition file read into a SlipDefinition. Besides the checks above: counts that are not
// whole numbers, a row count that disagrees with the lines of the file, row first numbers
// beyond 16 bits.
Result<SlipDefinition> ReadDefinitionFile(const std::filesystem::path& file);

// ReadDefinitionFile for a job or a check: a file named as a definition ("XY549.def") whose pick
// digit or pool disagrees with what it holds is refused naming both, since its plays would print
// as one game and be checked as another (the checker goes by the name). Other names are not judged.
Result<SlipDefinition> ReadDefinitionAsNamed(const std::filesystem::path& file);

// ReadDefinition of the Defs folder by definition name.
Result<SlipDefinition> ReadDefinition(const ProgramFolder& folder, const std::string& name);

// What the editor holds: every entry as typed.
struct DefinitionEntries {
    std::string name;                             // txtFn
    std::array<std::string, kFieldCount> fields;  // txtM 0 to 16
    std::array<std::string, kMaxRowFields> rows;  // txtR 0 to 11
    bool bBon = false;
    bool bPB = false;
    bool Horizontal = true;
};

enum class EditorMode { Make, Modify };

// Which entry gets the focus after a refusal.
struct FocusTarget {
    enum class Kind { Unchanged, Name, Field, Row } kind = Kind::Unchanged;
    int index = 0;  // txtM or txtR index
    bool operator==(const FocusTarget&) const = default;
};

struct ValidationFailure {
    std::string message;
    FocusTarget focus;
};

// The editor's checks before a save, in order; the first failure is returned.
std::optional<ValidationFailure> ValidateDefinition(const DefinitionEntries& entries, EditorMode mode);

// The slip the entries describe, as far as it can be drawn: the editor's checks except those of
// the name; the first failure is the refusal.
Result<SlipDefinition> DrawableDefinition(DefinitionEntries entries);

// The letters of the name: the whole name entry in Make mode, its first two characters in
// Modify mode (the entry shows the five-character name there).
std::string NameLetters(const DefinitionEntries& entries, EditorMode mode);

// The bytes of the file: entries as typed, CR LF ends, " 1 " / " 0 " flag lines.
std::string DefinitionFileText(const DefinitionEntries& entries);

// The NAME the entries save under: the letters in upper case, then pick and pool as typed.
std::string SavedDefinitionName(const DefinitionEntries& entries, EditorMode mode);

// Writes Defs/<NAME>.def atomically (replacing a file of that name) and returns NAME.
// Call only after ValidateDefinition succeeded.
Result<std::string> WriteDefinition(const ProgramFolder& folder, const DefinitionEntries& entries, EditorMode mode);

// The editor's entries for a stored definition: every value in its shortest form.
DefinitionEntries EntriesFromDefinition(const std::string& name, const SlipDefinition& def);

}  // namespace bm
