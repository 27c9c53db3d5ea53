#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "app/CurrentDefinition.h"
#include "app/HelpFile.h"
#include "common/ProgramFolder.h"
#include "definitions/DefinitionChoice.h"
#include "paper/PrintSurface.h"
#include "printing/PrintJob.h"
#include "windowing/window/WheelPrinter.h"

class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace bm::app {

class JobPump;
class PrintTarget;
class WindowCatalogue;

// The hub: lists the slip definitions, keeps the chosen one current with its offsets, and
// starts printing, the test pattern, the editor, the checkers, printer set-up and help. The
// editor and the checkers see it as the DefinitionChoice they were opened from.
class frmMain : public QWidget, public DefinitionChoice, public WheelPrinter {
public:
    struct Services {
        ProgramFolder folder;
        PrintTarget* printer = nullptr;            // required
        const WindowCatalogue* windows = nullptr;  // required
        UrlOpener openHelp = DesktopOpener();
        int pumpIntervalMs = 20;  // how often a print job lets events through
    };

    explicit frmMain(Services services, QWidget* parent = nullptr);
    ~frmMain() override;

    const CurrentDefinition& current() const { return current_; }
    const ProgramFolder& folder() const { return services_.folder; }
    // Reads the Defs folder again; the current definition stays while its file is listed and
    // is read again, else the first entry becomes current.
    void ReloadDefinitions();
    bool jobRunning() const { return jobRunning_; }

    const ProgramFolder& Folder() const override { return folder(); }
    Result<ChosenDefinition> ReadChosen() override;
    std::shared_ptr<void> Listen(std::function<void()> changed) override;
    void DefinitionsWritten() override { ReloadDefinitions(); }
    // The definition is chosen here, with its offsets, and the wheel printed or previewed.
    void PrintWheel(const std::string& listedName, const std::filesystem::path& wheel, bool preview) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildUi();
    void Connect();

    // Definitions and offsets (frmMainDefinitions.cpp).
    void File1_Click(int row);
    void File1_ItemClick(const QString& listedName);
    void File1_DblClick();
    bool SelectDefinition(const QString& listedName);
    void SelectFirstOrRemembered();
    // The row a first start makes current.
    int FirstFamiliarRow() const;
    // The current definition read again from its file, the values and flags kept with it.
    Result<SlipDefinition> RereadCurrent();
    void TellListeners();
    void WatchDefs();
    void DefsChanged();
    void ShowCurrentInList();
    void Margin_Change();
    void ShowNoDefinitions(bool none);
    bool RefuseWithoutDefinition();

    // Print jobs (frmMainPrint.cpp). A job from the preview has its wheel and slips chosen
    // already, and may go to a PDF file whether a printer is installed or not.
    struct JobChoice {
        bool testMode = false;
        std::filesystem::path wheel;
        std::string slips;
        bool pdf = false;
        QWidget* asker = nullptr;  // the window the PDF's file dialog belongs to; null: this one
    };
    void RunJob(const JobChoice& choice);
    std::unique_ptr<PrintSurface> ChooseSurface(bool pdf, QWidget* asker = nullptr,
                                                const std::filesystem::path& wheel = {});
    PrintJobRequest CurrentRequest();
    std::filesystem::path ChooseWheel();
    PrintJobRequest RequestAsShown() const;
    // `wheel`: the file to show; empty: asked for.
    void cmdPreview_Click(const std::filesystem::path& wheel = {});
    // An open preview follows the current definition and offsets, a moment after they change.
    void RefreshPreviewSoon();
    void RefreshPreview();

    // The printer's paper and calibration (frmMainCalibration.cpp): jobs on the printer lay out
    // on its paper and go through its calibration; a PDF file takes the chosen paper alone.
    Status ApplyPrinter(PrintJobRequest& request, bool toPdf);
    void ShowCalibration();
    // Printer Setup's paper and source kept across restarts (`store`), or taken back at start.
    void RememberPaper(bool store);
    void cmdCalibrate_Click();
    void cmdResetScale_Click();
    void ShowFeed(const JobOutcome& outcome, bool testMode);

    void cmdGendef_Click();
    void cmdChkTick_Click();
    void cmdPdlg_Click();
    void cmdxit_Click();

    Services services_;
    CurrentDefinition current_;
    std::unique_ptr<JobPump> pump_;
    bool jobRunning_ = false;
    bool marginErrorShown_ = false;
    QStringList leftOut_;         // files of Defs ending in .def that are no definition by their name
    bool readByPress_ = false;    // the mouse press under way made its entry current already
    bool reloadPending_ = false;  // the Defs folder changed during a print job
    std::vector<std::weak_ptr<std::function<void()>>> listeners_;
    QFileSystemWatcher* watcher_ = nullptr;
    QPointer<QWidget> preview_;
    QTimer* previewTimer_ = nullptr;

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
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdWheels = nullptr;
    QLabel* lblEsc = nullptr;
    QLabel* lblcnt = nullptr;
    QLabel* lblupdate = nullptr;
    QLabel* lblF = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblDest = nullptr;
    QPushButton* cmdCalibrate = nullptr;
    QLabel* lblScale = nullptr;
    QPushButton* cmdResetScale = nullptr;
    QLabel* lblFeed = nullptr;

    friend class MainJobStatus;
};

}  // namespace bm::app
