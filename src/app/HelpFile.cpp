#include "app/HelpFile.h"

#include <QDesktopServices>
#include <QDir>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include "app/Dialogs.h"

namespace bm::app {

namespace {

// On freedesktop systems QDesktopServices hands the file to xdg-open, which succeeds in
// starting even when no program is set up for the file's type. Asking xdg-mime first tells
// that case apart; where there is no xdg-mime the desktop's own answer is all there is.
bool NoHandlerFor(const QUrl& url)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    const QString type = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit)
        return false;
    return query.readAllStandardOutput().trimmed().isEmpty();
#else
    (void)url;
    return false;
#endif
}

}  // namespace

UrlOpener DesktopOpener()
{
    return [](const QUrl& url) { return !NoHandlerFor(url) && QDesktopServices::openUrl(url); };
}

void OpenHelpFile(QWidget* parent, const std::filesystem::path& home, const UrlOpener& open)
{
    const std::filesystem::path file = home / "Swhelp.chm";
    const QString shown = QDir::toNativeSeparators(QString::fromStdString(file.string()));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        dialogs().Message(parent, QStringLiteral("Brindlemark"),
                          QStringLiteral("The help file was not found. It was looked for here:\n%1").arg(shown),
                          Icon::Warning, Buttons::Ok);
        return;
    }
    if (!open(QUrl::fromLocalFile(QString::fromStdString(file.string())))) {
        dialogs().Message(parent, QStringLiteral("Brindlemark"),
                          QStringLiteral("Nothing on this computer could open the help file\n%1\n"
                                         "Install a viewer for .chm files (such as xCHM or KchmViewer) and try again.")
                              .arg(shown),
                          Icon::Warning, Buttons::Ok);
    }
}

}  // namespace bm::app
