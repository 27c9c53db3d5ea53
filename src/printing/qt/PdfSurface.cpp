#include "printing/qt/PdfSurface.h"

#include <QFile>

namespace bm {

namespace {

// The file as the job status names it: a name given relative to the working folder is of no use there.
std::filesystem::path Absolute(const std::filesystem::path& file)
{
    std::error_code error;
    auto full = std::filesystem::absolute(file, error);
    return error ? file : full;
}

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
    file_ = std::make_unique<QFile>();
    if (file_->open(writer_.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return file_.get();
    error = target_.string() + ": cannot be written (" + file_->errorString().toStdString() + ")";
    file_.reset();
    writer_.Abandon();
    return nullptr;
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
    const bool flushed = painted && file_->flush();
    const std::string reason = painted && !flushed ? file_->errorString().toStdString() : "";
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
