#include "app/GuiMain.h"

#include <iostream>

namespace bm::app {

int GuiMain(int, char**, const std::filesystem::path&)
{
    std::cerr << "brindlemark: the desktop window is not available in this build\n";
    return 1;
}

}  // namespace bm::app
