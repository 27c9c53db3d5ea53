#include <QLabel>
#include <QPushButton>

#include "app/PrintTarget.h"
#include "app/frmMain.h"
#include "paper/Feed.h"
#include "paper/window/frmCalibrate.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

// The printer's paper and scale calibration as the main window shows and uses them.

namespace bm::app {

namespace {

constexpr const char* kPaper = "Paper";
constexpr const char* kPaperSource = "PaperSource";

CalibrationStore Store(const ProgramFolder& folder)
{
    return CalibrationStore(RememberedChoices::File(folder));
}

}  // namespace

Status frmMain::ApplyPrinter(PrintJobRequest& request, bool toPdf)
{
    if (toPdf) {
        request.paper = services_.printer->ChosenPaper().paper.value_or(A4Paper());
        return Ok{};
    }
    request.paper = services_.printer->PrinterPaper();
    const std::string printer = services_.printer->JobPrinter();
    if (printer.empty())
        return Ok{};
    const auto stored = Store(folder()).Get(printer);
    if (!stored)
        return stored.error();
    request.scale = stored->value_or(Scale{});
    return Ok{};
}

void frmMain::ShowCalibration()
{
    const std::string printer = services_.printer->HasPrinter() ? services_.printer->JobPrinter() : std::string();
    cmdResetScale->setEnabled(false);
    if (printer.empty()) {
        lblScale->setText(QStringLiteral("No Printer"));
        return;
    }
    const auto stored = Store(folder()).Get(printer);
    const QString name = QString::fromStdString(printer);
    if (!stored) {
        lblScale->setText(QStringLiteral("Unreadable (%1)").arg(name));
        lblScale->setToolTip(QString::fromStdString(stored.error().message));
        cmdResetScale->setEnabled(true);
        return;
    }
    lblScale->setToolTip(
        QStringLiteral("The Printer's Scale Calibration, Applied To Every Job On It After The Offsets"));
    if (!stored->has_value()) {
        lblScale->setText(QStringLiteral("Not Calibrated (%1)").arg(name));
        return;
    }
    lblScale->setText(QStringLiteral("%1 (%2)").arg(QString::fromStdString(ScaleShown(**stored)), name));
    cmdResetScale->setEnabled(true);
}

void frmMain::cmdCalibrate_Click()
{
    if (jobRunning_)
        return;
    frmCalibrate::Printer printer;
    if (services_.printer->HasPrinter()) {
        printer.name = services_.printer->JobPrinter();
        printer.paper = services_.printer->PrinterPaper();
    }
    printer.settingsFile = RememberedChoices::File(folder());
    printer.printPage = [this, name = printer.name](const CalibrationPage& page) -> Status {
        auto surface = services_.printer->PrinterSurface();
        if (!surface)
            return surface.error();
        // The page measures the printer as it is: it goes out uncalibrated.
        (*surface)->UseMillimetres();
        (*surface)->SetOrientation(Orientation::Portrait);
        DrawCalibrationPage(page, **surface);
        if (const Status ended = (*surface)->EndDocument(); !ended)
            return ended;
        // Said where every job says how it ended, as the command line says it.
        lblcnt->hide();
        lblupdate->hide();
        lblF->hide();
        Label2->setText(QStringLiteral("Printed The Calibration Page"));
        Label2->show();
        lblDest->setText(QStringLiteral("Sent To Printer %1").arg(QString::fromStdString(name)));
        lblDest->show();
        return Ok{};
    };
    frmCalibrate dialog(std::move(printer), this);
    FitToScreen(&dialog);
    dialog.exec();
    ShowCalibration();
    RefreshPreviewSoon();
}

void frmMain::cmdResetScale_Click()
{
    const std::string printer = services_.printer->JobPrinter();
    if (printer.empty())
        return;
    // Measuring a printer again takes a printed page and a ruler: never forgotten unasked.
    if (dialogs().Message(this, QStringLiteral("Warning"),
                          QStringLiteral("Forget the calibration of %1%2? Its marks then print unstretched.")
                              .arg(QString::fromStdString(printer),
                                   [&] {
                                       const auto kept = Store(folder()).Get(printer);
                                       return kept && kept->has_value()
                                                  ? QStringLiteral(" (%1)").arg(
                                                        QString::fromStdString(ScaleShown(**kept)))
                                                  : QString();
                                   }()),
                          Icon::Warning, Buttons::OkCancel) != Answer::Ok)
        return;
    if (const Status kept = Store(folder()).Set(printer, std::nullopt); !kept)
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(kept.error().message),
                          Icon::Error, Buttons::Ok);
    ShowCalibration();
    RefreshPreviewSoon();
}

void frmMain::ShowFeed(const JobOutcome& outcome, bool testMode)
{
    // Said after the test pattern: the sheet to hold against the slip, and how the slip goes in.
    const bool shown = testMode && outcome.end == JobEnd::Completed;
    if (shown)
        lblFeed->setText(QString::fromStdString(FeedFor(current_.Horizontal).line));
    lblFeed->setVisible(shown);
}

void frmMain::RememberPaper(bool store)
{
    RememberedChoices remembered(folder());
    if (store) {
        const PaperChoice chosen = services_.printer->ChosenPaper();
        (void)remembered.Set(kPaper, chosen.paper ? PaperOption(*chosen.paper) : std::string());
        (void)RememberedChoices(folder()).Set(kPaperSource, chosen.source);
        return;
    }
    PaperChoice chosen;
    if (const std::string paper = remembered.Get(kPaper); !paper.empty())
        if (const auto read = ParsePaper(paper, kPaper))
            chosen.paper = *read;
    chosen.source = remembered.Get(kPaperSource);
    services_.printer->UsePaper(chosen);
}

}  // namespace bm::app
