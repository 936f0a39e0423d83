// The merged outline of one copper layer (the outline export's work): the
// grouped union against the cluster-growing scan, on the same generated
// layer in the same run. The scan's time for a layer size is kept and the
// union's benchmark of that size reports the ratio.
#include "BoardGenerator.h"
#include "geometry/GraphicsPath.h"
#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Mergedoutline.h"
#include "shapes/Veskpart.h"

#include <benchmark/benchmark.h>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace vesk;

// The first `layerObjects` objects on the layer "solder" of a generated
// board, about a quarter of its objects; a board that falls short (a large
// footprint took the place of many tracks) gives way to one twice its size.
struct LayerBoard {
    TVeskDocument doc;
    int layer = 0;
    std::vector<const TVeskObject*> objects;

    explicit LayerBoard(int layerObjects)
    {
        std::vector<TVeskObject*> found;
        for (int total = layerObjects * 5 + 10; found.size() < size_t(layerObjects); total *= 2) {
            doc.Reset();
            GenerateBoard(doc, total);
            layer = doc.Layers().FindLayer(QStringLiteral("solder"))->index;
            found.clear();
            doc.Root().CollectByLayer(found, layer);
        }
        found.resize(size_t(layerObjects));
        objects.assign(found.begin(), found.end());
    }
};

LayerBoard& board(int layerObjects)
{
    static std::map<int, std::unique_ptr<LayerBoard>> boards;
    auto& b = boards[layerObjects];
    if (!b)
        b = std::make_unique<LayerBoard>(layerObjects);
    return *b;
}

// Processor seconds per run of the scan, by layer size: the machine may be
// shared, and the ratio should not depend on what else runs.
std::map<int, double>& scanSeconds()
{
    static std::map<int, double> seconds;
    return seconds;
}

void report(benchmark::State& state, const GraphicsPath& result, const LayerBoard& b)
{
    state.counters["objects"] = double(b.objects.size());
    state.counters["points"] = double(result.GetPointCount());
}

void BM_MergedOutline_Scan(benchmark::State& state)
{
    LayerBoard& b = board(int(state.range(0)));
    GraphicsPath result;
    double total = 0;
    for (auto _ : state) {
        result.Reset();
        const std::clock_t start = std::clock();
        MergeOutlinesByScan(b.objects, b.layer, result);
        total += double(std::clock() - start) / CLOCKS_PER_SEC;
    }
    scanSeconds()[int(state.range(0))] = total / double(state.iterations());
    report(state, result, b);
}

void BM_MergedOutline_Grouped(benchmark::State& state)
{
    LayerBoard& b = board(int(state.range(0)));
    GraphicsPath result;
    double total = 0;
    for (auto _ : state) {
        result.Reset();
        const std::clock_t start = std::clock();
        MergeOutlines(b.objects, b.layer, result);
        total += double(std::clock() - start) / CLOCKS_PER_SEC;
    }
    report(state, result, b);
    const auto scan = scanSeconds().find(int(state.range(0)));
    if (scan != scanSeconds().end())
        state.counters["scan_ratio"] = scan->second / (total / double(state.iterations()));
}

// Each area alone, without any union: the floor under both.
void BM_MergedOutline_AreasOnly(benchmark::State& state)
{
    LayerBoard& b = board(int(state.range(0)));
    GraphicsPath area(FillMode::Winding);
    for (auto _ : state) {
        for (const TVeskObject* o : b.objects) {
            area.Reset();
            o->AddOutline(area, b.layer);
        }
        benchmark::DoNotOptimize(area);
    }
    state.counters["objects"] = double(b.objects.size());
}

// The scan runs first so that the grouped union of the same size can report
// the ratio. Its time grows faster than the square of the layer's objects:
// every object it adds is tested against the whole cluster's outline, and
// once the clusters join up a scan of 1,000 objects takes longer than half an
// hour, so it is measured on smaller layers of the same board generator.
BENCHMARK(BM_MergedOutline_Scan)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(1);
BENCHMARK(BM_MergedOutline_AreasOnly)
    ->Arg(400)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_MergedOutline_Grouped)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
