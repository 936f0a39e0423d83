// Autosave on the benchmark board (BenchBoard.h): the time the editor's
// thread spends to start one (freezing the recorded state and handing it to
// the worker), and the whole write the worker then does, beside a plain
// save of the same document for comparison.
#include "BenchBoard.h"
#include "io/Veskautosave.h"
#include "io/Veskdocument.h"
#include "io/Vesksnapshot.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Board {
    vesk::TVeskDocument doc;
    vesk::TVeskHistory history;
    vesk::TVeskEdit edit { doc, history };
    QTemporaryDir dir;
    Board()
    {
        vesk::LoadBenchBoard(doc);
        edit.Reset(30);
    }
    // One step, as a gesture ends: the first child changed.
    void step()
    {
        edit.Begin(QStringLiteral("名前"));
        vesk::TVeskObject& first = *doc.Root().Children().front();
        edit.Modify(first);
        first.SetName(QString::number(++steps));
        edit.Commit();
    }
    int steps = 0;
};

Board& board()
{
    static Board b;
    return b;
}

void BM_Autosave_UiThread(benchmark::State& state)
{
    Board& b = board();
    vesk::TVeskAutosave autosave(b.edit, b.dir.filePath(QStringLiteral("data")));
    autosave.SetDocumentPath(b.dir.filePath(QStringLiteral("board.vbf")));
    for (auto _ : state) {
        state.PauseTiming();
        b.step();
        state.ResumeTiming();
        if (!autosave.Start())
            state.SkipWithError("no autosave started");
        state.PauseTiming();
        autosave.Wait();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_Autosave_Write(benchmark::State& state)
{
    Board& b = board();
    b.step();
    const auto snapshot = vesk::TVeskSnapshot::Take(b.edit);
    const QString path = b.dir.filePath(QStringLiteral(".board.vbf.autosave"));
    for (auto _ : state)
        if (!snapshot->Write(path))
            state.SkipWithError("autosave not written");
}

// The same document saved from the live objects, as Ctrl+S does.
void BM_Autosave_SaveForComparison(benchmark::State& state)
{
    Board& b = board();
    const QString path = b.dir.filePath(QStringLiteral("board.vbf"));
    for (auto _ : state)
        if (!b.doc.Write(path))
            state.SkipWithError("document not written");
}

BENCHMARK(BM_Autosave_UiThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Autosave_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Autosave_SaveForComparison)->Unit(benchmark::kMillisecond);

} // namespace
