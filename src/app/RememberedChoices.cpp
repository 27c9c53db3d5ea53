#include "app/RememberedChoices.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>

#include "app/Dialogs.h"
#include "common/AtomicFile.h"

namespace bm::app {

namespace {

// Far more than any set of choices needs; a larger file is not one of ours.
constexpr std::streamsize kMaxBytes = 64 * 1024;

std::string FolderKey(const char* kind)
{
    return std::string(kind) + "Folder";
}

QString StartFolder(const ProgramFolder& home, const char* kind, const QString& fallback)
{
    const QString last = QString::fromStdString(RememberedChoices(home).Get(FolderKey(kind)));
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : fallback;
}

void RememberFolderOf(const ProgramFolder& home, const char* kind, const QString& file)
{
    if (file.isEmpty())
        return;
    // Not being able to remember is no reason to trouble the user.
    (void)RememberedChoices(home).Set(FolderKey(kind), QFileInfo(file).absolutePath().toStdString());
}

}  // namespace

namespace {

// A key as the program writes them: "Definition", "WheelFolder", "Prizes.LO649".
bool IsKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
               c == '-';
    });
}

// The whole file, or nothing when there is none. Only a regular file is read (a FIFO in its
// place would block the start for ever); anything else is not ours.
std::optional<std::string> ReadOwnFile(const std::filesystem::path& file, bool& foreign)
{
    struct stat named {};
    if (::stat(file.c_str(), &named) != 0) {
        foreign = errno != ENOENT;
        return std::nullopt;
    }
    if (!S_ISREG(named.st_mode)) {
        foreign = true;  // not even opened: opening a FIFO would wake or block another program
        return std::nullopt;
    }
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        foreign = errno != ENOENT;
        return std::nullopt;
    }
    struct stat st {};
    std::string bytes;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxBytes) {
        foreign = true;
    } else {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        foreign = got != bytes.size();
    }
    ::close(fd);
    if (foreign)
        return std::nullopt;
    return bytes;
}

}  // namespace

RememberedChoices::RememberedChoices(const ProgramFolder& folder) : file_(File(folder))
{
    SweepWriterLeftovers(folder.home(), [](std::string_view target) { return target == "Brindlemark.ini"; });
    const auto bytes = ReadOwnFile(file_, foreign_);
    if (!bytes)
        return;
    std::map<std::string, std::string> read;
    std::size_t start = 0;
    while (start < bytes->size()) {
        std::size_t end = bytes->find('\n', start);
        if (end == std::string::npos)
            end = bytes->size();
        std::string line = bytes->substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto eq = line.find('=');
        if (!line.empty() && (eq == std::string::npos || !IsKey(std::string_view(line).substr(0, eq)) ||
                              line.find('\0') != std::string::npos)) {
            // Not what this program writes: left as it is, and nothing of it is taken.
            foreign_ = true;
            return;
        }
        if (!line.empty())
            read[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    values_ = std::move(read);
}

std::filesystem::path RememberedChoices::File(const ProgramFolder& folder)
{
    return folder.home() / "Brindlemark.ini";
}

std::string RememberedChoices::Get(const std::string& key) const
{
    const auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
}

Status RememberedChoices::Set(const std::string& key, const std::string& value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        return Error{"a line end cannot be remembered"};
    if (foreign_)
        return Error{file_.string() + ": is not a settings file of this program; it was left as it is"};
    if (Get(key) == value)
        return Ok{};
    values_[key] = value;
    std::string text;
    for (const auto& [k, v] : values_)
        text += k + "=" + v + "\r\n";
    return WriteFileAtomically(file_, text);
}

QString OpenFileRemembered(QWidget* parent, const ProgramFolder& home, const char* kind, const QString& title,
                           const QString& filter, const QString& folder)
{
    const QString file = dialogs().OpenFile(parent, title, filter, StartFolder(home, kind, folder));
    RememberFolderOf(home, kind, file);
    return file;
}

QString SaveFileRemembered(QWidget* parent, const ProgramFolder& home, const char* kind, const QString& title,
                           const QString& filter, const QString& folder, const QString& defaultSuffix)
{
    const QString file = dialogs().SaveFile(parent, title, filter, StartFolder(home, kind, folder), defaultSuffix);
    RememberFolderOf(home, kind, file);
    return file;
}

}  // namespace bm::app
