#include "windowing/window/WindowCatalogue.h"

namespace bm::app {

void WindowCatalogue::SetChecker(const std::string& windowName, WindowFactory factory)
{
    checkers_[windowName] = std::move(factory);
}

WindowFactory WindowCatalogue::checker(const std::string& windowName) const
{
    const auto it = checkers_.find(windowName);
    return it == checkers_.end() ? WindowFactory{} : it->second;
}

}  // namespace bm::app
