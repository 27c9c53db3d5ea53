#include "app/QtPrintTarget.h"

#include <algorithm>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include "app/Dialogs.h"
#include "printing/qt/PdfSurface.h"
#include "printing/qt/PrinterSurface.h"
#include "printing/qt/Spooler.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

QtPrintTarget::QtPrintTarget() : spooler_(SystemSpooler()) {}

QtPrintTarget::~QtPrintTarget() = default;

bool QtPrintTarget::HasPrinter()
{
    return !spooler_->Printers().empty();
}

Result<std::unique_ptr<PrintSurface>> QtPrintTarget::PrinterSurface()
{
    auto surface = bm::PrinterSurface::Open(chosen_, spooler_);
    if (!surface)
        return surface.error();
    return std::unique_ptr<PrintSurface>(std::move(*surface));
}

std::unique_ptr<PrintSurface> QtPrintTarget::PdfSurface(const std::filesystem::path& file)
{
    return std::make_unique<bm::PdfSurface>(file);
}

void QtPrintTarget::UsePrinter(const std::string& name)
{
    const auto printers = spooler_->Printers();
    if (std::find(printers.begin(), printers.end(), name) != printers.end())
        chosen_ = name;
}

void QtPrintTarget::SetupPrinter(QWidget* parent)
{
    const std::vector<std::string> printers = spooler_->Printers();
    if (printers.empty()) {
        dialogs().Message(parent, QStringLiteral("Brindlemark"),
                          QStringLiteral("No printer is installed on this computer, so there is no printer to set up. "
                                         "Print Playslips and Test Pattern offer to save the job as a PDF file instead."),
                          Icon::Information, Buttons::Ok);
        return;
    }
    auto dialog = MakePrinterSetup(parent, printers, chosen_.empty() ? spooler_->DefaultPrinter() : chosen_,
                                   [this](const std::string& name) { return spooler_->Paper(name); });
    FitToScreen(dialog.get());
    if (dialog->exec() == QDialog::Accepted)
        chosen_ = dialog->findChild<QComboBox*>(QStringLiteral("cboPrinter"))->currentText().toStdString();
}

std::unique_ptr<QDialog> MakePrinterSetup(QWidget* parent, const std::vector<std::string>& printers,
                                          const std::string& current,
                                          std::function<std::optional<PaperArea>(const std::string&)> paperOf)
{
    // Only what the print jobs use: which printer, with the paper it holds. Copies, page ranges
    // and the like have no place here, since a job prints each slip once.
    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setObjectName(QStringLiteral("dlgPrinterSetup"));
    dialog->setWindowTitle(QStringLiteral("Printer Setup"));
    auto* printer = new QComboBox(dialog.get());
    printer->setObjectName(QStringLiteral("cboPrinter"));
    for (const std::string& name : printers) {
        printer->addItem(QString::fromStdString(name));
        if (name == current)
            printer->setCurrentIndex(printer->count() - 1);
    }
    auto* paper = new QLabel(dialog.get());
    paper->setObjectName(QStringLiteral("lblPaper"));
    const auto showPaper = [paperOf = std::move(paperOf), paper, printer] {
        const auto area = paperOf(printer->currentText().toStdString());
        paper->setText(area ? QStringLiteral("%1 x %2 mm").arg(area->width, 0, 'f', 0).arg(area->height, 0, 'f', 0)
                            : QStringLiteral("as the printer is set up"));
    };
    showPaper();
    QObject::connect(printer, &QComboBox::currentIndexChanged, dialog.get(), showPaper);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog.get());
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog.get(), &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
    auto* form = new QFormLayout(dialog.get());
    auto* printerLabel = new QLabel(QStringLiteral("Printer"), dialog.get());
    printerLabel->setObjectName(QStringLiteral("lblPrinter"));
    printerLabel->setBuddy(printer);
    form->addRow(printerLabel, printer);
    form->addRow(QStringLiteral("Paper"), paper);
    form->addRow(buttons);
    // A dialog closes on Escape already, as Cancel does.
    UseWindowKeys(dialog.get(), EscapeCloses::No);
    return dialog;
}

}  // namespace bm::app
