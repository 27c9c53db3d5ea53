#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "common/ProgramFolder.h"
#include "common/Result.h"
#include "slip/SlipDefinition.h"

namespace bm {

// A definition of the Defs folder as its file read at one moment.
struct ChosenDefinition {
    std::filesystem::path file;  // the listed file itself
    std::string listedName;      // "NY659.def"
    std::string name;            // "NY659"
    SlipDefinition definition;
};

// What the editor and the checkers know of the window where the user chooses a definition, so
// they can be built and tested without it: the program folder, the choice read afresh, word
// when the choice changes, and word back when a definition file was written.
class DefinitionChoice {
public:
    virtual ~DefinitionChoice() = default;

    virtual const ProgramFolder& Folder() const = 0;
    // The chosen definition as its file reads now; an error says why there is none.
    virtual Result<ChosenDefinition> ReadChosen() = 0;
    // `changed` runs whenever another definition is chosen or the chosen one was read anew,
    // as long as the returned handle is kept (either side may go first).
    virtual std::shared_ptr<void> Listen(std::function<void()> changed) = 0;
    // A definition file was written: the list shows it, and the choice follows its file.
    virtual void DefinitionsWritten() = 0;
};

}  // namespace bm
