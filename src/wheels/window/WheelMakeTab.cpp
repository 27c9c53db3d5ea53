#include "wheels/window/WheelMakeTab.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "wheels/WheelDesign.h"
#include "wheels/WheelLibrary.h"
#include "wheels/WheelMake.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/RememberedChoices.h"

namespace bm::app {

namespace {

QSpinBox* Spin(QWidget* parent, const char* name, int lo, int hi, int value, const QString& tip)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(lo, hi);
    s->setValue(value);
    s->setToolTip(tip);
    return s;
}

}  // namespace

WheelMakeTab::WheelMakeTab(DefinitionChoice& choice, int pumpIntervalMs, QWidget* parent)
    : QWidget(parent),
      choice_(choice),
      pumpIntervalMs_(pumpIntervalMs)
{
    setObjectName(QStringLiteral("tabMake"));
    lblMakeGame = new QLabel(this);
    lblMakeGame->setObjectName(QStringLiteral("lblMakeGame"));
    lblMakeGame->setWordWrap(true);
    txtMakeNumbers = new QLineEdit(this);
    txtMakeNumbers->setObjectName(QStringLiteral("txtMakeNumbers"));
    txtMakeNumbers->setPlaceholderText(
        QStringLiteral("your numbers, e.g. 3 7 11 14 19 22 27 30 35, or a count such as 15"));
    txtMakeNumbers->setToolTip(QStringLiteral("The numbers to wheel, separated by blanks or commas; "
                                              "a single number N stands for 1 to N"));
    UseEntryHelpers(txtMakeNumbers);
    spnPick = Spin(this, "spnPick", 1, wheels::kMaxWheelNumbers, 6, QStringLiteral("Numbers in a play"));
    spnMatch =
        Spin(this, "spnMatch", 1, wheels::kMaxWheelNumbers, 3, QStringLiteral("The match the wheel guarantees..."));
    spnIf = Spin(this, "spnIf", 1, wheels::kMaxWheelNumbers, 6,
                 QStringLiteral("...whenever this many drawn numbers are among yours"));
    spnSeconds = Spin(this, "spnSeconds", 1, 3600, 10, QStringLiteral("The longest the search may take"));
    spnSeconds->setSuffix(QStringLiteral(" s"));
    cmdMake = new QPushButton(QStringLiteral("&Make"), this);
    cmdMake->setObjectName(QStringLiteral("cmdMake"));
    cmdMake->setToolTip(QStringLiteral("Search for a small wheel; ESC stops it and keeps the best so far"));
    cmdMake->setAutoDefault(false);
    prgMake = new QProgressBar(this);
    prgMake->setObjectName(QStringLiteral("prgMake"));
    prgMake->setRange(0, 1000);
    prgMake->setTextVisible(false);
    prgMake->hide();
    lblMakeStatus = new QLabel(this);
    lblMakeStatus->setObjectName(QStringLiteral("lblMakeStatus"));
    lblMakeStatus->setWordWrap(true);
    lblMakeResult = new QLabel(this);
    lblMakeResult->setObjectName(QStringLiteral("lblMakeResult"));
    lblMakeResult->setWordWrap(true);
    txtMadePlays = new QPlainTextEdit(this);
    txtMadePlays->setObjectName(QStringLiteral("txtMadePlays"));
    txtMadePlays->setReadOnly(true);
    txtMadePlays->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cmdSaveMade = new QPushButton(QStringLiteral("Sa&ve Wheel..."), this);
    cmdSaveMade->setObjectName(QStringLiteral("cmdSaveMade"));
    cmdSaveMade->setToolTip(QStringLiteral("Save the plays as a wheel file, by default in the wheel folder"));
    cmdSaveMade->setAutoDefault(false);
    cmdSaveMade->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(Caption(this, QStringLiteral("Your N&umbers"), txtMakeNumbers), 0, 0);
    grid->addWidget(txtMakeNumbers, 0, 1);
    auto* shape = new QHBoxLayout;
    shape->addWidget(Caption(this, QStringLiteral("Pi&ck"), spnPick));
    shape->addWidget(spnPick);
    shape->addSpacing(16);
    shape->addWidget(Caption(this, QStringLiteral("Guarantee Ma&tch"), spnMatch));
    shape->addWidget(spnMatch);
    shape->addWidget(Caption(this, QStringLiteral("&if"), spnIf));
    shape->addWidget(spnIf);
    shape->addSpacing(16);
    shape->addWidget(Caption(this, QStringLiteral("Time &Limit"), spnSeconds));
    shape->addWidget(spnSeconds);
    shape->addStretch(1);
    shape->addWidget(cmdMake);
    grid->addLayout(shape, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* save = new QHBoxLayout;
    save->addWidget(lblMakeResult, 1);
    save->addWidget(cmdSaveMade);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMakeGame);
    layout->addLayout(grid);
    layout->addWidget(prgMake);
    layout->addWidget(lblMakeStatus);
    layout->addWidget(txtMadePlays, 1);
    layout->addLayout(save);
    setTabOrder(txtMakeNumbers, spnPick);
    setTabOrder(spnPick, spnMatch);
    setTabOrder(spnMatch, spnIf);
    setTabOrder(spnIf, spnSeconds);
    setTabOrder(spnSeconds, cmdMake);
    setTabOrder(cmdMake, txtMadePlays);
    setTabOrder(txtMadePlays, cmdSaveMade);

    connect(cmdMake, &QPushButton::clicked, this, [this] { Make(); });
    connect(cmdSaveMade, &QPushButton::clicked, this, [this] { (void)Save(); });
    ShowGame();
}

WheelMakeTab::~WheelMakeTab() = default;

void WheelMakeTab::ShowGame()
{
    const auto chosen = choice_.ReadChosen();
    if (!chosen) {
        lblMakeGame->setText(QStringLiteral("No definition chosen: any numbers from 1 to %1, plays of any size.")
                                 .arg(wheels::kMaxWheelNumbers));
        return;
    }
    const SlipDefinition& d = chosen->definition;
    spnPick->setValue(d.Pick);
    spnIf->setValue(d.Pick);
    lblMakeGame->setText(QStringLiteral("%1: numbers from 1 to %2, plays of %3.")
                             .arg(QString::fromStdString(chosen->name))
                             .arg(d.Pool)
                             .arg(d.Pick));
}

void WheelMakeTab::Refuse(const QString& text)
{
    dialogs().Message(this, QStringLiteral("Go Back"), text, Icon::Error, Buttons::Ok);
}

void WheelMakeTab::Make()
{
    if (running_)
        return;
    std::optional<int> pool;
    std::string lottery;
    if (const auto chosen = choice_.ReadChosen()) {
        pool = chosen->definition.Pool;
        lottery = chosen->name;
    }
    const std::string text = txtMakeNumbers->text().trimmed().toStdString();
    std::vector<int> numbers;
    if (const auto count = ParseWhole(text)) {
        if (*count < 1 || *count > (pool ? *pool : wheels::kMaxWheelNumbers)) {
            Refuse(QStringLiteral("Your Numbers: a count of %1 is not from 1 to %2.")
                       .arg(QString::fromStdString(text))
                       .arg(pool ? *pool : wheels::kMaxWheelNumbers));
            return;
        }
        for (int n = 1; n <= *count; ++n)
            numbers.push_back(n);
    } else {
        const auto given = wheels::ParseNumbers(text, pool, lottery, "Your Numbers");
        if (!given) {
            Refuse(QString::fromStdString(given.error().message));
            return;
        }
        numbers = *given;
    }
    const wheels::WheelShape shape{static_cast<int>(numbers.size()), spnPick->value(), spnIf->value(),
                                   spnMatch->value()};
    if (const auto fault = wheels::MakeFault(shape)) {
        Refuse(QString::fromStdString(*fault));
        return;
    }

    made_.clear();
    madeText_.clear();
    plays_.clear();
    saved_.clear();
    txtMadePlays->clear();
    lblMakeResult->clear();
    cmdSaveMade->setEnabled(false);
    if (playsChanged)
        playsChanged();
    running_ = true;
    cmdMake->setEnabled(false);
    prgMake->setValue(0);
    prgMake->show();
    lblMakeStatus->setText(QStringLiteral("Building.... ESC Key Will Stop, Keeping The Best So Far"));
    const double limitMs = spnSeconds->value() * 1000.0;
    QElapsedTimer timer;
    timer.start();
    JobPump pump(pumpIntervalMs_);
    pump.Start();
    wheels::MakeLimits limits;
    limits.spent = [&timer, limitMs]() { return static_cast<double>(timer.elapsed()) / limitMs; };
    limits.search.keepGoing = [&](const wheels::SearchProgress& progress) {
        prgMake->setValue(static_cast<int>(std::min(1.0, static_cast<double>(timer.elapsed()) / limitMs) * 1000));
        if (progress.bestPlays > 0)
            lblMakeStatus->setText(
                QStringLiteral("Best so far: %1 plays.... ESC Key Will Stop, Keeping It").arg(progress.bestPlays));
        return !pump.Pressed() && static_cast<double>(timer.elapsed()) < limitMs;
    };
    std::vector<std::string> faults;
    const wheels::MadeWheel result = wheels::MakeWheel(shape, limits, wheels::LibraryFolder(), faults);
    const bool escaped = pump.Pressed();
    lblMakeStatus->setText(QStringLiteral("Checking the wheel against every subset..."));
    const auto match = result.plays.empty() ? std::nullopt : wheels::CheckedMatch(shape, result.plays);
    pump.Stop();
    running_ = false;
    prgMake->hide();
    cmdMake->setEnabled(true);
    const QString seconds = QString::number(static_cast<double>(timer.elapsed()) / 1000.0, 'f', 1);
    if (result.plays.empty()) {
        lblMakeStatus->setText(QStringLiteral("%1 before a first wheel was complete (%2 s): nothing made.")
                                   .arg(escaped ? QStringLiteral("Stopped") : QStringLiteral("The time ran out"))
                                   .arg(seconds));
        return;
    }
    if (!match || *match < shape.t) {
        lblMakeStatus->setText(QStringLiteral("The wheel built does not hold its guarantee: nothing shown."));
        Refuse(QStringLiteral("The wheel built does not hold its guarantee. This is a fault of the program; "
                              "nothing was kept."));
        return;
    }
    made_ = wheels::PlaysOnNumbers(result.plays, numbers);
    lblMakeStatus->setText(
        QStringLiteral("%1 in %2 s: every %3 of your %4 numbers drawn meet a play in %5 or more (checked).")
            .arg(escaped ? QStringLiteral("Stopped; the best wheel so far,") : QStringLiteral("Made"))
            .arg(seconds)
            .arg(shape.m)
            .arg(shape.v)
            .arg(shape.t));
    madeText_ = QStringLiteral("%1 plays; %2%3.")
                    .arg(made_.size())
                    .arg(QString::fromStdString(wheels::BoundAndRecordText(shape)),
                         QString::fromStdString(result.source.empty() ? "" : "; " + result.source));
    // A broken library file is no reason to refuse the wheel, but the player should hear of it.
    if (!faults.empty())
        lblMakeStatus->setText(
            lblMakeStatus->text() +
            QStringLiteral(" The wheel library was left out: %1").arg(QString::fromStdString(faults.front())));
    ShowPlays();
}

void WheelMakeTab::Refinish()
{
    if (!running_ && !made_.empty())
        ShowPlays();
}

void WheelMakeTab::ShowPlays()
{
    FinishPlays();
    if (playsChanged)
        playsChanged();
}

void WheelMakeTab::FinishPlays()
{
    plays_.clear();
    saved_.clear();
    txtMadePlays->clear();
    cmdSaveMade->setEnabled(false);
    lblMakeResult->setText(madeText_);
    lblMakeResult->setStyleSheet(QString());
    if (finish) {
        auto finished = finish(made_);
        if (!finished) {
            // The wheel is kept: the numbers that are missing are typed, and it shows.
            lblMakeResult->setText(QString::fromStdString(finished.error().message));
            lblMakeResult->setStyleSheet(QStringLiteral("color: #a00000;"));
            return;
        }
        plays_ = std::move(*finished);
    } else {
        plays_ = made_;
    }
    std::string shown = wheels::PlaysText(plays_);
    shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
    txtMadePlays->setPlainText(QString::fromStdString(shown));
    cmdSaveMade->setEnabled(!plays_.empty());
}

WheelMakeTab::Entries WheelMakeTab::entries() const
{
    return {txtMakeNumbers->text(), spnPick->value(), spnMatch->value(), spnIf->value(), spnSeconds->value()};
}

void WheelMakeTab::Restore(const Entries& entries)
{
    txtMakeNumbers->setText(entries.numbers);
    spnPick->setValue(entries.pick);
    spnMatch->setValue(entries.match);
    spnIf->setValue(entries.ifDrawn);
    spnSeconds->setValue(entries.seconds);
}

std::filesystem::path WheelMakeTab::Save()
{
    if (plays_.empty())
        return {};
    const ProgramFolder& folder = choice_.Folder();
    const QString file = SaveFileRemembered(this, folder, "Wheel", QStringLiteral("Save Wheel File"),
                                            QStringLiteral("Text Files (*.txt)"),
                                            QString::fromStdString(folder.wheel().string()), QStringLiteral("txt"));
    if (file.isEmpty())
        return {};
    const std::filesystem::path target = file.toStdString();
    if (const Status ok = CheckOutputTarget(target, {}, &folder); !ok) {
        Refuse(QString::fromStdString(ok.error().message));
        return {};
    }
    if (const Status written = WriteFileAtomically(target, wheels::PlaysText(plays_)); !written) {
        Refuse(QString::fromStdString(written.error().message));
        return {};
    }
    lblMakeStatus->setText(QStringLiteral("Saved %1 plays in %2.").arg(plays_.size()).arg(file));
    saved_ = target;
    return target;
}

}  // namespace bm::app
