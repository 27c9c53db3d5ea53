#pragma once

#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "common/ProgramFolder.h"
#include "common/Result.h"

namespace bm {

// The file an output really lands in: a symbolic link is followed to the file it names (which
// is replaced, the link stays), as careful editors do.
std::filesystem::path ResolvedTarget(const std::filesystem::path& target);

// Whether `target` may be written at all: an existing target must be a regular file the user
// may write (never a device, FIFO, socket or folder), and its folder must exist.
Status CheckWritableTarget(const std::filesystem::path& target);

// As above, and the output is none of the run's `inputs` (same file, links followed), not the
// marks file of a definition (.def) among them, not the program folder's Brindlemark.ini and no
// file in its Defs or Settings. Checked before anything is read or written.
Status CheckOutputTarget(const std::filesystem::path& target, const std::vector<std::filesystem::path>& inputs,
                         const ProgramFolder* folder);

// Writes a file so that a reader sees either the old or the new file, never a half-written one:
// the bytes go to an unnamed file in the target's folder (no planted file or link can stand in
// for it), are flushed to disk, and the complete file is renamed over the target, keeping the
// old file's permissions. Until Commit() nothing is visible; abandoning or a failure leaves the
// old file untouched.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    Status Open(const std::filesystem::path& target);
    // False once a write failed; Commit() then reports why.
    bool Write(std::string_view bytes);
    Status Commit();
    void Abandon();
    // The open file's descriptor, for writers that take one; -1 when not open.
    int Descriptor() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // The system's error number of the write that failed; 0 while none did.
    int WriteError() const { return error_; }

private:
    std::filesystem::path target_;  // resolved
    std::filesystem::path named_;   // the fallback's visible temporary name, when one was needed
    int fd_ = -1;
    int tracked_ = -1;  // the named copy's place among those a terminating signal removes
    int error_ = 0;
};

// Writes the bytes atomically as above. On failure the old file is untouched.
Status WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// A writer killed between naming its finished copy and renaming it (or, on a file system without
// unnamed files, while writing) leaves "." TARGET "." 12 letters or digits ".tmp" beside the
// target. Removes those in `folder` whose TARGET `ours` accepts, that are regular files of this
// user with one link, untouched for more than a minute, and whose writer is gone: every writer
// holds a lock on its copy while it lives, so a copy nobody holds locked (by flock or a POSIX
// record lock) is a leftover. A fresh copy is left for a later sweep. Where the file system has
// no locks, only copies untouched for 15 minutes go. Nothing else is ever removed.
void SweepWriterLeftovers(const std::filesystem::path& folder, const std::function<bool(std::string_view)>& ours);

// For tests: write as on a file system without unnamed files (a hidden named copy).
void UseNamedTemporaryFilesForTesting(bool named);

}  // namespace bm
