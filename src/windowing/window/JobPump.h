#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "common/EscapeKey.h"

namespace bm::app {

// Keeps the program alive while a print job runs inside a click handler, and is the job's
// Escape key.
//
// Why an event filter and not the keyboard's own state: X11, Wayland and the offscreen
// platform offer no asynchronous key state a program may read, so Escape can only be seen
// as a key event, to any window of the program that has the keyboard focus. The job polls Pressed() after every box position; at most every
// `intervalMs` that poll lets Qt deliver what is waiting. Paint events keep the windows drawn
// and the status labels current (with 20 ms, 50 times a second); a waiting Escape press is
// caught here and ends the job at the next poll, well within 100 ms. Every other input
// (clicks, keys, wheel, shortcuts) to any window is dropped while the job runs, so no click
// can start a second job or a check run in the middle of this one.
class JobPump : public QObject, public EscapeKey {
public:
    static constexpr int kDefaultIntervalMs = 20;

    explicit JobPump(int intervalMs = kDefaultIntervalMs);
    ~JobPump() override;

    // From now on input is held back and Escape is watched; a press before this does not count.
    void Start();
    // Input reaches the windows again.
    void Stop();
    // Ends the job at its next poll, as Escape would.
    void RequestStop() { escape_ = true; }
    bool active() const { return active_; }

    bool Pressed() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr unsigned kPollsPerClockRead = 64;

    int intervalMs_;
    unsigned polls_ = 0;
    bool active_ = false;
    bool escape_ = false;
    QElapsedTimer sinceEvents_;
};

}  // namespace bm::app
