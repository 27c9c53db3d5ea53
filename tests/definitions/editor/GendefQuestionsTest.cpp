#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "definitions/editor/EditorRig.h"
#include "definitions/editor/GendefOpeners.h"

namespace {

using bm::app::Answer;
using bmtest::EditorRig;
using bmtest::kLO649;
using bmtest::ReadBytes;

const std::string kUnsaved = "Warning: You Haven't Saved Your Changes";

// Saving over a file the entries name asks first, unless it is the definition being modified;
// Cancel writes nothing and keeps the editor with its entries.
TEST(GendefQuestions, ReplacingAnotherDefinitionAsksFirst)
{
    const std::string other = std::string(kLO649).replace(0, 2, "59");
    const struct {
        bool make;
        const char* pool;  // typed into Pool; empty: left as loaded
        bool asks;
    } cases[] = {{true, "", true}, {false, "59", true}, {false, "", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.make ? "Make" : "Modify") + " pool " + c.pool);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.AddDefinition("LO659", other);
        if (c.make) {
            rig.Make();
            rig.FillSample();
            rig.Retype(rig.Fn(), QStringLiteral("lo"));
        } else {
            rig.Modify("LO649.def");
        }
        rig.Retype(rig.M(11), QStringLiteral("3.5"));
        if (*c.pool)
            rig.Retype(rig.M(0), QString::fromLatin1(c.pool));
        const std::string target = c.make ? "LO649" : c.pool[0] ? "LO659" : "LO649";
        const std::string before = ReadBytes(rig.def(target));
        QTest::mouseClick(rig.Save(), Qt::LeftButton);  // unanswered: the default, Cancel
        if (c.asks) {
            ASSERT_EQ(rig.dialogs.messages().size(), 1u) << rig.dialogs.Said();
            EXPECT_NE(rig.dialogs.Said().find(rig.def(target).string() + " already exists"), std::string::npos)
                << rig.dialogs.Said();
            EXPECT_EQ(rig.dialogs.messages()[0].buttons, bm::app::Buttons::ReplaceCancel);
            EXPECT_EQ(ReadBytes(rig.def(target)), before);
            EXPECT_TRUE(rig.editor().isVisible());
            EXPECT_EQ(rig.M(11)->text(), QStringLiteral("3.5"));
            EXPECT_EQ(rig.reloads, 0);
            rig.dialogs.Clear();
            rig.dialogs.QueueAnswer(Answer::Ok);
            QTest::mouseClick(rig.Save(), Qt::LeftButton);
            EXPECT_EQ(rig.dialogs.messages().size(), 2u);
        } else {
            EXPECT_EQ(rig.dialogs.messages().size(), 1u);
        }
        EXPECT_NE(ReadBytes(rig.def(target)).find("\r\n3.5\r\n"), std::string::npos);
        EXPECT_FALSE(rig.editor().isVisible());
    }
}

// Unsaved Modify changes are never lost without the question: the close button and the close
// box ask, and the default answer keeps them.
TEST(GendefQuestions, ClosingWithUnsavedChangesAsksAndTheDefaultKeepsThem)
{
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "close button");
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.Modify("LO649.def");
        rig.Retype(rig.M(11), QStringLiteral("4"));
        const auto close = [&] {
            if (closeBox)
                rig.editor().close();
            else
                QTest::mouseClick(rig.Close(), Qt::LeftButton);
        };
        close();
        EXPECT_EQ(rig.dialogs.Said(), kUnsaved);
        EXPECT_TRUE(rig.editor().isVisible());
        EXPECT_EQ(rig.M(11)->text(), QStringLiteral("4"));
        rig.dialogs.QueueAnswer(Answer::Ok);
        close();
        EXPECT_FALSE(rig.editor().isVisible());
        EXPECT_EQ(ReadBytes(rig.def("LO649")), kLO649);
    }
}

// The question box itself: Enter takes its default button, which keeps the edits.
TEST(GendefQuestions, TheDefaultButtonOfAQuestionKeepsTheWork)
{
    for (const bm::app::Buttons buttons : {bm::app::Buttons::OkCancel, bm::app::Buttons::ReplaceCancel}) {
        QString defaultText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(bm::app::dialogs().Message(nullptr, QStringLiteral("Warning"), QStringLiteral("?"),
                                              bm::app::Icon::None, buttons),
                  Answer::Cancel);
        EXPECT_EQ(defaultText.remove(QLatin1Char('&')), QStringLiteral("Cancel"));
    }
}

// Exit and a double click on another definition ask as well when the editor holds unsaved
// changes; Cancel keeps the editor, its changes and the program.
TEST(GendefQuestions, ExitAndDoubleClickAskBeforeDroppingUnsavedChanges)
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

    rig.ClickRow(1, true);
    EXPECT_EQ(rig.dialogs.Said(), kUnsaved);
    EXPECT_EQ(editor->findChild<QLineEdit*>(QStringLiteral("txtFn"))->text(), QStringLiteral("LO649"));
    EXPECT_EQ(box->text(), typed);

    rig.dialogs.Clear();
    rig.Click("cmdxit");
    EXPECT_EQ(rig.dialogs.Said(), kUnsaved);
    EXPECT_TRUE(bm::app::IsFormLoaded(QStringLiteral("frmMain")));
    EXPECT_TRUE(editor->isVisible());

    rig.dialogs.QueueAnswer(Answer::Ok);
    rig.Click("cmdxit");
    EXPECT_FALSE(bm::app::IsFormLoaded(QStringLiteral("frmGendef")));
    EXPECT_FALSE(bm::app::IsFormLoaded(QStringLiteral("frmMain")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Change tracking as a user meets it, through key presses: the name alone is no change; a row
// entry is; typing the old text back still counts.
TEST(GendefQuestions, ChangesAreTrackedAsTheUserTypes)
{
    const struct {
        const char* box;
        const char* typed;
        bool shown;
    } cases[] = {{"txtFn", "ZZ649", false}, {"txtR2", "16", true}, {"txtM11", "3", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.Modify("LO649.def");
        rig.Retype(rig.Child<QLineEdit>(c.box), QString::fromLatin1(c.typed));
        EXPECT_EQ(rig.Save()->isVisible(), c.shown);
        QTest::mouseClick(rig.Close(), Qt::LeftButton);
        EXPECT_EQ(rig.dialogs.Said(), c.shown ? kUnsaved : "");
    }
}

}  // namespace
