#include "wheels/window/WheelsWindow.h"

#include <algorithm>

#include <map>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "checking/CheckReport.h"
#include "checking/GameVariants.h"
#include "common/AtomicFile.h"
#include "definitions/DefinitionFile.h"
#include "slip/SlipMarks.h"
#include "wheels/SecondPool.h"
#include "wheels/window/WheelMakeTab.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WheelPrinter.h"
#include "windowing/window/WidgetBuilders.h"
#include "windowing/window/WindowCatalogue.h"
#include "windowing/window/WindowManners.h"

#include "wheels/window/WheelsWindowText.h"

namespace bm::app {

using namespace wheelswindow;

QWidget* WheelsWindow::BuildApplyTab()
{
    auto* tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("tabApply"));
    lblApplyGame = NamedLabel(tab, QStringLiteral("lblApplyGame"), {});
    txtNumbers = new QLineEdit(tab);
    txtNumbers->setObjectName(QStringLiteral("txtNumbers"));
    txtNumbers->setToolTip(
        QStringLiteral("Your numbers, separated by blanks or commas; the first takes the lowest label"));
    txtNumbers->setPlaceholderText(QStringLiteral("e.g. 3 7 11 14 19 22 27 30 35 38 43 45"));
    UseEntryHelpers(txtNumbers);
    auto* numbersLabel = NamedLabel(tab, QStringLiteral("lblNumbers"), QStringLiteral("Your &Numbers"));
    numbersLabel->setWordWrap(false);
    numbersLabel->setBuddy(txtNumbers);
    cmdDesign = NamedButton(tab, "cmdDesign", QStringLiteral("Open &Design..."),
                            QStringLiteral("Choose a published wheel written on labels 1..v or 0..v-1"));
    lblDesign = NamedLabel(tab, QStringLiteral("lblDesign"), QStringLiteral("No design opened"));
    lblApplyStatus = NamedLabel(tab, QStringLiteral("lblApplyStatus"), {});
    txtPlays = new QPlainTextEdit(tab);
    txtPlays->setObjectName(QStringLiteral("txtPlays"));
    txtPlays->setReadOnly(true);
    txtPlays->setTabChangesFocus(true);
    txtPlays->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtPlays->setToolTip(QStringLiteral("The plays on your numbers, as the wheel file will hold them"));
    cmdSaveWheel = NamedButton(tab, "cmdSaveWheel", QStringLiteral("&Save Wheel..."),
                               QStringLiteral("Save the plays as a wheel file, by default in the wheel folder"));
    cmdSaveWheel->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(numbersLabel, 0, 0);
    grid->addWidget(txtNumbers, 0, 1);
    grid->addWidget(cmdDesign, 1, 0);
    grid->addWidget(lblDesign, 1, 1);
    grid->setColumnStretch(1, 1);
    auto* save = new QHBoxLayout;
    save->addWidget(lblApplyStatus, 1);
    save->addWidget(cmdSaveWheel);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(lblApplyGame);
    layout->addLayout(grid);
    layout->addWidget(txtPlays, 1);
    layout->addLayout(save);

    connect(txtNumbers, &QLineEdit::textChanged, this, [this] { ApplyNow(); });
    connect(cmdDesign, &QPushButton::clicked, this, [this] { cmdDesign_Click(); });
    connect(cmdSaveWheel, &QPushButton::clicked, this, [this] { cmdSaveWheel_Click(); });
    return tab;
}

Result<std::vector<std::vector<int>>> WheelsWindow::WithSecond(const std::vector<std::vector<int>>& plays)
{
    const auto game = CurrentGame();
    if (!game || game->secondPick == 0)
        return plays;
    const QString typed = txtSecond->text().trimmed();
    const std::string many = game->secondPick == 1 ? " number" : " numbers";
    if (typed.isEmpty())
        return Error{game->name + " plays end in " + std::to_string(game->secondPick) + many +
                     " of its second pool (1 to " + std::to_string(game->secondPool) +
                     "): type the numbers to give them in Second Pool."};
    const auto numbers =
        wheels::ParseNumbers(typed.toStdString(), game->secondPool, game->name + "'s second pool", "Second Pool");
    if (!numbers)
        return numbers.error();
    if (static_cast<int>(numbers->size()) < game->secondPick)
        return Error{"Second Pool holds " + std::to_string(numbers->size()) + " number; " + game->name +
                     " plays take " + std::to_string(game->secondPick) + " second-pool numbers."};
    wheels::SecondChoice second;
    second.numbers = *numbers;
    second.pick = game->secondPick;
    second.all = chkSecondAll->isChecked();
    return wheels::WithSecondNumbers(plays, second);
}

void WheelsWindow::SetApplyStatus(const QString& text, bool fault)
{
    lblApplyStatus->setText(text);
    lblApplyStatus->setStyleSheet(fault ? QStringLiteral("color: #a00000;") : QString());
}

void WheelsWindow::ApplyNow()
{
    // The same plays again (another definition of the same game read anew) stay saved where they were.
    const auto before = plays_;
    ApplyPlays();
    if (plays_.empty() || plays_ != before)
        savedPlays_.clear();
}

void WheelsWindow::ApplyPlays()
{
    plays_.clear();
    txtPlays->clear();
    cmdSaveWheel->setEnabled(false);
    UpdatePrintButtons();
    if (!design_) {
        SetApplyStatus(QStringLiteral("Type your numbers and open a design."), false);
        return;
    }
    const auto game = CurrentGame();
    std::optional<int> pool;
    std::string lottery;
    if (game) {
        if (game->definition.bPB && game->secondPick == 0) {
            SetApplyStatus(QStringLiteral("A design cannot be applied to a powerball game without its second pool. "
                                          "Choose another definition in the Game list."),
                           true);
            return;
        }
        if (design_->playSize != game->definition.Pick) {
            // What to do: another game whose plays fit the design, or another design.
            const QString fitting = DefinitionsOfPick(design_->playSize);
            SetApplyStatus(QStringLiteral("The design's plays hold %1 numbers; %2 plays hold %3. %4")
                               .arg(design_->playSize)
                               .arg(QString::fromStdString(game->name))
                               .arg(game->definition.Pick)
                               .arg(fitting.isEmpty()
                                        ? QStringLiteral("Open a design of plays of %1.").arg(game->definition.Pick)
                                        : QStringLiteral("Choose %1 in the Game list, or open a design of plays of %2.")
                                              .arg(fitting)
                                              .arg(game->definition.Pick)),
                           true);
            return;
        }
        pool = game->definition.Pool;
        lottery = game->name;
    }
    const int needed = design_->NumbersNeeded();
    if (txtNumbers->text().trimmed().isEmpty()) {
        SetApplyStatus(QStringLiteral("Type your %1 numbers.").arg(needed), false);
        return;
    }
    const auto numbers = wheels::ParseNumbers(txtNumbers->text().toStdString(), pool, lottery, "Your Numbers");
    if (!numbers) {
        SetApplyStatus(QString::fromStdString(numbers.error().message), true);
        return;
    }
    const int given = static_cast<int>(numbers->size());
    if (given < needed) {
        SetApplyStatus(QStringLiteral("%1 numbers typed; the design needs %2.").arg(given).arg(needed), true);
        return;
    }
    auto applied = wheels::ApplyDesign(*design_, *numbers);
    if (!applied) {
        SetApplyStatus(QString::fromStdString(applied.error().message), true);
        return;
    }
    auto finished = WithSecond(*applied);
    if (!finished) {
        SetApplyStatus(QString::fromStdString(finished.error().message), true);
        return;
    }
    plays_ = std::move(*finished);
    std::string shown = wheels::PlaysText(plays_);
    shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
    txtPlays->setPlainText(QString::fromStdString(shown));
    QString status = QStringLiteral("%1 on your %2 numbers.")
                         .arg(Count(static_cast<std::int64_t>(plays_.size()), "play", "plays"))
                         .arg(needed);
    // More numbers than labels: the last ones would silently be in no play.
    if (given > needed)
        status += QStringLiteral(" The design has %1 labels, so the last %2 in no play.")
                      .arg(needed)
                      .arg(Count(given - needed, "number typed is", "numbers typed are"));
    SetApplyStatus(status, given > needed);
    cmdSaveWheel->setEnabled(true);
    UpdatePrintButtons();
}

void WheelsWindow::UpdatePrintButtons()
{
    const int tab = tabWheels->currentIndex();
    const bool plays = tab == 0 ? !plays_.empty() : tab == 2 ? !makeTab_->plays().empty() : !wheelFile_.empty();
    cmdPrint->setEnabled(plays && !running_);
    cmdPreview->setEnabled(plays && !running_);
}

void WheelsWindow::PrintPlays(bool preview)
{
    if (!printer_ || running_ || makeTab_->running())
        return;
    const int tab = tabWheels->currentIndex();
    std::filesystem::path wheel;
    if (tab == 0) {
        if (plays_.empty())
            return;
        if (savedPlays_.empty())
            cmdSaveWheel_Click();
        wheel = savedPlays_;
    } else if (tab == 2) {
        if (makeTab_->plays().empty())
            return;
        wheel = makeTab_->saved().empty() ? makeTab_->Save() : makeTab_->saved();
    } else {
        wheel = wheelFile_;
    }
    if (wheel.empty())
        return;
    printer_->PrintWheel(ListedDefinition(), wheel, preview);
}

void WheelsWindow::LoadDesign(const QString& file)
{
    const std::filesystem::path path = file.toStdString();
    auto design = wheels::ReadDesign(path);
    if (!design) {
        Refuse(QString::fromStdString(design.error().message));
        return;
    }
    designFile_ = path;
    design_ = std::move(*design);
    ShowDesign();
    ApplyNow();
}

void WheelsWindow::ShowDesign()
{
    const int low = design_->zeroBased ? 0 : 1;
    lblDesign->setText(QStringLiteral("%1: %2 of %3, labels %4 to %5")
                           .arg(QString::fromStdString(FileName(designFile_)))
                           .arg(Count(static_cast<std::int64_t>(design_->plays.size()), "play", "plays"))
                           .arg(design_->playSize)
                           .arg(low)
                           .arg(low + design_->NumbersNeeded() - 1));
}

void WheelsWindow::cmdDesign_Click()
{
    const ProgramFolder& folder = choice_.Folder();
    const QString file = OpenFileRemembered(this, folder, "Design", QStringLiteral("Open Design File"),
                                            kTextFiles + QStringLiteral(";;All Files (*)"),
                                            QString::fromStdString(folder.wheel().string()));
    if (!file.isEmpty())
        LoadDesign(file);
}

void WheelsWindow::cmdSaveWheel_Click()
{
    if (plays_.empty())
        return;
    const ProgramFolder& folder = choice_.Folder();
    const QString file = SaveFileRemembered(this, folder, "Wheel", QStringLiteral("Save Wheel File"), kTextFiles,
                                            QString::fromStdString(folder.wheel().string()), QStringLiteral("txt"));
    if (file.isEmpty())
        return;
    const std::filesystem::path target = file.toStdString();
    if (const Status ok = CheckOutputTarget(target, {designFile_}, &folder); !ok) {
        Refuse(QString::fromStdString(ok.error().message));
        return;
    }
    if (const Status written = WriteFileAtomically(target, wheels::PlaysText(plays_)); !written) {
        Refuse(QString::fromStdString(written.error().message));
        return;
    }
    savedPlays_ = target;
    SetApplyStatus(QStringLiteral("Saved %1 in %2.")
                       .arg(Count(static_cast<std::int64_t>(plays_.size()), "play", "plays"))
                       .arg(QString::fromStdString(target.string())),
                   false);
    // Ready to be proved on the other tab.
    SetWheel(file);
}

}  // namespace bm::app
