#include "common/InputFile.h"

#include <cstring>

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
