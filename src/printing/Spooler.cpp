#include "printing/Spooler.h"

#include <cctype>
#include <string_view>
#include <utility>

namespace bm {

std::string SourceLabel(const std::string& keyword)
{
    static const std::pair<std::string_view, const char*> known[] = {
        {"auto", "Automatic"}, {"manual", "Manual Feed"},       {"by-pass-tray", "Bypass Tray"}, {"main", "Main Tray"},
        {"rear", "Rear Slot"}, {"envelope", "Envelope Feeder"}, {"alternate", "Alternate Tray"}};
    for (const auto& [k, label] : known)
        if (keyword == k)
            return label;
    // "tray-1" as "Tray 1", "large-capacity" as "Large Capacity".
    std::string label;
    bool start = true;
    for (const char c : keyword) {
        if (c == '-' || c == '_') {
            label += ' ';
            start = true;
        } else {
            label += start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            start = false;
        }
    }
    return label;
}

}  // namespace bm
