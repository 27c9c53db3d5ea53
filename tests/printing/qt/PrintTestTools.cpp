#include "printing/qt/PrintTestTools.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace bmtest {

std::string Quoted(const std::string& arg)
{
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

Ran RunShell(const std::string& command, const std::string& env)
{
    TempDir dir;
    const auto out = dir / "out";
    const auto err = dir / "err";
    const std::string line = "env " + env + " " + command + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
    const int raw = std::system(line.c_str());
    Ran ran;
    ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    ran.out = ReadBytes(out);
    ran.err = ReadBytes(err);
    return ran;
}

long long Raster::DarkCount() const
{
    return std::count_if(pixels.begin(), pixels.end(), [](unsigned char p) { return p < 128; });
}

namespace {

// A binary PGM as pdftoppm -gray writes it: "P5\n<w> <h>\n255\n" and the pixels.
bool ReadPgm(const std::filesystem::path& file, Raster& r)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> r.width >> r.height >> maxval;
    in.get();
    if (!in || magic != "P5" || maxval != 255 || r.width <= 0 || r.height <= 0)
        return false;
    r.pixels.resize(static_cast<std::size_t>(r.width) * r.height);
    in.read(reinterpret_cast<char*>(r.pixels.data()), static_cast<std::streamsize>(r.pixels.size()));
    return static_cast<bool>(in);
}

}  // namespace

std::vector<Raster> Rasterise(const std::filesystem::path& pdf, int dpi, std::string& error)
{
    TempDir dir;
    const Ran ran = RunShell("pdftoppm -gray -r " + std::to_string(dpi) + " " + Quoted(pdf.string()) + " " +
                             Quoted((dir / "page").string()));
    if (ran.status != 0) {
        error = "pdftoppm failed (" + std::to_string(ran.status) + "): " + ran.err;
        return {};
    }
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files.push_back(e.path());
    // page-1.pgm ... page-10.pgm: pdftoppm pads the numbers to one width, so names sort.
    std::sort(files.begin(), files.end());
    std::vector<Raster> pages(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!ReadPgm(files[i], pages[i])) {
            error = "cannot read " + files[i].string();
            return {};
        }
    }
    return pages;
}

std::pair<double, double> PdfPageSize(const std::filesystem::path& pdf)
{
    const Ran ran = RunShell("pdfinfo " + Quoted(pdf.string()));
    const auto at = ran.out.find("Page size:");
    double w = 0, h = 0;
    if (ran.status != 0 || at == std::string::npos ||
        std::sscanf(ran.out.c_str() + at, "Page size: %lf x %lf pts", &w, &h) != 2)
        return {0, 0};
    return {w * 25.4 / 72, h * 25.4 / 72};
}

std::string FindMark(const Raster& page, double x1, double y1, double x2, double y2, int dpi, double tolerance)
{
    const double px = dpi / 25.4;
    const int cx = static_cast<int>((x1 + x2) / 2 * px);
    const int cy = static_cast<int>((y1 + y2) / 2 * px);
    std::ostringstream what;
    what << "mark " << x1 << " " << y1 << " " << x2 << " " << y2 << ": ";
    if (!page.Dark(cx, cy))
        return what.str() + "nothing at its centre";
    int left = cx, right = cx, top = cy, bottom = cy;
    while (page.Dark(left - 1, cy))
        --left;
    while (page.Dark(right + 1, cy))
        ++right;
    while (page.Dark(cx, top - 1))
        --top;
    while (page.Dark(cx, bottom + 1))
        ++bottom;
    const double found[4] = {double(left), double(top), double(right + 1), double(bottom + 1)};
    const double expected[4] = {x1 * px, y1 * px, x2 * px, y2 * px};
    const char* names[4] = {"left", "top", "right", "bottom"};
    for (int i = 0; i < 4; ++i)
        if (std::abs(found[i] - expected[i]) > tolerance)
            what << names[i] << " edge at pixel " << found[i] << ", expected " << expected[i] << "; ";
    const std::string result = what.str();
    return result.back() == ' ' && result.find("edge") != std::string::npos ? result : std::string();
}

bm::RecordingSurface Recorded(const std::filesystem::path& definitionFile, const bm::SlipDefinition& d, bool testMode,
                              const std::string& top, const std::string& left, const std::filesystem::path& wheel)
{
    bm::RecordingSurface surface;
    FakeStatus status;
    EscapeAtSlip never(status, 0);
    bm::RunPrintJob(RequestFor(definitionFile, d, testMode, top, left), surface, status, never, [&] { return wheel; });
    return surface;
}

std::string CheckMarks(const std::filesystem::path& pdf, const bm::RecordingSurface& expected)
{
    constexpr int kDpi = 300;
    std::string error;
    const auto pages = Rasterise(pdf, kDpi, error);
    if (pages.size() != static_cast<std::size_t>(expected.sheets()))
        return std::to_string(pages.size()) + " pages for " + std::to_string(expected.sheets()) + " sheets " + error;
    const auto [width, height] = PdfPageSize(pdf);
    const bool turned = expected.orientation() == bm::Orientation::Landscape && height > width;
    // Nothing is dark but the marks: the dark pixels are the marks' area, give or take their edges.
    const double px = kDpi / 25.4;
    std::vector<double> area(pages.size()), edge(pages.size());
    for (const auto& m : expected.marks()) {
        const Raster& page = pages[m.sheet - 1];
        const std::string wrong = turned ? FindMark(page, m.y1, height - m.x2, m.y2, height - m.x1, kDpi)
                                         : FindMark(page, m.x1, m.y1, m.x2, m.y2, kDpi);
        if (!wrong.empty())
            return "sheet " + std::to_string(m.sheet) + ": " + wrong;
        area[m.sheet - 1] += (m.x2 - m.x1) * px * (m.y2 - m.y1) * px;
        edge[m.sheet - 1] += 2 * ((m.x2 - m.x1) + (m.y2 - m.y1)) * px;
    }
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (std::abs(static_cast<double>(pages[i].DarkCount()) - area[i]) > edge[i] + 1)
            return "sheet " + std::to_string(i + 1) + ": dark pixels beyond the marks";
    return {};
}

}  // namespace bmtest
