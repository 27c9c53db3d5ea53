#include "printing/PrinterSurface.h"

#include <algorithm>
#include <cstring>

#include "printing/PdfPages.h"

namespace bm {

namespace {

std::string Listed(const std::vector<std::string>& names)
{
    std::string out;
    for (const auto& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

// Asked before the job draws anything: otherwise a printer that would not print it is found out
// only when the whole job was drawn, or once the slips should have come out.
Status CheckReady(const std::string& printer, Spooler& spooler)
{
    const auto state = spooler.State(printer);
    if (!state)
        return state.error();
    if (!state->exists)
        return Error{"There is no printer named \"" + printer + "\" any more; choose another one"};
    if (!state->stopped && state->accepting)
        return Ok{};
    const std::string what = state->stopped && !state->accepting ? "is stopped and does not accept jobs"
                             : state->stopped                    ? "is stopped"
                                                                 : "does not accept jobs";
    return Error{"The printer \"" + printer + "\" " + what + (state->reason.empty() ? "" : " (" + state->reason + ")") +
                 ", so nothing was sent to it. Start it again, or choose another printer."};
}

}  // namespace

Result<std::unique_ptr<PrinterSurface>> PrinterSurface::Open(const std::string& printer,
                                                             std::shared_ptr<Spooler> spooler, std::string title,
                                                             PaperChoice choice)
{
    const auto printers = spooler->Printers();
    if (printers.empty())
        return Error{"No printer is installed; add one to the system, or print to a PDF file instead"};
    std::string chosen = printer;
    if (chosen.empty()) {
        chosen = spooler->DefaultPrinter();
        if (const std::string named = spooler->ChosenDefault();
            chosen.empty() && !named.empty() && std::find(printers.begin(), printers.end(), named) == printers.end())
            return Error{
                "The default printer \"" + named +
                "\" chosen in your printing settings (lpoptions, LPDEST or PRINTER) does not exist; choose one "
                "of: " +
                Listed(printers)};
        if (chosen.empty())
            return Error{"No printer is set as the default; choose one of: " + Listed(printers)};
    } else if (std::find(printers.begin(), printers.end(), chosen) == printers.end()) {
        return Error{"There is no printer named \"" + chosen + "\"; installed: " + Listed(printers)};
    }
    if (const Status ready = CheckReady(chosen, *spooler); !ready)
        return ready.error();
    PaperArea paper = spooler->Paper(chosen).value_or(PaperArea{});
    // A size the printer does not take comes out on its own paper with the page centred, every
    // mark moved: refused before anything is sent.
    if (choice.paper && !spooler->TakesPaper(chosen, *choice.paper))
        return Error{"The printer \"" + chosen + "\" does not take " + PaperName(*choice.paper) +
                     " paper (it lists no such size and takes no custom sizes), so nothing was sent to it: it "
                     "would print on " +
                     PaperName(PaperOfSize(paper.width, paper.height)) +
                     " instead, moving every mark. Choose a paper size it lists, or another printer."};
    if (choice.paper)
        paper = PaperArea{choice.paper->width, choice.paper->height};
    return std::unique_ptr<PrinterSurface>(
        new PrinterSurface(chosen, std::move(spooler), paper, std::move(title), std::move(choice)));
}

PrinterSurface::PrinterSurface(std::string printer, std::shared_ptr<Spooler> spooler, PaperArea paper,
                               std::string title, PaperChoice choice)
    : PdfBackedSurface(paper, title),
      printer_(std::move(printer)),
      spooler_(std::move(spooler)),
      paper_(paper),
      title_(std::move(title)),
      choice_(std::move(choice))
{}

PrinterSurface::~PrinterSurface()
{
    Drop();
}

PdfPages::Sink PrinterSurface::OpenDevice(std::string& error)
{
    file_ = std::make_unique<TemporaryFile>();
    int why = 0;
    if (file_->Open("brindlemark-job-", ".pdf", why))
        return [file = file_.get()](std::string_view bytes) { return file->Write(bytes); };
    error =
        "The print job could not be prepared in " + TemporaryFile::Folder().string() + " (" + std::strerror(why) + ")";
    file_.reset();
    return nullptr;
}

void PrinterSurface::CloseDevice()
{
    file_.reset();  // removes the temporary file
}

Status PrinterSurface::EndDocument()
{
    PdfPages* pages = Pages();
    if (!pages)
        return Error{openError()};
    // A job without a sheet has nothing to hand over: no blank sheet comes out of the printer.
    const bool empty = pages->sheets() == 0;
    const bool written = FinishPages(false) && file_->Close();
    if (!written) {
        const std::string reason = file_->error() ? std::string(" (") + std::strerror(file_->error()) + ")" : "";
        Drop();
        return Error{"The print job could not be prepared (writing in " + TemporaryFile::Folder().string() + " failed" +
                     reason + ")"};
    }
    if (empty) {
        Drop();
        return Ok{};
    }
    const auto job = spooler_->Submit(printer_, file_->path(), title_, choice_);
    Drop();
    if (!job)
        return job.error();
    return Ok{};
}

}  // namespace bm
