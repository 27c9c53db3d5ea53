#include "app/QtPrintTarget.h"

#include <algorithm>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include "app/Dialogs.h"
#include "common/Numbers.h"
#include "paper/window/PaperSetup.h"
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
    auto surface = bm::PrinterSurface::Open(chosen_, spooler_, "Brindlemark playslips", paper_);
    if (!surface)
        return surface.error();
    return std::unique_ptr<PrintSurface>(std::move(*surface));
}

std::unique_ptr<PrintSurface> QtPrintTarget::PdfSurface(const std::filesystem::path& file)
{
    const Paper paper = paper_.paper.value_or(A4Paper());
    return std::make_unique<bm::PdfSurface>(file, PaperArea{paper.width, paper.height});
}

Paper QtPrintTarget::PrinterPaper()
{
    if (paper_.paper)
        return *paper_.paper;
    const auto area = spooler_->Paper(JobPrinter());
    return area ? PaperOfSize(area->width, area->height) : A4Paper();
}

std::string QtPrintTarget::JobPrinter()
{
    return chosen_.empty() ? spooler_->DefaultPrinter() : chosen_;
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
    // Only what the print jobs use: which printer, the paper it holds, the size the sheets are laid
    // out on and where the paper comes from. Copies, page ranges and the like have no place here,
    // since a job prints each slip once.
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgPrinterSetup"));
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    auto* printer = new QComboBox(&dialog);
    printer->setObjectName(QStringLiteral("cboPrinter"));
    const std::string current = chosen_.empty() ? spooler_->DefaultPrinter() : chosen_;
    for (const std::string& name : printers) {
        printer->addItem(QString::fromStdString(name));
        if (name == current)
            printer->setCurrentIndex(printer->count() - 1);
    }
    auto* paper = new QLabel(&dialog);
    paper->setObjectName(QStringLiteral("lblPaper"));
    const auto showPaper = [this, paper, printer] {
        const auto area = spooler_->Paper(printer->currentText().toStdString());
        const Paper held = area ? PaperOfSize(area->width, area->height) : Paper{};
        const QString size = QString::fromStdString(ShortestText(held.width) + " x " + ShortestText(held.height) + " mm");
        paper->setText(!area              ? QStringLiteral("as the printer is set up")
                       : held.name.empty() ? size
                                           : QStringLiteral("%1 (%2)").arg(QString::fromStdString(held.name), size));
    };
    PaperSetup setup(dialog, paper_);
    const auto showSources = [this, printer, &setup] {
        setup.OfferSources(spooler_->Sources(printer->currentText().toStdString()));
    };
    showPaper();
    showSources();
    QObject::connect(printer, &QComboBox::currentIndexChanged, &dialog, showPaper);
    QObject::connect(printer, &QComboBox::currentIndexChanged, &dialog, showSources);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    // A custom size that is no size keeps the dialog open, saying what is wrong.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, &setup] {
        if (const auto chosen = setup.Chosen(); !chosen) {
            dialogs().Message(&dialog, QStringLiteral("Go Back"), QString::fromStdString(chosen.error().message),
                              Icon::Error, Buttons::Ok);
            return;
        }
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Printer"), printer);
    form->addRow(QStringLiteral("Paper"), paper);
    setup.AddRows(*form);
    form->addRow(buttons);
    if (dialog.exec() == QDialog::Accepted) {
        chosen_ = printer->currentText().toStdString();
        paper_ = *setup.Chosen();
    }
}

}  // namespace bm::app
