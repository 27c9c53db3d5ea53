#include "printing/PdfPages.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/Version.h"

namespace bm {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
// Marks are written in hundredths of a millimetre: whole numbers, quick to write and short, and
// finer than any printer places a dot.
constexpr double kUnitsPerMm = 100.0;
// A path of many rectangles is one fill; kept to a size every reader handles.
constexpr int kRectsPerPath = 512;
constexpr std::size_t kPiece = 1 << 16;

void Append(std::string& s, long long v)
{
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, v);
    s.append(text, r.ptr);
}

// Fixed with up to `decimals` decimals, trailing zeros dropped: "595.276", "0.5", "12".
void AppendReal(std::string& s, double v, int decimals = 3)
{
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
    std::string_view shown(text, static_cast<std::size_t>(r.ptr - text));
    while (shown.back() == '0')
        shown.remove_suffix(1);
    if (shown.back() == '.')
        shown.remove_suffix(1);
    if (shown == "-0")
        shown = "0";
    s.append(shown);
}

// Far beyond any paper, and no overflow in a width: a mark there is simply off the page.
constexpr double kFarthestUnits = 1e9;

long long Units(float mm)
{
    const double units = static_cast<double>(mm) * kUnitsPerMm;
    if (!(units == units))
        return 0;
    return std::llround(std::clamp(units, -kFarthestUnits, kFarthestUnits));
}

// A text string for the document's information: plain ASCII as a literal, anything else as
// UTF-16 (big-endian with its mark), as readers expect. Bytes that are no UTF-8 become U+FFFD.
std::string TextString(std::string_view text)
{
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    if (ascii) {
        std::string out = "(";
        for (const char c : text) {
            if (c == '(' || c == ')' || c == '\\')
                out += '\\';
            out += c;
        }
        return out + ")";
    }
    std::string out = "<FEFF";
    const auto unit = [&out](unsigned u) {
        static const char hex[] = "0123456789ABCDEF";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(u >> shift) & 0xF];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        unsigned cp = extra == 0 ? b : extra == 1 ? (b & 0x1Fu) : extra == 2 ? (b & 0x0Fu) : (b & 0x07u);
        bool good = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; good && k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            good = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        const unsigned least[] = {0, 0x80, 0x800, 0x10000};
        good = good && cp >= least[extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
        if (!good || cp < 0x20) {
            unit(good ? 0x20 : 0xFFFD);
            i += 1;
            continue;
        }
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out + ">";
}

}  // namespace

PdfPages::PdfPages(Sink sink, const PaperArea& paper, std::string title)
    : sink_(std::move(sink)),
      paper_(paper),
      title_(std::move(title))
{
    offsets_.resize(3);
}

void PdfPages::Emit(std::string_view bytes)
{
    written_ += bytes.size();
    if (out_.size() + bytes.size() > kPiece)
        Flush();
    if (bytes.size() >= kPiece) {
        // A sheet bigger than a piece goes as it is, not copied once more.
        if (!failed_ && !sink_(bytes))
            failed_ = true;
        return;
    }
    out_.append(bytes);
}

void PdfPages::Flush()
{
    if (!failed_ && !out_.empty() && !sink_(out_))
        failed_ = true;
    out_.clear();
}

void PdfPages::BeginObject(int id)
{
    if (offsets_.size() < static_cast<std::size_t>(id))
        offsets_.resize(static_cast<std::size_t>(id));
    offsets_[static_cast<std::size_t>(id) - 1] = written_;
    std::string head;
    Append(head, id);
    head += " 0 obj\n";
    Emit(head);
}

bool PdfPages::OpenSheet()
{
    if (failed_)
        return false;
    if (!begun_) {
        begun_ = true;
        // The second line's bytes above 127 tell transfer programs the file is binary.
        Emit("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    }
    CloseSheet();
    pageOpen_ = true;
    page_.clear();
    // Millimetres from the printable area's top-left corner, y downward, in hundredths: the
    // page's own origin is its bottom-left corner in points. A landscape sheet is the portrait
    // paper turned: its top edge was the paper's left edge, its left edge the paper's bottom edge.
    const bool landscape = orientation_ == Orientation::Landscape;
    const double heightMm = landscape ? paper_.width : paper_.height;
    const double dx = landscape ? paper_.bottom : paper_.left;
    const double dy = landscape ? paper_.left : paper_.top;
    const double unit = kPointsPerMm / kUnitsPerMm;
    page_ += "q ";
    AppendReal(page_, unit, 9);
    page_ += " 0 0 ";
    AppendReal(page_, -unit, 9);
    page_ += ' ';
    AppendReal(page_, dx * kPointsPerMm);
    page_ += ' ';
    AppendReal(page_, (heightMm - dy) * kPointsPerMm);
    // Outlines: a light grey line 0.15 mm wide.
    page_ += " cm 0 g 0.667 G 15 w\n";
    return true;
}

void PdfPages::EndPath()
{
    if (pathOp_) {
        page_ += pathOp_;
        page_ += '\n';
    }
    pathOp_ = 0;
    pathRects_ = 0;
}

void PdfPages::CloseSheet()
{
    if (!pageOpen_)
        return;
    pageOpen_ = false;
    EndPath();
    page_ += "Q\n";
    const int content = static_cast<int>(offsets_.size()) + 1;
    const int page = content + 1;
    BeginObject(content);
    std::string head = "<< /Length ";
    Append(head, static_cast<long long>(page_.size()));
    head += " >>\nstream\n";
    Emit(head);
    Emit(page_);
    Emit("endstream\nendobj\n");
    const bool landscape = orientation_ == Orientation::Landscape;
    std::string object;
    object += "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
    AppendReal(object, (landscape ? paper_.height : paper_.width) * kPointsPerMm);
    object += ' ';
    AppendReal(object, (landscape ? paper_.width : paper_.height) * kPointsPerMm);
    object += "] /Resources << >> /Contents ";
    Append(object, content);
    object += " 0 R >>\nendobj\n";
    BeginObject(page);
    Emit(object);
    pageIds_.push_back(page);
}

void PdfPages::Rect(float x1, float y1, float x2, float y2)
{
    const long long l = Units(std::min(x1, x2)), r = Units(std::max(x1, x2));
    const long long t = Units(std::min(y1, y2)), b = Units(std::max(y1, y2));
    Append(page_, l);
    page_ += ' ';
    Append(page_, t);
    page_ += ' ';
    Append(page_, r - l);
    page_ += ' ';
    Append(page_, b - t);
    page_ += " re\n";
}

void PdfPages::Fill(float x1, float y1, float x2, float y2)
{
    if (counter_.Draw() && !OpenSheet())
        return;
    if (failed_)
        return;
    if (pathOp_ != 'f' || pathRects_ >= kRectsPerPath)
        EndPath();
    pathOp_ = 'f';
    ++pathRects_;
    Rect(x1, y1, x2, y2);
}

void PdfPages::Outline(float x1, float y1, float x2, float y2)
{
    if (counter_.Draw() && !OpenSheet())
        return;
    if (failed_)
        return;
    if (pathOp_ != 'S' || pathRects_ >= kRectsPerPath)
        EndPath();
    pathOp_ = 'S';
    ++pathRects_;
    Rect(x1, y1, x2, y2);
}

void PdfPages::NextPage()
{
    // A slip with no mark still takes its sheet, or the slips after it would be misplaced.
    if (counter_.Next())
        OpenSheet();
}

bool PdfPages::Finish(bool blankIfEmpty)
{
    if (counter_.sheet() == 0) {
        if (!blankIfEmpty)
            return true;
        OpenSheet();
    }
    if (failed_ || !begun_)
        return false;
    CloseSheet();

    std::string text = "<< /Type /Pages /Count ";
    Append(text, static_cast<long long>(pageIds_.size()));
    text += " /Kids [";
    BeginObject(2);
    for (std::size_t i = 0; i < pageIds_.size(); ++i) {
        text += i % 16 == 0 ? '\n' : ' ';
        Append(text, pageIds_[i]);
        text += " 0 R";
        if (text.size() >= kPiece) {
            Emit(text);
            text.clear();
        }
    }
    text += "\n] >>\nendobj\n";
    Emit(text);
    BeginObject(1);
    Emit("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    BeginObject(3);
    Emit("<< /Title " + TextString(title_) + " /Creator (Brindlemark) /Producer (Brindlemark " + VersionText() +
         ") >>\nendobj\n");

    const std::uint64_t xref = written_;
    text = "xref\n0 ";
    Append(text, static_cast<long long>(offsets_.size()) + 1);
    text += "\n0000000000 65535 f \n";
    for (const std::uint64_t offset : offsets_) {
        char entry[24];
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, offset);
        const auto n = static_cast<std::size_t>(r.ptr - digits);
        std::fill(entry, entry + 10 - n, '0');
        std::copy(digits, r.ptr, entry + 10 - n);
        text.append(entry, 10);
        text += " 00000 n \n";
        if (text.size() >= kPiece) {
            Emit(text);
            text.clear();
        }
    }
    text += "trailer\n<< /Size ";
    Append(text, static_cast<long long>(offsets_.size()) + 1);
    text += " /Root 1 0 R /Info 3 0 R >>\nstartxref\n";
    Append(text, static_cast<long long>(xref));
    text += "\n%%EOF\n";
    Emit(text);
    Flush();
    return !failed_;
}

}  // namespace bm
