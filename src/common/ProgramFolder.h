#pragma once

#include <filesystem>
#include <string>

namespace bm {

// The program folder and the four folders under it that the program uses.
class ProgramFolder {
public:
    explicit ProgramFolder(std::filesystem::path home) : home_(std::move(home)) {}

    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path defs() const { return home_ / "Defs"; }
    std::filesystem::path settings() const { return home_ / "Settings"; }
    std::filesystem::path wheel() const { return home_ / "wheel"; }
    std::filesystem::path summary() const { return home_ / "Summary"; }

    std::filesystem::path definitionFile(const std::string& name) const { return defs() / (name + ".def"); }
    std::filesystem::path settingsFile(const std::string& name) const { return settings() / (name + ".ini"); }

private:
    std::filesystem::path home_;
};

}  // namespace bm
