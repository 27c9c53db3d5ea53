#include <gtest/gtest.h>

#include <fstream>

#include "printing/WheelFile.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::TempDir;
using bmtest::WriteBytes;

// The reader sizes its buffer by the file at opening; a file that another program keeps
// writing meanwhile must still be read whole and line by line, not cut at the first size.
TEST(WheelReaderGrowth, AFileThatGrowsAfterOpeningIsReadWhole)
{
    TempDir dir;
    const auto file = dir / "w.txt";
    WriteBytes(file, "1,2,3,4,5,6\r\n");
    auto reader = WheelReader::Open(file, 6, NumberWidth::Bits16);
    ASSERT_TRUE(reader.ok());
    {
        std::ofstream more(file, std::ios::binary | std::ios::app);
        for (int i = 0; i < 150000; ++i)
            more << (i % 40 + 1) << ", 41,42 ,43,44\t45\r\n";
    }
    Play play;
    std::int64_t plays = 0;
    while ((*reader)->Next(play)) {
        ++plays;
        ASSERT_EQ(play.line, plays);
        if (plays > 1) {
            ASSERT_EQ(play.numbers[0], (plays - 2) % 40 + 1) << "line " << plays;
        }
    }
    EXPECT_FALSE((*reader)->error()) << (*reader)->error()->message;
    EXPECT_EQ(plays, 150001);
}

TEST(WheelReaderGrowth, AnEmptyFileThatGrowsIsReadToo)
{
    TempDir dir;
    const auto file = dir / "w.txt";
    WriteBytes(file, "");
    auto reader = WheelReader::Open(file, 5, NumberWidth::Bits32);
    ASSERT_TRUE(reader.ok());
    WriteBytes(file, "1 2 3 4 5\n6 7 8 9 10");
    Play play;
    int plays = 0;
    while ((*reader)->Next(play))
        ++plays;
    EXPECT_FALSE((*reader)->error());
    EXPECT_EQ(plays, 2);
}
