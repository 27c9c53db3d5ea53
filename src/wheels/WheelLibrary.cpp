#include "wheels/WheelLibrary.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "common/ShownText.h"
#include "wheels/CoveringBounds.h"

namespace bm::wheels {

namespace {

std::filesystem::path& Folder()
{
    static std::filesystem::path folder;
    return folder;
}

std::string FileName(int v, int k, int t)
{
    char name[40];
    std::snprintf(name, sizeof name, "v%03d_k%d_t%d.txt", v, k, t);
    return name;
}

// v, k and t from a name made by FileName, or nothing.
std::optional<LibraryEntry> FromName(const std::string& name)
{
    int v = 0, k = 0, t = 0, used = 0;
    if (std::sscanf(name.c_str(), "v%3d_k%d_t%d.txt%n", &v, &k, &t, &used) != 3 ||
        used != static_cast<int>(name.size()) || name != FileName(v, k, t))
        return std::nullopt;
    LibraryEntry e;
    e.v = v;
    e.k = k;
    e.t = t;
    return e;
}

// The design as its name says: plays of k numbers on exactly the labels 1..v.
Result<Design> ReadHeldToName(const std::filesystem::path& file, int v, int k, int t)
{
    auto design = ReadDesign(file);
    if (!design)
        return design.error();
    const std::string what = "a covering C(" + std::to_string(v) + "," + std::to_string(k) + "," + std::to_string(t) +
                             ") on the labels 1.." + std::to_string(v);
    if (design->playSize != k || design->zeroBased || design->highest != v)
        return Error{file.string() + ": is not " + what + " as its name says (plays of " +
                     std::to_string(design->playSize) + ", labels " + (design->zeroBased ? "0" : "1") + ".." +
                     std::to_string(design->highest) + ")"};
    return design;
}

}  // namespace

void SetLibraryFolder(const std::filesystem::path& folder)
{
    Folder() = folder;
}

const std::filesystem::path& LibraryFolder()
{
    return Folder();
}

Result<std::vector<LibraryEntry>> ListLibrary(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return Error{(folder.empty() ? std::string("the wheel library") : folder.string()) +
                     ": the wheel library is not installed with this program"};
    std::vector<LibraryEntry> entries;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        auto entry = FromName(it->path().filename().string());
        if (!entry)
            continue;  // a README or a note beside the designs
        const auto design = ReadHeldToName(it->path(), entry->v, entry->k, entry->t);
        if (!design)
            return design.error();
        entry->plays = design->plays.size();
        entry->credit = design->heading;
        entry->file = it->path();
        const auto record = PublishedRecord({entry->v, entry->k, entry->t, entry->t});
        entry->provenOptimal = record && record->provenOptimal && record->plays == entry->plays;
        entries.push_back(std::move(*entry));
    }
    if (ec)
        return Error{folder.string() + ": cannot be read (" + ec.message() + ")"};
    std::sort(entries.begin(), entries.end(), [](const LibraryEntry& a, const LibraryEntry& b) {
        return std::tie(a.k, a.t, a.v) < std::tie(b.k, b.t, b.v);
    });
    return entries;
}

Result<std::optional<Design>> LibraryDesign(const std::filesystem::path& folder, int v, int k, int t)
{
    if (folder.empty())
        return std::optional<Design>{};
    const std::filesystem::path file = folder / FileName(v, k, t);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return std::optional<Design>{};
    auto design = ReadHeldToName(file, v, k, t);
    if (!design)
        return design.error();
    return std::optional<Design>(std::move(*design));
}

}  // namespace bm::wheels
