#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "wheels/WheelDesign.h"

namespace bm::wheels {

// The wheel library installed with the program: best-known covering designs C(v,k,t) from the La
// Jolla Covering Repository, one file a design named vNNN_kK_tT.txt, labels 1..v, read by the
// same rules as any design file.
inline constexpr const char* kLibraryCredit =
    "the La Jolla Covering Repository (D. Gordon, https://ljcr.dmgordon.org), CC BY 4.0";

// Where the program's library lies from the folder of its executable, installed or in the build.
inline const std::filesystem::path kInstalledLibrary = "../share/brindlemark/wheels/library";

// The library folder this process reads, set once at start-up; empty (the default) is no library.
void SetLibraryFolder(const std::filesystem::path& folder);
const std::filesystem::path& LibraryFolder();

struct LibraryEntry {
    int v = 0;
    int k = 0;
    int t = 0;
    std::size_t plays = 0;
    bool provenOptimal = false;  // the published tables say no smaller covering exists
    std::string credit;          // the file's "method: ..." line
    std::filesystem::path file;
};

// Every design of the library, by k then v, each read and held to its name (plays of k on the
// labels 1..v). An error names the folder or the file and what is wrong with it.
Result<std::vector<LibraryEntry>> ListLibrary(const std::filesystem::path& folder);

// The library's C(v,k,t), read and held to its name; nothing when the library has none.
Result<std::optional<Design>> LibraryDesign(const std::filesystem::path& folder, int v, int k, int t);

}  // namespace bm::wheels
