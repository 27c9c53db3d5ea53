#pragma once

#include <chrono>
#include <vector>

#include <QEvent>
#include <QWidget>

namespace bmbench {

using Steady = std::chrono::steady_clock;

inline double Ms(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// When a widget was painted, from the moment this watches it.
class PaintTimes : public QObject {
public:
    explicit PaintTimes(QWidget* w) { w->installEventFilter(this); }
    std::vector<Steady::time_point> at;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            at.push_back(Steady::now());
        return false;
    }
};

}  // namespace bmbench
