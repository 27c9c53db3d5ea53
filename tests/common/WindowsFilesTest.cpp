// The Windows side of the platform pieces: atomic writes, the leftover sweep, devices, and
// file names beyond ASCII. Run under Wine on Linux.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "common/InputFile.h"
#include "common/OwnSettings.h"
#include "common/Platform.h"
#include "common/ProgramFolder.h"
#include "common/ProgramStart.h"
#include "common/UserFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using bmtest::HasText;
using bmtest::ReadBytes;
using bmtest::Refusal;
using bmtest::TempDir;
using bmtest::WriteBytes;

std::vector<std::wstring> Names(const fs::path& folder)
{
    std::vector<std::wstring> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().native());
    return names;
}

DWORD Attributes(const fs::path& p)
{
    return GetFileAttributesW(p.c_str());
}

TEST(WindowsAtomicFile, ReplacesKeepingAttributesWritesNewFilesAndLeavesNoCopy)
{
    TempDir dir;
    WriteBytes(dir / "kept.txt", "old and longer");
    ASSERT_TRUE(SetFileAttributesW((dir / "kept.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(bm::WriteFileAtomically(dir / "kept.txt", "new").ok());
    EXPECT_EQ(ReadBytes(dir / "kept.txt"), "new");
    EXPECT_TRUE(Attributes(dir / "kept.txt") & FILE_ATTRIBUTE_HIDDEN);

    ASSERT_TRUE(bm::WriteFileAtomically(dir / "fresh.txt", "a\r\nb\n").ok());
    EXPECT_EQ(ReadBytes(dir / "fresh.txt"), "a\r\nb\n");
    EXPECT_FALSE(Attributes(dir / "fresh.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Names(dir.path()).size(), 2u);

    {
        bm::AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(dir / "kept.txt").ok());
        ASSERT_TRUE(writer.Write(std::string(1 << 20, 'x')));
        EXPECT_EQ(ReadBytes(dir / "kept.txt"), "new");
        writer.Abandon();
    }
    EXPECT_EQ(ReadBytes(dir / "kept.txt"), "new");
    EXPECT_EQ(Names(dir.path()).size(), 2u);
}

// Devices are names in every folder, with any extension; nothing is ever written to one.
TEST(WindowsAtomicFile, RefusesDevicesFoldersReadOnlyFilesInputsAndDefinitions)
{
    TempDir dir;
    dir.makeProgramFolder({"LO649"});
    const bm::ProgramFolder folder(dir.path());
    WriteBytes(dir / "locked.txt", "x");
    ASSERT_TRUE(SetFileAttributesW((dir / "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    WriteBytes(dir / "in.txt", "1,2,3\n");
    const struct {
        fs::path target;
        const char* said;
    } cases[] = {
        {"NUL", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {dir / "nul", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {dir / "Con.txt", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {dir / "aux .pdf", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {dir / "COM1", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {dir / "lpt9.txt", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {"\\\\.\\PhysicalDrive0", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {"CONOUT$", "is not a regular file (a device, FIFO or socket); nothing was written"},
        {dir / "Defs", "is a folder"},
        {dir / "locked.txt", "cannot be written (it is read-only)"},
        {dir / "no-such-folder" / "x.txt", "does not exist"},
        {dir / "in.txt", "an input of this run"},
        {dir / "Defs" / "new.def", "lies in the program's Defs folder"},
        {dir / "Settings" / "x.ini", "lies in the program's Settings folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.string());
        EXPECT_TRUE(HasText(Refusal(bm::CheckOutputTarget(c.target, {dir / "in.txt"}, &folder)), c.said));
    }
    EXPECT_TRUE(HasText(Refusal(bm::WriteFileAtomically(dir / "NUL", "x")), "nothing was written"));
    EXPECT_EQ(ReadBytes(dir / "locked.txt"), "x");
    EXPECT_TRUE(bm::CheckOutputTarget(dir / "fine.txt", {dir / "in.txt"}, &folder).ok());
}

// A copy is written under "." TARGET "." 12 letters ".tmp"; one whose writer still lives (holds
// it locked) stays, one nobody holds goes with the next write of the same target.
TEST(WindowsAtomicFile, TheSweepRemovesOnlyCopiesNobodyHoldsLocked)
{
    TempDir dir;
    const fs::path gone = dir / ".s.txt.abcdefABCDEF.tmp";
    const fs::path held = dir / ".s.txt.012345678901.tmp";
    const fs::path others = dir / ".t.txt.abcdefABCDEF.tmp";
    const fs::path folderLike = dir / ".s.txt.zzzzzzzzzzzz.tmp";
    const fs::path notOurs = dir / ".s.txt.abc.tmp";
    for (const fs::path& p : {gone, held, others, notOurs})
        WriteBytes(p, "partial");
    fs::create_directory(folderLike);
    const HANDLE h =
        CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    OVERLAPPED all{};
    ASSERT_TRUE(LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &all));

    ASSERT_TRUE(bm::WriteFileAtomically(dir / "s.txt", "done").ok());
    EXPECT_FALSE(fs::exists(gone));
    for (const fs::path& p : {held, others, notOurs, folderLike})
        EXPECT_TRUE(fs::exists(p)) << "removed " << p.string();

    UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &all);
    CloseHandle(h);  // the writer is gone
    ASSERT_TRUE(bm::WriteFileAtomically(dir / "s.txt", "again").ok());
    EXPECT_FALSE(fs::exists(held));
    EXPECT_TRUE(fs::exists(others));
    EXPECT_EQ(ReadBytes(dir / "s.txt"), "again");
}

// Run only by the test below, in a process of its own that it then kills.
TEST(WindowsAtomicFile, DISABLED_ChildWritesUntilKilled)
{
    const char* target = std::getenv("BM_TEST_KILLED_WRITER");
    ASSERT_NE(target, nullptr);
    bm::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target).ok());
    ASSERT_TRUE(writer.Write(std::string(4 << 20, 'y')));
    WriteBytes(fs::path(target).parent_path() / "ready", "");
    Sleep(120000);
}

// A writer ended from outside (the console closed, Task Manager) leaves the old file and no copy.
TEST(WindowsAtomicFile, AKilledWriterLeavesTheOldFileAndNoCopy)
{
    TempDir dir;
    WriteBytes(dir / "s.txt", "old");
    wchar_t self[MAX_PATH * 4];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH * 4), 0u);
    std::wstring command =
        L"\"" + std::wstring(self) +
        L"\" --gtest_also_run_disabled_tests --gtest_filter=WindowsAtomicFile.DISABLED_ChildWritesUntilKilled";
    ASSERT_TRUE(SetEnvironmentVariableW(L"BM_TEST_KILLED_WRITER", (dir / "s.txt").c_str()));
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &child));
    SetEnvironmentVariableW(L"BM_TEST_KILLED_WRITER", nullptr);
    // Until the copy is written or the child has ended without writing it.
    while (!fs::exists(dir / "ready") && WaitForSingleObject(child.hProcess, 20) == WAIT_TIMEOUT) {
    }
    const bool ready = fs::exists(dir / "ready");
    TerminateProcess(child.hProcess, 9);
    WaitForSingleObject(child.hProcess, INFINITE);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    ASSERT_TRUE(ready) << "the child ended before it wrote";
    fs::remove(dir / "ready");
    EXPECT_EQ(ReadBytes(dir / "s.txt"), "old");
    EXPECT_EQ(Names(dir.path()), std::vector<std::wstring>{L"s.txt"});
}

// Names beyond ASCII, given as UTF-8 like every string in the program, reach the system intact.
TEST(WindowsPaths, NamesBeyondAsciiTravelAsUtf8)
{
    TempDir dir;
    const std::string name =
        "\xC5\x81\xC3\xB3\x64\xC5\xBA F\xC3\xA4llt \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xF0\x9F\x8E\xB2";
    const fs::path folder = dir / name;
    ASSERT_TRUE(fs::create_directory(folder));
    EXPECT_EQ(Names(dir.path()),
              std::vector<std::wstring>{L"\u0141\u00F3d\u017A F\u00E4llt \u03A9\u03BC\u03AD\u03B3\u03B1 \U0001F3B2"});
    EXPECT_EQ(folder.filename().string(), name);

    const fs::path wheel = folder / (name + ".txt");
    ASSERT_TRUE(bm::WriteFileAtomically(wheel, "1,2,3,4,5,6\r\n").ok());
    EXPECT_EQ(ReadBytes(wheel), "1,2,3,4,5,6\r\n");
    const auto input = bm::InputFile::Open(wheel);
    ASSERT_TRUE(input.ok()) << input.error().message;
    const auto head = bm::TextHead(**input, wheel.string(), "wheel file", "plays");
    ASSERT_TRUE(head.ok()) << head.error().message;
    EXPECT_EQ(*head, "1,2,");
    EXPECT_TRUE((*input)->CheckUnchanged().ok());
    const auto missing = bm::InputFile::Open(folder / "missing.txt");
    EXPECT_EQ(Refusal(missing), (folder / "missing.txt").string() + ": cannot be opened (No such file or directory)");

    WriteBytes(folder / "s.ini", "Definition=LO649\r\n");
    const bm::OwnSettings own = bm::ReadOwnSettings(folder / "s.ini");
    EXPECT_FALSE(own.foreign);
    EXPECT_EQ(own.lines, std::vector<std::string>{"Definition=LO649"});
}

TEST(WindowsPaths, FileStampsTellFilesApartAndSayWhatTheyAre)
{
    TempDir dir;
    WriteBytes(dir / "a", "1");
    WriteBytes(dir / "b", "1");
    bm::FileStamp a, a2, b, folder, device;
    ASSERT_TRUE(bm::StampOf(dir / "a", a));
    ASSERT_TRUE(bm::StampOf(dir / "." / "a", a2));
    ASSERT_TRUE(bm::StampOf(dir / "b", b));
    ASSERT_TRUE(bm::StampOf(dir.path(), folder));
    EXPECT_TRUE(a.SameFile(a2));
    EXPECT_FALSE(a.SameFile(b));
    EXPECT_TRUE(a.regular && !a.folder && a.size == 1);
    EXPECT_TRUE(folder.folder && !folder.regular);
    if (bm::StampOf("NUL", device)) {
        EXPECT_FALSE(device.regular || device.folder);
    }
    EXPECT_FALSE(bm::StampOf(dir / "missing", b));
    EXPECT_GT(bm::FreeMemoryBytes(), 0u);
}

// An installed program's folder is %APPDATA%\Brindlemark, made from the sample beside the .exe.
TEST(WindowsPaths, TheProgramFolderGoesUnderAppData)
{
    TempDir dir;
    const fs::path exe = dir / "Program Files" / "Brindlemark";
    fs::create_directories(exe / "sample" / "Defs");
    WriteBytes(exe / "sample" / "Defs" / "LO649.def", "49\r\n");
    const std::string appData = (dir / "Users" / "\xC3\x85sa" / "AppData" / "Roaming").string();
    const auto home = bm::DefaultProgramFolder(exe, appData, "");
    ASSERT_TRUE(home.ok()) << home.error().message;
    EXPECT_EQ(*home, fs::path(appData) / "Brindlemark");
    EXPECT_EQ(ReadBytes(*home / "Defs" / "LO649.def"), "49\r\n");
    EXPECT_TRUE(fs::is_directory(*home / "Summary"));
}

// A file under the program folder is named with the separator the folder was written in, as the
// Linux program names it when the folder is given as "/tmp/bm".
TEST(WindowsPaths, NamesUnderAFolderKeepItsSeparator)
{
    const struct {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* joined;
    } cases[] = {
        {L"/tmp/bm", L"Defs", L"/tmp/bm/Defs"},
        {L"/tmp/bm/", L"Defs", L"/tmp/bm/Defs"},
        {L"C:/games", L"wheel", L"C:/games/wheel"},
        {L"bm", L"Summary", L"bm/Summary"},
        {L"C:\\Users\\ann\\Brindlemark", L"Defs", L"C:\\Users\\ann\\Brindlemark\\Defs"},
        {L"C:", L"Defs", L"C:Defs"},
        {L"/tmp/bm", L"C:\\w.txt", L"C:\\w.txt"},
        {L"/tmp/bm", L"/w.txt", L"/w.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bm::Under(c.folder, c.name).native(), std::wstring(c.joined)) << fs::path(c.folder).string();
    EXPECT_EQ(bm::ProgramFolder("/tmp/bm").definitionFile("LO649").native(), L"/tmp/bm/Defs/LO649.def");
}

// Run only by the test below: says its arguments, one a line, into BM_TEST_ARGS, and writes
// lines to standard output as the reports do.
TEST(WindowsProgramStart, DISABLED_ChildSaysItsArguments)
{
    std::string said;
    for (const std::string& a : bm::ProgramArguments(0, nullptr))
        said += a + "\n";
    WriteBytes(bm::EnvironmentText("BM_TEST_ARGS"), said);
    bm::UseExactStandardStreams();
    std::fputs("<<line 1\nline 2\n>>", stdout);
    std::fflush(stdout);
}

// Arguments beyond ASCII arrive as UTF-8 whatever the code page; a report's lines end in LF.
TEST(WindowsProgramStart, ArgumentsArriveAsUtf8AndOutputLinesEndInLf)
{
    TempDir dir;
    wchar_t self[MAX_PATH * 4];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH * 4), 0u);
    std::wstring command =
        L"\"" + std::wstring(self) +
        L"\" --gtest_also_run_disabled_tests --gtest_filter=WindowsProgramStart.DISABLED_ChildSaysItsArguments"
        L" \"C:\\\u0141\u00F3d\u017A F\u00E4llt\\w.txt\" plain \"say \\\"hi\\\"\"";
    ASSERT_TRUE(SetEnvironmentVariableW(L"BM_TEST_ARGS", (dir / "args.txt").c_str()));
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = writeEnd;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &child));
    SetEnvironmentVariableW(L"BM_TEST_ARGS", nullptr);
    CloseHandle(writeEnd);
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(child.hProcess, INFINITE);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    const std::string args = ReadBytes(dir / "args.txt");
    EXPECT_TRUE(HasText(args, "\nC:\\\xC5\x81\xC3\xB3\x64\xC5\xBA F\xC3\xA4llt\\w.txt\nplain\nsay \"hi\"\n")) << args;
    EXPECT_TRUE(HasText(out, "<<line 1\nline 2\n>>")) << out;
}

}  // namespace

#endif  // _WIN32
