// The cost of pointer movement over the console, handled by the core: a
// movement that changes nothing, and one that lights a button, beside a
// baseline of the bare dispatch (one hit test and one handler call) in the
// same run.
#include <benchmark/benchmark.h>

#include "app/application.h"
#include "fakes/fake_platform.h"
#include "fakes/recording_peer.h"

namespace {

using orvan::testing::FakePlatform;
using orvan::testing::RecordingWindows;

// Counts repaint requests and nothing else.
class CountingPeer : public orvan::testing::RecordingPeer {
public:
    long repaints = 0;
    void Invalidate(const orvan::ui::Rect&) override { ++repaints; }
};

struct Console {
    FakePlatform sys;
    RecordingWindows windows;
    CountingPeer peer;
    orvan::app::Application app{sys, windows};
    Console() {
        app.Console().Attach(&peer);
        app.Start();
        app.Console().tmrAnimate_Timer();
        peer.repaints = 0;  // the slide's own repaints are not the hover's
    }
};

void NothingChanges(benchmark::State& state) {
    Console c;
    int x = 600;
    for (auto _ : state) {
        c.app.Console().PointerMove(0, 0, x, 590);  // the bare background, every button idle
        x = x == 600 ? 601 : 600;
    }
    state.counters["repaints"] = static_cast<double>(c.peer.repaints);
}

void ButtonChanges(benchmark::State& state) {
    Console c;
    auto& console = c.app.Console();
    const int y1 = console.Windows.Bounds().top + 5;
    const int y2 = console.User.Bounds().top + 5;
    bool first = true;
    for (auto _ : state) {
        console.PointerMove(0, 0, 50, first ? y1 : y2);  // light one, clear the other
        first = !first;
    }
    state.counters["repaints/move"] =
        benchmark::Counter(static_cast<double>(c.peer.repaints), benchmark::Counter::kAvgIterations);
}

void BaselineDispatch(benchmark::State& state) {
    Console c;
    auto& console = c.app.Console();
    long calls = 0;
    std::function<void()> handler = [&calls] { ++calls; };
    for (auto _ : state) {
        benchmark::DoNotOptimize(console.HitTest(600, 590));
        handler();
    }
    benchmark::DoNotOptimize(calls);
}

}  // namespace

BENCHMARK(BaselineDispatch)->Iterations(10000)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(NothingChanges)->Iterations(10000)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ButtonChanges)->Iterations(10000)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
