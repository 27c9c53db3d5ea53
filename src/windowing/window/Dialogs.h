#pragma once

#include <QString>

class QWidget;

namespace bm::app {

enum class Icon { None, Information, Warning, Error, Question };
// DiscardKeep: "Discard Changes" answers Ok, "Keep Editing" (the default) Cancel.
enum class Buttons { Ok, OkCancel, ReplaceCancel, YesNo, YesNoDefaultNo, DiscardKeep };
enum class Answer { Ok, Cancel, Yes, No };

// Every message box and file dialog of the program goes through this seam, so tests answer
// them without a modal box ever blocking.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer Message(QWidget* parent, const QString& title, const QString& text, Icon icon, Buttons buttons) = 0;
    // Empty when cancelled. `filter` in Qt's form, e.g. "Text Files (*.txt)".
    virtual QString OpenFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder) = 0;
    virtual QString SaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& folder,
                             const QString& defaultSuffix) = 0;
};

// The program's dialogs: the real ones unless a test installed its own.
Dialogs& dialogs();
void SetDialogs(Dialogs* replacement);  // nullptr restores the real ones

}  // namespace bm::app
