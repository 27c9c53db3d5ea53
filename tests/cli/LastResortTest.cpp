// An exception nobody caught ends the program with one line saying what happened and exit 1,
// never an abort with a core dump (exit 134), whichever thread it came from.
#include <new>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "cli/LastResort.h"

namespace {

TEST(LastResort, AnUncaughtExceptionEndsWithItsMessageAndExitOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bm::cli::InstallLastResortHandler();
            std::thread([] { throw std::bad_alloc(); }).join();
        },
        testing::ExitedWithCode(1),
        "^brindlemark: ran out of memory; the run was stopped and nothing more was written\n$");
    EXPECT_EXIT(
        {
            bm::cli::InstallLastResortHandler();
            std::thread([] { throw std::runtime_error("a table was larger than counted"); }).join();
        },
        testing::ExitedWithCode(1),
        "^brindlemark: stopped by a fault of the program \\(a table was larger than counted\\); nothing more was "
        "written\n$");
}

}  // namespace
