#pragma once

#include <filesystem>
#include <memory>

#include "common/Result.h"
#include "printing/PrintSurface.h"

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
    // The platform's printer dialog, printing to a file disabled; the printer confirmed there
    // is used by every later job of this run.
    virtual void SetupPrinter(QWidget* parent) = 0;
};

}  // namespace bm::app
