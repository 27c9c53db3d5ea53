#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include <unistd.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace bmtest {

namespace {

// The tests never see the user's folders, locale or printer settings, in this process (printing
// in process asks libcups, which reads ~/.cups/lpoptions and LPDEST) or in any child: before any
// test runs, HOME and the XDG folders point into a folder of this run's own, and whatever names a
// printer, a print server or a locale is removed. (On Windows they run in a Wine prefix of the
// build's own, which holds no user settings.)
#ifndef _WIN32
class OwnEnvironment {
public:
    OwnEnvironment()
    {
        std::string name = (std::filesystem::temp_directory_path() / "bmtest-env-XXXXXX").string();
        if (!mkdtemp(name.data()))
            return;
        root_ = name;
        std::vector<std::string> drop;
        for (char** e = environ; *e; ++e) {
            const std::string var = std::string(*e).substr(0, std::string(*e).find('='));
            if (var.rfind("CUPS_", 0) == 0 || var == "LPDEST" || var == "PRINTER" || var.rfind("LC_", 0) == 0)
                drop.push_back(var);
        }
        for (const auto& var : drop)
            ::unsetenv(var.c_str());
        for (const auto& [var, sub] : {std::pair{"HOME", "home"},
                                       {"XDG_CONFIG_HOME", "config"},
                                       {"XDG_DATA_HOME", "data"},
                                       {"XDG_CACHE_HOME", "cache"},
                                       {"CUPS_SERVERROOT", "cups"}}) {
            std::filesystem::create_directories(root_ / sub);
            ::setenv(var, (root_ / sub).c_str(), 1);
        }
        ::setenv("LANG", "C.UTF-8", 1);
        ::setenv("LC_ALL", "C.UTF-8", 1);
    }
    ~OwnEnvironment()
    {
        std::error_code ec;
        if (!root_.empty())
            std::filesystem::remove_all(root_, ec);
    }

private:
    std::filesystem::path root_;
};

const OwnEnvironment ownEnvironment;
#endif

}  // namespace

TempDir::TempDir()
{
#ifdef _WIN32
    // A fresh name: create_directory says whether this start made it.
    std::random_device random;
    for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
        const auto name = std::filesystem::temp_directory_path() / ("bmtest-" + std::to_string(random()));
        if (std::filesystem::create_directory(name))
            path_ = name;
    }
    if (path_.empty())
        throw std::runtime_error("cannot create a temporary folder");
#else
    std::string name = (std::filesystem::temp_directory_path() / "bmtest-XXXXXX").string();
    if (!mkdtemp(name.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = name;
    // mkdtemp makes it private; the printing system's helpers, run as another user, write inside.
    std::filesystem::permissions(path_, std::filesystem::perms(0755));
#endif
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void TempDir::makeProgramFolder(std::initializer_list<const char*> samples) const
{
    for (const char* d : {"Defs", "Settings", "wheel", "Summary"})
        std::filesystem::create_directories(path_ / d);
    for (const char* name : samples)
        std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "Defs" / (std::string(name) + ".def"),
                                   path_ / "Defs" / (std::string(name) + ".def"));
}

std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string WithoutTags(std::string_view html)
{
    std::string text;
    bool inTag = false;
    for (const char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return text;
}

std::string Repeated(std::string_view text, int count)
{
    std::string out;
    out.reserve(text.size() * static_cast<std::size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void MakeOlder(const std::filesystem::path& file, int seconds)
{
#ifdef _WIN32
    std::error_code error;
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds), error);
    if (error)
        throw std::runtime_error("cannot set the times of " + file.string());
#else
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec -= seconds;
    const struct timespec times[2] = {now, now};
    if (::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set the times of " + file.string());
#endif
}

}  // namespace bmtest
