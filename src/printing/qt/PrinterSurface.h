#pragma once

#include <memory>
#include <string>

#include "printing/PrintSurface.h"
#include "printing/qt/Spooler.h"

class QTemporaryFile;

namespace bm {

class PdfPages;

// Prints on a printer of the system. The sheets of a job are kept in a temporary PDF and
// handed to the spooler only when the document ends, so an abandoned job prints nothing;
// a spooler that refuses the job makes EndDocument fail. Marks are in millimetres from the
// top-left corner of the printer's printable area.
class PrinterSurface : public PrintSurface {
public:
    // `printer` empty: the default printer. Fails when no printer is installed, none is the
    // default, or the named one does not exist.
    static Result<std::unique_ptr<PrinterSurface>> Open(const std::string& printer, std::shared_ptr<Spooler> spooler,
                                                        std::string title = "Brindlemark playslips");
    ~PrinterSurface() override;

    const std::string& printer() const { return printer_; }
    const PaperArea& paper() const { return paper_; }

    void UseMillimetres() override {}
    void SetOrientation(Orientation o) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void NextPage() override;
    Status EndDocument() override;
    void AbandonDocument() override;

private:
    PrinterSurface(std::string printer, std::shared_ptr<Spooler> spooler, PaperArea paper, std::string title);
    bool Begin();
    void Drop();

    std::string printer_;
    std::shared_ptr<Spooler> spooler_;
    PaperArea paper_;
    std::string title_;
    Orientation orientation_ = Orientation::Portrait;
    std::unique_ptr<QTemporaryFile> file_;
    std::unique_ptr<PdfPages> pages_;
    std::string openError_;
};

}  // namespace bm
