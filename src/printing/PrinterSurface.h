#pragma once

#include <memory>
#include <string>

#include "common/Platform.h"
#include "printing/PdfBackedSurface.h"

namespace bm {

// Prints on a printer of the system. The sheets of a job are kept in a temporary PDF and
// handed to the spooler only when the document ends, so an abandoned job prints nothing;
// a spooler that refuses the job makes EndDocument fail. Marks are in millimetres from the
// top-left corner of the printer's printable area.
class PrinterSurface : public PdfBackedSurface {
public:
    // `printer` empty: the default printer. Fails when no printer is installed, none is the
    // default, the named one does not exist, or the spooler says it is stopped or refuses jobs.
    // `paper`: the size and source asked of the printer; the sheets are laid out on that size
    // (with no margins), else on the printer's own paper.
    static Result<std::unique_ptr<PrinterSurface>> Open(const std::string& printer, std::shared_ptr<Spooler> spooler,
                                                        std::string title = "Brindlemark playslips",
                                                        PaperChoice paper = {});
    ~PrinterSurface() override;

    const std::string& printer() const { return printer_; }
    const PaperArea& paper() const { return paper_; }
    // The paper the sheets are laid out on, as a job's refusals name it.
    Paper LaidOutOn() const { return PaperOfSize(paper_.width, paper_.height); }

    Status EndDocument() override;
    Destination HandedTo() const override { return {Destination::Kind::Printer, printer_}; }

protected:
    PdfPages::Sink OpenDevice(std::string& error) override;
    void CloseDevice() override;

private:
    PrinterSurface(std::string printer, std::shared_ptr<Spooler> spooler, PaperArea paper, std::string title,
                   PaperChoice choice);

    std::string printer_;
    std::shared_ptr<Spooler> spooler_;
    PaperArea paper_;
    std::string title_;
    PaperChoice choice_;
    std::unique_ptr<TemporaryFile> file_;
};

}  // namespace bm
