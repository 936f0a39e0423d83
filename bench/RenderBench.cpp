// Drawing-view figures on the benchmark board (BenchBoard.h) in a 1920 x 1080
// view: the full document image at fit zoom and at 1 pixel per 0.1 mm, where
// most objects lie outside the view (each on one pool thread and on all),
// zoomed out beyond fit, where many shapes are smaller than a pixel and are
// drawn as pixel marks, and the overlay pass alone (a copy of the drawing
// with the selection marks of some top-level objects over it). Times are
// wall-clock per frame; the CPU column is the whole process's, painting
// threads included.
#include "BenchBoard.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskpart.h"

#include <QImage>
#include <QThread>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Scene {
    vesk::TVeskDocument doc;
    vesk::TDrawStyle style;
    vesk::TRenderView fit;
    vesk::PointF centre;
    QImage drawing { kWidth, kHeight, QImage::Format_ARGB32_Premultiplied };
    QImage screen { kWidth, kHeight, QImage::Format_ARGB32_Premultiplied };

    Scene()
    {
        vesk::LoadBenchBoard(doc);
        std::vector<int> all;
        for (int i = 0; i < doc.Layers().LayerCount(); ++i)
            all.push_back(i);
        vesk::RectF bounds;
        vesk::TVeskRenderer::DrawingBounds(doc.Root(), all, bounds);
        fit = vesk::TRenderView::Fit(bounds, kWidth, kHeight);
        centre = { bounds.X + bounds.Width / 2, bounds.Y + bounds.Height / 2 };
        fit.workArea = { 0, 0, 1000, 750 };
        fit.showGrid = true;
        fit.gridPitch = 25.4; // 2.54 mm, the pin pitch
    }

    // `count` top-level objects spread evenly over the child list (all of
    // them when there are fewer); none for 0.
    void select(int count)
    {
        const auto& children = doc.Root().Children();
        const size_t n = children.size();
        for (size_t i = 0; i < n; ++i)
            children[i]->SetSelected(count > 0 && (i * size_t(count)) % n < size_t(count));
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

void renderDocument(benchmark::State& state, const vesk::TRenderView& view, int threads)
{
    Scene& s = scene();
    vesk::TDrawStyle style;
    style.SetZoom(view.zoom);
    vesk::TVeskRenderer renderer;
    if (threads > 0)
        renderer.SetMaxThreads(threads);
    for (auto _ : state) {
        renderer.RenderDocument(s.drawing, s.doc.Root(), s.doc.Layers(), style, view);
        benchmark::DoNotOptimize(s.drawing.constBits());
    }
    state.counters["zoom"] = view.zoom;
    state.counters["threads"] = threads > 0 ? threads : QThread::idealThreadCount();
}

// Argument, here and for zoom 1: painting threads, 0 for the default (one per core).
void BM_Render_DocumentFit(benchmark::State& state)
{
    renderDocument(state, scene().fit, int(state.range(0)));
}

void BM_Render_DocumentZoom1(benchmark::State& state)
{
    vesk::TRenderView view = scene().fit;
    view.zoom = 1.0;
    view.viewMatrix = vesk::TRenderView::MakeViewMatrix(1.0, -1500, -1500, kWidth, kHeight);
    renderDocument(state, view, int(state.range(0)));
}

// Arguments: how many times smaller than the fit zoom (4: 40% of the shapes
// under a pixel both ways, 10: 60%), and painting threads as above.
void BM_Render_DocumentZoomedOut(benchmark::State& state)
{
    const Scene& s = scene();
    vesk::TRenderView view = s.fit;
    view.zoom = s.fit.zoom / double(state.range(0));
    view.viewMatrix = vesk::TRenderView::MakeViewMatrix(view.zoom, -s.centre.X, -s.centre.Y, kWidth, kHeight);
    renderDocument(state, view, int(state.range(1)));
}

// Argument: the number of top-level objects selected.
void BM_Render_Overlay(benchmark::State& state)
{
    Scene& s = scene();
    vesk::TDrawStyle style;
    style.SetZoom(s.fit.zoom);
    vesk::TVeskRenderer renderer;
    renderer.RenderDocument(s.drawing, s.doc.Root(), s.doc.Layers(), style, s.fit);
    s.select(int(state.range(0)));
    for (auto _ : state) {
        renderer.RenderOverlay(s.screen, s.drawing, s.doc.Root(), style, s.fit);
        benchmark::DoNotOptimize(s.screen.constBits());
    }
    state.counters["selected"] = double(std::min(state.range(0), int64_t(s.doc.Root().ChildCount())));
    s.select(0);
}

BENCHMARK(BM_Render_DocumentFit)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Render_DocumentZoom1)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Render_DocumentZoomedOut)
    ->Args({ 4, 0 })
    ->Args({ 10, 0 })
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Render_Overlay)
    ->Arg(8000)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
