#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "slip/SlipDefinition.h"

namespace bm::app {

// The definition chosen in the main window's list, read by the print job, the checkers and
// the editor. It changes only when the user picks another entry.
struct CurrentDefinition {
    std::filesystem::path definitionPath;  // the listed file itself
    std::string listedName;                // "NY659.def"
    std::string definitionName;            // "NY659"
    char pickDigit = '\0';                 // third character of the definition name
    std::vector<float> values;             // one per line of the file
    SlipDefinition definition;
    bool bBon = false;
    bool bPB = false;
    bool Horizontal = true;
    bool testMode = false;  // set for the one job "Test Pattern" starts

    bool chosen() const { return !listedName.empty(); }
};

}  // namespace bm::app
