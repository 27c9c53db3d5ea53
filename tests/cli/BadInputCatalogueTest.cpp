// Bad input through the program itself, one refusal for each kind of input and output: the
// exact exit status and message, nothing on standard output, and no file of the program folder
// or the output folder written, changed or removed. The readers' own tests hold every spelling
// of each refusal.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "cli/CatalogueSupport.h"

using namespace bmtest;

namespace {

const std::string kDraw = "3 11 19 27 35 43 7";  // LO649 draws six and a bonus

struct Case {
    const char* what;
    std::function<void(Lab&)> setup;  // files to spoil, made before the snapshot
    std::vector<std::string> args;    // after --home; "{home}" and "{out}" stand for the folders
    std::string err;                  // the whole of standard error; every refusal exits with 2
};

std::vector<std::string> Pattern(const std::string& definition, const std::string& output = "--marks")
{
    return {"test-pattern", "--definition", definition, output};
}

// A history of {home}/wheel/d.csv saved as {out}/h.csv.
std::vector<std::string> Draws(std::vector<std::string> args = {})
{
    args.insert(args.begin(), {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draws",
                               "{home}/wheel/d.csv", "--save", "{out}/h.csv"});
    return args;
}

std::vector<std::string> Check(const std::string& wheel, const std::string& draw, const std::string& save)
{
    return {"check", "--definition", "LO649", "--wheel", wheel, "--draw", draw, "--save", save};
}

auto Put(const std::string& relative, const std::string& bytes)
{
    return [=](Lab& lab) { lab.Put(relative, bytes); };
}

// A FIFO, a character device (where the user may make one) and a link to the sample wheel.
void Specials(Lab& lab)
{
    ::mkfifo((lab.out() / "pipe").c_str(), 0644);
    ::mkfifo((lab.home() / "wheel/pipe.txt").c_str(), 0644);
    if (::mknod((lab.out() / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        ::mkfifo((lab.out() / "null").c_str(), 0644);
    std::filesystem::create_symlink(lab.home() / "wheel/LO649-sample.txt", lab.out() / "link.txt");
}

const std::string kSettingsKept = "is the program's settings file, which holds the printers' calibrations and the "
                                  "choices remembered; it would be overwritten, choose another file\n";

// {out}/ini.txt, a link to the program folder's settings file (which need not exist yet).
void LinkToSettings(Lab& lab)
{
    std::filesystem::create_symlink(lab.home() / "Brindlemark.ini", lab.out() / "ini.txt");
}

// {out}/LO649.def, a definition given by its path, without a marks file yet.
void CopyDefinitionOut(Lab& lab)
{
    std::filesystem::copy_file(lab.home() / "Defs/LO649.def", lab.out() / "LO649.def");
}

const std::string kOffSheet =
    "49\r\n6\r\n10\r\n190\r\n82\r\n1000000000000000000000000000000\r\n2\r\n7\r\n5\r\n15\r\n7\r\n3\r\n2\r\n35\r\n"
    "4.2\r\n45\r\n4.5\r\n1\r\n8\r\n15\r\n22\r\n29\r\n36\r\n43\r\n1\r\n0\r\n1\r\n";
const std::string kTooMany = "49\r\n6\r\n10\r\n190\r\n82\r\n12\r\n32767\r\n7\r\n32767\r\n15\r\n7\r\n3\r\n2\r\n35\r\n"
                             "4.2\r\n45\r\n4.5\r\n1\r\n8\r\n15\r\n22\r\n29\r\n36\r\n43\r\n1\r\n0\r\n1\r\n";
const std::string kPrint = "print --definition LO649 --wheel LO649-sample.txt";
std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

const std::vector<Case> kCases = {
    {"definition", Put("Defs/BD649.def", "49\r\n6\r\n"), Pattern("BD649"),
     "brindlemark: {home}/Defs/BD649.def: holds 2 lines; a definition has at least 21 (17 measurements, the row numbers and 3 flags)\n"},
    {"settings", Put("Settings/LO649.ini", "\"1.5\"\r\n"), Pattern("LO649"),
     "brindlemark: {home}/Settings/LO649.ini: holds only one offset; the file needs the top and the left offset\n"},
    {"offset",
     {},
     {"test-pattern", "--definition", "LO649", "--top", "abc", "--marks"},
     "brindlemark: The top offset \"abc\" is not a number of millimetres (for example -1.5 or 2)\n"},
    {"wheel",
     Put("wheel/bad.txt", "1,2,3,4,5,6\r\n1,2,3,4,5,six\r\n"),
     {"print", "--definition", "LO649", "--wheel", "bad.txt", "--marks"},
     "brindlemark: {home}/wheel/bad.txt: line 2: \"six\" is not a whole number\n"},
    {"draw",
     {},
     Check("LO649-sample.txt", "3 11 19 27 35 43", "{out}/s.txt"),
     "brindlemark: --draw \"3 11 19 27 35 43\" holds 6 numbers; LO649 (6-number game with bonus) needs 7: 6 main numbers and the bonus number last\n"},
    // A draw that cannot happen and a play that is no ticket (every rule has its own table in the
    // rules' tests): refused before anything is written.
    {"drawn twice",
     {},
     Check("LO649-sample.txt", "3 11 19 27 11 43 7", "{out}/s.txt"),
     "brindlemark: --draw: Drawn number 5 is 11, the same as drawn number 2; no number is drawn twice.\n"},
    {"checked play", Put("wheel/rep.txt", "# method: test\r\n1,2,3,4,5,6\r\n5,5,5,5,5,5\r\n"),
     Check("rep.txt", kDraw, "{out}/s.txt"), "brindlemark: {home}/wheel/rep.txt: line 3: 5 is given twice\n"},
    {"printed play",
     Put("wheel/zero.txt", "0,1,2,3,4,5\r\n1,2,3,4,5,6\r\n0,6,7,8,9,10\r\n"),
     {"print", "--definition", "LO649", "--wheel", "zero.txt", "--marks"},
     "brindlemark: {home}/wheel/zero.txt: line 1: 0 has no box on this slip (1 to 49); 2 plays of this file have such a fault\n"},
    {"draws file",
     Put("wheel/d.csv", "Date,Numbers\r\n2020-01-01,3,11,19,27,35,43,7\r\n2020-01-04,3,11,19,27,35,50,7\r\n"), Draws(),
     "brindlemark: {home}/wheel/d.csv: line 3: Drawn number 6 is 50; the numbers of this game run from 1 to 49. This "
     "draw needs a pool of at least 50 numbers (the definition has 49).\n"},
    {"draws file with a column that is no number",
     Put("wheel/d.csv", "Date,Numbers\r\n2020-01-01,3,11,19,27,35,\"12.0\",43,7\r\n"), Draws(),
     "brindlemark: {home}/wheel/d.csv: line 2: field 7 (\"12.0\") is not a whole number; the draw needs 7 numbers\n"},
    {"draws file with a day-first date among month-first ones",
     Put("wheel/d.csv",
         "01/14/2020,3,11,19,27,35,43,7\r\n01/15/2020,3,11,19,27,35,43,7\r\n13/01/2020,3,11,19,27,35,43,7\r\n"),
     Draws(),
     "brindlemark: {home}/wheel/d.csv: line 3: field 1 (\"13/01/2020\") is not a date; dates are read as YYYY-MM-DD, "
     "YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY, DD-Mon-YYYY, Month D YYYY or YYYYMMDD\n"},
    {"draws file whose dates do not tell their order", Put("wheel/d.csv", "01/02/2020,3,11,19,27,35,43,7\r\n"), Draws(),
     "brindlemark: {home}/wheel/d.csv: line 1: the date \"01/02/2020\" reads day first or month first, and no date of "
     "the file tells which; give --date-order DMY (day first) or MDY (month first)\n"},
    {"draws file whose powerball-like ball is missing",
     Put("wheel/d.csv", "Draw Date,Winning Numbers,Bonus Ball,Draw Number\r\n2020-01-01,3 11 19 27 35 43,,1\r\n"),
     Draws(),
     "brindlemark: {home}/wheel/d.csv: line 2: field 3 is empty; the draw needs 7 numbers (column Bonus Ball)\n"},
    {"date order",
     {},
     Draws({"--date-order", "YMD"}),
     "brindlemark: --date-order \"YMD\" is not DMY (day first) or MDY (month first)\n"},
    {"first day",
     {},
     Draws({"--from", "2020-02-30"}),
     "brindlemark: --from \"2020-02-30\" is not a day written YYYY-MM-DD\n"},
    {"days the wrong way round",
     {},
     Draws({"--from", "2020-02-03", "--to", "2020-02-01"}),
     "brindlemark: --from 2020-02-03 comes after --to 2020-02-01: no draw lies between them\n"},
    {"days without a draws file",
     {},
     {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--to", "2020-01-01"},
     "brindlemark: --to goes with --draws FILE\n"},
    {"draws file with no draw left after skipping",
     Put("wheel/d.csv", "Date,Numbers\r\n2020-01-01,3,11,19,27,35,43,0\r\n"), Draws({"--skip-invalid-draws"}),
     "brindlemark: {home}/wheel/d.csv: holds no draw of this game; line 2, the first of 1 lines passed over: The bonus "
     "number (box 7) is 0; the numbers of this game run from 1 to 49.\n"},
    {"skipping asked for one draw",
     {},
     {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--skip-invalid-draws"},
     "brindlemark: --skip-invalid-draws goes with --draws FILE: it passes over the lines of a draws file that are no "
     "draws of the game\n"},
    {"history over its draws",
     Put("wheel/d.csv", "1982-06-12,3,11,19,27,35,43,7\r\n"),
     {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draws", "{home}/wheel/d.csv", "--save",
      "{home}/wheel/d.csv"},
     "brindlemark: {home}/wheel/d.csv: is an input of this run; it would be overwritten, choose another file\n"},
    {"draw and draws",
     {},
     {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--draws", "d.csv"},
     "brindlemark: --draw and --draws exclude each other: give one draw or one file of draws\n"},
    {"summary",
     {},
     Check("LO649-sample.txt", kDraw, "{out}/no/s.txt"),
     "brindlemark: {out}/no/s.txt: the folder {out}/no does not exist\n"},
    {"summary onto a FIFO", Specials, Check("LO649-sample.txt", kDraw, "{out}/pipe"),
     "brindlemark: {out}/pipe: is not a regular file (a device, FIFO or socket); nothing was written\n"},
    {"summary onto the wheel",
     {},
     Check("LO649-sample.txt", kDraw, "{home}/wheel/LO649-sample.txt"),
     "brindlemark: {home}/wheel/LO649-sample.txt: is an input of this run; it would be overwritten, choose another file\n"},
    {"summary through a link onto the wheel", Specials, Check("LO649-sample.txt", kDraw, "{out}/link.txt"),
     "brindlemark: {out}/link.txt: is the same file as {home}/wheel/LO649-sample.txt, an input of this run; it would be overwritten, choose another file\n"},
    {"summary into Defs",
     {},
     Check("LO649-sample.txt", kDraw, "{home}/Defs/s.txt"),
     "brindlemark: {home}/Defs/s.txt: lies in the program's Defs folder, which holds definitions and offsets; choose another folder\n"},
    // The program's own settings and a definition's marks file are never an output, whether
    // they exist yet or not, named directly or through a link.
    {"summary onto the program's settings",
     {},
     Check("LO649-sample.txt", kDraw, "{home}/Brindlemark.ini"),
     "brindlemark: {home}/Brindlemark.ini: " + kSettingsKept},
    {"history onto the program's settings",
     Put("wheel/d.csv", "1982-06-12,3,11,19,27,35,43,7\r\n"),
     {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draws", "{home}/wheel/d.csv", "--save",
      "{home}/Brindlemark.ini"},
     "brindlemark: {home}/Brindlemark.ini: " + kSettingsKept},
    {"PDF onto the program's settings", Put("Brindlemark.ini", "Calibration.Q=1.01,0.99\r\n"),
     Words(kPrint + " --pdf {home}/Brindlemark.ini"), "brindlemark: {home}/Brindlemark.ini: " + kSettingsKept},
    {"applied wheel through a link onto the program's settings",
     LinkToSettings,
     {"wheel", "apply", "--design", "{home}/wheel/LO649-sample.txt", "--numbers", "1 2 3", "--out", "{out}/ini.txt"},
     "brindlemark: {out}/ini.txt: " + kSettingsKept},
    {"made wheel onto the program's settings",
     {},
     Words("wheel make --count 7 --pick 6 --if 6 --match 6 --out {home}/Brindlemark.ini"),
     "brindlemark: {home}/Brindlemark.ini: " + kSettingsKept},
    {"summary onto the marks of a definition given by path",
     CopyDefinitionOut,
     {"check", "--definition", "{out}/LO649.def", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--save",
      "{out}/LO649.marks"},
     "brindlemark: {out}/LO649.marks: is the marks file of the definition {out}/LO649.def; it would be overwritten, "
     "choose another file\n"},
    {"made wheel onto the marks of a definition given by path", CopyDefinitionOut,
     Words("wheel make --count 7 --if 6 --match 6 --definition {out}/LO649.def --out {out}/LO649.marks"),
     "brindlemark: {out}/LO649.marks: is the marks file of the definition {out}/LO649.def; it would be overwritten, "
     "choose another file\n"},
    {"PDF onto a device", Specials, Pattern("LO649", "--pdf={out}/null"),
     "brindlemark: {out}/null: is not a regular file (a device, FIFO or socket); nothing was written\n"},
    {"PDF onto the wheel",
     {},
     Words(kPrint + " --pdf {home}/wheel/LO649-sample.txt"),
     "brindlemark: {home}/wheel/LO649-sample.txt: is an input of this run; it would be overwritten, choose another file\n"},
    {"PDF into Settings",
     {},
     Pattern("LO649", "--pdf={home}/Settings/x.pdf"),
     "brindlemark: {home}/Settings/x.pdf: lies in the program's Settings folder, which holds definitions and offsets; choose another folder\n"},
    {"FIFO wheel", Specials, Words("print --definition LO649 --wheel pipe.txt --marks"),
     "brindlemark: {home}/wheel/pipe.txt: is not a regular file (a FIFO, device or socket); save the plays in a file\n"},
    {"repeated definition",
     {},
     Words(kPrint + " --definition PB569 --marks"),
     "brindlemark print: --definition is given twice\n"},
    {"repeated wheel",
     {},
     Words(kPrint + " --wheel=PB569-sample.txt --marks"),
     "brindlemark print: --wheel is given twice\n"},
    {"repeated offset",
     {},
     Words("test-pattern --definition LO649 --top 1 --top=2 --marks"),
     "brindlemark test-pattern: --top is given twice\n"},
    {"repeated home",
     {},
     Words("--home /tmp test-pattern --definition LO649 --marks"),
     "brindlemark: --home is given twice\n"},
    {"name with control characters",
     Put("wheel/a\nb\x1b[2J.txt", "1,2,3,4,5,six\r\n"),
     {"print", "--definition", "LO649", "--wheel", "a\nb\x1b[2J.txt", "--marks"},
     "brindlemark: {home}/wheel/a\\x0Ab\\x1B[2J.txt: line 1: \"six\" is not a whole number\n"},
    {"offset in the settings file", Put("Settings/LO649.ini", "\"abc\"\r\n\"2\"\r\n"), Pattern("LO649"),
     "brindlemark: {home}/Settings/LO649.ini: the top offset \"abc\" is not a number of millimetres (for example -1.5 or 2)\n"},
    {"UTF-16 wheel without a mark", Put("wheel/w16.txt", std::string("1\0,\0002\0", 6)),
     Words("print --definition LO649 --wheel w16.txt --marks"),
     "brindlemark: {home}/wheel/w16.txt: is UTF-16 text; save it as plain text (ANSI or UTF-8)\n"},
    {"UTF-32 wheel", Put("wheel/w32.txt", std::string("\xFF\xFE\0\0001\0\0\0", 8)),
     Check("w32.txt", kDraw, "{out}/s.txt"),
     "brindlemark: {home}/wheel/w32.txt: is UTF-32 text; save it as plain text (ANSI or UTF-8)\n"},
    {"measurement off the sheet", Put("Defs/LO649.def", kOffSheet), Pattern("LO649"),
     "brindlemark: {home}/Defs/LO649.def: Top Of Slip To Top Of 1st Row is 1000000000000000000000000000000 mm, beyond the A4 sheet (landscape, 297 x 210 mm)\n"},
    {"offset off the sheet",
     {},
     Words("test-pattern --definition LO649 --top 100000000000000000000000000000 --marks"),
     "brindlemark: {home}/Defs/LO649.def: the top offset is 100000000000000000000000000000 mm, beyond the A4 sheet (landscape, 297 x 210 mm)\n"},
    {"counts beyond a sheet", Put("Defs/LO649.def", kTooMany), Pattern("LO649"),
     "brindlemark: {home}/Defs/LO649.def: 32767 panels across of 7 columns are more boxes than fit across the A4 sheet (landscape, 297 x 210 mm)\n"},
    {"PDF",
     {},
     Pattern("LO649", "--pdf={out}/no/x.pdf"),
     "brindlemark: {out}/no/x.pdf: the folder {out}/no does not exist\n"},
    {"slips beyond the job",
     {},
     Words(kPrint + " --slips 2-3 --marks"),
     "brindlemark: --slips 2-3: beyond the last slip; this wheel fills 2 playslips (give N, N-M or N-, from 1 to 2)\n"},
    {"outline without a PDF",
     {},
     Words(kPrint + " --outline --marks"),
     "brindlemark print: --outline draws box outlines into a PDF only: give --pdf FILE as well\n"},
    {"slips of the test pattern",
     {},
     Words("test-pattern --definition LO649 --slips 1 --marks"),
     "brindlemark test-pattern: unknown option \"--slips\"\n"},
    // A definition is known by its whole file name: a copy never borrows another's offsets or game.
    {"copy of a definition",
     Put("Defs/LO649 copy.def", kOffSheet),
     {"check", "--definition", "{home}/Defs/LO649 copy.def", "--wheel", "LO649-sample.txt", "--draw", kDraw},
     "brindlemark: {home}/Defs/LO649 copy.def: is not named as a definition; a definition file is named by two "
     "capital letters, the pick digit and the two-digit pool, followed by .def (such as LO649.def)\n"},
    {"short definition name", Put("Defs/AB.def", kOffSheet), Pattern("{home}/Defs/AB.def"),
     "brindlemark: {home}/Defs/AB.def: is not named as a definition; a definition file is named by two "
     "capital letters, the pick digit and the two-digit pool, followed by .def (such as LO649.def)\n"},
    {"definition name in lower case",
     {},
     Pattern("lo649"),
     "brindlemark: --definition \"lo649\" is neither a definition name (two capital letters, the pick digit and "
     "the two-digit pool, such as LO649) nor a .def file\n"},
    {"slips of a wheel without a play", Put("wheel/empty.txt", "# method: none\r\n\r\n"),
     Words("print --definition LO649 --wheel empty.txt --slips 1 --pdf {out}/x.pdf"),
     "brindlemark: --slips 1: {home}/wheel/empty.txt holds no plays, so there are no slips to choose from\n"},
    // The command line refuses what a draws file refuses: no rounding, no empty field.
    {"draw with a fraction",
     {},
     Check("LO649-sample.txt", "1 2 3 4 5 6 7.6", "{out}/s.txt"),
     "brindlemark: --draw \"1 2 3 4 5 6 7.6\": \"7.6\" is not a whole number\n"},
    {"draw with an empty field",
     {},
     Check("LO649-sample.txt", "1,,2,3,4,5,6,7", "{out}/s.txt"),
     "brindlemark: --draw \"1,,2,3,4,5,6,7\" has an empty number before a comma; give each drawn number once\n"},
    {"draw ending in a comma",
     {},
     Check("LO649-sample.txt", "1 2 3 4 5 6 7,", "{out}/s.txt"),
     "brindlemark: --draw \"1 2 3 4 5 6 7,\" ends with a comma; give each drawn number once\n"},
    // A pick-6 slip named as a 5-number game would print one game and be checked as another.
    {"definition name and game disagree",
     [](Lab& lab) { lab.Put("Defs/XY549.def", ReadBytes(lab.home() / "Defs" / "LO649.def")); },
     {"check", "--definition", "XY549", "--wheel", "LO649-sample.txt", "--draw", kDraw},
     "brindlemark: {home}/Defs/XY549.def: the name XY549 says 5 numbers from 49, but the file holds a slip of 6 "
     "numbers from 49; rename the file or correct its Pick and Pool\n"},
    {"option",
     {},
     {"print", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--copies", "2"},
     "brindlemark print: unknown option \"--copies\"\n"},
};

TEST(BadInput, IsRefusedWithItsMessageAndNothingWrittenOrLost)
{
    BM_NEEDS_PROGRAM();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        Lab lab;
        if (c.setup)
            c.setup(lab);
        const Snapshot before = TakeSnapshot({lab.home(), lab.out()});
        ASSERT_NE(before.find("LO649.def"), std::string::npos);
        const ProgramRun ran = lab.Run(c.args);
        EXPECT_EQ(ran.status, 2);
        EXPECT_EQ(ran.err, lab.Expand(c.err));
        EXPECT_EQ(ran.out, "");
        EXPECT_TRUE(before == TakeSnapshot({lab.home(), lab.out()})) << "a file was written, changed or removed";
    }
}

}  // namespace
