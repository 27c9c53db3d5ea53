#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "definitions/DefinitionFile.h"
#include "printing/PrintJob.h"
#include "printing/RecordingSurface.h"
#include "support/TempDir.h"

namespace bmtest {

// What the job showed, as the main window's labels would hold it.
class FakeStatus final : public bm::JobStatus {
public:
    void SetSummary(const std::string& text) override
    {
        summary = text;
        if (onSummary)
            onSummary();
    }
    void ShowCounters(bool shown) override { countersShown = shown; }
    void SetSlip(long long s) override { slip = s; }
    void SetEndMessage(const std::string& text, bool shown) override
    {
        endMessage = text;
        endShown = shown;
    }
    void SetBusy(bool b) override
    {
        busy = b;
        everBusy = everBusy || b;
    }

    std::string summary = "(untouched)", endMessage = "(untouched)";
    bool countersShown = false, endShown = true, busy = false, everBusy = false;
    long long slip = 0;
    std::function<void()> onSummary;  // between counting the wheel file and reading it
};

// A recording that is also the job's Escape key: Escape turns true at its `atPoll`th poll and
// stays so (never when 0). It counts the polls, and the boxes filled once Escape was seen.
struct WatchedSurface final : bm::RecordingSurface, bm::EscapeKey {
    long long atPoll = 0, polls = 0;
    int fillsAfterEscape = 0;
    bool Pressed() override
    {
        ++polls;
        return Seen();
    }
    bool Seen() const { return atPoll > 0 && polls >= atPoll; }
    void FillBox(float x1, float y1, float x2, float y2) override
    {
        fillsAfterEscape += Seen();
        RecordingSurface::FillBox(x1, y1, x2, y2);
    }
};

// A horizontal 6/49 slip: `mainPanels` main panels of 5 across, 7 x 7 boxes, numbers along the rows.
inline bm::SlipDefinition Horizontal649(int mainPanels = 2)
{
    return {.Pool = 49,
            .Pick = 6,
            .TotalPanels = mainPanels * 5,
            .SlipWidth = 190,
            .SlipHeight = 82,
            .TopToFirstRow = 12,
            .MainPanels = mainPanels,
            .RowsInPanel = 7,
            .PanelsAcross = 5,
            .LeftIndent = 15,
            .ColumnsInPanel = 7,
            .BoxWidth = 3,
            .BoxHeight = 2,
            .HorizontalPanelGap = 35,
            .VerticalRowGap = 4.2f,
            .VerticalPanelGap = 45,
            .HorizontalBoxShift = 4.5f,
            .RowFirstNumber = {1, 8, 15, 22, 29, 36, 43},
            .bBon = true,
            .Horizontal = true};
}

// The same slip upright: `mainPanels` main panels of one panel each, down the sheet.
inline bm::SlipDefinition Vertical649(int mainPanels)
{
    auto d = Horizontal649(mainPanels);
    d.Horizontal = false;
    d.PanelsAcross = 1;
    d.TotalPanels = mainPanels;
    return d;
}

// Writes the definition into `folder` as the editor would and returns its path.
inline std::filesystem::path WriteDefinition(const std::filesystem::path& folder, const std::string& name,
                                             const bm::SlipDefinition& d)
{
    const auto path = folder / (name + ".def");
    WriteBytes(path, bm::DefinitionFileText(bm::EntriesFromDefinition(name, d)));
    return path;
}

// The request the main window makes for a definition: its flags, offsets as typed.
inline bm::PrintJobRequest RequestFor(const std::filesystem::path& file, const bm::SlipDefinition& d,
                                      bool testMode = false, std::string top = "0", std::string left = "0")
{
    bm::PrintJobRequest request;
    request.definitionFile = file;
    request.Horizontal = d.Horizontal;
    request.bPB = d.bPB;
    request.testMode = testMode;
    request.offsets = {std::move(top), std::move(left)};
    return request;
}

// The job on `surface` with nobody watching: no status shown, Escape never pressed, and the
// wheel file `wheel` when it asks for one (none: cancelled, as a test pattern never asks).
inline bm::JobOutcome RunUnwatched(const bm::PrintJobRequest& request, bm::PrintSurface& surface,
                                   const std::filesystem::path& wheel = {})
{
    bm::UnwatchedJob unseen;
    return bm::RunPrintJob(request, surface, unseen, unseen, [&] { return wheel; });
}

// `count` plays of `perPlay` numbers; play i (1-based) holds i, i+7, ... wrapped into 1..49.
inline std::string Wheel(int count, int perPlay = 6)
{
    std::string out;
    for (int i = 1; i <= count; ++i) {
        for (int k = 0; k < perPlay; ++k)
            out += (k ? "," : "") + std::to_string((i - 1 + k * 7) % 49 + 1);
        out += "\r\n";
    }
    return out;
}

// One job on a recording surface, with everything it showed.
struct Run {
    bm::JobOutcome outcome;
    WatchedSurface surface;
    FakeStatus status;
    bool asked = false;
};

struct JobSetup {
    bm::SlipDefinition def = Horizontal649();
    std::string wheel = Wheel(12), top = "0", left = "0", printerRefusal = {}, slips = {};
    long long escapeAtPoll = 0;
    bool cancel = false, testMode = false, noDefinition = false;
    std::optional<std::string> wheelOnceCounted = {};  // what another program writes into it then
    std::string marks = {};                            // the marks file beside the definition, when not empty
};

// Runs the job the setup describes on a recording surface, in a folder of its own.
inline std::unique_ptr<Run> RunJob(const JobSetup& s)
{
    TempDir dir;
    const auto defFile = WriteDefinition(dir.path(), "HZ649", s.def);
    if (!s.marks.empty())
        WriteBytes(dir / "HZ649.marks", s.marks);
    WriteBytes(dir / "w.txt", s.wheel);
    auto run = std::make_unique<Run>();
    run->status.countersShown = s.testMode;  // a test pattern hides the counters of the last job
    if (s.wheelOnceCounted)
        run->status.onSummary = [&] { WriteBytes(dir / "w.txt", *s.wheelOnceCounted); };
    if (!s.printerRefusal.empty())
        run->surface.RefuseDocument(s.printerRefusal);
    run->surface.atPoll = s.escapeAtPoll;
    auto request = RequestFor(s.noDefinition ? "" : defFile, s.def, s.testMode, s.top, s.left);
    request.slips = s.slips;
    run->outcome = bm::RunPrintJob(request, run->surface, run->status, run->surface, [&] {
        run->asked = true;
        return s.cancel ? std::filesystem::path() : dir / "w.txt";
    });
    return run;
}

}  // namespace bmtest
