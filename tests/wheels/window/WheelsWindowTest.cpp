#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>

#include <gtest/gtest.h>

#include <set>

#include "app/AppTestSupport.h"
#include "app/HelpFile.h"
#include "app/frmHelp.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "wheels/WheelLibrary.h"
#include "wheels/window/WheelsWindow.h"
#include "windowing/window/Module1.h"
#include "windowing/window/WheelPrinter.h"
#include "windowing/window/WindowManners.h"

namespace {

namespace fs = std::filesystem;
using bm::app::WheelsWindow;
using bmtest::ScriptedDialogs;

// The main window's choice as the Wheels window sees it: a definition the test sets, no file;
// what it is asked to print is only noted.
class FakeChoice : public bm::DefinitionChoice, public bm::app::WheelPrinter {
public:
    explicit FakeChoice(const fs::path& home) : folder_(home) {}
    const bm::ProgramFolder& Folder() const override { return folder_; }
    bm::Result<bm::ChosenDefinition> ReadChosen() override
    {
        if (name.empty())
            return bm::Error{"No definition is chosen"};
        return bm::ChosenDefinition{folder_.definitionFile(name), name + ".def", name, definition};
    }
    std::shared_ptr<void> Listen(std::function<void()> changed) override
    {
        changed_ = std::move(changed);
        return nullptr;
    }
    void DefinitionsWritten() override {}
    void PrintWheel(const std::string& listed, const fs::path& wheel, bool preview) override
    {
        asked.push_back(listed + " " + wheel.filename().string() + (preview ? " preview" : " print"));
    }
    std::vector<std::string> asked;
    void Choose(const std::string& n, int pool, int pick, bool pb = false)
    {
        name = n;
        definition.Pool = pool;
        definition.Pick = pick;
        definition.bPB = pb;
        definition.bBon = false;
        if (changed_)
            changed_();
    }

    std::string name;
    bm::SlipDefinition definition;

private:
    bm::ProgramFolder folder_;
    std::function<void()> changed_;
};

class Wheels : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_.makeProgramFolder({"EM550", "LO649", "PB569", "PW569", "TK539"});
        for (const char* marks : {"EM550.marks", "PW569.marks"})
            fs::copy_file(fs::path(SAMPLE_DIR) / "Defs" / marks, dir_ / "Defs" / marks);
        choice_.Choose("LO649", 49, 6);
        Reopen();
    }
    void Reopen()
    {
        window_.reset();
        window_ = std::make_unique<WheelsWindow>(choice_, 0);
        window_->show();
    }
    // The window's own choice of definition, in its Game list.
    void Game(const char* listed)
    {
        auto* list = Get<QComboBox>("cboGame");
        const int at = list->findData(QString::fromLatin1(listed));
        ASSERT_GE(at, 0) << listed;
        list->setCurrentIndex(at);
    }
    template <typename T>
    T* Get(const char* name) const
    {
        auto* w = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string Text(const char* label) const { return Get<QLabel>(label)->text().toStdString(); }
    void Click(const char* button) { QTest::mouseClick(Get<QPushButton>(button), Qt::LeftButton); }
    QString Put(const std::string& name, const std::string& text)
    {
        bmtest::WriteBytes(dir_ / name, text);
        return QString::fromStdString((dir_ / name).string());
    }
    void OpenDesign(const QString& file)
    {
        dialogs_.QueueFile(file);
        Click("cmdDesign");
    }
    void Type(const QString& numbers)
    {
        auto* box = Get<QLineEdit>("txtNumbers");
        box->clear();
        QTest::keyClicks(box, numbers);
    }
    std::vector<std::string> Column(const char* table, int column) const
    {
        auto* t = Get<QTableWidget>(table);
        std::vector<std::string> out;
        for (int r = 0; r < t->rowCount(); ++r)
            out.push_back(t->item(r, column)->text().toStdString());
        return out;
    }

    bmtest::TempDir dir_;
    ScriptedDialogs dialogs_;
    FakeChoice choice_{dir_.path()};
    std::unique_ptr<WheelsWindow> window_;
};

TEST_F(Wheels, AppliesADesignAsTheNumbersAreTypedAndSavesItAsAWheel)
{
    OpenDesign(Put("design.txt", "# 0-based\n{ 0, 1, 2, 3, 4, 5 }\n{ 2, 3, 4, 5, 6, 7 }\n"));
    EXPECT_EQ(Text("lblDesign"), "design.txt: 2 plays of 6, labels 0 to 7");
    EXPECT_EQ(Text("lblApplyStatus"), "Type your 8 numbers.");
    EXPECT_FALSE(Get<QPushButton>("cmdSaveWheel")->isEnabled());

    const struct {
        const char* typed;
        const char* status;
        bool saves;
    } steps[] = {
        {"40 9 17 5", "4 numbers typed; the design needs 8.", false},
        {"40 9 17 5 1 2 3 3", "Your Numbers: 3 is given twice", false},
        {"40 9 17 5 1 2 3 50", "Your Numbers: 50 is not a number of LO649 (1 to 49)", false},
        {"40 9 17 5 1 2 3 4 6",
         "2 plays on your 8 numbers. The design has 8 labels, so the last 1 number typed is in no play.", true},
        {"40, 9, 17, 5, 1, 2, 3, 4", "2 plays on your 8 numbers.", true},
    };
    for (const auto& s : steps) {
        Type(QString::fromLatin1(s.typed));
        EXPECT_EQ(Text("lblApplyStatus"), s.status) << s.typed;
        EXPECT_EQ(Get<QPushButton>("cmdSaveWheel")->isEnabled(), s.saves) << s.typed;
    }
    EXPECT_EQ(Get<QPlainTextEdit>("txtPlays")->toPlainText(), QStringLiteral("1,2,5,9,17,40\n1,2,3,4,5,17\n"));

    // Saved into the wheel folder with CR LF, and ready on the Analyze tab.
    const QString saved = QString::fromStdString((dir_ / "wheel" / "mine.txt").string());
    dialogs_.QueueFile(saved);
    Click("cmdSaveWheel");
    ASSERT_EQ(dialogs_.shown().size(), 2u);
    EXPECT_EQ(dialogs_.shown()[1].folder.toStdString(), (dir_ / "wheel").string());
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "wheel" / "mine.txt"), "1,2,5,9,17,40\r\n1,2,3,4,5,17\r\n");
    EXPECT_TRUE(Text("lblApplyStatus").starts_with("Saved 2 plays in ")) << Text("lblApplyStatus");
    EXPECT_EQ(Text("lblWheel"), "mine.txt");
    EXPECT_TRUE(Get<QPushButton>("cmdAnalyze")->isEnabled());
    EXPECT_EQ(dialogs_.messages().size(), 0u);
}

TEST_F(Wheels, RefusesWhatDoesNotFitAndWritesNothing)
{
    // A design line at fault: a message naming the file and line; no design is taken.
    OpenDesign(Put("bad.txt", "1 2 3 4 5 6\n\n1 2 3 4 5 x\n"));
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_EQ(dialogs_.messages()[0].title, QStringLiteral("Go Back"));
    EXPECT_EQ(dialogs_.messages()[0].text.toStdString(),
              (dir_ / "bad.txt").string() + ": line 3: \"x\" is not a whole number");
    EXPECT_EQ(Text("lblDesign"), "No design opened");

    // Plays of 5 do not fit a 6-number game; a powerball game takes no design.
    OpenDesign(Put("five.txt", "1 2 3 4 5\n"));
    Type(QStringLiteral("1 2 3 4 5"));
    // It says what to do: a game whose plays fit, or another design.
    EXPECT_EQ(Text("lblApplyStatus"), "The design's plays hold 5 numbers; LO649 plays hold 6. Choose EM550 or TK539 "
                                      "in the Game list, or open a design of plays of 6.");
    Game("PB569.def");
    EXPECT_EQ(Text("lblApplyStatus"), "A design cannot be applied to a powerball game without its second pool. "
                                      "Choose another definition in the Game list.");
    EXPECT_FALSE(Get<QPushButton>("cmdSaveWheel")->isEnabled());
    Game("TK539.def");
    EXPECT_EQ(Text("lblApplyStatus"), "1 play on your 5 numbers.");

    // Never over the design itself nor into Defs.
    dialogs_.Clear();
    for (const fs::path& target : {dir_ / "five.txt", dir_ / "Defs" / "x.txt"}) {
        dialogs_.QueueFile(QString::fromStdString(target.string()));
        Click("cmdSaveWheel");
    }
    ASSERT_EQ(dialogs_.messages().size(), 2u);
    EXPECT_TRUE(dialogs_.messages()[0].text.contains(QStringLiteral("is an input")))
        << dialogs_.messages()[0].text.toStdString();
    EXPECT_TRUE(dialogs_.messages()[1].text.contains(QStringLiteral("Defs folder")))
        << dialogs_.messages()[1].text.toStdString();
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "five.txt"), "1 2 3 4 5\n");
    EXPECT_FALSE(fs::exists(dir_ / "Defs" / "x.txt"));
}

TEST_F(Wheels, AnalysesTheWheelIntoBothTablesAndTheChart)
{
    Get<QTabWidget>("tabWheels")->setCurrentIndex(1);
    dialogs_.QueueFile(Put("wheel/one.txt", "# one play\r\n1,2,3,4,5,6\r\n"));
    Click("cmdOpenWheel");
    EXPECT_EQ(Text("lblWheel"), "one.txt");
    Click("cmdAnalyze");
    // One play: a draw matches exactly what it holds of the play.
    const std::vector<std::string> counts{"6,096,454", "5,775,588", "1,851,150", "246,820", "13,545", "258", "1"};
    EXPECT_EQ(Column("tblGuarantee", 0), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(Column("tblGuarantee", 1), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(Column("tblGuarantee", 2), counts);
    EXPECT_EQ(Column("tblBest", 1), counts);
    ASSERT_TRUE(window_->coverage().has_value());
    const auto series = Get<QChartView>("chtBest")->chart()->series();
    ASSERT_EQ(series.size(), 1);
    const auto* bars = static_cast<QBarSeries*>(series[0])->barSets().at(0);
    ASSERT_EQ(bars->count(), 7);
    EXPECT_EQ(bars->at(0), 6096454.0);
    EXPECT_EQ(bars->at(6), 1.0);
    EXPECT_TRUE(Text("lblAnalyzeStatus").starts_with("1 play on 6 numbers. Processing Completed In "))
        << Text("lblAnalyzeStatus");
    EXPECT_FALSE(Get<QWidget>("prgAnalyze")->isVisible());
    EXPECT_EQ(Text("lblVerdict"),
              "Guarantees 6 if 6: whenever 6 drawn numbers are among the wheel's 6, a play matches at "
              "least 6 of them.\nThe worst draws (6,096,454) have a best play matching 0.");

    // Another game chosen: the tables no longer hold.
    Game("TK539.def");
    EXPECT_FALSE(window_->coverage().has_value());
    EXPECT_EQ(Get<QTableWidget>("tblBest")->rowCount(), 0);
    EXPECT_EQ(Text("lblAnalyzeStatus"), "Another definition is chosen: click Analyze for its game.");
    Game("LO649.def");

    // A play outside the game's pool is refused with the file and line.
    dialogs_.QueueFile(Put("wheel/bad.txt", "1,2,3,4,5,6\r\n1,2,3,4,5,60\r\n"));
    Click("cmdOpenWheel");
    Click("cmdAnalyze");
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_EQ(dialogs_.messages()[0].text.toStdString(),
              (dir_ / "wheel" / "bad.txt").string() + ": line 2: 60 is not a number of this game (1 to 49)");
}

TEST_F(Wheels, EscapeStopsTheAnalysis)
{
    QApplication::setActiveWindow(window_.get());
    window_->SetWheel(Put("wheel/one.txt", "1,2,3,4,5,6\r\n"));
    // The press waits in the queue until the analysis lets events through.
    QCoreApplication::postEvent(window_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    Get<QPushButton>("cmdAnalyze")->click();
    EXPECT_EQ(Text("lblAnalyzeStatus"), "Analysis Stopped: nothing shown");
    EXPECT_FALSE(window_->coverage().has_value());
    EXPECT_EQ(Get<QTableWidget>("tblBest")->rowCount(), 0);
    EXPECT_FALSE(window_->running());
    // Without Escape the same wheel runs through.
    Get<QPushButton>("cmdAnalyze")->click();
    EXPECT_TRUE(window_->coverage().has_value());
}

// The Make tab: numbers or a count, the pick following the definition, "T if M" and a limit.
class MakeTab : public Wheels {
protected:
    void SetUp() override
    {
        Wheels::SetUp();
        Get<QTabWidget>("tabWheels")->setCurrentIndex(2);
    }
    void Make(const QString& numbers, int pick, int match, int ifDrawn, int seconds = 10)
    {
        auto* box = Get<QLineEdit>("txtMakeNumbers");
        box->clear();
        QTest::keyClicks(box, numbers);
        Get<QSpinBox>("spnPick")->setValue(pick);
        Get<QSpinBox>("spnMatch")->setValue(match);
        Get<QSpinBox>("spnIf")->setValue(ifDrawn);
        Get<QSpinBox>("spnSeconds")->setValue(seconds);
        Get<QPushButton>("cmdMake")->click();
    }
    std::vector<std::vector<int>> Shown() const
    {
        std::vector<std::vector<int>> plays;
        for (const QString& line : Get<QPlainTextEdit>("txtMadePlays")->toPlainText().split('\n', Qt::SkipEmptyParts)) {
            plays.emplace_back();
            for (const QString& n : line.split(','))
                plays.back().push_back(n.toInt());
        }
        return plays;
    }
};

TEST_F(MakeTab, MakesTheSmallestKnownWheelOnYourNumbersAndSavesIt)
{
    EXPECT_EQ(Text("lblMakeGame"), "LO649: numbers from 1 to 49, plays of 6.");
    EXPECT_EQ(Get<QSpinBox>("spnPick")->value(), 6);
    EXPECT_FALSE(Get<QPushButton>("cmdPrint")->isEnabled());
    Make(QStringLiteral("41 3 9 14 20 27 33"), 6, 5, 5);
    EXPECT_EQ(Text("lblMakeResult"), "6 plays; lower bound 6 (Schonheim); best published 6, proven smallest.");
    // The wheel just made is what Print and Preview offer.
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
    EXPECT_TRUE(Get<QPushButton>("cmdPreview")->isEnabled());
    EXPECT_TRUE(Text("lblMakeStatus").starts_with("Made in ")) << Text("lblMakeStatus");
    // Every 5 of the 7 numbers lie in some play of 6: each play leaves out one number.
    std::set<int> left;
    for (const auto& play : Shown()) {
        ASSERT_EQ(play.size(), 6u);
        EXPECT_TRUE(std::is_sorted(play.begin(), play.end()));
        for (const int n : {3, 9, 14, 20, 27, 33, 41})
            if (std::find(play.begin(), play.end(), n) == play.end())
                left.insert(n);
    }
    EXPECT_EQ(left.size(), 6u);

    const QString saved = QString::fromStdString((dir_ / "wheel" / "made.txt").string());
    dialogs_.QueueFile(saved);
    Click("cmdSaveMade");
    ASSERT_EQ(dialogs_.shown().size(), 1u);
    EXPECT_EQ(dialogs_.shown()[0].folder.toStdString(), (dir_ / "wheel").string());
    std::string want = Get<QPlainTextEdit>("txtMadePlays")->toPlainText().toStdString();
    for (std::size_t at = want.find('\n'); at != std::string::npos; at = want.find('\n', at + 2))
        want.insert(at, "\r");
    EXPECT_EQ(bmtest::ReadBytes(dir_ / "wheel" / "made.txt"), want);

    // A count stands for 1 to N; another game brings its own pick.
    Game("TK539.def");
    EXPECT_EQ(Get<QSpinBox>("spnPick")->value(), 5);
    Make(QStringLiteral("9"), 3, 2, 2);
    EXPECT_EQ(Text("lblMakeResult"), "12 plays; lower bound 12 (Schonheim); best published 12, proven smallest; "
                                     "Steiner system S(2,3,9) from the ternary Golay code.");
    EXPECT_EQ(dialogs_.messages().size(), 0u);
}

TEST_F(MakeTab, ShowsALibraryDesignAndWhereItCameFrom)
{
    struct Library {
        Library() { bm::wheels::SetLibraryFolder(WHEEL_LIBRARY_DIR); }
        ~Library() { bm::wheels::SetLibraryFolder({}); }
    } library;
    Make(QStringLiteral("13"), 4, 3, 3, 3600);
    EXPECT_EQ(Text("lblMakeResult"), "78 plays; lower bound 78 (Schonheim); best published 78, proven smallest; "
                                     "best published, from the library.");
    EXPECT_TRUE(Text("lblMakeStatus").starts_with("Made in ")) << Text("lblMakeStatus");
    EXPECT_EQ(Shown().size(), 78u);
    EXPECT_TRUE(Get<QPushButton>("cmdSaveMade")->isEnabled());
}

TEST_F(MakeTab, RefusesWhatMakesNoSenseAndEscapeKeepsTheBestSoFar)
{
    const struct {
        const char* numbers;
        int pick, match, ifDrawn;
        const char* says;
    } cases[] = {
        {"10", 6, 4, 3, "the match 4 is more than the if 3"},
        {"1 2 3 50", 3, 2, 2, "Your Numbers: 50 is not a number of LO649 (1 to 49)"},
        {"50", 6, 3, 6, "Your Numbers: a count of 50 is not from 1 to 49."},
        {"5", 6, 3, 3, "plays of 6 cannot be taken from 5 numbers"},
    };
    for (const auto& c : cases) {
        dialogs_.Clear();
        Make(QString::fromLatin1(c.numbers), c.pick, c.match, c.ifDrawn);
        ASSERT_EQ(dialogs_.messages().size(), 1u) << c.says;
        EXPECT_EQ(dialogs_.messages()[0].title, QStringLiteral("Go Back"));
        EXPECT_EQ(dialogs_.messages()[0].text.toStdString(), c.says);
        EXPECT_FALSE(Get<QPushButton>("cmdSaveMade")->isEnabled());
    }

    // Escape waits in the queue until the search's first round lets events through: by then
    // the first wheel is complete, and it is kept, checked.
    dialogs_.Clear();
    QApplication::setActiveWindow(window_.get());
    QCoreApplication::postEvent(window_.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    Make(QStringLiteral("14"), 6, 5, 5, 3600);
    EXPECT_TRUE(Text("lblMakeStatus").starts_with("Stopped; the best wheel so far, in ")) << Text("lblMakeStatus");
    const auto plays = Shown();
    EXPECT_GE(plays.size(), 371u);  // the best published size
    EXPECT_TRUE(Text("lblMakeResult").starts_with(std::to_string(plays.size()) + " plays; lower bound "));
    EXPECT_TRUE(Get<QPushButton>("cmdSaveMade")->isEnabled());
    EXPECT_FALSE(window_->isHidden());
    EXPECT_EQ(dialogs_.messages().size(), 0u);
}

TEST_F(Wheels, EveryControlIsReachedFromTheKeyboard)
{
    QApplication::setActiveWindow(window_.get());
    EXPECT_EQ(QApplication::focusWidget(), Get<QLineEdit>("txtNumbers"));
    std::vector<std::string> reached;
    const auto tab = [&] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.push_back(QApplication::focusWidget()->objectName().toStdString());
    };
    // Save Wheel waits for plays; the tab bar comes round after Close.
    for (int i = 0; i < 5; ++i)
        tab();
    EXPECT_EQ(reached,
              (std::vector<std::string>{"cmdDesign", "txtPlays", "cmdClose", "cboGame", "qt_tabwidget_tabbar"}));
    // The Analyze tab by its shortcut, then its controls in turn.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(Get<QTabWidget>("tabWheels")->currentIndex(), 1);
    window_->SetWheel(Put("wheel/one.txt", "1,2,3,4,5,6\r\n"));
    Get<QWidget>("cmdOpenWheel")->setFocus();
    reached.clear();
    tab();
    EXPECT_EQ(reached, (std::vector<std::string>{"cmdAnalyze"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(window_->coverage().has_value());
}

// The window keeps its own definition whatever the main window chooses, and what was typed and
// opened when it is closed and opened again.
TEST_F(Wheels, ChoosesItsOwnDefinitionAndKeepsItsEntriesWhenReopened)
{
    auto* list = Get<QComboBox>("cboGame");
    std::vector<std::string> listed;
    for (int i = 0; i < list->count(); ++i)
        listed.push_back(list->itemText(i).toStdString());
    EXPECT_EQ(listed, (std::vector<std::string>{"EM550", "LO649", "PB569", "PW569", "TK539"}));
    EXPECT_EQ(list->currentText(), QStringLiteral("LO649"));

    OpenDesign(Put("five.txt", "1 2 3 4 5\n2 3 4 5 6\n"));
    Type(QStringLiteral("3 9 14 20 27 33"));
    Game("TK539.def");
    EXPECT_EQ(Text("lblApplyStatus"), "2 plays on your 6 numbers.");
    choice_.Choose("LO649", 49, 6);  // the main window's choice changes
    EXPECT_EQ(list->currentText(), QStringLiteral("TK539"));
    EXPECT_EQ(Text("lblApplyStatus"), "2 plays on your 6 numbers.");
    Get<QTabWidget>("tabWheels")->setCurrentIndex(2);
    Get<QLineEdit>("txtMakeNumbers")->setText(QStringLiteral("12"));
    Get<QSpinBox>("spnMatch")->setValue(2);
    window_->SetWheel(Put("wheel/one.txt", "1,2,3,4,5\r\n"));

    window_->close();
    Reopen();
    EXPECT_EQ(Get<QComboBox>("cboGame")->currentText(), QStringLiteral("TK539"));
    EXPECT_EQ(Get<QLineEdit>("txtNumbers")->text(), QStringLiteral("3 9 14 20 27 33"));
    EXPECT_EQ(Text("lblDesign"), "five.txt: 2 plays of 5, labels 1 to 6");
    EXPECT_EQ(Text("lblApplyStatus"), "2 plays on your 6 numbers.");
    EXPECT_EQ(window_->plays().size(), 2u);
    EXPECT_EQ(Text("lblWheel"), "one.txt");
    EXPECT_EQ(Get<QLineEdit>("txtMakeNumbers")->text(), QStringLiteral("12"));
    EXPECT_EQ(Get<QSpinBox>("spnMatch")->value(), 2);
    EXPECT_EQ(Get<QSpinBox>("spnPick")->value(), 5);
    EXPECT_EQ(dialogs_.messages().size(), 0u);
}

// A game of two pools: the second numbers are typed once, given to the plays in turn or every
// play with each of them, and a play line holds the main numbers, then the second ones.
TEST_F(Wheels, GivesTheSecondPoolsNumbersToThePlays)
{
    EXPECT_FALSE(Get<QLineEdit>("txtSecond")->isVisible());
    OpenDesign(Put("five.txt", "1 2 3 4 5\n2 3 4 5 6\n3 4 5 6 7\n"));
    Type(QStringLiteral("3 9 14 20 27 33 41"));
    Game("PW569.def");
    EXPECT_TRUE(Get<QLineEdit>("txtSecond")->isVisible());
    EXPECT_TRUE(Get<QCheckBox>("chkSecondAll")->isVisible());
    EXPECT_EQ(Text("lblApplyStatus"), "PW569 plays end in 1 number of its second pool (1 to 26): type the numbers to "
                                      "give them in Second Pool.");
    EXPECT_FALSE(Get<QPushButton>("cmdSaveWheel")->isEnabled());
    const struct {
        const char* game;
        const char* second;
        bool all;
        const char* plays;  // or the status when refused
    } cases[] = {
        {"PW569.def", "7 26", false, "3,9,14,20,27,7\n9,14,20,27,33,26\n14,20,27,33,41,7\n"},
        {"PW569.def", "7 26", true,
         "3,9,14,20,27,7\n3,9,14,20,27,26\n9,14,20,27,33,7\n9,14,20,27,33,26\n14,20,27,33,41,7\n14,20,27,33,41,26\n"},
        {"PW569.def", "27", false, "Second Pool: 27 is not a number of PW569's second pool (1 to 26)"},
        {"EM550.def", "2 11 5", false, "3,9,14,20,27,2,11\n9,14,20,27,33,2,5\n14,20,27,33,41,5,11\n"},
        {"EM550.def", "2", false, "Second Pool holds 1 number; EM550 plays take 2 second-pool numbers."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.game) + " " + c.second);
        Game(c.game);
        Get<QCheckBox>("chkSecondAll")->setChecked(c.all);
        Get<QLineEdit>("txtSecond")->setText(QString::fromLatin1(c.second));
        const bool refused = std::string(c.plays).find(',') == std::string::npos;
        if (refused) {
            EXPECT_EQ(Text("lblApplyStatus"), c.plays);
            EXPECT_TRUE(window_->plays().empty());
        } else {
            EXPECT_EQ(Get<QPlainTextEdit>("txtPlays")->toPlainText().toStdString(), c.plays);
        }
        EXPECT_EQ(Get<QPushButton>("cmdSaveWheel")->isEnabled(), !refused);
    }

    // The Make tab's wheel gets them too.
    Game("PW569.def");
    Get<QCheckBox>("chkSecondAll")->setChecked(false);
    Get<QLineEdit>("txtSecond")->setText(QStringLiteral("4"));
    Get<QTabWidget>("tabWheels")->setCurrentIndex(2);
    Get<QLineEdit>("txtMakeNumbers")->setText(QStringLiteral("6"));
    Get<QSpinBox>("spnPick")->setValue(5);
    Get<QSpinBox>("spnMatch")->setValue(5);
    Get<QSpinBox>("spnIf")->setValue(5);
    Get<QPushButton>("cmdMake")->click();
    const QStringList lines = Get<QPlainTextEdit>("txtMadePlays")->toPlainText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    for (const QString& line : lines)
        EXPECT_TRUE(line.endsWith(QStringLiteral(",4")) && line.count(',') == 5) << line.toStdString();
    const std::string made = Text("lblMakeResult");
    EXPECT_EQ(made.rfind("6 plays; ", 0), 0u) << made;
    Get<QLineEdit>("txtSecond")->clear();
    EXPECT_TRUE(Get<QPlainTextEdit>("txtMadePlays")->toPlainText().isEmpty());
    EXPECT_FALSE(Get<QPushButton>("cmdSaveMade")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("cmdPrint")->isEnabled());
    // Typed again, the plays come back with what was said of the wheel, not the refusal.
    Get<QLineEdit>("txtSecond")->setText(QStringLiteral("4"));
    EXPECT_TRUE(Get<QPushButton>("cmdPrint")->isEnabled());
    EXPECT_EQ(Get<QPlainTextEdit>("txtMadePlays")->toPlainText().split('\n', Qt::SkipEmptyParts).size(), 6);
    EXPECT_EQ(Text("lblMakeResult"), made);
    EXPECT_EQ(dialogs_.messages().size(), 0u);
}

// Print and Preview hand the plays of the tab shown to the window that prints, with the Wheels
// window's definition; plays not yet saved are saved first, and a cancelled save prints nothing.
TEST(WheelsPrint, PrintsAndPreviewsThePlaysJustAppliedOrMade)
{
    bmtest::TempDir dir;
    dir.makeProgramFolder({"LO649", "TK539"});
    ScriptedDialogs dialogs;
    FakeChoice choice(dir.path());
    choice.Choose("LO649", 49, 6);
    WheelsWindow window(choice, 0);
    window.show();
    const auto get = [&](const char* name) { return window.findChild<QPushButton*>(QString::fromLatin1(name)); };
    ASSERT_NE(get("cmdPrint"), nullptr);
    EXPECT_TRUE(get("cmdPrint")->isVisible());
    EXPECT_FALSE(get("cmdPrint")->isEnabled());
    window.ChooseDefinition(QStringLiteral("TK539.def"));
    bmtest::WriteBytes(dir / "d.txt", "1 2 3 4 5\n");
    window.LoadDesign(QString::fromStdString((dir / "d.txt").string()));
    window.findChild<QLineEdit*>(QStringLiteral("txtNumbers"))->setText(QStringLiteral("1 2 3 4 5"));
    EXPECT_TRUE(get("cmdPrint")->isEnabled());

    dialogs.QueueFile(QString());  // the save is cancelled: nothing printed
    get("cmdPrint")->click();
    EXPECT_TRUE(choice.asked.empty());
    dialogs.QueueFile(QString::fromStdString((dir / "wheel" / "mine.txt").string()));
    get("cmdPrint")->click();
    get("cmdPreview")->click();  // saved already: no second dialog
    EXPECT_EQ(choice.asked, (std::vector<std::string>{"TK539.def mine.txt print", "TK539.def mine.txt preview"}));
    EXPECT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(bmtest::ReadBytes(dir / "wheel" / "mine.txt"), "1,2,3,4,5\r\n");
    EXPECT_EQ(dialogs.messages().size(), 0u);
}

TEST(WheelsButton, SitsUnderPrintPlayslipsOpensTheWindowAndF1ShowsItsPage)
{
    bmtest::ProgramHome home;
    bmtest::MainWindowRig rig(home);
    bm::app::RegisterProgramWindows(rig.windows);
    auto* button = rig.Child<QPushButton>("cmdWheels");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text().remove(QLatin1Char('&')), QStringLiteral("Wheels"));
    auto* grid = qobject_cast<QGridLayout*>(button->parentWidget()->layout()->itemAt(2)->layout());
    ASSERT_NE(grid, nullptr);
    int row = -1, column = -1, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(button), &row, &column, &rows, &columns);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(column, 0);
    // Reached from the keyboard: Tab goes on from Preview to it.
    EXPECT_EQ(rig.Child<QPushButton>("cmdPreview")->nextInFocusChain(), button);
    EXPECT_NE(button->focusPolicy() & Qt::TabFocus, 0);

    rig.Choose("LO649.def");
    rig.Click("cmdWheels");
    QWidget* wheels = bm::app::FindForm(QStringLiteral("frmWheels"));
    ASSERT_NE(wheels, nullptr);
    EXPECT_EQ(bm::app::HelpPageFor(wheels), QStringLiteral("wheels.html"));
    QApplication::setActiveWindow(wheels);
    QTest::keyClick(wheels, Qt::Key_F1);
    auto* help = dynamic_cast<bm::app::frmHelp*>(bm::app::FindForm(QStringLiteral("frmHelp")));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->page(), QStringLiteral("wheels.html"));
    EXPECT_TRUE(rig.dialogs.shown().empty());
    bm::app::CloseOtherForms(rig.window.get());
}

}  // namespace

namespace {

// Pictures for a person to look at: run with BM_SHOT_DIR set, on a real display (Xvfb) at the
// screen size and QT_SCALE_FACTOR wanted. Each tab of the window fitted to the screen, which it
// must lie on wholly.
TEST_F(Wheels, Screenshots)
{
    if (qgetenv("BM_SHOT_DIR").isEmpty())
        GTEST_SKIP() << "BM_SHOT_DIR is not set";
    Game("PW569.def");
    OpenDesign(Put("five.txt", "1 2 3 4 5\n2 3 4 5 6\n3 4 5 6 7\n"));
    Type(QStringLiteral("3 9 14 20 27 33 41"));
    Get<QLineEdit>("txtSecond")->setText(QStringLiteral("7 26"));
    bm::app::FitToScreen(window_.get());
    const QRect free = bm::app::AvailableFor(window_.get());
    const QString dir = QString::fromLocal8Bit(qgetenv("BM_SHOT_DIR"));
    const char* names[] = {"wheels-apply", "wheels-analyze", "wheels-make"};
    for (int tab = 0; tab < 3; ++tab) {
        Get<QTabWidget>("tabWheels")->setCurrentIndex(tab);
        if (tab == 1) {
            window_->SetWheel(Put("wheel/one.txt", "1,2,3,4,5,6\r\n7,8,9,10,11,12\r\n"));
            Game("LO649.def");
            Click("cmdAnalyze");
        }
        if (tab == 2) {
            Game("PW569.def");
            Get<QLineEdit>("txtMakeNumbers")->setText(QStringLiteral("9"));
            Get<QSpinBox>("spnMatch")->setValue(3);
            Get<QSpinBox>("spnIf")->setValue(4);
            Get<QSpinBox>("spnSeconds")->setValue(1);
            Get<QPushButton>("cmdMake")->click();
        }
        QApplication::processEvents();
        EXPECT_TRUE(free.contains(window_->frameGeometry()) || free.contains(window_->geometry())) << names[tab];
        EXPECT_TRUE(window_->grab().save(dir + QStringLiteral("/%1.png").arg(QLatin1String(names[tab]))));
    }
}

}  // namespace
