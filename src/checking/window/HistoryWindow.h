#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "checking/HistoryCheck.h"
#include "common/ProgramFolder.h"

class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

namespace bm::app {

// The outcome of checking a wheel against a history of draws: a sortable table of every draw,
// a chart of the wins over time, and "Save CSV" writing what the command line writes.
class HistoryWindow : public QWidget {
public:
    // `inputs`: the files the run read, which Save CSV never writes over.
    HistoryWindow(const CheckGame& game, const std::string& lotteryName, std::vector<std::filesystem::path> inputs,
                  std::vector<HistoryRow> rows, const HistoryRun& run, ProgramFolder folder, QWidget* parent = nullptr);

    // The CSV of the run, in file order whatever the table's sorting.
    std::string Csv() const;
    // The indexes of the draws marked on the chart: those with a win in one of the game's top two tiers.
    const std::vector<std::size_t>& topDraws() const { return topDraws_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTable();
    void BuildChart();
    void CopySelection() const;
    void cmdSaveCsv_Click();

    const CheckGame& game_;
    std::vector<HistoryRow> rows_;
    HistoryRun run_;
    ProgramFolder folder_;
    std::vector<std::filesystem::path> inputs_;
    std::vector<std::size_t> topDraws_;

    QLabel* lblInfo = nullptr;
    QTableWidget* tblHistory = nullptr;
    QTableWidget* tblTotal = nullptr;
    QWidget* chart_ = nullptr;
    QPushButton* cmdSaveCsv = nullptr;
    QPushButton* cmdClose = nullptr;
};

// The tiers of a game that pay most: the highest count of main matches, with the extra number
// before without it. Two at most.
std::vector<int> TopTiers(const CheckGame& game);

}  // namespace bm::app
