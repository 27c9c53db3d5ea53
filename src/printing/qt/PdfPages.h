#pragma once

#include <memory>
#include <vector>

#include <QRectF>

#include "paper/PrintSurface.h"
#include "printing/SheetCounter.h"
#include "printing/qt/Spooler.h"

class QIODevice;
class QPainter;
class QPdfWriter;

namespace bm {

// Sheets painted into a PDF as they are drawn (nothing is kept in memory per sheet), in
// millimetres from the top-left corner of the paper's printable area.
class PdfPages {
public:
    // `device` must be open for writing and outlive this object.
    PdfPages(QIODevice& device, const PaperArea& paper, const std::string& title);
    ~PdfPages();
    PdfPages(const PdfPages&) = delete;
    PdfPages& operator=(const PdfPages&) = delete;

    // Takes effect for a document not begun yet.
    void SetOrientation(Orientation o) { orientation_ = o; }
    void Fill(float x1, float y1, float x2, float y2);
    void Outline(float x1, float y1, float x2, float y2);
    void NextPage();
    // Ends the PDF. A document nothing was drawn on gets one blank page when `blankIfEmpty`,
    // otherwise no PDF at all. False when the PDF could not be written.
    bool Finish(bool blankIfEmpty);
    int sheets() const { return counter_.sheet(); }

private:
    bool OpenSheet();
    // Marks are kept per sheet and painted together: one call instead of one per mark.
    void PaintPending();

    QIODevice& device_;
    PaperArea paper_;
    std::string title_;
    Orientation orientation_ = Orientation::Portrait;
    SheetCounter counter_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    bool failed_ = false;
    std::vector<QRectF> pending_;
};

}  // namespace bm
