#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "common/Platform.h"
#include "common/Result.h"

namespace bm {

// An input read from the one file opened at the start: every pass and every thread reads that
// open file, so a file replaced under its name meanwhile is never mixed in, and at the end
// CheckUnchanged tells whether the name still leads to it, as large and as old as it was.
class InputFile {
public:
    // Any kind of file opens (a FIFO without waiting); the reader refuses what it cannot read.
    static Result<std::shared_ptr<InputFile>> Open(const std::filesystem::path& file);

    const std::filesystem::path& path() const { return path_; }
    // The stamp taken when the file was opened.
    const FileStamp& opened() const { return opened_; }
    // The bytes read at `offset`: 0 at the end, -1 on failure with `error` set.
    std::ptrdiff_t ReadAt(std::uint64_t offset, char* buffer, std::size_t bytes, int& error) const
    {
        return file_.ReadAt(offset, buffer, bytes, error);
    }
    // Fails with "FILE changed while it was being checked" when the file was written to,
    // truncated, removed or replaced since it was opened.
    Status CheckUnchanged() const;

private:
    explicit InputFile(std::filesystem::path path) : path_(std::move(path)) {}

    std::filesystem::path path_;
    ReadOnlyFile file_;
    FileStamp opened_;
};

// The first bytes (at most four) of a text input that other programs write: a folder, a FIFO or
// device (read more than once, it would be waited on) and UTF-16 or UTF-32 text are refused,
// naming the file as `name`, what it should be (`kind`: "wheel file") and what to save (`holds`:
// "plays").
Result<std::string> TextHead(const InputFile& input, const std::string& name, const std::string& kind,
                             const std::string& holds);

// The message of a changed input.
std::string ChangedWhileCheckedText(const std::filesystem::path& file);

// The run's inputs as they must be at its end: the first that changed meanwhile fails.
Status InputsUnchanged(std::initializer_list<const InputFile*> inputs);

}  // namespace bm
