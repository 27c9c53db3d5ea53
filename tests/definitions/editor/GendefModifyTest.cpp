#include <functional>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

using bm::app::Answer;
using bm::app::Buttons;
using bmtest::EditorRig;
using bmtest::kLO649;
using bmtest::ReadBytes;

// kLO649 with one line replaced (line numbers from 1).
std::string WithLine(int line, const std::string& text)
{
    std::string bytes = kLO649;
    std::size_t start = 0;
    for (int i = 1; i < line; ++i)
        start = bytes.find("\r\n", start) + 2;
    return bytes.replace(start, bytes.find("\r\n", start) - start, text);
}

TEST(GendefModify, ShowsTheDefinitionUnchangedInItsShortestForm)
{
    EditorRig rig;
    rig.AddDefinition("LO649", WithLine(12, "3.50"));
    auto& editor = rig.Modify("LO649.def");
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Current Settings"));
    EXPECT_EQ(rig.Save()->text(), QStringLiteral("Modify"));
    EXPECT_FALSE(rig.Save()->isVisible());
    EXPECT_EQ(rig.Entries(), "LO649 | 49 6 10 190 82 12 2 7 5 15 7 3.5 2 35 4.2 45 4.5 | 1 8 15 22 29 36 43 _ _ _ _ _ "
                             "| bonus - horizontal");
    EXPECT_EQ(rig.bonus, true);
    EXPECT_TRUE(rig.dialogs.shown().empty());
}

// The name's pick and pool come from the entries; the first two characters of the name lead.
TEST(GendefModify, SavesUnderTheNameTheEntriesGive)
{
    const struct {
        std::function<void(EditorRig&)> change;
        const char* name;
        std::string bytes;
    } cases[] = {
        {[](EditorRig& r) { r.Retype(r.M(11), QStringLiteral("3.25")); }, "LO649", WithLine(12, "3.25")},
        {[](EditorRig& r) { r.Retype(r.M(0), QStringLiteral("59")); }, "LO659", WithLine(1, "59")},
        {[](EditorRig& r) { r.Retype(r.M(1), QStringLiteral("7")); }, "LO749", WithLine(2, "7")},
        {[](EditorRig& r) {
             r.Retype(r.Fn(), QStringLiteral("zz649"));
             r.Retype(r.M(12), QStringLiteral("2"));
         },
         "ZZ649", kLO649},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.Modify("LO649.def");
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
        EXPECT_FALSE(rig.Save()->isVisibleTo(&rig.editor()));
        EXPECT_FALSE(rig.editor().isVisible());
    }
}

// Every kind of change shows the save button, even typing the old text back.
TEST(GendefModify, EveryChangeShowsTheSaveButton)
{
    const std::function<void(EditorRig&)> changes[] = {
        [](EditorRig& r) { r.Retype(r.M(11), QStringLiteral("3")); },
        [](EditorRig& r) { r.Retype(r.R(0), QStringLiteral("1")); },
        [](EditorRig& r) { r.Retype(r.R(11), QStringLiteral("99")); },
        [](EditorRig& r) { QTest::mouseClick(r.Bon(1), Qt::LeftButton); },
        [](EditorRig& r) { QTest::mouseClick(r.Lay(1), Qt::LeftButton); },
        [](EditorRig& r) { QTest::mouseClick(r.Lay(0), Qt::LeftButton); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        EditorRig rig;
        rig.AddDefinition("LO649", kLO649);
        rig.Modify("LO649.def");
        changes[i](rig);
        EXPECT_TRUE(rig.Save()->isVisible()) << "change " << i;
    }
}

TEST(GendefModify, CloseWithUnsavedChangesAsksAndCancelKeepsTheEditor)
{
    EditorRig rig;
    rig.AddDefinition("LO649", kLO649);
    rig.Modify("LO649.def");
    rig.Retype(rig.M(11), QStringLiteral("4"));

    rig.dialogs.QueueAnswer(Answer::Cancel);
    QTest::mouseClick(rig.Close(), Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.Said(), "Warning: You Haven't Saved Your Changes");
    EXPECT_EQ(rig.dialogs.messages().at(0).buttons, Buttons::OkCancel);
    EXPECT_TRUE(rig.editor().isVisible());
    EXPECT_EQ(rig.M(11)->text(), QStringLiteral("4"));
    EXPECT_TRUE(rig.Save()->isVisible());

    rig.dialogs.QueueAnswer(Answer::Ok);
    QTest::mouseClick(rig.Close(), Qt::LeftButton);
    EXPECT_EQ(rig.dialogs.messages().size(), 2u);
    EXPECT_FALSE(rig.editor().isVisible());
    EXPECT_EQ(ReadBytes(rig.def("LO649")), kLO649);
}

// Loading a definition of fewer rows leaves the rows beyond with their texts; they are not saved.
TEST(GendefModify, LoadingFewerRowsKeepsTheRowsBeyond)
{
    EditorRig rig;
    rig.AddDefinition("LO649", kLO649);
    const std::string threeRows = "49\r\n6\r\n10\r\n190\r\n82\r\n12\r\n2\r\n3\r\n5\r\n15\r\n7\r\n3\r\n2\r\n35\r\n4.2\r\n"
                                  "45\r\n4.5\r\n1\r\n18\r\n35\r\n 0 \r\n 1 \r\n 0 \r\n";
    rig.AddDefinition("TR649", threeRows);
    auto& editor = rig.Modify("LO649.def");
    ASSERT_TRUE(editor.LoadDefinition("TR649.def"));
    EXPECT_EQ(rig.Entries(), "TR649 | 49 6 10 190 82 12 2 3 5 15 7 3 2 35 4.2 45 4.5 | 1 18 35 22 29 36 43 _ _ _ _ _ "
                             "| - powerball vertical");
    EXPECT_EQ(rig.bonus, false);
    EXPECT_FALSE(rig.Save()->isVisible());

    rig.Retype(rig.M(12), QStringLiteral("2"));
    rig.Save()->click();
    EXPECT_EQ(ReadBytes(rig.def("TR649")), threeRows);
}

// An unreadable file is named with its line; an open editor keeps what it showed.
TEST(GendefModify, AnUnreadableDefinitionIsReportedAndNotLoaded)
{
    EditorRig rig;
    rig.AddDefinition("LO649", kLO649);
    rig.AddDefinition("BD649", WithLine(5, "8O"));
    rig.Modify("LO649.def");
    rig.Retype(rig.M(11), QStringLiteral("4"));

    EXPECT_FALSE(rig.editor().LoadDefinition("BD649.def"));
    EXPECT_EQ(rig.dialogs.Said(), "Brindlemark: The slip definition BD649 cannot be modified:\n" +
                                      rig.def("BD649").string() + ": line 5: \"8O\" is not a number");
    EXPECT_EQ(rig.Fn()->text(), QStringLiteral("LO649"));
    EXPECT_EQ(rig.M(11)->text(), QStringLiteral("4"));
    EXPECT_TRUE(rig.Save()->isVisible());
}

}  // namespace
