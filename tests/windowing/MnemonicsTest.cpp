#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "windowing/Mnemonics.h"

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
        {{"Print Playslips", "Test Pattern", "Make Slip", "Help"}, {"&Print Playslips", "&Test Pattern", "&Make Slip", "&Help"}},
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
    const std::vector<std::string> rows{"R1", "R2", "R3", "R4", "R5", "R6", "R7", "R8", "R9", "R10", "R11", "R12",
                                        "Rows In Each Panel", "Pool"};
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

}  // namespace
