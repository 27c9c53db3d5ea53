#include "checking/window/TwoPoolHistoryWindow.h"

#include "checking/window/CheckerParts.h"

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "checking/NumberPatterns.h"
#include "checking/SummaryFile.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

// An amount with two decimals and thousands separators, sorted by its value.
QTableWidgetItem* MoneyItem(double amount)
{
    const auto cents = static_cast<std::int64_t>(std::llround(amount * 100));
    const std::int64_t whole = (cents < 0 ? -cents : cents) / 100, rest = (cents < 0 ? -cents : cents) % 100;
    const NumberSeparators separators = UiSeparators();
    auto* item = new QTableWidgetItem(QStringLiteral("%1%2%3%4")
                                          .arg(cents < 0 ? QStringLiteral("-") : QString())
                                          .arg(QString::fromStdString(FormatWhole(whole, Pattern::Grouped, separators)))
                                          .arg(QString::fromStdString(separators.decimal))
                                          .arg(rest, 2, 10, QLatin1Char('0')));
    item->setData(Qt::UserRole, amount);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// "3 11 19 27 35 +4 +9", as the CSV writes the draw.
QString DrawText(const TwoPoolDraw& draw)
{
    QStringList parts;
    for (const int n : draw.main)
        parts << QString::number(n);
    for (const int n : draw.second)
        parts << QStringLiteral("+%1").arg(n);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

TwoPoolHistoryWindow::TwoPoolHistoryWindow(const TwoPoolGame& game, const std::string& lotteryName,
                                           std::vector<std::filesystem::path> inputs,
                                           std::vector<TwoPoolHistoryRow> rows, std::int64_t plays,
                                           ProgramFolder folder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      game_(game),
      inputs_(std::move(inputs)),
      rows_(std::move(rows)),
      total_(static_cast<std::size_t>(game.Tiers()), 0),
      folder_(std::move(folder))
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Brindlemark - Draw History"));
    setAttribute(Qt::WA_DeleteOnClose);
    std::int64_t wins = 0;
    for (const auto& row : rows_) {
        for (std::size_t t = 0; t < total_.size() && t < row.tally.size(); ++t)
            total_[t] += row.tally[t];
        wins += Wins(row.tally);
    }
    auto* outer = new QVBoxLayout(this);
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setText(QStringLiteral("Lottery: %1    Ticket File: %2    %3 Picks Against %4 Draws, %5 Wins In All")
                         .arg(QString::fromStdString(ShownLine(lotteryName)),
                              QString::fromStdString(ShownLine(inputs_.front().filename().string())))
                         .arg(Grouped(plays))
                         .arg(Grouped(static_cast<std::int64_t>(rows_.size())))
                         .arg(Grouped(wins)));
    outer->addWidget(lblInfo);
    fraRange = new DayRange(this);
    outer->addWidget(fraRange);

    QStringList headers{QStringLiteral("Date"), QStringLiteral("Draw")};
    for (int t = 0; t < game_.Tiers(); ++t)
        headers << QStringLiteral("Match\n%1+%2").arg(game_.MainOf(t)).arg(game_.SecondOf(t));
    headers << QStringLiteral("Wins");
    // What the draws won where the prize table gives amounts.
    const bool money = game_.HasAmounts();
    if (money)
        headers << QStringLiteral("Won");
    const int columns = static_cast<int>(headers.size());
    auto* split = new QSplitter(Qt::Vertical, this);
    auto* tables = new QWidget(split);
    auto* tableLayout = new QVBoxLayout(tables);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->setSpacing(0);
    tblHistory = new QTableWidget(static_cast<int>(rows_.size()), columns, tables);
    tblHistory->setObjectName(QStringLiteral("tblHistory"));
    tblHistory->setHorizontalHeaderLabels(headers);
    tblHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblHistory->verticalHeader()->hide();
    tblHistory->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const TwoPoolHistoryRow& row = rows_[static_cast<std::size_t>(r)];
        tblHistory->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(row.date)));
        tblHistory->setItem(r, 1, new QTableWidgetItem(DrawText(row.draw)));
        for (int t = 0; t < game_.Tiers(); ++t)
            tblHistory->setItem(r, t + 2, new CountItem(row.tally[static_cast<std::size_t>(t)]));
        tblHistory->setItem(r, game_.Tiers() + 2, new CountItem(Wins(row.tally)));
        if (money)
            tblHistory->setItem(r, columns - 1, MoneyItem(TwoPoolWon(game_, row.tally).value_or(0)));
    }
    tblHistory->setSortingEnabled(true);
    tblHistory->sortByColumn(0, Qt::AscendingOrder);
    tblHistory->resizeColumnsToContents();
    tblTotal = new QTableWidget(1, columns, tables);
    tblTotal->setObjectName(QStringLiteral("tblTotal"));
    tblTotal->horizontalHeader()->hide();
    tblTotal->verticalHeader()->hide();
    tblTotal->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblTotal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblTotal->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Total")));
    tblTotal->setItem(0, 1, new QTableWidgetItem(QString()));
    for (int t = 0; t < game_.Tiers(); ++t)
        tblTotal->setItem(0, t + 2, new CountItem(total_[static_cast<std::size_t>(t)]));
    tblTotal->setItem(0, game_.Tiers() + 2, new CountItem(wins));
    if (money)
        tblTotal->setItem(0, columns - 1, MoneyItem(TwoPoolWon(game_, total_).value_or(0)));
    tblTotal->setFixedHeight(tblTotal->rowHeight(0) + 2 * tblTotal->frameWidth());
    tblTotal->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblTotal->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblTotal->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c) {
        const int width = std::max(tblHistory->columnWidth(c), tblTotal->columnWidth(c));
        tblHistory->setColumnWidth(c, width);
        tblTotal->setColumnWidth(c, width);
    }
    FollowTableColumns(tblHistory, tblTotal);
    tableLayout->addWidget(tblHistory, 1);
    tableLayout->addWidget(tblTotal);
    split->addWidget(tables);

    // The wins of each draw, by date where every draw has one, else by its place in the file.
    const bool dated = std::all_of(rows_.begin(), rows_.end(), [](const auto& r) { return !r.date.empty(); });
    std::vector<std::size_t> order(rows_.size());
    for (std::size_t d = 0; d < order.size(); ++d)
        order[d] = d;
    if (dated)
        std::stable_sort(order.begin(), order.end(),
                         [this](std::size_t a, std::size_t b) { return rows_[a].date < rows_[b].date; });
    auto* series = new QLineSeries;
    series->setName(QStringLiteral("Wins per draw"));
    std::int64_t most = 0;
    for (const std::size_t d : order) {
        const std::int64_t w = Wins(rows_[d].tally);
        most = std::max(most, w);
        const qreal x =
            dated ? static_cast<qreal>(
                        QDateTime(QDate::fromString(QString::fromStdString(rows_[d].date), Qt::ISODate), QTime(12, 0))
                            .toMSecsSinceEpoch())
                  : static_cast<qreal>(d + 1);
        series->append(x, static_cast<qreal>(w));
    }
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(QStringLiteral("Wins of each draw"));
    chart->legend()->hide();
    QAbstractAxis* axisX = NewDrawAxis(dated);
    auto* axisY = new QValueAxis;
    axisY->setLabelFormat(QStringLiteral("%d"));
    axisY->setRange(0, static_cast<qreal>(std::max<std::int64_t>(most, 1)));
    axisY->applyNiceNumbers();
    axisY->setTitleText(QStringLiteral("Wins"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    auto* view = new QChartView(chart, split);
    view->setObjectName(QStringLiteral("chtHistory"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(200);
    split->addWidget(view);
    outer->addWidget(split, 1);

    AddHistoryButtons(this, outer, &cmdSaveCsv, &cmdClose);
    connect(cmdSaveCsv, &QPushButton::clicked, this, [this] { SaveCsv(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
    UseWindowKeys(this);
    int width = 2 * tblHistory->frameWidth() + 60;
    for (int c = 0; c < columns; ++c)
        width += tblHistory->columnWidth(c);
    resize(std::max(width, 700), 640);
}

std::int64_t TwoPoolHistoryWindow::Wins(const std::vector<std::int64_t>& tally) const
{
    std::int64_t wins = 0;
    for (std::size_t t = 0; t < tally.size() && t < game_.wins.size(); ++t)
        if (game_.wins[t])
            wins += tally[t];
    return wins;
}

void TwoPoolHistoryWindow::OfferRange(const std::string& from, const std::string& to, DayRange::Recheck recheck)
{
    fraRange->Offer(from, to, std::move(recheck));
}

std::string TwoPoolHistoryWindow::Csv() const
{
    std::string csv = TwoPoolCsvHeader(game_);
    for (const auto& row : rows_)
        csv += TwoPoolCsvRow(game_, row.date, row.draw, row.tally);
    return csv + TwoPoolCsvTotal(game_, total_);
}

void TwoPoolHistoryWindow::SaveCsv()
{
    SaveHistoryCsv(this, folder_, inputs_, [this] { return Csv(); });
}

}  // namespace bm::app
