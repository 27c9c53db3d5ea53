#ifdef _WIN32

#include "printing/windows/GdiPrinterSurface.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace bm {

namespace {

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Letters and digits only, lower case: "Tray 1", "tray-1" and "TRAY1" are one source.
std::wstring Folded(const std::wstring& name)
{
    std::wstring out;
    for (wchar_t c : name)
        if (std::iswalnum(c))
            out += static_cast<wchar_t>(std::towlower(c));
    return out;
}

class PrinterHandle {
public:
    explicit PrinterHandle(const std::wstring& name)
    {
        if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h_, nullptr))
            h_ = nullptr;
    }
    ~PrinterHandle()
    {
        if (h_)
            ClosePrinter(h_);
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_ = nullptr;
};

// Why a printer would not print a job now, as the spooler says; empty when it would.
std::string NotReady(HANDLE printer)
{
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0)
        return {};
    std::vector<char> buffer(needed);
    if (!GetPrinterW(printer, 2, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed))
        return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    if (info->Status & PRINTER_STATUS_PAUSED)
        return "is paused";
    if ((info->Status & (PRINTER_STATUS_OFFLINE | PRINTER_STATUS_NOT_AVAILABLE)) ||
        (info->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE))
        return "is offline";
    if (info->Status & PRINTER_STATUS_PENDING_DELETION)
        return "is being removed";
    if (info->Status & PRINTER_STATUS_ERROR)
        return "reports an error";
    return {};
}

// The paper as a DEVMODE asks for it: a size the driver knows by number, else one of its own.
void AskForPaper(DEVMODEW& dm, const Paper& paper)
{
    dm.dmFields |= DM_PAPERSIZE;
    if (paper.name == "A4")
        dm.dmPaperSize = DMPAPER_A4;
    else if (paper.name == "Letter")
        dm.dmPaperSize = DMPAPER_LETTER;
    else if (paper.name == "Legal")
        dm.dmPaperSize = DMPAPER_LEGAL;
    else {
        dm.dmPaperSize = DMPAPER_USER;
        dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
        dm.dmPaperWidth = static_cast<short>(std::lround(paper.width * 10));  // tenths of a millimetre
        dm.dmPaperLength = static_cast<short>(std::lround(paper.height * 10));
    }
}

// The bin the driver gives `source`, or why there is none.
Result<short> BinOf(const std::wstring& printer, const std::string& source)
{
    const int count = DeviceCapabilitiesW(printer.c_str(), nullptr, DC_BINS, nullptr, nullptr);
    std::vector<WORD> bins(static_cast<std::size_t>(std::max(count, 0)));
    std::vector<wchar_t> names(bins.size() * 24 + 1, L'\0');
    if (count > 0) {
        DeviceCapabilitiesW(printer.c_str(), nullptr, DC_BINS, reinterpret_cast<wchar_t*>(bins.data()), nullptr);
        DeviceCapabilitiesW(printer.c_str(), nullptr, DC_BINNAMES, names.data(), nullptr);
    }
    const std::wstring wanted = Folded(Wide(source));
    std::string offered;
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const std::wstring name(names.data() + i * 24, wcsnlen(names.data() + i * 24, 24));
        if (Folded(name) == wanted || (wanted == L"manual" && bins[i] == DMBIN_MANUAL) ||
            (wanted == L"manualfeed" && bins[i] == DMBIN_MANUAL))
            return static_cast<short>(bins[i]);
        offered += (offered.empty() ? "" : ", ") + Narrow(name);
    }
    return Error{"--source \"" + source + "\": the printer " + Narrow(printer) + " offers no such paper source" +
                 (offered.empty() ? std::string(" (it offers no choice)") : " (it offers " + offered + ")")};
}

}  // namespace

std::vector<std::string> WindowsPrinters()
{
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<std::string> names;
    if (needed == 0)
        return names;
    std::vector<char> buffer(needed);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4,
                       reinterpret_cast<BYTE*>(buffer.data()), needed, &needed, &count))
        return names;
    const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(Narrow(info[i].pPrinterName));
    return names;
}

std::string WindowsDefaultPrinter()
{
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0)
        return {};
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size))
        return {};
    name.resize(wcsnlen(name.c_str(), name.size()));
    return Narrow(name);
}

Result<std::unique_ptr<GdiPrinterSurface>> GdiPrinterSurface::Open(const std::string& printer, std::string title,
                                                                   std::optional<Paper> paper, std::string source)
{
    const std::vector<std::string> installed = WindowsPrinters();
    std::string name = printer;
    if (name.empty()) {
        if (installed.empty())
            return Error{"no printer is installed; print to a PDF file with --pdf FILE"};
        name = WindowsDefaultPrinter();
        if (name.empty())
            return Error{"no printer is the default; name one with --printer NAME"};
    }
    const std::wstring wide = Wide(name);
    const PrinterHandle handle(wide);
    if (!handle.get()) {
        std::string list;
        for (const std::string& p : installed)
            list += (list.empty() ? "" : ", ") + p;
        return Error{"--printer \"" + name + "\": no such printer" +
                     (list.empty() ? std::string(" (none is installed)") : " (installed: " + list + ")")};
    }
    if (const std::string why = NotReady(handle.get()); !why.empty())
        return Error{"the printer " + name + " " + why + "; nothing was sent"};

    const LONG size =
        DocumentPropertiesW(nullptr, handle.get(), const_cast<wchar_t*>(wide.c_str()), nullptr, nullptr, 0);
    if (size <= 0)
        return Error{"the printer " + name + " gives no settings to print with"};
    std::vector<char> devmode(static_cast<std::size_t>(size));
    auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
    if (DocumentPropertiesW(nullptr, handle.get(), const_cast<wchar_t*>(wide.c_str()), dm, nullptr, DM_OUT_BUFFER) < 0)
        return Error{"the printer " + name + " gives no settings to print with"};
    if (paper)
        AskForPaper(*dm, *paper);
    if (!source.empty()) {
        const auto bin = BinOf(wide, source);
        if (!bin)
            return bin.error();
        dm->dmFields |= DM_DEFAULTSOURCE;
        dm->dmDefaultSource = *bin;
    }
    // The driver settles the fields together; the paper it then reports is the one printed on.
    DocumentPropertiesW(nullptr, handle.get(), const_cast<wchar_t*>(wide.c_str()), dm, dm,
                        DM_IN_BUFFER | DM_OUT_BUFFER);
    Paper laidOut = paper.value_or(A4Paper());
    if (!paper) {
        if (HDC ic = CreateICW(L"WINSPOOL", wide.c_str(), nullptr, dm)) {
            const double w = GetDeviceCaps(ic, PHYSICALWIDTH) * 25.4 / std::max(1, GetDeviceCaps(ic, LOGPIXELSX));
            const double h = GetDeviceCaps(ic, PHYSICALHEIGHT) * 25.4 / std::max(1, GetDeviceCaps(ic, LOGPIXELSY));
            if (w > 0 && h > 0)
                laidOut = PaperOfSize(static_cast<float>(std::min(w, h)), static_cast<float>(std::max(w, h)));
            DeleteDC(ic);
        }
    }
    return std::unique_ptr<GdiPrinterSurface>(
        new GdiPrinterSurface(name, std::move(title), std::move(devmode), std::move(laidOut)));
}

GdiPrinterSurface::~GdiPrinterSurface()
{
    if (dc_)
        AbandonDocument();
}

void GdiPrinterSurface::SetOrientation(Orientation o)
{
    orientation_ = o;
}

bool GdiPrinterSurface::StartDocument()
{
    if (dc_ || failed_)
        return !failed_;
    auto* dm = reinterpret_cast<DEVMODEW*>(devmode_.data());
    dm->dmFields |= DM_ORIENTATION;
    dm->dmOrientation = orientation_ == Orientation::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    const std::wstring wide = Wide(printer_);
    {
        // The driver settles what the fields ask for together (a custom size, a bin, landscape).
        const PrinterHandle handle(wide);
        if (handle.get())
            DocumentPropertiesW(nullptr, handle.get(), const_cast<wchar_t*>(wide.c_str()), dm, dm,
                                DM_IN_BUFFER | DM_OUT_BUFFER);
    }
    HDC dc = CreateDCW(L"WINSPOOL", wide.c_str(), nullptr, dm);
    if (!dc) {
        failed_ = true;
        error_ = "the printer " + printer_ + " cannot be opened for printing";
        return false;
    }
    const std::wstring title = Wide(title_);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocW(dc, &doc) <= 0) {
        DeleteDC(dc);
        failed_ = true;
        error_ = "the printer " + printer_ + " refused the job";
        return false;
    }
    dc_ = dc;
    pxPerMmX_ = GetDeviceCaps(dc, LOGPIXELSX) / 25.4;
    pxPerMmY_ = GetDeviceCaps(dc, LOGPIXELSY) / 25.4;
    offsetX_ = GetDeviceCaps(dc, PHYSICALOFFSETX);
    offsetY_ = GetDeviceCaps(dc, PHYSICALOFFSETY);
    return true;
}

void GdiPrinterSurface::FillBox(float x1, float y1, float x2, float y2)
{
    if (!StartDocument())
        return;
    HDC dc = static_cast<HDC>(dc_);
    if (!inPage_) {
        if (StartPage(dc) <= 0) {
            failed_ = true;
            error_ = "the printer " + printer_ + " refused a page";
            return;
        }
        inPage_ = true;
    }
    // Device pixels count from the printable area's corner, which lies the physical offset in.
    const RECT r{static_cast<LONG>(std::lround(std::min(x1, x2) * pxPerMmX_)) - offsetX_,
                 static_cast<LONG>(std::lround(std::min(y1, y2) * pxPerMmY_)) - offsetY_,
                 static_cast<LONG>(std::lround(std::max(x1, x2) * pxPerMmX_)) - offsetX_,
                 static_cast<LONG>(std::lround(std::max(y1, y2) * pxPerMmY_)) - offsetY_};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void GdiPrinterSurface::NextPage()
{
    if (dc_ && inPage_) {
        if (EndPage(static_cast<HDC>(dc_)) <= 0 && !failed_) {
            failed_ = true;
            error_ = "the printer " + printer_ + " refused a page";
        }
        inPage_ = false;
    }
}

Status GdiPrinterSurface::EndDocument()
{
    if (!dc_ && !failed_)
        return Ok{};  // nothing was drawn, so nothing is printed
    NextPage();
    if (failed_) {
        AbandonDocument();
        return Error{error_};
    }
    // Paused or taken offline while the job was drawn: nothing goes to it.
    {
        const PrinterHandle handle(Wide(printer_));
        if (const std::string why = handle.get() ? NotReady(handle.get()) : std::string(); !why.empty()) {
            AbandonDocument();
            return Error{"the printer " + printer_ + " " + why + "; nothing was sent"};
        }
    }
    const int ended = EndDoc(static_cast<HDC>(dc_));
    Close();
    if (ended <= 0)
        return Error{"the printer " + printer_ + " refused the job"};
    return Ok{};
}

void GdiPrinterSurface::AbandonDocument()
{
    if (dc_)
        AbortDoc(static_cast<HDC>(dc_));
    Close();
    if (!failed_) {
        failed_ = true;  // nothing more goes to the printer
        error_ = "the job was cancelled";
    }
}

void GdiPrinterSurface::Close()
{
    if (dc_)
        DeleteDC(static_cast<HDC>(dc_));
    dc_ = nullptr;
    inPage_ = false;
}

}  // namespace bm

#endif  // _WIN32
