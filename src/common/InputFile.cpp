#include "common/InputFile.h"

#include <cstring>

#include "common/ShownText.h"

namespace bm {

Result<std::shared_ptr<InputFile>> InputFile::Open(const std::filesystem::path& file)
{
    auto input = std::shared_ptr<InputFile>(new InputFile(file));
    int error = 0;
    if (!input->file_.Open(file, error))
        return Error{file.string() + ": cannot be opened (" + std::strerror(error) + ")"};
    if (!input->file_.Stamp(input->opened_))
        return Error{file.string() + ": cannot be opened (its state cannot be read)"};
    return input;
}

Status InputFile::CheckUnchanged() const
{
    FileStamp now, named;
    if (!file_.Stamp(now) || !(now == opened_) || !StampOf(path_, named) || !named.SameFile(opened_))
        return Error{ChangedWhileCheckedText(path_)};
    return Ok{};
}

Result<std::string> TextHead(const InputFile& input, const std::string& name, const std::string& kind,
                             const std::string& holds)
{
    // Told by the open file itself: the name may have been given to a FIFO since it was looked at.
    if (input.opened().folder)
        return Error{name + ": is a folder, not a " + kind};
    if (!input.opened().regular)
        return Error{name + ": is not a regular file (a FIFO, device or socket); save the " + holds + " in a file"};
    char head[4] = {};
    int error = 0;
    const std::ptrdiff_t got = input.ReadAt(0, head, sizeof head, error);
    if (got < 0)
        return Error{name + ": reading failed (" + std::strerror(error) + ")"};
    // Text saved as UTF-16 or UTF-32 would otherwise show up as a puzzling fault on line 1.
    if (const char* wide = WideTextKind({head, static_cast<std::size_t>(got)}))
        return Error{name + ": is " + wide + " text; save it as plain text (ANSI or UTF-8)"};
    return std::string(head, static_cast<std::size_t>(got));
}

std::string ChangedWhileCheckedText(const std::filesystem::path& file)
{
    return file.string() + " changed while it was being checked";
}

Status InputsUnchanged(std::initializer_list<const InputFile*> inputs)
{
    for (const InputFile* input : inputs)
        if (input)
            if (Status same = input->CheckUnchanged(); !same)
                return same;
    return Ok{};
}

}  // namespace bm
