#include "checking/window/CheckerWindow.h"

#include "checking/window/CheckerParts.h"

#include "checking/DrawEntry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "checking/CheckReport.h"
#include "checking/DrawEntry.h"
#include "checking/GameRules.h"
#include "checking/SummaryFile.h"
#include "checking/window/CheckerNames.h"
#include "checking/window/ReportBox.h"
#include "common/AtomicFile.h"
#include "definitions/DefinitionFile.h"
#include "plays/PlayCount.h"
#include "slip/SlipMarks.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

CheckerWindow::CheckerWindow(const CheckerVariant& variant, DefinitionChoice& choice, Options options, QWidget* parent)
    : QWidget(parent),
      variant_(variant),
      choice_(choice),
      folder_(choice.Folder()),
      options_(options)
{
    setObjectName(QString::fromLatin1(CheckerWindowName(variant)));
    BuildUi();
    setWindowTitle(QString::fromLatin1(kCheckerCaption));
    const auto opened = ReadGame(true);
    ShowGame(opened ? *opened : CheckerGame{});
    cmdreset->setEnabled(false);
    cmdsave->setEnabled(false);
    // Another definition of this game chosen in the main window shows here at once.
    UseWindowKeys(this);
    listening_ = choice_.Listen([this] {
        if (running_)
            return;
        const auto game = ReadGame(false);
        if (game && (game->file != game_.file || game->bBon != game_.bBon || game->pool != game_.pool))
            ShowGame(*game);
    });
}

CheckerWindow::CheckerWindow(const CheckerVariant& variant, DefinitionChoice& choice, QWidget* parent)
    : CheckerWindow(variant, choice, Options{}, parent)
{}

CheckerWindow::~CheckerWindow() = default;

void CheckerWindow::BuildUi()
{
    auto* outer = new QVBoxLayout(this);
    lblLot = NamedLabel(this, QStringLiteral("lblLot"), QString());
    outer->addWidget(lblLot);
    lblHead = NamedLabel(this, QStringLiteral("lblHead"), QString());
    outer->addWidget(lblHead);
    auto* row = new QHBoxLayout;
    // The extra number (bonus or powerball) is the last box, on light yellow, and named beside it
    // for those who cannot tell the colour.
    for (int i = 1; i <= variant_.drawBoxes; ++i) {
        boxes_.push_back(NewDrawBox(this, i, i == variant_.drawBoxes));
        row->addWidget(boxes_.back());
    }
    lblHead->setBuddy(boxes_.front());
    lblExtra = NamedLabel(this, QStringLiteral("lblExtra"), QString());
    lblExtra->setBuddy(boxes_.back());
    row->insertWidget(row->count() - 1, lblExtra);
    row->addStretch();
    outer->addLayout(row);

    AddCheckerButtons(this, outer, {&cmdGo, &cmdreset, &cmdsave, &cmdHistory, &cmdxit});

    // The tier rows in the order of the summary, the "Jackpot!" row last. A hidden row takes
    // no room, so the rows below it move up into its place.
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Tier& tier : variant_.AllRows().tiers) {
        const TierRow made = AddTierRow(grid, this, r++, 0, CaptionName(variant_, tier),
                                        QString::fromLatin1(tier.caption), CountLabelName(tier));
        captions_[tier.counter] = made.caption;
        counts_[tier.counter] = made.count;
    }
    const TierRow lines = AddLinesCheckedRow(grid, this, r);
    Label12 = lines.caption;
    lbldraw = lines.count;
    grid->setColumnStretch(2, 1);
    outer->addLayout(grid);

    const CheckerFooter footer = NewCheckerFooter(this);
    lblstatus = footer.status;
    outer->addWidget(lblstatus);
    prgHistory = new QProgressBar(this);
    prgHistory->setObjectName(QStringLiteral("prgHistory"));
    prgHistory->hide();
    outer->addWidget(prgHistory);
    rtbreport = footer.report;
    outer->addWidget(rtbreport, 1);

    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    connect(cmdreset, &QPushButton::clicked, this, [this] { cmdreset_Click(); });
    connect(cmdsave, &QPushButton::clicked, this, [this] { cmdsave_Click(); });
    connect(cmdxit, &QPushButton::clicked, this, [this] { close(); });
    connect(cmdHistory, &QPushButton::clicked, this, [this] { cmdHistory_Click(); });
    resize(600, 640);  // five buttons in a row, none squeezed
}

Result<CheckerGame> CheckerWindow::ReadGame(bool opening)
{
    const auto game = [](const ChosenDefinition& d) {
        CheckerGame g{d.file, d.name, d.definition.Pool, d.definition.bBon, d.definition.Pool};
        // A marks file that cannot be read is told when printing; the main pool still bounds.
        if (const auto marks = ReadSlipMarks(MarksFileOf(d.file)); marks && marks->second)
            g.powerballPool = marks->second->pool;
        return g;
    };
    const auto chosen = choice_.ReadChosen();
    if (chosen &&
        (opening || chosen->file == game_.file || ChooseChecker(chosen->name, chosen->definition) == &variant_))
        return game(*chosen);
    if (opening)
        return chosen.error();
    const auto own = ReadDefinitionFile(game_.file);
    if (!own)
        return own.error();
    if (ChooseChecker(game_.lotteryName, *own) != &variant_)
        return Error{game_.file.string() + ": no longer a game of this window. Choose the definition in the main "
                                           "window and click Check Tickets again."};
    return game({game_.file, {}, game_.lotteryName, *own});
}

// The state on opening, repeated at the start of every run with the definition's file as it
// reads at that moment.
bool CheckerWindow::Form_Load()
{
    setWindowTitle(QString::fromLatin1(kCheckerCaption));
    cmdreset->setEnabled(!ticketFile_.isEmpty());
    cmdsave->setEnabled(false);
    const auto game = ReadGame(false);
    if (!game) {
        Refuse(QString::fromStdString(game.error().message));
        return false;
    }
    ShowGame(*game);
    return true;
}

void CheckerWindow::ShowGame(const CheckerGame& game)
{
    game_ = game;
    rules_ = &variant_.Game(game_.bBon);
    lblLot->setText(QString::fromStdString(game_.lotteryName));
    lblHead->setText(QString::fromLatin1(rules_->heading));
    lblExtra->setText(rules_->extra == ExtraNumber::Powerball ? QStringLiteral("Powerball:")
                                                              : QStringLiteral("Bonus:"));
    GiveMnemonics(this);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const int box = static_cast<int>(i) + 1;
        boxes_[i]->setVisible(box <= rules_->DrawSize());
        const QString name = QString::fromStdString(DrawBoxName(*rules_, box));
        boxes_[i]->setAccessibleName(name);
        boxes_[i]->setToolTip(name);
    }
    const bool extra = rules_->extra != ExtraNumber::None && rules_->DrawSize() == static_cast<int>(boxes_.size());
    lblExtra->setVisible(extra);
    for (const Tier& tier : variant_.AllRows().tiers) {
        const bool inGame = rules_->IndexOf(tier.counter) >= 0;
        captions_[tier.counter]->setVisible(inGame);
        Count(tier)->setVisible(inGame && !tier.hiddenWhileRunning);
    }
}

void CheckerWindow::ResetDisplay()
{
    for (const auto& [name, label] : counts_)
        label->setText(QStringLiteral("0"));
    lbldraw->setText(QStringLiteral("0"));
    for (const Tier& tier : variant_.AllRows().tiers)
        if (tier.hiddenWhileRunning)
            Count(tier)->hide();
    lblstatus->hide();
    rtbreport->Clear();
    reportShown_ = 0;
    // Nothing finished is shown any more, so there is nothing to save.
    cmdsave->setEnabled(false);
}

void CheckerWindow::SetStatus(const QString& text)
{
    lblstatus->setText(text);
    lblstatus->show();
}

void CheckerWindow::Refuse(const QString& text)
{
    OwnDialogs().Message(this, QStringLiteral("Go Back"), text, Icon::Error, Buttons::Ok);
}

void CheckerWindow::cmdGo_Click()
{
    ResetDisplay();
    cmdreset->setEnabled(false);
    playCount_ = 0;
    ticketFile_.clear();
    OwnDialogs();
    const QString file =
        OpenFileRemembered(this, folder_, "Wheel", QStringLiteral("Open Wheel File"),
                           QStringLiteral("Text Files (*.txt)"), QString::fromStdString(folder_.wheel().string()));
    if (file.isEmpty())
        return;
    BusyCursor busy;
    SetStatus(QStringLiteral("Reading Wheel File..."));
    repaint();
    // The whole file is read by the game's rules now, so a malformed one is refused before a run.
    const PlayRule rule(*rules_, game_.pool);
    const auto plays = CountPlaysWithin(
        file.toStdString(), rules_->numbersPerPlay, NumberWidth::Bits32,
        [&](const Play& play) { return rule.Accepts(play) ? std::nullopt : rule.Fault(play); }, false);
    if (!plays) {
        lblstatus->hide();
        busy.Release();
        Refuse(QString::fromStdString(plays.error().message));
        return;
    }
    playCount_ = *plays;
    ticketFile_ = file;
    SetStatus(QString::fromStdString(LoadedText(playCount_, UiSeparators())));
    cmdreset->setEnabled(true);
}

void CheckerWindow::cmdsave_Click()
{
    // The loaded ticket file stays loaded: the next Run checks it again.
    const std::filesystem::path checked = ticketFile_.toStdString();
    if (const Status made = EnsureSummaryFolder(folder_); !made)
        OwnDialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(made.error().message),
                             Icon::Error, Buttons::Ok);
    OwnDialogs();
    QString file = SaveFileRemembered(this, folder_, "Summary", QStringLiteral("Save Summary File"),
                                      QStringLiteral("Text Files (*.txt)"),
                                      QString::fromStdString(folder_.summary().string()), QStringLiteral("txt"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".txt");
    // Never over the ticket file just checked, nor among the definitions and offsets.
    Status saved = CheckOutputTarget(file.toStdString(), {checked}, &folder_);
    if (saved)
        saved = WriteSummaryFile(file.toStdString(), rtbreport->Text());
    if (!saved)
        OwnDialogs().Message(this, QStringLiteral("Brindlemark"),
                             QString::fromStdString(saved.error().message) +
                                 QStringLiteral("\nThe summary was not saved; it is still shown below."),
                             Icon::Error, Buttons::Ok);
}

Dialogs& CheckerWindow::OwnDialogs()
{
    ownDialogShown_ = true;
    return dialogs();
}

void CheckerWindow::changeEvent(QEvent* event)
{
    // Coming back from another window of the program puts the focus on the first draw box;
    // coming back from this window's own message box leaves it where the handler put it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (!ownDialogShown_ && !running_)
            boxes_.front()->setFocus(Qt::ActiveWindowFocusReason);
        ownDialogShown_ = false;
    }
    QWidget::changeEvent(event);
}

void CheckerWindow::closeEvent(QCloseEvent* event)
{
    if (running_) {
        // The run is on the stack of this window: it stops at its next look, then the window closes.
        closeAsked_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace bm::app
