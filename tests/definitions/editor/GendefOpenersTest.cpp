#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "definitions/editor/EditorRig.h"
#include "definitions/editor/GendefOpeners.h"

namespace {

using bm::EditorMode;
using bm::app::frmGendef;
using bm::app::IsFormLoaded;

frmGendef* OpenEditor()
{
    return dynamic_cast<frmGendef*>(bm::app::FindForm(QStringLiteral("frmgendef")));
}

QString Name(frmGendef* editor)
{
    return editor->findChild<QLineEdit*>(QStringLiteral("txtFn"))->text();
}

// Closes the editor the openers made and lets its deletion happen.
void CloseEditor()
{
    if (frmGendef* editor = OpenEditor())
        editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(IsFormLoaded(QStringLiteral("frmGendef")));
}

TEST(GendefOpeners, OneEditorAtATimeMakeBringsItForwardModifyLoadsIntoIt)
{
    bmtest::EditorRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    bm::app::OpenGendefModify(rig.host(), "NO649.def");  // no such file: nothing opens, nothing is said
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmGendef")));
    EXPECT_TRUE(rig.dialogs.shown().empty());

    bm::app::OpenGendefMake(rig.host());
    frmGendef* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), EditorMode::Make);
    bm::app::OpenGendefModify(rig.host(), "LO649.def");
    EXPECT_EQ(OpenEditor(), editor);
    EXPECT_EQ(editor->mode(), EditorMode::Modify);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(editor->findChild<QPushButton*>(QStringLiteral("cmdreset"))->isVisibleTo(editor));
    // Make brings the open editor forward as it is.
    bm::app::OpenGendefMake(rig.host());
    EXPECT_EQ(OpenEditor(), editor);
    EXPECT_EQ(editor->mode(), EditorMode::Modify);
    EXPECT_EQ(Name(editor), QStringLiteral("LO649"));
    CloseEditor();
}

// From the main window: the list shows a saved definition, the current one stays.
TEST(GendefOpeners, MainWindowListFollowsASaveAndKeepsItsCurrentDefinition)
{
    bmtest::ProgramHome home({"PB569", "TK539"});
    bmtest::MainWindowRig rig(home);
    rig.windows.SetEditor(bm::app::GendefOpeners());
    ASSERT_EQ(rig.main().current().listedName, "PB569.def");

    rig.Click("cmdGendef");
    frmGendef* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), EditorMode::Make);
    bmtest::FillSample(*editor, QStringLiteral("lo"));
    editor->findChild<QPushButton*>(QStringLiteral("cmdreset"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmGendef")));
    EXPECT_EQ(bmtest::ItemText(rig.main(), 0), QStringLiteral("LO649.def"));
    EXPECT_EQ(rig.Child<QListWidget>("File1")->count(), 3);
    EXPECT_EQ(rig.main().current().listedName, "PB569.def");
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentItem()->text(), QStringLiteral("PB569.def"));
    EXPECT_EQ(rig.dialogs.Said(), "Done: Definition Saved");

    // A double click opens the new definition in Modify mode.
    rig.ClickRow(0, true);
    editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), EditorMode::Modify);
    EXPECT_EQ(Name(editor), QStringLiteral("LO649"));
    CloseEditor();
}

// Loading a definition gives the main window's shared bonus flag its value, nothing else.
TEST(GendefOpeners, ModifyGivesTheMainWindowTheBonusFlag)
{
    bmtest::ProgramHome home({"PB569", "LO649"});
    bmtest::MainWindowRig rig(home);
    ASSERT_EQ(rig.main().current().listedName, "LO649.def");
    ASSERT_TRUE(rig.main().current().bBon);
    bm::app::GendefOpeners().modify(rig.main(), "PB569.def");
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_FALSE(rig.main().current().bBon);
    EXPECT_EQ(rig.main().current().listedName, "LO649.def");
    EXPECT_FALSE(rig.main().current().bPB);
    CloseEditor();
}

}  // namespace
