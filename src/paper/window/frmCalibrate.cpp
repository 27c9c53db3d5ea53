#include "paper/window/frmCalibrate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Numbers.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

frmCalibrate::frmCalibrate(Printer printer, QWidget* parent)
    : QDialog(parent),
      printer_(std::move(printer)),
      page_(CalibrationPageFor(printer_.paper))
{
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(QStringLiteral("Calibrate"));
    page_.caption =
        (printer_.name.empty() ? "" : "Printer " + printer_.name + ", ") + "paper " + PaperName(printer_.paper);
    const QString across = QString::fromStdString(ShortestText(page_.across));
    const QString down = QString::fromStdString(ShortestText(page_.down));

    auto* intro = new QLabel(
        QStringLiteral("Print the calibration page on plain paper or a slip, measure with a ruler between the "
                       "centres of the crosshairs, type the two distances and Save."),
        this);
    intro->setObjectName(QStringLiteral("lblIntro"));
    intro->setWordWrap(true);
    intro->setToolTip(QStringLiteral("A Printer Whose Feed Stretches Or Shrinks The Page Leaves The Far Panels Off "
                                     "Their Boxes However The Offsets Are Set"));
    auto* distances = new QLabel(QStringLiteral("The page's crosshairs are %1 mm apart across (crosshair 1 to 2) and "
                                                "%2 mm apart down (crosshair 1 to 3).")
                                     .arg(across, down),
                                 this);
    distances->setObjectName(QStringLiteral("lblDistances"));
    distances->setWordWrap(true);
    auto* who =
        new QLabel(QStringLiteral("Printer: %1, %2 paper")
                       .arg(QString::fromStdString(printer_.name), QString::fromStdString(PaperName(printer_.paper))),
                   this);
    who->setObjectName(QStringLiteral("lblPrinter"));
    lblStored = new QLabel(this);
    lblStored->setObjectName(QStringLiteral("lblStored"));

    cmdPrintPage = NamedButton(this, "cmdPrintPage", QStringLiteral("&Print Calibration Page"),
                               QStringLiteral("Print The Page With The Crosshairs And Rulers On This Printer"));
    txtAcross = NamedEntry(this, QStringLiteral("txtAcross"),
                           QStringLiteral("Millimetres Between Crosshairs 1 And 2, As Printed"), -90);
    txtDown = NamedEntry(this, QStringLiteral("txtDown"),
                         QStringLiteral("Millimetres Between Crosshairs 1 And 3, As Printed"), -90);
    lblWorked = new QLabel(this);
    lblWorked->setObjectName(QStringLiteral("lblWorked"));
    lblWorked->setWordWrap(true);
    cmdSave =
        NamedButton(this, "cmdSave", QStringLiteral("&Save"), QStringLiteral("Keep These Factors For This Printer"));
    cmdReset = NamedButton(this, "cmdReset", QStringLiteral("&Reset"),
                           QStringLiteral("Forget This Printer's Calibration: Marks Print Unstretched"));
    auto* close = NamedButton(this, "cmdClose", QStringLiteral("Close"), QStringLiteral("Close This Window (Esc)"));

    auto* form = new QFormLayout;
    auto* acrossLabel = new QLabel(QStringLiteral("Measured &Across (printed %1 mm)").arg(across), this);
    acrossLabel->setBuddy(txtAcross);
    auto* downLabel = new QLabel(QStringLiteral("Measured &Down (printed %1 mm)").arg(down), this);
    downLabel->setBuddy(txtDown);
    form->addRow(acrossLabel, txtAcross);
    form->addRow(downLabel, txtDown);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdReset);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* all = new QVBoxLayout(this);
    all->addWidget(intro);
    all->addWidget(distances);
    auto* printerLine = new QHBoxLayout;
    printerLine->addWidget(who);
    printerLine->addSpacing(12);
    printerLine->addWidget(lblStored);
    printerLine->addStretch(1);
    all->addLayout(printerLine);
    lblPrinted = new QLabel(this);
    lblPrinted->setObjectName(QStringLiteral("lblPrinted"));
    auto* printLine = new QHBoxLayout;
    printLine->addWidget(cmdPrintPage);
    printLine->addSpacing(12);
    printLine->addWidget(lblPrinted, 1);
    all->addLayout(printLine);
    all->addLayout(form);
    all->addWidget(lblWorked);
    all->addLayout(buttons);

    connect(txtAcross, &QLineEdit::textChanged, this, &frmCalibrate::ShowWorked);
    connect(txtDown, &QLineEdit::textChanged, this, &frmCalibrate::ShowWorked);
    connect(cmdSave, &QPushButton::clicked, this, &frmCalibrate::Save);
    connect(cmdReset, &QPushButton::clicked, this, &frmCalibrate::Reset);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdPrintPage, &QPushButton::clicked, this, [this] {
        if (!printer_.printPage)
            return;
        if (const Status printed = printer_.printPage(page_); !printed) {
            lblPrinted->clear();
            dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(printed.error().message),
                              Icon::Error, Buttons::Ok);
        } else {
            lblPrinted->setText(
                QStringLiteral("The calibration page was sent to %1.").arg(QString::fromStdString(printer_.name)));
        }
    });
    const bool any = !printer_.name.empty();
    for (QWidget* w : {static_cast<QWidget*>(cmdPrintPage), static_cast<QWidget*>(txtAcross),
                       static_cast<QWidget*>(txtDown), static_cast<QWidget*>(cmdReset)})
        w->setEnabled(any);
    if (!any)
        who->setText(QStringLiteral("No printer is installed, so there is no printer to calibrate."));
    setMinimumWidth(fontMetrics().averageCharWidth() * 84);
    ShowStored();
    ShowWorked();
    // A dialog closes on Escape already, as Cancel does.
    UseWindowKeys(this, EscapeCloses::No);
}

Result<Scale> frmCalibrate::Worked() const
{
    return ScaleFromMeasured(page_, txtAcross->text().toStdString(), txtDown->text().toStdString());
}

void frmCalibrate::ShowWorked()
{
    const bool typed = !txtAcross->text().trimmed().isEmpty() && !txtDown->text().trimmed().isEmpty();
    const auto worked = Worked();
    cmdSave->setEnabled(!printer_.name.empty() && worked.ok());
    if (!typed)
        lblWorked->setText(QStringLiteral("Type both distances to work out the factors."));
    else if (worked)
        lblWorked->setText(QStringLiteral("Factors: %1").arg(QString::fromStdString(ScaleShown(*worked))));
    else
        lblWorked->setText(QString::fromStdString(worked.error().message));
}

void frmCalibrate::ShowStored()
{
    if (printer_.name.empty()) {
        lblStored->clear();
        return;
    }
    const auto stored = CalibrationStore(printer_.settingsFile).Get(printer_.name);
    cmdReset->setEnabled(!stored || stored->has_value());
    lblStored->setText(!stored ? QString::fromStdString(stored.error().message)
                       : stored->has_value()
                           ? QStringLiteral("Now: %1").arg(QString::fromStdString(ScaleShown(**stored)))
                           : QStringLiteral("Now: not calibrated"));
}

void frmCalibrate::Save()
{
    const auto worked = Worked();
    if (!worked) {
        dialogs().Message(this, QStringLiteral("Go Back"), QString::fromStdString(worked.error().message), Icon::Error,
                          Buttons::Ok);
        return;
    }
    if (const Status kept = CalibrationStore(printer_.settingsFile).Set(printer_.name, *worked); !kept) {
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(kept.error().message),
                          Icon::Error, Buttons::Ok);
        return;
    }
    accept();
}

void frmCalibrate::Reset()
{
    // Measuring a printer again takes a printed page and a ruler: never forgotten unasked.
    if (dialogs().Message(this, QStringLiteral("Warning"),
                          QStringLiteral("Forget the calibration of %1 (%2)? Its marks then print unstretched.")
                              .arg(QString::fromStdString(printer_.name), lblStored->text()),
                          Icon::Warning, Buttons::OkCancel) != Answer::Ok)
        return;
    if (const Status kept = CalibrationStore(printer_.settingsFile).Set(printer_.name, std::nullopt); !kept) {
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(kept.error().message),
                          Icon::Error, Buttons::Ok);
        return;
    }
    txtAcross->clear();
    txtDown->clear();
    ShowStored();
}

}  // namespace bm::app
