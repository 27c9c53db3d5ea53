#include <optional>
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
// before the long part begins. Lines that are no draws of the game are counted, for the question
// whether to skip them; the reader's file is the one the check reads again.
Result<std::unique_ptr<DrawsReader>> ReadDraws(const std::filesystem::path& file, const CheckGame& game, int pool)
{
    auto reader = DrawsReader::Open(file, game, pool, true);
    if (!reader)
        return reader.error();
    HistoryDraw draw;
    while ((*reader)->Next(draw)) {
    }
    // A file of which no line is a draw of the game: refused for its first line, as without skipping.
    if ((*reader)->error())
        return (*reader)->notes().skipped > 0 && (*reader)->draws() == 0 ? Error{(*reader)->notes().firstSkippedRefusal}
                                                                         : *(*reader)->error();
    return reader;
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

    std::optional<BusyCursor> busy(std::in_place);
    SetStatus(QStringLiteral("Reading Draws File..."));
    repaint();
    const auto read = ReadDraws(file.toStdString(), *rules_, game_.pool);
    if (read && (*read)->notes().skipped > 0) {
        busy.reset();
        const DrawsFileNotes& notes = (*read)->notes();
        if (OwnDialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(SkipQuestion(notes)),
                                 Icon::Question, Buttons::YesNoDefaultNo) != Answer::Yes) {
            lblstatus->hide();
            Refuse(QString::fromStdString(notes.firstSkippedRefusal));
            return;
        }
        busy.emplace();
    }
    const auto draws = read ? Result<std::int64_t>((*read)->draws()) : Result<std::int64_t>(read.error());
    // The wheel is read from one open file, and so are both readings of the draws: a file
    // replaced meanwhile is told by CheckUnchanged, never mixed in.
    auto wheelInput = draws ? InputFile::Open(ticketFile_.toStdString()) : Result<std::shared_ptr<InputFile>>(draws.error());
    bool stopped = false;
    const auto wheel = wheelInput ? CompactWheel::Read(*wheelInput, *rules_, game_.pool, {}, stopped)
                                  : Result<CompactWheel>(wheelInput.error());
    auto reader = wheel ? DrawsReader::Open((*read)->input(), *rules_, game_.pool, true)
                        : Result<std::unique_ptr<DrawsReader>>(wheel.error());
    if (!reader) {
        lblstatus->hide();
        busy.reset();
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
    busy.reset();
    // A file that changed meanwhile is the message, also for a fault it caused.
    const Status same = InputsUnchanged({wheelInput->get(), (*read)->input().get()});
    if (!run.aborted && (!same || (status && run.draws != *draws)))
        status = Error{same ? ChangedWhileCheckedText(file.toStdString()) : same.error().message};
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
