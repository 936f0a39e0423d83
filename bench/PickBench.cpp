// Picking figures on the benchmark board (BenchBoard.h): one click's
// SelectAt on the root, at the spot where the most objects crowd together.
#include "BenchBoard.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace vesk;

constexpr int kCells = 128; // per side of the board's bounds

int hitsAt(const TVeskPart& root, PointF p)
{
    int hits = 0;
    for (const auto& child : root.Children())
        hits += child->HitTest(p) ? 1 : 0;
    return hits;
}

// The densest cell is the one overlapped by the most top-level objects'
// bounds; of nine points spread over it, the one that hits the most objects.
PointF denseSpot(const TVeskPart& root)
{
    std::vector<RectF> bounds;
    for (const auto& child : root.Children()) {
        RectF r;
        child->GetBounds(r);
        bounds.push_back(r);
    }
    RectF all = bounds.empty() ? RectF() : bounds.front();
    for (const RectF& r : bounds)
        all = RectF::Union(all, r);
    const float cw = std::max(all.Width, 1.0f) / kCells, ch = std::max(all.Height, 1.0f) / kCells;
    const auto cell = [](float v, float origin, float size) {
        return std::clamp(int((v - origin) / size), 0, kCells - 1);
    };
    std::vector<int> count(size_t(kCells * kCells));
    for (const RectF& r : bounds)
        for (int y = cell(r.GetTop(), all.Y, ch); y <= cell(r.GetBottom(), all.Y, ch); ++y)
            for (int x = cell(r.GetLeft(), all.X, cw); x <= cell(r.GetRight(), all.X, cw); ++x)
                ++count[size_t(y * kCells + x)];
    const int densest = int(std::max_element(count.begin(), count.end()) - count.begin());
    const PointF corner { all.X + float(densest % kCells) * cw, all.Y + float(densest / kCells) * ch };
    PointF best = corner;
    int bestHits = -1;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const PointF p { corner.X + cw * (float(i) + 0.5f) / 3, corner.Y + ch * (float(j) + 0.5f) / 3 };
            const int hits = hitsAt(root, p);
            if (hits > bestHits) {
                best = p;
                bestHits = hits;
            }
        }
    return best;
}

// Counter `selected`: top-level objects the click selects.
void BM_Pick_SelectAt(benchmark::State& state)
{
    TVeskDocument doc;
    LoadBenchBoard(doc);
    TVeskPart& root = doc.Root();
    const PointF p = denseSpot(root);
    for (auto _ : state)
        benchmark::DoNotOptimize(root.SelectAt(p));
    state.counters["selected"] = double(std::count_if(
        root.Children().begin(), root.Children().end(), [](const auto& c) { return c->IsSelected(); }));
}

BENCHMARK(BM_Pick_SelectAt)->Unit(benchmark::kMicrosecond);

} // namespace
