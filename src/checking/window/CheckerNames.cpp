#include "checking/window/CheckerNames.h"

#include <stdexcept>
#include <string>

namespace bm {

namespace {

struct WindowName {
    std::string_view id;
    const char* window;
};

constexpr WindowName kWindows[] = {
    {"six", "frmChkwhl"},
    {"five", "frmChkwhl5"},
    {"seven", "frmChkwhl7"},
    {"powerball", "frmChkwhlPB"},
};

}  // namespace

const char* CheckerWindowName(const CheckerVariant& variant)
{
    for (const auto& w : kWindows)
        if (w.id == variant.id)
            return w.window;
    throw std::logic_error("no window for the checker " + std::string(variant.id));
}

const CheckerVariant& CheckerByWindowName(std::string_view windowName)
{
    for (const auto& w : kWindows)
        if (w.window == windowName)
            return CheckerById(w.id);
    throw std::invalid_argument("no checker window " + std::string(windowName));
}

QString CountLabelName(const Tier& tier)
{
    return QStringLiteral("lbl") + QString::fromLatin1(tier.counter);
}

QString CaptionName(const CheckerVariant& variant, const Tier& tier)
{
    // The 6-number window numbers its captions by row from 1; the others after the counter.
    if (std::string_view(variant.id) == "six") {
        const int row = variant.AllRows().IndexOf(tier.counter);
        return QStringLiteral("Label") + QString::number(row + 1);
    }
    return QStringLiteral("Label") + QString::fromLatin1(tier.counter + 3);
}

}  // namespace bm
