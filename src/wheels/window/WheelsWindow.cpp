#include "wheels/window/WheelsWindow.h"

#include <algorithm>

#include <map>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QSignalBlocker>
#include <QScreen>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLogValueAxis>

#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WheelPrinter.h"
#include "windowing/window/WidgetBuilders.h"
#include "windowing/window/WindowCatalogue.h"
#include "checking/CheckReport.h"
#include "checking/GameVariants.h"
#include "windowing/window/BusyCursor.h"
#include "common/AtomicFile.h"
#include "definitions/DefinitionFile.h"
#include "slip/SlipMarks.h"
#include "wheels/SecondPool.h"
#include "wheels/window/WheelMakeTab.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

const QString kTextFiles = QStringLiteral("Text Files (*.txt)");

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& headings)
{
    auto* t = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(headings);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    return t;
}

// Big enough for `rows` rows (a table holds at most 8) and counts of ten digits, without scroll
// bars.
void FitTable(QTableWidget* table, int rows)
{
    table->resizeColumnsToContents();
    const int last = table->columnCount() - 1;
    const int wide = table->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000,000")) + 12;
    table->setColumnWidth(last, std::max(table->columnWidth(last), wide));
    int width = 2 * table->frameWidth();
    for (int c = 0; c <= last; ++c)
        width += table->columnWidth(c);
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int r = 0; r < rows; ++r)
        height += r < table->rowCount() ? table->rowHeight(r) : table->verticalHeader()->defaultSectionSize();
    table->setFixedSize(width, height);
}

QString Grouped(std::int64_t n)
{
    return QString::fromStdString(FormatWhole(n, Pattern::Grouped, UiSeparators()));
}

void SetRow(QTableWidget* table, int row, const std::vector<std::int64_t>& values)
{
    for (std::size_t c = 0; c < values.size(); ++c) {
        auto* item = new QTableWidgetItem(c == 0 ? QString::number(values[c]) : Grouped(values[c]));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, static_cast<int>(c), item);
    }
}

// "1 play", "163 plays".
QString Count(std::int64_t n, const char* one, const char* many)
{
    return Grouped(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

std::string FileName(const std::filesystem::path& file)
{
    return file.filename().string();
}

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
    cmdPrint = NamedButton(this, "cmdPrint", QStringLiteral("P&rint..."),
                           QStringLiteral("Print the plays of this tab on the game's slips (saved first as a wheel file)"));
    cmdPreview = NamedButton(this, "cmdPreview", QStringLiteral("Pr&eview..."),
                             QStringLiteral("Show the plays of this tab on the game's slips (saved first as a wheel file)"));
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

QWidget* WheelsWindow::BuildApplyTab()
{
    auto* tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("tabApply"));
    lblApplyGame = NamedLabel(tab, QStringLiteral("lblApplyGame"), {});
    txtNumbers = new QLineEdit(tab);
    txtNumbers->setObjectName(QStringLiteral("txtNumbers"));
    txtNumbers->setToolTip(QStringLiteral("Your numbers, separated by blanks or commas; the first takes the lowest label"));
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

QWidget* WheelsWindow::BuildAnalyzeTab()
{
    auto* tab = new QWidget(this);
    tab->setObjectName(QStringLiteral("tabAnalyze"));
    lblAnalyzeGame = NamedLabel(tab, QStringLiteral("lblAnalyzeGame"), {});
    cmdOpenWheel = NamedButton(tab, "cmdOpenWheel", QStringLiteral("Open &Wheel..."),
                          QStringLiteral("Choose the wheel file to analyze"));
    lblWheel = NamedLabel(tab, QStringLiteral("lblWheel"), QStringLiteral("No wheel file opened"));
    cmdAnalyze = NamedButton(tab, "cmdAnalyze", QStringLiteral("&Analyze"),
                        QStringLiteral("Count the best match of every possible draw; ESC stops it"));
    cmdAnalyze->setEnabled(false);
    prgAnalyze = new QProgressBar(tab);
    prgAnalyze->setObjectName(QStringLiteral("prgAnalyze"));
    prgAnalyze->setRange(0, 1000);
    prgAnalyze->setTextVisible(false);
    prgAnalyze->hide();
    lblAnalyzeStatus = NamedLabel(tab, QStringLiteral("lblAnalyzeStatus"), {});
    tblGuarantee = Table(tab, "tblGuarantee", {QStringLiteral("If"), QStringLiteral("Guaranteed"), QStringLiteral("Draws")});
    tblGuarantee->setToolTip(QStringLiteral("When this many drawn numbers are among the wheel's numbers, "
                                            "some play matches at least Guaranteed of them"));
    tblBest = Table(tab, "tblBest", {QStringLiteral("Best"), QStringLiteral("Draws")});
    tblBest->setToolTip(QStringLiteral("How many possible draws have a best play matching this many numbers"));

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Draws by best match (log)"));
    chart->legend()->hide();
    // Room for the axes on a small or scaled screen.
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chtBest = new QChartView(chart, tab);
    chtBest->setObjectName(QStringLiteral("chtBest"));
    chtBest->setRenderHint(QPainter::Antialiasing);
    chtBest->setMinimumSize(220, 150);

    for (QTableWidget* t : {tblGuarantee, tblBest})
        FitTable(t, kMaxMatches + 1);
    auto* open = new QHBoxLayout;
    open->addWidget(cmdOpenWheel);
    open->addWidget(lblWheel, 1);
    open->addWidget(cmdAnalyze);
    // Tables and chart side by side, so the tab fits a small or scaled screen.
    lblVerdict = NamedLabel(tab, QStringLiteral("lblVerdict"), {});
    // As wide as the tables beside the chart: the sentence goes on to the next line.
    lblVerdict->setWordWrap(true);
    auto* tables = new QHBoxLayout;
    tables->addWidget(tblGuarantee);
    tables->addWidget(tblBest);
    auto* left = new QVBoxLayout;
    left->addLayout(tables);
    left->addWidget(lblVerdict);
    left->addStretch(1);
    auto* results = new QHBoxLayout;
    results->addLayout(left);
    results->addWidget(chtBest, 1);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(lblAnalyzeGame);
    layout->addLayout(open);
    layout->addWidget(prgAnalyze);
    layout->addWidget(lblAnalyzeStatus);
    layout->addLayout(results, 1);

    connect(cmdOpenWheel, &QPushButton::clicked, this, [this] { cmdOpenWheel_Click(); });
    connect(cmdAnalyze, &QPushButton::clicked, this, [this] { cmdAnalyze_Click(); });
    return tab;
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
        lblAnalyzeGame->setText(QStringLiteral("Choose a definition in the Game list to analyze a wheel for its game."));
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
        lblApplyGame->setText(QStringLiteral("%1: plays of %2 numbers from 1 to %3.").arg(name).arg(d.Pick).arg(d.Pool));
    lblAnalyzeGame->setText(QStringLiteral("%1: every possible draw of %2 main numbers from %3 (%4 draws).")
                                .arg(name)
                                .arg(d.Pick)
                                .arg(d.Pool)
                                .arg(Grouped(wheels::Binomial(d.Pool, d.Pick))));
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
    const auto numbers = wheels::ParseNumbers(typed.toStdString(), game->secondPool, game->name + "'s second pool",
                                              "Second Pool");
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
    printer_->PrintWheel(own_->listed, wheel, preview);
}

void WheelsWindow::Refuse(const QString& text)
{
    dialogs().Message(this, QStringLiteral("Go Back"), text, Icon::Error, Buttons::Ok);
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

void WheelsWindow::SetWheel(const QString& file)
{
    wheelFile_ = file.toStdString();
    lblWheel->setText(QString::fromStdString(FileName(wheelFile_)));
    lblWheel->setToolTip(file);
    cmdAnalyze->setEnabled(true);
    UpdatePrintButtons();
}

void WheelsWindow::cmdOpenWheel_Click()
{
    const ProgramFolder& folder = choice_.Folder();
    const QString file = OpenFileRemembered(this, folder, "Wheel", QStringLiteral("Open Wheel File"), kTextFiles,
                                            QString::fromStdString(folder.wheel().string()));
    if (!file.isEmpty())
        SetWheel(file);
}

void WheelsWindow::cmdAnalyze_Click()
{
    if (running_ || wheelFile_.empty())
        return;
    const auto game = CurrentGame();
    if (!game) {
        Refuse(QString::fromStdString(game.error().message));
        return;
    }
    const CheckerVariant* variant = ChooseChecker(game->name, game->definition);
    if (!variant) {
        Refuse(QStringLiteral("The game of %1 has no ticket checker (only 5-, 6- and 7-number games are analyzed).")
                   .arg(QString::fromStdString(game->name)));
        return;
    }
    const CheckGame& rules = variant->Game(game->definition.bBon);
    const int pool = game->definition.Pool;
    lblAnalyzeStatus->setText(QStringLiteral("Reading Wheel File..."));
    lblAnalyzeStatus->repaint();
    BusyCursor busy;
    const auto wheel = wheels::ReadWheelForAnalysis(wheelFile_, rules, pool);
    if (!wheel) {
        busy.Release();
        lblAnalyzeStatus->clear();
        Refuse(QString::fromStdString(wheel.error().message));
        return;
    }
    const int u = static_cast<int>(wheel->numbers.size());
    if (const auto fault = wheels::AnalysisFault(wheel->plays, u, pool, rules.mainDrawn)) {
        busy.Release();
        lblAnalyzeStatus->clear();
        Refuse(QString::fromStdString(wheelFile_.string() + ": " + *fault));
        return;
    }

    running_ = true;
    cmdAnalyze->setEnabled(false);
    prgAnalyze->setValue(0);
    prgAnalyze->show();
    lblAnalyzeStatus->setText(QStringLiteral("Analyzing Every Draw.... ESC Key Will Stop"));
    QElapsedTimer timer;
    timer.start();
    JobPump pump(pumpIntervalMs_);
    pump.Start();
    const auto coverage = wheels::Analyze(wheel->plays, u, pool, rules.mainDrawn, [&](double done) {
        prgAnalyze->setValue(static_cast<int>(done * 1000));
        return !pump.Pressed();
    });
    pump.Stop();
    busy.Release();
    running_ = false;
    prgAnalyze->hide();
    cmdAnalyze->setEnabled(true);
    if (!coverage) {
        ClearCoverage(coverage.error().stopped ? QStringLiteral("Analysis Stopped: nothing shown")
                                                       : QString::fromStdString(coverage.error().message));
        return;
    }
    coverage_ = *coverage;
    analysedGame_ = game->name;
    ShowCoverage(*coverage_);
    lblAnalyzeStatus->setText(QStringLiteral("%1 on %2 numbers. %3")
                                  .arg(Count(coverage_->plays, "play", "plays"))
                                  .arg(coverage_->numbers)
                                  .arg(QString::fromStdString(
                                      CompletionTimeText(static_cast<double>(timer.elapsed()) / 1000.0, UiSeparators()))));
}

void WheelsWindow::ClearCoverage(const QString& status)
{
    coverage_.reset();
    tblGuarantee->setRowCount(0);
    tblBest->setRowCount(0);
    lblVerdict->clear();
    chtBest->chart()->removeAllSeries();
    // Removing hands an axis back: it is deleted here, not left behind.
    for (QAbstractAxis* axis : chtBest->chart()->axes()) {
        chtBest->chart()->removeAxis(axis);
        delete axis;
    }
    lblAnalyzeStatus->setText(status);
}

void WheelsWindow::ShowCoverage(const wheels::Coverage& coverage)
{
    tblGuarantee->setRowCount(static_cast<int>(coverage.guaranteed.size()));
    for (std::size_t m = 0; m < coverage.guaranteed.size(); ++m)
        SetRow(tblGuarantee, static_cast<int>(m),
               {static_cast<std::int64_t>(m), coverage.guaranteed[m], coverage.drawsWithin[m]});
    tblBest->setRowCount(static_cast<int>(coverage.best.size()));
    for (std::size_t t = 0; t < coverage.best.size(); ++t)
        SetRow(tblBest, static_cast<int>(t), {static_cast<std::int64_t>(t), coverage.best[t]});
    for (QTableWidget* t : {tblGuarantee, tblBest})
        FitTable(t, std::max(tblGuarantee->rowCount(), tblBest->rowCount()));

    // In words: the guarantee when as many of the drawn numbers as can be are the wheel's, and the
    // worst any draw does.
    const int m = static_cast<int>(coverage.guaranteed.size()) - 1;
    const int g = coverage.guaranteed.back();
    const auto worst = std::find_if(coverage.best.begin(), coverage.best.end(), [](std::int64_t n) { return n > 0; });
    const int t = static_cast<int>(worst - coverage.best.begin());
    lblVerdict->setText(
        QStringLiteral("Guarantees %1 if %2: whenever %2 drawn numbers are among the wheel's %3, a play matches at "
                       "least %1 of them.\nThe worst draws (%4) have a best play matching %5.")
            .arg(g)
            .arg(m)
            .arg(coverage.numbers)
            .arg(Grouped(worst == coverage.best.end() ? 0 : *worst))
            .arg(t));
    lblVerdict->setMaximumWidth(tblGuarantee->width() + tblBest->width() + 6);

    QChart* chart = chtBest->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto* set = new QBarSet(QStringLiteral("Draws"));
    QStringList categories;
    std::int64_t most = 0;
    for (std::size_t matched = 0; matched < coverage.best.size(); ++matched) {
        *set << static_cast<qreal>(coverage.best[matched]);
        categories << QString::number(matched);
        most = std::max(most, coverage.best[matched]);
    }
    set->setColor(QColor(40, 90, 160));
    auto* series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(categories);
    axisX->setTitleText(QStringLiteral("Best match"));
    // Counts from a handful to millions side by side: on a linear scale the few draws with the
    // best matches would not show at all.
    auto* axisY = new QLogValueAxis;
    axisY->setBase(10);
    // Plain numbers (1000000), as the tables beside it give them.
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    axisY->setMinorTickCount(0);
    double top = 10;
    while (top < static_cast<double>(most))
        top *= 10;
    axisY->setRange(0.5, top);
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
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
