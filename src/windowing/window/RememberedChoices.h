#pragma once

#include <filesystem>
#include <map>
#include <string>

#include <QString>

#include "common/ProgramFolder.h"
#include "common/Result.h"

class QWidget;

namespace bm::app {

// What the program remembers across restarts (the current definition, the chosen printer, the
// last folders of the file dialogs), "Key=Value" lines in one file of the program folder. The
// offsets stay in Settings, one file per definition.
class RememberedChoices {
public:
    static constexpr const char* kDefinition = "Definition";
    static constexpr const char* kPrinter = "Printer";

    explicit RememberedChoices(const ProgramFolder& folder);
    static std::filesystem::path File(const ProgramFolder& folder);

    // Empty when nothing is remembered.
    std::string Get(const std::string& key) const;
    // Rewrites the whole file atomically. A value holding a line end is not kept.
    Status Set(const std::string& key, const std::string& value);

private:
    std::filesystem::path file_;
    std::map<std::string, std::string> values_;
    bool foreign_ = false;  // the file is there but not this program's: never rewritten
};

// The program's file dialogs, starting in the folder last used for that kind of file (while it
// exists), else in `folder`; the folder of a chosen file is remembered. `kind` names the kind:
// "Wheel", "Summary", "Pdf". A save may suggest a file name, shown in the folder it opens.
QString OpenFileRemembered(QWidget* parent, const ProgramFolder& home, const char* kind, const QString& title,
                           const QString& filter, const QString& folder);
QString SaveFileRemembered(QWidget* parent, const ProgramFolder& home, const char* kind, const QString& title,
                           const QString& filter, const QString& folder, const QString& defaultSuffix,
                           const QString& suggestedName = {});

}  // namespace bm::app
