#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/PrintTarget.h"

class QDialog;
class QWidget;

namespace bm {
class Spooler;
struct PaperArea;
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

private:
    std::shared_ptr<Spooler> spooler_;
    std::string chosen_;  // empty: the default printer
};

// The Printer Setup dialog: the printers offered, `current` chosen, and the paper of the one
// chosen (std::nullopt: as the printer is set up). Its combo box is cboPrinter.
std::unique_ptr<QDialog> MakePrinterSetup(QWidget* parent, const std::vector<std::string>& printers,
                                          const std::string& current,
                                          std::function<std::optional<PaperArea>(const std::string&)> paper);

}  // namespace bm::app
