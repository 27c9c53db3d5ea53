#include <functional>
#include <thread>

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/Dialogs.h"
#include "app/JobPump.h"
#include "app/RememberedChoices.h"
#include "checking/CheckReport.h"
#include "checking/HistoryCheck.h"
#include "checking/window/CheckerSupport.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/HistoryWindow.h"

namespace bm::app {

namespace {

// The draws of the file, every one read by the game's rules, so that a bad line is refused
// before the long part begins. `keepGoing` is asked after every draw; false stops the count.
Result<std::int64_t> CountDraws(const std::filesystem::path& file, const CheckGame& game, int pool,
                                const std::function<bool()>& keepGoing)
{
    auto reader = DrawsReader::Open(file, game, pool);
    if (!reader)
        return reader.error();
    HistoryDraw draw;
    while ((*reader)->Next(draw))
        if (!keepGoing())
            return Error{CompactWheel::kStopped};
    if ((*reader)->error())
        return *(*reader)->error();
    return (*reader)->draws();
}

}  // namespace

void CheckerWindow::cmdHistory_Click()
{
    if (running_)
        return;
    // The game as its definition file reads now, as for a run.
    const auto game = ReadGame(false);
    if (!game) {
        Refuse(QString::fromStdString(game.error().message));
        return;
    }
    ShowGame(*game);
    if (ticketFile_.isEmpty()) {
        OwnDialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromLatin1(kMustLoadText), Icon::Error,
                             Buttons::Ok);
        return;
    }
    OwnDialogs();
    const QString file = OpenFileRemembered(this, folder_, "Draws", QStringLiteral("Open Draws File"),
                                            QStringLiteral("Draw Files (*.csv *.txt);;All Files (*)"),
                                            QString::fromStdString(folder_.wheel().string()));
    if (file.isEmpty())
        return;

    BusyCursor busy;
    // The counts of the last single check would stand beside the history's status as if they
    // were its own: the display starts afresh, and the report with it.
    ResetDisplay();
    cmdsave->setEnabled(false);
    running_ = true;
    // Reading a large wheel takes a while too: the bar moves and Escape is heard from the start.
    SetStatus(QStringLiteral("Reading Draws File.... ESC Key Will Abort"));
    prgHistory->setRange(0, 0);
    prgHistory->show();
    repaint();
    std::vector<HistoryRow> rows;
    HistoryRun run;
    Status status = Ok{};
    bool stopped = false;
    bool began = false;  // the files were read and the draws are being checked
    Result<std::int64_t> draws = std::int64_t{0};
    {
        JobPump pump(options_.pumpIntervalMs);
        pump.Start();
        const auto keepGoing = [&] {
            stopped = stopped || pump.Pressed() || closeAsked_;
            return !stopped;
        };
        draws = CountDraws(file.toStdString(), *rules_, game_.pool, keepGoing);
        if (draws)
            SetStatus(QStringLiteral("Reading Ticket File.... ESC Key Will Abort"));
        const auto wheel = draws ? CompactWheel::Read(ticketFile_.toStdString(), *rules_, game_.pool, keepGoing)
                                 : Result<CompactWheel>(draws.error());
        auto reader = wheel ? DrawsReader::Open(file.toStdString(), *rules_, game_.pool)
                            : Result<std::unique_ptr<DrawsReader>>(wheel.error());
        if (!reader) {
            status = reader.error();
        } else {
            SetStatus(QStringLiteral("Checking Against %1 Draws.... ESC Key Will Abort").arg(*draws));
            prgHistory->setRange(0, static_cast<int>(std::min<std::int64_t>(*draws, 1 << 30)));
            prgHistory->setValue(0);
            const HistoryPoll poll = [&](std::int64_t done) {
                prgHistory->setValue(static_cast<int>(std::min<std::int64_t>(done, 1 << 30)));
                return keepGoing();
            };
            const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
            began = true;
            status = RunHistory(*rules_, *wheel, **reader, [&](const HistoryRow& r) { rows.push_back(r); }, run,
                                MonotonicClock(), workers, poll);
        }
        pump.Stop();
    }
    running_ = false;
    prgHistory->hide();
    busy.Release();
    if (stopped && (!status || run.aborted)) {
        if (began)
            SetStatus(QStringLiteral("Draw History Stopped After %1 Of %2 Draws").arg(run.draws).arg(*draws));
        else
            SetStatus(QStringLiteral("Draw History Stopped While Reading The Files"));
    } else if (!status) {
        if (began)
            SetStatus(QStringLiteral("The draw history stopped: a file has a fault."));
        else
            lblstatus->hide();
        Refuse(QString::fromStdString(status.error().message));
    } else {
        SetStatus(QStringLiteral("Checked Against %1 Draws").arg(run.draws));
        // Beside it, the counts of all those draws together.
        CheckRun all;
        all.tally = run.total;
        ShowCounts(all, true);
        lbldraw->setText(QString::number(run.plays * run.draws));
        delete historyWindow_;
        auto* window = new HistoryWindow(*rules_, game_.lotteryName, {ticketFile_.toStdString(), file.toStdString()},
                                         std::move(rows), run, folder_, this);
        historyWindow_ = window;
        window->show();
    }
    if (closeAsked_)
        close();
}

}  // namespace bm::app
