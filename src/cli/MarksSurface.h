#pragma once

#include <ostream>

#include "paper/PrintSurface.h"
#include "printing/SheetCounter.h"

namespace bm::cli {

// Writes every mark as it is drawn, one line "SHEET X1 Y1 X2 Y2": the 1-based sheet and the
// corners in millimetres with three decimals, single blanks between. Other tools read these
// lines, so the format never changes. Nothing else is written.
class MarksSurface : public PrintSurface {
public:
    explicit MarksSurface(std::ostream& out) : out_(out) {}

    void UseMillimetres() override {}
    void SetOrientation(Orientation) override {}
    void FillBox(float x1, float y1, float x2, float y2) override;
    void FirstSheetIs(int sheet) override { counter_.StartAt(sheet); }
    void NextPage() override { counter_.Next(); }
    Status EndDocument() override;
    void AbandonDocument() override { out_.flush(); }

private:
    std::ostream& out_;
    SheetCounter counter_;
};

}  // namespace bm::cli
