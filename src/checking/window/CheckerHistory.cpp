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
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

// The draws of the file, every one read by the game's rules, so that a bad line is refused
// before the long part begins.
Result<std::int64_t> CountDraws(const std::filesystem::path& file, const CheckGame& game, int pool)
{
    auto reader = DrawsReader::Open(file, game, pool);
    if (!reader)
        return reader.error();
    HistoryDraw draw;
    while ((*reader)->Next(draw)) {
    }
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
    SetStatus(QStringLiteral("Reading Draws File..."));
    repaint();
    const auto draws = CountDraws(file.toStdString(), *rules_, game_.pool);
    const auto wheel = draws ? CompactWheel::Read(ticketFile_.toStdString(), *rules_, game_.pool)
                             : Result<CompactWheel>(draws.error());
    auto reader = wheel ? DrawsReader::Open(file.toStdString(), *rules_, game_.pool)
                        : Result<std::unique_ptr<DrawsReader>>(wheel.error());
    if (!reader) {
        lblstatus->hide();
        busy.Release();
        Refuse(QString::fromStdString(reader.error().message));
        return;
    }

    running_ = true;
    SetStatus(QStringLiteral("Checking Against %1 Draws.... ESC Key Will Abort").arg(*draws));
    prgHistory->setRange(0, static_cast<int>(std::min<std::int64_t>(*draws, 1 << 30)));
    prgHistory->setValue(0);
    prgHistory->show();
    std::vector<HistoryRow> rows;
    HistoryRun run;
    Status status = Ok{};
    {
        JobPump pump(options_.pumpIntervalMs);
        pump.Start();
        const HistoryPoll poll = [&](std::int64_t done) {
            prgHistory->setValue(static_cast<int>(std::min<std::int64_t>(done, 1 << 30)));
            return !pump.Pressed() && !closeAsked_;
        };
        const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        status = RunHistory(*rules_, *wheel, **reader, [&](const HistoryRow& r) { rows.push_back(r); }, run,
                            MonotonicClock(), workers, poll);
        pump.Stop();
    }
    running_ = false;
    prgHistory->hide();
    busy.Release();
    if (!status) {
        SetStatus(QStringLiteral("The draw history stopped: a file has a fault."));
        Refuse(QString::fromStdString(status.error().message));
    } else if (run.aborted) {
        SetStatus(QStringLiteral("Draw History Stopped After %1 Of %2 Draws").arg(run.draws).arg(*draws));
    } else {
        SetStatus(QStringLiteral("Checked Against %1 Draws").arg(run.draws));
        delete historyWindow_;
        auto* window = new HistoryWindow(*rules_, game_.lotteryName, {ticketFile_.toStdString(), file.toStdString()},
                                         std::move(rows), run, folder_, this);
        historyWindow_ = window;
        FitToScreen(window);
        window->show();
    }
    if (closeAsked_)
        close();
}

}  // namespace bm::app
