#pragma once

#include <filesystem>
#include <functional>

#include <QString>
#include <QUrl>

class QWidget;

namespace bm::app {

// The desktop's way of opening a document; false when nothing could open it.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener DesktopOpener();

// The manual's page for a window of the program: the editor's is the measuring page, the
// checkers' the checking page, the main window's the printing page. Empty for the help
// window itself, which stays where it is.
QString HelpPageFor(const QWidget* window);

// Opens Swhelp.chm of the program folder with the desktop's default handler when it is there
// and something opens it; otherwise the built-in manual at `page`, so help is never a dead end.
void OpenHelp(const std::filesystem::path& home, const UrlOpener& open, const QString& page);

}  // namespace bm::app
