#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "checking/CheckEngine.h"
#include "common/ProgramFolder.h"
#include "definitions/DefinitionChoice.h"
#include "windowing/window/Dialogs.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace bm::app {

class ReportBox;

// The definition a checker checks the game of, as its file read at load or at a run's start.
struct CheckerGame {
    std::filesystem::path file;
    std::string lotteryName;  // the definition name
    int pool = 0;
    bool bBon = false;
    // What a drawn powerball may reach: the second pool of the marks file, else the main pool.
    int powerballPool = 0;
};

// One ticket checker window for any of the four games: the variant gives its name, draw boxes,
// tier rows, texts and counting rules. It opens with the definition chosen in the main window
// and follows the choice only to definitions of its own game.
class CheckerWindow : public QWidget {
public:
    struct Options {
        int pumpIntervalMs = 20;   // how often a run lets events through (paints, Escape)
        int paintIntervalMs = 50;  // how often a run shows its counts and new report lines
        int pollEvery = 4096;      // plays between two looks at the clock (some 50 microseconds)
    };

    CheckerWindow(const CheckerVariant& variant, DefinitionChoice& choice, Options options, QWidget* parent = nullptr);
    CheckerWindow(const CheckerVariant& variant, DefinitionChoice& choice, QWidget* parent = nullptr);
    ~CheckerWindow() override;

    bool running() const { return running_; }
    // The loaded ticket file; empty when none is loaded.
    const QString& ticketFile() const { return ticketFile_; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class RunProgress;

    void BuildUi();
    QLabel* Count(const Tier& tier) const { return counts_.at(tier.counter); }

    // False, said to the user, when the definition's file cannot be read now.
    bool Form_Load();
    // The chosen definition when it is a game of this window (or the window's own), else the
    // window's own definition; either as its file reads now.
    Result<CheckerGame> ReadGame(bool opening);
    void ShowGame(const CheckerGame& game);
    void ResetDisplay();
    void cmdGo_Click();
    void cmdreset_Click();
    void cmdsave_Click();
    void cmdHistory_Click();  // CheckerHistory.cpp
    // The wheel against the draws of `file` of the days from..to ("YYYY-MM-DD", empty: any).
    void RunDrawHistory(const QString& file, const std::string& from, const std::string& to);

    // The run's pieces (CheckerRun.cpp).
    bool ReadDrawBoxes(DrawResult& draw);
    void ShowCounts(const CheckRun& run, bool final);
    void AppendReport(const CheckRun& run);
    void FinishRun(const CheckRun& run, const Status& status);
    void SetStatus(const QString& text);
    void Refuse(const QString& text);
    // The program's dialogs, noting that the window's next activation is the return from one
    // of its own boxes, which must not move the focus to txtN1.
    Dialogs& OwnDialogs();

    const CheckerVariant& variant_;
    DefinitionChoice& choice_;
    ProgramFolder folder_;
    std::shared_ptr<void> listening_;
    Options options_;
    CheckerGame game_;
    const CheckGame* rules_ = nullptr;

    QString ticketFile_;
    std::int32_t playCount_ = 0;
    std::size_t reportShown_ = 0;  // report lines of the run already in the report box
    bool running_ = false;
    bool closeAsked_ = false;
    bool ownDialogShown_ = false;

    std::vector<QLineEdit*> boxes_;  // txtN1 ...
    QLabel* lblHead = nullptr;
    QLabel* lblExtra = nullptr;  // "Bonus:" or "Powerball:" before the extra number's box
    QLabel* lblLot = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdreset = nullptr;
    QPushButton* cmdsave = nullptr;
    QPushButton* cmdxit = nullptr;
    QPushButton* cmdHistory = nullptr;
    QProgressBar* prgHistory = nullptr;
    QPointer<QWidget> historyWindow_;          // the last run's result window, while it is open
    std::map<std::string, QLabel*> captions_;  // by counter
    std::map<std::string, QLabel*> counts_;    // by counter
    QLabel* Label12 = nullptr;
    QLabel* lbldraw = nullptr;
    QLabel* lblstatus = nullptr;
    ReportBox* rtbreport = nullptr;
};

}  // namespace bm::app
