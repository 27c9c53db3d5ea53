#pragma once

#include <filesystem>

namespace bm::app {

// Runs the desktop program (splash, then the main window) until it is closed; `home` is the
// program folder. Returns the process's exit status.
int GuiMain(int argc, char** argv, const std::filesystem::path& home);

}  // namespace bm::app
