#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace bmfuzz {

const std::filesystem::path& ScratchFile()
{
    // Memory-backed when the system has it: the readers are what is measured, not the disk.
    static const std::filesystem::path path = [] {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const auto folder = std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        return folder / ("brindlemark-fuzz-" + std::to_string(::getpid()) + ".txt");
    }();
    static const struct Cleanup {
        ~Cleanup()
        {
            std::error_code ec;
            std::filesystem::remove(path, ec);
        }
    } cleanup;
    return path;
}

void WriteScratch(std::string_view bytes)
{
    std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        Broken("cannot write the scratch file " + ScratchFile().string());
}

std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

void Broken(const std::string& what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace bmfuzz
