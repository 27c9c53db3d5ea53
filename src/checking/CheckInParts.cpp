#include <atomic>
#include <fstream>
#include <thread>

#include "checking/CheckEngine.h"

namespace bm {

namespace {

// Below this a file is read in one piece: threads would cost more than they save.
constexpr std::uintmax_t kMinPartBytes = 1 << 20;
// Each worker's share comes in several pieces taken one at a time, so that a worker slowed down
// by another program on its processor leaves more of the file to the others.
constexpr int kPiecesPerWorker = 8;

// Byte offsets where the parts start: 0, then just past the first line feed at or after each
// even share of the file. Fewer parts when a share holds no line feed.
std::vector<std::uintmax_t> PartStarts(const std::filesystem::path& file, std::uintmax_t size, int parts)
{
    std::vector<std::uintmax_t> starts{0};
    std::ifstream in(file, std::ios::binary);
    std::vector<char> block(64 * 1024);
    for (int k = 1; k < parts && in; ++k) {
        const std::uintmax_t from = size / static_cast<std::uintmax_t>(parts) * static_cast<std::uintmax_t>(k);
        if (from <= starts.back())
            continue;
        in.seekg(static_cast<std::streamoff>(from));
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        in.clear();
        for (std::size_t i = 0; i < got; ++i) {
            if (block[i] == '\n') {
                if (from + i + 1 < size)
                    starts.push_back(from + i + 1);
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

void CheckPart(const DrawMatcher& matcher, const std::filesystem::path& wheel, Part& part, CheckProgress* progress,
               int pollEvery)
{
    auto reader = WheelReader::OpenPart(wheel, matcher.game().numbersPerPlay, NumberWidth::Bits32, part.from, part.to);
    if (!reader) {
        part.failed = true;
        return;
    }
    part.failed = !CheckPlays(**reader, matcher, part.run, progress, pollEvery).ok();
    part.lines = (*reader)->lines();
}

}  // namespace

Status RunCheckInParts(const CheckGame& game, int pool, const DrawResult& draw, const std::filesystem::path& wheel,
                       Clock& clock, CheckRun& run, int workers, CheckProgress* progress, int pollEvery)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::is_regular_file(wheel, ec) ? std::filesystem::file_size(wheel, ec) : 0;
    if (ec || workers < 2 || size < kMinPartBytes * 2)
        return RunCheck(game, pool, draw, wheel, clock, run, progress, pollEvery);

    const std::int64_t start = clock.NowMs();
    const int pieces = static_cast<int>(
        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(workers) * kPiecesPerWorker, size / kMinPartBytes));
    const auto starts = PartStarts(wheel, size, pieces);
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
        for (std::size_t k; !stop && (k = nextPiece++) < shares.size();) {
            CheckPart(matcher, wheel, shares[k], progress, pollEvery);
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
    return Ok{};
}

}  // namespace bm
