#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/CheckerChoice.h"
#include "app/Module1.h"

namespace {

using bmtest::MainWindowRig;
using bmtest::ProgramHome;

TEST(CheckerChoice, FollowsThePickOfTheNameAndThePowerball)
{
    const struct {
        const char* name;
        bool bPB, bBon;
        const char* window;  // nullptr: none opens
    } cases[] = {
        {"TK539", false, false, "frmChkwhl5"}, {"TK539", false, true, "frmChkwhl5"},
        {"PB569", true, false, "frmChkwhlPB"}, {"LO649", false, true, "frmChkwhl"},
        {"LO649", true, false, "frmChkwhl"},   {"LM750", false, true, "frmChkwhl7"},
        {"LM750", true, true, "frmChkwhl7"},   {"XX849", false, false, nullptr},
        {"XX449", true, false, nullptr},       {"XXa49", false, false, nullptr},
        {"XX", false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.bPB ? " powerball" : "") + (c.bBon ? " bonus" : ""));
        bm::app::CurrentDefinition current;
        current.definitionName = c.name;
        current.pickDigit = c.name[2];
        current.bPB = c.bPB;
        current.bBon = c.bBon;
        current.definition.Pick = 6;  // the file's own pick does not count: the name decides
        const auto window = bm::app::CheckerWindowFor(current);
        EXPECT_EQ(window, c.window ? std::optional<std::string>(c.window) : std::nullopt);
    }
}

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
        rig.windows.SetChecker(name, [&made, name](bm::app::frmMain& main) {
            ++made[name];
            EXPECT_TRUE(main.current().chosen());
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
    EXPECT_TRUE(bm::app::IsFormLoaded(QStringLiteral("frmChkwhl")));
    EXPECT_TRUE(rig.dialogs.shown().empty());
    bm::app::CloseOtherForms(rig.window.get());
}

TEST(Help, ButtonAndF1FromAnyWindowOpenTheProgramsHelpFileOrSayWhyNot)
{
    ProgramHome home;
    MainWindowRig rig(home);
    const QString file = QString::fromStdString((home.path() / "Swhelp.chm").string());
    // No help file: said, with the place it was looked for.
    rig.Click("cmdHelp");
    EXPECT_TRUE(rig.helpOpened.empty());
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.messages()[0].icon, bm::app::Icon::Warning);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(file)) << rig.dialogs.messages()[0].text.toStdString();

    rig.dialogs.Clear();
    bmtest::WriteBytes(home.path() / "Swhelp.chm", "ITSF");
    rig.Click("cmdHelp");
    QApplication::setActiveWindow(rig.window.get());
    QTest::keyClick(rig.window.get(), Qt::Key_F1);
    // From another window of the program as well.
    QWidget* other = bm::app::ShowForm(QStringLiteral("frmChkwhl"), [] { return new QWidget; });
    QApplication::setActiveWindow(other);
    QTest::keyClick(other, Qt::Key_F1);
    EXPECT_EQ(rig.helpOpened, (std::vector<QString>{file, file, file}));
    EXPECT_TRUE(rig.dialogs.shown().empty());

    // Nothing on the machine can open it: said, with the file's place.
    rig.helpOpens = false;
    rig.Click("cmdHelp");
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(file));
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(QStringLiteral("Nothing")));
    other->close();
}

}  // namespace
