// The editor's second pool and board boxes: shown from the marks file, drawn on every panel,
// refused over another mark or when they do not read (the entry at fault focused), and saved
// with the rest of the marks file as it was.

#include <set>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "definitions/editor/EditorRig.h"
#include "slip/window/SlipView.h"

using bm::app::Answer;
using bmtest::EditorRig;

namespace {

// LO649: two main panels of five; a grid of five second numbers in a row under each panel, and
// a box beside it.
const std::string kMarks = "[Mark]\r\nWidth=100\r\nHeight=100\r\n[Extra]\r\nDraws=150 75 5 3\r\n[Second]\r\nPool=5\r\n"
                           "Pick=1\r\nLeft=0\r\nTop=28\r\nColumns=5\r\nWidth=3\r\nHeight=2\r\nAcross=4.5\r\nDown=4\r\n"
                           "[Board]\r\nQP=32 28 2 2\r\n";

struct SecondRig : EditorRig {
    QLineEdit* Entry(const char* name) const { return Child<QLineEdit>(name); }
    QPlainTextEdit* Board() const { return Child<QPlainTextEdit>("txtBoard"); }
    const bm::SlipDrawing& Drawing() const { return Child<bm::app::SlipView>("picSlip")->drawing(); }
    std::filesystem::path marks() const { return def("LO649").replace_extension(".marks"); }
    std::string SaveAndSay()
    {
        dialogs.Clear();
        dialogs.QueueAnswer(Answer::Ok);
        QTest::mouseClick(Save(), Qt::LeftButton);
        return dialogs.Said();
    }
};

TEST(SecondPoolEditor, ShowsDrawsRefusesAndSavesTheSecondPool)
{
    SecondRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    bmtest::WriteBytes(rig.marks(), kMarks);
    rig.Modify("LO649.def");
    const std::pair<const char*, const char*> shown[] = {
        {"txtSecondPool", "5"},   {"txtSecondPick", "1"},     {"txtSecondLeft", "0"},
        {"txtSecondTop", "28"},   {"txtSecondColumns", "5"},  {"txtSecondWidth", "3"},
        {"txtSecondHeight", "2"}, {"txtSecondAcross", "4.5"}, {"txtSecondDown", "4"}};
    for (const auto& [name, text] : shown)
        EXPECT_EQ(rig.Entry(name)->text(), QString::fromLatin1(text)) << name;
    EXPECT_EQ(rig.Board()->toPlainText(), QStringLiteral("QP=32 28 2 2\n"));
    // The extra, then per panel its five grid boxes and its board box.
    ASSERT_EQ(rig.Drawing().extras.size(), 1u + 10 * 6);
    EXPECT_EQ(rig.Drawing().extras[1].box, (bm::BoxRect{15, 40, 18, 42}));
    EXPECT_TRUE(rig.Save()->isHidden());

    // Over row 7, a value that is no number, a board box of two values: refused, the entry focused.
    const struct {
        const char* top;
        QString board;
        std::string said;
        const char* focus;
    } refused[] = {
        {"25", QStringLiteral("QP=32 28 2 2\n"),
         "Go Back: The second grid's box of number 1 in panel 1 of main panel 1 lies over the number box of row 7, "
         "column 1 of panel 1 of main panel 1 (number 43); it would print as that number played",
         "txtSecondPool"},
        {"x", QStringLiteral("QP=32 28 2 2\n"),
         "Go Back: Second Pool: Top \"x\" is not a number of millimetres (decimal point)", "txtSecondTop"},
        {"28", QStringLiteral("QP=32 28 2 2\nBad=1 2\n"),
         "Go Back: Board Boxes, line 2: board box \"Bad\" holds 2 values; it takes LEFT TOP WIDTH HEIGHT in mm from "
         "the panel's first number box",
         "txtBoard"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.top);
        rig.Retype(rig.Entry("txtSecondTop"), QString::fromLatin1(c.top));
        rig.Board()->setPlainText(c.board);
        EXPECT_FALSE(rig.Save()->isHidden());
        EXPECT_EQ(rig.SaveAndSay(), c.said);
        EXPECT_EQ(rig.FocusName(), QString::fromLatin1(c.focus));
        EXPECT_EQ(bmtest::ReadBytes(rig.marks()), kMarks);
    }

    // A change saved: only it differs in the file.
    rig.Board()->setPlainText(QStringLiteral("QP=32 28 2 2\n"));
    rig.Retype(rig.Entry("txtSecondTop"), QStringLiteral("28.5"));
    EXPECT_EQ(rig.Drawing().extras[1].box, (bm::BoxRect{15, 40.5f, 18, 42.5f}));
    EXPECT_EQ(rig.SaveAndSay(), "Done: Definition Modified And Saved");
    std::string expected = kMarks;
    expected.replace(expected.find("Top=28"), 6, "Top=28.5");
    EXPECT_EQ(bmtest::ReadBytes(rig.marks()), expected);
    EXPECT_EQ(bmtest::ReadBytes(rig.def("LO649")), bmtest::kLO649);
}

// Every new entry is reached by Tab and named by an Alt key of its caption.
TEST(SecondPoolEditor, EveryEntryHasItsAltKey)
{
    SecondRig rig;
    rig.Make();
    std::set<QChar> keys;
    for (const char* name : {"txtSecondPool", "txtSecondPick", "txtSecondLeft", "txtSecondTop", "txtSecondColumns",
                             "txtSecondWidth", "txtSecondHeight", "txtSecondAcross", "txtSecondDown", "txtBoard"}) {
        QWidget* entry = rig.Child<QWidget>(name);
        QLabel* caption = nullptr;
        for (QLabel* l : rig.editor().findChildren<QLabel*>())
            if (l->buddy() == entry)
                caption = l;
        ASSERT_NE(caption, nullptr) << name;
        const int amp = caption->text().indexOf(QLatin1Char('&'));
        ASSERT_GE(amp, 0) << name << ": " << caption->text().toStdString();
        EXPECT_TRUE(keys.insert(caption->text().at(amp + 1).toLower()).second) << name;
    }
}

}  // namespace

#include <QApplication>
#include <QScreen>

#include "checking/window/TwoPoolCheckerWindow.h"
#include "printing/window/frmPreview.h"
#include "windowing/window/WindowManners.h"

namespace {

// The window as it would open, fitted to the screen, grabbed into BM_SHOT_DIR/NAME.png; it must lie
// wholly on the screen's free area.
void Shoot(QWidget& window, const char* name)
{
    bm::app::FitToScreen(&window);
    window.show();
    QApplication::processEvents();
    const QRect free = bm::app::AvailableFor(&window);
    EXPECT_TRUE(free.contains(window.frameGeometry()) || free.contains(window.geometry()))
        << name << " does not fit the screen";
    const QString file =
        QString::fromLocal8Bit(qgetenv("BM_SHOT_DIR")) + QStringLiteral("/%1.png").arg(QLatin1String(name));
    EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
}

// Pictures of the new windows for a person to look at: run with BM_SHOT_DIR set, on a real
// display (Xvfb) at the screen size and QT_SCALE_FACTOR wanted.
TEST(SecondPoolScreenshots, EditorPreviewAndChecker)
{
    if (qgetenv("BM_SHOT_DIR").isEmpty())
        GTEST_SKIP() << "BM_SHOT_DIR is not set";
    const std::filesystem::path sample(SAMPLE_DIR);
    {
        SecondRig rig;
        rig.AddDefinition("PW569", bmtest::ReadBytes(sample / "Defs/PW569.def"));
        bmtest::WriteBytes(rig.def("PW569").replace_extension(".marks"),
                           bmtest::ReadBytes(sample / "Defs/PW569.marks"));
        Shoot(rig.Modify("PW569.def"), "editor");
    }
    {
        bmtest::ProgramHome home({"PW569"});
        bmtest::WriteBytes(home.defs() / "PW569.marks", bmtest::ReadBytes(sample / "Defs/PW569.marks"));
        home.WriteWheel("pw.txt", bmtest::ReadBytes(sample / "wheel/PW569-sample.txt"));
        bmtest::MainWindowRig rig(home);
        rig.Choose("PW569.def");
        rig.dialogs.QueueFile(home.wheel("pw.txt"));
        rig.Click("cmdPreview");
        auto* preview = rig.window->findChild<bm::app::frmPreview*>(QStringLiteral("frmPreview"));
        ASSERT_TRUE(preview) << rig.dialogs.Said();
        Shoot(*preview, "preview");
    }
    {
        bmtest::ProgramHome home(std::vector<std::string>{});
        bmtest::WriteBytes(home.defs() / "EM550.def", bmtest::ReadBytes(sample / "Defs/EM550.def"));
        bmtest::WriteBytes(home.defs() / "EM550.marks", bmtest::ReadBytes(sample / "Defs/EM550.marks"));
        home.WriteWheel("em.txt", bmtest::ReadBytes(sample / "wheel/EM550-sample.txt"));
        bmtest::MainWindowRig rig(home);
        rig.Choose("EM550.def");
        bm::app::TwoPoolCheckerWindow checker(rig.main());
        rig.dialogs.QueueFile(home.wheel("em.txt"));
        QTest::mouseClick(checker.findChild<QPushButton*>(QStringLiteral("cmdGo")), Qt::LeftButton);
        const char* draw[] = {"3", "14", "24", "31", "46", "1", "2"};
        for (int i = 0; i < 7; ++i)
            checker.findChild<QLineEdit*>(QStringLiteral("txtN%1").arg(i + 1))->setText(QString::fromLatin1(draw[i]));
        QTest::mouseClick(checker.findChild<QPushButton*>(QStringLiteral("cmdreset")), Qt::LeftButton);
        Shoot(checker, "checker");
    }
}

}  // namespace
