#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/UserFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using bmtest::TempDir;

// The per-user folder's name, and where it goes without XDG_DATA_HOME (APPDATA on Windows).
#ifdef _WIN32
const char* const kOwn = "Brindlemark";
const char* const kUnderHome = "AppData/Roaming/Brindlemark";
#else
const char* const kOwn = "brindlemark";
const char* const kUnderHome = ".local/share/brindlemark";
#endif

// An installed layout: DIR/usr/bin and the sample folder where the system's installer puts it
// (DIR/usr/share/brindlemark/sample, or beside the .exe), with one definition.
fs::path Install(const TempDir& dir)
{
    const fs::path bin = dir / "usr/bin";
    fs::create_directories(bin);
    const fs::path sample = (bin / bm::kInstalledSample).lexically_normal();
    fs::create_directories(sample / "Defs");
    bmtest::WriteBytes(sample / "Defs/LO649.def", "49\r\n");
    return bin;
}

TEST(UserFolder, BuildFolderStaysInstalledProgramGetsAFolderPerUser)
{
    TempDir dir;
    // A folder with Defs, or a writable one with no installed sample beside it, is used as it is.
    fs::create_directories(dir / "build/bin/Defs");
    fs::create_directories(dir / "portable");
    for (const fs::path& exe : {dir / "build/bin", dir / "portable"}) {
        const auto home = bm::DefaultProgramFolder(exe, (dir / "data").string(), (dir / "home").string());
        ASSERT_TRUE(home.ok()) << home.error().message;
        EXPECT_EQ(*home, exe);
    }
    EXPECT_FALSE(fs::exists(dir / "data"));

    const fs::path bin = Install(dir);
    struct Case {
        std::string xdg, home;
        fs::path expected;  // empty: refused
    };
    const Case cases[] = {
        {(dir / "data").string(), (dir / "home").string(), dir / "data" / kOwn},
        {"relative/data", (dir / "home").string(), dir / "home" / kUnderHome},
        {"", (dir / "home").string(), dir / "home" / kUnderHome},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        const auto home = bm::DefaultProgramFolder(bin, c.xdg, c.home);
        if (c.expected.empty()) {
            EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(home), "--home"));
            continue;
        }
        ASSERT_TRUE(home.ok()) << home.error().message;
        EXPECT_EQ(*home, c.expected);
        EXPECT_EQ(bmtest::ReadBytes(*home / "Defs/LO649.def"), "49\r\n");
        for (const char* sub : {"Settings", "wheel", "Summary"})
            EXPECT_TRUE(fs::is_directory(*home / sub)) << sub;
    }
}

TEST(UserFolder, SeedingLeavesAnExistingFolderAloneAndNoScratchBehind)
{
    TempDir dir;
    const fs::path bin = Install(dir);
    const fs::path sample = bin / bm::kInstalledSample;
    // A folder that is there already, even an empty one, is the user's: nothing goes into it.
    fs::create_directories(dir / "data/brindlemark");
    ASSERT_TRUE(bm::SeedProgramFolder(dir / "data/brindlemark", sample).ok());
    EXPECT_TRUE(fs::is_empty(dir / "data/brindlemark"));

    ASSERT_TRUE(bm::SeedProgramFolder(dir / "fresh/brindlemark", sample).ok());
    EXPECT_TRUE(fs::exists(dir / "fresh/brindlemark/Defs/LO649.def"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "fresh"))
        ++entries;
    EXPECT_EQ(entries, 1);
    // A place where no folder can be made is said, naming it.
    bmtest::WriteBytes(dir / "file", "x");
    EXPECT_TRUE(bmtest::HasText(bmtest::Refusal(bm::SeedProgramFolder(dir / "file/brindlemark", sample)),
                                (dir / "file").string()));
}

// Something other than a folder in the program folder's place is named for what it is, never
// taken for a missing folder; a link to a folder is a folder.
TEST(UserFolder, WhatStandsInThePlaceOfTheFolderIsNamed)
{
    TempDir dir;
    const fs::path bin = Install(dir);
    fs::create_directories(dir / "real");
    const struct {
        const char* name;
        std::function<void(const fs::path&)> make;
        const char* said;  // nullptr: used as the folder
    } cases[] = {
        {"file", [](const fs::path& p) { bmtest::WriteBytes(p, "x"); }, "is a file, not a folder"},
#ifndef _WIN32
        {"dangling", [](const fs::path& p) { fs::create_symlink("gone", p); },
         "is a link to gone, which does not exist"},
        {"fifo", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, "is a FIFO, not a folder"},
        {"linked", [&](const fs::path& p) { fs::create_symlink(dir / "real", p); }, nullptr},
#endif
        {"folder", [](const fs::path& p) { fs::create_directories(p); }, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path data = dir / c.name;
        fs::create_directories(data);
        c.make(data / kOwn);
        const auto home = bm::DefaultProgramFolder(bin, data.string(), (dir / "home").string());
        if (!c.said) {
            ASSERT_TRUE(home.ok()) << home.error().message;
            EXPECT_EQ(*home, data / kOwn);
            continue;
        }
        ASSERT_FALSE(home.ok());
        EXPECT_EQ(home.error().message.rfind((data / kOwn).string() + ": " + c.said, 0), 0u) << home.error().message;
        EXPECT_EQ(bm::NotAFolder(data / kOwn).value_or(""), c.said);
    }
    EXPECT_EQ(bm::NotAFolder(dir / "real"), std::nullopt);
    EXPECT_EQ(bm::NotAFolder(dir / "missing").value_or(""), "no such folder");
}

}  // namespace
