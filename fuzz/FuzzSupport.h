#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace bmfuzz {

// One scratch file per fuzzing process, rewritten for every input: the readers take paths.
const std::filesystem::path& ScratchFile();
void WriteScratch(std::string_view bytes);

std::string_view AsText(const std::uint8_t* data, std::size_t size);

// A broken invariant: prints what and aborts, so libFuzzer keeps the input as a finding.
[[noreturn]] void Broken(const std::string& what);
inline void Require(bool holds, const std::string& what)
{
    if (!holds)
        Broken(what);
}

}  // namespace bmfuzz
