#include <functional>
#include <optional>
#include <thread>

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "checking/CheckReport.h"
#include "checking/HistoryCheck.h"
#include "checking/NumberPatterns.h"
#include "checking/window/CheckerWindow.h"
#include "checking/window/HistoryWindow.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

QString Grouped(std::int64_t n)
{
    return QString::fromStdString(FormatWhole(n, Pattern::Grouped, UiSeparators()));
}

// The draws of the file, every one read by the game's rules, so that a bad line is refused
// before the long part begins. Lines that are no draws of the game are counted, for the question
// whether to skip them; the reader's file is the one the check reads again. `keepGoing` is asked
// after every draw; false stops the reading with `stopped` set.
Result<std::unique_ptr<DrawsReader>> ReadDraws(const std::filesystem::path& file, const CheckGame& game, int pool,
                                               const DrawsOptions& options, const std::function<bool()>& keepGoing,
                                               bool& stopped)
{
    auto reader = DrawsReader::Open(file, game, pool, options);
    if (!reader)
        return reader.error();
    HistoryDraw draw;
    while ((*reader)->Next(draw))
        if (!keepGoing()) {
            stopped = true;
            return Error::Stopped();
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
    RunDrawHistory(file, {}, {});
}

void CheckerWindow::RunDrawHistory(const QString& file, const std::string& from, const std::string& to)
{
    if (running_)
        return;
    if (ticketFile_.isEmpty()) {
        OwnDialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromLatin1(kMustLoadText), Icon::Error,
                             Buttons::Ok);
        return;
    }
    if (!from.empty() || !to.empty()) {
        // Checked again from the history window: the game as its definition reads now.
        const auto game = ReadGame(false);
        if (!game) {
            Refuse(QString::fromStdString(game.error().message));
            return;
        }
        ShowGame(*game);
    }
    std::optional<BusyCursor> busy(std::in_place);
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
    bool declined = false;  // lines that are no draws, and the user would not skip them
    bool began = false;     // the files were read and the draws are being checked
    std::int64_t draws = 0;
    // The wheel is read from one open file, and so are both readings of the draws: a file
    // replaced meanwhile is told by InputsUnchanged, never mixed in.
    std::shared_ptr<InputFile> wheelInput;
    std::shared_ptr<const InputFile> drawsInput;
    {
        JobPump pump(options_.pumpIntervalMs);
        pump.Start();
        const auto keepGoing = [&] {
            stopped = stopped || pump.Pressed() || closeAsked_;
            return !stopped;
        };
        DrawsOptions reading;
        reading.skipInvalid = true;
        reading.from = from;
        reading.to = to;
        auto read = ReadDraws(file.toStdString(), *rules_, game_.pool, reading, keepGoing, stopped);
        if (!read && !stopped && DrawsReader::AsksDateOrder(read.error())) {
            // Dates such as 01/02/2020 that the file leaves open: the user says how it writes them.
            pump.Stop();
            busy.reset();
            const Answer dayFirst = OwnDialogs().Message(
                this, QStringLiteral("Brindlemark"),
                QString::fromStdString(read.error().message) +
                    QStringLiteral("\n\nRead them day first (DD/MM/YYYY)? No reads them month first (MM/DD/YYYY)."),
                Icon::Question, Buttons::YesNo);
            reading.dateOrder = dayFirst == Answer::Yes ? DateOrder::DayFirst : DateOrder::MonthFirst;
            busy.emplace();
            pump.Start();
            read = ReadDraws(file.toStdString(), *rules_, game_.pool, reading, keepGoing, stopped);
        }
        if (read && (*read)->notes().skipped > 0) {
            // The question needs the input the pump holds back while it runs.
            pump.Stop();
            busy.reset();
            const DrawsFileNotes& notes = (*read)->notes();
            declined =
                OwnDialogs().Message(this, QStringLiteral("Brindlemark"), QString::fromStdString(SkipQuestion(notes)),
                                     Icon::Question, Buttons::YesNoDefaultNo) != Answer::Yes;
            if (declined)
                status = Error{notes.firstSkippedRefusal};
            busy.emplace();
            pump.Start();
        }
        if (!read && !stopped)
            status = read.error();
        if (read && !declined) {
            draws = (*read)->draws();
            drawsInput = (*read)->input();
            SetStatus(QStringLiteral("Reading Ticket File.... ESC Key Will Abort"));
            auto opened = InputFile::Open(ticketFile_.toStdString());
            bool wheelStopped = false;
            const auto wheel = opened ? CompactWheel::Read(*opened, *rules_, game_.pool, keepGoing, wheelStopped)
                                      : Result<CompactWheel>(opened.error());
            if (opened)
                wheelInput = *opened;
            stopped = stopped || wheelStopped;
            // The second reading reads the dates as the first settled them.
            reading.dateOrder = (*read)->dateOrder();
            auto reader = !wheel ? Result<std::unique_ptr<DrawsReader>>(wheel.error())
                                 : DrawsReader::Open(drawsInput, *rules_, game_.pool, reading);
            if (!reader) {
                status = reader.error();
            } else if (!stopped) {
                SetStatus(QStringLiteral("Checking Against %1 Draws.... ESC Key Will Abort").arg(Grouped(draws)));
                prgHistory->setRange(0, static_cast<int>(std::min<std::int64_t>(draws, 1 << 30)));
                prgHistory->setValue(0);
                const HistoryPoll poll = [&](std::int64_t done) {
                    prgHistory->setValue(static_cast<int>(std::min<std::int64_t>(done, 1 << 30)));
                    return keepGoing();
                };
                const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
                began = true;
                status = RunHistory(
                    *rules_, *wheel, **reader, [&](const HistoryRow& r) { rows.push_back(r); }, run, MonotonicClock(),
                    workers, poll);
            }
        }
        pump.Stop();
    }
    running_ = false;
    prgHistory->hide();
    busy.reset();
    // A file that changed meanwhile is the message, also for a fault it caused.
    if (began && !run.aborted) {
        const Status same = InputsUnchanged({wheelInput.get(), drawsInput.get()});
        if (!same || (status && run.draws != draws))
            status = Error{same ? ChangedWhileCheckedText(file.toStdString()) : same.error().message};
    }
    if (declined) {
        lblstatus->hide();
        Refuse(QString::fromStdString(status.error().message));
    } else if (stopped && (!began || !status || run.aborted)) {
        if (began)
            SetStatus(
                QStringLiteral("Draw History Stopped After %1 Of %2 Draws").arg(Grouped(run.draws), Grouped(draws)));
        else
            SetStatus(QStringLiteral("Draw History Stopped While Reading The Files"));
    } else if (!status) {
        if (began)
            SetStatus(QStringLiteral("The draw history stopped: a file has a fault."));
        else
            lblstatus->hide();
        Refuse(QString::fromStdString(status.error().message));
    } else {
        SetStatus(QStringLiteral("Checked Against %1 Draws").arg(Grouped(run.draws)));
        // Beside it, the counts of all those draws together.
        CheckRun all;
        all.tally = run.total;
        ShowCounts(all, true);
        lbldraw->setText(Grouped(run.plays * run.draws));
        delete historyWindow_;
        auto* window = new HistoryWindow(*rules_, game_.lotteryName, {ticketFile_.toStdString(), file.toStdString()},
                                         std::move(rows), run, folder_, this);
        historyWindow_ = window;
        // Another range checks again; the old window goes once the new one is made.
        window->OfferRange(from, to, [this, file](const std::string& f, const std::string& t) {
            QTimer::singleShot(0, this, [this, file, f, t] { RunDrawHistory(file, f, t); });
        });
        FitToScreen(window);
        window->show();
    }
    if (closeAsked_)
        close();
}

}  // namespace bm::app
