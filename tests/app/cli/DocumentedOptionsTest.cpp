// What the program's own --help lists is what the man page and the manual tell: every command
// answers COMMAND --help, and every option any of them lists is described in both documents.
// The options are read from the program, so an option added later is held to this too.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "app/cli/CatalogueSupport.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(SAMPLE_DIR).parent_path();

bool Lower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool WordChar(char c)
{
    return Lower(c) || (c >= '0' && c <= '9') || c == '-';
}

// "--name" words of a text, "--name=" and "--name," read as "--name". (Scanned by hand: GCC's
// std::regex trips its own uninitialised-use warning under the sanitizers.)
std::set<std::string> OptionsIn(const std::string& text)
{
    std::set<std::string> found;
    for (std::size_t i = text.find("--"); i != std::string::npos; i = text.find("--", i + 1)) {
        const bool starts = i == 0 || !(WordChar(text[i - 1]) || (text[i - 1] >= 'A' && text[i - 1] <= 'Z'));
        if (!starts || i + 2 >= text.size() || !Lower(text[i + 2]))
            continue;
        std::size_t end = i + 2;
        while (end < text.size() && WordChar(text[end]))
            ++end;
        found.insert(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

// The commands the usage names: the word after "[--home DIR]".
std::set<std::string> CommandsIn(const std::string& usage)
{
    std::set<std::string> found;
    const std::string home = "[--home DIR] ";
    for (std::size_t i = usage.find(home); i != std::string::npos; i = usage.find(home, i + 1)) {
        std::size_t end = i + home.size();
        if (end >= usage.size() || !Lower(usage[end]))
            continue;
        while (end < usage.size() && (Lower(usage[end]) || usage[end] == '-'))
            ++end;
        found.insert(usage.substr(i + home.size(), end - i - home.size()));
    }
    return found;
}

std::string Without(std::string text, const std::string& what, const std::string& by = "")
{
    for (std::size_t i = text.find(what); i != std::string::npos; i = text.find(what, i + by.size()))
        text.replace(i, what.size(), by);
    return text;
}

// The man page as a reader sees it: roff's escaped minus signs and font changes undone.
std::string ManPageText()
{
    std::string text = Without(bmtest::ReadBytes(kSource / "dist/linux/brindlemark.1"), "\\-", "-");
    for (const char* font : {"\\fB", "\\fI", "\\fR", "\\fP"})
        text = Without(text, font);
    return text;
}

std::string ManualText()
{
    const std::string html = bmtest::ReadBytes(kSource / "doc/manual/command-line.html");
    std::string text;
    bool inTag = false;
    for (const char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return text;
}

TEST(DocumentedOptions, EveryCommandHasItsHelpAndEveryOptionIsDocumented)
{
    if (std::string(BRINDLEMARK_EXE).empty())
        GTEST_SKIP() << "the program is not built";
    const auto whole = bmtest::RunProgram({"--help"});
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::set<std::string> commands = CommandsIn(whole.out);
    for (const char* known : {"print", "test-pattern", "check"})
        EXPECT_TRUE(commands.contains(known)) << known << " is missing from\n" << whole.out;

    std::map<std::string, std::string> listedBy;  // option: the help that lists it
    for (const std::string& o : OptionsIn(whole.out))
        listedBy[o] = "--help";
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const auto own = bmtest::RunProgram({command, "--help"});
        EXPECT_EQ(own.status, 0) << own.err;
        EXPECT_EQ(own.err, "");
        EXPECT_NE(own.out.find("] " + command + " "), std::string::npos) << own.out;
        // Only its own usage: no other command's line.
        for (const std::string& other : commands) {
            if (other != command) {
                EXPECT_EQ(own.out.find("] " + other + " "), std::string::npos) << own.out;
            }
        }
        for (const std::string& o : OptionsIn(own.out)) {
            listedBy.emplace(o, command + " --help");
            EXPECT_TRUE(OptionsIn(whole.out).contains(o)) << o << " is listed by " << command << " --help only";
        }
        // Anywhere among the command's words, as after an option's value.
        const auto late = bmtest::RunProgram({command, "--definition", "LO649", "--help"});
        EXPECT_EQ(late.status, 0) << late.err;
        EXPECT_EQ(late.out, own.out);
    }
    ASSERT_GE(listedBy.size(), 10u);

    const std::set<std::string> man = OptionsIn(ManPageText());
    const std::set<std::string> manual = OptionsIn(ManualText());
    for (const auto& [option, by] : listedBy) {
        EXPECT_TRUE(man.contains(option)) << option << " (listed by " << by << ") is missing from the man page";
        EXPECT_TRUE(manual.contains(option)) << option << " (listed by " << by << ") is missing from the manual";
    }
}

}  // namespace
