#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "definitions/editor/EditorRig.h"
#include "definitions/editor/GendefOpeners.h"
#include "slip/window/SlipView.h"
#include "windowing/window/Module1.h"

using bmtest::EditorRig;

namespace {

using bmtest::EditorRig;

// Typing every entry in focus order, Enter after each, puts each value in its own field and
// types nothing itself.
TEST(GendefMake, AbSixFromFortyNineWritesTheFileByteForByte)
{
    EditorRig rig;
    auto& editor = rig.Make();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Generate Playslip File"));

    rig.Fn()->setFocus();
    const char* typed[] = {"ab", "6",  "49",  "10", "2",   "5", "7", "7",  "190", "82", "12", "15", "3",
                           "2",  "35", "4.2", "45", "4.5", "1", "8", "15", "22",  "29", "36", "43"};
    for (std::size_t i = 0; i < std::size(typed); ++i) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed[i]));
        // Enter on the main keys or on the keypad.
        QTest::keyClick(QApplication::focusWidget(), i % 2 ? Qt::Key_Enter : Qt::Key_Return,
                        i % 2 ? Qt::KeypadModifier : Qt::NoModifier);
    }
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtR7"));
    EXPECT_TRUE(rig.R(7)->text().isEmpty()) << "Enter typed nothing";
    QTest::mouseClick(rig.Bon(0), Qt::LeftButton);

    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_EQ(bmtest::ReadBytes(rig.def("AB649")), bmtest::kLO649);
    EXPECT_EQ(rig.DefinitionCount(), 1);
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Saved");
    EXPECT_EQ(rig.reloads, 1);
    EXPECT_FALSE(rig.editor().isVisible());
}

TEST(GendefMake, AWriteThatFailsSaysSoAndKeepsTheEditorOpen)
{
    EditorRig rig;
    // A folder where the file should go: the rename into place cannot succeed.
    std::filesystem::create_directory(rig.def("AB649"));
    rig.Make();
    rig.FillSample();
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The definition was not saved:\ncannot write " +
                                      rig.def("AB649").string() +
                                      ": a folder of that name is in the way\n\n"
                                      "A definition file of that name that was there before is unchanged.");
    EXPECT_TRUE(rig.editor().isVisible());
    EXPECT_EQ(rig.reloads, 0);
    EXPECT_TRUE(std::filesystem::is_directory(rig.def("AB649")));
}

using bm::app::Answer;
using bmtest::EditorRig;
using bmtest::kLO649;
using bmtest::ReadBytes;

// The name's pick and pool come from the entries; the first two characters of the name lead.
TEST(GendefModify, SavesUnderTheNameTheEntriesGive)
{
    const struct {
        std::function<void(EditorRig&)> change;
        const char* name;
        std::string bytes;
    } cases[] = {
        {[](EditorRig& r) { r.Retype(r.M(11), QStringLiteral("3.25")); }, "LO649",
         std::string(kLO649).replace(std::string(kLO649).find("\r\n3\r\n"), 5, "\r\n3.25\r\n")},
        {[](EditorRig& r) { r.Retype(r.M(0), QStringLiteral("59")); }, "LO659", "59" + std::string(kLO649).substr(2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        EXPECT_EQ(rig.Modify("LO649.def").windowTitle(), QStringLiteral("Current Settings"));
        EXPECT_FALSE(rig.Save()->isVisible());
        c.change(rig);
        ASSERT_TRUE(rig.Save()->isVisible());
        QTest::mouseClick(rig.Save(), Qt::LeftButton);
        const bool sameFile = std::string(c.name) == "LO649";
        EXPECT_EQ(ReadBytes(rig.def(c.name)), c.bytes);
        // Another name is a new file: the old one stays as it was.
        EXPECT_EQ(ReadBytes(rig.def("LO649")), sameFile ? c.bytes : kLO649);
        EXPECT_EQ(rig.DefinitionCount(), sameFile ? 1 : 2);
        EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Modified And Saved");
        EXPECT_EQ(rig.reloads, 1);
        EXPECT_FALSE(rig.editor().isVisible());
    }
}

using bmtest::EditorRig;

void Set(QLineEdit* box, const char* text)
{
    box->setText(QString::fromLatin1(text));
}

// The messages and their order are the validation's own table; here one refusal: said, the
// field focused, nothing written, the editor left open. Rows beyond the panel's are then neither
// tested nor written.
TEST(GendefRefuses, WithGoBackAndTheFieldFocusedWritingNothing)
{
    EditorRig rig;
    rig.Make();
    rig.FillSample();
    Set(rig.R(0), "1.5");
    rig.R(11)->setFocus();
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Go Back: Entry For R1 Must Be A Whole Number");
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtR0"));
    EXPECT_EQ(rig.DefinitionCount(), 0);
    EXPECT_EQ(rig.reloads, 0);
    EXPECT_TRUE(rig.editor().isVisible());

    rig.dialogs.Clear();
    Set(rig.R(0), "1");
    Set(rig.M(7), "3");
    Set(rig.R(3), "");
    Set(rig.R(4), "junk");
    rig.Save()->click();
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Saved");
    const std::string bytes = bmtest::ReadBytes(rig.def("AB649"));
    EXPECT_EQ(bytes.substr(bytes.find("4.5\r\n")), "4.5\r\n1\r\n8\r\n15\r\n 1 \r\n 0 \r\n 1 \r\n");
}

}  // namespace

// The drawing follows what is typed: rows, columns and box width change the boxes drawn, the
// entry with the focus has its measurement marked, and entries that cannot be drawn keep the
// last drawing with a note saying why.
TEST(GendefDrawing, FollowsTheEntriesAsTheyAreTyped)
{
    EditorRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    rig.Modify("LO649.def");
    const auto* view = rig.Child<bm::app::SlipView>("picSlip");
    ASSERT_TRUE(view);
    const auto boxes = [&] { return view->drawing().boxes.size(); };
    EXPECT_EQ(boxes(), 2u * 7 * 5 * 7);
    EXPECT_EQ(view->drawing().labels.size(), 2u * 10);
    EXPECT_EQ(view->drawing().labels.back().text, "49");

    rig.Retype(rig.M(7), QStringLiteral("6"));  // rows
    EXPECT_EQ(boxes(), 2u * 6 * 5 * 7);
    EXPECT_EQ(view->drawing().labels.back().text, "42");
    rig.Retype(rig.M(10), QStringLiteral("8"));  // columns
    EXPECT_EQ(boxes(), 2u * 6 * 5 * 8);
    EXPECT_FALSE(view->drawing().dimension);  // a count has no measurement

    rig.Retype(rig.M(11), QStringLiteral("4"));  // box width
    ASSERT_TRUE(view->drawing().dimension);
    EXPECT_EQ(view->drawing().dimension->text, "Number Box Width: 4 mm");
    const bm::BoxRect first = view->drawing().boxes.front();
    EXPECT_FLOAT_EQ(first.x2 - first.x1, 4);
    EXPECT_FLOAT_EQ(view->drawing().dimension->x2 - view->drawing().dimension->x1, 4);
    EXPECT_TRUE(view->note().isEmpty());

    rig.Retype(rig.M(11), QStringLiteral("x"));
    EXPECT_EQ(view->note(), QStringLiteral("Not drawn yet: Entry For Number Box Width Is Not A Number"));
    EXPECT_EQ(boxes(), 2u * 6 * 5 * 8);
    EXPECT_FLOAT_EQ(view->drawing().boxes.front().x2 - view->drawing().boxes.front().x1, 4);
}

namespace {

using bm::app::frmGendef;

frmGendef* OpenEditor()
{
    return dynamic_cast<frmGendef*>(bm::app::FindForm(QStringLiteral("frmgendef")));
}

// From the main window: the list shows a saved definition, the current one stays, and a double
// click opens a definition in Modify mode.
TEST(GendefOpeners, MainWindowListFollowsASaveAndKeepsItsCurrentDefinition)
{
    bmtest::ProgramHome home({"PB569", "TK539"});
    bmtest::MainWindowRig rig(home);
    rig.windows.SetEditor(bm::app::GendefOpeners());
    rig.Click("cmdGendef");
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->mode(), bm::EditorMode::Make);
    bmtest::FillSample(*OpenEditor(), QStringLiteral("lo"));
    OpenEditor()->findChild<QPushButton*>(QStringLiteral("cmdreset"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenEditor(), nullptr);
    auto* list = rig.Child<QListWidget>("File1");
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("LO649.def"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("PB569.def"));
    EXPECT_EQ(rig.main().current().listedName, "PB569.def");

    rig.ClickRow(0, true);
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->mode(), bm::EditorMode::Modify);
    EXPECT_EQ(OpenEditor()->findChild<QLineEdit*>(QStringLiteral("txtFn"))->text(), QStringLiteral("LO649"));
    OpenEditor()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

using bm::app::Answer;
using bmtest::EditorRig;
using bmtest::kLO649;
using bmtest::ReadBytes;

const std::string kUnsaved = "Warning: You Haven't Saved Your Changes";

// Saving over a file the entries name asks first, unless it is the definition being modified;
// Cancel (the unanswered default) writes nothing and keeps the editor with its entries.
TEST(GendefQuestions, ReplacingAnotherDefinitionAsksFirst)
{
    const struct {
        bool make;
        const char* pool;  // typed into Pool; empty: left as loaded
        const char* target;
    } cases[] = {{true, "", "LO649"}, {false, "59", "LO659"}, {false, "", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.make ? "Make" : "Modify") + " pool " + c.pool);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.AddDefinition("LO659", "59" + std::string(kLO649).substr(2));
        if (c.make) {
            rig.Make();
            bmtest::FillSample(rig.editor(), QStringLiteral("lo"));
        } else {
            rig.Modify("LO649.def");
        }
        rig.Retype(rig.M(11), QStringLiteral("3.5"));
        if (*c.pool)
            rig.Retype(rig.M(0), QString::fromLatin1(c.pool));
        const std::string saved = c.target ? c.target : "LO649";
        const std::string before = ReadBytes(rig.def(saved));
        QTest::mouseClick(rig.Save(), Qt::LeftButton);
        if (c.target) {
            EXPECT_EQ(rig.dialogs.Said(), "Warning: " + rig.def(saved).string() +
                                              " already exists: it holds another slip definition of that name.\n\n"
                                              "Replace it with these entries?");
            EXPECT_EQ(rig.dialogs.messages().at(0).buttons, bm::app::Buttons::ReplaceCancel);
            EXPECT_EQ(ReadBytes(rig.def(saved)), before);
            EXPECT_TRUE(rig.editor().isVisible());
            EXPECT_EQ(rig.M(11)->text(), QStringLiteral("3.5"));
            EXPECT_EQ(rig.reloads, 0);
            rig.dialogs.QueueAnswer(Answer::Ok);
            QTest::mouseClick(rig.Save(), Qt::LeftButton);
        }
        EXPECT_EQ(rig.dialogs.messages().size(), c.target ? 3u : 1u);  // asked twice, then "Done"
        EXPECT_NE(ReadBytes(rig.def(saved)).find("\r\n3.5\r\n"), std::string::npos);
        EXPECT_FALSE(rig.editor().isVisible());
    }
}

// The question box itself: Enter and Escape take its default button, which keeps the edits; the
// buttons of the unsaved-changes question say what they do.
TEST(GendefQuestions, TheDefaultButtonOfAQuestionKeepsTheWork)
{
    const struct {
        bm::app::Buttons buttons;
        Qt::Key key;
        const char* captions;
        const char* keeps;
    } cases[] = {
        {bm::app::Buttons::OkCancel, Qt::Key_Return, "Cancel OK", "Cancel"},
        {bm::app::Buttons::ReplaceCancel, Qt::Key_Return, "Cancel Replace", "Cancel"},
        {bm::app::Buttons::DiscardKeep, Qt::Key_Return, "Discard Changes Keep Editing", "Keep Editing"},
        {bm::app::Buttons::DiscardKeep, Qt::Key_Escape, "Discard Changes Keep Editing", "Keep Editing"},
    };
    for (const auto& c : cases) {
        QString defaultText;
        QStringList captions;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            for (QAbstractButton* b : box->buttons())
                captions << b->text().remove(QLatin1Char('&'));
            QTest::keyClick(box, c.key);
        });
        EXPECT_EQ(bm::app::dialogs().Message(nullptr, QStringLiteral("Warning"), QStringLiteral("?"),
                                             bm::app::Icon::None, c.buttons),
                  Answer::Cancel);
        EXPECT_EQ(defaultText.remove(QLatin1Char('&')), QString::fromLatin1(c.keeps));
        captions.sort();
        EXPECT_EQ(captions.join(QLatin1Char(' ')), QString::fromLatin1(c.captions));
    }
}

// Unsaved Modify changes are never lost without the question: a double click on another
// definition, the close button, the close box and Exit all ask; Cancel keeps the editor, its
// changes and the program.
TEST(GendefQuestions, EveryWayOutAsksBeforeDroppingUnsavedChanges)
{
    bmtest::ProgramHome home({"LO649", "TK539"});
    bmtest::MainWindowRig rig(home);
    rig.windows.SetEditor(bm::app::GendefOpeners());
    rig.ClickRow(0, true);
    auto* editor = dynamic_cast<bm::app::frmGendef*>(bm::app::FindForm(QStringLiteral("frmGendef")));
    ASSERT_NE(editor, nullptr);
    auto* box = editor->findChild<QLineEdit*>(QStringLiteral("txtM11"));
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, QStringLiteral("4"));
    const QString typed = box->text();
    ASSERT_NE(typed, QStringLiteral("3"));

    const std::function<void()> ways[] = {
        [&] { rig.ClickRow(1, true); },
        [&] { QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("cmdxit")), Qt::LeftButton); },
        [&] { editor->close(); },
        [&] { rig.Click("cmdxit"); },
    };
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        rig.dialogs.Clear();
        ways[i]();
        EXPECT_EQ(rig.dialogs.Said(), kUnsaved) << "way " << i;
        EXPECT_EQ(rig.dialogs.messages().back().buttons, bm::app::Buttons::DiscardKeep) << "way " << i;
        EXPECT_TRUE(editor->isVisible()) << "way " << i;
        EXPECT_EQ(editor->findChild<QLineEdit*>(QStringLiteral("txtFn"))->text(), QStringLiteral("LO649"));
        EXPECT_EQ(box->text(), typed);
    }
    EXPECT_TRUE(bm::app::IsFormLoaded(QStringLiteral("frmMain")));
    rig.dialogs.QueueAnswer(Answer::Ok);
    rig.Click("cmdxit");
    EXPECT_FALSE(bm::app::IsFormLoaded(QStringLiteral("frmGendef")));
    EXPECT_FALSE(bm::app::IsFormLoaded(QStringLiteral("frmMain")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Change tracking as a user meets it, through key presses and clicks: the name alone is no
// change; a row entry is; typing the old text back still counts; so do the flags and the layout.
// An editor with unsaved changes asks, a new definition's (Make) as a loaded one's (Modify); a
// Make editor nothing was typed into closes without a question; none writes a file.
TEST(GendefQuestions, ChangesAreTrackedAsTheUserMakesThem)
{
    const auto type = [](const char* box, const char* text) {
        return [=](EditorRig& r) { r.Retype(r.Child<QLineEdit>(box), QString::fromLatin1(text)); };
    };
    const struct {
        std::function<void(EditorRig&)> change;
        bool shown;
        bool make = false;
    } cases[] = {{type("txtFn", "ZZ649"), false},
                 {type("txtR2", "16"), true},
                 {type("txtM11", "3"), true},
                 {[](EditorRig& r) { QTest::mouseClick(r.Bon(1), Qt::LeftButton); }, true},
                 {[](EditorRig& r) { QTest::mouseClick(r.Lay(1), Qt::LeftButton); }, true},
                 {type("txtM11", "4"), true, true},
                 {[](EditorRig&) {}, true, true},
                 {type("txtFn", "ZZ649"), true, true}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        c.make ? rig.Make() : rig.Modify("LO649.def");
        c.change(rig);
        EXPECT_EQ(rig.Save()->isVisible(), c.shown);
        const bool asks = c.make ? rig.M(11)->text() != QString() : c.shown;
        QTest::mouseClick(rig.Close(), Qt::LeftButton);
        EXPECT_EQ(rig.dialogs.Said(), asks ? kUnsaved : "");
        EXPECT_EQ(rig.editor().isVisible(), asks);  // the question's default keeps the editor
        EXPECT_EQ(rig.DefinitionCount(), 1);
        EXPECT_EQ(ReadBytes(rig.def("LO649")), kLO649);
    }
}

// A new definition being measured is never lost unasked: Escape, the close box and Close ask, the
// default answer keeps it, and "Discard Changes" closes. The editor opens in Name Of File and
// returns there after a refusal that is about the name.
TEST(GendefMake, EveryWayOutAsksAndTheFocusStartsInTheName)
{
    const std::function<void(EditorRig&)> ways[] = {
        [](EditorRig& r) { QTest::keyClick(&r.editor(), Qt::Key_Escape); },
        [](EditorRig& r) { r.editor().close(); },
        [](EditorRig& r) { QTest::mouseClick(r.Close(), Qt::LeftButton); },
    };
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(i);
        EditorRig rig;
        rig.Make();
        EXPECT_EQ(rig.FocusName(), QStringLiteral("txtFn"));
        rig.FillSample();
        ways[i](rig);
        EXPECT_EQ(rig.dialogs.Said(), kUnsaved);
        EXPECT_TRUE(rig.editor().isVisible());
        EXPECT_EQ(rig.M(0)->text(), QStringLiteral("49"));
        rig.dialogs.QueueAnswer(Answer::Ok);
        ways[i](rig);
        EXPECT_FALSE(rig.editor().isVisible());
        EXPECT_EQ(rig.DefinitionCount(), 0);
    }
    // A name that is taken, and not replaced, sends the user back to the name.
    EditorRig rig;
    rig.AddDefinition("LO649", kLO649);
    rig.Make();
    bmtest::FillSample(rig.editor(), QStringLiteral("lo"));
    QTest::mouseClick(rig.Save(), Qt::LeftButton);
    EXPECT_TRUE(bmtest::HasText(rig.dialogs.Said(), "already exists"));
    EXPECT_EQ(rig.FocusName(), QStringLiteral("txtFn"));
}

}  // namespace
