#pragma once

#include <cstdint>
#include <functional>

#include <QString>

#include "checking/Clock.h"

class QWidget;

namespace bm::app {

// The clock StartTimer and StopTimer read: the monotonic one unless a test installed its own
// (nullptr restores it).
void SetTimerClock(Clock* replacement);

// The millisecond counts of the last check run, as a pair (kept in 32 bits).
struct RunTimes {
    std::int32_t TimerStart = 0;
    std::int32_t TimerStop = 0;
    // Seconds between the two counts, right across a wrap of the 32-bit counts as well.
    double ElapsedSeconds() const;
};

const RunTimes& Timers();
void StartTimer();
void StopTimer();

// A window counts as loaded from the moment it is shown until it is closed. Names compare
// whole and without regard to case: "frmchkwhl" finds frmChkwhl, never frmChkwhl5.
bool IsFormLoaded(const QString& name);
QWidget* FindForm(const QString& name);

// Windows exist at most once: brings the loaded window of that name forward, or makes one
// with `create`, names it, shows it and has it deleted when it is closed.
QWidget* ShowForm(const QString& name, const std::function<QWidget*()>& create);

// Closes every window of the program except `keep` (the main window, which closes last).
// False when a window stayed open (one that asked about unsaved work and was told Cancel).
bool CloseOtherForms(QWidget* keep);

}  // namespace bm::app
