#include "checking/window/HistoryWindow.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QPushButton>
#include <QScrollBar>
#include <QKeyEvent>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include "app/Dialogs.h"
#include "app/RememberedChoices.h"
#include "checking/SummaryFile.h"
#include "common/AtomicFile.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

QTableWidgetItem* NumberItem(std::int64_t value)
{
    auto* item = new QTableWidgetItem;
    // Held as a number, so that sorting by the column is numeric.
    item->setData(Qt::DisplayRole, static_cast<qlonglong>(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* TextItem(const std::string& text)
{
    return new QTableWidgetItem(QString::fromStdString(text));
}

// An amount shown with two decimals that sorts by its value.
class MoneyItem final : public QTableWidgetItem {
public:
    void Set(long double hundredths)
    {
        value_ = hundredths;
        setText(QString::fromStdString(AmountText(hundredths)));
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto* money = dynamic_cast<const MoneyItem*>(&other);
        return money ? value_ < money->value_ : QTableWidgetItem::operator<(other);
    }

private:
    long double value_ = 0;
};

std::string PrizesKey(const std::string& definition)
{
    return "Prizes." + definition;
}

}  // namespace

std::vector<int> TopTiers(const CheckGame& game)
{
    std::vector<int> order(game.tiers.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const Tier& x = game.tiers[static_cast<std::size_t>(a)];
        const Tier& y = game.tiers[static_cast<std::size_t>(b)];
        return x.matches != y.matches ? x.matches > y.matches : x.hit > y.hit;
    });
    order.resize(std::min<std::size_t>(2, order.size()));
    return order;
}

HistoryWindow::HistoryWindow(const CheckGame& game, const std::string& lotteryName,
                             std::vector<std::filesystem::path> inputs, std::vector<HistoryRow> rows,
                             const HistoryRun& run, ProgramFolder folder, QWidget* parent)
    : QWidget(parent, Qt::Window), game_(game), definition_(lotteryName), rows_(std::move(rows)), run_(run),
      folder_(std::move(folder)), inputs_(std::move(inputs))
{
    prizes_ = PrizesFromText(RememberedChoices(folder_).Get(PrizesKey(definition_)), game_.tiers.size())
                  .value_or(HistoryPrizes{std::vector<std::int64_t>(game_.tiers.size(), 0), 0});
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Brindlemark - Draw History"));
    setAttribute(Qt::WA_DeleteOnClose);
    const std::vector<int> top = TopTiers(game_);
    for (std::size_t d = 0; d < rows_.size(); ++d)
        for (int t : top)
            if (rows_[d].tally.count[static_cast<std::size_t>(t)] > 0) {
                topDraws_.push_back(d);
                break;
            }

    auto* outer = new QVBoxLayout(this);
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setText(QStringLiteral("Lottery: %1    Ticket File: %2    %3 Picks Against %4 Draws, %5 Wins In All")
                         .arg(QString::fromStdString(lotteryName),
                              QString::fromStdString(inputs_.front().filename().string()))
                         .arg(run_.plays)
                         .arg(run_.draws)
                         .arg(run_.wins));
    outer->addWidget(lblInfo);

    auto* split = new QSplitter(Qt::Vertical, this);
    auto* tables = new QWidget(split);
    auto* tableLayout = new QVBoxLayout(tables);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->setSpacing(0);
    tblHistory = new QTableWidget(tables);
    tblHistory->setObjectName(QStringLiteral("tblHistory"));
    tblTotal = new QTableWidget(tables);
    tblTotal->setObjectName(QStringLiteral("tblTotal"));
    tableLayout->addWidget(tblHistory, 1);
    tableLayout->addWidget(tblTotal);
    split->addWidget(tables);
    BuildTable();
    BuildChart();
    split->addWidget(chart_);
    outer->addWidget(split, 1);
    outer->addWidget(BuildMoney());
    MoneyChanged(false);

    auto* buttons = new QHBoxLayout;
    cmdSaveCsv = new QPushButton(QStringLiteral("Save CSV"), this);
    cmdSaveCsv->setObjectName(QStringLiteral("cmdSaveCsv"));
    cmdSaveCsv->setToolTip(QStringLiteral("Save the table as a CSV file, one line per draw"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addStretch();
    buttons->addWidget(cmdSaveCsv);
    buttons->addWidget(cmdClose);
    outer->addLayout(buttons);
    connect(cmdSaveCsv, &QPushButton::clicked, this, [this] { cmdSaveCsv_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
    // The table's own Ctrl+C copies one cell; whole rows are what a user pastes elsewhere.
    tblHistory->installEventFilter(this);
    UseWindowKeys(this);
    // Wide enough to show every column of the table without scrolling.
    int width = 2 * tblHistory->frameWidth() + 60;
    for (int c = 0; c < tblHistory->columnCount(); ++c)
        width += tblHistory->columnWidth(c);
    resize(std::max(width, 700), 700);
}

void HistoryWindow::BuildTable()
{
    QStringList headers{QStringLiteral("Date"), QStringLiteral("Draw")};
    for (const auto& name : HistoryTierNames(game_))
        headers << QString::fromStdString(name);
    headers << QStringLiteral("Wins") << QStringLiteral("Won");
    const int columns = static_cast<int>(headers.size());
    const int wins = columns - 2;

    tblHistory->setColumnCount(columns);
    tblHistory->setHorizontalHeaderLabels(headers);
    tblHistory->setRowCount(static_cast<int>(rows_.size()));
    tblHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblHistory->verticalHeader()->hide();
    tblHistory->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const HistoryRow& row = rows_[static_cast<std::size_t>(r)];
        auto* date = TextItem(row.draw.date);
        date->setData(Qt::UserRole, r);  // the draw's place in the file, for copying in file order
        tblHistory->setItem(r, 0, date);
        tblHistory->setItem(r, 1, TextItem(HistoryDrawText(game_, row.draw.draw)));
        for (std::size_t t = 0; t < game_.tiers.size(); ++t)
            tblHistory->setItem(r, static_cast<int>(t) + 2, NumberItem(row.tally.count[t]));
        tblHistory->setItem(r, wins, NumberItem(row.wins));
        tblHistory->setItem(r, columns - 1, new MoneyItem);
    }
    tblHistory->setSortingEnabled(true);
    tblHistory->sortByColumn(-1, Qt::AscendingOrder);  // file order until the user sorts
    tblHistory->resizeColumnsToContents();

    // The total stays below the draws however they are sorted.
    tblTotal->setColumnCount(columns);
    tblTotal->setRowCount(1);
    tblTotal->horizontalHeader()->hide();
    tblTotal->verticalHeader()->hide();
    tblTotal->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblTotal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblTotal->setItem(0, 0, TextItem("Total"));
    tblTotal->setItem(0, 1, TextItem(""));
    for (std::size_t t = 0; t < game_.tiers.size(); ++t)
        tblTotal->setItem(0, static_cast<int>(t) + 2, NumberItem(run_.total.count[t]));
    tblTotal->setItem(0, wins, NumberItem(run_.wins));
    tblTotal->setItem(0, columns - 1, new MoneyItem);
    tblTotal->setFixedHeight(tblTotal->rowHeight(0) + 2 * tblTotal->frameWidth());
    tblTotal->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblTotal->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 0; c < columns; ++c)
        tblTotal->setColumnWidth(c, tblHistory->columnWidth(c));
    connect(tblHistory->horizontalHeader(), &QHeaderView::sectionResized, tblTotal,
            [this](int c, int, int width) { tblTotal->setColumnWidth(c, width); });
    connect(tblHistory->horizontalScrollBar(), &QScrollBar::valueChanged, tblTotal->horizontalScrollBar(),
            &QScrollBar::setValue);
}

void HistoryWindow::BuildChart()
{
    // Dated draws lie on a time axis; a file without dates is drawn by the draw's place in it.
    const bool dated = std::all_of(rows_.begin(), rows_.end(), [](const HistoryRow& r) { return !r.draw.date.empty(); });
    const auto x = [&](std::size_t d) {
        if (!dated)
            return static_cast<qreal>(d + 1);
        const QDate date = QDate::fromString(QString::fromStdString(rows_[d].draw.date), Qt::ISODate);
        return static_cast<qreal>(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch());
    };
    auto* wins = new QLineSeries;
    wins->setName(QStringLiteral("Wins per draw"));
    std::int64_t most = 0;
    for (std::size_t d = 0; d < rows_.size(); ++d) {
        wins->append(x(d), static_cast<qreal>(rows_[d].wins));
        most = std::max(most, rows_[d].wins);
    }
    auto* hits = new QScatterSeries;
    const auto top = TopTiers(game_);
    QString topNames;
    for (int t : top)
        topNames += (topNames.isEmpty() ? QString() : QStringLiteral(" or ")) +
                    QString::fromStdString(HistoryTierNames(game_)[static_cast<std::size_t>(t)]);
    hits->setName(topNames);
    hits->setMarkerSize(9);
    hits->setColor(QColor(200, 30, 30));
    for (std::size_t d : topDraws_)
        hits->append(x(d), static_cast<qreal>(rows_[d].wins));

    auto* chart = new QChart;
    chart->addSeries(wins);
    chart->addSeries(hits);
    chart->setTitle(QStringLiteral("Wins of each draw"));
    QAbstractAxis* axisX = nullptr;
    if (dated) {
        auto* time = new QDateTimeAxis;
        time->setFormat(QStringLiteral("yyyy-MM-dd"));
        axisX = time;
    } else {
        auto* place = new QValueAxis;
        place->setLabelFormat(QStringLiteral("%d"));
        place->setTitleText(QStringLiteral("Draw"));
        axisX = place;
    }
    auto* axisY = new QValueAxis;
    axisY->setLabelFormat(QStringLiteral("%d"));
    // Whole numbers of wins on whole ticks, about five of them.
    const std::int64_t step = std::max<std::int64_t>(1, (most + 4) / 5);
    axisY->setTickType(QValueAxis::TicksDynamic);
    axisY->setTickAnchor(0);
    axisY->setTickInterval(static_cast<qreal>(step));
    axisY->setRange(0, static_cast<qreal>(((most + step) / step) * step));
    axisY->setTitleText(QStringLiteral("Wins"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(wins), static_cast<QAbstractSeries*>(hits)}) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    auto* view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("chtHistory"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(240);
    chart_ = view;
}

QWidget* HistoryWindow::BuildMoney()
{
    auto* box = new QGroupBox(QStringLiteral("Prizes And Price Per Play (optional)"), this);
    box->setObjectName(QStringLiteral("fraMoney"));
    auto* grid = new QGridLayout(box);
    const auto validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,11}(\\.[0-9]{0,2})?")), box);
    const auto entry = [&](const QString& name, std::int64_t value, int column, const QString& caption) {
        auto* text = new QLineEdit(box);
        text->setObjectName(name);
        text->setValidator(validator);
        text->setMaximumWidth(110);
        text->setText(value ? QString::fromStdString(AmountText(static_cast<long double>(value))) : QString());
        auto* label = new QLabel(caption, box);
        label->setBuddy(text);
        grid->addWidget(label, 0, column);
        grid->addWidget(text, 1, column);
        connect(text, &QLineEdit::textEdited, this, [this] { MoneyChanged(true); });
        return text;
    };
    const auto names = HistoryTierNames(game_);
    for (std::size_t t = 0; t < names.size(); ++t)
        txtPrize.push_back(entry(QStringLiteral("txtPrize%1").arg(t), prizes_.prize[t], static_cast<int>(t),
                                 QString::fromStdString(names[t])));
    txtPrice = entry(QStringLiteral("txtPrice"), prizes_.price, static_cast<int>(names.size()),
                     QStringLiteral("Price Per Play"));
    lblMoney = new QLabel(box);
    lblMoney->setObjectName(QStringLiteral("lblMoney"));
    grid->addWidget(lblMoney, 2, 0, 1, static_cast<int>(names.size()) + 1);
    grid->setColumnStretch(static_cast<int>(names.size()) + 1, 1);
    return box;
}

void HistoryWindow::MoneyChanged(bool remember)
{
    HistoryPrizes prizes;
    for (QLineEdit* text : txtPrize)
        prizes.prize.push_back(ParseAmount(text->text().toStdString()).value_or(0));
    prizes.price = ParseAmount(txtPrice->text().toStdString()).value_or(0);
    prizes_ = prizes;
    if (remember)
        (void)RememberedChoices(folder_).Set(PrizesKey(definition_), PrizesText(prizes_));

    const int won = tblHistory->columnCount() - 1;
    // Rows may be sorted: each knows its draw.
    for (int r = 0; r < tblHistory->rowCount(); ++r) {
        const int draw = tblHistory->item(r, 0)->data(Qt::UserRole).toInt();
        static_cast<MoneyItem*>(tblHistory->item(r, won))->Set(WonBy(prizes_, rows_[static_cast<std::size_t>(draw)].tally));
    }
    const long double total = WonBy(prizes_, run_.total);
    static_cast<MoneyItem*>(tblTotal->item(0, won))->Set(total);
    // Wide enough for the largest amount, the total's included.
    tblHistory->resizeColumnToContents(won);
    const int totalWidth = tblTotal->fontMetrics().horizontalAdvance(tblTotal->item(0, won)->text()) + 16;
    tblHistory->setColumnWidth(won, std::max(tblHistory->columnWidth(won), totalWidth));
    const long double cost = static_cast<long double>(prizes_.price) * static_cast<long double>(run_.plays) *
                             static_cast<long double>(run_.draws);
    lblMoney->setText(QStringLiteral("Won %1 In %2 Draws; Cost %3 (%4 Picks x %2 Draws x %5); Net %6")
                          .arg(QString::fromStdString(AmountText(total)))
                          .arg(run_.draws)
                          .arg(QString::fromStdString(AmountText(cost)))
                          .arg(run_.plays)
                          .arg(QString::fromStdString(AmountText(static_cast<long double>(prizes_.price))))
                          .arg(QString::fromStdString(AmountText(total - cost))));
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tblHistory && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelection();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::string HistoryWindow::Csv() const
{
    std::string csv = HistoryCsvHeader(game_);
    for (const auto& row : rows_)
        csv += HistoryCsvRow(game_, row);
    return csv + HistoryCsvTotal(game_, run_);
}

void HistoryWindow::CopySelection() const
{
    // Rows as the CSV writes them, in the order they are shown.
    std::vector<std::pair<int, int>> shown;  // table row, draw
    for (const QModelIndex& index : tblHistory->selectionModel()->selectedRows())
        shown.emplace_back(index.row(), tblHistory->item(index.row(), 0)->data(Qt::UserRole).toInt());
    std::sort(shown.begin(), shown.end());
    std::string text;
    for (const auto& [tableRow, draw] : shown)
        text += HistoryCsvRow(game_, rows_[static_cast<std::size_t>(draw)]);
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

void HistoryWindow::cmdSaveCsv_Click()
{
    if (const Status made = EnsureSummaryFolder(folder_); !made)
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(made.error().message),
                          Icon::Error, Buttons::Ok);
    QString file = SaveFileRemembered(this, folder_, "History", QStringLiteral("Save Draw History"),
                                      QStringLiteral("CSV Files (*.csv)"),
                                      QString::fromStdString(folder_.summary().string()), QStringLiteral("csv"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".csv");
    // Never over the ticket or draws file just read, nor among the definitions and offsets.
    Status saved = CheckOutputTarget(file.toStdString(), inputs_, &folder_);
    if (saved)
        saved = WriteFileAtomically(file.toStdString(), Csv());
    if (!saved)
        dialogs().Message(this, QStringLiteral("Brindlemark"),
                          QString::fromStdString(saved.error().message) + QStringLiteral("\nThe table was not saved."),
                          Icon::Error, Buttons::Ok);
}

}  // namespace bm::app
