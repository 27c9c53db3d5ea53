#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "definitions/editor/EditorRig.h"
#include "definitions/editor/GendefOpeners.h"

namespace {

using bm::app::FindForm;
using bm::app::frmGendef;
using bm::app::IsFormLoaded;
using bmtest::EditorRig;

frmGendef* OpenEditor()
{
    return dynamic_cast<frmGendef*>(FindForm(QStringLiteral("frmgendef")));
}

// Closes the editor the openers made and lets its deletion happen.
void CloseEditor()
{
    if (frmGendef* editor = OpenEditor())
        editor->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(IsFormLoaded(QStringLiteral("frmGendef")));
}

TEST(GendefOpeners, MakeBringsAnOpenEditorForwardAsItIs)
{
    EditorRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    bm::app::OpenGendefModify(rig.host(), "LO649.def");
    frmGendef* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    bm::app::OpenGendefMake(rig.host());
    EXPECT_EQ(OpenEditor(), editor);
    EXPECT_EQ(editor->mode(), bm::EditorMode::Modify);
    EXPECT_EQ(editor->findChild<QLineEdit*>(QStringLiteral("txtFn"))->text(), QStringLiteral("LO649"));
    CloseEditor();
}

TEST(GendefOpeners, ModifyLoadsIntoAnOpenEditorAndOpensNoneForAMissingFile)
{
    EditorRig rig;
    rig.AddDefinition("LO649", bmtest::kLO649);
    bm::app::OpenGendefModify(rig.host(), "NO649.def");
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmGendef")));

    bm::app::OpenGendefMake(rig.host());
    frmGendef* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), bm::EditorMode::Make);
    bm::app::OpenGendefModify(rig.host(), "LO649.def");
    EXPECT_EQ(OpenEditor(), editor);
    EXPECT_EQ(editor->mode(), bm::EditorMode::Modify);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Current Settings"));
    EXPECT_FALSE(editor->findChild<QPushButton*>(QStringLiteral("cmdreset"))->isVisibleTo(editor));
    CloseEditor();
}

// From the main window: the list shows a saved definition, the current one stays.
TEST(GendefOpeners, MainWindowListFollowsASaveAndKeepsItsCurrentDefinition)
{
    bmtest::ProgramHome home({"PB569", "TK539"});
    bmtest::MainWindowRig rig(home);
    rig.windows.SetEditor(bm::app::GendefOpeners());
    ASSERT_EQ(rig.main().current().listedName, "PB569.def");

    QTest::mouseClick(rig.Child<QPushButton>("cmdGendef"), Qt::LeftButton);
    frmGendef* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), bm::EditorMode::Make);
    const char* fields[] = {"49", "6", "10", "190", "82", "12", "2", "7", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"};
    editor->findChild<QLineEdit*>(QStringLiteral("txtFn"))->setText(QStringLiteral("lo"));
    for (int i = 0; i < bm::kFieldCount; ++i)
        editor->findChild<QLineEdit*>(QStringLiteral("txtM%1").arg(i))->setText(QString::fromLatin1(fields[i]));
    for (int r = 0; r < 7; ++r)
        editor->findChild<QLineEdit*>(QStringLiteral("txtR%1").arg(r))->setText(QString::number(1 + 7 * r));
    editor->findChild<QPushButton*>(QStringLiteral("cmdreset"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmGendef")));
    EXPECT_EQ(bmtest::ItemText(rig.main(), 0), QStringLiteral("LO649.def"));
    EXPECT_EQ(rig.Child<QListWidget>("File1")->count(), 3);
    EXPECT_EQ(rig.main().current().listedName, "PB569.def");
    EXPECT_EQ(rig.Child<QListWidget>("File1")->currentItem()->text(), QStringLiteral("PB569.def"));
    ASSERT_FALSE(rig.dialogs.messages().empty());
    EXPECT_EQ(rig.dialogs.messages().back().text, QStringLiteral("Definition Saved"));

    // A double click opens the new definition in Modify mode.
    auto* list = rig.Child<QListWidget>("File1");
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->item(0));
    editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->mode(), bm::EditorMode::Modify);
    EXPECT_EQ(editor->findChild<QLineEdit*>(QStringLiteral("txtFn"))->text(), QStringLiteral("LO649"));
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
