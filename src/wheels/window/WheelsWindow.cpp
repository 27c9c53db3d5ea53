#include "wheels/window/WheelsWindow.h"

#include <algorithm>

#include <QCloseEvent>
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
#include "windowing/window/WindowCatalogue.h"
#include "checking/CheckReport.h"
#include "checking/GameVariants.h"
#include "windowing/window/BusyCursor.h"
#include "common/AtomicFile.h"
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

}  // namespace

WheelsWindow::WheelsWindow(DefinitionChoice& choice, int pumpIntervalMs, QWidget* parent)
    : QWidget(parent, Qt::Window), choice_(choice), pumpIntervalMs_(pumpIntervalMs)
{
    setObjectName(QStringLiteral("frmWheels"));
    setWindowTitle(QStringLiteral("Brindlemark - Wheels"));
    tabWheels = new QTabWidget(this);
    tabWheels->setObjectName(QStringLiteral("tabWheels"));
    tabWheels->addTab(BuildApplyTab(), QStringLiteral("A&pply A Design"));
    tabWheels->addTab(BuildAnalyzeTab(), QStringLiteral("Anal&yze A Wheel"));
    makeTab_ = new WheelMakeTab(choice_, pumpIntervalMs_, this);
    tabWheels->addTab(makeTab_, QStringLiteral("Ma&ke A Wheel"));
    cmdClose = NamedButton(this, "cmdClose", QStringLiteral("Close"), QStringLiteral("Close this window"));
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdClose);
    auto* all = new QVBoxLayout(this);
    all->addWidget(tabWheels, 1);
    all->addLayout(bottom);
    // The game follows the main window's choice.
    listening_ = choice_.Listen([this] {
        ShowGame();
        ApplyNow();
        makeTab_->ShowGame();
        // An analysis holds for the game it was made for only.
        const auto game = CurrentGame();
        if (coverage_ && (!game || game->name != analysedGame_ || game->definition.Pool != coverage_->pool))
            ClearCoverage(QStringLiteral("Another definition is chosen: click Analyze for its game."));
    });
    ShowGame();
    ApplyNow();
    txtNumbers->setFocus();
    QSize size(900, 560);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    UseWindowKeys(this);
}

WheelsWindow::~WheelsWindow() = default;

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
    auto chosen = choice_.ReadChosen();
    if (!chosen)
        return chosen.error();
    return Game{chosen->name, chosen->definition};
}

void WheelsWindow::ShowGame()
{
    const auto game = CurrentGame();
    if (!game) {
        lblApplyGame->setText(QStringLiteral("No definition chosen: your numbers are not checked against a game."));
        lblAnalyzeGame->setText(QStringLiteral("Choose a definition in the main window to analyze a wheel for its game."));
        return;
    }
    const SlipDefinition& d = game->definition;
    const QString name = QString::fromStdString(game->name);
    lblApplyGame->setText(d.bPB ? QStringLiteral("%1 is a powerball game: its plays end in a powerball that a design "
                                                 "does not give. Choose another definition.")
                                      .arg(name)
                                : QStringLiteral("%1: plays of %2 numbers from 1 to %3.").arg(name).arg(d.Pick).arg(d.Pool));
    lblAnalyzeGame->setText(QStringLiteral("%1: every possible draw of %2 main numbers from %3 (%4 draws).")
                                .arg(name)
                                .arg(d.Pick)
                                .arg(d.Pool)
                                .arg(Grouped(wheels::Binomial(d.Pool, d.Pick))));
}

void WheelsWindow::SetApplyStatus(const QString& text, bool fault)
{
    lblApplyStatus->setText(text);
    lblApplyStatus->setStyleSheet(fault ? QStringLiteral("color: #a00000;") : QString());
}

void WheelsWindow::ApplyNow()
{
    plays_.clear();
    txtPlays->clear();
    cmdSaveWheel->setEnabled(false);
    if (!design_) {
        SetApplyStatus(QStringLiteral("Type your numbers and open a design."), false);
        return;
    }
    const auto game = CurrentGame();
    std::optional<int> pool;
    std::string lottery;
    if (game) {
        if (game->definition.bPB) {
            SetApplyStatus(QStringLiteral("A design cannot be applied to a powerball game."), true);
            return;
        }
        if (design_->playSize != game->definition.Pick) {
            SetApplyStatus(QStringLiteral("The design's plays hold %1 numbers; %2 plays hold %3.")
                               .arg(design_->playSize)
                               .arg(QString::fromStdString(game->name))
                               .arg(game->definition.Pick),
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
    plays_ = std::move(*applied);
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
    const int low = design_->zeroBased ? 0 : 1;
    lblDesign->setText(QStringLiteral("%1: %2 of %3, labels %4 to %5")
                           .arg(QString::fromStdString(FileName(path)))
                           .arg(Count(static_cast<std::int64_t>(design_->plays.size()), "play", "plays"))
                           .arg(design_->playSize)
                           .arg(low)
                           .arg(low + design_->NumbersNeeded() - 1));
    ApplyNow();
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
    // 1e+06 rather than 1000000: short enough beside a narrow chart.
    axisY->setLabelFormat(QStringLiteral("%.0e"));
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
