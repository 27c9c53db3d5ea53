#include "printing/qt/PdfPages.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPdfWriter>

namespace bm {

namespace {

// Fine enough that a mark lands within a hundredth of a millimetre of where it belongs.
constexpr int kDotsPerInch = 1200;
constexpr double kDotsPerMm = kDotsPerInch / 25.4;

// Every page's stream is compressed with buffers of a few hundred kilobytes, allocated and freed
// page after page. By default glibc hands such blocks back to the system each time and takes them
// again, a page fault per 4 KB; kept, they are reused and memory stays as flat as before.
void KeepLargeBlocks()
{
#if defined(__GLIBC__)
    static const bool kept = [] {
        mallopt(M_MMAP_THRESHOLD, 8 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
        return true;
    }();
    (void)kept;
#endif
}

}  // namespace

PdfPages::PdfPages(QIODevice& device, const PaperArea& paper, const std::string& title)
    : device_(device), paper_(paper), title_(title)
{
    KeepLargeBlocks();
}

PdfPages::~PdfPages() = default;

bool PdfPages::OpenSheet()
{
    if (failed_)
        return false;
    if (painter_) {
        PaintPending();
        failed_ = !writer_->newPage();
        return !failed_;
    }
    writer_ = std::make_unique<QPdfWriter>(&device_);
    writer_->setTitle(QString::fromStdString(title_));
    writer_->setCreator(QStringLiteral("Brindlemark"));
    writer_->setResolution(kDotsPerInch);
    const bool landscape = orientation_ == Orientation::Landscape;
    const QPageLayout layout(QPageSize(QSizeF(paper_.width, paper_.height), QPageSize::Millimeter),
                             landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                             QPageLayout::Millimeter);
    writer_->setPageLayout(layout);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
        failed_ = true;
        return false;
    }
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setPen(Qt::NoPen);
    painter_->scale(kDotsPerMm, kDotsPerMm);
    // A landscape sheet is the portrait paper turned: its top edge was the paper's left edge,
    // its left edge the paper's bottom edge.
    if (landscape)
        painter_->translate(paper_.bottom, paper_.left);
    else
        painter_->translate(paper_.left, paper_.top);
    return true;
}

void PdfPages::Fill(float x1, float y1, float x2, float y2)
{
    if (counter_.Draw() && !OpenSheet())
        return;
    if (failed_)
        return;
    pending_.push_back(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void PdfPages::PaintPending()
{
    if (pending_.empty() || !painter_ || failed_) {
        pending_.clear();
        return;
    }
    painter_->setBrush(Qt::black);
    painter_->drawRects(pending_.data(), static_cast<int>(pending_.size()));
    pending_.clear();
}

void PdfPages::Outline(float x1, float y1, float x2, float y2)
{
    if (counter_.Draw() && !OpenSheet())
        return;
    if (failed_)
        return;
    PaintPending();
    painter_->save();
    painter_->setPen(QPen(QColor(170, 170, 170), 0.15));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
    painter_->restore();
}

void PdfPages::NextPage()
{
    // A slip with no mark still takes its sheet, or the slips after it would be misplaced.
    if (counter_.Next())
        OpenSheet();
}

bool PdfPages::Finish(bool blankIfEmpty)
{
    if (counter_.sheet() == 0) {
        if (!blankIfEmpty)
            return true;
        OpenSheet();
    }
    PaintPending();
    if (painter_ && painter_->isActive() && !painter_->end())
        failed_ = true;
    return !failed_ && writer_ != nullptr;
}

}  // namespace bm
