#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "checking/HistoryCheck.h"
#include "checking/HistoryMoney.h"
#include "common/ProgramFolder.h"

class QChartView;
class QLineSeries;
class QValueAxis;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace bm::app {
class DayRange;
}

namespace bm::app {

// The outcome of checking a wheel against a history of draws: a sortable table of every draw,
// a chart of the wins over time, and "Save CSV" writing what the command line writes. A prize per
// tier and a price per play, kept per definition, add the money won per draw and in all.
class HistoryWindow : public QWidget {
public:
    // `inputs`: the files the run read, which Save CSV never writes over.
    HistoryWindow(const CheckGame& game, const std::string& lotteryName, std::vector<std::filesystem::path> inputs,
                  std::vector<HistoryRow> rows, const HistoryRun& run, ProgramFolder folder, QWidget* parent = nullptr);

    // The CSV of the run, in file order whatever the table's sorting.
    std::string Csv() const;
    // The indexes of the draws marked on the chart, in date order: those with a win in the tier
    // that pays most.
    const std::vector<std::size_t>& topDraws() const { return topDraws_; }
    // The draws by date (file order within a day, and for a file without dates), as the table
    // first shows them and the chart draws them.
    const std::vector<std::size_t>& order() const { return order_; }
    // What the chart's tooltip says of a draw: its date and numbers, its winning counts, and the
    // money once prizes are entered.
    QString DrawTip(std::size_t draw) const;
    // The running net money the chart draws, in hundredths, in date order.
    const std::vector<long double>& runningNet() const { return runningNet_; }
    // The From and To boxes: the days of the draws checked ("YYYY-MM-DD", empty: any), and what
    // checks the wheel again against the draws of the days typed.
    using Recheck = std::function<void(const std::string& from, const std::string& to)>;
    void OfferRange(const std::string& from, const std::string& to, Recheck recheck);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTable();
    void BuildChart();
    double ChartValue(std::size_t draw) const;
    bool HasMoney() const;
    // What a draw won: at the draws file's prizes where it gives them, else at the typed ones.
    long double RowWon(const HistoryRow& row) const;
    void ShowNetMoney();
    void CopySelection() const;
    void cmdSaveCsv_Click();
    // The prize and price boxes, filled with what was kept for this definition.
    QWidget* BuildMoney();
    // Reads the boxes; when they all hold amounts, shows and keeps what the wheel won and cost.
    void MoneyChanged(bool remember);

    const CheckGame& game_;
    std::string definition_;
    HistoryPrizes prizes_;
    std::vector<HistoryRow> rows_;
    HistoryRun run_;
    ProgramFolder folder_;
    std::vector<std::filesystem::path> inputs_;
    std::vector<std::size_t> topDraws_;
    std::vector<std::size_t> order_;
    std::vector<qreal> chartX_;  // by place in order_
    std::vector<long double> runningNet_;
    bool perThousand_ = false;
    bool fileMoney_ = false;  // the draws file gives prizes

    QLabel* lblInfo = nullptr;
    DayRange* fraRange = nullptr;
    QTableWidget* tblHistory = nullptr;
    QTableWidget* tblTotal = nullptr;
    QWidget* chart_ = nullptr;
    QLineSeries* netSeries_ = nullptr;
    QValueAxis* netAxis_ = nullptr;
    std::vector<QLineEdit*> txtPrize;
    QLineEdit* txtPrice = nullptr;
    QLabel* lblMoney = nullptr;
    QPushButton* cmdSaveCsv = nullptr;
    QPushButton* cmdClose = nullptr;
};

// The tiers of a game that pay most: the highest count of main matches, with the extra number
// before without it. Two at most.
std::vector<int> TopTiers(const CheckGame& game);

}  // namespace bm::app
