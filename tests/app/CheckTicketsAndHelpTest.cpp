#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/CheckerChoice.h"
#include "app/Module1.h"

namespace {

using bm::app::CheckerWindowFor;
using bmtest::MainWindowRig;
using bmtest::ProgramHome;

struct Choice {
    const char* name;
    bool bPB;
    bool bBon;
    const char* window;  // nullptr: none opens
};

class CheckerChoice : public ::testing::TestWithParam<Choice> {};

TEST_P(CheckerChoice, FollowsThePickOfTheNameAndThePowerball)
{
    const Choice& c = GetParam();
    bm::app::CurrentDefinition current;
    current.definitionName = c.name;
    current.pickDigit = c.name[2];
    current.bPB = c.bPB;
    current.bBon = c.bBon;
    // The file's own pick does not count: the name decides.
    current.definition.Pick = 6;
    const auto window = CheckerWindowFor(current);
    if (c.window)
        EXPECT_EQ(window, std::optional<std::string>(c.window));
    else
        EXPECT_EQ(window, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckerChoice,
    ::testing::Values(Choice{"TK539", false, false, "frmChkwhl5"}, Choice{"TK539", false, true, "frmChkwhl5"},
                      Choice{"PB569", true, false, "frmChkwhlPB"}, Choice{"LO649", false, true, "frmChkwhl"},
                      Choice{"LO649", true, false, "frmChkwhl"}, Choice{"LM750", false, true, "frmChkwhl7"},
                      Choice{"LM750", true, true, "frmChkwhl7"}, Choice{"XX849", false, false, nullptr},
                      Choice{"XX449", true, false, nullptr}, Choice{"XXa49", false, false, nullptr},
                      Choice{"XX", false, false, nullptr}),
    [](const ::testing::TestParamInfo<Choice>& info) {
        return std::string(info.param.name) + (info.param.bPB ? "_powerball" : "") +
               (info.param.bBon ? "_bonus" : "");
    });

TEST(CheckTickets, OpensTheFittingCheckerOnceAndBringsItForward)
{
    ProgramHome home({"LO649", "PB569", "TK539", "LM750"});
    home.AddDefinition("XX849.def", "LO649");
    MainWindowRig rig(home);
    std::map<std::string, int> made;
    for (const char* name : {"frmChkwhl", "frmChkwhl5", "frmChkwhl7", "frmChkwhlPB"}) {
        rig.windows.SetChecker(name, [&made, name](bm::app::frmMain& main) {
            ++made[name];
            EXPECT_TRUE(main.current().chosen());
            return new QWidget;
        });
    }
    auto* list = rig.Child<QListWidget>("File1");
    auto* check = rig.Child<QPushButton>("cmdChkTick");
    const auto choose = [&](const char* listed) {
        list->setCurrentItem(list->findItems(QString::fromLatin1(listed), Qt::MatchExactly).constFirst());
        QTest::mouseClick(check, Qt::LeftButton);
    };
    choose("LO649.def");
    choose("LO649.def");
    EXPECT_EQ(made["frmChkwhl"], 1);
    EXPECT_TRUE(bm::app::IsFormLoaded(QStringLiteral("frmChkwhl")));
    choose("PB569.def");
    choose("TK539.def");
    choose("LM750.def");
    EXPECT_EQ(made["frmChkwhlPB"], 1);
    EXPECT_EQ(made["frmChkwhl5"], 1);
    EXPECT_EQ(made["frmChkwhl7"], 1);
    const auto openWindows = made;
    choose("XX849.def");  // pick 8: nothing opens, nothing is said
    EXPECT_EQ(made, openWindows);
    EXPECT_TRUE(rig.dialogs.shown().empty());
    bm::app::CloseOtherForms(rig.window.get());
}

TEST(CheckTickets, MissingCheckerIsToldNotIgnored)
{
    ProgramHome home;
    MainWindowRig rig(home);
    QTest::mouseClick(rig.Child<QPushButton>("cmdChkTick"), Qt::LeftButton);
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(QStringLiteral("frmChkwhl")));
}

TEST(Help, MissingFileSaysWhereItLooked)
{
    ProgramHome home;
    MainWindowRig rig(home);
    QTest::mouseClick(rig.Child<QPushButton>("cmdHelp"), Qt::LeftButton);
    EXPECT_TRUE(rig.helpOpened.empty());
    const auto shown = rig.dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, QStringLiteral("Brindlemark"));
    EXPECT_EQ(shown[0].icon, bm::app::Icon::Warning);
    EXPECT_TRUE(shown[0].text.contains(QString::fromStdString((home.path() / "Swhelp.chm").string())))
        << shown[0].text.toStdString();
}

TEST(Help, ButtonAndF1FromAnyWindowOpenTheProgramsHelpFile)
{
    ProgramHome home;
    bmtest::WriteBytes(home.path() / "Swhelp.chm", "ITSF");
    MainWindowRig rig(home);
    const QString file = QString::fromStdString((home.path() / "Swhelp.chm").string());
    QTest::mouseClick(rig.Child<QPushButton>("cmdHelp"), Qt::LeftButton);
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
    QTest::mouseClick(rig.Child<QPushButton>("cmdHelp"), Qt::LeftButton);
    ASSERT_EQ(rig.dialogs.messages().size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(file));
    EXPECT_TRUE(rig.dialogs.messages()[0].text.contains(QStringLiteral("Nothing")));
    other->close();
}

}  // namespace
