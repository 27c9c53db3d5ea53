#pragma once

#include <filesystem>

#include "common/AtomicFile.h"
#include "printing/PdfBackedSurface.h"

namespace bm {

// Prints into a PDF file: one page per sheet, marks in millimetres from the page's top-left
// corner, landscape or portrait as the job sets it. The file appears only when the document
// ends (written to an unnamed file beside it and renamed into place); an abandoned or failed job leaves the old
// file, or none, behind. A document without a drawing gives a one-page blank PDF.
class PdfSurface : public PdfBackedSurface {
public:
    explicit PdfSurface(std::filesystem::path target, const PaperArea& paper = {});
    ~PdfSurface() override;

    // Whether a PDF can be written to `target` at all: its folder exists, and it is a regular
    // file the user may write or no file yet.
    static Status CheckTarget(const std::filesystem::path& target);

    Status EndDocument() override;
    Destination HandedTo() const override { return {Destination::Kind::File, full_.string()}; }

protected:
    PdfPages::Sink OpenDevice(std::string& error) override;
    void CloseDevice() override;

private:
    std::filesystem::path target_;
    std::filesystem::path full_;  // the target named in full
    AtomicFileWriter writer_;
};

}  // namespace bm
