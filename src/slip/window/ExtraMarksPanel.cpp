#include "slip/window/ExtraMarksPanel.h"

#include "windowing/window/WindowManners.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Numbers.h"
#include "slip/window/SecondPoolPanel.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"

namespace bm::app {

namespace {

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

// "Draws 2: 20 across, 150.5 down, 4 x 2.5 mm"
QString ListText(const ExtraMark& e)
{
    return QStringLiteral("%1: %2 across, %3 down, %4 x %5 mm")
        .arg(Text(e.name), Text(ShortestText(e.left)), Text(ShortestText(e.top)), Text(ShortestText(e.width)),
             Text(ShortestText(e.height)));
}

}  // namespace

ExtraMarksPanel::ExtraMarksPanel(QWidget* parent) : QGroupBox(QStringLiteral("Extra Marks"), parent)
{
    setObjectName(QStringLiteral("fraExtra"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    // The editor has more captions than keys: the panel's are unique among themselves.
    HoldsOwnAltKeys(this);
    constexpr int kNumberWidth = 60;
    txtMarkWidth = NamedEntry(this, QStringLiteral("txtMarkWidth"),
                              QStringLiteral("Width Of Each Mark In Percent Of Its Box, 10 To 100 (100 Fills The Box)"),
                              kNumberWidth);
    txtMarkHeight = NamedEntry(
        this, QStringLiteral("txtMarkHeight"),
        QStringLiteral("Height Of Each Mark In Percent Of Its Box, 10 To 100 (100 Fills The Box)"), kNumberWidth);
    txtMarkWidth->setText(QStringLiteral("100"));
    txtMarkHeight->setText(QStringLiteral("100"));
    lstExtra = new QListWidget(this);
    lstExtra->setObjectName(QStringLiteral("lstExtra"));
    lstExtra->setToolTip(QStringLiteral("Boxes Marked On Every Slip Played, Such As Number Of Draws Or Draw Days; "
                                        "Delete Removes The Chosen One"));
    // About five marks in sight; the slip drawing above keeps the room.
    lstExtra->setFixedHeight(lstExtra->fontMetrics().height() * 5 + 8);
    txtExtraName =
        NamedEntry(this, QStringLiteral("txtExtraName"), QStringLiteral("Name Of The Extra Mark, Such As Draws 2"), 0);
    txtExtraLeft = NamedEntry(this, QStringLiteral("txtExtraLeft"),
                              QStringLiteral("Left Edge Of Slip To Left Of The Box, mm"), kNumberWidth);
    txtExtraTop = NamedEntry(this, QStringLiteral("txtExtraTop"),
                             QStringLiteral("Top Edge Of Slip To Top Of The Box, mm"), kNumberWidth);
    txtExtraWidth =
        NamedEntry(this, QStringLiteral("txtExtraWidth"), QStringLiteral("Width Of The Box, mm"), kNumberWidth);
    txtExtraHeight =
        NamedEntry(this, QStringLiteral("txtExtraHeight"), QStringLiteral("Height Of The Box, mm"), kNumberWidth);
    cmdExtraAdd = NamedButton(this, "cmdExtraAdd", "Add", "Add The Extra Mark Entered Below To The List");
    cmdExtraChange = NamedButton(this, "cmdExtraChange", "Change", "Replace The Chosen Extra Mark With The Entries");
    cmdExtraRemove = NamedButton(this, "cmdExtraRemove", "Remove", "Remove The Chosen Extra Mark (Delete)");

    auto* size = new QHBoxLayout;
    size->addWidget(Caption(this, QStringLiteral("Mark Width %"), txtMarkWidth));
    size->addWidget(txtMarkWidth);
    size->addSpacing(12);
    size->addWidget(Caption(this, QStringLiteral("Mark Height %"), txtMarkHeight));
    size->addWidget(txtMarkHeight);
    size->addStretch(1);
    auto* entries = new QGridLayout;
    const std::pair<const char*, QLineEdit*> captions[] = {{"Name", txtExtraName},
                                                           {"Left", txtExtraLeft},
                                                           {"Top", txtExtraTop},
                                                           {"Width", txtExtraWidth},
                                                           {"Height", txtExtraHeight}};
    int column = 0;
    for (const auto& [caption, box] : captions) {
        entries->addWidget(Caption(this, QString::fromLatin1(caption), box), 0, column);
        entries->addWidget(box, 1, column++);
    }
    entries->setColumnStretch(0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdExtraAdd);
    buttons->addWidget(cmdExtraChange);
    buttons->addWidget(cmdExtraRemove);
    buttons->addStretch(1);
    auto* root = new QVBoxLayout(this);
    root->addLayout(size);
    root->addWidget(
        Caption(this, QStringLiteral("Marks On Every Slip Played"), lstExtra, QStringLiteral("lblExtraList")));
    root->addWidget(lstExtra);
    root->addLayout(entries);
    root->addLayout(buttons);

    connect(txtMarkWidth, &QLineEdit::textChanged, this, [this] {
        Tell(changed);
        Tell(redraw);
    });
    connect(txtMarkHeight, &QLineEdit::textChanged, this, [this] {
        Tell(changed);
        Tell(redraw);
    });
    connect(lstExtra, &QListWidget::currentRowChanged, this, &ExtraMarksPanel::ShowChosen);
    connect(cmdExtraAdd, &QPushButton::clicked, this, &ExtraMarksPanel::Add);
    connect(cmdExtraChange, &QPushButton::clicked, this, &ExtraMarksPanel::Change);
    connect(cmdExtraRemove, &QPushButton::clicked, this, &ExtraMarksPanel::Remove);
    for (QWidget* w : FocusChain())
        w->installEventFilter(this);
    ShowChosen(-1);
}

std::vector<QWidget*> ExtraMarksPanel::FocusChain() const
{
    return {txtMarkWidth,  txtMarkHeight,  lstExtra,    txtExtraName,   txtExtraLeft,  txtExtraTop,
            txtExtraWidth, txtExtraHeight, cmdExtraAdd, cmdExtraChange, cmdExtraRemove};
}

bool ExtraMarksPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        Tell(redraw);
    if (watched == lstExtra && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete && lstExtra->currentRow() >= 0) {
        Remove();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

MarksEntries ExtraMarksPanel::Entries() const
{
    MarksEntries entries{
        txtMarkWidth->text().toStdString(), txtMarkHeight->text().toStdString(), extras_, second_, board_, prizes_, {}};
    if (secondPanel_) {
        auto read = secondPanel_->Entries();
        entries.second = read.second;
        entries.board = std::move(read.board);
        entries.secondFault = std::move(read.fault);
    }
    return entries;
}

void ExtraMarksPanel::SetSecondPanel(SecondPoolPanel* panel)
{
    secondPanel_ = panel;
    panel->SetMarks(MarksFromEntries(Entries()));
    panel->changed = [this] {
        Tell(changed);
        Tell(redraw);
    };
}

void ExtraMarksPanel::SetMarks(const SlipMarks& marks)
{
    const MarksEntries entries = EntriesFromMarks(marks);
    txtMarkWidth->setText(Text(entries.width));
    txtMarkHeight->setText(Text(entries.height));
    extras_ = entries.extras;
    second_ = entries.second;
    board_ = entries.board;
    prizes_ = entries.prizes;
    if (secondPanel_)
        secondPanel_->SetMarks(marks);
    ClearEntries();
    Refill();
    lstExtra->setCurrentRow(-1);
    ShowChosen(-1);
}

int ExtraMarksPanel::MarkedExtra() const
{
    const QWidget* focus = focusWidget();
    const bool inside = focus && focus->hasFocus() && isAncestorOf(focus);
    return inside ? lstExtra->currentRow() : -1;
}

void ExtraMarksPanel::ClearEntries()
{
    for (QLineEdit* box : {txtExtraName, txtExtraLeft, txtExtraTop, txtExtraWidth, txtExtraHeight})
        box->clear();
}

void ExtraMarksPanel::Refill()
{
    const QSignalBlocker quiet(lstExtra);
    lstExtra->clear();
    for (const ExtraMark& e : extras_)
        lstExtra->addItem(ListText(e));
}

void ExtraMarksPanel::ShowChosen(int row)
{
    const bool chosen = row >= 0 && row < static_cast<int>(extras_.size());
    cmdExtraChange->setEnabled(chosen);
    cmdExtraRemove->setEnabled(chosen);
    if (chosen) {
        const ExtraMark& e = extras_[static_cast<std::size_t>(row)];
        txtExtraName->setText(Text(e.name));
        txtExtraLeft->setText(Text(ShortestText(e.left)));
        txtExtraTop->setText(Text(ShortestText(e.top)));
        txtExtraWidth->setText(Text(ShortestText(e.width)));
        txtExtraHeight->setText(Text(ShortestText(e.height)));
    }
    Tell(redraw);
}

std::optional<ExtraMark> ExtraMarksPanel::FromEntries(int replacing)
{
    const ExtraEntries typed{txtExtraName->text().toStdString(), txtExtraLeft->text().toStdString(),
                             txtExtraTop->text().toStdString(), txtExtraWidth->text().toStdString(),
                             txtExtraHeight->text().toStdString()};
    MarksEntry focus = MarksEntry::ExtraName;
    const auto extra = ExtraFromEntries(typed, extras_, replacing, slip ? slip() : std::nullopt, focus);
    if (extra)
        return *extra;
    dialogs().Message(this, QStringLiteral("Go Back"), Text(extra.error().message), Icon::Error, Buttons::Ok);
    FocusOn({extra.error().message, focus, replacing});
    return std::nullopt;
}

void ExtraMarksPanel::Add()
{
    const auto extra = FromEntries(-1);
    if (!extra)
        return;
    extras_.push_back(*extra);
    Refill();
    // Ready for the next one.
    lstExtra->setCurrentRow(static_cast<int>(extras_.size()) - 1);
    ClearEntries();
    txtExtraName->setFocus(Qt::OtherFocusReason);
    Tell(changed);
    Tell(redraw);
}

void ExtraMarksPanel::Change()
{
    const int row = lstExtra->currentRow();
    if (row < 0)
        return;
    const auto extra = FromEntries(row);
    if (!extra)
        return;
    extras_[static_cast<std::size_t>(row)] = *extra;
    Refill();
    lstExtra->setCurrentRow(row);
    Tell(changed);
    Tell(redraw);
}

void ExtraMarksPanel::Remove()
{
    const int row = lstExtra->currentRow();
    if (row < 0 || row >= static_cast<int>(extras_.size()))
        return;
    extras_.erase(extras_.begin() + row);
    Refill();
    const int next = std::min(row, static_cast<int>(extras_.size()) - 1);
    lstExtra->setCurrentRow(next);
    if (next < 0) {
        ClearEntries();
        ShowChosen(-1);
    }
    lstExtra->setFocus(Qt::OtherFocusReason);
    Tell(changed);
    Tell(redraw);
}

void ExtraMarksPanel::FocusOn(const MarksFailure& failure)
{
    QWidget* target = nullptr;
    switch (failure.focus) {
    case MarksEntry::Width: target = txtMarkWidth; break;
    case MarksEntry::Height: target = txtMarkHeight; break;
    case MarksEntry::ExtraName: target = txtExtraName; break;
    case MarksEntry::ExtraLeft: target = txtExtraLeft; break;
    case MarksEntry::ExtraTop: target = txtExtraTop; break;
    case MarksEntry::ExtraWidth: target = txtExtraWidth; break;
    case MarksEntry::ExtraHeight: target = txtExtraHeight; break;
    case MarksEntry::ExtraList:
        target = lstExtra;
        lstExtra->setCurrentRow(failure.extra);
        break;
    case MarksEntry::Second:
        if (secondPanel_) {
            secondPanel_->FocusOnFault();
            return;
        }
        target = txtMarkWidth;
        break;
    }
    target->setFocus(Qt::OtherFocusReason);
}

}  // namespace bm::app
