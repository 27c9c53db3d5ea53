#include <functional>

#include <QAbstractButton>
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
TEST(GendefQuestions, ChangesAreTrackedAsTheUserMakesThem)
{
    const auto type = [](const char* box, const char* text) {
        return [=](EditorRig& r) { r.Retype(r.Child<QLineEdit>(box), QString::fromLatin1(text)); };
    };
    const struct {
        std::function<void(EditorRig&)> change;
        bool shown;
    } cases[] = {{type("txtFn", "ZZ649"), false},
                 {type("txtR2", "16"), true},
                 {type("txtM11", "3"), true},
                 {[](EditorRig& r) { QTest::mouseClick(r.Bon(1), Qt::LeftButton); }, true},
                 {[](EditorRig& r) { QTest::mouseClick(r.Lay(1), Qt::LeftButton); }, true}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.Modify("LO649.def");
        c.change(rig);
        EXPECT_EQ(rig.Save()->isVisible(), c.shown);
        QTest::mouseClick(rig.Close(), Qt::LeftButton);
        EXPECT_EQ(rig.dialogs.Said(), c.shown ? kUnsaved : "");
    }
}

}  // namespace
