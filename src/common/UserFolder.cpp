#include "common/UserFolder.h"

#ifdef _WIN32
#include <windows.h>

#include <random>

#include "common/Platform.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <vector>

namespace bm {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
bool Writable(const fs::path& folder)
{
    // Program Files and the like refuse new files to a user; a file made and gone tells.
    const fs::path probe = folder / ".brindlemark-write-test.tmp";
    const HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(h);
    return true;
}

// A new folder beside `target` that no other start can be using.
Result<fs::path> MakeScratchFolder(const fs::path& target)
{
    std::mt19937_64 rng(std::random_device{}() ^ GetCurrentProcessId());
    DWORD code = ERROR_ALREADY_EXISTS;
    for (int tries = 0; tries < 100 && code == ERROR_ALREADY_EXISTS; ++tries) {
        const fs::path scratch =
            target.parent_path() / (L"." + target.filename().native() + L"-" + std::to_wstring(rng() % 1000000000));
        if (CreateDirectoryW(scratch.c_str(), nullptr))
            return scratch;
        code = GetLastError();
    }
    return Error{target.parent_path().string() + ": cannot create the program folder there (" +
                 std::strerror(code == ERROR_ACCESS_DENIED    ? EACCES
                               : code == ERROR_PATH_NOT_FOUND ? ENOENT
                                                              : EIO) +
                 ")"};
}

#else
bool Writable(const fs::path& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

// A new folder beside `target` that no other start can be using.
Result<fs::path> MakeScratchFolder(const fs::path& target)
{
    std::string pattern = (target.parent_path() / ("." + target.filename().string() + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)
        return Error{target.parent_path().string() + ": cannot create the program folder there (" +
                     std::strerror(errno) + ")"};
    return fs::path(buffer.data());
}

#endif

}  // namespace

#ifdef _WIN32
std::optional<std::string> NotAFolder(const fs::path& path)
{
    FileStamp stamp;
    if (StampOf(path, stamp)) {
        if (stamp.folder)
            return std::nullopt;
        return std::string("is ") + (stamp.regular ? "a file" : "a device") + ", not a folder";
    }
    const int err = errno;
    if (err == ENOENT)
        return std::string("no such folder");
    return std::string("cannot be reached (") + std::strerror(err) + ")";
}

#else
std::optional<std::string> NotAFolder(const fs::path& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return std::nullopt;
        const char* what = S_ISREG(st.st_mode)    ? "a file"
                           : S_ISFIFO(st.st_mode) ? "a FIFO"
                           : S_ISSOCK(st.st_mode) ? "a socket"
                                                  : "a device";
        return std::string("is ") + what + ", not a folder";
    }
    const int err = errno;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path to = fs::read_symlink(path, ec);
        return "is a link to " + to.string() + ", which does not exist";
    }
    if (err == ENOENT)
        return std::string("no such folder");
    return std::string("cannot be reached (") + std::strerror(err) + ")";
}
#endif

Status SeedProgramFolder(const fs::path& target, const fs::path& sample)
{
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec))) {
        if (const auto why = NotAFolder(target))
            return Error{target.string() + ": " + *why +
                         "; the program keeps its folder there (move it away, "
                         "or name another folder with --home DIR)"};
        return Ok{};
    }
    fs::create_directories(target.parent_path(), ec);
    if (ec)
        return Error{target.parent_path().string() + ": cannot create the folder (" + ec.message() + ")"};
    auto scratch = MakeScratchFolder(target);
    if (!scratch)
        return scratch.error();
    const auto fail = [&](const std::string& what) -> Status {
        std::error_code ignored;
        fs::remove_all(*scratch, ignored);
        return Error{target.string() + ": " + what};
    };
    if (fs::is_directory(sample, ec)) {
#ifdef _WIN32
        // The library's recursive copy stumbles there on the folder it copies into.
        for (fs::recursive_directory_iterator it(sample, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path to = *scratch / fs::relative(it->path(), sample, ec);
            if (!ec && it->is_directory(ec))
                fs::create_directories(to, ec);
            else if (!ec)
                fs::copy_file(it->path(), to, ec);
        }
#else
        fs::copy(sample, *scratch, fs::copy_options::recursive, ec);
#endif
        if (ec)
            return fail("cannot copy the sample folder " + sample.string() + " (" + ec.message() + ")");
    }
    for (const char* sub : {"Defs", "Settings", "wheel", "Summary"}) {
        fs::create_directories(*scratch / sub, ec);
        if (ec)
            return fail(std::string("cannot create ") + sub + " (" + ec.message() + ")");
    }
    // mkdtemp made the folder private to the user, which suits what people keep there.
    // rename() never replaces a folder that holds files, so a folder another start made
    // meanwhile stays as it is and this copy goes.
    fs::rename(*scratch, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(*scratch, ignored);
        if (fs::is_directory(target, ignored))
            return Ok{};
        return Error{target.string() + ": cannot create the program folder (" + ec.message() + ")"};
    }
    return Ok{};
}

Result<fs::path> DefaultProgramFolder(const fs::path& exeFolder, const std::string& xdgDataHome,
                                      const std::string& userHome)
{
    std::error_code ec;
    const fs::path sample = (exeFolder / kInstalledSample).lexically_normal();
    const bool installed = fs::is_directory(sample, ec);
    if (fs::is_directory(exeFolder / "Defs", ec) || (!installed && Writable(exeFolder)))
        return exeFolder;

    fs::path data;
#ifdef _WIN32
    if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute())
        data = xdgDataHome;
    else if (!userHome.empty())
        data = fs::path(userHome) / "AppData" / "Roaming";
    else
        return Error{"Neither APPDATA nor USERPROFILE is set, so there is no place for the program folder; "
                     "name one with --home DIR"};
    const fs::path folder = data / "Brindlemark";
#else
    if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute())
        data = xdgDataHome;
    else if (!userHome.empty())
        data = fs::path(userHome) / ".local" / "share";
    else
        return Error{"Neither XDG_DATA_HOME nor HOME is set, so there is no place for the program folder; "
                     "name one with --home DIR"};
    const fs::path folder = data / "brindlemark";
#endif
    if (auto seeded = SeedProgramFolder(folder, sample); !seeded)
        return seeded.error();
    return folder;
}

}  // namespace bm
