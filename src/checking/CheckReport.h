#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "checking/CheckEngine.h"
#include "checking/NumberPatterns.h"

namespace bm {

// The checker's fixed texts.
inline constexpr const char* kReadingWheelText = "Reading Wheel File...";
inline constexpr const char* kProcessingText = "Processing File.... ESC Key Will Abort";
inline constexpr const char* kMustLoadText = "You MUST load a file in order to continue.";
inline constexpr const char* kInterruptTitle = "User Interrupt Request";

// Texts end their lines in "\n"; the summary file turns them into CR LF.

// "This file contains 1,234 picks. Click RUN to continue."
std::string LoadedText(std::int64_t plays, const NumberSeparators& separators);

// "Draw: 3 11 19 27 35 43 Bonus 7": the main numbers in box order, then the bonus or powerball
// when the game is checked with one.
std::string DrawLine(const CheckGame& game, const DrawResult& draw);

// The five header lines: lottery, ticket file name (without folder), the draw, play count, empty
// line.
std::string ReportHeader(std::string_view lottery, std::string_view ticketFileName, const CheckGame& game,
                         const DrawResult& draw, std::int64_t plays, const NumberSeparators& separators);

// Expected count per tier (tier order) for a 6-from-49 game: total plays times the tier's
// single-precision probability, computed in double and kept in single precision. Nothing for
// other games and pools.
std::optional<std::array<float, kMaxTiers>> ExpectedFigures(const CheckGame& game, int pool, std::int64_t plays);

// The summary after a completed run: tier lines, totals, empty lines as the game lays them out.
std::string SummaryText(const CheckGame& game, const Tally& tally, int pool, const NumberSeparators& separators);

// The report box after a completed run: header and report lines, an empty line, the summary.
std::string CompletedReport(std::string_view report, std::string_view summary);

// "Processing Completed In 12.300 Seconds", "... 1m 1.250s", "... 1h 2m 5.500s".
std::string CompletionTimeText(double seconds, const NumberSeparators& separators);

// "Operation Aborted By User At Line 41 After 2.500 Seconds": the line is one less than the plays
// read, which include the play during which the user asked to stop.
std::string AbortText(std::int64_t playsRead, double seconds, const NumberSeparators& separators);

// The question when the user presses Escape during a run.
std::string InterruptQuestion(std::int64_t playsRead);

// A count label's text for a tier after a run ends, and during a run for tiers updated live.
std::string CountText(const Tier& tier, std::int64_t count, const NumberSeparators& separators);
std::optional<std::string> LiveCountText(const Tier& tier, std::int64_t count, const NumberSeparators& separators);

}  // namespace bm
