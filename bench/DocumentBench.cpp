// Document figures on the benchmark board (BenchBoard.h): write, read (parse + rebuild)
// and the clone behind every history step, each beside a plain copy of the
// same bytes as the floor. Then opening a small damaged document whose
// curves reach hundreds of kilometres, which must cost no more than a
// small ordinary one.
#include "BenchBoard.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

struct Board {
    vesk::TVeskDocument doc;
    QByteArray bytes;
    Board()
    {
        vesk::LoadBenchBoard(doc);
        bytes = doc.ToBytes();
    }
};

Board& board()
{
    static Board b;
    return b;
}

void setBytes(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * board().bytes.size());
    state.counters["MB"] = double(board().bytes.size()) / 1e6;
}

void BM_Document_MemcpyFloor(benchmark::State& state)
{
    const QByteArray& src = board().bytes;
    std::vector<char> dst(size_t(src.size()));
    for (auto _ : state) {
        std::memcpy(dst.data(), src.constData(), dst.size());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

void BM_Document_Write(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(board().doc.ToBytes());
    setBytes(state);
}

void BM_Document_Read(benchmark::State& state)
{
    for (auto _ : state) {
        vesk::TVeskDocument doc;
        doc.ReadBytes(board().bytes);
        benchmark::DoNotOptimize(doc.Root().ChildCount());
    }
    setBytes(state);
}

void BM_Document_CloneRoot(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(board().doc.Root().Clone());
    setBytes(state);
}

// Read from disk and every outline built, as the editor opens a file.
void BM_Document_OpenHugeCurve(benchmark::State& state)
{
    const QString file = QStringLiteral(VESK_TEST_DATA "/huge-curve.vbf");
    for (auto _ : state) {
        vesk::TVeskDocument doc;
        if (!doc.Read(file)) {
            state.SkipWithError("huge-curve.vbf not readable");
            return;
        }
        benchmark::DoNotOptimize(doc.Root().ChildCount());
    }
}

BENCHMARK(BM_Document_MemcpyFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_Write)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_Read)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_CloneRoot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_OpenHugeCurve)->Unit(benchmark::kMillisecond);

} // namespace
