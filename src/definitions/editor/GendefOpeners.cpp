#include "definitions/editor/GendefOpeners.h"

#include <memory>

#include "windowing/window/Module1.h"

namespace bm::app {

namespace {

const QString kWindowName = QString::fromLatin1(frmGendef::kName);

}  // namespace

void OpenGendefMake(const GendefHost& host)
{
    ShowForm(kWindowName, [&host] { return new frmGendef(host); });
}

void OpenGendefModify(const GendefHost& host, const std::string& listedName)
{
    if (auto* open = dynamic_cast<frmGendef*>(FindForm(kWindowName))) {
        // Loading another definition would drop unsaved changes: only when the user agrees.
        if (!open->MayDropChanges() || !open->LoadDefinition(listedName))
            return;
    }
    ShowForm(kWindowName, [&]() -> QWidget* {
        auto editor = std::make_unique<frmGendef>(host);
        return editor->LoadDefinition(listedName) ? editor.release() : nullptr;
    });
}

GendefHost HostOf(DefinitionChoice& choice)
{
    // A save is a click on the editor's button, made while the main window is there.
    return {choice.Folder(), [&choice] { choice.DefinitionsWritten(); }};
}

EditorOpeners GendefOpeners()
{
    return {
        [](DefinitionChoice& choice) { OpenGendefMake(HostOf(choice)); },
        [](DefinitionChoice& choice, const std::string& listedName) { OpenGendefModify(HostOf(choice), listedName); }};
}

}  // namespace bm::app
