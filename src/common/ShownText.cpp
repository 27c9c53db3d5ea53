#include "common/ShownText.h"

#include <cstdio>

namespace bm {

std::string ShownText(std::string_view text, std::size_t limit)
{
    std::string out;
    for (unsigned char c : text.substr(0, limit)) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    if (text.size() > limit)
        out += "...";
    return out;
}

}  // namespace bm
