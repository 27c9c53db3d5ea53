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

namespace {

// What the window held when it was closed, per program folder, so that closing it to look at
// something else loses nothing typed or opened.
struct KeptEntries {
    std::string definition;  // listed name
    QString numbers, second;
    bool secondAll = false;
    std::optional<wheels::Design> design;
    std::filesystem::path designFile;
    std::filesystem::path wheelFile;
    std::optional<WheelMakeTab::Entries> make;
};

std::map<std::filesystem::path, KeptEntries>& Kept()
{
    static std::map<std::filesystem::path, KeptEntries> kept;
    return kept;
}

}  // namespace

// The definition the window works with, chosen in its own list from the main window's folder.
class WheelsDefinition final : public DefinitionChoice {
public:
    explicit WheelsDefinition(DefinitionChoice& main) : main_(main) {}
    const ProgramFolder& Folder() const override { return main_.Folder(); }
    Result<ChosenDefinition> ReadChosen() override
    {
        if (listed.empty())
            return Error{"No definition is chosen: choose one in the Game list."};
        const std::filesystem::path file = Folder().defs() / listed;
        auto definition = ReadDefinitionFile(file);
        if (!definition)
            return definition.error();
        return ChosenDefinition{file, listed, listed.substr(0, listed.size() - 4), std::move(*definition)};
    }
    std::shared_ptr<void> Listen(std::function<void()>) override { return nullptr; }
    void DefinitionsWritten() override { main_.DefinitionsWritten(); }

    std::string listed;  // "LO649.def", empty: none

private:
    DefinitionChoice& main_;
};

WheelsWindow::WheelsWindow(DefinitionChoice& choice, int pumpIntervalMs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      choice_(choice),
      pumpIntervalMs_(pumpIntervalMs),
      own_(std::make_unique<WheelsDefinition>(choice)),
      printer_(dynamic_cast<WheelPrinter*>(&choice))
{
    setObjectName(QStringLiteral("frmWheels"));
    setWindowTitle(QStringLiteral("Brindlemark - Wheels"));
    home_ = choice_.Folder().home();
    const auto kept = Kept().find(home_);
    if (kept != Kept().end())
        own_->listed = kept->second.definition;
    else if (const auto chosen = choice_.ReadChosen())
        own_->listed = chosen->listedName;

    // The game, and a second pool's numbers where it has one, above the tabs: both serve
    // applying and making alike.
    cboGame = new QComboBox(this);
    cboGame->setObjectName(QStringLiteral("cboGame"));
    cboGame->setToolTip(QStringLiteral("The definition whose game the wheels are for; the main window's choice "
                                       "stays as it is"));
    cboGame->setAccessibleName(QStringLiteral("Game"));
    txtSecond = new QLineEdit(this);
    txtSecond->setObjectName(QStringLiteral("txtSecond"));
    txtSecond->setToolTip(QStringLiteral("The second-pool numbers, given to the plays in turn so each is used as "
                                         "evenly as the plays allow"));
    txtSecond->setAccessibleName(QStringLiteral("Second pool numbers"));
    UseEntryHelpers(txtSecond);
    lblSecond = Caption(this, QStringLiteral("Second P&ool"), txtSecond, QStringLiteral("lblSecond"));
    chkSecondAll = new QCheckBox(QStringLiteral("Eac&h play with every one"), this);
    chkSecondAll->setObjectName(QStringLiteral("chkSecondAll"));
    chkSecondAll->setToolTip(QStringLiteral("Every play once with every choice of the second numbers, the plays "
                                            "multiplied"));
    auto* top = new QHBoxLayout;
    top->addWidget(Caption(this, QStringLiteral("&Game"), cboGame, QStringLiteral("lblGame")));
    top->addWidget(cboGame);
    top->addSpacing(16);
    top->addWidget(lblSecond);
    top->addWidget(txtSecond, 1);
    top->addWidget(chkSecondAll);
    top->addStretch(0);

    tabWheels = new QTabWidget(this);
    tabWheels->setObjectName(QStringLiteral("tabWheels"));
    tabWheels->addTab(BuildApplyTab(), QStringLiteral("A&pply A Design"));
    tabWheels->addTab(BuildAnalyzeTab(), QStringLiteral("Anal&yze A Wheel"));
    makeTab_ = new WheelMakeTab(*own_, pumpIntervalMs_, this);
    makeTab_->finish = [this](const std::vector<std::vector<int>>& plays) { return WithSecond(plays); };
    tabWheels->addTab(makeTab_, QStringLiteral("Ma&ke A Wheel"));
    cmdPrint =
        NamedButton(this, "cmdPrint", QStringLiteral("P&rint..."),
                    QStringLiteral("Print the plays of this tab on the game's slips (saved first as a wheel file)"));
    cmdPreview =
        NamedButton(this, "cmdPreview", QStringLiteral("Pr&eview..."),
                    QStringLiteral("Show the plays of this tab on the game's slips (saved first as a wheel file)"));
    makeTab_->playsChanged = [this] { UpdatePrintButtons(); };
    cmdClose = NamedButton(this, "cmdClose", QStringLiteral("Close"), QStringLiteral("Close this window"));
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { PrintPlays(false); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { PrintPlays(true); });
    // Without a window that prints (a test's), there is nothing to print with.
    cmdPrint->setVisible(printer_ != nullptr);
    cmdPreview->setVisible(printer_ != nullptr);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdPrint);
    bottom->addWidget(cmdPreview);
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(tabWheels, 1);
    all->addLayout(bottom);
    FillDefinitions();
    if (kept != Kept().end()) {
        const KeptEntries& k = kept->second;
        txtNumbers->setText(k.numbers);
        txtSecond->setText(k.second);
        chkSecondAll->setChecked(k.secondAll);
        design_ = k.design;
        designFile_ = k.designFile;
        if (design_)
            ShowDesign();
        if (!k.wheelFile.empty())
            SetWheel(QString::fromStdString(k.wheelFile.string()));
    }
    // A definition made or changed in the main window shows in the list; the window's own
    // choice stays.
    listening_ = choice_.Listen([this] {
        FillDefinitions();
        GameChanged();
    });
    connect(cboGame, &QComboBox::currentIndexChanged, this, [this] {
        own_->listed = cboGame->currentData().toString().toStdString();
        GameChanged();
    });
    connect(txtSecond, &QLineEdit::textChanged, this, [this] {
        ApplyNow();
        makeTab_->Refinish();
    });
    connect(chkSecondAll, &QCheckBox::toggled, this, [this] {
        ApplyNow();
        makeTab_->Refinish();
    });
    connect(tabWheels, &QTabWidget::currentChanged, this, [this] { UpdatePrintButtons(); });
    ShowGame();
    ApplyNow();
    makeTab_->ShowGame();
    if (kept != Kept().end() && kept->second.make)
        makeTab_->Restore(*kept->second.make);
    setTabOrder(cboGame, txtSecond);
    setTabOrder(txtSecond, chkSecondAll);
    setTabOrder(chkSecondAll, tabWheels);
    txtNumbers->setFocus();
    QSize size(900, 560);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    UseWindowKeys(this);
}

WheelsWindow::~WheelsWindow()
{
    Keep();
}

void WheelsWindow::Keep()
{
    // The main window may be gone already (its windows are deleted later): only what is ours.
    KeptEntries& k = Kept()[home_];
    k.definition = own_->listed;
    k.numbers = txtNumbers->text();
    k.second = txtSecond->text();
    k.secondAll = chkSecondAll->isChecked();
    k.design = design_;
    k.designFile = designFile_;
    k.wheelFile = wheelFile_;
    k.make = makeTab_->entries();
}

void WheelsWindow::FillDefinitions()
{
    const QSignalBlocker quiet(cboGame);
    cboGame->clear();
    const std::string listed = own_->listed;
    bool found = false;
    for (const std::string& name : ListDefinitionFiles(choice_.Folder().defs()).definitions) {
        cboGame->addItem(QString::fromStdString(name.substr(0, name.size() - 4)), QString::fromStdString(name));
        found = found || name == listed;
    }
    if (!found)
        own_->listed = cboGame->count() > 0 ? cboGame->itemData(0).toString().toStdString() : std::string();
    cboGame->setCurrentIndex(std::max(0, cboGame->findData(QString::fromStdString(own_->listed))));
}

bool WheelsWindow::ChooseDefinition(const QString& listedName)
{
    const int at = cboGame->findData(listedName);
    if (at < 0)
        return false;
    cboGame->setCurrentIndex(at);
    return true;
}

void WheelsWindow::GameChanged()
{
    ShowGame();
    ApplyNow();
    makeTab_->ShowGame();
    makeTab_->Refinish();
    // An analysis holds for the game it was made for only.
    const auto game = CurrentGame();
    if (coverage_ && (!game || game->name != analysedGame_ || game->definition.Pool != coverage_->pool))
        ClearCoverage(QStringLiteral("Another definition is chosen: click Analyze for its game."));
}

Result<WheelsWindow::Game> WheelsWindow::CurrentGame()
{
    auto chosen = own_->ReadChosen();
    if (!chosen)
        return chosen.error();
    Game game{chosen->name, chosen->definition};
    const auto marks = ReadSlipMarks(MarksFileOf(chosen->file));
    if (!marks)
        return marks.error();
    if (marks->second) {
        game.secondPool = marks->second->pool;
        game.secondPick = marks->second->pick;
    }
    return game;
}

QString WheelsWindow::DefinitionsOfPick(int pick) const
{
    QStringList names;
    for (int i = 0; i < cboGame->count(); ++i) {
        const QString listed = cboGame->itemData(i).toString();
        const auto definition = ReadDefinitionFile(choice_.Folder().defs() / listed.toStdString());
        if (definition && definition->Pick == pick && !definition->bPB)
            names << cboGame->itemText(i);
    }
    if (names.size() > 1)
        return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + names.back();
    return names.value(0);
}

void WheelsWindow::ShowGame()
{
    const auto game = CurrentGame();
    const bool twoPools = game && game->secondPick > 0;
    for (QWidget* w : std::initializer_list<QWidget*>{lblSecond, txtSecond, chkSecondAll})
        w->setVisible(twoPools);
    if (!game) {
        const QString why = QString::fromStdString(game.error().message);
        lblApplyGame->setText(QStringLiteral("No game: %1").arg(why));
        lblAnalyzeGame->setText(
            QStringLiteral("Choose a definition in the Game list to analyze a wheel for its game."));
        return;
    }
    const SlipDefinition& d = game->definition;
    const QString name = QString::fromStdString(game->name);
    if (twoPools)
        lblApplyGame->setText(QStringLiteral("%1: plays of %2 numbers from 1 to %3, then %4 of a second pool from 1 "
                                             "to %5, typed in Second Pool above.")
                                  .arg(name)
                                  .arg(d.Pick)
                                  .arg(d.Pool)
                                  .arg(game->secondPick)
                                  .arg(game->secondPool));
    else if (d.bPB)
        lblApplyGame->setText(QStringLiteral("%1 is a powerball game: its plays end in a powerball that a design "
                                             "does not give. Choose another definition in the Game list.")
                                  .arg(name));
    else
        lblApplyGame->setText(
            QStringLiteral("%1: plays of %2 numbers from 1 to %3.").arg(name).arg(d.Pick).arg(d.Pool));
    lblAnalyzeGame->setText(QStringLiteral("%1: every possible draw of %2 main numbers from %3 (%4 draws).")
                                .arg(name)
                                .arg(d.Pick)
                                .arg(d.Pool)
                                .arg(Grouped(wheels::Binomial(d.Pool, d.Pick))));
}

std::string WheelsWindow::ListedDefinition() const
{
    return own_->listed;
}

void WheelsWindow::Refuse(const QString& text)
{
    dialogs().Message(this, QStringLiteral("Go Back"), text, Icon::Error, Buttons::Ok);
}

void WheelsWindow::closeEvent(QCloseEvent* event)
{
    // An analysis runs inside its click handler: the window stays until it ends.
    if (running_ || makeTab_->running()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void RegisterWheelsWindow(WindowCatalogue& catalogue)
{
    // The catalogue's factories are keyed by window name; "Wheels" is looked up as "frmWheels".
    catalogue.SetChecker("frmWheels", [](DefinitionChoice& choice) { return new WheelsWindow(choice); });
}

}  // namespace bm::app
