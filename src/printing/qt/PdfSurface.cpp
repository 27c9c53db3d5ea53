#include "printing/qt/PdfSurface.h"

#include <QSaveFile>

namespace bm {

PdfSurface::PdfSurface(std::filesystem::path target, const PaperArea& paper)
    : PdfBackedSurface(paper, target.filename().string()), target_(std::move(target))
{
}

PdfSurface::~PdfSurface()
{
    Drop();
}

Status PdfSurface::CheckTarget(const std::filesystem::path& target)
{
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        return Error{target.string() + ": is a folder; give the name of the PDF file to write"};
    const auto folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, ec))
        return Error{target.string() + ": the folder " + folder.string() + " does not exist"};
    return Ok{};
}

QIODevice* PdfSurface::OpenDevice(std::string& error)
{
    file_ = std::make_unique<QSaveFile>(QString::fromStdString(target_.string()));
    if (file_->open(QIODevice::WriteOnly))
        return file_.get();
    error = target_.string() + ": cannot be written (" + file_->errorString().toStdString() + ")";
    file_.reset();
    return nullptr;
}

void PdfSurface::CloseDevice()
{
    if (file_)
        file_->cancelWriting();
    file_.reset();  // without commit the temporary file goes, the target stays as it was
}

Status PdfSurface::EndDocument()
{
    if (!Pages())
        return Error{openError()};
    if (!FinishPages(true) || !file_->commit()) {
        const std::string reason = file_->errorString().toStdString();
        Drop();
        return Error{target_.string() + ": the PDF could not be written" + (reason.empty() ? "" : " (" + reason + ")")};
    }
    file_.reset();
    return Ok{};
}

}  // namespace bm
