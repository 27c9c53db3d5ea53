#include <QListWidget>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

#include "app/AppTestSupport.h"
#include "app/RememberedChoices.h"

namespace {

namespace fs = std::filesystem;
using bm::app::RememberedChoices;
using bmtest::ReadBytes;
using bmtest::WriteBytes;

// Brindlemark.ini is read only when it is a regular file that reads as this program's own;
// anything else in its place is left exactly as it is and the program starts with the defaults.
TEST(RememberedChoices, AnythingButItsOwnFileIsLeftAloneAndTheDefaultsApply)
{
    const std::string big = [] {
        std::string text;
        while (text.size() <= 64 * 1024)
            text += "WheelFolder=/home/ann/a/very/long/folder/name/that/repeats/itself\r\n";
        return text;
    }();
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }},
        {"another program's", [](const fs::path& p) { WriteBytes(p, "[General]\r\nDefinition=TK539.def\r\n"); }},
        {"text", [](const fs::path& p) { WriteBytes(p, "Definition=TK539.def\r\nmy notes about the draw\r\n"); }},
        {"binary", [](const fs::path& p) { WriteBytes(p, std::string("Definition=TK539.def\0\r\n", 23)); }},
        {"too large", [&](const fs::path& p) { WriteBytes(p, "Definition=TK539.def\r\n" + big); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bmtest::ProgramHome home;
        const bm::ProgramFolder folder(home.path());
        const fs::path file = RememberedChoices::File(folder);
        c.make(file);
        const std::string before = fs::is_regular_file(file) ? ReadBytes(file) : "";
        {
            bmtest::MainWindowRig rig(home);  // starts at once, with the first definition
            EXPECT_EQ(rig.main().current().definitionName, "LO649");
            rig.ClickRow(2);
        }
        RememberedChoices choices(folder);
        EXPECT_EQ(choices.Get(RememberedChoices::kDefinition), "");
        EXPECT_EQ(bmtest::Refusal(choices.Set(RememberedChoices::kPrinter, "office")),
                  file.string() + ": is not a settings file of this program; it was left as it is");
        EXPECT_EQ(fs::is_fifo(file), std::string(c.what) == "FIFO");
        EXPECT_EQ(fs::is_directory(file), std::string(c.what) == "folder");
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(ReadBytes(file), before);
        }
    }
}

// Its own file is read and rewritten; the hidden copy of a writer killed before its rename goes.
TEST(RememberedChoices, ItsOwnFileIsKeptAndLeftoversSwept)
{
    bmtest::ProgramHome home;
    const bm::ProgramFolder folder(home.path());
    const fs::path file = RememberedChoices::File(folder);
    WriteBytes(file, "Definition=TK539.def\r\n\r\nPrizes.TK539=1;2;3\nPdfFolder=/tmp/a b=c\r\n");
    WriteBytes(home.path() / ".Brindlemark.ini.abcdefGHIJ09.tmp", "Definition=PB569.def\r\n");
    RememberedChoices choices(folder);
    EXPECT_FALSE(fs::exists(home.path() / ".Brindlemark.ini.abcdefGHIJ09.tmp"));
    EXPECT_EQ(choices.Get(RememberedChoices::kDefinition), "TK539.def");
    EXPECT_EQ(choices.Get("PdfFolder"), "/tmp/a b=c");
    ASSERT_TRUE(choices.Set(RememberedChoices::kPrinter, "office").ok());
    EXPECT_EQ(ReadBytes(file),
              "Definition=TK539.def\r\nPdfFolder=/tmp/a b=c\r\nPrinter=office\r\nPrizes.TK539=1;2;3\r\n");
}

}  // namespace
