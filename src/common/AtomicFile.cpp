#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "common/Platform.h"

namespace bm {

namespace {

std::string Describe(const std::filesystem::path& p, const std::string& what, int err)
{
    return "cannot write " + p.string() + ": " + what + (err ? std::string(" (") + std::strerror(err) + ")" : "");
}

}  // namespace

Status WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes)
{
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        return Error{Describe(target, "a folder of that name is in the way", 0)};

    const auto folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::random_device rd;
    const auto temp = folder / ("." + target.filename().string() + ".tmp" + std::to_string(rd() % 1000000));

    std::FILE* f = std::fopen(temp.string().c_str(), "wb");
    if (!f)
        return Error{Describe(target, "cannot create a file in " + folder.string(), errno)};
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int err = written ? 0 : errno;
    const bool flushed = std::fflush(f) == 0 && SyncFile(f);
    if (!err && !flushed)
        err = errno;
    const bool closed = std::fclose(f) == 0;
    if (!err && !closed)
        err = errno;
    if (!written || !flushed || !closed) {
        std::filesystem::remove(temp, ec);
        return Error{Describe(target, "writing failed", err)};
    }
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return Error{Describe(target, "cannot replace the old file", ec.value())};
    }
    SyncFolder(folder);
    return Ok{};
}

}  // namespace bm
