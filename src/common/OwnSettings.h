#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace bm {

// A key as the program writes them: "Definition", "WheelFolder", "Prizes.LO649".
bool IsSettingsKey(std::string_view key);

// The program's own settings file, line by line (CR removed). Only a regular file of at most
// 64 KiB whose every line is blank or Key=Value is taken; anything else in its place is
// `foreign`: nothing is read from it, and it must never be rewritten.
struct OwnSettings {
    std::vector<std::string> lines;
    bool foreign = false;
};
OwnSettings ReadOwnSettings(const std::filesystem::path& file);

}  // namespace bm
