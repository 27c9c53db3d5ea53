#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"
#include "definitions/editor/EditorRig.h"
#include "definitions/editor/GendefOpeners.h"

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

}  // namespace
