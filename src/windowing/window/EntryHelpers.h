#pragma once

#include <QString>

#include "windowing/window/WidgetBuilders.h"

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace bm::app {

// Enter acts as Tab: returns true when the key was Enter, after moving the focus on from
// `box` exactly as a Tab keystroke would; the Enter itself types nothing.
bool CRToTab(QWidget* box, const QKeyEvent& key);

// Selects the whole text of the box, so that the next character typed replaces it.
void SelectText(QLineEdit* box);

// Gives a text box both behaviours: SelectText whenever it gets the focus (by Tab, by a
// click or by a shortcut) and CRToTab on every key. Every text box of the program uses it.
void UseEntryHelpers(QLineEdit* box);

}  // namespace bm::app
