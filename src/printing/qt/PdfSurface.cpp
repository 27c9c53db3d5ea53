#include "printing/qt/PdfSurface.h"

#include <QSaveFile>

#include "printing/qt/PdfPages.h"

namespace bm {

PdfSurface::PdfSurface(std::filesystem::path target, const PaperArea& paper)
    : target_(std::move(target)), paper_(paper)
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

void PdfSurface::SetOrientation(Orientation o)
{
    orientation_ = o;
    if (pages_)
        pages_->SetOrientation(o);
}

bool PdfSurface::Begin()
{
    if (pages_)
        return true;
    if (!openError_.empty())
        return false;
    file_ = std::make_unique<QSaveFile>(QString::fromStdString(target_.string()));
    if (!file_->open(QIODevice::WriteOnly)) {
        openError_ = target_.string() + ": cannot be written (" + file_->errorString().toStdString() + ")";
        file_.reset();
        return false;
    }
    pages_ = std::make_unique<PdfPages>(*file_, paper_, target_.filename().string());
    pages_->SetOrientation(orientation_);
    return true;
}

void PdfSurface::FillBox(float x1, float y1, float x2, float y2)
{
    if (Begin())
        pages_->Fill(x1, y1, x2, y2);
}

void PdfSurface::NextPage()
{
    if (Begin())
        pages_->NextPage();
}

Status PdfSurface::EndDocument()
{
    if (!Begin())
        return Error{openError_};
    const bool painted = pages_->Finish(true);
    pages_.reset();
    if (!painted || !file_->commit()) {
        const std::string reason = file_->errorString().toStdString();
        Drop();
        return Error{target_.string() + ": the PDF could not be written" + (reason.empty() ? "" : " (" + reason + ")")};
    }
    file_.reset();
    return Ok{};
}

void PdfSurface::AbandonDocument()
{
    Drop();
}

void PdfSurface::Drop()
{
    pages_.reset();
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
}

}  // namespace bm
