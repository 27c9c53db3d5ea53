#pragma once

#include <filesystem>
#include <string>

namespace bm::app {

// What the window that prints offers a window that makes wheels: print or preview a wheel file
// on the slips of a definition of the Defs folder ("LO649.def"), as Print Playslips and
// Preview do with that definition chosen.
class WheelPrinter {
public:
    virtual ~WheelPrinter() = default;
    virtual void PrintWheel(const std::string& listedName, const std::filesystem::path& wheel, bool preview) = 0;
};

}  // namespace bm::app
