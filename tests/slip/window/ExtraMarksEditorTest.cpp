#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/AppTestSupport.h"
#include "common/AtomicFile.h"
#include "definitions/editor/EditorRig.h"
#include "printing/window/frmPreview.h"
#include "slip/window/SlipView.h"
#include "support/PrintJobSupport.h"
#include "windowing/Mnemonics.h"

using bm::app::Answer;
using bmtest::EditorRig;

namespace {

const char* const kMarks = "[Mark]\r\nWidth=60\r\nHeight=50\r\n[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n";

struct MarksRig : EditorRig {
    QLineEdit* Entry(const char* name) const { return Child<QLineEdit>(name); }
    QListWidget* List() const { return Child<QListWidget>("lstExtra"); }
    QPushButton* Button(const char* name) const { return Child<QPushButton>(name); }
    const bm::SlipDrawing& Drawing() const { return Child<bm::app::SlipView>("picSlip")->drawing(); }
    std::filesystem::path marks(const std::string& name) const { return def(name).replace_extension(".marks"); }
    // Modify on LO649 with these marks beside it.
    void ModifyWithMarks(const std::string& text)
    {
        AddDefinition("LO649", bmtest::kLO649);
        bmtest::WriteBytes(marks("LO649"), text);
        Modify("LO649.def");
    }

    // Types the five entries of an extra mark and presses Add with the keyboard.
    void AddByKeyboard(const QString& name, const QString& left, const QString& top, const QString& width,
                       const QString& height)
    {
        const std::pair<const char*, QString> typed[] = {{"txtExtraName", name},
                                                         {"txtExtraLeft", left},
                                                         {"txtExtraTop", top},
                                                         {"txtExtraWidth", width},
                                                         {"txtExtraHeight", height}};
        for (const auto& [box, text] : typed)
            Retype(Entry(box), text);
        // Enter in the last entry moves on to Add, as Tab would; Space presses it.
        QTest::keyClick(Entry("txtExtraHeight"), Qt::Key_Return);
        EXPECT_EQ(FocusName(), QStringLiteral("cmdExtraAdd"));
        QTest::keyClick(Button("cmdExtraAdd"), Qt::Key_Space);
    }
};

// A loaded definition shows its marks; the mark's size and the extras are drawn, the chosen extra
// marked; a change shows the save button, and Modify writes NAME.marks beside NAME.def.
TEST(ExtraMarksEditor, LoadsDrawsEditsAndSavesTheMarks)
{
    MarksRig rig;
    rig.ModifyWithMarks(kMarks);
    EXPECT_EQ(rig.Entry("txtMarkWidth")->text(), QStringLiteral("60"));
    EXPECT_EQ(rig.Entry("txtMarkHeight")->text(), QStringLiteral("50"));
    ASSERT_EQ(rig.List()->count(), 2);
    EXPECT_EQ(rig.List()->item(0)->text(), QStringLiteral("Draws 2: 20 across, 76 down, 4 x 2.5 mm"));
    EXPECT_TRUE(rig.Save()->isHidden());

    // The sized mark in each box of the first panel: 60 % of 3 mm, 50 % of 2 mm, centred.
    ASSERT_EQ(rig.Drawing().marks.size(), 49u);
    const bm::BoxRect first = rig.Drawing().marks.front();
    EXPECT_FLOAT_EQ(first.x1, 15.6f);
    EXPECT_FLOAT_EQ(first.x2, 17.4f);
    EXPECT_FLOAT_EQ(first.y1, 12.5f);
    EXPECT_FLOAT_EQ(first.y2, 13.5f);
    ASSERT_EQ(rig.Drawing().extras.size(), 2u);
    EXPECT_EQ(rig.Drawing().extras[1].text, "Yes");
    EXPECT_EQ(rig.Drawing().extras[1].box, (bm::BoxRect{150, 3, 155, 6}));
    EXPECT_EQ(rig.Drawing().markedExtra, -1);

    // Choosing one in the list fills the entries and marks it on the drawing.
    rig.List()->setFocus();
    rig.List()->setCurrentRow(1);
    EXPECT_EQ(rig.Entry("txtExtraName")->text(), QStringLiteral("Yes"));
    EXPECT_EQ(rig.Drawing().markedExtra, 1);
    rig.Retype(rig.Entry("txtExtraTop"), QStringLiteral("4.5"));
    EXPECT_EQ(rig.Drawing().markedExtra, 1);  // still the one being edited
    QTest::mouseClick(rig.Button("cmdExtraChange"), Qt::LeftButton);
    EXPECT_EQ(rig.List()->item(1)->text(), QStringLiteral("Yes: 150 across, 4.5 down, 5 x 3 mm"));
    EXPECT_FALSE(rig.Save()->isHidden());
    rig.Fn()->setFocus();
    EXPECT_EQ(rig.Drawing().markedExtra, -1);

    // Removing by the Delete key, adding by the keyboard.
    rig.List()->setFocus();
    rig.List()->setCurrentRow(0);
    QTest::keyClick(rig.List(), Qt::Key_Delete);
    ASSERT_EQ(rig.List()->count(), 1);
    rig.AddByKeyboard(QStringLiteral("Days"), QStringLiteral("60"), QStringLiteral("76"), QStringLiteral("6"),
                      QStringLiteral("2.5"));
    ASSERT_EQ(rig.List()->count(), 2);
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtExtraName"));
    rig.Retype(rig.Entry("txtMarkHeight"), QStringLiteral("80"));

    rig.dialogs.QueueAnswer(Answer::Ok);
    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Modified And Saved");
    EXPECT_EQ(bmtest::ReadBytes(rig.marks("LO649")),
              "[Mark]\r\nWidth=60\r\nHeight=80\r\n[Extra]\r\nYes=150 4.5 5 3\r\nDays=60 76 6 2.5\r\n");
    EXPECT_EQ(bmtest::ReadBytes(rig.def("LO649")), bmtest::kLO649);
}

// Off the sheet, over a number box, a name twice, a size of 0: refused with a message naming the
// mark, the entry at fault gets the focus and the list is unchanged.
TEST(ExtraMarksEditor, RefusesAMarkOffTheSheetOrOverANumberBox)
{
    const struct {
        const char *name, *left, *top, *width, *height;
        std::string said;
        const char* focus;
    } cases[] = {
        {"Edge", "295", "3", "5", "3",
         "Go Back: The extra mark \"Edge\" would lie at 295 mm across, 3 mm down, off the A4 sheet (landscape, 297 x "
         "210 mm)",
         "txtExtraLeft"},
        {"Over", "25", "21", "1", "1",
         "Go Back: The extra mark \"Over\" lies over the number box of row 3, column 3 of panel 1 in main panel 1 "
         "(number 17); it would print as that number played",
         "txtExtraLeft"},
        {"Yes", "20", "76", "4", "2", "Go Back: An Extra Mark Named \"Yes\" Is Already In The List", "txtExtraName"},
        {"Flat", "20", "76", "4", "0", "Go Back: Extra Mark Height Must Be At Least 0.1 mm", "txtExtraHeight"},
        {"Odd", "20", "7,6", "4", "2", "Go Back: Entry For Extra Mark Top Is Not A Number", "txtExtraTop"},
        {"A=B", "20", "76", "4", "2", "Go Back: Extra mark: the name \"A=B\" holds =, which the marks file cannot keep",
         "txtExtraName"},
    };
    MarksRig rig;
    rig.ModifyWithMarks(kMarks);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig.dialogs.Clear();
        rig.AddByKeyboard(QString::fromLatin1(c.name), QString::fromLatin1(c.left), QString::fromLatin1(c.top),
                          QString::fromLatin1(c.width), QString::fromLatin1(c.height));
        EXPECT_EQ(rig.dialogs.Said(), c.said);
        EXPECT_EQ(rig.FocusName(), QString::fromLatin1(c.focus));
        EXPECT_EQ(rig.List()->count(), 2);
    }
    EXPECT_TRUE(rig.Save()->isHidden());
}

// A save checks the percentages, and the extras against the slip as the entries now describe it:
// a box moved under an extra mark refuses the save and points at that mark.
TEST(ExtraMarksEditor, SaveRefusesBadSizesAndExtrasTheSlipNowCovers)
{
    MarksRig rig;
    rig.ModifyWithMarks(kMarks);
    const struct {
        const char* entry;
        const char* text;
        std::string said;
        const char* focus;
    } cases[] = {
        {"txtMarkWidth", "9", "Go Back: Mark Width Must Be A Whole Number From 10 To 100", "txtMarkWidth"},
        {"txtMarkHeight", "", "Go Back: No Entry For Mark Height", "txtMarkHeight"},
        // Vertical Gap Between Panels 50: row 7 of the second main panel then lies at 75.2 mm, under "Draws 2".
        {"txtM15", "50",
         "Go Back: The extra mark \"Draws 2\" lies over the number box of row 7, column 2 of panel 1 in main panel 2 "
         "(number 44); it would print as that number played",
         "lstExtra"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        rig.Modify("LO649.def");
        rig.dialogs.Clear();
        if (*c.text)
            rig.Retype(rig.Entry(c.entry), QString::fromLatin1(c.text));
        else
            rig.Entry(c.entry)->clear();
        QTest::mouseClick(rig.Save(), Qt::LeftButton);
        EXPECT_EQ(rig.dialogs.Said(), c.said);
        EXPECT_EQ(rig.FocusName(), QString::fromLatin1(c.focus));
        EXPECT_EQ(bmtest::ReadBytes(rig.marks("LO649")), kMarks);
    }
    EXPECT_EQ(rig.List()->currentRow(), 0);
}

// Make mode: no marks, no file; marks typed go into NAME.marks beside the new NAME.def. A new
// definition under the name of one with marks takes the new marks (none), not the old ones.
// Renaming in Modify mode (another pool) leaves the old pair and writes the new one.
TEST(ExtraMarksEditor, MarksGoWithTheDefinitionTheyWereSavedWith)
{
    MarksRig rig;
    rig.Make();
    rig.FillSample();
    rig.dialogs.QueueAnswer(Answer::Ok);
    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(rig.def("AB649")));
    EXPECT_FALSE(std::filesystem::exists(rig.marks("AB649")));

    bmtest::WriteBytes(rig.marks("AB649"), kMarks);
    rig.Make();
    rig.FillSample();
    rig.dialogs.QueueAnswer(Answer::Ok);  // replace AB649
    rig.dialogs.QueueAnswer(Answer::Ok);  // Done
    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(rig.marks("AB649")), "[Mark]\r\nWidth=100\r\nHeight=100\r\n[Extra]\r\n");

    bmtest::WriteBytes(rig.marks("AB649"), kMarks);
    rig.Modify("AB649.def");
    rig.Retype(rig.M(0), QStringLiteral("50"));  // pool
    rig.dialogs.QueueAnswer(Answer::Ok);
    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(rig.marks("AB650")),
              "[Mark]\r\nWidth=60\r\nHeight=50\r\n[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n");
    EXPECT_EQ(bmtest::ReadBytes(rig.marks("AB649")), kMarks);
    EXPECT_TRUE(std::filesystem::exists(rig.def("AB649")));
}

// A marks file the job would refuse cannot be modified either: a save would drop what it holds.
TEST(ExtraMarksEditor, RefusesToModifyADefinitionWithABrokenMarksFile)
{
    MarksRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    bmtest::WriteBytes(rig.marks("LO649"), "[Mark]\r\nWidth=150\r\n");
    rig.Make();
    EXPECT_FALSE(rig.editor().LoadDefinition("LO649.def"));
    EXPECT_EQ(rig.dialogs.Said(),
              "Brindlemark: The slip definition LO649 cannot be modified:\n" + rig.marks("LO649").string() +
                  ": line 2: Width 150 is out of range; the mark's width is 10 to 100 percent of the box");
    EXPECT_EQ(rig.editor().mode(), bm::EditorMode::Make);
}

// The marks are reached by Tab after the layout options, before the save button.
TEST(ExtraMarksEditor, KeyboardReachesEveryControl)
{
    MarksRig rig;
    rig.Make();
    rig.Lay(1)->setFocus();
    QStringList order;
    for (int i = 0; i < 22; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << rig.FocusName();
    }
    EXPECT_EQ(order.join(QLatin1Char(' ')),
              QStringLiteral("txtMarkWidth txtMarkHeight lstExtra txtExtraName txtExtraLeft txtExtraTop txtExtraWidth "
                             "txtExtraHeight cmdExtraAdd txtSecondPool txtSecondPick txtSecondLeft txtSecondTop "
                             "txtSecondColumns txtSecondWidth txtSecondHeight txtSecondAcross txtSecondDown txtBoard "
                             "cmdreset cmdxit txtFn"));
}

// Every caption of the extra marks has an Alt key, unique in its panel; pressing it (again, where
// another caption of the editor shares it) puts the focus into its entry or on its button.
TEST(ExtraMarksEditor, EveryCaptionHasAnAltKeyThatReachesIt)
{
    MarksRig rig;
    rig.Make();
    QApplication::setActiveWindow(&rig.editor());
    const auto captionOf = [&](QWidget* w) -> QString {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            return b->text();
        for (QLabel* l : rig.editor().findChildren<QLabel*>())
            if (l->buddy() == w)
                return l->text();
        return {};
    };
    // How many captions of the editor hold each key.
    std::map<char, int> holders;
    for (QWidget* w : rig.editor().findChildren<QWidget*>()) {
        const QString text = qobject_cast<QAbstractButton*>(w) ? qobject_cast<QAbstractButton*>(w)->text()
                             : qobject_cast<QLabel*>(w) && qobject_cast<QLabel*>(w)->buddy()
                                 ? qobject_cast<QLabel*>(w)->text()
                                 : QString();
        if (const char key = bm::MnemonicOf(text.toStdString()))
            ++holders[key];
    }
    std::set<char> inPanel;
    for (const char* name : {"txtMarkWidth", "txtMarkHeight", "lstExtra", "txtExtraName", "txtExtraLeft", "txtExtraTop",
                             "txtExtraWidth", "txtExtraHeight", "cmdExtraAdd", "cmdExtraChange", "cmdExtraRemove"}) {
        QWidget* target = rig.Child<QWidget>(name);
        const QString caption = captionOf(target);
        const char key = bm::MnemonicOf(caption.toStdString());
        ASSERT_NE(key, 0) << name << ": \"" << caption.toStdString() << "\" has no Alt key";
        EXPECT_TRUE(inPanel.insert(key).second) << name << " shares Alt+" << key << " in its panel";
        if (!target->isEnabled())
            continue;
        bool reached = false;
        for (int press = 0; press < holders[key] && !reached; ++press) {
            QTest::keyClick(&rig.editor(), static_cast<Qt::Key>(Qt::Key_A + (key - 'a')), Qt::AltModifier);
            reached = QApplication::focusWidget() == target;
        }
        EXPECT_TRUE(reached) << name << ": Alt+" << key;
    }
}

// The editor draws sample marks only while they are smaller than their boxes.
TEST(ExtraMarksEditor, DrawsSampleMarksOnlyWhenSmallerThanTheBox)
{
    MarksRig rig;
    rig.Make();
    rig.FillSample();
    EXPECT_TRUE(rig.Drawing().marks.empty());
    rig.Retype(rig.Entry("txtMarkWidth"), QStringLiteral("50"));
    ASSERT_EQ(rig.Drawing().marks.size(), 49u);
    EXPECT_FLOAT_EQ(rig.Drawing().marks.front().x1, 15.75f);
    EXPECT_FLOAT_EQ(rig.Drawing().marks.front().y1, 12.0f);
    rig.Retype(rig.Entry("txtMarkWidth"), QStringLiteral("5"));  // not a size: drawn as a full mark
    EXPECT_TRUE(rig.Drawing().marks.empty());
}

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

const bm::SlipDrawing& DrawingOf(bm::app::frmPreview& preview)
{
    return preview.findChild<bm::app::SlipView*>(QStringLiteral("picSlip"))->drawing();
}

// The preview shows the extra marks where the job prints them, named and in their colour, after
// the slip's number marks, and follows a marks file changed while it is open.
TEST(ExtraMarksPreview, ShowsTheExtrasAndFollowsTheMarksFile)
{
    ProgramHome home;
    bmtest::WriteBytes(home.defs() / "LO649.marks",
                       "[Mark]\r\nWidth=60\r\n[Extra]\r\nDraws 2=20 76 4 2.5\r\nYes=150 3 5 3\r\n");
    home.WriteWheel("w.txt", bmtest::Wheel(12));
    MainWindowRig rig(home);
    rig.Choose("LO649.def");
    rig.Child<QLineEdit>("txtTmarg")->setText(QStringLiteral("1"));
    rig.dialogs.QueueFile(home.wheel("w.txt"));
    rig.Click("cmdPreview");
    auto* preview = rig.window->findChild<bm::app::frmPreview*>(QStringLiteral("frmPreview"));
    ASSERT_TRUE(preview) << rig.dialogs.Said();

    const auto& drawing = DrawingOf(*preview);
    ASSERT_EQ(drawing.extras.size(), 2u);
    EXPECT_EQ(drawing.extras[0].text, "Draws 2");
    EXPECT_EQ(drawing.extras[0].box, (bm::BoxRect{20, 77, 24, 79.5f}));
    ASSERT_EQ(drawing.marks.size(), 60u + 2u);
    EXPECT_EQ(drawing.marks[60], drawing.extras[0].box);
    EXPECT_EQ(drawing.marks[61], drawing.extras[1].box);
    EXPECT_NEAR(drawing.marks[0].x2 - drawing.marks[0].x1, 1.8, 1e-5);

    // The editor (or another program saving as careful editors do) rewrites the marks: the
    // preview shows them a moment later.
    ASSERT_TRUE(bm::WriteFileAtomically(home.defs() / "LO649.marks", "[Extra]\r\nYes=150 3 5 3\r\n").ok());
    for (int waited = 0; waited < bmtest::kHangLimitMs && DrawingOf(*preview).extras.size() != 1; waited += 20)
        QTest::qWait(20);
    ASSERT_EQ(DrawingOf(*preview).extras.size(), 1u);
    EXPECT_EQ(DrawingOf(*preview).marks.size(), 60u + 1u);
    EXPECT_NEAR(DrawingOf(*preview).marks[0].x2 - DrawingOf(*preview).marks[0].x1, 3.0, 1e-5);
}

// A marks file the job would refuse refuses its definition when it is chosen, as a broken .def
// does; the definition chosen before stays.
TEST(ExtraMarksPreview, MainWindowRefusesADefinitionWithABrokenMarksFile)
{
    ProgramHome home;
    bmtest::WriteBytes(home.defs() / "PB569.marks", "[Mark]\r\nSize=60\r\n");
    MainWindowRig rig(home);
    rig.Choose("LO649.def");
    rig.dialogs.Clear();
    rig.Choose("PB569.def");
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The slip definition PB569.def cannot be used:\n" +
                                      (home.defs() / "PB569.marks").string() +
                                      ": line 2: unknown key \"Size\" in [Mark]; it takes Width and Height\n\n"
                                      "LO649.def stays the chosen definition.");
}

}  // namespace
