#include "printing/window/frmPreview.h"

#include <algorithm>
#include <limits>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "paper/window/FeedView.h"
#include "printing/RecordingSurface.h"
#include "slip/MarkPlacement.h"
#include "slip/window/SlipView.h"
#include "windowing/window/WidgetBuilders.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

QString PlayText(const Play& play, bool powerball)
{
    QString text = QStringLiteral("Line %1:").arg(play.line);
    for (int i = 0; i < play.count; ++i)
        text += (powerball && i == play.count - 1 ? QStringLiteral("  PB ") : QStringLiteral(" ")) +
                QString::number(play.numbers[static_cast<std::size_t>(i)]);
    return text;
}

}  // namespace

frmPreview::frmPreview(std::unique_ptr<PreparedJob> job, PreviewHost host, QWidget* parent)
    : QWidget(parent, Qt::Window),
      job_(std::move(job)),
      host_(std::move(host))
{
    setObjectName(QString::fromLatin1(kName));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildUi();
    ShowTitle();
    UseWindowKeys(this);
    ShowSlip(1);
    resize(1000, 640);
}

frmPreview::~frmPreview() = default;

void frmPreview::BuildUi()
{
    const int last = static_cast<int>(std::max<long long>(1, job_->slips));
    lblDefinition = Named(new QLabel(this), "lblDefinition", "The Slip Definition These Slips Are Drawn For");
    lblSlip = Named(new QLabel(this), "lblSlip");
    QFont bold = lblSlip->font();
    bold.setBold(true);
    lblSlip->setFont(bold);
    cmdFirst = NamedButton(this, "cmdFirst", QStringLiteral("First"), QStringLiteral("First Slip (Home)"));
    cmdPrev = NamedButton(this, "cmdPrev", QStringLiteral("Previous"), QStringLiteral("Previous Slip (Page Up)"));
    cmdNext = NamedButton(this, "cmdNext", QStringLiteral("Next"), QStringLiteral("Next Slip (Page Down)"));
    cmdLast = NamedButton(this, "cmdLast", QStringLiteral("Last"), QStringLiteral("Last Slip (End)"));
    spnSlip = Named(new QSpinBox(this), "spnSlip", "Type A Slip Number And Press Enter");
    // Any slip number may be typed; one beyond the job goes to the last slip and says so.
    spnSlip->setRange(1, std::numeric_limits<int>::max());
    spnSlip->setKeyboardTracking(false);
    lblGoTo = Named(new QLabel(this), "lblGoToNote");
    lblGoTo->setWordWrap(true);
    lblGoTo->hide();
    auto* goTo = Named(new QLabel(QStringLiteral("Go To Slip"), this), "lblGoTo");
    goTo->setBuddy(spnSlip);
    cmdFit = NamedButton(this, "cmdFit", QStringLiteral("Zoom To Fit"), QStringLiteral("Show The Whole Sheet"));
    cmdFull = NamedButton(this, "cmdFull", QStringLiteral("100 %"), QStringLiteral("Show The Sheet At Its Real Size"));

    picSlip = new SlipView(this);
    scrSlip = Named(new QScrollArea(this), "scrSlip");
    scrSlip->setWidget(picSlip);
    scrSlip->setWidgetResizable(true);
    scrSlip->setAlignment(Qt::AlignCenter);

    lstPlays = Named(new QListWidget(this), "lstPlays", "The Plays Of This Slip With Their Lines In The Wheel File");
    lstPlays->setMinimumWidth(
        lstPlays->fontMetrics().horizontalAdvance(QStringLiteral("Line 00000000: 00 00 00 00 00 00  PB 00")) + 30);

    auto* range = Named(new QGroupBox(QStringLiteral("Print"), this), "fraRange");
    optAll = Named(new QRadioButton(QStringLiteral("All Slips"), range), "optAll");
    optFrom = Named(new QRadioButton(QStringLiteral("From This Slip On"), range), "optFrom",
                    "After A Paper Jam: Print Again From The Slip Shown");
    optRange = Named(new QRadioButton(QStringLiteral("Slips"), range), "optRange");
    spnFrom = Named(new QSpinBox(range), "spnFrom");
    spnTo = Named(new QSpinBox(range), "spnTo");
    for (QSpinBox* box : {spnFrom, spnTo})
        box->setRange(1, last);
    spnTo->setValue(last);
    auto* to = Named(new QLabel(QStringLiteral("to"), range), "lblTo");
    to->setBuddy(spnTo);
    optAll->setChecked(true);
    auto* rangeLayout = new QGridLayout(range);
    rangeLayout->addWidget(optAll, 0, 0, 1, 4);
    rangeLayout->addWidget(optFrom, 1, 0, 1, 4);
    rangeLayout->addWidget(optRange, 2, 0);
    rangeLayout->addWidget(spnFrom, 2, 1);
    rangeLayout->addWidget(to, 2, 2);
    rangeLayout->addWidget(spnTo, 2, 3);

    cmdPrint = NamedButton(this, "cmdPrint", QStringLiteral("Print"), QStringLiteral("Print The Chosen Slips"));
    cmdSavePdf = NamedButton(this, "cmdSavePdf", QStringLiteral("Save PDF"),
                             QStringLiteral("Save The Chosen Slips As A PDF File, Exactly As They Would Print"));
    cmdClose = NamedButton(this, "cmdClose", QStringLiteral("Close"), QStringLiteral("Close The Preview (Esc)"));

    auto* nav = new QHBoxLayout;
    nav->addWidget(lblDefinition);
    nav->addSpacing(12);
    nav->addWidget(lblSlip);
    nav->addSpacing(12);
    for (QWidget* w : {static_cast<QWidget*>(cmdFirst), static_cast<QWidget*>(cmdPrev), static_cast<QWidget*>(cmdNext),
                       static_cast<QWidget*>(cmdLast)})
        nav->addWidget(w);
    nav->addSpacing(12);
    nav->addWidget(goTo);
    nav->addWidget(spnSlip);
    nav->addWidget(lblGoTo, 1);
    nav->addStretch(1);
    nav->addWidget(cmdFit);
    nav->addWidget(cmdFull);

    auto* side = new QVBoxLayout;
    auto* plays = Named(new QLabel(QStringLiteral("Plays On This Slip"), this), "lblPlays");
    plays->setBuddy(lstPlays);
    side->addWidget(plays);
    side->addWidget(lstPlays, 1);
    side->addWidget(range);
    // Which way the slip goes in, for the page this job sends.
    side->addWidget(new FeedView(this));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdSavePdf);
    buttons->addWidget(cmdClose);
    side->addLayout(buttons);

    auto* body = new QHBoxLayout;
    body->addWidget(scrSlip, 1);
    body->addLayout(side);
    auto* root = new QVBoxLayout(this);
    root->addLayout(nav);
    root->addLayout(body, 1);

    connect(cmdFirst, &QPushButton::clicked, this, [this] { ShowSlip(1); });
    connect(cmdPrev, &QPushButton::clicked, this, [this] { ShowSlip(slip_ - 1); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { ShowSlip(slip_ + 1); });
    connect(cmdLast, &QPushButton::clicked, this, [this] { ShowSlip(job_->slips); });
    connect(spnSlip, &QSpinBox::valueChanged, this, [this](int n) { GoTo(n); });
    connect(cmdFit, &QPushButton::clicked, this, [this] { Zoom(true); });
    connect(cmdFull, &QPushButton::clicked, this, [this] { Zoom(false); });
    connect(spnFrom, &QSpinBox::valueChanged, this, [this] { optRange->setChecked(true); });
    connect(spnTo, &QSpinBox::valueChanged, this, [this] { optRange->setChecked(true); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] {
        if (host_.print)
            host_.print(job_->wheel, ChosenSlips());
    });
    connect(cmdSavePdf, &QPushButton::clicked, this, [this] {
        if (host_.savePdf)
            host_.savePdf(job_->wheel, ChosenSlips());
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    // Ahead of the list and the scroll area, which would take these keys for themselves; the slip
    // box keeps Home and End for its text.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool frmPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool inSpinBox =
        qobject_cast<QAbstractSpinBox*>(watched) || qobject_cast<QAbstractSpinBox*>(watched->parent());
    switch (key) {
    case Qt::Key_PageUp: ShowSlip(slip_ - 1); return true;
    case Qt::Key_PageDown: ShowSlip(slip_ + 1); return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (inSpinBox)
            return false;
        ShowSlip(key == Qt::Key_Home ? 1 : job_->slips);
        return true;
    case Qt::Key_Escape: close(); return true;
    default: return false;
    }
}

void frmPreview::keyPressEvent(QKeyEvent* event)
{
    if (!eventFilter(this, event))
        QWidget::keyPressEvent(event);
}

std::string frmPreview::ChosenSlips() const
{
    // An empty wheel has no slip to start from; a range typed backwards means the same slips.
    if (job_->slips == 0)
        return {};
    if (optFrom->isChecked())
        return std::to_string(slip_) + "-";
    if (optRange->isChecked())
        return std::to_string(std::min(spnFrom->value(), spnTo->value())) + "-" +
               std::to_string(std::max(spnFrom->value(), spnTo->value()));
    return {};
}

void frmPreview::ShowTitle()
{
    // Which definition the slips are drawn for, beside the wheel file.
    const QString definition = QString::fromStdString(job_->definitionFile.stem().string());
    setWindowTitle(QStringLiteral("Print Preview - %1 - %2")
                       .arg(QString::fromStdString(job_->wheel.filename().string()), definition));
    lblDefinition->setText(definition);
}

void frmPreview::GoTo(long long slip)
{
    const long long last = std::max<long long>(1, job_->slips);
    ShowSlip(slip);
    if (slip > last) {
        lblGoTo->setText(
            QStringLiteral("There is no slip %1: the job has %2. Went to the last slip.").arg(slip).arg(job_->slips));
        lblGoTo->show();
    }
}

void frmPreview::ShowSlip(long long slip)
{
    const long long last = std::max<long long>(1, job_->slips);
    slip = std::clamp<long long>(slip, 1, last);
    slip_ = slip;
    lblGoTo->hide();
    lblSlip->setText(QStringLiteral("Slip %1 of %2").arg(job_->slips ? slip : 0).arg(job_->slips));
    {
        const QSignalBlocker quiet(spnSlip);
        spnSlip->setValue(static_cast<int>(slip));
    }
    // A step button that can step no further hands the focus to the one stepping back the other
    // way, not to whatever comes next in the window.
    QWidget* focused = focusWidget();
    cmdFirst->setEnabled(slip > 1);
    cmdPrev->setEnabled(slip > 1);
    cmdNext->setEnabled(slip < job_->slips);
    cmdLast->setEnabled(slip < job_->slips);
    if (focused && !focused->isEnabled()) {
        const bool forward = focused == cmdNext || focused == cmdLast;
        QPushButton* back = forward ? cmdPrev : cmdNext;
        if (focused == cmdFirst || focused == cmdPrev || forward)
            (back->isEnabled() ? static_cast<QWidget*>(back) : static_cast<QWidget*>(spnSlip))
                ->setFocus(Qt::OtherFocusReason);
    }

    SlipDrawing drawing = DrawingOf(job_->def, job_->top, job_->left);
    AddExtrasToDrawing(drawing, job_->marks, job_->top, job_->left);
    AddPanelMarksToDrawing(drawing, job_->def, job_->marks, job_->top, job_->left);
    const Sheet sheet = SheetOf(job_->paper, job_->def.Horizontal);
    drawing.sheetWidth = sheet.width;
    drawing.sheetHeight = sheet.height;
    // Found by name: the view declares no meta-object of its own.
    if (auto* feed = static_cast<FeedView*>(findChild<QWidget*>(QStringLiteral("picFeed"))))
        feed->SetFeed(job_->paper, job_->def.Horizontal, drawing.slip);
    QString note;
    lstPlays->clear();
    if (!refusal_.empty()) {
        drawing.boxes.clear();
        drawing.labels.clear();
        drawing.extras.clear();
        note = QString::fromStdString(refusal_);
    } else if (job_->slips > 0) {
        // The marks come from the job itself, drawn onto a recording instead of paper.
        RecordingSurface marks;
        UnwatchedJob unseen;
        const JobOutcome drawn = PrintPreparedSlips(*job_, {slip, slip}, false, marks, unseen, unseen);
        if (drawn.end == JobEnd::Completed)
            for (const auto& m : marks.marks())
                drawing.marks.push_back({m.x1, m.y1, m.x2, m.y2});
        else
            note = QString::fromStdString(drawn.message);
        if (const auto plays = job_->PlaysOf(slip)) {
            for (const Play& play : *plays)
                lstPlays->addItem(PlayText(play, job_->def.bPB && play.count > job_->def.Pick));
        } else {
            note = QString::fromStdString(plays.error().message);
        }
    } else {
        note = QStringLiteral("The wheel file holds no plays: nothing would print.");
    }
    picSlip->SetDrawing(std::move(drawing));
    picSlip->SetNote(note);
}

void frmPreview::Replace(std::unique_ptr<PreparedJob> job)
{
    const int oldLast = static_cast<int>(std::max<long long>(1, job_->slips));
    job_ = std::move(job);
    refusal_.clear();
    ShowTitle();
    // The range follows the new job: an end left at the old last slip moves to the new last one.
    const int last = static_cast<int>(std::max<long long>(1, job_->slips));
    const bool toLast = spnTo->value() == oldLast;
    for (QSpinBox* box : {spnFrom, spnTo}) {
        const QSignalBlocker quiet(box);
        box->setRange(1, last);
    }
    if (toLast) {
        const QSignalBlocker quiet(spnTo);
        spnTo->setValue(last);
    }
    for (QPushButton* b : {cmdPrint, cmdSavePdf})
        b->setEnabled(true);
    ShowSlip(slip_);
}

void frmPreview::ShowRefusal(const std::string& message)
{
    refusal_ = message;
    for (QPushButton* b : {cmdPrint, cmdSavePdf})
        b->setEnabled(false);
    ShowSlip(slip_);
}

void frmPreview::Zoom(bool fit)
{
    scrSlip->setWidgetResizable(fit);
    picSlip->SetScale(fit ? 0 : picSlip->RealSize());
}

}  // namespace bm::app
