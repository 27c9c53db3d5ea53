#include "cli/Interrupt.h"

#include <csignal>

namespace bm::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int)
{
    interrupted = 1;
}

}  // namespace

Interrupt::Interrupt()
{
    interrupted = 0;
    previous_ = std::signal(SIGINT, OnInterrupt);
}

Interrupt::~Interrupt()
{
    std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_);
}

bool Interrupt::Pressed()
{
    return interrupted != 0;
}

}  // namespace bm::cli
