#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "app/PrintTarget.h"
#include "app/frmMain.h"
#include "printing/RecordingSurface.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "windowing/window/WindowCatalogue.h"

namespace bmtest {

// How long a GUI test waits for an event that comes from outside (a file watcher, a queued
// paint): it returns as soon as the event arrives, so the limit only ends a hang and must not be
// short enough for a loaded machine to reach.
inline constexpr int kHangLimitMs = 120'000;

// A recording in place of the printer. Every job gets a fresh recording; `onFill` sees each
// mark with the sheet it lands on, before it is recorded.
class RecordingTarget : public bm::app::PrintTarget {
public:
    bool printerInstalled = true;
    std::string refusal;   // when set, the printer refuses every document with this reason
    std::string notReady;  // when set, the printer is refused before a job with this reason
    std::function<void(int sheet)> onFill;
    std::vector<std::shared_ptr<bm::RecordingSurface>> jobs;  // in the order the jobs ran
    std::vector<std::filesystem::path> pdfFiles;              // PDF surfaces asked for
    int setups = 0;
    std::string setupChoice;  // the printer Printer Setup confirms; empty: cancelled
    std::string used;         // the printer the program chose to print on; empty: "office", the default

    bool HasPrinter() override { return printerInstalled; }
    bm::Result<std::unique_ptr<bm::PrintSurface>> PrinterSurface() override;
    std::unique_ptr<bm::PrintSurface> PdfSurface(const std::filesystem::path& file) override;
    void SetupPrinter(QWidget*) override
    {
        ++setups;
        if (!setupChoice.empty())
            used = setupChoice;
    }
    std::string ChosenPrinter() const override { return used; }
    void UsePrinter(const std::string& name) override { used = name; }
    bm::PaperChoice paper;  // as Printer Setup would have chosen it
    bm::PaperChoice ChosenPaper() const override { return paper; }
    void UsePaper(const bm::PaperChoice& chosen) override { paper = chosen; }
    std::string JobPrinter() override { return printerInstalled ? (used.empty() ? "office" : used) : ""; }

    const bm::RecordingSurface& last() const { return *jobs.back(); }

private:
    std::unique_ptr<bm::PrintSurface> Record(bm::Destination destination);
};

// A program folder in a temporary place with sample definitions copied into Defs.
class ProgramHome {
public:
    explicit ProgramHome(const std::vector<std::string>& sampleDefinitions = {"LO649", "PB569", "TK539"});
    const std::filesystem::path& path() const { return dir_.path(); }
    std::filesystem::path defs() const { return dir_ / "Defs"; }
    std::filesystem::path settings(const std::string& name) const { return dir_ / "Settings" / (name + ".ini"); }
    std::filesystem::path wheel(const std::string& file) const { return dir_ / "wheel" / file; }
    // Copies a sample definition (or writes `text` when given) as Defs/<listedName>.
    void AddDefinition(const std::string& listedName, const std::string& sampleName) const;
    void WriteWheel(const std::string& file, const std::string& text) const;

private:
    TempDir dir_;
};

// The main window on a program folder, with scripted dialogs, a recording printer and a
// catalogue the test fills; the help opener records what it was asked to open.
struct MainWindowRig {
    explicit MainWindowRig(const ProgramHome& home, int pumpIntervalMs = 0);
    ~MainWindowRig();

    ScriptedDialogs dialogs;
    RecordingTarget printer;
    bm::app::WindowCatalogue windows;
    std::vector<QString> helpOpened;
    bool helpOpens = true;  // what the desktop answers when asked to open the help file
    std::unique_ptr<bm::app::frmMain> window;

    bm::app::frmMain& main() { return *window; }
    template <typename T>
    T* Child(const char* name) const
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    // A mouse click on the button of that name.
    void Click(const char* button);
    // A mouse click (or double click) on a row of the definition list.
    void ClickRow(int row, bool twice = false);
    // Makes the listed definition current, as a click on its row would.
    void Choose(const char* listedName);
    // The job-status labels as the user sees them, "lblcnt / lblupdate / lblF / Label2", "-" for a hidden one.
    std::string JobStatus() const;
};

}  // namespace bmtest
