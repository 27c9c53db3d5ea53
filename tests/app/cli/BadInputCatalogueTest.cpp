// Every way bad input reaches the program, through the program itself: the exact exit status
// and message, nothing on standard output, and no file of the program folder or the output
// folder written, changed or removed. The many spellings of one reader's refusals (definition,
// wheel, number) are the readers' own tests; here each reader is seen once from every command.
#include <gtest/gtest.h>

#include <functional>

#include "app/cli/CatalogueSupport.h"

using namespace bmtest;

namespace {

// LO649 of the sample folder, line by line, to be spoilt.
std::string Lo649(const std::function<void(std::vector<std::string>&)>& spoil = {})
{
    std::vector<std::string> lines = {"49", "6", "10", "190", "82", "12", "2", "7", "5", "15", "7", "3", "2", "35",
                                      "4.2", "45", "4.5", "1", "8", "15", "22", "29", "36", "43", " 1 ", " 0 ", " 1 "};
    if (spoil)
        spoil(lines);
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    return text;
}

std::string Plays(int count, const std::string& play = "1,2,3,4,5,6")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += play + "\r\n";
    return text;
}

const std::string kDraw = "3 11 19 27 35 43 7";  // LO649 draws six and a bonus

struct Case {
    const char* what;
    std::function<void(Lab&)> setup;  // files to spoil, made before the snapshot
    std::vector<std::string> args;          // after --home; "{home}" and "{out}" stand for the folders
    int status;
    std::string err;  // the whole of standard error
};

std::vector<std::string> Print(const std::string& definition, const std::string& wheel)
{
    return {"print", "--definition", definition, "--wheel", wheel, "--marks"};
}

std::vector<std::string> Pattern(const std::string& definition)
{
    return {"test-pattern", "--definition", definition, "--marks"};
}

std::vector<std::string> Check(const std::string& wheel, const std::string& draw = kDraw)
{
    return {"check", "--definition", "LO649", "--wheel", wheel, "--draw", draw, "--save", "{out}/summary.txt"};
}

auto Def(const std::string& name, const std::string& bytes)
{
    return [=](Lab& lab) { lab.Put("Defs/" + name + ".def", bytes); };
}

auto Wheel(const std::string& name, const std::string& bytes)
{
    return [=](Lab& lab) { lab.Put("wheel/" + name, bytes); };
}

auto Settings(const std::string& bytes)
{
    return [=](Lab& lab) { lab.Put("Settings/LO649.ini", bytes); };
}

const std::vector<Case>& Catalogue()
{
    static const std::vector<Case> cases = {
        // Definition files.
        {"definition too short", Def("BD649", Lo649([](auto& l) { l.resize(10); })), Pattern("BD649"), 2,
         "brindlemark: {home}/Defs/BD649.def: holds 10 lines; a definition has at least 21 (17 measurements, the row numbers and 3 flags)\n"},
        {"definition with letters", Def("BD649", Lo649([](auto& l) { l[3] = "19O"; })), Pattern("BD649"), 2,
         "brindlemark: {home}/Defs/BD649.def: line 4: \"19O\" is not a number\n"},
        {"definition of binary garbage", Def("BD649", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + Lo649()),
         Pattern("BD649"), 2,
         "brindlemark: {home}/Defs/BD649.def: line 1: \"\\x7FELF\\x02\\x01\\x01\\x00\\x00\\x0049\" is not a number\n"},
        {"definition of pick 8", Def("BD849", Lo649([](auto& l) { l[1] = "8"; })), Print("BD849", "LO649-sample.txt"),
         2, "brindlemark: Sorry. That lottery format is not supported in this version\n"},
        {"definition whose one row holds the whole panel", Def("OR649", Lo649([](auto& l) {
             l[7] = "1";
             l[10] = "49";
             l.erase(l.begin() + 18, l.begin() + 24);
         })),
         Pattern("OR649"), 2,
         "brindlemark: {home}/Defs/OR649.def: holds 21 lines (1 row); printing takes definitions of 22 to 30 lines (2 to 10 rows)\n"},
        {"definition whose panels disagree with its total", Def("MM649", Lo649([](auto& l) { l[2] = "4"; })),
         Print("MM649", "LO649-sample.txt"), 2,
         "brindlemark: {home}/Defs/MM649.def: cannot print plays: Total Panels is 4 but the layout fills 10 panels per slip (2 main panels x 5 across); plays would be skipped or printed twice\n"},
        {"definition whose game has no checker", Def("XX449", Lo649()),
         {"check", "--definition", "XX449", "--wheel", "LO649-sample.txt", "--draw", kDraw}, 2,
         "brindlemark: {home}/Defs/XX449.def: the game of XX449 has no ticket checker (only 5-, 6- and 7-number games are checked)\n"},
        {"no such definition", {}, Pattern("ZZ649"), 2, "brindlemark: {home}/Defs/ZZ649.def: no such definition file\n"},
        {"definition name too short", {}, Pattern("LO64"), 2,
         "brindlemark: --definition \"LO64\" is neither a five-character definition name (such as LO649) nor a .def file\n"},

        // Settings files.
        {"settings of one line", Settings("\"1.5\"\r\n"), Pattern("LO649"), 2,
         "brindlemark: {home}/Settings/LO649.ini: holds only one offset; the file needs the top and the left offset\n"},
        {"settings of binary garbage", Settings(std::string("\x01\x02,\xff\0\x7f", 6)), Pattern("LO649"), 2,
         "brindlemark: The top offset \"\\x01\\x02\" is not a number of millimetres (for example -1.5 or 2)\n"},
        {"settings holding words", Settings("\"up\"\r\n\"left\"\r\n"), Pattern("LO649"), 2,
         "brindlemark: The top offset \"up\" is not a number of millimetres (for example -1.5 or 2)\n"},
        {"settings without quotes, one of them words", Settings("1.5\r\nabc\r\n"), Pattern("LO649"), 2,
         "brindlemark: The left offset \"abc\" is not a number of millimetres (for example -1.5 or 2)\n"},
        {"empty settings file", Settings(""), Pattern("LO649"), 2,
         "brindlemark: The top offset \"\" is not a number of millimetres (for example -1.5 or 2)\n"},
        {"a folder where the settings file should be", [](Lab& lab) {
             std::filesystem::create_directories(lab.home() / "Settings" / "LO649.ini");
         },
         Pattern("LO649"), 2, "brindlemark: {home}/Settings/LO649.ini: is a folder, not a settings file\n"},

        // Wheel files.
        {"wheel with letters", Wheel("bad.txt", Plays(5) + "1,2,3,4,5,six\r\n"), Print("LO649", "bad.txt"), 2,
         "brindlemark: {home}/wheel/bad.txt: line 6: \"six\" is not a whole number\n"},
        {"wheel number beyond 16 bits for printing", Wheel("bad.txt", "1,2,3,4,5,40000\r\n"), Print("LO649", "bad.txt"),
         2, "brindlemark: {home}/wheel/bad.txt: line 1: 40000 is beyond the numbers this program can read (-32768 to 32767)\n"},
        {"wheel number beyond 32 bits for checking", Wheel("bad.txt", "1,2,3,4,5,4294967296\r\n"), Check("bad.txt"), 2,
         "brindlemark: {home}/wheel/bad.txt: line 1: 4294967296 is beyond the numbers this program can read (-2147483648 to 2147483647)\n"},
        {"a folder given as the wheel file", [](Lab& lab) {
             std::filesystem::create_directories(lab.home() / "wheel" / "dir.txt");
         },
         Print("LO649", "dir.txt"), 2, "brindlemark: {home}/wheel/dir.txt: is a folder, not a wheel file\n"},
        {"no such wheel file", {}, Print("LO649", "none.txt"), 2,
         "brindlemark: none.txt: cannot be opened (No such file or directory)\n"},
        {"wheel with fewer plays when printed than when counted", [](Lab& lab) {
             lab.Keep(std::make_shared<ChangingFile>(lab.home() / "wheel" / "moving.txt", Plays(12), Plays(7)));
         },
         {"print", "--definition", "LO649", "--wheel", "moving.txt", "--pdf", "{out}/x.pdf"}, 2,
         "Printing 12 Picks On 2 Playslips\n"
         "brindlemark: {home}/wheel/moving.txt: changed while it was being printed; it now holds 7 plays instead of 12\n"},
        {"wheel with more plays when printed than when counted", [](Lab& lab) {
             lab.Keep(std::make_shared<ChangingFile>(lab.home() / "wheel" / "moving.txt", Plays(12), Plays(15)));
         },
         {"print", "--definition", "LO649", "--wheel", "moving.txt", "--pdf", "{out}/x.pdf"}, 2,
         "Printing 12 Picks On 2 Playslips\n"
         "brindlemark: {home}/wheel/moving.txt: changed while it was being printed; it now holds more than 12 plays\n"},
        {"no such wheel file to check", {}, Check("none.txt"), 2,
         "brindlemark: none.txt: cannot be opened (No such file or directory)\n"},
        {"powerball play without its powerball", Wheel("bad.txt", "5,12,23,34,45\r\n"),
         {"check", "--definition", "PB569", "--wheel", "bad.txt", "--draw", "5 12 23 34 45 7"}, 2,
         "brindlemark: {home}/wheel/bad.txt: line 1 holds 5 numbers; a play of this game has 6\n"},

        // Draws.
        {"draw without its bonus", {}, Check("LO649-sample.txt", "3 11 19 27 35 43"), 2,
         "brindlemark: --draw \"3 11 19 27 35 43\" holds 6 numbers; LO649 (6-number game with bonus) needs 7: 6 main numbers and the bonus number last\n"},
        {"draw with a word", {}, Check("LO649-sample.txt", "3 11 nineteen 27 35 43 7"), 2,
         "brindlemark: --draw: Drawn number 3 \"nineteen\" is not a number.\n"},
        {"draw with an empty value", {}, {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw="}, 2,
         "brindlemark: --draw needs a value\n"},

        // Offsets.
        {"top offset of words", {}, {"test-pattern", "--definition", "LO649", "--top", "abc", "--marks"}, 2,
         "brindlemark: The top offset \"abc\" is not a number of millimetres (for example -1.5 or 2)\n"},
        {"empty left offset", {}, {"test-pattern", "--definition", "LO649", "--left=", "--marks"}, 2,
         "brindlemark: The left offset \"\" is not a number of millimetres (for example -1.5 or 2)\n"},

        // Folders.
        {"program folder that does not exist", {}, {"--home", "{home}/missing", "test-pattern", "--definition", "LO649", "--marks"},
         2, "brindlemark: --home {home}/missing: no such folder\n"},
        {"summary into a folder that does not exist", {},
         {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--save", "{out}/no/s.txt"}, 2,
         "brindlemark: {out}/no/s.txt: cannot be written, its folder {out}/no does not exist\n"},
        {"summary named like a folder", {},
         {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--save", "{out}"}, 2,
         "brindlemark: {out}: is a folder, not a file name for the summary\n"},
        {"summary under a file", {},
         {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--save",
          "{home}/Defs/LO649.def/s.txt"},
         2, "brindlemark: {home}/Defs/LO649.def/s.txt: cannot be written, {home}/Defs/LO649.def is a file, not a folder\n"},
        {"summary into a folder nobody can write", {},
         {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--draw", kDraw, "--save", "/proc/brindlemark.txt"},
         2, "brindlemark: cannot write /proc/brindlemark.txt: cannot create a file in /proc (No such file or directory)\n"},
        {"PDF into a folder that does not exist", {},
         {"test-pattern", "--definition", "LO649", "--pdf", "{out}/no/x.pdf"}, 2,
         "brindlemark: {out}/no/x.pdf: the folder {out}/no does not exist\n"},
        {"PDF named like a folder", {}, {"test-pattern", "--definition", "LO649", "--pdf", "{out}"}, 2,
         "brindlemark: {out}: is a folder; give the name of the PDF file to write\n"},
        // The PDF writer itself fails here, as the printing system would: 1, not 2.
        {"PDF into a folder nobody can write", {}, {"test-pattern", "--definition", "LO649", "--pdf", "/proc/x.pdf"}, 1,
         "brindlemark: /proc/x.pdf: cannot be written (No such file or directory)\n"},

        // The command line.
        {"unknown option", {}, {"print", "--definition", "LO649", "--wheel", "LO649-sample.txt", "--copies", "2"}, 2,
         "brindlemark print: unknown option \"--copies\"\n"},
        {"unknown option of check", {}, {"check", "--definition", "LO649", "--marks"}, 2,
         "brindlemark: unknown option \"--marks\" for check\n"},
        {"option without its value", {}, {"print", "--definition", "LO649", "--wheel"}, 2,
         "brindlemark print: --wheel needs a value\n"},
        {"check option given twice", {},
         {"check", "--definition", "LO649", "--definition", "PB569", "--wheel", "w.txt", "--draw", kDraw}, 2,
         "brindlemark: --definition is given twice\n"},
        {"two outputs", {}, {"test-pattern", "--definition", "LO649", "--marks", "--pdf", "{out}/x.pdf"}, 2,
         "brindlemark test-pattern: choose one of --pdf, --printer and --marks\n"},
        {"unknown command", {}, {"scan", "--definition", "LO649"}, 2,
         "brindlemark: unknown command \"scan\"; see brindlemark --help\n"},
        {"no wheel for print", {}, {"print", "--definition", "LO649", "--marks"}, 2,
         "brindlemark print: --wheel is missing: give the wheel file to print\n"},
        {"--home without a folder", {}, {"--home"}, 2, "brindlemark: --home needs a folder\n"},
        {"no definition for print", {}, {"print", "--wheel", "LO649-sample.txt", "--marks"}, 2,
         "brindlemark print: --definition is missing: give a definition name such as LO649 or a .def file\n"},
        {"an option of another command", {}, {"test-pattern", "--definition", "LO649", "--wheel", "w.txt", "--marks"}, 2,
         "brindlemark test-pattern: unknown option \"--wheel\"\n"},
        {"no definition to check", {}, {"check", "--wheel", "LO649-sample.txt", "--draw", kDraw}, 2,
         "brindlemark: --definition is missing: give a definition name such as LO649 or a .def file\n"},
        {"no wheel to check", {}, {"check", "--definition", "LO649", "--draw", kDraw}, 2,
         "brindlemark: --wheel is missing: give the wheel file to check\n"},
        {"no draw to check", {}, {"check", "--definition", "LO649", "--wheel", "LO649-sample.txt"}, 2,
         "brindlemark: --draw is missing: give the drawn numbers, such as --draw \"3 11 19 27 35 43\"\n"},
    };
    return cases;
}

class BadInput : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BadInput, IsRefusedWithItsMessageAndNothingWrittenOrLost)
{
    if (std::string(BRINDLEMARK_EXE).empty())
        GTEST_SKIP() << "the brindlemark executable is not built";
    const Case& c = Catalogue()[GetParam()];
    SCOPED_TRACE(c.what);
    Lab lab;
    if (c.setup)
        c.setup(lab);
    const Snapshot before = TakeSnapshot({lab.home(), lab.out()});

    std::vector<std::string> args = {"--home", lab.home().string()};
    for (const auto& a : c.args)
        args.push_back(lab.Expand(a));
    const ProgramRun ran = RunProgram(args);

    EXPECT_EQ(ran.status, c.status);
    EXPECT_EQ(ran.err, lab.Expand(c.err));
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(Difference(before, TakeSnapshot({lab.home(), lab.out()})), "");
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInput, ::testing::Range<std::size_t>(0, Catalogue().size()),
                         [](const auto& info) {
                             std::string name;
                             for (char ch : std::string(Catalogue()[info.param].what))
                                 if (std::isalnum(static_cast<unsigned char>(ch)))
                                     name += ch;
                                 else if (!name.empty() && name.back() != '_')
                                     name += '_';
                             return name;
                         });

}  // namespace
