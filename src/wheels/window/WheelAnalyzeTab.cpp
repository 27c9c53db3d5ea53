#include "wheels/window/WheelsWindow.h"

#include <algorithm>

#include <map>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <QtCharts/QLogValueAxis>

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

void SetRow(QTableWidget* table, int row, const std::vector<std::int64_t>& values)
{
    for (std::size_t c = 0; c < values.size(); ++c) {
        auto* item = new QTableWidgetItem(c == 0 ? QString::number(values[c]) : Grouped(values[c]));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, static_cast<int>(c), item);
    }
}

}  // namespace

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
    tblGuarantee =
        Table(tab, "tblGuarantee", {QStringLiteral("If"), QStringLiteral("Guaranteed"), QStringLiteral("Draws")});
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
                                  .arg(QString::fromStdString(CompletionTimeText(
                                      static_cast<double>(timer.elapsed()) / 1000.0, UiSeparators()))));
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

}  // namespace bm::app
