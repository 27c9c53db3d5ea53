#include "app/QtPrintTarget.h"

#include <QPrintDialog>
#include <QPrinter>

#include "app/Dialogs.h"
#include "printing/qt/PdfSurface.h"
#include "printing/qt/PrinterSurface.h"

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

void QtPrintTarget::SetupPrinter(QWidget* parent)
{
    if (!HasPrinter()) {
        dialogs().Message(parent, QStringLiteral("Brindlemark"),
                          QStringLiteral("No printer is installed on this computer, so there is no printer to set up. "
                                         "Print Playslips and Test Pattern offer to save the job as a PDF file instead."),
                          Icon::Information, Buttons::Ok);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!chosen_.empty())
        printer.setPrinterName(QString::fromStdString(chosen_));
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() == QDialog::Accepted && !printer.printerName().isEmpty())
        chosen_ = printer.printerName().toStdString();
}

}  // namespace bm::app
