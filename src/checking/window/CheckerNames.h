#pragma once

#include <QString>

#include <string_view>

#include "checking/GameVariants.h"

namespace bm {

// The object names the checker windows have always carried (frmChkwhl, lblcnt5b, Label7): kept
// here, with the windows, so that the game tables below stay free of widgets.
const char* CheckerWindowName(const CheckerVariant& variant);
const CheckerVariant& CheckerByWindowName(std::string_view windowName);
QString CountLabelName(const Tier& tier);
QString CaptionName(const CheckerVariant& variant, const Tier& tier);

}  // namespace bm
