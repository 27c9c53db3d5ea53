#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QGroupBox>

#include "definitions/MarksEntries.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace bm::app {

class SecondPoolPanel;

// The definition editor's marks: the mark's width and height in percent of the box, and the
// "Extra Marks" list with the entries of the mark being added or changed. Object names:
// txtMarkWidth, txtMarkHeight; lstExtra; txtExtraName, txtExtraLeft, txtExtraTop, txtExtraWidth,
// txtExtraHeight; cmdExtraAdd, cmdExtraChange, cmdExtraRemove. Delete in the list removes too.
class ExtraMarksPanel : public QGroupBox {
public:
    explicit ExtraMarksPanel(QWidget* parent = nullptr);

    // A change worth saving: a percentage typed, a mark added, changed or removed.
    std::function<void()> changed;
    // The drawing follows: also when the focus or the chosen mark moves.
    std::function<void()> redraw;
    // The slip the editor's entries describe, when they can be drawn yet: new extra marks are
    // checked against it at once.
    std::function<std::optional<SlipDefinition>()> slip;

    MarksEntries Entries() const;
    void SetMarks(const SlipMarks& marks);
    // The extra mark being worked on (chosen in the list while the focus is in this panel); -1 for none.
    int MarkedExtra() const;
    // The entry a refusal of the save points at gets the focus.
    void FocusOn(const MarksFailure& failure);
    // The panel's controls in their Tab order.
    std::vector<QWidget*> FocusChain() const;
    // The second pool and board boxes entered beside this panel: its entries join these marks.
    void SetSecondPanel(SecondPoolPanel* panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowChosen(int row);
    void Add();
    void Change();
    void Remove();
    // The mark in the entries, or a message (and the focus on the entry at fault).
    std::optional<ExtraMark> FromEntries(int replacing);
    void Refill();
    void ClearEntries();
    void Tell(const std::function<void()>& what) const
    {
        if (what)
            what();
    }

    std::vector<ExtraMark> extras_;
    std::optional<SecondGrid> second_;
    std::vector<BoardBox> board_;
    std::optional<std::vector<PrizeTier>> prizes_;
    SecondPoolPanel* secondPanel_ = nullptr;
    QLineEdit* txtMarkWidth = nullptr;
    QLineEdit* txtMarkHeight = nullptr;
    QListWidget* lstExtra = nullptr;
    QLineEdit* txtExtraName = nullptr;
    QLineEdit* txtExtraLeft = nullptr;
    QLineEdit* txtExtraTop = nullptr;
    QLineEdit* txtExtraWidth = nullptr;
    QLineEdit* txtExtraHeight = nullptr;
    QPushButton* cmdExtraAdd = nullptr;
    QPushButton* cmdExtraChange = nullptr;
    QPushButton* cmdExtraRemove = nullptr;
};

}  // namespace bm::app
