#pragma once

namespace bm::cli {

// Installs the handler of last resort: an exception nobody caught (memory run out, a fault of the
// program) ends the process with one line on stderr saying what happened and exit status 1,
// never with an abort and a core dump.
void InstallLastResortHandler();

}  // namespace bm::cli
