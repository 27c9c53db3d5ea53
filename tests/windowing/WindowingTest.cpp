#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "windowing/Mnemonics.h"
#include "windowing/ScreenFit.h"

namespace {

// Every marked caption reads as before once its mark is taken away, and no key is used twice.
void ExpectSoundMarks(const std::vector<std::string>& in, const std::vector<std::string>& out)
{
    ASSERT_EQ(in.size(), out.size());
    std::set<char> keys;
    for (std::size_t i = 0; i < in.size(); ++i) {
        EXPECT_EQ(bm::WithoutMnemonic(out[i]), bm::WithoutMnemonic(in[i])) << out[i];
        if (const char key = bm::MnemonicOf(out[i])) {
            EXPECT_TRUE(keys.insert(key).second) << "key " << key << " twice, in " << out[i];
        }
    }
}

TEST(Mnemonics, WordInitialsFirstThenOtherLettersThenDigits)
{
    struct Case {
        std::vector<std::string> in, out;
    };
    const Case cases[] = {
        {{"Print Playslips", "Test Pattern", "Make Slip", "Help"},
         {"&Print Playslips", "&Test Pattern", "&Make Slip", "&Help"}},
        // Pattern's P is taken by Print; the later caption takes its next word's initial.
        {{"Print", "Pattern Test"}, {"&Print", "Pattern &Test"}},
        // Pp has no other key: Print moves to its next letter.
        {{"Print", "Pp"}, {"P&rint", "&Pp"}},
        {{"R1", "R2", "R10"}, {"&R1", "R&2", "R&10"}},
        // A caption marked already keeps its key; the others avoid it.
        {{"Save", "&Close", "Cancel"}, {"&Save", "&Close", "C&ancel"}},
        {{"Top +/-", "Left +/-"}, {"&Top +/-", "&Left +/-"}},
        {{""}, {""}},
        // A later caption may move an earlier one to another of its letters, so that both get one.
        {{"Ab", "A", "B"}, {"A&b", "&A", "B"}},
    };
    for (const Case& c : cases) {
        const auto out = bm::WithMnemonics(c.in);
        EXPECT_EQ(out, c.out);
        ExpectSoundMarks(c.in, out);
    }
}

// Every caption gets a key when the letters allow it.
TEST(Mnemonics, EveryCaptionGetsAKeyWhenTheLettersAllowIt)
{
    const std::vector<std::string> rows{
        "R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8", "R9", "R10", "R11", "R12", "Rows In Each Panel", "Pool"};
    const auto marked = bm::WithMnemonics(rows);
    ExpectSoundMarks(rows, marked);
    int unmarked = 0;
    for (const auto& m : marked)
        unmarked += bm::MnemonicOf(m) == 0;
    // R1, R2, R11 and R12 share three keys: exactly one of them stays without.
    EXPECT_EQ(unmarked, 1);
    EXPECT_NE(bm::MnemonicOf(marked[12]), 0);
}

TEST(Mnemonics, MarksAreReadAndRemovedAsToolkitsDo)
{
    EXPECT_EQ(bm::MnemonicOf("&Close"), 'c');
    EXPECT_EQ(bm::MnemonicOf("Fish && &Chips"), 'c');
    EXPECT_EQ(bm::MnemonicOf("Fish && Chips"), 0);
    EXPECT_EQ(bm::MnemonicOf("Trailing &"), 0);
    EXPECT_EQ(bm::WithoutMnemonic("E&xit"), "Exit");
    EXPECT_EQ(bm::WithoutMnemonic("Fish && Chips"), "Fish & Chips");
}

using bm::Box;
using bm::FrameMargins;

TEST(ScreenFit, WindowsOpenWhollyOnTheFreeArea)
{
    const Box laptop{0, 0, 1366, 740};     // 1366x768 less a panel
    const Box second{1366, 0, 1280, 720};  // 2560x1440 at scale 2, right of it
    const FrameMargins frame{6, 34, 6, 6};
    struct Case {
        const char* what;
        Box area;
        int wantW, wantH, minW, minH;
        const Box* centre;
        Box expected;
    };
    const Box mainWindow{100, 100, 600, 420};
    const Box offRight{1200, 500, 600, 420};
    const Case cases[] = {
        {"small, centred on the area", laptop, 600, 400, 300, 200, nullptr, {383, 184, 600, 400}},
        {"wider than the area: as wide as it", laptop, 1362, 700, 500, 300, nullptr, {6, 34, 1354, 700}},
        {"taller than the area", laptop, 1020, 785, 500, 300, nullptr, {173, 34, 1020, 700}},
        {"centred on the window it came from", laptop, 400, 300, 100, 100, &mainWindow, {200, 174, 400, 300}},
        {"moved back onto the area", laptop, 400, 300, 100, 100, &offRight, {960, 434, 400, 300}},
        {"on the second screen", second, 2260, 1100, 600, 500, nullptr, {1372, 34, 1268, 680}},
        {"never below its minimum", laptop, 2000, 2000, 1500, 800, nullptr, {6, 34, 1500, 800}},
    };
    for (const Case& c : cases) {
        const Box got = bm::FitOnScreen(c.area, c.wantW, c.wantH, c.minW, c.minH, frame, c.centre);
        EXPECT_EQ(got, c.expected) << c.what << ": " << got.x << "," << got.y << " " << got.width << "x" << got.height;
    }
}

}  // namespace
