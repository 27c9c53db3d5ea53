#include "checking/window/Checkers.h"
#include "definitions/editor/GendefOpeners.h"
#include "wheels/window/WheelsWindow.h"
#include "windowing/window/WindowCatalogue.h"

// Each window built elsewhere in the program adds its registration here, e.g.
//     catalogue.SetEditor({OpenEditorMake, OpenEditorModify});
//     catalogue.SetChecker("frmChkwhl", MakeChkwhl);

namespace bm::app {

void RegisterProgramWindows(WindowCatalogue& catalogue)
{
    catalogue.SetEditor(GendefOpeners());
    RegisterCheckers(catalogue);
    RegisterWheelsWindow(catalogue);
}

}  // namespace bm::app
