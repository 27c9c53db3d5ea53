#include "windowing/window/Module1.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "windowing/window/WindowManners.h"

namespace bm::app {

namespace {

Clock* g_clock = nullptr;
RunTimes g_times;

std::int32_t Ticks()
{
    Clock& c = g_clock ? *g_clock : MonotonicClock();
    // Kept as the low 32 bits, as a tick count would be; differences stay right.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.NowMs()));
}

bool Loaded(const QWidget* w)
{
    // A closed window may wait a moment for its deletion; it no longer counts.
    return w->isWindow() && !w->isHidden();
}

}  // namespace

void SetTimerClock(Clock* replacement)
{
    g_clock = replacement;
}

double RunTimes::ElapsedSeconds() const
{
    // Unsigned subtraction gives the right difference even when the count wrapped in between.
    const std::uint32_t ms = static_cast<std::uint32_t>(TimerStop) - static_cast<std::uint32_t>(TimerStart);
    return ms / 1000.0;
}

const RunTimes& Timers()
{
    return g_times;
}

void StartTimer()
{
    g_times.TimerStart = Ticks();
}

void StopTimer()
{
    g_times.TimerStop = Ticks();
}

QWidget* FindForm(const QString& name)
{
    const QString wanted = name.toLower();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (Loaded(w) && w->objectName().toLower() == wanted)
            return w;
    }
    return nullptr;
}

bool IsFormLoaded(const QString& name)
{
    return FindForm(name) != nullptr;
}

QWidget* ShowForm(const QString& name, const std::function<QWidget*()>& create)
{
    QWidget* w = FindForm(name);
    if (!w) {
        w = create();
        if (!w)
            return nullptr;
        if (w->objectName().isEmpty())
            w->setObjectName(name);
        w->setAttribute(Qt::WA_DeleteOnClose);
        FitToScreen(w);
        w->show();
    } else if (w->isMinimized()) {
        w->showNormal();
    }
    w->raise();
    w->activateWindow();
    return w;
}

bool CloseOtherForms(QWidget* keep)
{
    QList<QPointer<QWidget>> open;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != keep && Loaded(w))
            open.append(w);
    }
    bool closed = true;
    for (const QPointer<QWidget>& w : open) {
        if (w && !w->close())
            closed = false;
    }
    return closed;
}

}  // namespace bm::app
