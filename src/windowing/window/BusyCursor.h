#pragma once

#include "checking/NumberPatterns.h"

namespace bm::app {

// The user's number separators as Qt knows them; "," and "." where the locale has no grouping.
NumberSeparators UiSeparators();

// The hourglass while it lives (or until Release), so no path out of a handler leaves it on.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor() { Release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void Release();

private:
    bool on_ = true;
};

}  // namespace bm::app
