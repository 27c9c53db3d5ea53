#pragma once

#include <functional>
#include <map>
#include <string>

#include "definitions/DefinitionChoice.h"

class QWidget;

namespace bm::app {

// The windows the main window opens but other parts of the program build: the definition
// editor and the four checkers. They are registered once at start (RegisterProgramWindows);
// the main window only looks them up, so a new window needs no change to it.
struct EditorOpeners {
    // "Make Slip": the editor in Make mode, or brought forward when it is open.
    std::function<void(DefinitionChoice&)> make;
    // Double click: the editor in Modify mode with this listed file ("NY659.def").
    std::function<void(DefinitionChoice&, const std::string& listedName)> modify;
};

// Makes a checker window; the main window shows it once and brings it forward after.
using WindowFactory = std::function<QWidget*(DefinitionChoice&)>;

class WindowCatalogue {
public:
    void SetEditor(EditorOpeners openers) { editor_ = std::move(openers); }
    const EditorOpeners& editor() const { return editor_; }

    void SetChecker(const std::string& windowName, WindowFactory factory);
    // Empty when no window of that name was registered.
    WindowFactory checker(const std::string& windowName) const;

private:
    EditorOpeners editor_;
    std::map<std::string, WindowFactory> checkers_;
};

// Registers every window of the program that exists in this build.
void RegisterProgramWindows(WindowCatalogue& catalogue);

}  // namespace bm::app
