#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "common/ProgramFolder.h"

class QBoxLayout;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace bm::app {

class ReportBox;

// The pieces every checker window is made of, from one table, so that a checker of a two-pool
// game reads and answers the keyboard as the checkers of the other games do.

// The row of buttons under the draw boxes: Load File, Run, Save Summary, Draw History, Close.
struct CheckerButtons {
    QPushButton* load = nullptr;     // cmdGo
    QPushButton* run = nullptr;      // cmdreset
    QPushButton* save = nullptr;     // cmdsave
    QPushButton* history = nullptr;  // cmdHistory
    QPushButton* close = nullptr;    // cmdxit
};
CheckerButtons AddCheckerButtons(QWidget* window, QBoxLayout* outer);

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

// Save Draw History's CSV: the file asked for (in the summary folder at first), never over the
// ticket or draws file just read nor among the definitions, written whole or not at all.
void SaveHistoryCsv(QWidget* window, const ProgramFolder& folder, const std::vector<std::filesystem::path>& inputs,
                    const std::function<std::string()>& csv);

}  // namespace bm::app
