#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/PrintTarget.h"
#include "printing/Spooler.h"

class QDialog;
class QWidget;

namespace bm::app {

class PaperSetup;

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

// What Printer Setup shows of a printer: the paper it holds (std::nullopt: as the printer is set
// up) and the paper sources it offers.
struct PrinterFacts {
    std::function<std::optional<PaperArea>(const std::string&)> paper;
    std::function<std::vector<PaperSource>(const std::string&)> sources;
    std::string defaultPrinter = {};                                  // marked "(default)" in the list
    std::function<std::string(const std::string&)> description = {};  // shown beside the queue's name
};

// The Printer Setup dialog: the printers offered, `current` chosen, with the paper rows showing
// `paperChosen`. Its combo box is cboPrinter; once accepted, `paper` says the paper chosen.
struct PrinterSetupDialog {
    std::unique_ptr<QDialog> dialog;
    std::shared_ptr<PaperSetup> paper;
};
PrinterSetupDialog MakePrinterSetup(QWidget* parent, const std::vector<std::string>& printers,
                                    const std::string& current, const PaperChoice& paperChosen,
                                    const PrinterFacts& facts);

}  // namespace bm::app
