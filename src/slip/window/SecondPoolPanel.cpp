#include "slip/window/SecondPoolPanel.h"

#include "windowing/window/WindowManners.h"

#include <algorithm>
#include <cstdlib>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "common/Numbers.h"
#include "windowing/window/EntryHelpers.h"

namespace bm::app {

namespace {

struct Value {
    const char* key;
    const char* caption;  // the key with its Alt key
    const char* name;
    const char* tip;
};

const Value kValues[] = {
    {"Pool", "P&ool", "txtSecondPool", "The Second Pool Runs 1 To Pool (2 To 99); Empty: No Second Grid"},
    {"Pick", "P&ick", "txtSecondPick", "Second-Pool Numbers Per Play (1 Or 2)"},
    {"Left", "L&eft", "txtSecondLeft", "Left Of The Panel's First Number Box To Left Of The Grid's First Box, mm"},
    {"Top", "To&p", "txtSecondTop",
     "Top Of The Panel's First Number Box To Top Of The Grid's First Box, mm (Negative: Above)"},
    {"Columns", "Colum&ns", "txtSecondColumns", "Boxes Per Row Of The Second Grid"},
    {"Width", "&Width", "txtSecondWidth", "Width Of A Box Of The Second Grid, mm"},
    {"Height", "Hei&ght", "txtSecondHeight", "Height Of A Box Of The Second Grid, mm"},
    {"Across", "Acro&ss", "txtSecondAcross", "Left Of One Box To Left Of The Next, mm"},
    {"Down", "&Down", "txtSecondDown", "Top Of One Row To Top Of The Next, mm"},
};

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

}  // namespace

SecondPoolPanel::SecondPoolPanel(QWidget* parent) : QGroupBox(QStringLiteral("Second Pool And Board Boxes"), parent)
{
    setObjectName(QStringLiteral("fraSecond"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    HoldsOwnAltKeys(this);
    auto* grid = new QGridLayout;
    int i = 0;
    for (const Value& v : kValues) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(v.name));
        box->setToolTip(QString::fromLatin1(v.tip));
        box->setFixedWidth(56);
        UseEntryHelpers(box);
        auto* caption = new QLabel(QString::fromLatin1(v.caption), this);
        caption->setBuddy(box);
        caption->setToolTip(box->toolTip());
        grid->addWidget(caption, (i / 3) * 2, i % 3);
        grid->addWidget(box, (i / 3) * 2 + 1, i % 3);
        values_.push_back(box);
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (filling_)
                return;
            edited_ = true;
            if (changed)
                changed();
        });
        ++i;
    }
    txtBoard = new QPlainTextEdit(this);
    txtBoard->setObjectName(QStringLiteral("txtBoard"));
    txtBoard->setToolTip(QStringLiteral("Boxes Marked On Every Panel That Holds A Play, One A Line: "
                                        "NAME=LEFT TOP WIDTH HEIGHT In mm From The Panel's First Number Box"));
    txtBoard->setTabChangesFocus(true);
    txtBoard->setFixedHeight(txtBoard->fontMetrics().height() * 3 + 10);
    auto* boardCaption = new QLabel(QStringLiteral("&Board Boxes (NAME=LEFT TOP WIDTH HEIGHT)"), this);
    boardCaption->setBuddy(txtBoard);
    connect(txtBoard, &QPlainTextEdit::textChanged, this, [this] {
        if (filling_)
            return;
        edited_ = true;
        if (changed)
            changed();
    });
    auto* root = new QVBoxLayout(this);
    root->addLayout(grid);
    root->addWidget(boardCaption);
    root->addWidget(txtBoard);
}

void SecondPoolPanel::SetMarks(const SlipMarks& marks)
{
    filling_ = true;
    loadedSecond_ = marks.second;
    loadedBoard_ = marks.board;
    edited_ = false;
    const auto& g = marks.second;
    const std::string texts[] = {
        g ? std::to_string(g->pool) : "", g ? std::to_string(g->pick) : "",    g ? ShortestText(g->left) : "",
        g ? ShortestText(g->top) : "",    g ? std::to_string(g->columns) : "", g ? ShortestText(g->width) : "",
        g ? ShortestText(g->height) : "", g ? ShortestText(g->across) : "",    g ? ShortestText(g->down) : ""};
    for (std::size_t i = 0; i < values_.size(); ++i)
        values_[i]->setText(Text(texts[i]));
    QString board;
    for (const BoardBox& b : marks.board)
        board += Text(b.name + "=" + ShortestText(b.left) + " " + ShortestText(b.top) + " " + ShortestText(b.width) +
                      " " + ShortestText(b.height) + "\n");
    txtBoard->setPlainText(board);
    filling_ = false;
}

SecondPoolPanel::Read SecondPoolPanel::Entries() const
{
    if (!edited_)
        return {loadedSecond_, loadedBoard_, {}};
    // Read by the marks file's own rules: the board boxes first, so that their lines are the
    // entry's lines.
    std::string text = "[Board]\n" + txtBoard->toPlainText().toStdString();
    if (!text.ends_with("\n"))
        text += "\n";
    const int boardLines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    bool any = false;
    for (const QLineEdit* box : values_)
        any = any || !box->text().trimmed().isEmpty();
    if (any) {
        text += "[Second]\n";
        for (std::size_t i = 0; i < values_.size(); ++i)
            text += std::string(kValues[i].key) + "=" + values_[i]->text().toStdString() + "\n";
    }
    const auto read = ParseSlipMarks(text, "entries");
    if (!read) {
        // "entries: line N: WHAT": a board box is named by its line of the entry, a value by its key.
        std::string message = read.error().message;
        const std::size_t at = message.find(": line ");
        int line = 0;
        std::size_t rest = std::string::npos;
        if (at != std::string::npos) {
            line = std::atoi(message.c_str() + at + 7);
            rest = message.find(": ", at + 7);
        }
        const std::string what = rest == std::string::npos ? message : message.substr(rest + 2);
        return {loadedSecond_, loadedBoard_,
                line > 1 && line <= boardLines ? "Board Boxes, line " + std::to_string(line - 1) + ": " + what
                                               : "Second Pool: " + what};
    }
    return {read->second, read->board, {}};
}

void SecondPoolPanel::FocusOnFault()
{
    const Read read = Entries();
    QWidget* target = values_.front();
    if (read.fault.rfind("Board Boxes", 0) == 0)
        target = txtBoard;
    else
        for (std::size_t i = 0; i < values_.size(); ++i)
            if (read.fault.find(std::string(kValues[i].key) + " ") != std::string::npos ||
                read.fault.find(std::string(kValues[i].key) + "=") != std::string::npos) {
                target = values_[i];
                break;
            }
    target->setFocus(Qt::OtherFocusReason);
}

std::vector<QWidget*> SecondPoolPanel::FocusChain() const
{
    std::vector<QWidget*> chain(values_.begin(), values_.end());
    chain.push_back(txtBoard);
    return chain;
}

}  // namespace bm::app
