#include "definitions/editor/GendefOpeners.h"

#include <memory>

#include <QPointer>

#include "app/Module1.h"
#include "app/frmMain.h"

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
        if (!open->LoadDefinition(listedName))
            return;
    }
    ShowForm(kWindowName, [&]() -> QWidget* {
        auto editor = std::make_unique<frmGendef>(host);
        return editor->LoadDefinition(listedName) ? editor.release() : nullptr;
    });
}

GendefHost HostOf(frmMain& main)
{
    // The editor may outlive a main window only while the program closes.
    QPointer<frmMain> window(&main);
    return {main.folder(),
            [window] {
                if (window)
                    window->ReloadDefinitions();
            },
            [window](bool bBon) {
                if (window)
                    window->SetBonus(bBon);
            }};
}

EditorOpeners GendefOpeners()
{
    return {[](frmMain& main) { OpenGendefMake(HostOf(main)); },
            [](frmMain& main, const std::string& listedName) { OpenGendefModify(HostOf(main), listedName); }};
}

}  // namespace bm::app
