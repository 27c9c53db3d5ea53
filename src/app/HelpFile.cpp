#include "app/HelpFile.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#include "app/frmHelp.h"
#include "windowing/window/Module1.h"

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

QString HelpPageFor(const QWidget* window)
{
    const QString name = window ? window->window()->objectName() : QString();
    if (name == QLatin1String("frmHelp"))
        return {};
    if (name == QLatin1String("frmGendef"))
        return QStringLiteral("measuring.html");
    if (name.startsWith(QLatin1String("frmChkwhl")) || name == QLatin1String("frmHistory"))
        return QStringLiteral("checking.html");
    if (name == QLatin1String("frmWheels"))
        return QStringLiteral("wheels.html");
    if (name == QLatin1String("frmCalibrate"))
        return QStringLiteral("calibrating.html");
    return QStringLiteral("printing.html");
}

void OpenHelp(const std::filesystem::path& home, const UrlOpener& open, const QString& page)
{
    const std::filesystem::path file = home / "Swhelp.chm";
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec) && open(QUrl::fromLocalFile(QString::fromStdString(file.string()))))
        return;
    auto* help = dynamic_cast<frmHelp*>(ShowForm(QStringLiteral("frmHelp"), [&home] { return new frmHelp(home); }));
    if (help && !page.isEmpty())
        help->ShowPage(page);
}

}  // namespace bm::app
