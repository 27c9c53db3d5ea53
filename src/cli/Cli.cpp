#include "cli/Cli.h"

#include <algorithm>

#include "cli/CheckCommand.h"
#include "cli/JobCommand.h"
#include "cli/WheelCommand.h"
#include "common/ProgramFolder.h"
#include "common/ShownText.h"
#include "common/UserFolder.h"
#include "common/Version.h"

namespace bm::cli {

std::filesystem::path TakeHome(std::vector<std::string>& args, std::string& error)
{
    std::filesystem::path home;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--home" || a.rfind("--home=", 0) == 0) {
            const bool joined = a != "--home";
            if (joined ? a.size() == 7 : i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--home needs a folder";
                return {};
            }
            if (!home.empty()) {
                error = "--home is given twice";
                return {};
            }
            home = joined ? a.substr(7) : args[i + 1];
            const auto first = args.begin() + static_cast<std::ptrdiff_t>(i);
            args.erase(first, first + (joined ? 1 : 2));
        } else if (!a.empty() && a[0] != '-') {
            break;  // the command: what follows is its own
        } else {
            ++i;
        }
    }
    return home;
}

bool WantsCommandLine(const std::vector<std::string>& args)
{
    std::vector<std::string> rest = args;
    std::string error;
    TakeHome(rest, error);
    if (!error.empty())
        return true;
    if (rest.empty())
        return false;
    const std::string& first = rest.front();
    const bool qtOption = first.size() > 1 && first[0] == '-' && first[1] != '-';
    return !qtOption;
}

namespace {

// The usage lines of each command ("" for the window and the program's own options); a command
// of several ("wheel apply") has a line each, so its help shows only the one asked for.
struct Synopsis {
    const char* command;
    const char* lines;
    const char* sub = "";
};
const Synopsis kSynopses[] = {
    {"", "  brindlemark [--home DIR]                      open the desktop window\n"},
    {"print", "  brindlemark [--home DIR] print --definition NAME --wheel FILE\n"
              "              [--top MM] [--left MM] [--pdf OUT [--outline] | --printer QUEUE | --marks]\n"
              "              [--slips RANGE]\n"},
    {"test-pattern", "  brindlemark [--home DIR] test-pattern --definition NAME\n"
                     "              [--top MM] [--left MM] [--pdf OUT | --printer QUEUE | --marks]\n"},
    {"calibrate", "  brindlemark [--home DIR] calibrate [--paper SIZE] [--pdf OUT | --printer QUEUE | --marks]\n"
                  "              (a page of crosshairs and rulers to measure a printer's stretch)\n"},
    {"check", "  brindlemark [--home DIR] check --definition NAME --wheel FILE --draw \"N1 N2 ... [EXTRA]\"\n"
              "              [--save OUT]\n"
              "  brindlemark [--home DIR] check --definition NAME --wheel FILE --draws FILE [--save OUT]\n"
              "              [--skip-invalid-draws] [--date-order DMY|MDY] [--from DATE] [--to DATE]\n"},
    {"wheel",
     "  brindlemark [--home DIR] wheel apply --design FILE --numbers \"N1 N2 ...\"\n"
     "              [--definition NAME] [--second \"S1 ...\" [--second-all]] [--out FILE]\n",
     "apply"},
    {"wheel",
     "  brindlemark [--home DIR] wheel analyze --definition NAME --wheel FILE\n"
     "              (what the wheel guarantees over every possible draw, as CSV)\n",
     "analyze"},
    {"wheel",
     "  brindlemark [--home DIR] wheel make (--numbers \"N1 N2 ...\" | --count V) --pick K --if M --match T\n"
     "              [--seconds S] [--seed N] [--rounds R] [--definition NAME] [--out FILE]\n"
     "              [--second \"S1 ...\" [--second-all]]\n"
     "              (build a wheel: every M of the numbers drawn meet a play in T or more)\n",
     "make"},
    {"wheel",
     "  brindlemark [--home DIR] wheel library\n"
     "              (the published designs shipped with the program, as CSV)\n",
     "library"},
    {"", "  brindlemark --help | --version | COMMAND --help\n"},
};

// Each option with the commands it belongs to ("*": every command).
struct OptionHelp {
    const char* commands;
    const char* lines;
};
const OptionHelp kOptions[] = {
    {"*", "  --home DIR         the program folder holding Defs, Settings, wheel and Summary\n"
          "                     (default: the executable's folder when it holds Defs; for an\n"
          "                     installed program $XDG_DATA_HOME/brindlemark, made on first start)\n"},
    {"print test-pattern check wheel",
     "  --definition NAME  a definition name such as LO649 (Defs/LO649.def), or a path to a .def file\n"
     "                     (LO649.def not found as given is looked for in Defs)\n"},
    {"print check wheel.analyze",
     "  --wheel FILE       the wheel file: one play per line (looked up in the wheel folder\n"
     "                     when not found as given)\n"},
    {"print test-pattern", "  --top MM, --left MM  offsets for this run; default: the definition's stored ones\n"},
    {"print test-pattern calibrate",
     "  --pdf OUT          write the sheets into the PDF file OUT (one page per slip on the paper;\n"
     "                     landscape for a horizontal definition, portrait for a vertical one)\n"},
    {"print test-pattern calibrate",
     "  --printer QUEUE    print on that printer (default: the system's default printer)\n"},
    {"print test-pattern calibrate",
     "  --marks            print nothing; write one line per mark: SHEET X1 Y1 X2 Y2 (mm)\n"},
    {"print", "  --slips RANGE      print only slips N, N-M or N- of the job (1-based), as after a paper jam\n"},
    {"print test-pattern calibrate",
     "  --paper SIZE       the paper: A4, Letter, Legal or WxH in mm such as 82x190; default: the\n"
     "                     printer's own paper, A4 for --pdf and --marks\n"},
    {"print test-pattern",
     "  --scale SX,SY      stretch every mark by these factors (each 0.9 to 1.1) after the offsets;\n"
     "                     default: the printer's calibration, none for --pdf and --marks\n"},
    {"print", "  --outline          with --pdf: draw every box's outline in light grey, to proof a definition\n"},
    {"check", "  --draw \"N1 ...\"    the drawn numbers, blank- or comma-separated, the bonus or powerball last\n"
              "                     (a game with a second pool: the main numbers, then the second ones);\n"
              "                     check writes the report with its summary on stdout\n"},
    {"check", "  --draws FILE       a file of past draws (CSV from a lottery or a data site, one draw a line,\n"
              "                     its columns found by its header); check writes one CSV line of tier counts\n"
              "                     per draw and a total line, and the money won when the file gives prizes\n"},
    {"check", "  --skip-invalid-draws  with --draws: pass over the lines that are no draws of the game\n"
              "                     (counted on stderr) instead of refusing the file\n"},
    {"check", "  --date-order DMY|MDY  with --draws: read dates such as 01/02/2020 day first (DMY) or month\n"
              "                     first (MDY), for a file whose dates do not tell\n"},
    {"check", "  --from DATE, --to DATE  with --draws: check only the draws of these days (YYYY-MM-DD, both\n"
              "                     included), as a ticket bought for them\n"},
    {"check", "  --save OUT         also write what check writes on stdout into OUT: the report as a\n"
              "                     summary file (CR LF line ends), or with --draws the CSV (LF line ends)\n"},
    {"wheel.apply", "  --design FILE      wheel apply: a published wheel written on labels 1..v or 0..v-1\n"
                    "                     (# lines, blanks, commas and braces allowed)\n"},
    {"wheel.apply wheel.make",
     "  --numbers \"N1 ...\" wheel apply and make: the v numbers put in place of the labels, the\n"
     "                     first for the lowest label; with --definition all within its pool\n"},
    {"wheel.apply wheel.make",
     "  --out FILE         wheel apply and make: write the plays into FILE (CR LF) instead of stdout\n"},
    {"wheel.apply wheel.make",
     "  --second \"S1 ...\" wheel apply and make, for a definition with a second pool: its numbers,\n"
     "                     given to the plays in turn after their main numbers\n"},
    {"wheel.apply wheel.make",
     "  --second-all       with --second (or holding the numbers itself): every play once with every\n"
     "                     choice of the second numbers, the plays multiplied\n"},
    {"wheel.make", "  --count V          wheel make: the numbers 1..V (or give them with --numbers)\n"},
    {"wheel.make", "  --pick K, --if M, --match T  wheel make: plays of K numbers, \"T if M\"; --pick defaults\n"
                   "                     to the definition's\n"},
    {"wheel.make", "  --seconds S        wheel make: search for at most S seconds (default 10); it stops sooner\n"
                   "                     at a known lower bound; Ctrl+C writes the best wheel so far (exit 1)\n"},
    {"wheel.make", "  --seed N           wheel make: the same seed gives the same wheel when the search ends at\n"
                   "                     the bound or after --rounds R rounds of work (the same on any machine)\n"},
    {"wheel.make", "  --rounds R         wheel make: stop after R rounds of search work, or at --seconds if that\n"
                   "                     comes first; a count of work, so with --seed the result does not depend\n"
                   "                     on the machine's speed\n"},
};

const char* const kExitStatus = "Exit status: 0 done, 1 the printing system failed or the job was interrupted,\n"
                                "2 bad input or usage (nothing printed, nothing written).\n";

// "wheel.make" belongs to wheel make, and to wheel when no part of it is asked for.
bool Belongs(const char* commands, const std::string& command, const std::string& sub = {})
{
    const std::string list = std::string(" ") + commands + " ";
    if (list == " * " || list.find(" " + command + " ") != std::string::npos)
        return true;
    return sub.empty() ? list.find(" " + command + ".") != std::string::npos
                       : list.find(" " + command + "." + sub + " ") != std::string::npos;
}

// "brindlemark print --help": the command's name followed by a help option anywhere.
bool AsksForHelp(const std::vector<std::string>& rest)
{
    return std::any_of(rest.begin(), rest.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace

bool IsCommand(const std::string& word)
{
    return !word.empty() && std::any_of(std::begin(kSynopses), std::end(kSynopses),
                                        [&](const Synopsis& s) { return word == s.command; });
}

void WriteUsage(std::ostream& out)
{
    out << "Usage:\n";
    for (const Synopsis& s : kSynopses)
        out << s.lines;
    out << "\n";
    for (const OptionHelp& o : kOptions)
        out << o.lines;
    out << "\n" << kExitStatus;
}

void WriteCommandUsage(const std::string& command, std::ostream& out, const std::string& sub)
{
    const bool known = std::any_of(std::begin(kSynopses), std::end(kSynopses),
                                   [&](const Synopsis& s) { return command == s.command && sub == s.sub; });
    const std::string part = known ? sub : "";
    out << "Usage:\n";
    for (const Synopsis& s : kSynopses)
        if (command == s.command && (part.empty() || part == s.sub))
            out << s.lines;
    out << "\n";
    for (const OptionHelp& o : kOptions)
        if (Belongs(o.commands, command, part))
            out << o.lines;
    out << "\n" << kExitStatus;
}

int RunCli(const std::vector<std::string>& arguments, const std::filesystem::path& defaultHome, std::ostream& out,
           std::ostream& err)
{
    std::vector<std::string> args = arguments;
    std::string error;
    std::filesystem::path home = TakeHome(args, error);
    if (!error.empty()) {
        err << "brindlemark: " << ShownLine(error) << "\n";
        return kExitRefused;
    }
    if (home.empty())
        home = defaultHome;
    if (args.empty() || args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        WriteUsage(args.empty() ? err : out);
        return args.empty() ? kExitRefused : kExitOk;
    }
    if (args.front() == "--version") {
        out << VersionText() << "\n";
        return kExitOk;
    }
    if (IsCommand(args.front()) && AsksForHelp({args.begin() + 1, args.end()})) {
        WriteCommandUsage(args.front(), out, args.size() > 1 ? args[1] : "");
        return kExitOk;
    }
    // A mistyped --home would otherwise show up as a missing definition file.
    if (const auto why = NotAFolder(home)) {
        err << "brindlemark: --home " << ShownLine(home.string()) << ": " << ShownLine(*why) << "\n";
        return kExitRefused;
    }
    const std::string command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const ProgramFolder folder(home);
    if (command == "print")
        return RunPrintCommand(rest, folder, out, err);
    if (command == "test-pattern")
        return RunTestPatternCommand(rest, folder, out, err);
    if (command == "calibrate")
        return RunCalibrateCommand(rest, folder, out, err);
    if (command == "check")
        return RunCheckCommand(rest, folder, out, err);
    if (command == "wheel")
        return RunWheelCommand(rest, folder, out, err);
    err << "brindlemark: unknown command \"" << ShownLine(command) << "\"; see brindlemark --help\n";
    return kExitRefused;
}

}  // namespace bm::cli
