#include "app/frmMain.h"

#include <algorithm>

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "common/Numbers.h"
#include "windowing/window/EntryHelpers.h"

// The main window's controls with their names, captions and tool-tips.

namespace bm::app {

namespace {

// A job label, hidden until a job shows it.
QLabel* JobLabel(QWidget* parent, const char* name, const QString& caption)
{
    QLabel* l = NamedLabel(parent, QString::fromLatin1(name), caption);
    l->hide();
    return l;
}

class OffsetValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        const std::string text = input.toStdString();
        if (ParseFloat(text))
            return Acceptable;
        return CouldBecomeDecimal(text) ? Intermediate : Invalid;
    }
};

QLineEdit* OffsetBox(QWidget* parent, const char* name, const QString& tip)
{
    auto* box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    box->setMaximumWidth(90);
    // Only what is, or may still become, a number is typed: a letter pressed by mistake would
    // otherwise be stored and found only when a job is refused.
    box->setValidator(new OffsetValidator(box));
    UseEntryHelpers(box);
    return box;
}

}  // namespace

void frmMain::BuildUi()
{
    setObjectName(QStringLiteral("frmMain"));

    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setToolTip(QStringLiteral("Click On The Line For The Game You Want To Play. "
                                     "Double click a line to open the Make Slip window."));
    File1->setSelectionMode(QAbstractItemView::SingleSelection);
    lblNoDefs = NamedLabel(this, QStringLiteral("lblNoDefs"), QString());
    lblNoDefs->setWordWrap(true);
    lblNoDefs->setStyleSheet(QStringLiteral("color: #a00000;"));
    lblNoDefs->hide();
    QLabel* help = NamedLabel(this, QStringLiteral("lblHelpHint"), QStringLiteral("Press F1 Key For Help"));
    help->setToolTip(QStringLiteral("Launch Help File Or Click Help Button Below"));

    auto* left = new QVBoxLayout;
    QLabel* defsHead = Heading(this, QStringLiteral("lblDefsHead"), QStringLiteral("Choose Slip Layout Definition"));
    defsHead->setBuddy(File1);
    left->addWidget(defsHead);
    left->addWidget(File1, 1);
    left->addWidget(lblNoDefs);
    left->addWidget(help);

    txtTmarg = OffsetBox(this, "txtTmarg", QStringLiteral("Negative Values Move Up; Positive Values Move Down"));
    txtLmarg = OffsetBox(this, "txtLmarg", QStringLiteral("Negative Values Move Left; Positive Values Move Right"));
    auto* margins = new QGridLayout;
    margins->addWidget(Heading(this, QStringLiteral("lblMarginsHead"), QStringLiteral("Adjust Margins Here")), 0, 0, 1,
                       2);
    QLabel* top = NamedLabel(this, QStringLiteral("lblTop"), QStringLiteral("Top +/-"));
    QLabel* leftLabel = NamedLabel(this, QStringLiteral("lblLeft"), QStringLiteral("Left +/-"));
    top->setBuddy(txtTmarg);
    leftLabel->setBuddy(txtLmarg);
    margins->addWidget(top, 1, 0);
    margins->addWidget(txtTmarg, 1, 1);
    margins->addWidget(leftLabel, 2, 0);
    margins->addWidget(txtLmarg, 2, 1);
    // The printer's calibration under the offsets: it moves the marks too.
    lblScale = NamedLabel(this, QStringLiteral("lblScale"), QString());
    lblScale->setToolTip(
        QStringLiteral("The Printer's Scale Calibration, Applied To Every Job On It After The Offsets"));
    cmdResetScale = NamedButton(this, "cmdResetScale", QStringLiteral("Reset Calibration"),
                                QStringLiteral("Forget This Printer's Scale Calibration"));
    margins->addWidget(NamedLabel(this, QStringLiteral("lblScaleHead"), QStringLiteral("Scale")), 3, 0);
    margins->addWidget(lblScale, 3, 1, 1, 2);
    margins->addWidget(cmdResetScale, 3, 3);
    margins->setColumnStretch(2, 1);

    auto* status = new QGroupBox(QStringLiteral("Job Status"), this);
    status->setObjectName(QStringLiteral("fraJobStatus"));
    lblcnt = JobLabel(status, "lblcnt", QString());
    lblupdate = JobLabel(status, "lblupdate", QStringLiteral("Processing Playslip"));
    lblF = JobLabel(status, "lblF", QStringLiteral("0"));
    Label2 = JobLabel(status, "Label2", QStringLiteral("Processing Complete!"));
    // Where the finished job went: a printer's queue or a PDF file's full path, which may be long,
    // so it wraps (after a "/" too) rather than widening the window, and can be copied.
    lblDest = JobLabel(status, "lblDest", QString());
    lblDest->setWordWrap(true);
    lblDest->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Wide enough from the start for the longest texts of a job of a million plays, so the
    // window neither wraps them nor widens in the middle of a job.
    const QFontMetrics metrics = lblcnt->fontMetrics();
    const int longest =
        std::max({metrics.horizontalAdvance(QStringLiteral("Printing 1000000 Picks On 1000000 Playslips")),
                  metrics.horizontalAdvance(QStringLiteral("Print Job Aborted At Slip 1000000")),
                  metrics.horizontalAdvance(QStringLiteral("Print Job Refused, Nothing Printed"))});
    status->setMinimumWidth(longest + 2 * metrics.averageCharWidth() + 24);
    auto* slipLine = new QHBoxLayout;
    slipLine->addWidget(lblupdate);
    slipLine->addWidget(lblF);
    slipLine->addStretch(1);
    auto* statusLayout = new QVBoxLayout(status);
    statusLayout->addWidget(lblcnt);
    statusLayout->addLayout(slipLine);
    statusLayout->addWidget(Label2);
    statusLayout->addWidget(lblDest);
    lblFeed = JobLabel(status, "lblFeed", QString());
    lblFeed->setWordWrap(true);
    statusLayout->addWidget(lblFeed);
    // The shown labels sit together at the top, whichever are hidden.
    statusLayout->addStretch(1);

    lblEsc = NamedLabel(this, QStringLiteral("lblEsc"), QStringLiteral(" ESC KEY Will Stop Print Job "));
    lblEsc->setToolTip(QStringLiteral("ESC KEY Will Halt Processing And Stop The Printer"));
    lblEsc->setFrameShape(QFrame::Box);
    lblEsc->setAlignment(Qt::AlignCenter);

    auto* right = new QVBoxLayout;
    right->addLayout(margins);
    right->addSpacing(8);
    right->addWidget(status);
    right->addStretch(1);
    right->addWidget(lblEsc);

    Command1 = NamedButton(this, "Command1", QStringLiteral("Print Playslips"),
                           QStringLiteral("Click To Load A Ticket File To Print"));
    cmdTest = NamedButton(
        this, "cmdTest", QStringLiteral("Test Pattern"),
        QStringLiteral("Click To Print 1 Playslip With All Numbers Marked. Use This To Adjust The Slip Alignment"));
    cmdGendef = NamedButton(this, "cmdGendef", QStringLiteral("Make Slip"),
                            QStringLiteral("Click To Create A new Playslip Definition File."));
    cmdChkTick = NamedButton(this, "cmdChkTick", QStringLiteral("Check Tickets"),
                             QStringLiteral("Click To Check Ticket File For Winners"));
    cmdPdlg = NamedButton(this, "cmdPdlg", QStringLiteral("Printer Setup"),
                          QStringLiteral("Click To Access The Printer Dialog"));
    cmdHelp = NamedButton(this, "cmdHelp", QStringLiteral("Help"), QStringLiteral("Click To Launch Help File"));
    cmdxit = NamedButton(this, "cmdxit", QStringLiteral("Exit"), QStringLiteral("Bye Now!"));
    cmdPreview = NamedButton(this, "cmdPreview", QStringLiteral("Preview"),
                             QStringLiteral("Click To See The Playslips Of A Ticket File Before Printing Them"));
    auto* buttons = new QGridLayout;
    int column = 0;
    for (QPushButton* b : {Command1, cmdTest, cmdGendef, cmdChkTick})
        buttons->addWidget(b, 0, column++);
    column = 0;
    for (QPushButton* b : {cmdPdlg, cmdHelp, cmdxit, cmdPreview})
        buttons->addWidget(b, 1, column++);
    cmdWheels =
        NamedButton(this, "cmdWheels", QStringLiteral("Wheels"),
                    QStringLiteral("Click To Put A Published Wheel On Your Numbers Or To See What A Wheel Guarantees"));
    buttons->addWidget(cmdWheels, 2, 0);
    cmdCalibrate = NamedButton(this, "cmdCalibrate", QStringLiteral("Calibrate"),
                               QStringLiteral("Click To Print A Page Of Crosshairs And Correct The Printer's Scale"));
    buttons->addWidget(cmdCalibrate, 2, 1);

    auto* upper = new QHBoxLayout;
    upper->addLayout(left, 3);
    upper->addSpacing(12);
    upper->addLayout(right, 2);
    auto* all = new QVBoxLayout(this);
    all->addLayout(upper, 1);
    all->addSpacing(6);
    all->addLayout(buttons);

    setTabOrder(File1, txtTmarg);
    setTabOrder(txtTmarg, txtLmarg);
    setTabOrder(txtLmarg, Command1);
    resize(600, 420);
}

}  // namespace bm::app
