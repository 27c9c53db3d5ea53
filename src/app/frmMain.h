#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QWidget>

#include "app/CurrentDefinition.h"
#include "app/HelpFile.h"
#include "common/ProgramFolder.h"
#include "printing/PrintSurface.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace bm::app {

class JobPump;
class PrintTarget;
class WindowCatalogue;

// The hub: lists the slip definitions, keeps the chosen one current with its offsets, and
// starts printing, the test pattern, the editor, the checkers, printer set-up and help.
class frmMain : public QWidget {
public:
    struct Services {
        ProgramFolder folder;
        PrintTarget* printer = nullptr;             // required
        const WindowCatalogue* windows = nullptr;   // required
        UrlOpener openHelp = DesktopOpener();
        int pumpIntervalMs = 20;                    // how often a print job lets events through
    };

    explicit frmMain(Services services, QWidget* parent = nullptr);
    ~frmMain() override;

    const CurrentDefinition& current() const { return current_; }
    const ProgramFolder& folder() const { return services_.folder; }
    // The editor's Modify opening gives the main window's bonus flag the loaded value.
    void SetBonus(bool bBon) { current_.bBon = bBon; }
    // Reads the Defs folder again (after the editor saved); the current definition stays.
    void ReloadDefinitions();
    bool jobRunning() const { return jobRunning_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildUi();
    void Connect();

    // Definitions and offsets (frmMainDefinitions.cpp).
    void File1_Click(int row);
    void File1_DblClick();
    bool SelectDefinition(const QString& listedName);
    void ShowCurrentInList();
    void Margin_Change();
    void ShowNoDefinitions(bool none);
    bool RefuseWithoutDefinition();

    // Print jobs (frmMainPrint.cpp).
    void RunJob(bool testMode);
    std::unique_ptr<PrintSurface> ChooseSurface();

    void cmdGendef_Click();
    void cmdChkTick_Click();
    void cmdxit_Click();

    Services services_;
    CurrentDefinition current_;
    std::unique_ptr<JobPump> pump_;
    bool jobRunning_ = false;
    bool marginErrorShown_ = false;

    QListWidget* File1 = nullptr;
    QLabel* lblNoDefs = nullptr;
    QLineEdit* txtTmarg = nullptr;
    QLineEdit* txtLmarg = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdGendef = nullptr;
    QPushButton* cmdChkTick = nullptr;
    QPushButton* cmdPdlg = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdxit = nullptr;
    QLabel* lblEsc = nullptr;
    QLabel* lblcnt = nullptr;
    QLabel* lblupdate = nullptr;
    QLabel* lblF = nullptr;
    QLabel* Label2 = nullptr;

    friend class MainJobStatus;
};

}  // namespace bm::app
