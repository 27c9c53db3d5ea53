#include "app/QtPrintTarget.h"

#include <algorithm>

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include "common/Numbers.h"
#include "paper/window/PaperSetup.h"
#include "printing/PdfSurface.h"
#include "printing/PrinterSurface.h"
#include "printing/Spooler.h"
#include "windowing/window/Dialogs.h"
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
        dialogs().Message(
            parent, QStringLiteral("Brindlemark"),
            QStringLiteral("No printer is installed on this computer, so there is no printer to set up. "
                           "Print Playslips and Test Pattern offer to save the job as a PDF file instead."),
            Icon::Information, Buttons::Ok);
        return;
    }
    const std::string current = chosen_.empty() ? spooler_->DefaultPrinter() : chosen_;
    PrinterSetupDialog setup = MakePrinterSetup(
        parent, printers, current, paper_,
        {[this](const std::string& name) { return spooler_->Paper(name); },
         [this](const std::string& name) { return spooler_->Sources(name); }, spooler_->DefaultPrinter(),
         [this](const std::string& name) { return spooler_->Description(name); }});
    FitToScreen(setup.dialog.get());
    if (setup.dialog->exec() == QDialog::Accepted) {
        chosen_ =
            setup.dialog->findChild<QComboBox*>(QStringLiteral("cboPrinter"))->currentData().toString().toStdString();
        paper_ = *setup.paper->Chosen();
    }
}

PrinterSetupDialog MakePrinterSetup(QWidget* parent, const std::vector<std::string>& printers,
                                    const std::string& current, const PaperChoice& paperChosen,
                                    const PrinterFacts& facts)
{
    // Only what the print jobs use: which printer, the paper it holds, the size the sheets are laid
    // out on and where the paper comes from. Copies, page ranges and the like have no place here,
    // since a job prints each slip once.
    auto dialog = std::make_unique<QDialog>(parent);
    QDialog* shown = dialog.get();
    shown->setObjectName(QStringLiteral("dlgPrinterSetup"));
    shown->setWindowTitle(QStringLiteral("Printer Setup"));
    auto* printer = new QComboBox(shown);
    printer->setObjectName(QStringLiteral("cboPrinter"));
    for (const std::string& name : printers) {
        // The queue's name, which the item holds, the words its owner gave it (a queue name alone
        // rarely tells two office printers apart), and which one the system prints to by default.
        const QString queue = QString::fromStdString(name);
        const std::string described = facts.description ? facts.description(name) : std::string();
        QString item = described.empty() || described == name
                           ? queue
                           : QStringLiteral("%1 - %2").arg(queue, QString::fromStdString(described));
        if (name == facts.defaultPrinter)
            item += QStringLiteral(" (default)");
        printer->addItem(item, queue);
        if (name == current)
            printer->setCurrentIndex(printer->count() - 1);
    }
    auto* paper = new QLabel(shown);
    paper->setObjectName(QStringLiteral("lblPaper"));
    auto setup = std::make_shared<PaperSetup>(*shown, paperChosen);
    // The printer's own paper, while it is the one used; a size chosen below replaces it.
    const auto showPaper = [paperOf = facts.paper, paper, printer, chosen = std::weak_ptr<PaperSetup>(setup)] {
        const auto area = paperOf(printer->currentData().toString().toStdString());
        const Paper held = area ? PaperOfSize(area->width, area->height) : Paper{};
        const QString size =
            QString::fromStdString(ShortestText(held.width) + " x " + ShortestText(held.height) + " mm");
        const QString own = !area ? QStringLiteral("as the printer is set up")
                            : held.name.empty()
                                ? size
                                : QStringLiteral("%1 (%2)").arg(QString::fromStdString(held.name), size);
        const auto rows = chosen.lock();
        paper->setText(!rows || rows->PrintersOwnPaper()
                           ? own
                           : QStringLiteral("the paper size chosen below (the printer's own: %1)").arg(own));
    };
    setup->OnSizeChosen(showPaper);
    const auto showSources = [sourcesOf = facts.sources, printer, setup] {
        setup->OfferSources(sourcesOf(printer->currentData().toString().toStdString()));
    };
    showPaper();
    showSources();
    QObject::connect(printer, &QComboBox::currentIndexChanged, shown, showPaper);
    QObject::connect(printer, &QComboBox::currentIndexChanged, shown, showSources);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, shown);
    // A custom size that is no size keeps the dialog open, saying what is wrong.
    QObject::connect(buttons, &QDialogButtonBox::accepted, shown, [shown, setup] {
        if (const auto chosen = setup->Chosen(); !chosen) {
            dialogs().Message(shown, QStringLiteral("Go Back"), QString::fromStdString(chosen.error().message),
                              Icon::Error, Buttons::Ok);
            return;
        }
        shown->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, shown, &QDialog::reject);
    auto* form = new QFormLayout(shown);
    auto* printerLabel = new QLabel(QStringLiteral("Printer"), shown);
    printerLabel->setObjectName(QStringLiteral("lblPrinter"));
    printerLabel->setBuddy(printer);
    form->addRow(printerLabel, printer);
    form->addRow(QStringLiteral("Paper"), paper);
    setup->AddRows(*form);
    form->addRow(buttons);
    // A dialog closes on Escape already, as Cancel does.
    UseWindowKeys(shown, EscapeCloses::No);
    return PrinterSetupDialog{std::move(dialog), setup};
}

}  // namespace bm::app
