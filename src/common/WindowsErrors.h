#pragma once

#ifdef _WIN32

namespace bm {

// The errno value closest to a Windows error code, so that messages read as on other systems.
int ErrnoOf(unsigned long code);

}  // namespace bm

#endif
