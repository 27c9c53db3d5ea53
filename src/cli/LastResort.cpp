#include "cli/LastResort.h"

#include <cstring>
#include <exception>
#include <new>

#include <unistd.h>

namespace bm::cli {

namespace {

// Written without allocating: memory may be what ran out.
void Say(const char* text)
{
    for (std::size_t left = std::strlen(text); left > 0;) {
        const ssize_t n = ::write(STDERR_FILENO, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

[[noreturn]] void EndWithMessage()
{
    const char* what = nullptr;
    bool memory = false;
    if (const std::exception_ptr error = std::current_exception()) {
        try {
            std::rethrow_exception(error);
        } catch (const std::bad_alloc&) {
            memory = true;
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
            what = "an exception of unknown kind";
        }
    }
    if (memory) {
        Say("brindlemark: ran out of memory; the run was stopped and nothing more was written\n");
    } else {
        Say("brindlemark: stopped by a fault of the program (");
        Say(what ? what : "ended without an exception");
        Say("); nothing more was written\n");
    }
    ::_exit(1);
}

}  // namespace

void InstallLastResortHandler()
{
    std::set_terminate(EndWithMessage);
}

}  // namespace bm::cli
