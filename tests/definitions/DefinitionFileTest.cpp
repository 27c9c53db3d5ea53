#include <algorithm>

#include <gtest/gtest.h>

#include "definitions/DefinitionFile.h"
#include "definitions/MarginSettings.h"
#include "support/TempDir.h"

using namespace bm;
using bmtest::ReadBytes;
using bmtest::TempDir;
using bmtest::WriteBytes;

namespace {

// A horizontal 6/49 slip: 2 main panels of 5 across, 7 x 7, numbers along the rows.
DefinitionEntries Lotto649()
{
    return {"ny",
            {"49", "6", "10", "190", "82", "12.50", "2", "7", "5", "15", "7", "3", "2", "35", "4.2", "45", "4.5"},
            {"1", "8", "15", "22", "29", "36", "43"},
            true};
}

const char* const kLotto649Bytes =
    "49\r\n6\r\n10\r\n190\r\n82\r\n12.50\r\n2\r\n7\r\n5\r\n15\r\n7\r\n3\r\n2\r\n35\r\n4.2\r\n45\r\n4.5\r\n"
    "1\r\n8\r\n15\r\n22\r\n29\r\n36\r\n43\r\n"
    " 1 \r\n 0 \r\n 1 \r\n";

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
    s.replace(s.find(from), from.size(), to);
    return s;
}

TEST(DefinitionFile, WritesByteForByteUnderTheUpperCaseNameAndReadsBackEveryField)
{
    TempDir dir;
    dir.makeProgramFolder();
    const ProgramFolder folder(dir.path());
    const auto name = WriteDefinition(folder, Lotto649(), EditorMode::Make);
    ASSERT_TRUE(name.ok()) << name.error().message;
    EXPECT_EQ(*name, "NY649");
    EXPECT_EQ(DefinitionName("NY649 copy.def"), "NY649");
    EXPECT_EQ(ReadBytes(dir / "Defs/NY649.def"), kLotto649Bytes);

    // Read back, also with LF line ends, the last line without one and a flag written as any non-zero
    // number; shown again, stored texts take their shortest form.
    std::string lf = kLotto649Bytes;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    lf.replace(lf.size() - 12, 12, "1\n0\n-3");
    auto expected = Lotto649();
    expected.fields[5] = "12.5";
    for (const std::string& bytes : {std::string(kLotto649Bytes), lf}) {
        WriteBytes(dir / "Defs/NY649.def", bytes);
        const auto def = ReadDefinition(folder, "NY649");
        ASSERT_TRUE(def.ok()) << def.error().message;
        const auto shown = EntriesFromDefinition("NY649", *def);
        EXPECT_EQ(std::tie(shown.fields, shown.rows, shown.bBon, shown.bPB, shown.Horizontal),
                  std::tie(expected.fields, expected.rows, expected.bBon, expected.bPB, expected.Horizontal));
    }
}

TEST(DefinitionFile, ModifyTakesTheFirstTwoLettersAndReplacesWithoutAsking)
{
    TempDir dir;
    dir.makeProgramFolder();
    const ProgramFolder folder(dir.path());
    auto e = Lotto649();
    WriteBytes(dir / "Defs/NY649.def", "old");
    e.name = "NY649";
    e.fields[7] = "3";  // rows beyond the panel are not written
    e.rows[3] = "junk";
    ASSERT_EQ(*WriteDefinition(folder, e, EditorMode::Modify), "NY649");
    const auto rows3 = Replace(kLotto649Bytes, "\r\n7\r\n5", "\r\n3\r\n5");
    EXPECT_EQ(ReadBytes(dir / "Defs/NY649.def"), Replace(rows3, "22\r\n29\r\n36\r\n43\r\n", ""));
    // A changed pool writes a new file and leaves the old one.
    e.fields[0] = "59";
    ASSERT_EQ(*WriteDefinition(folder, e, EditorMode::Modify), "NY659");
    EXPECT_TRUE(std::filesystem::exists(dir / "Defs/NY649.def"));
    // A failed write is no success.
    std::filesystem::create_directory(dir / "Defs/NY759.def");
    e.fields[1] = "7";
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(WriteDefinition(folder, e, EditorMode::Modify)), "NY759.def"));
}

TEST(DefinitionFile, RefusesAFaultyFileNamingItAndTheLine)
{
    const auto with = [](const char* from, const std::string& to) { return Replace(kLotto649Bytes, from, to); };
    const std::pair<std::string, const char*> cases[] = {
        // the file's bytes, part of the message
        {"", "holds 0 lines"},
        {with("\r\n190\r\n", "\r\nabc\r\n"), "line 4: \"abc\" is not a number"},
        {with("\r\n190\r\n", "\r\n\r\n"), "line 4: is empty"},
        {with("4.2", std::string(45, '9')), "...\" is too large for a"},
        {with("\r\n6\r\n", "\r\n6\r10\r\n"), "line 2 holds a carriage return inside the line"},
        {with("\r\n6\r\n", "\r\n6.5\r\n"), "line 2: 6.5 is not a whole number"},
        {with("\r\n43\r\n", "\r\n99999\r\n"), "line 24: 99999 is out of range"},
        {with("\r\n43\r\n", "\r\n"), "line 8: says 7 rows"},
        {with("\r\n43\r\n", "\r\n43\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"), "at most 32"},
    };
    TempDir dir;
    for (const auto& [bytes, expected] : cases) {
        WriteBytes(dir / "X.def", bytes);
        const auto def = ReadDefinitionFile(dir / "X.def");
        ASSERT_FALSE(def.ok()) << expected;
        const auto& message = def.error().message;
        EXPECT_TRUE(message.find("X.def") != std::string::npos && message.find(expected) != std::string::npos)
            << message;
    }
}

// A file an editor saved with a UTF-8 byte-order mark reads as without it. Read for a job or a
// check, a file named as a definition must hold the game its name says (the checker goes by the
// name); other names are not judged by it.
TEST(DefinitionFile, AByteOrderMarkIsNoPartOfTheFileAndTheNameMustTellItsGame)
{
    TempDir dir;
    WriteBytes(dir / "LO649.def", kLotto649Bytes);
    WriteBytes(dir / "BM649.def", "\xEF\xBB\xBF" + std::string(kLotto649Bytes));
    const auto plain = ReadDefinitionFile(dir / "LO649.def");
    const auto marked = ReadDefinitionFile(dir / "BM649.def");
    ASSERT_TRUE(plain.ok() && marked.ok()) << bmtest::Refusal(marked);
    const auto a = EntriesFromDefinition("LO649", *plain), b = EntriesFromDefinition("LO649", *marked);
    EXPECT_EQ(std::tie(a.fields, a.rows, a.bBon, a.bPB, a.Horizontal),
              std::tie(b.fields, b.rows, b.bBon, b.bPB, b.Horizontal));

    const struct {
        const char* name;
        const char* refusal;  // empty: read
    } cases[] = {
        {"LO649.def", ""},
        {"x.def", ""},
        {"XY549.def", "XY549.def: the name XY549 says 5 numbers from 49, but the file holds a slip of 6 numbers "
                      "from 49; rename the file or correct its Pick and Pool"},
        {"XY659.def", "the name XY659 says 6 numbers from 59, but the file holds a slip of 6 numbers from 49"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir / c.name, kLotto649Bytes);
        const auto read = ReadDefinitionAsNamed(dir / c.name);
        EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(read), c.refusal));
        EXPECT_EQ(read.ok(), std::string(c.refusal).empty());
    }
}

TEST(DefinitionFile, RefusesAMissingFileAFolderAndAFileWhereTheFolderShouldBe)
{
    TempDir dir;
    dir.makeProgramFolder();
    const ProgramFolder folder(dir.path());
    const auto message = [&] { return ReadDefinition(folder, "ZZ649").error().message; };
    EXPECT_EQ(message(), (dir / "Defs" / "ZZ649.def").string() + ": no such definition file");
    std::filesystem::create_directory(dir / "Defs/ZZ649.def");
    EXPECT_EQ(message(), (dir / "Defs" / "ZZ649.def").string() + ": is a folder, not a definition file");
    std::filesystem::remove_all(dir / "Defs");
    WriteBytes(dir / "Defs", "not a folder");
    EXPECT_EQ(message(), (dir / "Defs").string() + ": is a file, not the folder of the definitions");
}

class Margins : public testing::Test {
protected:
    Margins() { dir.makeProgramFolder(); }
    bmtest::TempDir dir;
    ProgramFolder folder{dir.path()};
};

TEST_F(Margins, RoundTripIsByteExactAndAnUnchangedPairIsNotRewritten)
{
    EXPECT_EQ(*ReadMargins(folder, "NY649"), (MarginSettings{"0", "0"}));  // no file yet
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"-", "2"}));               // a lone minus sign is stored as typed
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"-\"\r\n\"2\"\r\n");
    EXPECT_EQ(*ReadMargins(folder, "NY649"), (MarginSettings{"-", "2"}));
    WriteBytes(dir / "Settings/NY649.ini", "\"1\"\n\"2\"\n");  // LF ends: rewriting would change the bytes
    EXPECT_FALSE(*WriteMargins(folder, "NY649", {"1", "2"}));
    EXPECT_EQ(ReadBytes(dir / "Settings/NY649.ini"), "\"1\"\n\"2\"\n");
    EXPECT_TRUE(*WriteMargins(folder, "NY649", {"1.0", "2"}));  // compared as texts
}

TEST_F(Margins, ReadsTheLastPairUnquotedItemsAndEmptyFiles)
{
    const std::pair<const char*, MarginSettings> cases[] = {
        {"\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n", {"3", "4"}}, {"  1.5 \r\n-2\r\n", {"1.5", "-2"}}, {"", {"", ""}}};
    for (const auto& [bytes, margins] : cases) {
        WriteBytes(dir / "Settings/A.ini", bytes);
        EXPECT_EQ(*ReadMargins(folder, "A"), margins) << bytes;
    }
    WriteBytes(dir / "Settings/D.ini", "\"1\"\r\n");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(ReadMargins(folder, "D")), "D.ini"));
}

TEST_F(Margins, CreatesAMissingSettingsFolderAndRefusesWhatCannotBeStored)
{
    std::filesystem::remove(dir / "Settings");
    ASSERT_TRUE(*WriteMargins(folder, "NY649", {"0", "1"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "Settings/NY649.ini"));
    EXPECT_FALSE(WriteMargins(folder, "AB649", {"1\"", "0"}).ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "Settings/AB649.ini"));
    std::filesystem::remove_all(dir / "Settings");
    WriteBytes(dir / "Settings", "a file where the folder should be");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(WriteMargins(folder, "NY649", {"0", "1"})), "Settings"));
}

}  // namespace
