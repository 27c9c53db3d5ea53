#include "support/PrintTestTools.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

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
    const std::string line =
        // Two env runs: the caller's options (-C DIR) and variables come after the child's own.
        "env " + ChildEnvironment(dir.path()) + " env " + env + " " + command + " >" + Quoted(out.string()) + " 2>" +
        Quoted(err.string());
    const int raw = std::system(line.c_str());
    Ran ran;
    ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    ran.out = ReadBytes(out);
    ran.err = ReadBytes(err);
    return ran;
}

namespace {

// Whatever chooses a printer, a server or a locale for the user: the child sees none of it.
bool UsersOwnSetting(const std::string& name)
{
    return name.rfind("CUPS_", 0) == 0 || name == "LPDEST" || name == "PRINTER" || name.rfind("LC_", 0) == 0;
}

// The child's own folders and locale, the folders made.
std::vector<std::pair<std::string, std::string>> OwnSettings(const std::filesystem::path& dir)
{
    std::vector<std::pair<std::string, std::string>> set;
    const auto folder = [&](const char* name, const std::filesystem::path& value) {
        std::filesystem::create_directories(value);
        set.emplace_back(name, value.string());
    };
    folder("HOME", dir / "home");
    folder("XDG_CONFIG_HOME", dir / "config");
    folder("XDG_DATA_HOME", dir / "data");
    folder("XDG_CACHE_HOME", dir / "cache");
    // No lpoptions or client.conf of this machine either: the server comes from CUPS_SERVER or
    // the local default.
    folder("CUPS_SERVERROOT", dir / "cups");
    set.emplace_back("LANG", "C.UTF-8");
    set.emplace_back("LC_ALL", "C.UTF-8");
    return set;
}

std::string NameOf(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}

}  // namespace

std::string ChildEnvironment(const std::filesystem::path& dir)
{
    std::string line;
    for (char** e = environ; *e; ++e)
        if (UsersOwnSetting(NameOf(*e)))
            line += "-u " + Quoted(NameOf(*e)) + " ";
    for (const auto& [name, value] : OwnSettings(dir))
        line += name + "=" + Quoted(value) + " ";
    return line.substr(0, line.size() - 1);
}

std::vector<std::string> ChildEnvironmentEntries(const std::filesystem::path& dir)
{
    const auto own = OwnSettings(dir);
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) {
        const std::string name = NameOf(*e);
        const bool replaced =
            std::any_of(own.begin(), own.end(), [&](const auto& setting) { return setting.first == name; });
        if (!UsersOwnSetting(name) && !replaced)
            entries.emplace_back(*e);
    }
    for (const auto& [name, value] : own)
        entries.push_back(name + "=" + value);
    return entries;
}

namespace {
const std::string kCupsScript = std::string(SAMPLE_DIR) + "/../scripts/private-cups.sh";
}

PrivateCups::PrivateCups()
{
    if (::geteuid() != 0) {
        why = "a private cupsd needs root";
        return;
    }
    const Ran ran = Script("start");
    if (ran.status != 0) {
        why = "no private cupsd could be started here: " + ran.err;
        return;
    }
    started = true;
    std::string line;
    for (std::istringstream lines(ran.out); std::getline(lines, line);) {
        if (line.rfind("CUPS_SERVER=", 0) == 0)
            server = line.substr(12);
        if (line.rfind("OUT=", 0) == 0)
            out = line.substr(4);
    }
}

PrivateCups::~PrivateCups()
{
    if (started)
        Script("stop");
}

Ran PrivateCups::Script(const std::string& verb) const
{
    const auto space = verb.find(' ');
    const std::string rest = space == std::string::npos ? "" : verb.substr(space);
    return RunShell("bash " + Quoted(kCupsScript) + " " + verb.substr(0, space) + " " +
                        Quoted((root_ / "cups").string()) + rest,
                    "BM_CUPS_OWNER=" + std::to_string(::getpid()));
}

std::filesystem::path PrivateCups::NewPdf(int& job)
{
    for (const auto& f : std::filesystem::directory_iterator(out)) {
        const std::string name = f.path().filename().string();
        const auto at = name.rfind("-job_");
        if (f.path().extension() != ".pdf" || at == std::string::npos || seen_.count(name) ||
            RunShell("pdfinfo " + Quoted(f.path().string())).status != 0)
            continue;
        seen_.insert(name);
        job = std::stoi(name.substr(at + 5));
        return f.path();
    }
    return {};
}

std::filesystem::path PrivateCups::NextPdf(int& job)
{
    why.clear();
    // Rounds, not seconds: the wait ends once no job is left to print (the one it waits for failed,
    // was cancelled or never came) or the queue stopped; the hang limit is only for a daemon gone mute.
    for (int round = 0; round < 6000; ++round) {
        if (auto pdf = NewPdf(job); !pdf.empty())
            return pdf;
        if (round % 5 == 4) {
            const Ran waiting = RunShell("lpstat -W not-completed -o", env());
            const Ran stopped = RunShell("lpstat -p | grep -v enabled", env());
            if (waiting.status == 0 && waiting.out.empty()) {
                if (auto pdf = NewPdf(job); !pdf.empty())
                    return pdf;
                why = "no job is left in the queue and no new PDF came; the last jobs: " +
                      RunShell("lpstat -W completed -o | tail -3", env()).out;
                return {};
            }
            if (!stopped.out.empty()) {
                why = "a queue stopped with jobs waiting: " + stopped.out;
                return {};
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    why = "the daemon printed nothing for 6000 rounds";
    return {};
}

bool PrivateCups::JobDone(std::string* reason) const
{
    for (int round = 0; round < 6000; ++round) {
        if (const Ran waiting = RunShell("lpstat -W not-completed -o", env());
            waiting.status == 0 && waiting.out.empty())
            return true;
        if (const Ran stopped = RunShell("lpstat -p | grep -v enabled", env()); !stopped.out.empty()) {
            *reason = "a queue stopped with jobs waiting: " + stopped.out;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    *reason = "the jobs were still waiting after 6000 rounds";
    return false;
}

std::string PrivateCups::JobMedia(int job) const
{
    const Ran ran =
        RunShell("ipptool -tv ipp://" + server + "/jobs/" + std::to_string(job) + " -d job-id=" + std::to_string(job) +
                     " /usr/share/cups/ipptool/get-job-attributes.test",
                 env());
    std::string found, line;
    for (std::istringstream lines(ran.out); std::getline(lines, line);)
        for (const std::string name :
             {"media (keyword) = ", "media-source (keyword) = ", "InputSlot (nameWithoutLanguage) = "})
            if (const auto at = line.find(name); at != std::string::npos && line.find("supported") == std::string::npos)
                found += name.substr(0, name.find(' ')) + "=" + line.substr(at + name.size()) + ";";
    return found;
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

std::vector<Raster> Rasterise(const std::filesystem::path& pdf, std::string& error)
{
    TempDir dir;
    const Ran ran = RunShell("pdftoppm -gray -r " + std::to_string(kDpi) + " " + Quoted(pdf.string()) + " " +
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

std::string CheckPage(const Raster& page, const std::vector<Box>& boxes)
{
    // Per pixel: 0 must be light, 1 an edge (either), 2 must be dark. Edges may be a pixel off.
    constexpr double px = kDpi / 25.4, slack = 1.5;
    std::vector<char> want(page.pixels.size(), 0);
    for (const Box& b : boxes) {
        const double l = b.x1 * px, t = b.y1 * px, r = b.x2 * px, btm = b.y2 * px;
        for (int y = std::max(0, int(t - slack)); y < std::min(page.height, int(btm + slack) + 1); ++y)
            for (int x = std::max(0, int(l - slack)); x < std::min(page.width, int(r + slack) + 1); ++x) {
                const bool inside = x >= l + slack && x + 1 <= r - slack && y >= t + slack && y + 1 <= btm - slack;
                const bool near = x + 1 > l - slack && x < r + slack && y + 1 > t - slack && y < btm + slack;
                char& w = want[static_cast<std::size_t>(y) * page.width + x];
                w = std::max<char>(w, inside ? 2 : near ? 1 : 0);
            }
    }
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const char w = want[static_cast<std::size_t>(y) * page.width + x];
            if (w != 1 && page.Dark(x, y) != (w == 2))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) +
                       (w == 2 ? " is light inside a mark" : " is dark outside every mark");
        }
    return {};
}

bm::RecordingSurface Recorded(const std::filesystem::path& definitionFile, const bm::SlipDefinition& d, bool testMode,
                              const std::string& top, const std::string& left, const std::filesystem::path& wheel)
{
    bm::RecordingSurface surface;
    RunUnwatched(RequestFor(definitionFile, d, testMode, top, left), surface, wheel);
    return surface;
}

std::string CheckMarks(const std::filesystem::path& pdf, const bm::RecordingSurface& expected, bool turned)
{
    std::string error;
    const auto pages = Rasterise(pdf, error);
    if (pages.size() != static_cast<std::size_t>(expected.sheets()))
        return std::to_string(pages.size()) + " pages for " + std::to_string(expected.sheets()) + " sheets " + error;
    const bool landscape = expected.orientation() == bm::Orientation::Landscape && !turned;
    std::vector<std::vector<Box>> boxes(pages.size());
    for (const auto& m : expected.marks()) {
        const double height = pages[m.sheet - 1].height * 25.4 / kDpi;
        boxes[m.sheet - 1].push_back(turned ? Box{m.y1, height - m.x2, m.y2, height - m.x1}
                                            : Box{m.x1, m.y1, m.x2, m.y2});
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string wrong =
            (pages[i].width > pages[i].height) != landscape ? "wrong orientation" : CheckPage(pages[i], boxes[i]);
        if (!wrong.empty())
            return "sheet " + std::to_string(i + 1) + ": " + wrong;
    }
    return {};
}

}  // namespace bmtest
