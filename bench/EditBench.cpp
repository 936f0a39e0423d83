// Editing figures on the benchmark board (BenchBoard.h), through the edit
// transaction as a tool uses it: a move of one selected object committed as
// a history step, an undo of it, and what thirty steps cost in time and
// memory. The history keeps 30 states, as the editor's does.
#include "BenchBoard.h"
#include "BoardGenerator.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <vector>

namespace {

using namespace vesk;

constexpr int kDepth = 30;
constexpr int kSteps = 30;

// Heap bytes in use: glibc's mallinfo2() summed over its arenas, blocks
// handed out from the arenas (uordblks) plus large blocks in mappings of
// their own (hblkhd). Free memory the allocator keeps does not count, so the
// difference across an operation is what the operation left allocated.
double heapInUse()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd);
}

// The board with a fresh history and one top-level object selected from
// its middle, a group when there is one (a footprint, the usual thing to
// move); `moved` is null on an empty board.
struct MoveSetup {
    TVeskDocument doc;
    TVeskHistory history; // after the document: its states go first
    TVeskEdit edit { doc, history };
    TVeskObject* moved = nullptr;
    float dx = 10;

    MoveSetup()
    {
        LoadBenchBoard(doc);
        // As in the editor, whose first frame builds the index.
        doc.Root().Index();
        edit.Reset(kDepth);
        const auto& children = doc.Root().Children();
        for (size_t i = children.size() / 2; i < children.size() && !moved; ++i)
            if (dynamic_cast<TVeskGroup*>(children[i].get()))
                moved = children[i].get();
        if (!moved && !children.empty())
            moved = children[children.size() / 2].get();
        if (moved)
            moved->SetSelected(true);
    }

    // Moves the selection as a tool does, through the root in one step,
    // and brings the spatial index up to date; successive calls move back
    // and forth.
    void MoveAndRecord()
    {
        edit.Begin(QStringLiteral("move"));
        doc.Root().Translate(dx, 0, MatrixOrder::Append);
        edit.Commit();
        doc.Root().Index();
        dx = -dx;
    }
};

void BM_Edit_CommitMove(benchmark::State& state)
{
    MoveSetup s;
    if (!s.moved) {
        state.SkipWithError("the board is empty");
        return;
    }
    for (auto _ : state)
        s.MoveAndRecord();
    state.counters["moved_objects"] = CountObjects(*s.moved);
}

// Undo puts the recorded copies of what the step changed in place; the time
// includes freeing what they replace and bringing the spatial index up to
// date. Redo between the iterations, untimed, makes the next undo possible.
void BM_Edit_UndoInstall(benchmark::State& state)
{
    MoveSetup s;
    if (!s.moved) {
        state.SkipWithError("the board is empty");
        return;
    }
    s.MoveAndRecord();
    for (auto _ : state) {
        if (!s.edit.Undo()) {
            state.SkipWithError("nothing to undo");
            return;
        }
        s.doc.Root().Index(); // brought up to date, as the next frame does
        state.PauseTiming();
        s.edit.Redo();
        s.doc.Root().Index();
        state.ResumeTiming();
    }
}

// Top-level objects from `first` on, in child order, until they hold a
// hundredth of all objects.
std::vector<TVeskObject*> hundredthFrom(TVeskPart& root, size_t first, int total)
{
    const auto& children = root.Children();
    std::vector<TVeskObject*> picked;
    int held = 0;
    for (size_t i = first; held * 100 < total && i < children.size(); ++i) {
        picked.push_back(children[i].get());
        held += CountObjects(*children[i]);
    }
    return picked;
}

// Each step moves a different hundredth of the objects. Counters: the
// memory of the document as read, what the history and the edits added,
// and `ratio` = (document + history) / document. Each iteration starts from
// a freshly read document, untimed.
void BM_Edit_History30(benchmark::State& state)
{
    double documentBytes = 0, historyBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto history = std::make_unique<TVeskHistory>();
        auto doc = std::make_unique<TVeskDocument>();
        auto edit = std::make_unique<TVeskEdit>(*doc, *history);
        const double beforeRead = heapInUse();
        LoadBenchBoard(*doc);
        const double beforeHistory = heapInUse();
        TVeskPart& root = doc->Root();
        const int total = CountObjects(root) - 1;
        std::vector<std::vector<TVeskObject*>> steps;
        for (int k = 0; k < kSteps; ++k)
            steps.push_back(hundredthFrom(root, size_t(k) * size_t(root.ChildCount()) / kSteps, total));
        const double stepLists = heapInUse() - beforeHistory;
        state.ResumeTiming();

        edit->Reset(kDepth);
        for (const std::vector<TVeskObject*>& step : steps) {
            edit->Begin(QStringLiteral("move"));
            for (TVeskObject* object : step)
                object->SetSelected(true);
            root.Translate(10, 0, MatrixOrder::Append);
            for (TVeskObject* object : step)
                object->SetSelected(false);
            edit->Commit();
        }

        state.PauseTiming();
        documentBytes = beforeHistory - beforeRead;
        historyBytes = heapInUse() - beforeHistory - stepLists;
        edit.reset();
        history.reset(); // the old document's states go before its layers
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["document_MB"] = documentBytes / 1e6;
    state.counters["history_MB"] = historyBytes / 1e6;
    state.counters["ratio"] = documentBytes > 0 ? (documentBytes + historyBytes) / documentBytes : 0;
}

BENCHMARK(BM_Edit_CommitMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edit_UndoInstall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edit_History30)->Unit(benchmark::kMillisecond);

} // namespace
