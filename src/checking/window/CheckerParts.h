#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QString>
#include <QTableWidgetItem>

#include "common/ProgramFolder.h"

class QAbstractAxis;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace bm::app {

class ReportBox;

// The pieces every checker window is made of, from one table, so that a checker of a two-pool
// game reads and answers the keyboard as the checkers of the other games do.

// The row of buttons under the draw boxes, each put where its pointer points: Load File (cmdGo),
// Run (cmdreset), Save Summary (cmdsave), Draw History (cmdHistory), Close (cmdxit).
struct CheckerButtons {
    QPushButton** load;
    QPushButton** run;
    QPushButton** save;
    QPushButton** history;
    QPushButton** close;
};
void AddCheckerButtons(QWidget* window, QBoxLayout* outer, const CheckerButtons& buttons);

// Draw box `number` (1-based, "txtN1"), empty so that a run never checks against a draw the user
// did not type; the extra or second-pool numbers on light yellow.
QLineEdit* NewDrawBox(QWidget* parent, int number, bool extra);

// A tier's caption and its count ("0") side by side in the grid, at `row`, `column`.
struct TierRow {
    QLabel* caption = nullptr;
    QLabel* count = nullptr;
};
TierRow AddTierRow(QGridLayout* grid, QWidget* parent, int row, int column, const QString& captionName,
                   const QString& caption, const QString& countName);
// The "Lines Checked" row (Label12), whose count is lbldraw; the grid spaced so that no count
// touches it.
TierRow AddLinesCheckedRow(QGridLayout* grid, QWidget* parent, int row);

// The status line and the report under the tier rows.
struct CheckerFooter {
    QLabel* status = nullptr;     // lblstatus
    ReportBox* report = nullptr;  // rtbreport
};
CheckerFooter NewCheckerFooter(QWidget* window);

// A count with thousands separators ("1,000,000").
QString Grouped(std::int64_t value);

// A count in a table, shown with thousands separators, that sorts by its value.
class CountItem final : public QTableWidgetItem {
public:
    explicit CountItem(std::int64_t value) : QTableWidgetItem(Grouped(value)), value_(value)
    {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto* count = dynamic_cast<const CountItem*>(&other);
        return count ? value_ < count->value_ : QTableWidgetItem::operator<(other);
    }

private:
    std::int64_t value_;
};

// A Draw History chart's axis of draws: their dates where every draw has one, else their places.
QAbstractAxis* NewDrawAxis(bool dated);

// A Draw History's totals row under its table: it keeps the table's column widths and scrolls
// sideways with it.
void FollowTableColumns(QTableWidget* table, QTableWidget* totals);

// A Draw History window's Save CSV and Close, at the right under everything else.
void AddHistoryButtons(QWidget* window, QBoxLayout* outer, QPushButton** saveCsv, QPushButton** close);

// Save Draw History's CSV: the file asked for (in the summary folder at first), never over the
// ticket or draws file just read nor among the definitions, written whole or not at all.
void SaveHistoryCsv(QWidget* window, const ProgramFolder& folder, const std::vector<std::filesystem::path>& inputs,
                    const std::function<std::string()>& csv);

}  // namespace bm::app
