#pragma once

#include <filesystem>
#include <memory>

#include "printing/PrintSurface.h"
#include "printing/qt/Spooler.h"

class QSaveFile;

namespace bm {

class PdfPages;

// Prints into a PDF file: one page per sheet, marks in millimetres from the page's top-left
// corner, landscape or portrait as the job sets it. The file appears only when the document
// ends (written beside it and renamed into place); an abandoned or failed job leaves the old
// file, or none, behind. A document without a drawing gives a one-page blank PDF.
class PdfSurface : public PrintSurface {
public:
    explicit PdfSurface(std::filesystem::path target, const PaperArea& paper = {});
    ~PdfSurface() override;

    // Whether a PDF can be written to `target` at all: its folder exists and it is no folder itself.
    static Status CheckTarget(const std::filesystem::path& target);

    void UseMillimetres() override {}
    void SetOrientation(Orientation o) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void NextPage() override;
    Status EndDocument() override;
    void AbandonDocument() override;

private:
    bool Begin();
    void Drop();

    std::filesystem::path target_;
    PaperArea paper_;
    Orientation orientation_ = Orientation::Portrait;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<PdfPages> pages_;
    std::string openError_;
};

}  // namespace bm
