#pragma once

#include <string>
#include <vector>

#include "paper/PrintSurface.h"
#include "printing/SheetCounter.h"

namespace bm {

// A surface that keeps what a job drew instead of printing it: the marks with their sheet,
// and the calls that set up and end the document. Tests read it back; it can also be told to
// refuse the document at its end, as a printer would.
class RecordingSurface : public PrintSurface {
public:
    struct Mark {
        int sheet = 0;  // 1-based
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        bool operator==(const Mark&) const = default;
    };

    void UseMillimetres() override;
    void SetOrientation(Orientation o) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void OutlineBox(float x1, float y1, float x2, float y2) override;
    void FirstSheetIs(int sheet) override { counter_.StartAt(sheet); }
    void NextPage() override;
    Status EndDocument() override;
    void AbandonDocument() override;

    // Marks drawn so far; none once the document was abandoned or refused.
    const std::vector<Mark>& marks() const { return marks_; }
    const std::vector<Mark>& outlines() const { return outlines_; }
    // Sheets handed to the printer: 0 until the document ended, and for an abandoned one.
    int sheets() const { return ended_ ? counter_.sheet() : 0; }
    // Every call except FillBox, in order: "UseMillimetres", "SetOrientation Landscape",
    // "NextPage", "EndDocument", "AbandonDocument".
    const std::vector<std::string>& calls() const { return calls_; }
    bool millimetres() const { return millimetres_; }
    Orientation orientation() const { return orientation_; }
    bool ended() const { return ended_; }
    bool abandoned() const { return abandoned_; }

    // The next EndDocument fails with this message, as a printer refusing the job would.
    void RefuseDocument(std::string message) { refusal_ = std::move(message); }

private:
    std::vector<Mark> marks_;
    std::vector<Mark> outlines_;
    std::vector<std::string> calls_;
    SheetCounter counter_;
    bool millimetres_ = false;
    Orientation orientation_ = Orientation::Portrait;
    bool ended_ = false;
    bool abandoned_ = false;
    std::string refusal_;
};

}  // namespace bm
