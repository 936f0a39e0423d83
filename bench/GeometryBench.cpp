// Track geometry throughput: the work done per track when a board is drawn
// or checked. Counters report nanoseconds per track.
#include "geometry/GraphicsPath.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using vesk::GraphicsPath;
using vesk::PointF;

constexpr int kTrackCount = 10000;
constexpr float kFlatness = 0.25f;

// Curved tracks of two to five anchors on a 300 mm board, each leg 2–40 mm
// long with control points up to a third of the leg off the straight line.
const std::vector<GraphicsPath>& tracks()
{
    static const std::vector<GraphicsPath> all = [] {
        std::mt19937 rng(20240611);
        std::uniform_real_distribution<float> pos(0, 3000), len(20, 400), unit(-1, 1);
        std::uniform_int_distribution<int> anchors(2, 5);
        std::vector<GraphicsPath> out;
        out.reserve(kTrackCount);
        for (int i = 0; i < kTrackCount; ++i) {
            std::vector<PointF> pts { { pos(rng), pos(rng) } };
            const int n = anchors(rng);
            for (int a = 1; a < n; ++a) {
                const PointF from = pts.back();
                const float l = len(rng);
                const PointF to { from.X + l * unit(rng), from.Y + l * unit(rng) };
                const float bend = l / 3;
                pts.push_back(from + (to - from) * (1.0f / 3) + PointF(bend * unit(rng), bend * unit(rng)));
                pts.push_back(from + (to - from) * (2.0f / 3) + PointF(bend * unit(rng), bend * unit(rng)));
                pts.push_back(to);
            }
            GraphicsPath p;
            p.AddBeziers(pts);
            out.push_back(std::move(p));
        }
        return out;
    }();
    return all;
}

vesk::Pen trackPen()
{
    vesk::Pen pen;
    pen.width = 7.5f;
    pen.startCap = pen.endCap = vesk::LineCap::Round;
    pen.lineJoin = vesk::LineJoin::Round;
    return pen;
}

void setPerTrack(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kTrackCount);
    state.counters["ns_per_track"] = benchmark::Counter(1e-9 * double(state.iterations()) * kTrackCount,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

template <class Work> void runOverTracks(benchmark::State& state, Work&& work)
{
    const auto& all = tracks();
    for (auto _ : state) {
        for (const GraphicsPath& track : all) {
            GraphicsPath p = track;
            work(p);
            benchmark::DoNotOptimize(p.Points().data());
        }
    }
    setPerTrack(state);
}

void BM_FlattenAndWiden(benchmark::State& state)
{
    const vesk::Pen pen = trackPen();
    runOverTracks(state, [&](GraphicsPath& p) {
        p.Flatten(kFlatness);
        p.Widen(pen, kFlatness);
    });
}
BENCHMARK(BM_FlattenAndWiden)->Unit(benchmark::kMillisecond);

void BM_Flatten(benchmark::State& state)
{
    runOverTracks(state, [](GraphicsPath& p) { p.Flatten(kFlatness); });
}
BENCHMARK(BM_Flatten)->Unit(benchmark::kMillisecond);

// Widening flattens the curves itself.
void BM_WidenCurves(benchmark::State& state)
{
    const vesk::Pen pen = trackPen();
    runOverTracks(state, [&](GraphicsPath& p) { p.Widen(pen, kFlatness); });
}
BENCHMARK(BM_WidenCurves)->Unit(benchmark::kMillisecond);

// Union outline of one widened track, as clearance checks need it.
void BM_WidenedOutline(benchmark::State& state)
{
    const vesk::Pen pen = trackPen();
    runOverTracks(state, [&](GraphicsPath& p) {
        p.Widen(pen, kFlatness);
        p.WindingModeOutline(kFlatness);
    });
}
BENCHMARK(BM_WidenedOutline)->Unit(benchmark::kMillisecond);

} // namespace
