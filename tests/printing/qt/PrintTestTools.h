#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "printing/RecordingSurface.h"
#include "support/PrintJobSupport.h"

namespace bmtest {

// A program run to its end: exit status and what it wrote.
struct Ran {
    int status = -1;
    std::string out, err;
};

// Runs `command` through the shell with `env` prepended ("NAME=value ..."), capturing both streams.
Ran RunShell(const std::string& command, const std::string& env = {});
// The argument quoted for the shell.
std::string Quoted(const std::string& arg);

// One page of a PDF as grey pixels.
struct Raster {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    bool Dark(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && pixels[static_cast<std::size_t>(y) * width + x] < 128;
    }
    long long DarkCount() const;
};

// Every page of the PDF at `dpi`, rasterised by pdftoppm; empty (and `error` set) on failure.
std::vector<Raster> Rasterise(const std::filesystem::path& pdf, int dpi, std::string& error);

// The size of the PDF's first page in millimetres as pdfinfo reads it; {0, 0} on failure.
std::pair<double, double> PdfPageSize(const std::filesystem::path& pdf);

// A mark expected from (x1, y1) to (x2, y2) millimetres on the page: empty when a dark
// rectangle is there whose four edges lie within `tolerance` pixels, else what is wrong.
std::string FindMark(const Raster& page, double x1, double y1, double x2, double y2, int dpi, double tolerance = 1.0);

// What a job on these files draws, recorded: where every mark of a printed copy belongs.
bm::RecordingSurface Recorded(const std::filesystem::path& definitionFile, const bm::SlipDefinition& d, bool testMode,
                              const std::string& top = "0", const std::string& left = "0",
                              const std::filesystem::path& wheel = {});

// The PDF rasterised at 300 dpi holds one page per recorded sheet with every recorded mark in
// place and nothing else dark: empty, else what is wrong. A landscape job that came out on portrait pages was turned,
// as CUPS prints it: (X, Y) lands at (Y, width - X).
std::string CheckMarks(const std::filesystem::path& pdf, const bm::RecordingSurface& expected);

}  // namespace bmtest
