#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "common/Result.h"
#include "paper/PrintSurface.h"
#include "printing/Spooler.h"

class QWidget;

namespace bm::app {

// Where the main window's print jobs go. The program's own target drives the printer chosen
// in Printer Setup (else the default one); tests give a recording one.
class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // Whether any printer is installed to print on.
    virtual bool HasPrinter() = 0;
    // A fresh surface for one job on the chosen printer, or why there is none.
    virtual Result<std::unique_ptr<PrintSurface>> PrinterSurface() = 0;
    // A fresh surface for one job written to a PDF file instead.
    virtual std::unique_ptr<PrintSurface> PdfSurface(const std::filesystem::path& file) = 0;
    // The printer set-up dialog; the printer confirmed there is used by every later job.
    virtual void SetupPrinter(QWidget* parent) = 0;
    // The printer chosen in set-up; empty for the default printer.
    virtual std::string ChosenPrinter() const = 0;
    // Prints on that printer from now on, as if it had been chosen in set-up (a remembered
    // choice); a printer that is no longer installed leaves the default one.
    virtual void UsePrinter(const std::string& name) = 0;

    // The paper size and source chosen in set-up (or remembered); empty for the printer's own.
    virtual PaperChoice ChosenPaper() const { return {}; }
    virtual void UsePaper(const PaperChoice&) {}
    // The paper the next job on the printer is laid out on: the chosen size, else the printer's.
    virtual Paper PrinterPaper() { return ChosenPaper().paper.value_or(A4Paper()); }
    // The printer the next job goes to by name (the default one when none was chosen); empty
    // when there is none. Its calibration is kept under this name.
    virtual std::string JobPrinter() { return ChosenPrinter(); }
};

}  // namespace bm::app
