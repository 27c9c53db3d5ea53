#include "app/RememberedChoices.h"

#include <fstream>

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

RememberedChoices::RememberedChoices(const ProgramFolder& folder) : file_(File(folder))
{
    std::ifstream in(file_, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(kMaxBytes), '\0');
    in.read(bytes.data(), kMaxBytes);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (const auto eq = line.find('='); eq != std::string::npos && eq > 0)
            values_[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
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
