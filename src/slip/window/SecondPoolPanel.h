#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QGroupBox>

#include "slip/SlipMarks.h"

class QLineEdit;
class QPlainTextEdit;

namespace bm::app {

// The definition editor's second pool and board boxes, beside the Extra Marks: the nine values of
// [Second] (all empty: no second grid) and the board boxes, one "NAME=LEFT TOP WIDTH HEIGHT" a
// line, read by the marks file's own rules. Object names: txtSecondPool, txtSecondPick,
// txtSecondLeft, txtSecondTop, txtSecondColumns, txtSecondWidth, txtSecondHeight,
// txtSecondAcross, txtSecondDown, txtBoard.
class SecondPoolPanel : public QGroupBox {
public:
    explicit SecondPoolPanel(QWidget* parent = nullptr);

    // A change worth saving, and the drawing to follow it.
    std::function<void()> changed;

    void SetMarks(const SlipMarks& marks);
    // What the entries say: the grid and the boxes, or why they do not read (the entry at fault
    // then gets the focus from FocusOnFault).
    struct Read {
        std::optional<SecondGrid> second;
        std::vector<BoardBox> board;
        std::string fault;
    };
    Read Entries() const;
    void FocusOnFault();
    std::vector<QWidget*> FocusChain() const;

private:
    std::vector<QLineEdit*> values_;  // in the file's key order
    QPlainTextEdit* txtBoard = nullptr;
    // As read from the file, kept exactly while the entries are not touched.
    std::optional<SecondGrid> loadedSecond_;
    std::vector<BoardBox> loadedBoard_;
    bool edited_ = false;
    bool filling_ = false;
};

}  // namespace bm::app
