#pragma once

#include <filesystem>
#include <functional>

#include <QUrl>

class QWidget;

namespace bm::app {

// The desktop's way of opening a document; false when nothing could open it.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener DesktopOpener();

// Opens Swhelp.chm of the program folder with the desktop's default handler. A missing file,
// or one nothing can open, is told to the user with the path that was looked at.
void OpenHelpFile(QWidget* parent, const std::filesystem::path& home, const UrlOpener& open);

}  // namespace bm::app
