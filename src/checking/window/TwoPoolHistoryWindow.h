#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QWidget>

#include "checking/TwoPoolCheck.h"
#include "checking/window/DayRange.h"
#include "common/ProgramFolder.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace bm::app {

// One draw of a two-pool history: its day, its numbers and the wheel's count in every tier.
struct TwoPoolHistoryRow {
    std::string date;
    TwoPoolDraw draw;
    std::vector<std::int64_t> tally;
};

// Draw History of a game of two pools: a row per draw with its Match m+j counts, its wins and,
// when the prize table has amounts, what it won; the total; a chart of the wins per draw; Save CSV
// writes what `check --draws` writes. Object name frmHistory, as the other history window.
class TwoPoolHistoryWindow : public QWidget {
public:
    TwoPoolHistoryWindow(const TwoPoolGame& game, const std::string& lotteryName,
                         std::vector<std::filesystem::path> inputs, std::vector<TwoPoolHistoryRow> rows,
                         std::int64_t plays, ProgramFolder folder, QWidget* parent = nullptr);

    // The CSV of the run, in file order.
    std::string Csv() const;
    void OfferRange(const std::string& from, const std::string& to, DayRange::Recheck recheck);

private:
    std::int64_t Wins(const std::vector<std::int64_t>& tally) const;
    void SaveCsv();

    TwoPoolGame game_;
    std::vector<std::filesystem::path> inputs_;
    std::vector<TwoPoolHistoryRow> rows_;
    std::vector<std::int64_t> total_;
    ProgramFolder folder_;

    QLabel* lblInfo = nullptr;
    DayRange* fraRange = nullptr;
    QTableWidget* tblHistory = nullptr;
    QTableWidget* tblTotal = nullptr;
    QPushButton* cmdSaveCsv = nullptr;
    QPushButton* cmdClose = nullptr;
};

}  // namespace bm::app
