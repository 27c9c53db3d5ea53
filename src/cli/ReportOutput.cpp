#include "cli/ReportOutput.h"

#include <cerrno>
#include <cstring>

namespace bm::cli {

namespace {

// Stands for a failure the stream gave no reason for (a stream that is not a file).
constexpr int kNoReason = -1;

}  // namespace

bool ReportOutput::Failed()
{
    // The reason is the system's error of the write that failed, taken before anything else runs.
    const int reason = errno;
    if (error_ == 0)
        error_ = reason > 0 ? reason : kNoReason;
    return false;
}

bool ReportOutput::Write(std::string_view bytes)
{
    if (error_ != 0)
        return false;
    errno = 0;
    if (!out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return Failed();
    return true;
}

bool ReportOutput::Flush()
{
    if (error_ != 0)
        return false;
    errno = 0;
    if (!out_.flush())
        return Failed();
    return true;
}

std::string ReportOutput::FailureText() const
{
    return std::string("the report could not be written: ") +
           (error_ > 0 ? std::strerror(error_) : "the output stream failed");
}

}  // namespace bm::cli
