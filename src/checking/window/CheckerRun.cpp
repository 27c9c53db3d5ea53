#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "checking/CheckReport.h"
#include "checking/GameRules.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/ReportBox.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/Module1.h"

namespace bm::app {

// The window's side of a run: counts, "Lines Checked" and new report lines shown every few
// tens of milliseconds, events let through (paints, Escape) by the job pump, and the
// "User Interrupt Request" question when Escape was pressed.
class CheckerWindow::RunProgress final : public CheckProgress {
public:
    explicit RunProgress(CheckerWindow& w) : w_(w), pump_(w.options_.pumpIntervalMs)
    {
        pump_.Start();
        sincePaint_.start();
    }
    ~RunProgress() override { pump_.Stop(); }

    bool Poll(const CheckRun& run) override
    {
        if (sincePaint_.elapsed() >= w_.options_.paintIntervalMs) {
            w_.ShowCounts(run, false);
            w_.lbldraw->setText(QString::number(run.playsRead));
            w_.AppendReport(run);
            sincePaint_.start();
        }
        const bool escape = pump_.Pressed();
        if (w_.closeAsked_)
            return false;
        if (!escape)
            return true;
        pump_.Stop();
        const Answer answer = w_.OwnDialogs().Message(&w_, QString::fromLatin1(kInterruptTitle),
                                                      QString::fromStdString(InterruptQuestion(run.playsRead)),
                                                      Icon::Question, Buttons::YesNo);
        if (answer == Answer::Yes)
            return false;
        w_.repaint();
        pump_.Start();
        return true;
    }

private:
    CheckerWindow& w_;
    JobPump pump_;
    QElapsedTimer sincePaint_;
};

bool CheckerWindow::ReadDrawBoxes(DrawResult& draw)
{
    std::vector<std::string> texts;
    for (QLineEdit* box : boxes_)
        texts.push_back(box->text().toStdString());
    const DrawReading reading = ReadDraw(*rules_, texts);
    std::optional<DrawRefusal> refusal;
    if (!reading.ok())
        refusal = DrawRefusal{reading.badBox, reading.message};
    else
        refusal = DrawRuleFault(*rules_, game_.pool, reading.draw, game_.powerballPool);
    if (!refusal) {
        draw = reading.draw;
        return true;
    }
    Refuse(QString::fromStdString(refusal->message));
    boxes_[static_cast<std::size_t>(refusal->box - 1)]->setFocus(Qt::OtherFocusReason);
    return false;
}

void CheckerWindow::ShowCounts(const CheckRun& run, bool final)
{
    const NumberSeparators separators = UiSeparators();
    for (std::size_t i = 0; i < rules_->tiers.size(); ++i) {
        const Tier& tier = rules_->tiers[i];
        if (final) {
            Count(tier)->setText(QString::fromStdString(CountText(tier, run.tally.count[i], separators)));
            Count(tier)->show();
        } else if (const auto text = LiveCountText(tier, run.tally.count[i], separators)) {
            Count(tier)->setText(QString::fromStdString(*text));
        }
    }
}

void CheckerWindow::AppendReport(const CheckRun& run)
{
    if (reportShown_ >= run.reported.size())
        return;
    const std::span<const ReportedPlay> fresh(run.reported.data() + reportShown_, run.reported.size() - reportShown_);
    rtbreport->Append(ReportLines(*rules_, fresh));
    reportShown_ = run.reported.size();
}

void CheckerWindow::cmdreset_Click()
{
    if (running_)
        return;
    if (!Form_Load())
        return;
    // Painted with the report header, in the one repaint before the run: a repaint costs as much
    // as checking some fifty thousand plays.
    ResetDisplay();
    DrawResult draw;
    if (!ReadDrawBoxes(draw))
        return;
    if (ticketFile_.isEmpty()) {
        cmdGo_Click();
        if (ticketFile_.isEmpty()) {
            OwnDialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromLatin1(kMustLoadText), Icon::Error,
                                 Buttons::Ok);
            return;
        }
    }
    running_ = true;
    BusyCursor busy;
    SetStatus(QString::fromLatin1(kProcessingText));
    const std::string fileName = QFileInfo(ticketFile_).fileName().toStdString();
    rtbreport->Clear();
    rtbreport->Append(ReportHeader(game_.lotteryName, fileName, *rules_, draw, playCount_, UiSeparators()));
    repaint();
    StartTimer();
    CheckRun run;
    Status status = Ok{};
    {
        RunProgress progress(*this);
        status = RunCheck(*rules_, game_.pool, draw, ticketFile_.toStdString(), MonotonicClock(), run, &progress,
                          options_.pollEvery);
    }
    StopTimer();
    busy.Release();
    running_ = false;
    FinishRun(run, status);
    if (closeAsked_)
        close();
}

void CheckerWindow::FinishRun(const CheckRun& run, const Status& status)
{
    const NumberSeparators separators = UiSeparators();
    const double seconds = Timers().ElapsedSeconds();
    ShowCounts(run, true);
    AppendReport(run);
    // A file rewritten since Load File with another number of plays would give a report whose
    // header ("Checking N Picks") disagrees with its summary.
    const bool recounted = status && !run.aborted && run.playsRead != playCount_;
    if (!status || recounted) {
        // The file changed on disk since it was loaded: no summary, nothing claims completion.
        const std::string why = recounted ? ticketFile_.toStdString() + ": changed since it was loaded; it now holds " +
                                                std::to_string(run.playsRead) + " picks instead of " +
                                                std::to_string(playCount_) + ". Load it again."
                                          : status.error().message;
        ticketFile_.clear();
        lbldraw->setText(QString::fromStdString(FormatWhole(run.playsRead, Pattern::Grouped, separators)));
        SetStatus(QStringLiteral("The check stopped: the ticket file has a fault."));
        Refuse(QString::fromStdString(why));
        return;
    }
    if (run.aborted) {
        ticketFile_.clear();
        // The play during which Escape was seen is counted, but not yet shown as checked.
        lbldraw->setText(QString::fromStdString(FormatWhole(run.playsRead - 1, Pattern::Grouped, separators)));
        SetStatus(QString::fromStdString(AbortText(run.playsRead, seconds, separators)));
        return;
    }
    // Counted plainly while it runs; the final count reads as the tier counts beside it.
    lbldraw->setText(QString::fromStdString(FormatWhole(run.playsRead, Pattern::Grouped, separators)));
    SetStatus(QString::fromStdString(CompletionTimeText(seconds, separators)));
    rtbreport->Append("\n" + SummaryText(*rules_, run.tally, game_.pool, separators));
    // The report opens at its header, which names the lottery, the file and the count.
    rtbreport->scrollToTop();
    cmdsave->setEnabled(true);
}

}  // namespace bm::app
