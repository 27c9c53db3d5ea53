#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace bmtest {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // A program folder with empty Defs, Settings, wheel and Summary folders, and these sample
    // definitions copied into Defs.
    void makeProgramFolder(std::initializer_list<const char*> samples = {}) const;

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
// The text of an HTML page or piece, its tags left out.
std::string WithoutTags(std::string_view html);
// The text `count` times over.
std::string Repeated(std::string_view text, int count);
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// Sets the file's times `seconds` into the past, as a file left untouched that long.
void MakeOlder(const std::filesystem::path& file, int seconds);

// What a refused result or status said; "(accepted)" when it was not refused.
template <typename R>
std::string Refusal(const R& result)
{
    return result ? std::string("(accepted)") : result.error().message;
}

// Whether `text` holds `wanted`; a failure shows the text.
inline ::testing::AssertionResult HasText(const std::string& text, const std::string& wanted)
{
    if (text.find(wanted) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << wanted << "\" is not in \"" << text << "\"";
}

}  // namespace bmtest
