#include "app/WindowCatalogue.h"

// Each window built elsewhere in the program adds its registration here, e.g.
//     catalogue.SetEditor({OpenEditorMake, OpenEditorModify});
//     catalogue.SetChecker("frmChkwhl", MakeChkwhl);

namespace bm::app {

void RegisterProgramWindows(WindowCatalogue& catalogue)
{
    (void)catalogue;
}

}  // namespace bm::app
