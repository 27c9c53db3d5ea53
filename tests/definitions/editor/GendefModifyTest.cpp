#include <functional>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "definitions/editor/EditorRig.h"

namespace {

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

}  // namespace
