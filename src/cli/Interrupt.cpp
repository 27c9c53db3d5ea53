#include "cli/Interrupt.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <csignal>

namespace bm::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

#ifdef _WIN32
// Set while a job runs; signalled once it has ended and cleaned up after itself.
HANDLE g_jobEnded = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    interrupted = 1;
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
        return TRUE;  // the job stops at its next poll
    // The console is closing (or the user logs off): the system ends the process when this
    // returns, so the job gets the few seconds it is given to abandon its output first.
    if (g_jobEnded)
        WaitForSingleObject(g_jobEnded, 4000);
    ExitProcess(1);
}
#else
extern "C" void OnInterrupt(int)
{
    interrupted = 1;
}
#endif

}  // namespace

#ifdef _WIN32
Interrupt::Interrupt() : previous_(nullptr)
{
    interrupted = 0;
    g_jobEnded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

Interrupt::~Interrupt()
{
    if (g_jobEnded)
        SetEvent(g_jobEnded);
    // Once the job is over, Ctrl+C ends the program as it always does.
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}
#else
Interrupt::Interrupt()
{
    interrupted = 0;
    previous_ = std::signal(SIGINT, OnInterrupt);
}

Interrupt::~Interrupt()
{
    std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_);
}
#endif

bool Interrupt::Pressed()
{
    return interrupted != 0;
}

}  // namespace bm::cli
