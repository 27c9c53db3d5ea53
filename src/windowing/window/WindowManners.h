#pragma once

#include <functional>

class QRect;
class QWidget;

namespace bm::app {

// What every window of the program does with the keyboard: each button and each label of an
// entry has an Alt key of its own, Enter presses the button that has the focus, and Escape
// closes the window as its Close button does (close(), so a window that asks before losing
// work asks). The main window keeps Escape for stopping a print job.
enum class EscapeCloses { Yes, No };
void UseWindowKeys(QWidget* window, EscapeCloses escape = EscapeCloses::Yes);

// What F1 does in a dialog (given the dialog): the program's help at its page. A modal dialog
// blocks the main window's own F1, so each dialog that UseWindowKeys sets up takes the key itself.
void SetHelpKey(std::function<void(QWidget*)> open);

// Marks an Alt key in every caption of the window that has none yet (after a caption was set
// anew); keys already given stay.
void GiveMnemonics(QWidget* window);

// A panel of a window with more captions than keys: its captions take the keys the rest of the
// window leaves free first, then keys of their own, unique within the panel, which a press of
// Alt shares with another caption of the window (the focus goes to each in turn).
void HoldsOwnAltKeys(QWidget* panel);
// The panel whose keys a caption's widget is among, or null (the window's own keys).
QWidget* AltKeyPanelOf(const QWidget* widget);

// Sizes and places a window before it is shown so that it lies wholly on the free area of the
// screen it opens on, never larger than that area and never smaller than its minimum size.
void FitToScreen(QWidget* window);
void FitToScreen(QWidget* window, const QRect& available);

// The free area of the screen a window opens on: that of the program's active window, else the
// window's own screen.
QRect AvailableFor(const QWidget* window);
// For tests: the free area every window is fitted to, in place of the screen's; nullptr
// restores the screen's.
void OverrideAvailableArea(const QRect* area);

}  // namespace bm::app
