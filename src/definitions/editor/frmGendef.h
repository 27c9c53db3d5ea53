#pragma once

#include <array>
#include <functional>
#include <string>

#include <QWidget>

#include "common/ProgramFolder.h"
#include "definitions/DefinitionFile.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QLabel;
class QRadioButton;

namespace bm::app {

class SlipView;
class ExtraMarksPanel;
class SecondPoolPanel;

// What the editor needs of the main window.
struct GendefHost {
    ProgramFolder folder;
    std::function<void()> reloadList;  // the definition list (and the current definition) read again after a save
};

// The definition editor: makes a new slip definition (Make mode) or saves a loaded one again
// (Modify mode). The save button's caption tells the mode; in Modify mode its being visible is
// the only record of unsaved changes.
//
// Beside the entries, picSlip draws the slip they describe, marking the measurement of the entry
// with the focus. Object names: txtFn; txtM0 to txtM16 (the definition's fields 1 to 17 in file order, so
// txtM0 is Pool and txtM1 is Pick); txtR0 to txtR11 (rows R1 to R12); chkBon0 ("Draws Bonus
// Number"), chkBon1 ("Powerball"); optLay0 ("Horizontal"), optLay1 ("Vertical"); cmdreset
// (save), cmdxit (close). Labels are lblFn, lblM<i>, lblR<i>.
class frmGendef : public QWidget {
public:
    static constexpr const char* kName = "frmGendef";

    // Opens in Make mode with every entry empty.
    explicit frmGendef(GendefHost host, QWidget* parent = nullptr);
    ~frmGendef() override;

    // Loads the definition of a listed file ("NY659.def") and turns to Modify mode, unchanged.
    // False, with the window as it was, when the definition has no file in the Defs folder
    // (silently) or its file cannot be read (said in a message naming the file and line).
    bool LoadDefinition(const std::string& listedName);

    EditorMode mode() const { return mode_; }
    DefinitionEntries Entries() const;
    // True when there are no unsaved changes, or the user agreed to drop them.
    bool MayDropChanges();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // frmGendefLayout.cpp
    void BuildUi();
    void SetFocusOrder();

    void ConnectChanges();
    void ShowChanged();
    // The slip drawn again from the entries; entries that cannot be drawn keep the last drawing.
    void Redraw();
    void FocusOn(const FocusTarget& target);
    void cmdreset_Click();
    void cmdxit_Click();

    GendefHost host_;
    EditorMode mode_ = EditorMode::Make;
    std::string loaded_;     // the name of the definition being modified
    int focusedField_ = -1;  // txtM index of the entry with the focus, if any
    bool changed_ = false;   // an entry was changed since the editor opened, loaded or saved

    QLineEdit* txtFn = nullptr;
    std::array<QLineEdit*, kFieldCount> txtM{};
    std::array<QLineEdit*, kMaxRowFields> txtR{};
    std::array<QCheckBox*, 2> chkBon{};
    std::array<QRadioButton*, 2> optLay{};
    QPushButton* cmdreset = nullptr;
    QPushButton* cmdxit = nullptr;
    SlipView* picSlip = nullptr;
    ExtraMarksPanel* fraExtra = nullptr;   // the mark's size and the extra marks, kept in NAME.marks
    SecondPoolPanel* fraSecond = nullptr;  // the second grid and the board boxes, kept there too
};

}  // namespace bm::app
