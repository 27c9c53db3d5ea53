#pragma once

namespace bm::app {

class WindowCatalogue;

// The four ticket checkers, opened by the main window's "Check Tickets": registers a factory
// for frmChkwhl, frmChkwhl5, frmChkwhl7 and frmChkwhlPB, each reading the chosen definition
// (name, pool, bonus flag) at load and at every run.
void RegisterCheckers(WindowCatalogue& catalogue);

}  // namespace bm::app
