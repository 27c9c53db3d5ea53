#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "checking/TwoPoolCheck.h"
#include "common/ProgramFolder.h"
#include "definitions/DefinitionChoice.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace bm::app {

class ReportBox;

// The checker of a game of two pools (5 + 2, 7 + 1, ...): a draw box per main number and per
// second-pool number (the second ones on light yellow), a row per tier (m, j) with its count,
// Load File, Run, Save Summary and Close as in the other checkers; the report and summary are
// those of `check --draw`. Object name frmChkwhl2P.
class TwoPoolCheckerWindow : public QWidget {
public:
    // `pumpIntervalMs`: how often a run lets events through (paints, Escape).
    explicit TwoPoolCheckerWindow(DefinitionChoice& choice, QWidget* parent = nullptr, int pumpIntervalMs = 20);
    ~TwoPoolCheckerWindow() override;

    const QString& ticketFile() const { return ticketFile_; }

private:
    // The chosen definition as its files read now; false (and said) when they cannot be read.
    bool ReadGame();
    void BuildRows();
    void ResetDisplay();
    void LoadFile();
    void Run();
    void SaveSummary();
    // Draw History: the wheel against every draw of a results file (of the days from..to,
    // "YYYY-MM-DD", empty: any), shown in its own window.
    void History();
    void RunHistory(const QString& file, const std::string& from, const std::string& to);
    void Refuse(const QString& text);

    DefinitionChoice& choice_;
    ProgramFolder folder_;
    std::filesystem::path file_;
    std::string lottery_;
    std::optional<TwoPoolGame> game_;
    QString ticketFile_;
    std::int64_t plays_ = 0;
    int pumpIntervalMs_;

    QLabel* lblLot = nullptr;
    QLabel* lblHead = nullptr;
    QWidget* drawRow_ = nullptr;
    QWidget* tierGrid_ = nullptr;
    std::vector<QLineEdit*> boxes_;
    std::vector<QLabel*> counts_;
    QLabel* lbldraw = nullptr;
    QLabel* lblstatus = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdreset = nullptr;
    QPushButton* cmdsave = nullptr;
    QPushButton* cmdxit = nullptr;
    QPushButton* cmdHistory = nullptr;
    ReportBox* rtbreport = nullptr;
    QPointer<QWidget> historyWindow_;
};

// The window "Check Tickets" opens for a definition whose marks give it a second pool checked by
// tiers, registered as frmChkwhl2P.
inline constexpr const char* kTwoPoolCheckerName = "frmChkwhl2P";

}  // namespace bm::app
