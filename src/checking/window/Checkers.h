#pragma once

#include <QString>

class QWidget;

namespace bm::app {

class WindowCatalogue;
class frmMain;

// The four ticket checkers, opened by the main window's "Check Tickets": registers a factory
// for frmChkwhl, frmChkwhl5, frmChkwhl7 and frmChkwhlPB, each reading the main window's
// current definition (name, pool, bonus flag) at load and at every run.
void RegisterCheckers(WindowCatalogue& catalogue);

// Opens (or brings forward) the checker window of that name for the main window.
QWidget* ShowChecker(frmMain& main, const QString& windowName);

}  // namespace bm::app
