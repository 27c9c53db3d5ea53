#include "plays/PlayWindow.h"

#include <algorithm>

namespace bm {

namespace {

constexpr std::size_t kMaxSeekPoints = 4096;

}  // namespace

void PlaySeekIndex::Add(const SeekPoint& point)
{
    points_.push_back(point);
    if (points_.size() >= kMaxSeekPoints) {
        // Keeps plays 1, 1 + 2 stride, 1 + 4 stride ...
        std::size_t kept = 0;
        for (std::size_t i = 0; i < points_.size(); i += 2)
            points_[kept++] = points_[i];
        points_.resize(kept);
        stride_ *= 2;
    }
    nextNoted_ = points_.back().play + stride_;
}

SeekPoint PlaySeekIndex::Before(std::int64_t play) const
{
    const auto after = std::upper_bound(points_.begin(), points_.end(), play,
                                        [](std::int64_t p, const SeekPoint& point) { return p < point.play; });
    return after == points_.begin() ? SeekPoint{} : *(after - 1);
}

Result<std::unique_ptr<PlayWindow>> PlayWindow::Open(const std::filesystem::path& file, int numbersPerPlay, int kept,
                                                     std::int64_t plays, PlayFault fault, const SeekPoint& from)
{
    auto reader = WheelReader::OpenAt(file, numbersPerPlay, NumberWidth::Bits16, from.offset, from.linesBefore);
    if (!reader)
        return reader.error();
    auto window = std::unique_ptr<PlayWindow>(
        new PlayWindow(std::move(*reader), file, numbersPerPlay, kept, plays, std::move(fault)));
    window->first_ = from.play;
    return window;
}

PlayWindow::PlayWindow(std::unique_ptr<WheelReader> reader, std::filesystem::path file, int numbersPerPlay, int kept,
                       std::int64_t plays, PlayFault fault)
    : reader_(std::move(reader)),
      file_(std::move(file)),
      numbersPerPlay_(numbersPerPlay),
      kept_(kept),
      plays_(plays),
      fault_(std::move(fault))
{}

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
    return {numbers.data(), numbers.data() + kept_, numbers.data() + numbersPerPlay_};
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
