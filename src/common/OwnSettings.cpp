#include "common/OwnSettings.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "common/Platform.h"

namespace bm {

namespace {

// Far more than any set of choices needs; a larger file is not one of ours.
constexpr std::uint64_t kMaxBytes = 64 * 1024;

// The whole file, or nothing when there is none. Only a regular file is read (a FIFO in its
// place would block the start for ever); anything else is not ours.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, bool& foreign)
{
    FileStamp named;
    if (!StampOf(file, named)) {
        foreign = errno != ENOENT;
        return std::nullopt;
    }
    if (!named.regular) {
        foreign = true;  // not even opened: opening a FIFO would wake or block another program
        return std::nullopt;
    }
    ReadOnlyFile in;
    int error = 0;
    if (!in.Open(file, error)) {
        foreign = error != ENOENT;
        return std::nullopt;
    }
    FileStamp opened;
    std::string bytes;
    if (!in.Stamp(opened) || !opened.regular || opened.size > kMaxBytes) {
        foreign = true;
    } else {
        bytes.resize(static_cast<std::size_t>(opened.size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const std::ptrdiff_t n = in.ReadAt(got, bytes.data() + got, bytes.size() - got, error);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        foreign = got != bytes.size();
    }
    if (foreign)
        return std::nullopt;
    return bytes;
}

}  // namespace

bool IsSettingsKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
               c == '-' || c == '%';
    });
}

OwnSettings ReadOwnSettings(const std::filesystem::path& file)
{
    OwnSettings own;
    const auto bytes = ReadRegularFile(file, own.foreign);
    if (!bytes)
        return own;
    std::size_t start = 0;
    while (start < bytes->size()) {
        std::size_t end = bytes->find('\n', start);
        if (end == std::string::npos)
            end = bytes->size();
        std::string line = bytes->substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto eq = line.find('=');
        if (!line.empty() && (eq == std::string::npos || !IsSettingsKey(std::string_view(line).substr(0, eq)) ||
                              line.find('\0') != std::string::npos)) {
            // Not what this program writes: left as it is, and nothing of it is taken.
            return OwnSettings{{}, true};
        }
        own.lines.push_back(std::move(line));
        start = end + 1;
    }
    return own;
}

}  // namespace bm
