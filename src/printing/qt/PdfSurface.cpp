#include "printing/qt/PdfSurface.h"

#include <cstring>

namespace bm {

namespace {

// The file as the job status names it: a name given relative to the working folder is of no use there.
std::filesystem::path Absolute(const std::filesystem::path& file)
{
    std::error_code error;
    auto full = std::filesystem::absolute(file, error);
    return error ? file : full;
}

// The PDF's bytes into the writer's unnamed file, a piece at a time, so that a write the system
// refuses keeps its reason (a full disk, a file too large) for the message.
class WriterDevice final : public QIODevice {
public:
    explicit WriterDevice(AtomicFileWriter& writer) : writer_(writer) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    bool Flush()
    {
        failed_ = failed_ || (!piece_.empty() && !writer_.Write(piece_));
        piece_.clear();
        return !failed_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        piece_.append(data, static_cast<std::size_t>(length));
        if (piece_.size() >= (1u << 16) && !Flush())
            return -1;
        return failed_ ? -1 : length;
    }

private:
    AtomicFileWriter& writer_;
    std::string piece_;
    bool failed_ = false;
};

}  // namespace

PdfSurface::PdfSurface(std::filesystem::path target, const PaperArea& paper)
    : PdfBackedSurface(paper, target.filename().string()), target_(std::move(target)), full_(Absolute(target_))
{
}

PdfSurface::~PdfSurface()
{
    Drop();
}

Status PdfSurface::CheckTarget(const std::filesystem::path& target)
{
    return CheckWritableTarget(target);
}

QIODevice* PdfSurface::OpenDevice(std::string& error)
{
    if (const Status opened = writer_.Open(target_); !opened) {
        error = opened.error().message;
        return nullptr;
    }
    file_ = std::make_unique<WriterDevice>(writer_);
    return file_.get();
}

void PdfSurface::CloseDevice()
{
    file_.reset();
    writer_.Abandon();  // the target stays as it was
}

Status PdfSurface::EndDocument()
{
    if (!Pages())
        return Error{openError()};
    const bool painted = FinishPages(true);
    const bool flushed = static_cast<WriterDevice&>(*file_).Flush();
    // The system's reason, also when the painting failed for a write it refused.
    const std::string reason = writer_.WriteError() ? std::strerror(writer_.WriteError()) : "";
    file_.reset();
    if (!painted || !flushed) {
        Drop();
        return Error{target_.string() + ": the PDF could not be written" + (reason.empty() ? "" : " (" + reason + ")")};
    }
    if (const Status committed = writer_.Commit(); !committed)
        return Error{target_.string() + ": the PDF could not be written (" + committed.error().message + ")"};
    return Ok{};
}

}  // namespace bm
