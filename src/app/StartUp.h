#pragma once

#include <functional>

#include "app/frmMain.h"

namespace bm::app {

// How the splash waits: `ms` milliseconds with the splash on screen and no input handled.
using SplashWait = std::function<void(QWidget& splash, int ms)>;
SplashWait DefaultSplashWait();

inline constexpr int kSplashMilliseconds = 1500;

// Shows the splash, painted, for 1,500 ms, removes it and shows the main window, which it
// returns; the program then runs on the main window's events.
frmMain* StartUp(frmMain::Services services, const SplashWait& wait = DefaultSplashWait());

}  // namespace bm::app
