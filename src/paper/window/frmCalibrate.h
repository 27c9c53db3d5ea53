#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include <QDialog>

#include "common/Result.h"
#include "paper/Calibration.h"
#include "paper/Paper.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace bm::app {

// Calibrates a printer's scale: prints the calibration page on its paper, takes the two
// distances the user measured between the crosshairs, shows the factors they give, and keeps
// them for that printer in the settings file (or forgets them).
class frmCalibrate : public QDialog {
public:
    static constexpr const char* kName = "frmCalibrate";

    struct Printer {
        std::string name;  // empty: there is no printer to calibrate
        Paper paper;
        std::filesystem::path settingsFile;
        // Prints the page on the printer as it is (no calibration); the failure to tell.
        std::function<Status(const CalibrationPage&)> printPage;
    };

    explicit frmCalibrate(Printer printer, QWidget* parent = nullptr);

    // The factors the entries give now, or why they give none.
    Result<Scale> Worked() const;

private:
    void ShowWorked();
    void Save();
    void Reset();
    void ShowStored();

    Printer printer_;
    CalibrationPage page_;
    QLabel* lblStored = nullptr;
    QLineEdit* txtAcross = nullptr;
    QLineEdit* txtDown = nullptr;
    QLabel* lblWorked = nullptr;
    QLabel* lblPrinted = nullptr;  // says the page was sent
    QPushButton* cmdPrintPage = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdReset = nullptr;
};

}  // namespace bm::app
