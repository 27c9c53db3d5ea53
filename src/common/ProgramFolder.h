#pragma once

#include <filesystem>
#include <string>

namespace bm {

// A name under a folder. On Windows the separator follows the folder's: one written with
// backslashes (as Windows gives them) gets a backslash, one written "C:/games", "/tmp/bm" or
// "bm" a slash, so that a name shows as its user wrote the folder, not as "C:/games\Defs".
inline std::filesystem::path Under(const std::filesystem::path& folder, const std::filesystem::path& name)
{
#ifdef _WIN32
    const std::wstring& text = folder.native();
    if (!text.empty() && text.find(L'\\') == std::wstring::npos && name.is_relative() && !name.has_root_name() &&
        !name.has_root_directory() && text.back() != L':')
        return std::filesystem::path(text.back() == L'/' ? text + name.native() : text + L'/' + name.native());
#endif
    return folder / name;
}

// The program folder and the four folders under it that the program uses.
class ProgramFolder {
public:
    explicit ProgramFolder(std::filesystem::path home) : home_(std::move(home)) {}

    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path defs() const { return Under(home_, "Defs"); }
    std::filesystem::path settings() const { return Under(home_, "Settings"); }
    std::filesystem::path wheel() const { return Under(home_, "wheel"); }
    std::filesystem::path summary() const { return Under(home_, "Summary"); }

    std::filesystem::path definitionFile(const std::string& name) const { return Under(defs(), name + ".def"); }
    std::filesystem::path settingsFile(const std::string& name) const { return Under(settings(), name + ".ini"); }

private:
    std::filesystem::path home_;
};

}  // namespace bm
