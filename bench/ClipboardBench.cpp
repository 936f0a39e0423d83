// Cut, copy and paste figures on the benchmark board (BenchBoard.h): 10,000
// selected top-level objects (footprints whole) copied as their document
// records, and those records pasted back as a history step, as the editor's
// clipboard commands do (the system clipboard itself is left out).
#include "BenchBoard.h"
#include "BoardGenerator.h"
#include "io/Objectrecords.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace vesk;

constexpr int kSelected = 10000;

struct ClipboardSetup {
    TVeskDocument doc;
    TVeskHistory history;
    TVeskEdit edit { doc, history };
    int objects = 0;

    ClipboardSetup()
    {
        LoadBenchBoard(doc);
        doc.Root().Index();
        edit.Reset(30);
        TVeskPart& root = doc.Root();
        const int n = root.ChildCount();
        const int step = std::max(1, n / kSelected);
        for (int i = 0, chosen = 0; i < n && chosen < kSelected; i += step, ++chosen) {
            root.ChildAt(i)->SetSelected(true);
            objects += CountObjects(*root.ChildAt(i));
        }
    }
};

ClipboardSetup& setup()
{
    static ClipboardSetup s;
    return s;
}

QByteArray copySelection(TVeskPart& root)
{
    std::vector<TVeskObject*> list;
    root.CollectSelected(list, -1);
    return WriteObjectRecords(list);
}

// Arg 0: copy. Arg 1: paste, then the pasted objects are taken out again
// untimed.
void BM_Clipboard_CopyPaste10k(benchmark::State& state)
{
    ClipboardSetup& s = setup();
    TVeskPart& root = s.doc.Root();
    const bool paste = state.range(0) == 1;
    const QByteArray records = copySelection(root);
    std::vector<bool> selected;
    for (const auto& child : root.Children())
        selected.push_back(child->IsSelected());
    for (auto _ : state) {
        if (!paste) {
            benchmark::DoNotOptimize(copySelection(root).size());
            continue;
        }
        s.edit.Begin(QStringLiteral("paste"));
        auto objects = ReadObjectRecords(records, s.doc.Layers());
        root.SetSelected(false);
        for (auto& object : objects)
            root.Adopt(std::move(object))->SetSelected(true);
        s.edit.Commit();
        root.Index();
        state.PauseTiming();
        s.edit.Begin(QStringLiteral("remove"));
        std::vector<TVeskObject*> pasted;
        for (int i = int(selected.size()); i < root.ChildCount(); ++i)
            pasted.push_back(root.ChildAt(i));
        root.RemoveChildren(pasted);
        for (size_t i = 0; i < selected.size(); ++i)
            root.ChildAt(int(i))->SetSelected(selected[i]);
        s.edit.Commit();
        state.ResumeTiming();
    }
    state.SetLabel(paste ? "paste" : "copy");
    state.counters["objects"] = s.objects;
    state.counters["MB"] = double(records.size()) / 1e6;
}

BENCHMARK(BM_Clipboard_CopyPaste10k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
