#pragma once

#include <string>

#include "common/Result.h"

namespace bm {

enum class Orientation { Portrait, Landscape };

// Where a surface hands its finished document.
struct Destination {
    enum class Kind { None, Printer, File };
    Kind kind = Kind::None;
    std::string name;  // the printer's queue, or the file's full path
};

// The page a print job draws on, in millimetres from the top-left corner of the printable
// area, x to the right, y downward. The job only ever draws filled black boxes.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual void UseMillimetres() = 0;
    virtual void SetOrientation(Orientation o) = 0;
    // A solid black rectangle; the first drawing of a job opens the document and its first sheet.
    virtual void FillBox(float x1, float y1, float x2, float y2) = 0;
    // A thin light-grey box outline, for proofing a definition; surfaces that only mark ignore it.
    virtual void OutlineBox(float, float, float, float) {}
    // The sheets of a job that starts at a later slip are numbered as in the whole job.
    virtual void FirstSheetIs(int) {}
    // Ends the current sheet; the next drawing goes onto a new one.
    virtual void NextPage() = 0;
    // Ends the document and hands it to the printer; directly after NextPage it adds no
    // empty sheet. A failure (no printer, a refused job) is returned, never hidden.
    virtual Status EndDocument() = 0;
    // Cancels the document: nothing of it is printed.
    virtual void AbandonDocument() = 0;
    // Said in the job status once the document was handed over; None where there is nothing to
    // say (a stream the caller reads itself).
    virtual Destination HandedTo() const { return {}; }
};

}  // namespace bm
