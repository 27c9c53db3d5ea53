#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

#include "definitions/DefinitionChoice.h"
#include "wheels/WheelAnalysis.h"
#include "wheels/WheelDesign.h"

class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace bm::app {

class WheelMakeTab;
class WheelPrinter;
class WindowCatalogue;
class WheelsDefinition;

// "Wheels": a published design put on the player's numbers and saved into the wheel folder
// (first tab), and what a wheel file guarantees over every draw of a definition's game, with
// both tables and a bar chart of the best matches (second tab). The window chooses its
// definition itself (first the main window's), gives the plays of a two-pool game their second
// numbers, prints or previews the plays it made, and keeps its entries when it is closed and
// opened again.
class WheelsWindow : public QWidget {
public:
    // `pumpIntervalMs`: how often an analysis lets events through.
    explicit WheelsWindow(DefinitionChoice& choice, int pumpIntervalMs = 20, QWidget* parent = nullptr);
    ~WheelsWindow() override;

    // The plays of the Apply tab as they stand, empty while the numbers or design do not fit.
    const std::vector<std::vector<int>>& plays() const { return plays_; }
    // The last completed analysis.
    const std::optional<wheels::Coverage>& coverage() const { return coverage_; }
    bool running() const { return running_; }
    // Opens a wheel or design as the buttons do after their dialogs.
    void LoadDesign(const QString& file);
    void SetWheel(const QString& file);
    // Chooses the window's definition by its listed name ("TK539.def"); false when not listed.
    bool ChooseDefinition(const QString& listedName);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Game {
        std::string name;
        SlipDefinition definition;
        int secondPool = 0, secondPick = 0;  // from the marks file's [Second]
    };
    QWidget* BuildApplyTab();
    QWidget* BuildAnalyzeTab();
    // The chosen definition as it reads now, or why there is none.
    Result<Game> CurrentGame();
    void ShowGame();
    void FillDefinitions();
    void ApplyNow();
    void ApplyPlays();
    // The plays with the second numbers typed, when the game has a second pool.
    Result<std::vector<std::vector<int>>> WithSecond(const std::vector<std::vector<int>>& plays);
    // Print or Preview of the plays of the tab shown, saved first when they are not yet.
    void PrintPlays(bool preview);
    void UpdatePrintButtons();
    void Keep();
    void GameChanged();
    void ShowDesign();
    // "TK539" or "TK539 and VT545": the listed definitions whose plays hold `pick` main numbers.
    QString DefinitionsOfPick(int pick) const;
    void cmdDesign_Click();
    void cmdSaveWheel_Click();
    void cmdOpenWheel_Click();
    void cmdAnalyze_Click();
    void ShowCoverage(const wheels::Coverage& coverage);
    void ClearCoverage(const QString& status);
    void SetApplyStatus(const QString& text, bool fault);
    void Refuse(const QString& text);
    // The definition chosen in the window's own list ("LO649.def"), empty when none.
    std::string ListedDefinition() const;

    DefinitionChoice& choice_;
    int pumpIntervalMs_;
    std::unique_ptr<WheelsDefinition> own_;
    WheelPrinter* printer_ = nullptr;
    std::filesystem::path savedPlays_;  // where the Apply tab's plays were last saved
    std::filesystem::path home_;        // the program folder, whose entries are kept
    std::shared_ptr<void> listening_;
    std::optional<wheels::Design> design_;
    std::filesystem::path designFile_;
    std::vector<std::vector<int>> plays_;
    std::filesystem::path wheelFile_;
    std::optional<wheels::Coverage> coverage_;
    std::string analysedGame_;
    bool running_ = false;

    QComboBox* cboGame = nullptr;
    QLabel* lblSecond = nullptr;
    QLineEdit* txtSecond = nullptr;
    QCheckBox* chkSecondAll = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPreview = nullptr;
    QTabWidget* tabWheels = nullptr;
    QLabel* lblApplyGame = nullptr;
    QLineEdit* txtNumbers = nullptr;
    QPushButton* cmdDesign = nullptr;
    QLabel* lblDesign = nullptr;
    QLabel* lblApplyStatus = nullptr;
    QPlainTextEdit* txtPlays = nullptr;
    QPushButton* cmdSaveWheel = nullptr;
    QLabel* lblAnalyzeGame = nullptr;
    QPushButton* cmdOpenWheel = nullptr;
    QLabel* lblWheel = nullptr;
    QPushButton* cmdAnalyze = nullptr;
    QProgressBar* prgAnalyze = nullptr;
    QLabel* lblAnalyzeStatus = nullptr;
    QTableWidget* tblGuarantee = nullptr;
    QTableWidget* tblBest = nullptr;
    QLabel* lblVerdict = nullptr;
    QChartView* chtBest = nullptr;
    QPushButton* cmdClose = nullptr;
    WheelMakeTab* makeTab_ = nullptr;
};

// Registers the window under "frmWheels" for the main window's "Wheels" button.
void RegisterWheelsWindow(WindowCatalogue& catalogue);

}  // namespace bm::app
