#include "printing/PlayWindow.h"

namespace bm {

Result<std::unique_ptr<PlayWindow>> PlayWindow::Open(const std::filesystem::path& file, int numbersPerPlay, int kept,
                                                     std::int64_t plays, PlayFault fault)
{
    auto reader = WheelReader::Open(file, numbersPerPlay, NumberWidth::Bits16);
    if (!reader)
        return reader.error();
    return std::unique_ptr<PlayWindow>(new PlayWindow(std::move(*reader), file, kept, plays, std::move(fault)));
}

PlayWindow::PlayWindow(std::unique_ptr<WheelReader> reader, std::filesystem::path file, int kept, std::int64_t plays,
                       PlayFault fault)
    : reader_(std::move(reader)), file_(std::move(file)), kept_(kept), plays_(plays), fault_(std::move(fault))
{
}

PlayWindow::Numbers PlayWindow::Get(std::int64_t index)
{
    if (index < first_ || index > plays_ || error_)
        return {};
    while (first_ + static_cast<std::int64_t>(held_.size()) <= index) {
        Play play;
        if (!reader_->Next(play)) {
            error_ = reader_->error() ? *reader_->error()
                                      : Error{file_.string() + ": changed while it was being printed; it now holds " +
                                              std::to_string(first_ + static_cast<std::int64_t>(held_.size()) - 1) +
                                              " plays instead of " + std::to_string(plays_)};
            return {};
        }
        if (const auto why = fault_ ? fault_(play) : std::nullopt) {
            error_ = Error{file_.string() + ": line " + std::to_string(play.line) + ": " + *why};
            return {};
        }
        held_.push_back(play.numbers);
    }
    const auto& numbers = held_[static_cast<std::size_t>(index - first_)];
    return {numbers.data(), numbers.data() + kept_};
}

void PlayWindow::Release(std::int64_t index)
{
    while (first_ < index && !held_.empty()) {
        held_.pop_front();
        ++first_;
    }
}

Status PlayWindow::CheckEnd()
{
    if (!error_) {
        Play play;
        if (reader_->Next(play))
            error_ = Error{file_.string() + ": changed while it was being printed; it now holds more than " +
                           std::to_string(plays_) + " plays"};
        else if (reader_->error())
            error_ = *reader_->error();
    }
    if (error_)
        return *error_;
    return Ok{};
}

}  // namespace bm
