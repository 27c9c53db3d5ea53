#include "printing/PdfSurface.h"

#include <cstring>

#include "common/Platform.h"

namespace bm {

PdfSurface::PdfSurface(std::filesystem::path target, const PaperArea& paper)
    : PdfBackedSurface(paper, target.filename().string()),
      target_(std::move(target)),
      full_(ShownAbsolute(target_))
{}

PdfSurface::~PdfSurface()
{
    Drop();
}

Status PdfSurface::CheckTarget(const std::filesystem::path& target)
{
    return CheckWritableTarget(target);
}

PdfPages::Sink PdfSurface::OpenDevice(std::string& error)
{
    if (const Status opened = writer_.Open(target_); !opened) {
        error = opened.error().message;
        return nullptr;
    }
    // A write the system refuses keeps its reason (a full disk, a file too large) for the message.
    return [this](std::string_view bytes) { return writer_.Write(bytes); };
}

void PdfSurface::CloseDevice()
{
    writer_.Abandon();  // the target stays as it was
}

Status PdfSurface::EndDocument()
{
    if (!Pages())
        return Error{openError()};
    const bool painted = FinishPages(true);
    // The system's reason, also when the writing failed for a write it refused.
    const std::string reason = writer_.WriteError() ? std::strerror(writer_.WriteError()) : "";
    if (!painted) {
        Drop();
        return Error{target_.string() + ": the PDF could not be written" + (reason.empty() ? "" : " (" + reason + ")")};
    }
    if (const Status committed = writer_.Commit(); !committed)
        return Error{target_.string() + ": the PDF could not be written (" + committed.error().message + ")"};
    return Ok{};
}

}  // namespace bm
