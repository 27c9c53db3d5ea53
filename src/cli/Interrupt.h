#pragma once

#include "common/EscapeKey.h"

namespace bm::cli {

// Escape for a job run from a terminal: Ctrl+C (SIGINT) ends the job at its next poll, so the
// document is abandoned cleanly instead of the process dying with a half-written file.
// The previous handler is restored when this goes out of scope.
class Interrupt : public EscapeKey {
public:
    Interrupt();
    ~Interrupt() override;
    Interrupt(const Interrupt&) = delete;
    Interrupt& operator=(const Interrupt&) = delete;

    bool Pressed() override;

private:
    void (*previous_)(int);
};

}  // namespace bm::cli
