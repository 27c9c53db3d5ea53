#pragma once

#include <memory>
#include <string>

#include "paper/PrintSurface.h"
#include "printing/PdfPages.h"
#include "printing/Spooler.h"

namespace bm {

// A surface whose sheets are written into a PDF as they come; where the PDF goes (a file, the
// spooler) is up to the subclass, which opens its file at the first drawing and drops it.
class PdfBackedSurface : public PrintSurface {
public:
    ~PdfBackedSurface() override;

    void UseMillimetres() override {}
    void SetOrientation(Orientation o) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void OutlineBox(float x1, float y1, float x2, float y2) override;
    void NextPage() override;
    void AbandonDocument() override { Drop(); }

protected:
    PdfBackedSurface(const PaperArea& paper, std::string title);

    // Opens the file the PDF is written to: the sink that takes its bytes, or none with `error` set.
    virtual PdfPages::Sink OpenDevice(std::string& error) = 0;
    // Lets the file go without keeping anything written to it.
    virtual void CloseDevice() = 0;

    // The pages of the current document, opened on first use; nullptr (and openError()) when
    // the file could not be opened.
    PdfPages* Pages();
    const std::string& openError() const { return openError_; }
    // Ends the document: false when the PDF could not be finished.
    bool FinishPages(bool blankIfEmpty);
    void Drop();

private:
    PaperArea paper_;
    std::string title_;
    Orientation orientation_ = Orientation::Portrait;
    std::unique_ptr<PdfPages> pages_;
    std::string openError_;
};

}  // namespace bm
