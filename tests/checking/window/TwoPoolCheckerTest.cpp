// The checker of a game of two pools: its draw boxes and tier rows, a run's report, counts and
// summary as check --draw gives them, and the refusals of a draw or a file that is no play.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/CheckerChoice.h"
#include "checking/window/ReportBox.h"
#include "checking/window/TwoPoolCheckerWindow.h"
#include "checking/window/TwoPoolHistoryWindow.h"
#include "support/PrintJobSupport.h"

namespace {

namespace fs = std::filesystem;
using bmtest::ScriptedDialogs;

class Chosen : public bm::DefinitionChoice {
public:
    explicit Chosen(const fs::path& home) : folder_(home) {}
    const bm::ProgramFolder& Folder() const override { return folder_; }
    bm::Result<bm::ChosenDefinition> ReadChosen() override
    {
        bm::SlipDefinition d;
        d.Pool = 50;
        d.Pick = 5;
        return bm::ChosenDefinition{folder_.definitionFile("EM550"), "EM550.def", "EM550", d};
    }
    std::shared_ptr<void> Listen(std::function<void()>) override { return nullptr; }
    void DefinitionsWritten() override {}

private:
    bm::ProgramFolder folder_;
};

const char* const kStars =
    "[Second]\r\nPool=12\r\nPick=2\r\nLeft=0\r\nTop=52\r\nColumns=6\r\nWidth=3.5\r\nHeight=2.5\r\n"
    "Across=4\r\nDown=5\r\n";

TEST(TwoPoolChecker, ChecksADrawByTiersAsTheCommandLineDoes)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder();
    bmtest::WriteBytes(dir / "Defs" / "EM550.marks", kStars);
    bmtest::WriteBytes(dir / "wheel" / "w.txt", "1 2 3 4 5 1 2\r\n1 2 3 40 41 12 11\r\n10,20,30,40,50,3,4\r\n");
    ScriptedDialogs dialogs;
    Chosen choice(dir.path());
    bm::app::TwoPoolCheckerWindow window(choice);
    EXPECT_EQ(window.objectName(), QStringLiteral("frmChkwhl2P"));
    const auto get = [&](const char* name) { return window.findChild<QWidget*>(QString::fromLatin1(name)); };
    const auto label = [&](const char* name) {
        auto* l = window.findChild<QLabel*>(QString::fromLatin1(name));
        return l ? l->text().remove(QLatin1Char('&')) : QStringLiteral("(none)");
    };
    EXPECT_EQ(label("lblHead"), QStringLiteral("Enter 5 Drawn Numbers And 2 Of The Second Pool Below"));
    for (int i = 1; i <= 7; ++i)
        EXPECT_NE(get(("txtN" + std::to_string(i)).c_str()), nullptr) << i;
    EXPECT_EQ(get("txtN8"), nullptr);
    EXPECT_EQ(label("Label5p2"), QStringLiteral("Match 5+2"));
    EXPECT_EQ(label("Label0p0"), QStringLiteral("Match 0+0"));
    EXPECT_FALSE(get("cmdreset")->isEnabled());

    dialogs.QueueFile(dir / "wheel" / "w.txt");
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdGo")), Qt::LeftButton);
    EXPECT_EQ(label("lblstatus"), QStringLiteral("This file contains 3 picks. Click RUN to continue."));
    const char* draw[] = {"1", "2", "3", "4", "5", "1", "2"};
    for (int i = 0; i < 7; ++i)
        static_cast<QLineEdit*>(get(("txtN" + std::to_string(i + 1)).c_str()))->setText(QString::fromLatin1(draw[i]));
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdreset")), Qt::LeftButton);
    EXPECT_EQ(dialogs.Said(), "");
    EXPECT_EQ(label("lblcnt5p2"), QStringLiteral("1"));
    EXPECT_EQ(label("lblcnt3p0"), QStringLiteral("1"));
    EXPECT_EQ(label("lblcnt0p0"), QStringLiteral("1"));
    EXPECT_EQ(label("lbldraw"), QStringLiteral("3"));
    const std::string report = window.findChild<bm::app::ReportBox*>(QStringLiteral("rtbreport"))->Text();
    EXPECT_EQ(report.substr(0, report.find("\n\nMatch 0+0")),
              "Lottery: EM550\nTicket File: w.txt\nDraw: 1 2 3 4 5 + 1 2\nChecking 3 Picks Against Above Draw Results\n"
              "\nMatch-5+2 For This Draw At Line 1\nMatch-3+0 For This Draw At Line 2");
    EXPECT_NE(report.find("Total Plays - 3\nTotal Losses - 1\nTotal Wins - 2\n"), std::string::npos) << report;
    EXPECT_TRUE(get("cmdsave")->isEnabled());

    // A draw that cannot happen is said in the window's words.
    static_cast<QLineEdit*>(get("txtN7"))->setText(QStringLiteral("1"));
    dialogs.Clear();
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdreset")), Qt::LeftButton);
    EXPECT_EQ(dialogs.Said(), "Brindlemark: The draw: second-pool number 1 is given twice");

    // A wheel of the other game's shape is refused at Load File.
    bmtest::WriteBytes(dir / "wheel" / "six.txt", "1 2 3 4 5 6\r\n");
    dialogs.Clear();
    dialogs.QueueFile(dir / "wheel" / "six.txt");
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdGo")), Qt::LeftButton);
    EXPECT_EQ(dialogs.Said(), "Brindlemark: " + (dir / "wheel" / "six.txt").string() +
                                  ": line 1 holds 6 numbers; a play of this game has 7");
    EXPECT_FALSE(get("cmdreset")->isEnabled());
}

// What `brindlemark check --draws` writes for the folder, with the extra options given; run as
// its own process with a home and settings of its own.
std::string CommandLineCsv(const fs::path& home, const QStringList& extra)
{
    const QString exe = QStringLiteral(BRINDLEMARK_EXE);
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), QString::fromStdString(home.string()));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString((home / ".config").string()));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString((home / ".local").string()));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(exe, QStringList{QStringLiteral("--home"), QString::fromStdString(home.string()),
                                   QStringLiteral("check"), QStringLiteral("--definition"), QStringLiteral("EM550"),
                                   QStringLiteral("--wheel"), QStringLiteral("w.txt"), QStringLiteral("--draws"),
                                   QString::fromStdString((home / "wheel" / "d.csv").string())} +
                           extra);
    EXPECT_TRUE(program.waitForFinished(120'000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    return program.readAllStandardOutput().toStdString();
}

// Draw History of a game of two pools: a row per draw with its Match m+j counts, the total, the
// CSV the command line writes; a range of days checks again, as --from and --to do.
TEST(TwoPoolChecker, DrawHistoryShowsEveryDrawAndSavesWhatTheCommandLineWrites)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder({"EM550"});
    bmtest::WriteBytes(dir / "Defs" / "EM550.marks", kStars);
    bmtest::WriteBytes(dir / "wheel" / "w.txt", "1 2 3 4 5 1 2\r\n1 2 3 40 41 12 11\r\n10,20,30,40,50,3,4\r\n");
    bmtest::WriteBytes(dir / "wheel" / "d.csv", "2024-01-02,1,2,3,4,5,1,2\r\n2024-01-05,1,2,3,40,41,12,11\r\n"
                                                "2024-01-09,10,20,30,40,49,3,5\r\n");
    ScriptedDialogs dialogs;
    Chosen choice(dir.path());
    bm::app::TwoPoolCheckerWindow window(choice);
    const auto get = [&](const char* name) { return window.findChild<QWidget*>(QString::fromLatin1(name)); };
    const auto label = [&](const char* name) { return window.findChild<QLabel*>(QString::fromLatin1(name))->text(); };
    const auto history = [&] {
        return dynamic_cast<bm::app::TwoPoolHistoryWindow*>(window.findChild<QWidget*>(QStringLiteral("frmHistory")));
    };
    ASSERT_NE(get("cmdHistory"), nullptr);
    // Without a ticket file there is nothing to check.
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdHistory")), Qt::LeftButton);
    EXPECT_EQ(dialogs.Said(), "Brindlemark: You MUST load a file in order to continue.");
    dialogs.Clear();
    dialogs.QueueFile(dir / "wheel" / "w.txt");
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdGo")), Qt::LeftButton);
    dialogs.QueueFile(dir / "wheel" / "d.csv");
    QTest::mouseClick(static_cast<QPushButton*>(get("cmdHistory")), Qt::LeftButton);
    EXPECT_EQ(dialogs.Said(), "");
    auto* shown = history();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(label("lblstatus"), QStringLiteral("Checked Against 3 Draws"));
    EXPECT_EQ(label("lbldraw"), QStringLiteral("9"));
    auto* table = shown->findChild<QTableWidget*>(QStringLiteral("tblHistory"));
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnCount(), 2 + 18 + 1);
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("1 2 3 4 5 +1 +2"));
    const std::string all = CommandLineCsv(dir.path(), {});
    EXPECT_EQ(shown->Csv(), all);
    EXPECT_NE(all.find("2024-01-09"), std::string::npos) << all;

    // The days from the 3rd on: the draws of those days only, as --from gives them.
    shown->findChild<QLineEdit*>(QStringLiteral("txtFrom"))->setText(QStringLiteral("2024-01-03"));
    QTest::mouseClick(shown->findChild<QPushButton*>(QStringLiteral("cmdRecheck")), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* ranged = history();
    ASSERT_NE(ranged, nullptr);
    EXPECT_EQ(ranged->findChild<QTableWidget*>(QStringLiteral("tblHistory"))->rowCount(), 2);
    EXPECT_EQ(ranged->Csv(), CommandLineCsv(dir.path(), {QStringLiteral("--from"), QStringLiteral("2024-01-03")}));
    EXPECT_EQ(label("lblstatus"), QStringLiteral("Checked Against 2 Draws"));
    EXPECT_EQ(dialogs.Said(), "");
}

// Check Tickets opens it for a definition with a second pool, the powerball checker for a
// powerball definition with one.
// Escape during a run asks as the other checkers do: Yes stops with the counts so far and no
// summary, No goes on to the end.
TEST(TwoPoolChecker, EscapeAsksAndYesStopsWithTheCountsSoFar)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder();
    bmtest::WriteBytes(dir / "Defs" / "EM550.marks", kStars);
    std::string plays;
    for (int i = 0; i < 3 * 4096; ++i)
        plays += "1 2 3 4 5 1 2\r\n";
    bmtest::WriteBytes(dir / "wheel" / "w.txt", plays);
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "Yes" : "No");
        ScriptedDialogs dialogs;
        Chosen choice(dir.path());
        bm::app::TwoPoolCheckerWindow window(choice, nullptr, 0);
        const auto get = [&](const char* name) { return window.findChild<QWidget*>(QString::fromLatin1(name)); };
        const auto label = [&](const char* name) {
            return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        dialogs.QueueFile(dir / "wheel" / "w.txt");
        QTest::mouseClick(static_cast<QPushButton*>(get("cmdGo")), Qt::LeftButton);
        const char* draw[] = {"1", "2", "3", "4", "5", "1", "2"};
        for (int i = 0; i < 7; ++i)
            static_cast<QLineEdit*>(get(("txtN" + std::to_string(i + 1)).c_str()))
                ->setText(QString::fromLatin1(draw[i]));
        dialogs.QueueAnswer(stop ? bm::app::Answer::Yes : bm::app::Answer::No);
        window.show();
        QApplication::setActiveWindow(&window);
        QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        static_cast<QPushButton*>(get("cmdreset"))->click();
        // Seen at the first look, after 4,096 plays.
        EXPECT_EQ(dialogs.Said(),
                  "User Interrupt Request: Current count is 4096\nDo You Want To Abort This Operation?");
        const std::string report = window.findChild<bm::app::ReportBox*>(QStringLiteral("rtbreport"))->Text();
        if (stop) {
            EXPECT_EQ(label("lbldraw"), QStringLiteral("4,096"));
            EXPECT_EQ(label("lblcnt5p2"), QStringLiteral("4,096"));
            EXPECT_TRUE(label("lblstatus").startsWith(QStringLiteral("Operation Aborted By User At Line 4,095")))
                << label("lblstatus").toStdString();
            EXPECT_EQ(report.find("Total Plays"), std::string::npos);
            EXPECT_NE(report.find("Match-5+2 For This Draw At Line 4096\n"), std::string::npos);
            EXPECT_EQ(report.find("At Line 4097\n"), std::string::npos);
            EXPECT_FALSE(get("cmdsave")->isEnabled());
        } else {
            EXPECT_EQ(label("lbldraw"), QStringLiteral("12,288"));
            EXPECT_NE(report.find("Total Plays - "), std::string::npos);
            EXPECT_TRUE(get("cmdsave")->isEnabled());
        }
    }
}

TEST(TwoPoolChecker, CheckTicketsChoosesIt)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder({"PB569"});
    bm::app::CurrentDefinition current;
    current.definitionPath = dir / "Defs" / "EM550.def";
    current.definitionName = "EM550";
    current.listedName = "EM550.def";
    current.pickDigit = '5';
    current.definition.Pool = 50;
    current.definition.Pick = 5;
    EXPECT_EQ(bm::app::CheckerWindowFor(current).value_or(""), "frmChkwhl5");
    bmtest::WriteBytes(dir / "Defs" / "EM550.marks", kStars);
    EXPECT_EQ(bm::app::CheckerWindowFor(current).value_or(""), "frmChkwhl2P");
    std::string powerball = kStars;
    powerball.replace(powerball.find("Pick=2"), 6, "Pick=1");
    bmtest::WriteBytes(dir / "Defs" / "PB569.marks", powerball);
    current.definitionPath = dir / "Defs" / "PB569.def";
    current.definitionName = "PB569";
    current.bPB = true;
    EXPECT_EQ(bm::app::CheckerWindowFor(current).value_or(""), "frmChkwhlPB");
}

}  // namespace
