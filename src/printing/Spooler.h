#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "paper/Paper.h"

namespace bm {

// The paper a printer holds, portrait, and the margins it cannot print on; millimetres.
struct PaperArea {
    float width = 210, height = 297;
    float left = 0, top = 0, right = 0, bottom = 0;
};

// A paper source a printer offers: its IPP keyword ("tray-1", "manual") and a name to show.
struct PaperSource {
    std::string keyword, label;
    bool operator==(const PaperSource&) const = default;
};

// What a job asks of the printer beyond its defaults: a paper size and a source; empty for the
// printer's own.
struct PaperChoice {
    std::optional<Paper> paper;
    std::string source;
    bool operator==(const PaperChoice&) const = default;
};

// "tray-1" as "Tray 1", "manual" as "Manual Feed": a name a user knows from the printer.
std::string SourceLabel(const std::string& keyword);

// Whether a printer would print a job handed to it now, as the spooler says.
struct PrinterState {
    bool exists = true;
    bool stopped = false;   // jobs wait in its queue until it is started again
    bool accepting = true;  // false: the spooler refuses new jobs for it
    std::string reason;     // the spooler's words for its state; may be empty
};

// The system's print spooler: which printers exist and taking a finished document. CUPS here;
// another system swaps only the file that implements SystemSpooler().
class Spooler {
public:
    virtual ~Spooler() = default;
    virtual std::vector<std::string> Printers() = 0;
    // Empty when no printer is marked as the default.
    virtual std::string DefaultPrinter() = 0;
    // The printer's default paper, or nothing when it does not say.
    virtual std::optional<PaperArea> Paper(const std::string& printer) = 0;
    // Asked afresh every time; an error when the spooler cannot be asked at all.
    virtual Result<PrinterState> State(const std::string& printer) = 0;
    // Whether the printer lists this paper size or takes custom sizes that include it; a size it
    // does not take is printed on its own paper instead, the page moved.
    virtual bool TakesPaper(const std::string&, const bm::Paper&) { return true; }
    // The name the user's own settings chose as the default printer (LPDEST, PRINTER, lpoptions),
    // whether or not such a printer exists; empty when they chose none.
    virtual std::string ChosenDefault() { return {}; }
    // The paper sources the printer offers, with the names its driver gives them; none when it
    // offers no choice.
    virtual std::vector<PaperSource> Sources(const std::string&) { return {}; }
    // The words its owner gave the printer ("Office laser, second floor"); empty when none.
    virtual std::string Description(const std::string&) { return {}; }
    // Hands a PDF file to the printer's queue with the paper and source asked for; the job id, or
    // the spooler's reason for refusing it.
    virtual Result<int> Submit(const std::string& printer, const std::filesystem::path& pdf, const std::string& title,
                               const PaperChoice& paper) = 0;
};

std::unique_ptr<Spooler> SystemSpooler();

// True when at least one printer is installed (the main window offers a PDF file otherwise).
bool AnyPrinterInstalled();

}  // namespace bm
