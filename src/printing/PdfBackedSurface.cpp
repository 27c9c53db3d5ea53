#include "printing/PdfBackedSurface.h"

#include "printing/PdfPages.h"

namespace bm {

PdfBackedSurface::PdfBackedSurface(const PaperArea& paper, std::string title) : paper_(paper), title_(std::move(title))
{}

// Subclasses drop their device in their own destructors; the pages go first.
PdfBackedSurface::~PdfBackedSurface() = default;

void PdfBackedSurface::SetOrientation(Orientation o)
{
    orientation_ = o;
    if (pages_)
        pages_->SetOrientation(o);
}

PdfPages* PdfBackedSurface::Pages()
{
    if (pages_ || !openError_.empty())
        return pages_.get();
    PdfPages::Sink sink = OpenDevice(openError_);
    if (!sink)
        return nullptr;
    pages_ = std::make_unique<PdfPages>(std::move(sink), paper_, title_);
    pages_->SetOrientation(orientation_);
    return pages_.get();
}

void PdfBackedSurface::FillBox(float x1, float y1, float x2, float y2)
{
    if (PdfPages* pages = Pages())
        pages->Fill(x1, y1, x2, y2);
}

void PdfBackedSurface::OutlineBox(float x1, float y1, float x2, float y2)
{
    if (PdfPages* pages = Pages())
        pages->Outline(x1, y1, x2, y2);
}

void PdfBackedSurface::NextPage()
{
    if (PdfPages* pages = Pages())
        pages->NextPage();
}

bool PdfBackedSurface::FinishPages(bool blankIfEmpty)
{
    const bool painted = pages_ && pages_->Finish(blankIfEmpty);
    pages_.reset();
    return painted;
}

void PdfBackedSurface::Drop()
{
    pages_.reset();
    CloseDevice();
}

}  // namespace bm
