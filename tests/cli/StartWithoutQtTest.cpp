// The commands start without Qt: the dynamic loader, asked to name every library it maps,
// names no Qt library for any command, while the window (run without a display) loads Qt.

#include <gtest/gtest.h>

#include "cli/ProgramHome.h"
#include "support/PrintTestTools.h"
#include "support/TempDir.h"

using namespace bmtest;

namespace {

TEST(CommandLine, EveryCommandRunsWithoutMappingAQtLibrary)
{
    if (std::string(BRINDLEMARK_EXE).empty())
        GTEST_SKIP() << "the program is not built in this configuration";
    TempDir home;
    home.makeProgramFolder({"LO649"});
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "wheel" / "LO649-sample.txt",
                               home / "wheel" / "LO649-sample.txt");
    const std::string h = Quoted(home.path().string());
    const std::string commands[] = {
        "--version",
        "check --help",
        "print --definition LO649 --wheel LO649-sample.txt --pdf " + Quoted((home / "p.pdf").string()),
        "print --definition LO649 --wheel LO649-sample.txt --marks",
        "test-pattern --definition LO649 --pdf " + Quoted((home / "t.pdf").string()),
        "calibrate --pdf " + Quoted((home / "c.pdf").string()),
        "check --definition LO649 --wheel LO649-sample.txt --draw '3 11 19 27 35 43 44'",
        "wheel analyze --definition LO649 --wheel LO649-sample.txt",
    };
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const Ran ran = RunShell(Quoted(BRINDLEMARK_EXE) + " --home " + h + " " + command, "LD_DEBUG=files");
        EXPECT_EQ(ran.status, 0) << ran.err;
        // The loader's trace is there (libstdc++ is the program's own dependency) and names no Qt.
        EXPECT_TRUE(HasText(ran.err, "file=libstdc++.so"));
        EXPECT_EQ(ran.err.find("libQt"), std::string::npos) << ran.err.substr(ran.err.find("libQt"), 200);
    }
    const Ran ldd = RunShell("ldd " + Quoted(BRINDLEMARK_EXE));
    EXPECT_EQ(ldd.status, 0) << ldd.err;
    EXPECT_TRUE(HasText(ldd.out, "libstdc++"));
    EXPECT_EQ(ldd.out.find("libQt"), std::string::npos) << ldd.out;
}

// No command: brindlemark hands over to the window's program, which loads Qt and (without a
// display) says what to do instead, with the window's exit status.
TEST(CommandLine, NoCommandRunsTheWindowsProgramWhichLoadsQt)
{
    if (std::string(BRINDLEMARK_EXE).empty() || std::string(BRINDLEMARK_GUI_EXE).empty())
        GTEST_SKIP() << "the window is not built in this configuration";
    TempDir home;
    home.makeProgramFolder();
    const Ran ran = RunShell("-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LD_DEBUG=files " +
                             Quoted(BRINDLEMARK_EXE) + " --home " + Quoted(home.path().string()));
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(HasText(ran.err, "file=libQt6Widgets.so"));
    EXPECT_TRUE(HasText(ran.err, "brindlemark: there is no display to show the window on"));
    EXPECT_EQ(bm::cli::WindowProgram(std::filesystem::path(BRINDLEMARK_EXE).parent_path()),
              std::filesystem::path(BRINDLEMARK_GUI_EXE).lexically_normal());
}

// The window's program is found beside the command or where an installed program keeps it.
TEST(CommandLine, TheWindowsProgramIsFoundBesideTheCommandOrInLibexec)
{
    TempDir root;
    const auto bin = root / "usr" / "bin";
    const auto libexec = root / "usr" / "libexec" / "brindlemark";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(libexec);
    EXPECT_EQ(bm::cli::WindowProgram(bin), std::filesystem::path());
    WriteBytes(libexec / "brindlemark-gui", "#!/bin/sh\n");
    EXPECT_EQ(bm::cli::WindowProgram(bin), std::filesystem::path()) << "not executable";
    std::filesystem::permissions(libexec / "brindlemark-gui", std::filesystem::perms::owner_all);
    EXPECT_EQ(bm::cli::WindowProgram(bin), (libexec / "brindlemark-gui").lexically_normal());
    WriteBytes(bin / "brindlemark-gui", "#!/bin/sh\n");
    std::filesystem::permissions(bin / "brindlemark-gui", std::filesystem::perms::owner_all);
    EXPECT_EQ(bm::cli::WindowProgram(bin), (bin / "brindlemark-gui").lexically_normal());
}

}  // namespace
