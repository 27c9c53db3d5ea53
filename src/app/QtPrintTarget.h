#pragma once

#include <memory>
#include <string>

#include "app/PrintTarget.h"

namespace bm {
class Spooler;
}

namespace bm::app {

// The system's printers: the one confirmed in Printer Setup, else the default printer.
class QtPrintTarget : public PrintTarget {
public:
    QtPrintTarget();
    ~QtPrintTarget() override;

    bool HasPrinter() override;
    Result<std::unique_ptr<PrintSurface>> PrinterSurface() override;
    std::unique_ptr<PrintSurface> PdfSurface(const std::filesystem::path& file) override;
    void SetupPrinter(QWidget* parent) override;
    std::string ChosenPrinter() const override { return chosen_; }
    void UsePrinter(const std::string& name) override;
    PaperChoice ChosenPaper() const override { return paper_; }
    void UsePaper(const PaperChoice& paper) override { paper_ = paper; }
    Paper PrinterPaper() override;
    std::string JobPrinter() override;

private:
    std::shared_ptr<Spooler> spooler_;
    std::string chosen_;  // empty: the default printer
    PaperChoice paper_;
};

}  // namespace bm::app
