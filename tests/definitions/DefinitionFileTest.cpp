#include <gtest/gtest.h>

#include <algorithm>

#include "definitions/DefinitionFile.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

// A horizontal 6/49 slip: 2 main panels of 5 across, 7 x 7, numbers along the rows.
DefinitionEntries Lotto649()
{
    DefinitionEntries e;
    e.name = "ny";
    e.fields = {"49", "6", "10", "190", "82", "12.50", "2", "7", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"};
    e.rows = {"1", "8", "15", "22", "29", "36", "43"};
    e.bBon = true;
    e.bPB = false;
    e.Horizontal = true;
    return e;
}

const char* const kLotto649Bytes =
    "49\r\n6\r\n10\r\n190\r\n82\r\n12.50\r\n2\r\n7\r\n5\r\n15\r\n7\r\n3\r\n2\r\n35\r\n4.2\r\n45\r\n4.5\r\n"
    "1\r\n8\r\n15\r\n22\r\n29\r\n36\r\n43\r\n"
    " 1 \r\n 0 \r\n 1 \r\n";

TEST(DefinitionName, IsTheFirstFiveCharacters)
{
    EXPECT_EQ(DefinitionName("NY659.def"), "NY659");
    EXPECT_EQ(DefinitionName("AB649 copy.def"), "AB649");
    EXPECT_EQ(DefinitionName("AB"), "AB");
}

TEST(WriteDefinition, WritesTheFileByteForByteUnderTheUpperCaseName)
{
    TempDir dir;
    dir.makeProgramFolder();
    ProgramFolder folder(dir.path());
    auto name = WriteDefinition(folder, Lotto649(), EditorMode::Make);
    ASSERT_TRUE(name.ok()) << name.error().message;
    EXPECT_EQ(*name, "NY649");
    EXPECT_EQ(ReadBytes(dir / "Defs/NY649.def"), kLotto649Bytes);
    // 7 rows: 27 lines, flags on lines 25 to 27.
    const std::string bytes = kLotto649Bytes;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 27);
}

TEST(WriteDefinition, ModifyModeTakesTheFirstTwoLettersAndReplacesWithoutAsking)
{
    TempDir dir;
    dir.makeProgramFolder();
    ProgramFolder folder(dir.path());
    auto e = Lotto649();
    WriteBytes(dir / "Defs/NY649.def", "old");
    e.name = "NY649";
    e.fields[5] = "13";
    ASSERT_EQ(*WriteDefinition(folder, e, EditorMode::Modify), "NY649");
    EXPECT_NE(ReadBytes(dir / "Defs/NY649.def").find("\r\n13\r\n"), std::string::npos);
    // A changed pool writes a new file and leaves the old one.
    e.fields[0] = "59";
    ASSERT_EQ(*WriteDefinition(folder, e, EditorMode::Modify), "NY659");
    EXPECT_TRUE(std::filesystem::exists(dir / "Defs/NY649.def"));
    EXPECT_TRUE(std::filesystem::exists(dir / "Defs/NY659.def"));
}

TEST(WriteDefinition, WritesOnlyTheRowsOfThePanel)
{
    auto e = Lotto649();
    e.fields[7] = "3";
    e.rows[3] = "junk";
    const std::string text = DefinitionFileText(e);
    EXPECT_EQ(text.find("22"), std::string::npos);
    EXPECT_EQ(text.find("junk"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);
}

TEST(WriteDefinition, RefusesAFolderInTheWay)
{
    TempDir dir;
    dir.makeProgramFolder();
    std::filesystem::create_directory(dir / "Defs/NY649.def");
    auto result = WriteDefinition(ProgramFolder(dir.path()), Lotto649(), EditorMode::Make);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().message.find("NY649.def"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Defs/NY649.def"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "Defs"), {}), 1);
}

TEST(ReadDefinition, ReadsWhatWasWritten)
{
    TempDir dir;
    dir.makeProgramFolder();
    WriteBytes(dir / "Defs/NY649.def", kLotto649Bytes);
    auto def = ReadDefinition(ProgramFolder(dir.path()), "NY649");
    ASSERT_TRUE(def.ok()) << def.error().message;
    EXPECT_EQ(def->Pool, 49);
    EXPECT_EQ(def->Pick, 6);
    EXPECT_EQ(def->TotalPanels, 10);
    EXPECT_FLOAT_EQ(def->TopToFirstRow, 12.5f);
    EXPECT_FLOAT_EQ(def->VerticalRowGap, 4.2f);
    EXPECT_EQ(def->RowsInPanel, 7);
    EXPECT_EQ(def->RowFirstNumber, (std::vector<std::int16_t>{1, 8, 15, 22, 29, 36, 43}));
    EXPECT_TRUE(def->bBon);
    EXPECT_FALSE(def->bPB);
    EXPECT_TRUE(def->Horizontal);
    // Shown again, stored texts take their shortest form.
    const auto e = EntriesFromDefinition("NY649", *def);
    EXPECT_EQ(e.fields[5], "12.5");
    EXPECT_EQ(e.fields[14], "4.2");
    EXPECT_EQ(e.rows[6], "43");
}

TEST(ReadDefinition, ReadsLineFeedEndsAndPlainFlags)
{
    TempDir dir;
    std::string text = kLotto649Bytes;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    text.replace(text.size() - 12, 12, "1\n0\n-3");  // any non-zero flag is set, last line without end
    WriteBytes(dir / "a.def", text);
    auto def = ReadDefinitionFile(dir / "a.def");
    ASSERT_TRUE(def.ok()) << def.error().message;
    EXPECT_TRUE(def->bBon);
    EXPECT_FALSE(def->bPB);
    EXPECT_TRUE(def->Horizontal);
}

struct BadDefinition {
    const char* what;
    std::string bytes;
    const char* expected;  // part of the message
};

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
    s.replace(s.find(from), from.size(), to);
    return s;
}

class ReadDefinitionRefuses : public testing::TestWithParam<BadDefinition> {};

TEST_P(ReadDefinitionRefuses, WithTheFileAndLine)
{
    TempDir dir;
    WriteBytes(dir / "X.def", GetParam().bytes);
    auto def = ReadDefinitionFile(dir / "X.def");
    ASSERT_FALSE(def.ok());
    EXPECT_NE(def.error().message.find("X.def"), std::string::npos) << def.error().message;
    EXPECT_NE(def.error().message.find(GetParam().expected), std::string::npos) << def.error().message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadDefinitionRefuses,
    testing::Values(BadDefinition{"empty", "", "holds 0 lines"},
                    BadDefinition{"too short", "49\r\n6\r\n", "holds 2 lines"},
                    BadDefinition{"letters", Replace(kLotto649Bytes, "\r\n190\r\n", "\r\nabc\r\n"),
                                  "line 4: \"abc\" is not a number"},
                    BadDefinition{"empty line", Replace(kLotto649Bytes, "\r\n190\r\n", "\r\n\r\n"), "line 4: is empty"},
                    BadDefinition{"comma decimal", Replace(kLotto649Bytes, "4.2", "4,2"), "line 15"},
                    BadDefinition{"nan", Replace(kLotto649Bytes, "4.2", "nan"), "line 15"},
                    BadDefinition{"inf", Replace(kLotto649Bytes, "4.2", "inf"), "line 15"},
                    BadDefinition{"beyond a float", Replace(kLotto649Bytes, "4.2", std::string(45, '9')),
                                  "...\" is too large for a measurement"},
                    BadDefinition{"one line", "49", "holds 1 line;"},
                    BadDefinition{"CR only line ends", Replace(kLotto649Bytes, "\r\n6\r\n", "\r\n6\r10\r\n"),
                                  "line 2 holds a carriage return inside the line"},
                    BadDefinition{"fractional pick", Replace(kLotto649Bytes, "49\r\n6\r\n", "49\r\n6.5\r\n"),
                                  "line 2: 6.5 is not a whole number"},
                    BadDefinition{"huge row number", Replace(kLotto649Bytes, "\r\n43\r\n", "\r\n99999\r\n"),
                                  "line 24: 99999 is out of range"},
                    BadDefinition{"row count disagrees", Replace(kLotto649Bytes, "\r\n43\r\n", "\r\n"),
                                  "line 8: says 7 rows"},
                    BadDefinition{"too long",
                                  Replace(kLotto649Bytes, "\r\n43\r\n", "\r\n43\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"),
                                  "at most 32"}),
    [](const auto& info) {
        std::string n = info.param.what;
        std::replace(n.begin(), n.end(), ' ', '_');
        return n;
    });

TEST(ReadDefinition, RefusesAMissingFileAndAFolder)
{
    TempDir dir;
    dir.makeProgramFolder();
    auto missing = ReadDefinition(ProgramFolder(dir.path()), "ZZ649");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().message.find("ZZ649.def: no such definition file"), std::string::npos);
    std::filesystem::create_directory(dir / "Defs/ZZ649.def");
    auto folder = ReadDefinition(ProgramFolder(dir.path()), "ZZ649");
    ASSERT_FALSE(folder.ok());
    EXPECT_NE(folder.error().message.find("is a folder"), std::string::npos);
}

}  // namespace

TEST(ReadDefinition, AFileWhereTheDefsFolderShouldBeIsNamed)
{
    TempDir dir;
    WriteBytes(dir / "Defs", "not a folder");
    const auto def = ReadDefinition(ProgramFolder(dir.path()), "LO649");
    ASSERT_FALSE(def.ok());
    EXPECT_EQ(def.error().message, (dir / "Defs").string() + ": is a file, not the folder of the definitions");
}
