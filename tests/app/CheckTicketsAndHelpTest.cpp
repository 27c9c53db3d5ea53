#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/Module1.h"

namespace {

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

TEST(CheckTickets, OpensTheFittingCheckerOnceAndBringsItForward)
{
    ProgramHome home({"LO649", "PB569", "TK539", "LM750"});
    home.AddDefinition("XX849.def", "LO649");
    MainWindowRig rig(home);
    // No checker in this build: said, not ignored.
    rig.Click("cmdChkTick");
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(QStringLiteral("frmChkwhl")));
    rig.dialogs.Clear();

    std::map<std::string, int> made;
    for (const char* name : {"frmChkwhl", "frmChkwhl5", "frmChkwhl7", "frmChkwhlPB"}) {
        rig.windows.SetChecker(name, [&made, name](bm::DefinitionChoice& choice) {
            ++made[name];
            EXPECT_TRUE(choice.ReadChosen());
            return new QWidget;
        });
    }
    for (const char* listed : {"LO649.def", "LO649.def", "PB569.def", "TK539.def", "LM750.def", "XX849.def"}) {
        rig.Choose(listed);
        rig.Click("cmdChkTick");
    }
    // Pick 8 opens nothing and says nothing.
    const std::map<std::string, int> once = {{"frmChkwhl", 1}, {"frmChkwhl5", 1}, {"frmChkwhl7", 1}, {"frmChkwhlPB", 1}};
    EXPECT_EQ(made, once);
    EXPECT_TRUE(rig.dialogs.shown().empty());
    // A closed checker is gone; the next click makes a new one.
    bm::app::FindForm(QStringLiteral("frmChkwhl"))->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(bm::app::IsFormLoaded(QStringLiteral("frmChkwhl")));
    rig.Choose("LO649.def");
    rig.Click("cmdChkTick");
    EXPECT_EQ(made["frmChkwhl"], 2);
    bm::app::CloseOtherForms(rig.window.get());
}

}  // namespace
