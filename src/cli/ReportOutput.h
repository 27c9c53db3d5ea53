#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace bm::cli {

// Standard output as a report goes there: every write and the final flush checked, and the
// reason of the first failure kept (a full disk, a closed pipe), so that a report that did not
// arrive is never taken for one that did.
class ReportOutput {
public:
    explicit ReportOutput(std::ostream& out) : out_(out) {}

    // False once any write has failed.
    bool Write(std::string_view bytes);
    // Flushes what is buffered; false once any write has failed.
    bool Flush();
    bool ok() const { return error_ == 0; }
    // "the report could not be written: No space left on device"
    std::string FailureText() const;

private:
    bool Failed();

    std::ostream& out_;
    int error_ = 0;
};

}  // namespace bm::cli
