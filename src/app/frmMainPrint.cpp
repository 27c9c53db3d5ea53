#include "app/frmMain.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/PrintTarget.h"
#include "checking/NumberPatterns.h"
#include "printing/PrintJob.h"
#include "printing/window/frmPreview.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

// "Print Playslips" and "Test Pattern": the job runs in the click handler and drives the
// job-status labels; JobPump keeps the window drawn and watches Escape meanwhile.

namespace bm::app {

namespace {

bool g_busyPointer = false;

void SetBusyPointer(bool busy)
{
    if (busy == g_busyPointer)
        return;
    g_busyPointer = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace

class MainJobStatus : public JobStatus {
public:
    explicit MainJobStatus(frmMain& w) : w_(w) {}

    void SetSummary(const std::string& text) override { w_.lblcnt->setText(QString::fromStdString(text)); }
    void ShowCounters(bool shown) override
    {
        w_.lblcnt->setVisible(shown);
        w_.lblupdate->setVisible(shown);
        w_.lblF->setVisible(shown);
    }
    void SetSlip(long long slip) override { w_.lblF->setText(QString::number(slip)); }
    // Any new end of a job replaces where the last one went.
    void SetEndMessage(const std::string& text, bool shown) override
    {
        w_.Label2->setText(QString::fromStdString(text));
        w_.Label2->setVisible(shown);
        w_.lblDest->hide();
    }
    void SetDestination(const std::string& text) override
    {
        w_.lblDest->setText(QString::fromStdString(text));
        w_.lblDest->show();
    }
    // "Printing 3 Of 100000 Playslips": the slips this job prints, not the whole wheel.
    void SetRange(long long first, long long last, long long slips) override
    {
        w_.lblcnt->setText(QStringLiteral("Printing %1 Of %2 Playslips").arg(last - first + 1).arg(slips));
    }
    // The whole program is busy, so the pointer is busy over every window and every box.
    void SetBusy(bool busy) override { SetBusyPointer(busy); }

private:
    frmMain& w_;
};

namespace {

// A preview shows no job status, but the pointer is busy while it counts.
class PreviewStatus final : public UnwatchedJob {
public:
    void SetBusy(bool busy) override { SetBusyPointer(busy); }
};

// Whatever way the job ends, the window is usable again afterwards.
class JobGuard {
public:
    JobGuard(bool& running, JobPump& pump, CurrentDefinition& current)
        : running_(running),
          pump_(pump),
          current_(current)
    {
        running_ = true;
    }
    ~JobGuard()
    {
        pump_.Stop();
        running_ = false;
        current_.testMode = false;
        SetBusyPointer(false);
    }
    JobGuard(const JobGuard&) = delete;
    JobGuard& operator=(const JobGuard&) = delete;

private:
    bool& running_;
    JobPump& pump_;
    CurrentDefinition& current_;
};

}  // namespace

std::unique_ptr<PrintSurface> frmMain::ChooseSurface(bool pdf, QWidget* asker, const std::filesystem::path& wheel)
{
    if (!pdf && services_.printer->HasPrinter()) {
        auto surface = services_.printer->PrinterSurface();
        if (surface)
            return std::move(*surface);
        // Refused before anything was drawn (no such printer, stopped, refusing jobs).
        MainJobStatus status(*this);
        status.ShowCounters(false);
        status.SetEndMessage("Print Job Refused, Nothing Printed", true);
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(surface.error().message),
                          Icon::Error, Buttons::Ok);
        return nullptr;
    }
    if (!pdf) {
        const Answer answer =
            dialogs().Message(this, QStringLiteral("Brindlemark"),
                              QStringLiteral("No printer is installed on this computer, so nothing can be printed.\n\n"
                                             "Save the print job as a PDF file instead?"),
                              Icon::Question, Buttons::YesNo);
        if (answer != Answer::Yes)
            return nullptr;
    }
    // The wheel's name, as a PDF, to begin with; asked over the window that asked (the preview
    // stays in front).
    const QString suggested =
        wheel.empty() ? QString() : QString::fromStdString(wheel.stem().string()) + QStringLiteral(".pdf");
    const QString file =
        SaveFileRemembered(asker ? asker : this, folder(), "Pdf", QStringLiteral("Save Print Job As PDF"),
                           QStringLiteral("PDF Files (*.pdf)"), QString::fromStdString(folder().home().string()),
                           QStringLiteral("pdf"), suggested);
    if (file.isEmpty())
        return nullptr;
    return services_.printer->PdfSurface(file.toStdString());
}

std::filesystem::path frmMain::ChooseWheel()
{
    // The pointer is busy from the start of the job, but not over the dialog.
    SetBusyPointer(false);
    const QString file =
        OpenFileRemembered(this, folder(), "Wheel", QStringLiteral("Open Wheel File"),
                           QStringLiteral("Text Files (*.txt)"), QString::fromStdString(folder().wheel().string()));
    // Input is held back only from here on: the dialog itself needs it.
    if (!file.isEmpty()) {
        SetBusyPointer(true);
        pump_->Start();
    }
    return file.toStdString();
}

PrintJobRequest frmMain::CurrentRequest()
{
    // The flags as the file holds them now, as the job reads its measurements from it; a file
    // that cannot be read now is refused by the job, naming it.
    (void)RereadCurrent();
    return RequestAsShown();
}

PrintJobRequest frmMain::RequestAsShown() const
{
    PrintJobRequest request;
    request.definitionFile = current_.definitionPath;
    request.nameTellsGame = true;
    request.Horizontal = current_.Horizontal;
    request.bPB = current_.bPB;
    request.testMode = current_.testMode;
    request.offsets = {txtTmarg->text().toStdString(), txtLmarg->text().toStdString()};
    return request;
}

void frmMain::RunJob(const JobChoice& choice)
{
    const bool testMode = choice.testMode;
    // A click that reached the window in the middle of a job never starts a second one.
    if (jobRunning_ || RefuseWithoutDefinition())
        return;
    std::unique_ptr<PrintSurface> surface = ChooseSurface(choice.pdf, choice.asker, choice.wheel);
    if (!surface)
        return;

    JobGuard guard(jobRunning_, *pump_, current_);
    current_.testMode = testMode;
    PrintJobRequest request = CurrentRequest();
    request.slips = choice.slips;
    if (const Status printer = ApplyPrinter(request, surface->HandedTo().kind == Destination::Kind::File); !printer) {
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(printer.error().message),
                          Icon::Error, Buttons::Ok);
        return;
    }
    // The question needs the input the pump holds back, and a pointer that is not busy.
    request.confirmSlips = [this, whole = choice.slips.empty()](long long slips) {
        pump_->Stop();
        SetBusyPointer(false);
        const QString count = QString::fromStdString(FormatWhole(slips, Pattern::Grouped, UiSeparators()));
        const bool all =
            dialogs().Message(this, QStringLiteral("Brindlemark"),
                              (whole ? QStringLiteral("This wheel fills %1 playslips. Print them all?")
                                     : QStringLiteral("The slips chosen are %1 playslips. Print them all?"))
                                  .arg(count),
                              Icon::Question, Buttons::YesNoDefaultNo) == Answer::Yes;
        if (all) {
            SetBusyPointer(true);
            pump_->Start();
        }
        return all;
    };

    MainJobStatus status(*this);
    if (testMode)
        pump_->Start();
    const auto chooseWheel = [this, &choice]() -> std::filesystem::path {
        if (!choice.wheel.empty()) {
            pump_->Start();
            return choice.wheel;
        }
        return ChooseWheel();
    };
    const bool toPrinter = !choice.pdf && services_.printer->HasPrinter();
    const JobOutcome outcome = RunPrintJob(request, *surface, status, *pump_, chooseWheel);
    ShowFeed(outcome, testMode);
    // A stopped job never reaches the printer or the file: said, lest the user wait for paper.
    if (outcome.end == JobEnd::Aborted)
        status.SetDestination(toPrinter ? "Nothing Was Sent To The Printer" : "Nothing Was Saved");
    if (outcome.end == JobEnd::Refused || outcome.end == JobEnd::Failed) {
        pump_->Stop();
        // Job Status says how the job ended too, not only the message box; counts of an earlier
        // job would read as this one's.
        if (outcome.slip == 0)
            status.ShowCounters(false);
        status.SetEndMessage(outcome.end == JobEnd::Refused ? "Print Job Refused, Nothing Printed"
                                                            : "Print Job Failed, Nothing Printed",
                             true);
        dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(outcome.message), Icon::Error,
                          Buttons::Ok);
    }
    if (reloadPending_) {
        reloadPending_ = false;
        ReloadDefinitions();
    }
}

void frmMain::PrintWheel(const std::string& listedName, const std::filesystem::path& wheel, bool preview)
{
    if (jobRunning_ || wheel.empty())
        return;
    if (!SelectDefinition(QString::fromStdString(listedName))) {
        ShowCurrentInList();
        return;
    }
    ShowCurrentInList();
    if (preview)
        cmdPreview_Click(wheel);
    else
        RunJob({.testMode = false, .wheel = wheel, .slips = {}, .pdf = false, .asker = nullptr});
}

void frmMain::cmdPreview_Click(const std::filesystem::path& given)
{
    if (jobRunning_ || RefuseWithoutDefinition())
        return;
    std::unique_ptr<PreparedJob> job;
    {
        JobGuard guard(jobRunning_, *pump_, current_);
        PrintJobRequest request = CurrentRequest();
        (void)ApplyPrinter(request, !services_.printer->HasPrinter());
        const auto chooseWheel = [this, &given]() -> std::filesystem::path {
            if (given.empty())
                return ChooseWheel();
            pump_->Start();
            return given;
        };
        // Counting a large wheel takes a moment; Escape stops it. Job Status is left alone:
        // nothing is printed.
        PreviewStatus quiet;
        JobPreparation prepared = PrepareJob(request, quiet, *pump_, chooseWheel);
        if (!prepared.job) {
            pump_->Stop();
            if (prepared.outcome.end == JobEnd::Refused)
                dialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(prepared.outcome.message),
                                  Icon::Error, Buttons::Ok);
            return;
        }
        job = std::move(prepared.job);
    }
    PreviewHost host;
    host.print = [this](const std::filesystem::path& wheel, const std::string& slips) {
        RunJob({.testMode = false, .wheel = wheel, .slips = slips, .pdf = false, .asker = preview_});
    };
    host.savePdf = [this](const std::filesystem::path& wheel, const std::string& slips) {
        RunJob({.testMode = false, .wheel = wheel, .slips = slips, .pdf = true, .asker = preview_});
    };
    if (preview_)
        preview_->close();
    preview_ = new frmPreview(std::move(job), std::move(host), this);
    FitToScreen(preview_);
    preview_->show();
    preview_->activateWindow();
}

void frmMain::RefreshPreviewSoon()
{
    if (!preview_)
        return;
    if (!previewTimer_) {
        previewTimer_ = new QTimer(this);
        previewTimer_->setSingleShot(true);
        previewTimer_->setInterval(250);
        connect(previewTimer_, &QTimer::timeout, this, &frmMain::RefreshPreview);
    }
    previewTimer_->start();
}

void frmMain::RefreshPreview()
{
    auto* preview = static_cast<frmPreview*>(preview_.data());
    if (!preview)
        return;
    // A job running now reads its own files; the preview follows once it is over.
    if (jobRunning_) {
        RefreshPreviewSoon();
        return;
    }
    PreviewStatus quiet;
    const std::filesystem::path wheel = preview->wheel();
    PrintJobRequest request = RequestAsShown();
    (void)ApplyPrinter(request, !services_.printer->HasPrinter());
    JobPreparation prepared = PrepareJob(request, quiet, quiet, [&] { return wheel; });
    if (prepared.job)
        preview->Replace(std::move(prepared.job));
    else
        preview->ShowRefusal(prepared.outcome.message);
}

}  // namespace bm::app
