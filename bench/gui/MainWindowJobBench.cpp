// How the main window behaves during a long print job, on the offscreen platform:
//  - PrintThroughWindow: the whole job clicked in the window (events let through every 20 ms,
//    Escape watched) against PrintJobAlone, the same job run directly;
//  - counters paint_gap_max_ms / paints_per_s: how often the slip label was painted;
//  - EscapeLatency: from an Escape key press queued in the middle of the job to the job's end.
// The targets: at least 10 paints a second (a gap of at most 100 ms) and an Escape latency
// under 100 ms.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "PaintTimes.h"
#include "app/PrintTarget.h"
#include "app/frmMain.h"
#include "printing/PrintJob.h"
#include "windowing/window/Dialogs.h"
#include "windowing/window/WindowCatalogue.h"

namespace {

using Clock = bmbench::Steady;
using bmbench::Ms;

// Marks are counted, not kept: the window's cost is what is measured.
class CountingSurface : public bm::PrintSurface {
public:
    long long marks = 0;
    void UseMillimetres() override {}
    void SetOrientation(bm::Orientation) override {}
    void FillBox(float, float, float, float) override { ++marks; }
    void NextPage() override {}
    bm::Status EndDocument() override { return bm::Ok{}; }
    void AbandonDocument() override {}
};

class CountingTarget : public bm::app::PrintTarget {
public:
    bool HasPrinter() override { return true; }
    bm::Result<std::unique_ptr<bm::PrintSurface>> PrinterSurface() override
    {
        return std::unique_ptr<bm::PrintSurface>(std::make_unique<CountingSurface>());
    }
    std::unique_ptr<bm::PrintSurface> PdfSurface(const std::filesystem::path&) override { return nullptr; }
    void SetupPrinter(QWidget*) override {}
    std::string ChosenPrinter() const override { return {}; }
    void UsePrinter(const std::string&) override {}
};

class WheelDialogs : public bm::app::Dialogs {
public:
    QString wheel;
    // Yes to "Print them all?", which every job of more than 100 slips asks.
    bm::app::Answer Message(QWidget*, const QString&, const QString&, bm::app::Icon, bm::app::Buttons buttons) override
    {
        return buttons == bm::app::Buttons::Ok ? bm::app::Answer::Ok : bm::app::Answer::Yes;
    }
    QString OpenFile(QWidget*, const QString&, const QString&, const QString&) override { return wheel; }
    QString SaveFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override { return {}; }
};

// A program folder with the sample 6/49 definition and a wheel of `plays` plays.
struct Folder {
    QTemporaryDir dir;
    std::filesystem::path home{dir.path().toStdString()};

    explicit Folder(int plays)
    {
        for (const char* d : {"Defs", "Settings", "wheel"})
            std::filesystem::create_directories(home / d);
        std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "Defs" / "LO649.def",
                                   home / "Defs" / "LO649.def");
        std::ofstream out(home / "wheel" / "plays.txt", std::ios::binary);
        std::mt19937 random(649);
        for (int p = 0; p < plays; ++p) {
            std::vector<int> numbers(49);
            std::iota(numbers.begin(), numbers.end(), 1);
            std::shuffle(numbers.begin(), numbers.end(), random);
            for (int k = 0; k < 6; ++k)
                out << numbers[k] << (k < 5 ? "," : "\r\n");
        }
    }
    QString wheel() const { return QString::fromStdString((home / "wheel" / "plays.txt").string()); }
};

struct Window {
    CountingTarget printer;
    bm::app::WindowCatalogue windows;
    WheelDialogs dialogs;
    std::unique_ptr<bm::app::frmMain> main;

    explicit Window(const Folder& f)
    {
        dialogs.wheel = f.wheel();
        bm::app::SetDialogs(&dialogs);
        main = std::make_unique<bm::app::frmMain>(
            bm::app::frmMain::Services{bm::ProgramFolder(f.home), &printer, &windows});
        main->show();
        QApplication::processEvents();
    }
    ~Window() { bm::app::SetDialogs(nullptr); }
    void Print() { main->findChild<QPushButton*>(QStringLiteral("Command1"))->click(); }
    QString End() const { return main->findChild<QLabel*>(QStringLiteral("Label2"))->text(); }
};

void PrintThroughWindow(benchmark::State& state)
{
    Folder folder(static_cast<int>(state.range(0)));
    Window w(folder);
    double worstGap = 0, paintsPerSecond = 0;
    for (auto _ : state) {
        bmbench::PaintTimes paints(w.main->findChild<QLabel*>(QStringLiteral("lblF")));
        const auto start = Clock::now();
        w.Print();
        const auto end = Clock::now();
        Clock::time_point last = start;
        for (const auto& t : paints.at) {
            worstGap = std::max(worstGap, Ms(t - last));
            last = t;
        }
        paintsPerSecond = paints.at.size() / (Ms(end - start) / 1000);
    }
    if (w.End() != QStringLiteral("Processing Complete"))
        state.SkipWithError("the job did not complete");
    state.counters["paint_gap_max_ms"] = worstGap;
    state.counters["paints_per_s"] = paintsPerSecond;
}

void PrintJobAlone(benchmark::State& state)
{
    Folder folder(static_cast<int>(state.range(0)));
    bm::PrintJobRequest request;
    request.definitionFile = folder.home / "Defs" / "LO649.def";
    for (auto _ : state) {
        CountingSurface surface;
        bm::UnwatchedJob status;
        bm::UnwatchedJob& escape = status;
        const auto outcome = bm::RunPrintJob(request, surface, status, escape,
                                             [&] { return std::filesystem::path(folder.wheel().toStdString()); });
        benchmark::DoNotOptimize(surface.marks);
        if (outcome.end != bm::JobEnd::Completed)
            state.SkipWithError("the job did not complete");
    }
}

void EscapeLatency(benchmark::State& state)
{
    Folder folder(200'000);
    Window w(folder);
    double worst = 0, total = 0;
    int runs = 0;
    for (auto _ : state) {
        Clock::time_point pressed;
        // The timer runs when the job next lets events through; the press it queues waits
        // for the one after, as a key of the window system would.
        QTimer::singleShot(150 + 37 * (runs % 7), [&] {
            pressed = Clock::now();
            QCoreApplication::postEvent(w.main.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        w.Print();
        const double ms = Ms(Clock::now() - pressed);
        if (!w.End().startsWith(QStringLiteral("Print Job Aborted At Slip")))
            state.SkipWithError("Escape did not stop the job");
        worst = std::max(worst, ms);
        total += ms;
        ++runs;
    }
    state.counters["latency_max_ms"] = worst;
    state.counters["latency_mean_ms"] = total / runs;
}

BENCHMARK(PrintThroughWindow)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PrintJobAlone)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(EscapeLatency)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
