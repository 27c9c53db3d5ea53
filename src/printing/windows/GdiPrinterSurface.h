#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "paper/Paper.h"
#include "paper/PrintSurface.h"

namespace bm {

// Prints on a Windows printer through the spooler with GDI. Marks are placed in millimetres from
// the paper's top-left corner: device units through LOGPIXELSX/Y, less the margin the printer
// cannot print on (PHYSICALOFFSETX/Y). The document opens with the first drawing, so the
// orientation set before it holds; an abandoned document is aborted (AbortDoc) and prints nothing.
class GdiPrinterSurface : public PrintSurface {
public:
    // `printer` empty: the default printer. `paper`: the size to ask for (else the printer's own);
    // `source`: a paper source ("tray-1", "manual", or a name the driver gives its bin; empty for
    // the printer's default). Fails when no printer is installed, none is the default, the named
    // one does not exist or offers no such source, or it is paused or offline: nothing is sent then.
    static Result<std::unique_ptr<GdiPrinterSurface>> Open(const std::string& printer, std::string title,
                                                           std::optional<Paper> paper = {}, std::string source = {});
    ~GdiPrinterSurface() override;

    const std::string& printer() const { return printer_; }
    // The paper the sheets are laid out on: the one asked for, else the printer's own (portrait).
    const Paper& LaidOutOn() const { return paper_; }

    void UseMillimetres() override {}
    void SetOrientation(Orientation o) override;
    void FillBox(float x1, float y1, float x2, float y2) override;
    void NextPage() override;
    Status EndDocument() override;
    void AbandonDocument() override;
    Destination HandedTo() const override { return {Destination::Kind::Printer, printer_}; }

private:
    GdiPrinterSurface(std::string printer, std::string title, std::vector<char> devmode, Paper paper)
        : printer_(std::move(printer)),
          title_(std::move(title)),
          devmode_(std::move(devmode)),
          paper_(std::move(paper))
    {}
    bool StartDocument();
    void Close();

    std::string printer_, title_;
    std::vector<char> devmode_;  // the DEVMODEW the document is printed with
    Paper paper_;
    Orientation orientation_ = Orientation::Portrait;
    void* dc_ = nullptr;
    bool inPage_ = false, failed_ = false;
    std::string error_;
    double pxPerMmX_ = 0, pxPerMmY_ = 0;
    int offsetX_ = 0, offsetY_ = 0;
};

// The printers the spooler knows, and the default one (empty when none is).
std::vector<std::string> WindowsPrinters();
std::string WindowsDefaultPrinter();

}  // namespace bm
