#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "paper/PrintSurface.h"
#include "printing/SheetCounter.h"
#include "printing/Spooler.h"

namespace bm {

// Sheets written into a PDF as they are drawn, in millimetres from the top-left corner of the
// paper's printable area. Only the sheet being drawn is held (its marks as PDF operators); every
// finished sheet goes to the sink at once, so memory stays flat however long the job. The bytes
// are the program's own: filled black rectangles and light-grey outlines, no fonts, no images,
// nothing compressed, so any PDF reader (and the spooler's filters) takes them.
class PdfPages {
public:
    // Takes the PDF's bytes in pieces, in order; false when they could not be written.
    using Sink = std::function<bool(std::string_view)>;

    PdfPages(Sink sink, const PaperArea& paper, std::string title);
    PdfPages(const PdfPages&) = delete;
    PdfPages& operator=(const PdfPages&) = delete;

    // Takes effect for a document not begun yet.
    void SetOrientation(Orientation o)
    {
        if (!begun_)
            orientation_ = o;
    }
    void Fill(float x1, float y1, float x2, float y2);
    void Outline(float x1, float y1, float x2, float y2);
    void NextPage();
    // Ends the PDF. A document nothing was drawn on gets one blank page when `blankIfEmpty`,
    // otherwise no PDF at all. False when the PDF could not be written.
    bool Finish(bool blankIfEmpty);
    int sheets() const { return counter_.sheet(); }

private:
    bool OpenSheet();
    void CloseSheet();
    void Rect(float x1, float y1, float x2, float y2);
    void EndPath();
    // Starts object `id` at the current offset.
    void BeginObject(int id);
    void Emit(std::string_view bytes);
    void Flush();

    Sink sink_;
    PaperArea paper_;
    std::string title_;
    Orientation orientation_ = Orientation::Portrait;
    SheetCounter counter_;
    bool begun_ = false;
    bool pageOpen_ = false;
    bool failed_ = false;
    char pathOp_ = 0;  // 'f' or 'S' while a path of rectangles is pending
    int pathRects_ = 0;
    std::string page_;  // the open sheet's content stream
    std::string out_;   // bytes not yet handed to the sink
    std::uint64_t written_ = 0;
    std::vector<std::uint64_t> offsets_;  // of each object, by id - 1
    std::vector<int> pageIds_;
};

}  // namespace bm
