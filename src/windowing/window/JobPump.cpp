#include "windowing/window/JobPump.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace bm::app {

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease: return true;
    default: return false;
    }
}

}  // namespace

JobPump::JobPump(int intervalMs) : intervalMs_(intervalMs) {}

JobPump::~JobPump()
{
    Stop();
}

void JobPump::Start()
{
    if (active_)
        return;
    active_ = true;
    escape_ = false;
    QCoreApplication::instance()->installEventFilter(this);
    sinceEvents_.start();
}

void JobPump::Stop()
{
    if (!active_)
        return;
    active_ = false;
    QCoreApplication::instance()->removeEventFilter(this);
}

bool JobPump::Pressed()
{
    // The clock is read only every few polls: a poll comes every box position, a few
    // nanoseconds apart, and reading the clock would cost more than the job's own work.
    if (++polls_ % kPollsPerClockRead != 0 && intervalMs_ > 0)
        return escape_;
    if (active_ && !escape_ && sinceEvents_.elapsed() >= intervalMs_) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        sinceEvents_.start();
    }
    return escape_;
}

bool JobPump::eventFilter(QObject* watched, QEvent* event)
{
    if (!active_ || !IsUserInput(event->type()))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        escape_ = true;
    return true;
}

}  // namespace bm::app
