#include "checking/window/TwoPoolCheckerWindow.h"

#include "checking/window/CheckerParts.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "checking/CheckReport.h"
#include "checking/DrawHistory.h"
#include "checking/GameVariants.h"
#include "checking/SummaryFile.h"
#include "checking/window/ReportBox.h"
#include "checking/window/TwoPoolHistoryWindow.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "slip/MarkPlacement.h"
#include "windowing/window/BusyCursor.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/EntryHelpers.h"
#include "windowing/window/JobPump.h"
#include "windowing/window/RememberedChoices.h"
#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

QString Text(const std::string& s)
{
    return QString::fromStdString(s);
}

}  // namespace

TwoPoolCheckerWindow::TwoPoolCheckerWindow(DefinitionChoice& choice, QWidget* parent, int pumpIntervalMs)
    : QWidget(parent),
      choice_(choice),
      folder_(choice.Folder()),
      pumpIntervalMs_(pumpIntervalMs)
{
    setObjectName(QString::fromLatin1(kTwoPoolCheckerName));
    setWindowTitle(QString::fromLatin1(kCheckerCaption));
    auto* outer = new QVBoxLayout(this);
    lblLot = new QLabel(this);
    lblLot->setObjectName(QStringLiteral("lblLot"));
    outer->addWidget(lblLot);
    lblHead = new QLabel(this);
    lblHead->setObjectName(QStringLiteral("lblHead"));
    outer->addWidget(lblHead);
    drawRow_ = new QWidget(this);
    new QHBoxLayout(drawRow_);
    drawRow_->layout()->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(drawRow_);

    AddCheckerButtons(this, outer, {&cmdGo, &cmdreset, &cmdsave, &cmdHistory, &cmdxit});

    tierGrid_ = new QWidget(this);
    outer->addWidget(tierGrid_);
    const CheckerFooter footer = NewCheckerFooter(this);
    lblstatus = footer.status;
    outer->addWidget(lblstatus);
    rtbreport = footer.report;
    outer->addWidget(rtbreport, 1);

    connect(cmdGo, &QPushButton::clicked, this, [this] { LoadFile(); });
    connect(cmdreset, &QPushButton::clicked, this, [this] { Run(); });
    connect(cmdsave, &QPushButton::clicked, this, [this] { SaveSummary(); });
    connect(cmdxit, &QPushButton::clicked, this, [this] { close(); });
    connect(cmdHistory, &QPushButton::clicked, this, [this] { History(); });
    cmdreset->setEnabled(false);
    cmdsave->setEnabled(false);
    ReadGame();
    UseWindowKeys(this);
    resize(600, 640);
}

TwoPoolCheckerWindow::~TwoPoolCheckerWindow() = default;

bool TwoPoolCheckerWindow::ReadGame()
{
    const auto chosen = choice_.ReadChosen();
    if (!chosen) {
        Refuse(Text(chosen.error().message));
        return false;
    }
    const auto marksFile = MarksFileOf(chosen->file);
    const auto marks = ReadSlipMarks(marksFile);
    if (!marks) {
        Refuse(Text(marks.error().message));
        return false;
    }
    const GameFormat format = GameOf(chosen->definition, *marks);
    auto game = ChecksByTiers(format) ? TwoPoolGameOf(format, *marks, marksFile.string())
                                      : Result<TwoPoolGame>(Error{chosen->file.string() + ": " + chosen->name +
                                                                  " has no second pool checked by tiers"});
    if (!game) {
        Refuse(Text(game.error().message));
        return false;
    }
    const bool same = game_ && game_->pick == game->pick && game_->secondPick == game->secondPick;
    file_ = chosen->file;
    lottery_ = chosen->name;
    game_ = std::move(*game);
    lblLot->setText(Text(ShownLine(lottery_)));
    lblHead->setText(QStringLiteral("Enter %1 Drawn Numbers And %2 Of The Second Pool Below")
                         .arg(game_->pick)
                         .arg(game_->secondPick));
    if (!same)
        BuildRows();
    return true;
}

void TwoPoolCheckerWindow::BuildRows()
{
    for (QLineEdit* box : boxes_)
        delete box;
    boxes_.clear();
    // The second pool's boxes on light yellow, as the extra number of the other checkers.
    for (int i = 1; i <= game_->NumbersPerPlay(); ++i) {
        boxes_.push_back(NewDrawBox(drawRow_, i, i > game_->pick));
        drawRow_->layout()->addWidget(boxes_.back());
    }
    lblHead->setBuddy(boxes_.front());

    // A row per main count, a column per second count: "Match 3+1" and its count.
    delete tierGrid_->layout();
    for (QObject* child : tierGrid_->children())
        delete child;
    counts_.clear();
    auto* grid = new QGridLayout(tierGrid_);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int t = 0; t < game_->Tiers(); ++t) {
        const int m = game_->MainOf(t), j = game_->SecondOf(t);
        const TierRow made =
            AddTierRow(grid, tierGrid_, m, 2 * j, QStringLiteral("Label%1p%2").arg(m).arg(j),
                       QStringLiteral("Match %1+%2").arg(m).arg(j), QStringLiteral("lblcnt%1p%2").arg(m).arg(j));
        if (game_->wins[static_cast<std::size_t>(t)]) {
            QFont bold = made.caption->font();
            bold.setBold(true);
            made.caption->setFont(bold);
        }
        counts_.push_back(made.count);
    }
    lbldraw = AddLinesCheckedRow(grid, tierGrid_, game_->pick + 1).count;
    grid->setColumnStretch(2 * (game_->secondPick + 1), 1);
    setTabOrder(boxes_.back(), cmdGo);
    GiveMnemonics(this);
}

void TwoPoolCheckerWindow::ResetDisplay()
{
    for (QLabel* count : counts_)
        count->setText(QStringLiteral("0"));
    if (lbldraw)
        lbldraw->setText(QStringLiteral("0"));
    lblstatus->setText(QStringLiteral("Status"));
    rtbreport->Clear();
}

void TwoPoolCheckerWindow::Refuse(const QString& text)
{
    dialogs().Message(this, QStringLiteral("Brindlemark"), text, Icon::Error, Buttons::Ok);
}

void TwoPoolCheckerWindow::LoadFile()
{
    if (!ReadGame())
        return;
    ResetDisplay();
    cmdreset->setEnabled(false);
    ticketFile_.clear();
    const QString file = OpenFileRemembered(this, folder_, "Wheel", QStringLiteral("Open Wheel File"),
                                            QStringLiteral("Text Files (*.txt)"), Text(folder_.wheel().string()));
    if (file.isEmpty())
        return;
    BusyCursor busy;
    // The whole file is read by the game's rules now, so a malformed one is refused before a run.
    const auto input = InputFile::Open(file.toStdString());
    bool stopped = false;
    const auto wheel = input ? ReadTwoPoolWheel(*game_, *input, {}, stopped) : Result<TwoPoolWheel>(input.error());
    busy.Release();
    if (!wheel) {
        Refuse(Text(wheel.error().message));
        return;
    }
    ticketFile_ = file;
    plays_ = wheel->plays;
    lblstatus->setText(Text(LoadedText(plays_, UiSeparators())));
    cmdreset->setEnabled(true);
}

void TwoPoolCheckerWindow::Run()
{
    if (!ReadGame() || ticketFile_.isEmpty())
        return;
    ResetDisplay();
    cmdsave->setEnabled(false);
    std::string draw;
    for (QLineEdit* box : boxes_)
        draw += box->text().toStdString() + " ";
    for (int i = 0; i < static_cast<int>(boxes_.size()); ++i)
        if (boxes_[static_cast<std::size_t>(i)]->text().trimmed().isEmpty()) {
            Refuse(QStringLiteral("No entry for drawn number %1").arg(i + 1));
            boxes_[static_cast<std::size_t>(i)]->setFocus(Qt::OtherFocusReason);
            return;
        }
    const auto drawn = ParseTwoPoolDraw(draw, *game_, lottery_);
    if (!drawn) {
        // The text is the command line's; the window names its boxes.
        std::string message = drawn.error().message;
        if (message.rfind("--draw: ", 0) == 0)
            message = "The draw: " + message.substr(8);
        Refuse(Text(message));
        return;
    }
    BusyCursor busy;
    lblstatus->setText(QString::fromLatin1(kProcessingText));
    const NumberSeparators separators = UiSeparators();
    std::string report =
        "Lottery: " + ShownLine(lottery_) + "\n" +
        "Ticket File: " + ShownLine(std::filesystem::path(ticketFile_.toStdString()).filename().string()) + "\n" +
        TwoPoolDrawLine(*drawn) + "\nChecking " + FormatWhole(plays_, Pattern::GroupedBlankZero, separators) +
        " Picks Against Above Draw Results\n\n";
    const auto input = InputFile::Open(ticketFile_.toStdString());
    TwoPoolRun run;
    // Escape asks, as in the other checkers, whether to stop; nothing else reaches the windows
    // while the run goes on.
    JobPump pump(pumpIntervalMs_);
    pump.Start();
    const auto keepGoing = [&] {
        if (!pump.Pressed())
            return true;
        pump.Stop();
        const Answer answer = dialogs().Message(this, QString::fromLatin1(kInterruptTitle),
                                                Text(InterruptQuestion(run.playsRead)), Icon::Question, Buttons::YesNo);
        if (answer == Answer::Yes)
            return false;
        pump.Start();
        return true;
    };
    const Status done = input ? RunTwoPoolCheck(
                                    *game_, *drawn, *input, MonotonicClock(), run,
                                    [&](const std::string& line) { report += line + "\n"; }, keepGoing)
                              : Status(input.error());
    pump.Stop();
    busy.Release();
    if (!done) {
        ticketFile_.clear();
        cmdreset->setEnabled(false);
        lblstatus->setText(QStringLiteral("Status"));
        Refuse(Text(done.error().message));
        return;
    }
    for (std::size_t t = 0; t < counts_.size() && t < run.tally.size(); ++t)
        counts_[t]->setText(Text(FormatWhole(run.tally[t], Pattern::Grouped, separators)));
    lbldraw->setText(Text(FormatWhole(run.playsRead, Pattern::Grouped, separators)));
    if (run.aborted) {
        // The counts so far and the report's lines stay; no summary claims the whole file.
        lblstatus->setText(Text(AbortText(run.playsRead, static_cast<double>(run.elapsedMs) / 1000.0, separators)));
        rtbreport->Append(report);
        return;
    }
    lblstatus->setText(Text(CompletionTimeText(static_cast<double>(run.elapsedMs) / 1000.0, separators)));
    rtbreport->Append(report + "\n" + TwoPoolSummary(*game_, run.tally, separators));
    cmdsave->setEnabled(true);
}

void TwoPoolCheckerWindow::SaveSummary()
{
    if (const Status made = EnsureSummaryFolder(folder_); !made)
        Refuse(Text(made.error().message));
    QString file = SaveFileRemembered(this, folder_, "Summary", QStringLiteral("Save Summary File"),
                                      QStringLiteral("Text Files (*.txt)"), Text(folder_.summary().string()),
                                      QStringLiteral("txt"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".txt");
    Status saved = CheckOutputTarget(file.toStdString(), {ticketFile_.toStdString(), file_}, &folder_);
    if (saved)
        saved = WriteSummaryFile(file.toStdString(), rtbreport->Text());
    if (!saved)
        Refuse(Text(saved.error().message) + QStringLiteral("\nThe summary was not saved; it is still shown below."));
}

}  // namespace bm::app

namespace bm::app {

void TwoPoolCheckerWindow::History()
{
    if (!ReadGame())
        return;
    if (ticketFile_.isEmpty()) {
        Refuse(QString::fromLatin1(kMustLoadText));
        return;
    }
    const QString file =
        OpenFileRemembered(this, folder_, "Draws", QStringLiteral("Open Draws File"),
                           QStringLiteral("Draw Files (*.csv *.txt);;All Files (*)"), Text(folder_.wheel().string()));
    if (!file.isEmpty())
        RunHistory(file, {}, {});
}

void TwoPoolCheckerWindow::RunHistory(const QString& file, const std::string& from, const std::string& to)
{
    if (!ReadGame() || ticketFile_.isEmpty())
        return;
    const TwoPoolGame& game = *game_;
    const DrawShape shape{game.pick, false, game.secondPick, game.pool, game.secondPool};
    DrawsOptions reading;
    reading.from = from;
    reading.to = to;
    std::optional<BusyCursor> busy(std::in_place);
    lblstatus->setText(QStringLiteral("Reading Draws File...."));
    lblstatus->repaint();
    // Every draw is read before the check, so that a bad line refuses the file with nothing shown.
    std::vector<TwoPoolHistoryRow> rows;
    auto read = [&]() -> Status {
        rows.clear();
        auto reader = DrawsReader::Open(file.toStdString(), shape, reading);
        if (!reader)
            return reader.error();
        HistoryDraw d;
        while ((*reader)->Next(d)) {
            TwoPoolHistoryRow row;
            row.date = d.date;
            row.draw.main.assign(d.numbers.main.begin(), d.numbers.main.begin() + d.numbers.mainCount);
            row.draw.second.assign(d.numbers.second.begin(), d.numbers.second.begin() + d.numbers.secondCount);
            rows.push_back(std::move(row));
        }
        if ((*reader)->error())
            return *(*reader)->error();
        return Ok{};
    };
    Status status = read();
    if (!status && DrawsReader::AsksDateOrder(status.error())) {
        busy.reset();
        const Answer dayFirst = dialogs().Message(
            this, QStringLiteral("Brindlemark"),
            Text(status.error().message) +
                QStringLiteral("\n\nRead them day first (DD/MM/YYYY)? No reads them month first (MM/DD/YYYY)."),
            Icon::Question, Buttons::YesNo);
        reading.dateOrder = dayFirst == Answer::Yes ? DateOrder::DayFirst : DateOrder::MonthFirst;
        busy.emplace();
        status = read();
    }
    std::optional<TwoPoolWheel> wheel;
    if (status) {
        lblstatus->setText(QStringLiteral("Reading Ticket File...."));
        lblstatus->repaint();
        bool stopped = false;
        const auto input = InputFile::Open(ticketFile_.toStdString());
        auto held = input ? ReadTwoPoolWheel(game, *input, {}, stopped) : Result<TwoPoolWheel>(input.error());
        if (held)
            wheel = std::move(*held);
        else
            status = held.error();
    }
    if (!status) {
        busy.reset();
        lblstatus->setText(QStringLiteral("Status"));
        Refuse(Text(status.error().message));
        return;
    }
    std::vector<std::int64_t> total(static_cast<std::size_t>(game.Tiers()), 0);
    for (TwoPoolHistoryRow& row : rows) {
        row.tally = TwoPoolTally(game, *wheel, row.draw);
        for (std::size_t t = 0; t < total.size(); ++t)
            total[t] += row.tally[t];
    }
    busy.reset();
    // Beside the status, the counts of all those draws together.
    const NumberSeparators separators = UiSeparators();
    for (std::size_t t = 0; t < counts_.size() && t < total.size(); ++t)
        counts_[t]->setText(Text(FormatWhole(total[t], Pattern::Grouped, separators)));
    lbldraw->setText(
        Text(FormatWhole(wheel->plays * static_cast<std::int64_t>(rows.size()), Pattern::Grouped, separators)));
    lblstatus->setText(
        QStringLiteral("Checked Against %1 Draws")
            .arg(Text(FormatWhole(static_cast<std::int64_t>(rows.size()), Pattern::Grouped, separators))));
    rtbreport->Clear();
    cmdsave->setEnabled(false);
    delete historyWindow_;
    auto* window = new TwoPoolHistoryWindow(game, lottery_, {ticketFile_.toStdString(), file.toStdString()},
                                            std::move(rows), wheel->plays, folder_, this);
    historyWindow_ = window;
    window->OfferRange(from, to, [this, file](const std::string& f, const std::string& t) {
        QTimer::singleShot(0, this, [this, file, f, t] { RunHistory(file, f, t); });
    });
    FitToScreen(window);
    window->show();
}

}  // namespace bm::app
