#include "checking/window/HistoryWindow.h"

#include "checking/window/CheckerParts.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

#include "checking/NumberPatterns.h"
#include "checking/SummaryFile.h"
#include "checking/window/DayRange.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

constexpr std::size_t kAverageDraws = 52;

// An amount as shown: two decimals and thousands separators ("-9,811,468,220.00"); the CSV
// keeps AmountText's plain form.
QString Money(long double hundredths)
{
    std::string text = AmountText(hundredths);
    const std::size_t point = text.find('.');
    std::string whole = text.substr(0, point), cents = point == std::string::npos ? "" : text.substr(point + 1);
    const bool negative = !whole.empty() && whole[0] == '-';
    if (negative)
        whole.erase(0, 1);
    const NumberSeparators separators = UiSeparators();
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += separators.group;
        grouped += whole[i];
    }
    return QString::fromStdString((negative ? "-" : "") + grouped + (cents.empty() ? "" : separators.decimal + cents));
}

QTableWidgetItem* NumberItem(std::int64_t value)
{
    return new CountItem(value);
}

// A tier's heading on two lines ("Match" over "4+"), so that the twelve columns of a powerball
// game fit the screen beside the draw, Wins and Won.
QString Heading(const std::string& name)
{
    QString text = QString::fromStdString(name);
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank > 0)
        text[blank] = QLatin1Char('\n');
    return text;
}

// A tick step of 1, 2, 2.5 or 5 times a power of ten, giving at most about five ticks.
double NiceStep(double span)
{
    if (!(span > 0))
        return 1;
    const double rough = span / 4;
    double power = 1;
    while (power * 10 <= rough)
        power *= 10;
    while (power > rough)
        power /= 10;
    for (const double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (f * power >= rough)
            return f * power;
    return 10 * power;
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
        setText(Money(hundredths));
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
    : QWidget(parent, Qt::Window),
      game_(game),
      definition_(lotteryName),
      rows_(std::move(rows)),
      run_(run),
      folder_(std::move(folder)),
      inputs_(std::move(inputs))
{
    prizes_ = PrizesFromText(RememberedChoices(folder_).Get(PrizesKey(definition_)), game_.tiers.size())
                  .value_or(HistoryPrizes{std::vector<std::int64_t>(game_.tiers.size(), 0), 0});
    fileMoney_ = std::any_of(rows_.begin(), rows_.end(), [](const HistoryRow& r) { return !r.draw.prizes.empty(); });
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Brindlemark - Draw History"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Draws by date; draws of one day, and a file without dates, keep the file's order.
    order_.resize(rows_.size());
    for (std::size_t d = 0; d < order_.size(); ++d)
        order_[d] = d;
    if (std::all_of(rows_.begin(), rows_.end(), [](const HistoryRow& r) { return !r.draw.date.empty(); }))
        std::stable_sort(order_.begin(), order_.end(),
                         [this](std::size_t a, std::size_t b) { return rows_[a].draw.date < rows_[b].draw.date; });
    // Only the tier that pays most is marked: a large wheel wins the next one in most draws.
    const int top = TopTiers(game_).front();
    for (std::size_t d : order_)
        if (rows_[d].tally.count[static_cast<std::size_t>(top)] > 0)
            topDraws_.push_back(d);

    auto* outer = new QVBoxLayout(this);
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setText(QStringLiteral("Lottery: %1    Ticket File: %2    %3 Picks Against %4 Draws, %5 Wins In All")
                         .arg(QString::fromStdString(lotteryName),
                              // A line feed or escape sequence in the name would add a fake line.
                              QString::fromStdString(ShownLine(inputs_.front().filename().string())))
                         .arg(Grouped(run_.plays))
                         .arg(Grouped(run_.draws))
                         .arg(Grouped(run_.wins)));
    outer->addWidget(lblInfo);
    // The days of the draws checked, as --from and --to give them on the command line.
    fraRange = new DayRange(this);
    outer->addWidget(fraRange);

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

    AddHistoryButtons(this, outer, &cmdSaveCsv, &cmdClose);
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
        headers << Heading(name);
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
    // By date until the user sorts otherwise; the sort keeps the file's order within a day.
    tblHistory->sortByColumn(0, Qt::AscendingOrder);

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
    // The totals are far larger than one draw's counts: each column is as wide as either needs,
    // and no wider, so that the twelve tiers of a powerball game fit the screen.
    // Twelve tiers (a powerball game) beside the draw, Wins and Won: a compact type keeps every
    // column on a screen 1,280 pixels wide.
    if (game_.tiers.size() >= 12) {
        for (QTableWidget* t : {tblHistory, tblTotal}) {
            QFont compact = t->font();
            compact.setPointSizeF(compact.pointSizeF() * 0.9);
            t->setFont(compact);
            t->horizontalHeader()->setFont(compact);
            t->verticalHeader()->setDefaultSectionSize(QFontMetrics(compact).height() + 6);
        }
        tblTotal->setFixedHeight(tblTotal->rowHeight(0) + 2 * tblTotal->frameWidth());
    }
    const QFontMetrics cells = tblHistory->fontMetrics();
    const QFontMetrics heads = tblHistory->horizontalHeader()->fontMetrics();
    for (int c = 0; c < columns; ++c) {
        int width = 0;
        for (const QString& line : tblHistory->horizontalHeaderItem(c)->text().split(QLatin1Char('\n')))
            width = std::max(width, heads.horizontalAdvance(line) + 12);
        for (int r = 0; r < tblHistory->rowCount(); ++r)
            if (const QTableWidgetItem* item = tblHistory->item(r, c))
                width = std::max(width, cells.horizontalAdvance(item->text()));
        width = std::max(width, tblTotal->fontMetrics().horizontalAdvance(tblTotal->item(0, c)->text()));
        width += 8;  // the cell's own margins
        tblHistory->setColumnWidth(c, width);
        tblTotal->setColumnWidth(c, width);
    }
    FollowTableColumns(tblHistory, tblTotal);
}

double HistoryWindow::ChartValue(std::size_t draw) const
{
    const auto wins = static_cast<double>(rows_[draw].wins);
    return perThousand_ ? wins * 1000.0 / static_cast<double>(run_.plays) : wins;
}

QString HistoryWindow::DrawTip(std::size_t draw) const
{
    const HistoryRow& row = rows_[draw];
    const QLocale locale;
    QString tip = QStringLiteral("%1  %2").arg(
        QString::fromStdString(row.draw.date.empty() ? "Draw " + std::to_string(draw + 1) : row.draw.date),
        QString::fromStdString(HistoryDrawText(game_, row.draw.draw)));
    const auto names = HistoryTierNames(game_);
    for (std::size_t t = 0; t < names.size(); ++t)
        if (!game_.tiers[t].losing)
            tip += QStringLiteral("\n%1: %2").arg(QString::fromStdString(names[t]), Grouped(row.tally.count[t]));
    tip += QStringLiteral("\nWins: %1").arg(Grouped(row.wins));
    if (perThousand_)
        tip += QStringLiteral(" (%1 per 1,000 plays)").arg(ChartValue(draw), 0, 'f', 2);
    if (HasMoney()) {
        const auto at = static_cast<std::size_t>(std::find(order_.begin(), order_.end(), draw) - order_.begin());
        tip += QStringLiteral("\nWon %1; net so far %2").arg(Money(RowWon(row)), Money(runningNet_[at]));
    }
    return tip;
}

bool HistoryWindow::HasMoney() const
{
    return fileMoney_ || prizes_.price != 0 ||
           std::any_of(prizes_.prize.begin(), prizes_.prize.end(), [](std::int64_t p) { return p != 0; });
}

long double HistoryWindow::RowWon(const HistoryRow& row) const
{
    return fileMoney_ ? WonBy(prizes_, row.tally, TierPrizes(game_, row.draw.prizes)) : WonBy(prizes_, row.tally);
}

void HistoryWindow::BuildChart()
{
    // Dated draws lie on a time axis; a file without dates is drawn by the draw's place in it.
    const bool dated =
        std::all_of(rows_.begin(), rows_.end(), [](const HistoryRow& r) { return !r.draw.date.empty(); });
    // A large wheel wins thousands of times a draw: a share of its plays says more, and stays
    // readable whatever the wheel's size.
    perThousand_ = run_.plays >= 1000;
    for (std::size_t at = 0; at < order_.size(); ++at) {
        const std::size_t d = order_[at];
        if (!dated) {
            chartX_.push_back(static_cast<qreal>(d + 1));
            continue;
        }
        const QDate date = QDate::fromString(QString::fromStdString(rows_[d].draw.date), Qt::ISODate);
        chartX_.push_back(static_cast<qreal>(QDateTime(date, QTime(12, 0)).toMSecsSinceEpoch()));
    }
    auto* wins = new QLineSeries;
    wins->setName(perThousand_ ? QStringLiteral("Wins per 1,000 plays") : QStringLiteral("Wins per draw"));
    wins->setPen(QPen(QColor(120, 150, 200), 1));
    // Thousands of draws are a dense band at any width: their average over about a year of
    // draws shows the trend.
    auto* average = new QLineSeries;
    average->setName(QStringLiteral("Average of the last %1 draws").arg(kAverageDraws));
    average->setPen(QPen(QColor(20, 50, 130), 2.5));
    double most = 0, least = order_.empty() ? 0 : ChartValue(order_.front()), sum = 0;
    for (std::size_t at = 0; at < order_.size(); ++at) {
        const double value = ChartValue(order_[at]);
        wins->append(chartX_[at], value);
        most = std::max(most, value);
        least = std::min(least, value);
        sum += value;
        if (at >= kAverageDraws)
            sum -= ChartValue(order_[at - kAverageDraws]);
        average->append(chartX_[at], sum / static_cast<double>(std::min<std::size_t>(at + 1, kAverageDraws)));
    }
    auto* hits = new QScatterSeries;
    hits->setName(QStringLiteral("%1 won").arg(
        QString::fromStdString(HistoryTierNames(game_)[static_cast<std::size_t>(TopTiers(game_).front())])));
    hits->setMarkerSize(7);
    hits->setColor(QColor(200, 30, 30));
    hits->setBorderColor(QColor(120, 0, 0));
    for (std::size_t d : topDraws_) {
        const auto at = static_cast<std::size_t>(std::find(order_.begin(), order_.end(), d) - order_.begin());
        hits->append(chartX_[at], ChartValue(d));
    }
    netSeries_ = new QLineSeries;
    netSeries_->setName(QStringLiteral("Net money so far"));
    netSeries_->setPen(QPen(QColor(30, 140, 60), 2));

    auto* chart = new QChart;
    chart->addSeries(wins);
    chart->addSeries(hits);
    chart->addSeries(netSeries_);
    chart->addSeries(average);
    chart->setTitle(perThousand_ ? QStringLiteral("Wins per 1,000 plays in each draw")
                                 : QStringLiteral("Wins of each draw"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    QAbstractAxis* axisX = NewDrawAxis(dated);
    auto* axisY = new QValueAxis;
    if (perThousand_) {
        // A large wheel's share of winning plays hardly moves: the axis spans what it does.
        const double pad = std::max((most - least) / 10, 0.05);
        axisY->setRange(std::max(0.0, least - pad), most + pad);
        axisY->setLabelFormat(QStringLiteral("%.1f"));
        axisY->applyNiceNumbers();
        axisY->setTitleText(QStringLiteral("Wins/1,000"));
    } else {
        // Whole numbers of wins on whole ticks, about five of them.
        const auto top = static_cast<std::int64_t>(most);
        const std::int64_t step = std::max<std::int64_t>(1, (top + 4) / 5);
        axisY->setLabelFormat(QStringLiteral("%d"));
        axisY->setTickType(QValueAxis::TicksDynamic);
        axisY->setTickAnchor(0);
        axisY->setTickInterval(static_cast<qreal>(step));
        axisY->setRange(0, static_cast<qreal>(((top + step) / step) * step));
        axisY->setTitleText(QStringLiteral("Wins"));
    }
    netAxis_ = new QValueAxis;
    netAxis_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    chart->addAxis(netAxis_, Qt::AlignRight);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(wins), static_cast<QAbstractSeries*>(hits),
                               static_cast<QAbstractSeries*>(average)}) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    netSeries_->attachAxis(axisX);
    netSeries_->attachAxis(netAxis_);
    // A tooltip names the draw nearest the mouse, with its counts.
    const auto tip = [this](const QPointF& point, bool state) {
        if (!state || chartX_.empty()) {
            QToolTip::hideText();
            return;
        }
        const auto after = std::lower_bound(chartX_.begin(), chartX_.end(), point.x());
        std::size_t at = static_cast<std::size_t>(after - chartX_.begin());
        if (at == chartX_.size() || (at > 0 && point.x() - chartX_[at - 1] < *after - point.x()))
            --at;
        QToolTip::showText(QCursor::pos(), DrawTip(order_[at]), chart_);
    };
    connect(wins, &QLineSeries::hovered, this, tip);
    connect(average, &QLineSeries::hovered, this, tip);
    connect(hits, &QScatterSeries::hovered, this, tip);
    connect(netSeries_, &QLineSeries::hovered, this, tip);
    auto* view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("chtHistory"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(240);
    chart_ = view;
}

void HistoryWindow::ShowNetMoney()
{
    // What the wheel won less what it cost, draw after draw in date order.
    runningNet_.clear();
    long double net = 0;
    const long double cost = static_cast<long double>(prizes_.price) * static_cast<long double>(run_.plays);
    long double low = 0, high = 0;
    for (std::size_t at = 0; at < order_.size(); ++at) {
        net += RowWon(rows_[order_[at]]) - cost;
        runningNet_.push_back(net);
        low = std::min(low, net);
        high = std::max(high, net);
    }
    // Labels of a few digits beside the chart: large sums are in thousands, millions or billions.
    const long double largest = std::max(-low, high) / 100.0L;
    const auto [unit, title] = largest >= 1e9L   ? std::pair{1e11L, QStringLiteral("Net, billions")}
                               : largest >= 1e6L ? std::pair{1e8L, QStringLiteral("Net, millions")}
                               : largest >= 1e4L ? std::pair{1e5L, QStringLiteral("Net, thousands")}
                                                 : std::pair{100.0L, QStringLiteral("Net money")};
    QList<QPointF> points;
    for (std::size_t at = 0; at < order_.size(); ++at)
        points.append(QPointF(chartX_[at], static_cast<qreal>(runningNet_[at] / unit)));
    netAxis_->setTitleText(title);
    const bool shown = HasMoney();
    netSeries_->replace(shown ? points : QList<QPointF>{});
    netSeries_->setVisible(shown);
    netAxis_->setVisible(shown);
    // The axis spans what the money does, on round ticks: no more than one step beyond it.
    const double lo = static_cast<double>(low / unit), hi = static_cast<double>(high / unit);
    const double step = NiceStep(std::max(hi - lo, 1e-9));
    double bottom = std::floor(lo / step) * step, top = std::ceil(hi / step) * step;
    if (top - bottom < step)
        top = bottom + step;
    netAxis_->setRange(bottom, top);
    netAxis_->setTickCount(static_cast<int>(std::lround((top - bottom) / step)) + 1);
    netAxis_->setLabelFormat(step < 1 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
}

QWidget* HistoryWindow::BuildMoney()
{
    auto* box = new QGroupBox(fileMoney_ ? QStringLiteral("Prizes Where The Draws File Gives None, And Price Per Play")
                                         : QStringLiteral("Prizes And Price Per Play (optional)"),
                              this);
    box->setObjectName(QStringLiteral("fraMoney"));
    auto* grid = new QGridLayout(box);
    const auto validator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,11}(\\.[0-9]{0,2})?")), box);
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
        static_cast<MoneyItem*>(tblHistory->item(r, won))->Set(RowWon(rows_[static_cast<std::size_t>(draw)]));
    }
    // At the file's prizes each draw wins at its own: the sum of the draws.
    long double total = 0;
    if (fileMoney_)
        for (const auto& row : rows_)
            total += RowWon(row);
    else
        total = WonBy(prizes_, run_.total);
    static_cast<MoneyItem*>(tblTotal->item(0, won))->Set(total);
    // Wide enough for the largest amount, the total's included.
    tblHistory->resizeColumnToContents(won);
    const int totalWidth = tblTotal->fontMetrics().horizontalAdvance(tblTotal->item(0, won)->text()) + 16;
    tblHistory->setColumnWidth(won, std::max(tblHistory->columnWidth(won), totalWidth));
    // Wider amounts widen the window where the screen has room, rather than hide the column.
    if (isVisible()) {
        int needed = width() - tblHistory->viewport()->width();
        for (int c = 0; c < tblHistory->columnCount(); ++c)
            needed += tblHistory->columnWidth(c);
        const int room = AvailableFor(this).width() - (frameGeometry().width() - width());
        if (needed > width())
            resize(std::min(needed, room), height());
    }
    ShowNetMoney();
    const long double cost = static_cast<long double>(prizes_.price) * static_cast<long double>(run_.plays) *
                             static_cast<long double>(run_.draws);
    lblMoney->setText(QStringLiteral("Won %1 In %2 Draws; Cost %3 (%4 Picks x %2 Draws x %5); Net %6")
                          .arg(Money(total))
                          .arg(Grouped(run_.draws))
                          .arg(Money(cost))
                          .arg(Grouped(run_.plays))
                          .arg(Money(static_cast<long double>(prizes_.price)))
                          .arg(Money(total - cost)));
}

void HistoryWindow::OfferRange(const std::string& from, const std::string& to, Recheck recheck)
{
    fraRange->Offer(from, to, std::move(recheck));
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
    // As the command line writes it: the file's prizes only, never the typed ones.
    std::string csv = HistoryCsvHeader(game_, fileMoney_);
    long double won = 0;
    for (const auto& row : rows_) {
        csv += HistoryCsvRow(game_, row, fileMoney_);
        won += WonBy(HistoryPrizes{}, row.tally, TierPrizes(game_, row.draw.prizes));
    }
    return csv + HistoryCsvTotal(game_, run_, fileMoney_ ? std::optional<long double>(won) : std::nullopt);
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
    SaveHistoryCsv(this, folder_, inputs_, [this] { return Csv(); });
}

}  // namespace bm::app
