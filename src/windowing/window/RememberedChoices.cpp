#include "windowing/window/RememberedChoices.h"

#include <map>
#include <optional>

#include <QDir>
#include <QFileInfo>

#include "common/AtomicFile.h"
#include "common/OwnSettings.h"
#include "windowing/window/Dialogs.h"

namespace bm::app {

namespace {

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

// A key given twice (two calibrations of one printer): a rewrite would keep only one of the two,
// so the file is left as it is, and the refusal names the second line.
std::optional<std::string> GivenTwice(const std::filesystem::path& file)
{
    const OwnSettings own = ReadOwnSettings(file);
    std::map<std::string, std::size_t> lineOf;
    for (std::size_t i = 0; i < own.lines.size(); ++i) {
        const auto eq = own.lines[i].find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = own.lines[i].substr(0, eq);
        if (const auto [first, fresh] = lineOf.emplace(key, i + 1); !fresh)
            return file.string() + ": line " + std::to_string(i + 1) + ": " + key +
                   " is given a second time (first on line " + std::to_string(first->second) +
                   "); remove one of the two lines; the file was left as it is";
    }
    return std::nullopt;
}

}  // namespace

RememberedChoices::RememberedChoices(const ProgramFolder& folder) : file_(File(folder))
{
    SweepWriterLeftovers(folder.home(), [](std::string_view target) { return target == "Brindlemark.ini"; });
    OwnSettings own = ReadOwnSettings(file_);
    foreign_ = own.foreign;
    std::map<std::string, std::string> read;
    for (std::string& line : own.lines) {
        const auto eq = line.find('=');
        // A key given twice: the first is the one every reader takes.
        if (eq != std::string::npos)
            read.emplace(line.substr(0, eq), line.substr(eq + 1));
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
    if (const auto twice = GivenTwice(file_))
        return Error{*twice};
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
                           const QString& filter, const QString& folder, const QString& defaultSuffix,
                           const QString& suggestedName)
{
    QString start = StartFolder(home, kind, folder);
    // A name to begin with, in the folder the dialog opens.
    if (!suggestedName.isEmpty())
        start = QDir(start).filePath(suggestedName);
    const QString file = dialogs().SaveFile(parent, title, filter, start, defaultSuffix);
    RememberFolderOf(home, kind, file);
    return file;
}

}  // namespace bm::app
