#pragma once

#include <filesystem>
#include <set>
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

// The "env" arguments that give a child process run in `dir` a HOME, XDG folders and locale of its
// own and none of the user's printer settings (CUPS_*, LPDEST, PRINTER, lpoptions).
std::string ChildEnvironment(const std::filesystem::path& dir);
// The same as the whole environment a child started without a shell gets ("NAME=value" each): this
// process's own, less the user's printer and locale settings, with the folders above.
std::vector<std::string> ChildEnvironmentEntries(const std::filesystem::path& dir);
// Runs `command` through the shell, in the environment above, with `env` prepended ("NAME=value ..."), capturing both streams.
Ran RunShell(const std::string& command, const std::string& env = {});
// The argument quoted for the shell.
std::string Quoted(const std::string& arg);

// A private cupsd with the virtual PDF queue "brindlemark-pdf" (cups-pdf, A4, no margins) as the
// default, for one test, stopped by its process id when it goes. `started` is false, with `why`,
// where none could start (no root, a busy machine's ports).
class PrivateCups {
public:
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    bool started = false;
    std::string why;
    std::string server;         // for CUPS_SERVER
    std::filesystem::path out;  // where the virtual printer writes its PDFs
    // Runs the script's `verb` on this daemon ("queue NAME PAGESIZE": another queue).
    Ran Script(const std::string& verb) const;
    // The environment of a program run on this daemon.
    std::string env() const { return "QT_QPA_PLATFORM=offscreen CUPS_SERVER=" + Quoted(server); }
    // The PDF the printer wrote for a job not seen before, once it is whole (waiting rounds, not
    // seconds); its job id in `job`. Empty, with `why`, as soon as none can come.
    std::filesystem::path NextPdf(int& job);
    // True once no job is waiting or printing; false, with `reason`, when a queue stopped or the
    // hang limit passed.
    bool JobDone(std::string* reason) const;
    // "media=...;media-source=...;InputSlot=..." as the spooler keeps them for the job.
    std::string JobMedia(int job) const;

private:
    std::filesystem::path NewPdf(int& job);
    TempDir root_;
    std::set<std::string> seen_;
};

// One page of a PDF as grey pixels, at 300 dpi.
constexpr int kDpi = 300;
struct Raster {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    bool Dark(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] < 128; }
};

// Every page of the PDF rasterised by pdftoppm; empty (and `error` set) on failure.
std::vector<Raster> Rasterise(const std::filesystem::path& pdf, std::string& error);

// A mark from (x1, y1) to (x2, y2) millimetres.
struct Box {
    double x1, y1, x2, y2;
};
// Empty when the page is dark inside each box and light outside all of them, edges give or
// take a pixel; else the first pixel that is wrong.
std::string CheckPage(const Raster& page, const std::vector<Box>& boxes);

// What a job on these files draws, recorded: where every mark of a printed copy belongs.
bm::RecordingSurface Recorded(const std::filesystem::path& definitionFile, const bm::SlipDefinition& d, bool testMode,
                              const std::string& top = "0", const std::string& left = "0",
                              const std::filesystem::path& wheel = {});

// The PDF holds one page per recorded sheet in the recorded orientation with the recorded marks
// and nothing else: empty, else what is wrong. `turned`: a landscape job printed by CUPS comes
// out on portrait pages, (X, Y) landing at (Y, height - X).
std::string CheckMarks(const std::filesystem::path& pdf, const bm::RecordingSurface& expected, bool turned = false);

}  // namespace bmtest
