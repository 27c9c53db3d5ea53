#include <algorithm>
#include <atomic>
#include <thread>

#include "checking/CheckEngine.h"

namespace bm {

namespace {

// Below this a file is read in one piece: threads would cost more than they save.
constexpr std::uintmax_t kMinPartBytes = 1 << 20;

// Where the pieces of the file start before each is moved to a line start: each piece a share of
// what is left, so that the last ones are small and the workers finish together, but none more
// than an eighth of the file for a worker, so that one slowed down by another program on its
// processor leaves more of the file to the others.
std::vector<std::uintmax_t> PieceTargets(std::uintmax_t size, int workers)
{
    const auto w = static_cast<std::uintmax_t>(workers);
    const std::uintmax_t most = std::max(size / (w * 8), kMinPartBytes);
    std::vector<std::uintmax_t> targets;
    for (std::uintmax_t at = 0; at < size; at += std::clamp((size - at) / (w * 2), kMinPartBytes, most))
        targets.push_back(at);
    return targets;
}

// Byte offsets where the parts start: 0, then just past the first line feed at or after each
// target. Fewer parts when a stretch holds no line feed.
std::vector<std::uintmax_t> PartStarts(const InputFile& file, std::uintmax_t size,
                                       const std::vector<std::uintmax_t>& targets)
{
    std::vector<std::uintmax_t> starts{0};
    std::vector<char> block(64 * 1024);
    for (std::size_t k = 1; k < targets.size(); ++k) {
        const std::uintmax_t from = targets[k];
        if (from <= starts.back())
            continue;
        int error = 0;
        const std::ptrdiff_t got = file.ReadAt(from, block.data(), block.size(), error);
        for (std::ptrdiff_t i = 0; i < got; ++i) {
            if (block[static_cast<std::size_t>(i)] == '\n') {
                if (from + static_cast<std::uintmax_t>(i) + 1 < size)
                    starts.push_back(from + static_cast<std::uintmax_t>(i) + 1);
                break;
            }
        }
    }
    return starts;
}

struct Part {
    std::uintmax_t from = 0, to = 0;
    CheckRun run;
    std::int64_t lines = 0;
    bool failed = false;
};

// `buffer`: the worker's reading memory, kept from part to part.
void CheckPart(const DrawMatcher& matcher, const std::shared_ptr<const InputFile>& wheel, Part& part,
               CheckProgress* progress, int pollEvery, std::vector<char>& buffer)
{
    // The quick reading takes the lines to the end of the buffer: one of 128 KB stays in the cache.
    auto reader = WheelReader::OpenPart(wheel, matcher.game().numbersPerPlay, NumberWidth::Bits32, part.from, part.to,
                                        matcher.HasQuickPath() ? std::size_t{128} * 1024 : WheelReader::kDefaultChunk,
                                        std::move(buffer));
    if (!reader) {
        part.failed = true;
        return;
    }
    part.failed = !CheckPlays(**reader, matcher, part.run, progress, pollEvery).ok();
    part.lines = (*reader)->lines();
    buffer = (*reader)->ReleaseBuffer();
}

}  // namespace

Status RunCheckInParts(const CheckGame& game, int pool, const DrawResult& draw, const std::filesystem::path& wheel,
                       Clock& clock, CheckRun& run, int workers, CheckProgress* progress, int pollEvery)
{
    if (const Status plain = CheckWheelIsFile(wheel); !plain)
        return plain;
    auto input = InputFile::Open(wheel);
    if (!input)
        return input.error();
    return RunCheckInParts(game, pool, draw, *input, clock, run, workers, progress, pollEvery);
}

Status RunCheckInParts(const CheckGame& game, int pool, const DrawResult& draw,
                       const std::shared_ptr<const InputFile>& wheel, Clock& clock, CheckRun& run, int workers,
                       CheckProgress* progress, int pollEvery)
{
    const std::uintmax_t size = wheel->opened().regular ? wheel->opened().size : 0;
    if (workers < 2 || size < kMinPartBytes * 2)
        return RunCheck(game, pool, draw, wheel, clock, run, progress, pollEvery);

    const std::int64_t start = clock.NowMs();
    const auto starts = PartStarts(*wheel, size, PieceTargets(size, workers));
    std::vector<Part> shares(starts.size());
    std::atomic<std::int64_t> allowance{run.keepAtMost};
    for (std::size_t k = 0; k < starts.size(); ++k) {
        shares[k].from = starts[k];
        shares[k].to = k + 1 < starts.size() ? starts[k + 1] : size;
        shares[k].run.sharedAllowance = &allowance;
    }
    // A file that grows while it is read keeps its growth in the last part.
    shares.back().to = UINTMAX_MAX;
    const DrawMatcher matcher(game, draw, pool);
    std::atomic<std::size_t> nextPiece{0};
    std::atomic<bool> stop{false};  // a fault or the user's stop: no more pieces are begun
    const auto work = [&] {
        std::vector<char> buffer;
        for (std::size_t k; !stop && (k = nextPiece++) < shares.size();) {
            CheckPart(matcher, wheel, shares[k], progress, pollEvery, buffer);
            if (shares[k].failed || shares[k].run.aborted)
                stop = true;
        }
    };
    {
        std::vector<std::jthread> others;
        for (int k = 1; k < workers && static_cast<std::size_t>(k) < shares.size(); ++k)
            others.emplace_back(work);
        work();
    }
    for (const auto& part : shares) {
        if (part.failed) {
            // Line numbers of a later part count from its own start: read the whole file again
            // for the message a user can follow.
            const std::int64_t keep = run.keepAtMost;
            run = CheckRun{};
            run.keepAtMost = keep;
            return RunCheck(game, pool, draw, wheel, clock, run, progress, pollEvery);
        }
    }
    std::size_t reported = 0;
    for (const auto& part : shares)
        reported += part.run.reported.size();
    run.reported.reserve(reported);
    std::int64_t lineOffset = 0;
    for (auto& part : shares) {
        for (std::size_t i = 0; i < game.tiers.size(); ++i)
            run.tally.count[i] += part.run.tally.count[i];
        run.playsRead += part.run.playsRead;
        run.aborted = run.aborted || part.run.aborted;
        run.reportDropped = run.reportDropped || part.run.reportDropped;
        if (!run.reportDropped)
            for (const auto& p : part.run.reported)
                run.reported.push_back({p.tier, p.line + lineOffset});
        lineOffset += part.lines;
    }
    if (run.reportDropped)
        std::vector<ReportedPlay>().swap(run.reported);
    run.elapsedMs = clock.NowMs() - start;
    if (!run.aborted)
        return wheel->CheckUnchanged();
    return Ok{};
}

}  // namespace bm
