// The design-rule check of the whole benchmark board (both copper layers
// side by side), with the findings it makes as a counter. Run with
// --benchmark_filter=Drc --benchmark_repetitions=5 for medians.
#include "BenchBoard.h"
#include "drc/Designrulecheck.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vesk;

void BM_Drc_Board(benchmark::State& state)
{
    TVeskDocument doc;
    LoadBenchBoard(doc);
    size_t findings = 0;
    for (auto _ : state) {
        const TDrcResult r = CheckDesignRules(doc.Root(), doc.Layers(), {});
        findings = r.findings.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["findings"] = double(findings);
}
BENCHMARK(BM_Drc_Board)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
