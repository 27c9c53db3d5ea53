#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/InputFile.h"
#include "common/Result.h"

namespace bm {

// How wide the numbers of a wheel file may be: the print job keeps 16-bit game numbers,
// the checkers 32-bit ones.
enum class NumberWidth { Bits16, Bits32 };

inline constexpr int kMaxNumbersPerPlay = 9;  // seven main numbers and two of a second pool

struct Play {
    std::array<std::int32_t, kMaxNumbersPerPlay> numbers{};
    int count = 0;
    std::int64_t line = 0;  // physical 1-based line of the file
};

// Refuses a folder, FIFO, device or socket as a wheel file; a missing file is left to the opener.
Status CheckWheelIsFile(const std::filesystem::path& file);

// Reads a wheel file play by play. A line of blanks is not a play, nor is a comment line (its
// first character other than a blank is "#"). Every other line holds
// exactly the play's count of whole numbers, separated by commas and/or blanks or tabs
// (a trailing comma is tolerated, an empty field between commas is not). The first fault
// ends the reading with an error naming the file, the line and what is wrong.
class WheelReader {
public:
    static Result<std::unique_ptr<WheelReader>> Open(const std::filesystem::path& file, int numbersPerPlay,
                                                     NumberWidth width);
    // The same over a file opened already, which other readers and passes may share.
    static Result<std::unique_ptr<WheelReader>> Open(std::shared_ptr<const InputFile> input, int numbersPerPlay,
                                                     NumberWidth width);
    ~WheelReader();
    WheelReader(const WheelReader&) = delete;
    WheelReader& operator=(const WheelReader&) = delete;

    // Only the lines in bytes [from, to) of the file, both line starts (0, the file's size, or
    // just past a line feed), so that parts of a large file can be read side by side. Line
    // numbers, in plays and in errors, count from the part's first line.
    // `chunk` is the most read from the file at a time: a reader whose caller takes the lines to
    // the buffer's end reads faster from a buffer small enough to stay in the processor's cache.
    // `buffer`, when given, is the memory of an earlier reader (see ReleaseBuffer): a thread that
    // reads part after part keeps its memory instead of having new pages cleared for each.
    static Result<std::unique_ptr<WheelReader>> OpenPart(std::shared_ptr<const InputFile> input, int numbersPerPlay,
                                                         NumberWidth width, std::uintmax_t from, std::uintmax_t to,
                                                         std::size_t chunk = kDefaultChunk,
                                                         std::vector<char> buffer = {});
    // The reader's memory, for the next reader; this one reads nothing more.
    std::vector<char> ReleaseBuffer()
    {
        begin_ = end_ = 0;
        eof_ = true;
        return std::move(buffer_);
    }
    static constexpr std::size_t kDefaultChunk = 1 << 20;

    // From byte `offset` (a line start) to the file's end, as if `linesBefore` lines had been read:
    // line numbers stay those of the whole file.
    static Result<std::unique_ptr<WheelReader>> OpenAt(const std::filesystem::path& file, int numbersPerPlay,
                                                       NumberWidth width, std::uintmax_t offset,
                                                       std::int64_t linesBefore);

    // The next play; false at the end of the file or at a fault (then error() holds it).
    bool Next(Play& play);
    // For a caller that reads the usual lines its own way: the bytes buffered from the reading
    // position on (the last line may be cut short), and a step past the plays it took from them,
    // one line each. Next refills the buffer.
    std::string_view Buffered() const { return {buffer_.data() + begin_, end_ - begin_}; }
    void Skip(std::size_t bytes, std::int64_t plays)
    {
        begin_ += bytes;
        line_ += plays;
    }
    const std::optional<Error>& error() const { return error_; }
    // Physical lines read so far, blank ones included.
    std::int64_t lines() const { return line_; }
    // Where the next line starts, in bytes from the start of the file.
    std::uintmax_t offset() const { return bufferStart_ + begin_; }
    // The file as messages name it.
    const std::string& name() const { return name_; }
    // The open file read.
    const InputFile& input() const { return *input_; }

private:
    WheelReader(std::shared_ptr<const InputFile> input, int numbersPerPlay, NumberWidth width, std::size_t chunk,
                std::vector<char> buffer);
    static Result<std::unique_ptr<WheelReader>> OpenSized(std::shared_ptr<const InputFile> input, int numbersPerPlay,
                                                          NumberWidth width, std::size_t chunk,
                                                          std::vector<char> buffer = {});
    bool NextSlowly(Play& play);
    bool Fill();
    bool Fail(std::string what);

    std::shared_ptr<const InputFile> input_;
    std::uint64_t position_ = 0;  // where the next read from the file starts
    std::string name_;
    int numbersPerPlay_;
    std::int64_t min_, max_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::uintmax_t bufferStart_ = 0;  // file offset of buffer_[0]
    bool eof_ = false;
    std::uintmax_t remaining_ = UINTMAX_MAX;  // bytes still to read from the file
    std::int64_t line_ = 0;
    std::optional<Error> error_;
};

// Reads the whole file by the rules above and returns its play count (lines that are not
// blank). Nothing uses a file before it has passed this.
Result<std::int32_t> CountPlays(const std::filesystem::path& file, int numbersPerPlay, NumberWidth width);

}  // namespace bm
