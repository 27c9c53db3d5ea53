#include "checking/SummaryFile.h"

#include "common/AtomicFile.h"

namespace bm {

std::string WithCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;  // the "\n" that follows writes the pair
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

Status EnsureSummaryFolder(const ProgramFolder& folder)
{
    const auto dir = folder.summary();
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec))
        return Ok{};
    if (std::filesystem::exists(dir, ec))
        return Error{dir.string() + ": is a file, so the Summary folder cannot be made there"};
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return Error{dir.string() + ": the Summary folder cannot be made (" + ec.message() + ")"};
    return Ok{};
}

Status WriteSummaryFile(const std::filesystem::path& file, std::string_view reportText)
{
    std::error_code ec;
    const auto parent = file.parent_path();
    if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
        if (std::filesystem::exists(parent, ec))
            return Error{file.string() + ": cannot be written, " + parent.string() + " is a file, not a folder"};
        return Error{file.string() + ": cannot be written, its folder " + parent.string() + " does not exist"};
    }
    if (std::filesystem::is_directory(file, ec))
        return Error{file.string() + ": is a folder, not a file name for the summary"};
    return WriteFileAtomically(file, WithCrLf(reportText));
}

}  // namespace bm
