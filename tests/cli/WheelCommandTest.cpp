// `wheel apply`, `analyze` and `make` through the program itself: exact output, exit statuses, and
// every refusal one line on stderr with nothing written; a made wheel's guarantee held, its format,
// the same seed giving the same wheel, and Ctrl+C.

#include <algorithm>
#include <bit>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cli/CatalogueSupport.h"
#include "cli/WheelCommand.h"
#include "wheels/WheelDesign.h"
#include "wheels/WheelSearch.h"

using namespace bmtest;
namespace fs = std::filesystem;

namespace {

// 0-based, with a header, braces and a play written across blanks and tabs.
const std::string kDesign = "# method: by hand\n# 3 numbers a play\n\n{ 0, 1, 2 },\n{ 2, 3,\t4 }\n{4,0,3}\n";

const std::string kNinety = "90\r\n7\r\n6\r\n200\r\n200\r\n14\r\n2\r\n9\r\n3\r\n22\r\n10\r\n3\r\n2\r\n58\r\n5\r\n50\r\n"
                            "5\r\n1\r\n11\r\n21\r\n31\r\n41\r\n51\r\n61\r\n71\r\n81\r\n 1 \r\n 0 \r\n 1 \r\n";

// `wheel make` with these options.
std::vector<std::string> Make(std::vector<std::string> args)
{
    args.insert(args.begin(), {"wheel", "make"});
    return args;
}

// `wheel apply` of {home}/design.txt onto the numbers, and more options.
std::vector<std::string> Apply(const std::string& numbers, std::vector<std::string> more = {})
{
    std::vector<std::string> args = {"wheel", "apply", "--design", "{home}/design.txt", "--numbers", numbers};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(WheelCommand, AppliesADesignToThePlayersNumbers)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    lab.Put("design.txt", kDesign);
    const std::string want = "9,17,40\r\n1,5,17\r\n1,5,40\r\n";
    const auto stdoutRun = lab.Run(Apply("40, 9 17 5\t1"));
    EXPECT_EQ(stdoutRun.status, 0) << stdoutRun.err;
    EXPECT_EQ(stdoutRun.out, want);
    EXPECT_EQ(stdoutRun.err, "");

    // 1-based, into a file, checked against a definition; an old file there is replaced.
    lab.Put("one.txt", "1 2 3 4 5 6\r\n1 2 3 4 5 7\r\n");
    lab.Put("wheel/mine.txt", "old");
    const auto fileRun = lab.Run({"wheel", "apply", "--design=" + (lab.home() / "one.txt").string(), "--numbers",
                                  "49 1 2 3 4 5 6", "--definition", "LO649", "--out", "{home}/wheel/mine.txt"});
    EXPECT_EQ(fileRun.status, 0) << fileRun.err;
    EXPECT_EQ(fileRun.out, "");
    EXPECT_EQ(ReadBytes(lab.home() / "wheel/mine.txt"), "1,2,3,4,5,49\r\n1,2,3,4,6,49\r\n");
    EXPECT_EQ(fileRun.err, "");

    // More numbers than labels: done, with a note of those in no play.
    const auto more = lab.Run({"wheel", "apply", "--design", "{home}/one.txt", "--numbers", "1 2 3 4 5 6 7 8 9"});
    EXPECT_EQ(more.status, 0) << more.err;
    EXPECT_EQ(more.out, "1,2,3,4,5,6\r\n1,2,3,4,5,7\r\n");
    EXPECT_EQ(more.err, "brindlemark: note: " + (lab.home() / "one.txt").string() +
                            " has 7 labels; the last 2 of the numbers given are in no play\n");

    // What apply wrote, check and analyze read as any wheel.
    const auto analysed = lab.Run({"wheel", "analyze", "--definition", "LO649", "--wheel", "mine.txt"});
    EXPECT_EQ(analysed.status, 0) << analysed.err;
    EXPECT_TRUE(analysed.out.starts_with("Plays,2\nNumbers,7\n")) << analysed.out;
}

TEST(WheelCommand, AnalysesEveryPossibleDraw)
{
    BM_NEEDS_PROGRAM();
    const struct {
        const char* what;
        const char* definition;
        const char* wheel;
        const char* out;
    } cases[] = {
        {"one play of 6/49: a draw matches exactly what it holds of it, C(6,t) C(43,6-t) draws each", "LO649",
         "# a single play\r\n1,2,3,4,5,6\r\n",
         "Plays,1\nNumbers,6\nIf,Guaranteed,Draws\n"
         "0,0,6096454\n1,1,5775588\n2,2,1851150\n3,3,246820\n4,4,13545\n5,5,258\n6,6,1\n"
         "Best,Draws\n0,6096454\n1,5775588\n2,1851150\n3,246820\n4,13545\n5,258\n6,1\n"},
        {"powerball: the sixth number is not drawn with the five, and plays no part", "PB569",
         "1,2,3,4,5,26\r\n1,2,3,4,5,1\r\n",
         "Plays,2\nNumbers,5\nIf,Guaranteed,Draws\n"
         "0,0,7624512\n1,1,3176880\n2,2,416640\n3,3,20160\n4,4,320\n5,5,1\n"
         "Best,Draws\n0,7624512\n1,3176880\n2,416640\n3,20160\n4,320\n5,1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lab lab;
        lab.Put("wheel/w.txt", c.wheel);
        const auto r = lab.Run({"wheel", "analyze", "--definition", c.definition, "--wheel", "w.txt"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_TRUE(r.err.starts_with("Processing Completed In ") && r.err.ends_with(" Seconds\n")) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    }
}

// Every refusal of apply, analyze and make: one line on stderr, nothing on stdout, nothing written.
TEST(WheelCommand, RefusesInOneLineAndWritesNothing)
{
    BM_NEEDS_PROGRAM();
    std::string forty9;
    for (int n = 1; n <= 49; ++n)
        forty9 += std::to_string(n) + " ";
    const struct {
        const char* what;
        std::string design;
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {"no subcommand",
         kDesign,
         {"wheel"},
         "wheel needs what to do: apply or analyze or make or library; see brindlemark --help"},
        {"unknown subcommand",
         kDesign,
         {"wheel", "build"},
         "unknown wheel command \"build\": apply or analyze or make or library; see brindlemark --help"},
        {"no design",
         kDesign,
         {"wheel", "apply", "--numbers", "1 2 3"},
         "--design is missing: give the design file, "
         "a wheel written on labels 1..v or 0..v-1"},
        {"no numbers",
         kDesign,
         {"wheel", "apply", "--design", "{home}/design.txt"},
         "--numbers is missing: give the numbers to put in place of the labels, such as --numbers \"3 11 19 27 35 43 45\""},
        {"an option twice",
         kDesign,
         {"wheel", "apply", "--numbers", "1", "--numbers", "2"},
         "--numbers is given twice"},
        {"an unknown option",
         kDesign,
         {"wheel", "analyze", "--draw", "1"},
         "unknown option \"--draw\" for wheel analyze"},
        {"a label beyond the numbers", "# h\n1 2 3\n\n\n\n\n4 5 50\n", Apply(forty9),
         "{home}/design.txt: line 7: label 50 is beyond the 49 numbers given"},
        {"a number given twice", kDesign, Apply("1 2 3 4 2"), "--numbers: 2 is given twice"},
        {"two braced plays on a line", "{1,2,3},{4,5,6}\n", Apply("1 2 3 4 5 6"),
         "{home}/design.txt: line 1: holds more than one braced play; a design has one play a line, such as "
         "{ 1, 2, 3 }"},
        {"a number twice in a play", "1 2 3\n3 4 3\n", Apply("1 2 3 4"),
         "{home}/design.txt: line 2: label 3 is given twice"},
        {"plays of different sizes", "1 2 3\n\n1 2 3 4\n", Apply("1 2 3 4"),
         "{home}/design.txt: line 3: the play holds 4 numbers, the play on line 1 holds 3"},
        {"a number outside the pool", "1 2 3 4 5 6\n", Apply("1 2 3 4 5 50", {"--definition", "LO649"}),
         "--numbers: 50 is not a number of LO649 (1 to 49)"},
        {"a play size not the pick", "1 2 3 4 5\n", Apply("1 2 3 4 5", {"--definition", "LO649"}),
         "{home}/design.txt: its plays hold 5 numbers; LO649 plays hold 6"},
        {"a powerball game", "1 2 3 4 5\n", Apply("1 2 3 4 5", {"--definition", "PB569"}),
         "{home}/Defs/PB569.def: PB569 is a powerball game: its plays end in a powerball that a design does not give "
         "(a [Second] section in PB569.marks lets --second give it)"},
        {"a two-pool game without its second numbers", "1 2 3 4 5\n", Apply("1 2 3 4 5", {"--definition", "EM550"}),
         "EM550 plays end in 2 numbers of its second pool (1 to 12): give them with --second \"S1 S2 ...\" or "
         "--second-all \"S1 S2 ...\""},
        {"second numbers without a definition", kDesign, Apply("1 2 3 4 5", {"--second", "1 2"}),
         "--second needs --definition: --second and --second-all go with a definition whose marks file has a [Second] "
         "section"},
        {"second numbers for a game of one pool", kDesign,
         Apply("1 2 3 4 5", {"--definition", "LO649", "--second", "1"}),
         "LO649 has no second pool: --second and --second-all go with a definition whose marks file has a [Second] "
         "section"},
        {"a second number outside its pool", "1 2 3 4 5\n",
         Apply("1 2 3 4 5", {"--definition", "EM550", "--second", "1 13"}),
         "--second: 13 is not a number of EM550's second pool (1 to 12)"},
        {"too few second numbers", "1 2 3 4 5\n", Apply("1 2 3 4 5", {"--definition", "EM550", "--second-all", "4"}),
         "--second-all holds 1 number; EM550 plays take 2 second-pool numbers"},
        {"second-all without numbers", "1 2 3 4 5\n", Apply("1 2 3 4 5", {"--definition", "EM550", "--second-all"}),
         "--second-all needs the second-pool numbers: --second-all \"3 7 11\", or beside --second"},
        {"second numbers twice", "1 2 3 4 5\n",
         Apply("1 2 3 4 5", {"--definition", "EM550", "--second", "1 2", "--second-all", "3 4"}),
         "--second-all with numbers and --second both give the second-pool numbers; give one"},
        {"the output over the design", kDesign, Apply("1 2 3 4 5", {"--out", "{home}/design.txt"}),
         "{home}/design.txt: is an input of this run; it would be overwritten, choose another file"},
        {"the output in Defs", kDesign, Apply("1 2 3 4 5", {"--out", "{home}/Defs/x.txt"}),
         "{home}/Defs/x.txt: lies in the program's Defs folder, which holds definitions and offsets; choose another "
         "folder"},
        {"a missing design",
         kDesign,
         {"wheel", "apply", "--design", "{home}/none.txt", "--numbers", "1 2 3"},
         "{home}/none.txt: no such file"},
        {"analyze without a wheel",
         kDesign,
         {"wheel", "analyze", "--definition", "LO649"},
         "--wheel is missing: give the wheel file to analyse"},
        {"analyze a wheel too big to analyse",
         kDesign,
         {"wheel", "analyze", "--definition", "LM790", "--wheel", "w84.txt"},
         "{home}/wheel/w84.txt: a wheel on 84 numbers in a 7-number draw takes 4968747692 subsets of its numbers to "
         "analyse, more than the 700000000 an analysis may take (a minute or two and 700 MB of memory)"},
        {"analyze a play outside the pool",
         kDesign,
         {"wheel", "analyze", "--definition", "LO649", "--wheel", "{home}/wheel/bad.txt"},
         "{home}/wheel/bad.txt: line 2: 50 is not a number of this game (1 to 49)"},
        {"analyze a wheel without a play",
         kDesign,
         {"wheel", "analyze", "--definition", "LO649", "--wheel", "{home}/wheel/empty.txt"},
         "{home}/wheel/empty.txt: holds no plays (nothing but blank or comment lines); there is nothing to analyse"},
        {"match above if", kDesign, Make({"--count", "10", "--pick", "6", "--if", "3", "--match", "4"}),
         "wheel make: the match 4 is more than the if 3"},
        {"pick above the numbers", kDesign, Make({"--count", "5", "--pick", "6", "--if", "3", "--match", "3"}),
         "wheel make: plays of 6 cannot be taken from 5 numbers"},
        {"if above the numbers", kDesign, Make({"--count", "5", "--pick", "3", "--if", "6", "--match", "3"}),
         "wheel make: 6 numbers cannot be drawn from 5"},
        {"match above pick", kDesign, Make({"--count", "9", "--pick", "2", "--if", "4", "--match", "3"}),
         "wheel make: the match 3 is more than the 2 numbers of a play"},
        {"too large to hold", kDesign, Make({"--count", "90", "--pick", "7", "--if", "7", "--match", "3"}),
         "wheel make: building this wheel would hold 7471375560 subsets of 7 numbers in memory, more than the "
         "64000000 it can"},
        {"no numbers", kDesign, Make({"--pick", "3", "--if", "2", "--match", "2"}),
         "--numbers or --count is missing: give the numbers to wheel, such as --numbers \"3 11 19 27 35 43 45\", or "
         "their count, such as --count 15"},
        {"numbers and count", kDesign,
         Make({"--numbers", "1 2 3", "--count", "3", "--pick", "3", "--if", "2", "--match", "2"}),
         "give --numbers or --count, not both"},
        {"a number twice", kDesign, Make({"--numbers", "1 2 3 2", "--pick", "3", "--if", "2", "--match", "2"}),
         "--numbers: 2 is given twice"},
        {"no pick", kDesign, Make({"--count", "9", "--if", "2", "--match", "2"}),
         "--pick is missing: give the numbers of a play, such as --pick 6"},
        {"no if", kDesign, Make({"--count", "9", "--pick", "3", "--match", "2"}),
         "--if is missing: the guarantee is \"--match T if --if M\" of the numbers drawn, such as --match 3 --if 6"},
        {"a count that is no number", kDesign, Make({"--count", "nine", "--pick", "3", "--if", "2", "--match", "2"}),
         "--count \"nine\" is not a whole number from 1 to 128"},
        {"a match of 0", kDesign, Make({"--count", "9", "--pick", "3", "--if", "2", "--match", "0"}),
         "--match \"0\" is not a whole number from 1 to 128"},
        {"no time", kDesign, Make({"--count", "9", "--pick", "3", "--if", "2", "--match", "2", "--seconds", "0"}),
         "--seconds \"0\" is not a number of seconds above 0 and at most 86400"},
        {"a negative seed", kDesign, Make({"--count", "9", "--pick", "3", "--if", "2", "--match", "2", "--seed", "-1"}),
         "--seed \"-1\" is not a whole number from 0 to 4611686018427387904"},
        {"a count beyond the pool", kDesign,
         Make({"--count", "50", "--definition", "LO649", "--if", "6", "--match", "3"}),
         "--count \"50\" is not a whole number from 1 to 49 (the numbers of LO649)"},
        {"a number outside the pool", kDesign,
         Make({"--numbers", "1 2 3 4 5 6 50", "--definition", "LO649", "--if", "6", "--match", "3"}),
         "--numbers: 50 is not a number of LO649 (1 to 49)"},
        {"a pick not the definition's", kDesign,
         Make({"--count", "10", "--definition", "LO649", "--pick", "5", "--if", "3", "--match", "3"}),
         "--pick 5: LO649 plays hold 6 numbers"},
        {"the output over a definition", kDesign,
         Make({"--count", "7", "--pick", "3", "--if", "2", "--match", "2", "--out", "{home}/Defs/LO649.def"}),
         "{home}/Defs/LO649.def: lies in the program's Defs folder, which holds definitions and offsets; choose "
         "another folder"},
        {"an unknown option", kDesign,
         Make({"--count", "7", "--pick", "3", "--if", "2", "--match", "2", "--guarantee", "3"}),
         "unknown option \"--guarantee\" for wheel make"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Lab lab;
        lab.Put("design.txt", c.design);
        lab.Put("wheel/bad.txt", "1,2,3,4,5,6\r\n1,2,3,4,5,50\r\n");
        lab.Put("wheel/empty.txt", "# method: none\r\n\r\n");
        // A 7-number game of 90 numbers, and a wheel on 84 of them.
        lab.Put("Defs/LM790.def", kNinety);
        std::string w84;
        for (int first = 1; first < 84; first += 7)
            for (int n = first; n < first + 7; ++n)
                w84 += std::to_string(n) + (n == first + 6 ? "\r\n" : ",");
        lab.Put("wheel/w84.txt", w84);
        const Snapshot before = TakeSnapshot({lab.home(), lab.out()});
        const auto r = lab.Run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "brindlemark: " + lab.Expand(c.err) + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(before == TakeSnapshot({lab.home(), lab.out()})) << "a file was written, changed or removed";
    }
}

std::vector<std::vector<int>> ReadPlays(const std::string& text)
{
    std::vector<std::vector<int>> plays;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "lines end in CR LF";
        std::vector<int> play;
        std::istringstream numbers(line);
        for (std::string n; std::getline(numbers, n, ',');)
            play.push_back(std::stoi(n));
        plays.push_back(play);
    }
    return plays;
}

// Every m of the numbers meet some play in t or more: counted here the plain way, over every
// subset of the numbers (at most 14 of them here).
bool HoldsGuarantee(const std::vector<std::vector<int>>& plays, const std::vector<int>& numbers, int m, int t)
{
    const std::size_t v = numbers.size();
    for (unsigned drawn = 0; drawn < (1u << v); ++drawn) {
        if (std::popcount(drawn) != m)
            continue;
        bool met = false;
        for (const auto& play : plays) {
            int common = 0;
            for (std::size_t i = 0; i < v; ++i)
                common += (drawn >> i & 1u) && std::count(play.begin(), play.end(), numbers[i]) > 0;
            met = met || common >= t;
        }
        if (!met)
            return false;
    }
    return true;
}

TEST(WheelMake, BuildsTheSmallestKnownWheelsAndSaysHowTheyCompare)
{
    BM_NEEDS_PROGRAM();
    const struct {
        std::vector<std::string> args;
        std::vector<int> numbers;
        int m, t;
        std::size_t plays;
        std::string err;  // after the time
    } cases[] = {
        {{"--count", "7", "--pick", "3", "--if", "2", "--match", "2"},
         {1, 2, 3, 4, 5, 6, 7},
         2,
         2,
         7,
         "lower bound 7 (Schonheim); best published 7, proven smallest; projective plane of order 2"},
        {{"--numbers", "40, 9 17 5 1 33 2 12", "--pick", "4", "--if", "3", "--match", "3"},
         {40, 9, 17, 5, 1, 33, 2, 12},
         3,
         3,
         14,
         "lower bound 14 (Schonheim); best published 14, proven smallest; best published, from the library"},
        {{"--count", "6", "--pick", "3", "--if", "3", "--match", "2"},
         {1, 2, 3, 4, 5, 6},
         3,
         2,
         2,
         "lower bound 2 (Turan); no published size known"},
        {{"--count", "12", "--definition", "LO649", "--if", "5", "--match", "5"},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         5,
         5,
         132,
         "lower bound 132 (Schonheim); best published 132, proven smallest; best published, from the library"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        Lab lab;
        const auto r = lab.Run(Make(c.args));
        EXPECT_EQ(r.status, 0) << r.err;
        const auto plays = ReadPlays(r.out);
        EXPECT_EQ(plays.size(), c.plays);
        const std::set<int> given(c.numbers.begin(), c.numbers.end());
        for (const auto& play : plays) {
            EXPECT_TRUE(std::is_sorted(play.begin(), play.end()));
            for (const int n : play)
                EXPECT_TRUE(given.count(n)) << n << " is not one of the numbers given";
        }
        EXPECT_TRUE(HoldsGuarantee(plays, c.numbers, c.m, c.t));
        EXPECT_EQ(r.err.find(std::to_string(c.plays) + " plays, "), 0u) << r.err;
        EXPECT_NE(r.err.find(" s, " + c.err + "\n"), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    }
}

// The library's design itself, on the player's numbers, at once; the list of what the library holds.
TEST(WheelLibrary, MakeReturnsTheLibraryDesignAndTheListSaysWhatItHolds)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    const std::vector<int> numbers{45, 3, 11, 19, 27, 35, 43, 7, 12, 1, 2, 4, 5, 6, 8, 9, 10, 13, 14, 15};
    std::string given;
    for (const int n : numbers)
        given += std::to_string(n) + " ";
    const auto made =
        lab.Run(Make({"--numbers", given, "--definition", "LO649", "--if", "5", "--match", "5", "--seconds", "600"}));
    EXPECT_EQ(made.status, 0) << made.err;
    const auto design = bm::wheels::ReadDesign(std::string(WHEEL_LIBRARY_DIR) + "/v020_k6_t5.txt");
    ASSERT_TRUE(design);
    EXPECT_EQ(made.out, bm::wheels::PlaysText(*bm::wheels::ApplyDesign(*design, numbers)));
    EXPECT_TRUE(made.err.starts_with("2800 plays, ")) << made.err;
    EXPECT_TRUE(made.err.ends_with(" s, lower bound 2624 (Schonheim); best published 2800; best published, from "
                                   "the library\n"))
        << made.err;

    const auto listed = lab.Run({"wheel", "library"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    std::vector<std::string> lines;
    std::istringstream in(listed.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 55u);
    EXPECT_EQ(lines[0], "v,k,t,plays,status,credit");
    EXPECT_EQ(lines[1], "5,4,3,4,proven optimal,\"method: Method of Construction: lex covering\"");
    EXPECT_EQ(lines[9], "13,4,3,78,proven optimal,\"method: Created by: Adolf Muehl\"");
    EXPECT_EQ(lines[10], "14,4,3,91,best known,\"method: Method of Construction: steiner system, taken from hanani, "
                         "canadian j. math, 12 (1960) pg. 154\"");
    EXPECT_EQ(lines[36], "40,4,3,2470,best known,\"method: Created by: Colin Barker\"");
    EXPECT_EQ(lines[41], "11,6,5,100,best known,\"method: Method of Construction: nurmela-ostergard simulated "
                         "annealing covering design\"");
    EXPECT_EQ(lines[54], "24,6,5,7084,best known,\"method: Method of Construction: steiner system\"");
    EXPECT_EQ(listed.err, "54 designs from the La Jolla Covering Repository (D. Gordon, https://ljcr.dmgordon.org), "
                          "CC BY 4.0\n");

    const auto refused = lab.Run({"wheel", "library", "--all"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "brindlemark: unknown option \"--all\" for wheel library\n");
}

// Without the library (a program copied away from its share folder) the list says so, and
// `wheel make` searches as before.
TEST(WheelLibrary, WithoutTheLibraryTheListRefusesAndMakeSearches)
{
    Lab lab;
    const auto listed = RunInProcess(lab.home(), {"wheel", "library"});
    EXPECT_EQ(listed.status, 2);
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(listed.err, "brindlemark: the wheel library: the wheel library is not installed with this program\n");
    const auto made = RunInProcess(
        lab.home(), {"wheel", "make", "--count", "8", "--pick", "4", "--if", "3", "--match", "3", "--seconds", "600"});
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(made.err.starts_with("14 plays, ")) << made.err;
    EXPECT_TRUE(made.err.ends_with(" s, lower bound 14 (Schonheim); best published 14, proven smallest\n")) << made.err;
}

TEST(WheelMake, TheSameSeedAndRoundsGiveTheSameWheelIntoAFile)
{
    BM_NEEDS_PROGRAM();
    Lab lab;
    const std::vector<std::string> args{"--count", "11", "--pick", "6",  "--if",     "5",
                                        "--match", "5",  "--seed", "42", "--rounds", "6"};
    const auto first = lab.Run(Make(args));
    EXPECT_EQ(first.status, 0) << first.err;
    auto toFile = Make(args);
    toFile.insert(toFile.end(), {"--out", "{home}/wheel/made.txt"});
    lab.Put("wheel/made.txt", "an older wheel\r\n");
    const auto second = lab.Run(toFile);
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "");
    const std::string written = ReadBytes(lab.home() / "wheel" / "made.txt");
    EXPECT_EQ(written, first.out);
    EXPECT_TRUE(HoldsGuarantee(ReadPlays(written), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 5, 5));
}

// The final check proves the wheel by itself: a search result that misses its guarantee (a
// play lost, the wrong play kept) is never written, to a file or to stdout.
TEST(WheelMake, AWheelThatMissesItsGuaranteeIsNeverWritten)
{
    Lab lab;
    const struct {
        const char* what;
        std::function<void(bm::wheels::MadeWheel&)> spoil;
    } cases[] = {
        {"a play lost", [](bm::wheels::MadeWheel& r) { r.plays.pop_back(); }},
        {"a play changed", [](bm::wheels::MadeWheel& r) { r.plays.back() = r.plays.front(); }},
    };
    for (const auto& c : cases)
        for (bool toFile : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (toFile ? ", to a file" : ", to stdout"));
            bm::cli::WheelMakeResultHook() = c.spoil;
            std::vector<std::string> args = {"wheel", "make", "--count", "7",       "--pick",
                                             "3",     "--if", "2",       "--match", "2"};
            if (toFile)
                args.insert(args.end(), {"--out", (lab.out() / "w.txt").string()});
            const auto r = RunInProcess(lab.home(), args);
            bm::cli::WheelMakeResultHook() = nullptr;
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, "brindlemark: wheel make: the wheel built does not hold its guarantee (a fault of the "
                             "program); nothing written\n");
            EXPECT_EQ(r.out, "");
            EXPECT_FALSE(fs::exists(lab.out() / "w.txt"));
        }
}

// The most memory the program held (kB) running these arguments, its stdout thrown away; -1
// when it did not end with `status`. The child has its own HOME, XDG folders and locale.
long PeakMemoryKb(const Lab& lab, const std::vector<std::string>& args, int status = 0)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        const std::string home = lab.out().string();
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
        ::setenv("LC_ALL", "C", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<std::string> all = {BRINDLEMARK_EXE, "--home", lab.home().string()};
        for (const auto& a : args)
            all.push_back(lab.Expand(a));
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(BRINDLEMARK_EXE, argv.data());
        ::_exit(127);
    }
    int raw = 0;
    struct rusage usage {};
    if (::wait4(child, &raw, 0, &usage) != child || !WIFEXITED(raw) || WEXITSTATUS(raw) != status)
        return -1;
    return usage.ru_maxrss;
}

// Applying a design and analysing a wheel take memory bounded by what they must hold, not by
// the file's size: a design of a million plays is streamed, and a wheel's plays are held at a
// byte a number. (Read whole, these took some 30 and 90 bytes a play.)
TEST(WheelCommand, LargeDesignsAndWheelsTakeBoundedMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine, so the peak grows with every allocation
    // ever made: the bound is measured in the plain build.
    GTEST_SKIP() << "peak memory is not measured under AddressSanitizer";
#endif
    BM_NEEDS_PROGRAM();
    Lab lab;
    std::string small, large;
    for (int p = 0; p < 1'000'000; ++p) {
        const int a = p % 40 + 1;
        const std::string play = std::to_string(a) + "," + std::to_string(a + 1) + "," + std::to_string(a + 2) + "," +
                                 std::to_string(a + 3) + "," + std::to_string(a + 5) + "," + std::to_string(a + 9) +
                                 "\n";
        if (p < 50)
            small += play;
        large += play;
    }
    lab.Put("small.txt", small);
    lab.Put("large.txt", large);
    lab.Put("wheel/small.txt", small);
    lab.Put("wheel/large.txt", large);
    const std::string numbers = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 "
                                "31 32 33 34 35 36 37 38 39 40 41 42 43 44 45 46 47 48 49";
    const auto apply = [&](const char* design) {
        return PeakMemoryKb(lab, {"wheel", "apply", "--design", "{home}/" + std::string(design), "--numbers", numbers});
    };
    const auto applyOut = [&](const char* design) {
        return PeakMemoryKb(lab, {"wheel", "apply", "--design", "{home}/" + std::string(design), "--numbers", numbers,
                                  "--out", "{out}/applied.txt"});
    };
    const auto analyze = [&](const char* wheel) {
        return PeakMemoryKb(lab, {"wheel", "analyze", "--definition", "LO649", "--wheel", wheel});
    };
    const struct {
        const char* what;
        std::function<long(const char*)> run;
        long mostKb;  // above the same run on 50 plays
    } cases[] = {
        {"apply to stdout", apply, 24 * 1024},
        {"apply to a file", applyOut, 24 * 1024},
        {"analyze", analyze, 24 * 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const long base = c.run("small.txt");
        const long peak = c.run("large.txt");
        ASSERT_GT(base, 0);
        ASSERT_GT(peak, 0);
        EXPECT_LT(peak - base, c.mostKb) << "a million plays took " << (peak - base) << " kB more than 50";
    }
}

extern "C" void IgnoreStrayInterrupt(int) {}

// Ctrl+C at a given round of the search, never after a given time.
struct CtrlCAtRound {
    explicit CtrlCAtRound(std::int64_t round)
    {
        previous = std::signal(SIGINT, IgnoreStrayInterrupt);
        bm::cli::WheelMakeRoundHook() = [round](std::int64_t rounds) {
            if (rounds == round)
                std::raise(SIGINT);
        };
    }
    ~CtrlCAtRound()
    {
        bm::cli::WheelMakeRoundHook() = nullptr;
        std::signal(SIGINT, previous);
    }
    void (*previous)(int);
};

TEST(WheelMake, CtrlCWritesTheBestCheckedWheelSoFarOrNothing)
{
    Lab lab;
    {
        const CtrlCAtRound press(5);
        const auto r =
            RunInProcess(lab.home(), {"wheel", "make", "--count", "14", "--pick", "6", "--if", "5", "--match", "5",
                                      "--seconds", "600", "--out", (lab.home() / "wheel/w.txt").string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.find("interrupted; the best wheel so far: "), 0u) << r.err;
        const auto plays = ReadPlays(ReadBytes(lab.home() / "wheel" / "w.txt"));
        EXPECT_GT(plays.size(), 0u);
        EXPECT_NE(r.err.find(std::to_string(plays.size()) + " plays"), std::string::npos);
        EXPECT_TRUE(HoldsGuarantee(plays, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, 5, 5));
    }
    {
        // Before the first wheel is complete: nothing at all.
        const CtrlCAtRound press(1);
        const Snapshot before = TakeSnapshot({lab.home()});
        const auto r =
            RunInProcess(lab.home(), {"wheel", "make", "--count", "20", "--pick", "6", "--if", "5", "--match", "5",
                                      "--seconds", "600", "--out", (lab.home() / "wheel/none.txt").string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("interrupted before a first wheel was complete"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("nothing written"), std::string::npos);
        // and why: how far the first wheel had come.
        EXPECT_NE(r.err.find(" plays so far, "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(" of the 15504 sets of 5 numbers still uncovered"), std::string::npos) << r.err;
        EXPECT_TRUE(before == TakeSnapshot({lab.home()}));
    }
}

}  // namespace
