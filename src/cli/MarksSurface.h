#pragma once

#include <ostream>
#include <string>

#include "paper/PrintSurface.h"
#include "printing/SheetCounter.h"

namespace bm::cli {

// Writes every mark as it is drawn, one line "SHEET X1 Y1 X2 Y2": the 1-based sheet and the
// corners in millimetres with three decimals, single blanks between. Other tools read these
// lines, so the format never changes. Nothing else is written.
class MarksSurface : public PrintSurface {
public:
    explicit MarksSurface(std::ostream& out) : out_(out) { pending_.reserve(1 << 17); }
    ~MarksSurface() override;
    MarksSurface(const MarksSurface&) = delete;
    MarksSurface& operator=(const MarksSurface&) = delete;

    void UseMillimetres() override {}
    void SetOrientation(Orientation) override {}
    void FillBox(float x1, float y1, float x2, float y2) override;
    void FirstSheetIs(int sheet) override { counter_.StartAt(sheet); }
    void NextPage() override { counter_.Next(); }
    Status EndDocument() override;
    void AbandonDocument() override;

private:
    void Flush();

    std::ostream& out_;
    std::string pending_;  // lines not yet handed to the stream, written some 64 KB at a time
    SheetCounter counter_;
};

}  // namespace bm::cli
