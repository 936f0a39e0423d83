// Gerber export figures, each beside gerbv loading and rendering the very
// files we wrote, timed in the same iteration: the counters "gerbv_ms" (gerbv
// alone) and "ratio" (our export time / gerbv's). Run with
// --benchmark_filter=Gerber --benchmark_repetitions=5 for medians.
#include "BenchBoard.h"
#include "BoardGenerator.h"
#include "gerber/Gerberexport.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace vesk;

int objectsOn(TVeskDocument& doc, int layer)
{
    std::vector<TVeskObject*> objects;
    doc.Root().CollectByLayer(objects, layer);
    return int(objects.size());
}

// Seconds gerbv takes to load the files and render them together to a PNG;
// negative when gerbv is missing or fails.
double gerbvSeconds(const TGerberExportResult& written, const QString& png)
{
    static const QString gerbv = QStandardPaths::findExecutable(QStringLiteral("gerbv"));
    if (gerbv.isEmpty())
        return -1;
    QStringList args { QStringLiteral("-x"), QStringLiteral("png"), QStringLiteral("-D"),
        QStringLiteral("100"), QStringLiteral("-o"), png };
    for (const TGerberLayerResult& layer : written.layers)
        args << layer.fileName;
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(gerbv, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

using Export = TGerberExportResult (*)(
    const TVeskObject&, const TVeskLayerList&, const std::vector<int>&, const QString&);

// Times `exportFiles` as the iteration time and gerbv on its output as counters.
void exportBesideGerbv(
    benchmark::State& state, TVeskDocument& doc, const std::vector<int>& layers, Export exportFiles)
{
    QTemporaryDir dir;
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const TGerberExportResult r = exportFiles(doc.Root(), doc.Layers(), layers, dir.path());
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        if (!r.AllWritten()) {
            state.SkipWithError("export failed");
            return;
        }
        const double gerbv = gerbvSeconds(r, dir.filePath(QStringLiteral("render.png")));
        if (gerbv < 0) {
            state.SkipWithError("gerbv is missing or failed on our files");
            return;
        }
        ours += seconds;
        theirs += gerbv;
    }
    state.counters["gerbv_ms"] = benchmark::Counter(theirs * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
}

void BM_Gerber_Board100k(benchmark::State& state)
{
    static TVeskDocument doc;
    static const bool made = (LoadBenchBoard(doc), true);
    (void)made;
    const std::vector<int> layers = LayersHoldingObjects(doc.Root(), doc.Layers());
    exportBesideGerbv(state, doc, layers, ExportGerberFiles);
    state.counters["layers"] = double(layers.size());
}

// About 10,000 shapes on one layer: tracks, pads and mask openings of a
// generated board.
void BM_Gerber_Outline10k(benchmark::State& state)
{
    static TVeskDocument doc;
    static int layer = -1;
    if (layer < 0) {
        GenerateBoard(doc, 40000);
        layer = doc.Layers().FindLayer(QStringLiteral("solder"))->index;
    }
    exportBesideGerbv(state, doc, { layer }, ExportOutlineFiles);
    state.counters["objects"] = objectsOn(doc, layer);
}

BENCHMARK(BM_Gerber_Board100k)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_Gerber_Outline10k)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

} // namespace
