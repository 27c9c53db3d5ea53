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

const char* WideTextKind(std::string_view head)
{
    const auto at = [&](std::size_t i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 0x100u; };
    if ((at(0) == 0xFF && at(1) == 0xFE && at(2) == 0 && at(3) == 0) ||
        (at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF))
        return "UTF-32";
    if ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))
        return "UTF-16";
    if (head.size() < 4)
        return nullptr;
    const bool z[4] = {at(0) == 0, at(1) == 0, at(2) == 0, at(3) == 0};
    if ((!z[0] && z[1] && z[2] && z[3]) || (z[0] && z[1] && z[2] && !z[3]))
        return "UTF-32";
    if ((!z[0] && z[1] && !z[2] && z[3]) || (z[0] && !z[1] && z[2] && !z[3]))
        return "UTF-16";
    return nullptr;
}

std::string ShownLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0 &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80;
        if (c >= 0x20 && c != 0x7f && !c1) {
            out += static_cast<char>(c);
            continue;
        }
        out += ShownText(text.substr(i, c1 ? 2 : 1));
        i += c1 ? 1 : 0;
    }
    return out;
}

}  // namespace bm
