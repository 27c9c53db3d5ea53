#pragma once

#include <string>
#include <vector>

namespace bm {

// What a program does first, the same on every system.

// The program's arguments after its own name, as UTF-8. On Windows they are read from the wide
// command line, so a file name with any letters arrives whole whatever the console's code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// An environment variable's value as UTF-8; empty when it is not set.
std::string EnvironmentText(const char* name);

// Standard output and error carry the bytes written, as on Linux: a "\n" stays one byte (the
// reports' lines end in LF wherever they are read), and a Windows console shows UTF-8 text
// (its own code page is given back when the program ends).
void UseExactStandardStreams();

}  // namespace bm
