// The drawing view as the editor keeps it (TVeskRenderer::RenderKept) on the
// benchmark board (BenchBoard.h), 1920 x 1080 at 1 pixel per 0.1 mm over the
// densest part of the board: a frame after moving one object, a frame after
// scrolling by 100 pixels, and a frame painted afresh (zoom) at fit zoom.
#include "BenchBoard.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskpart.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using namespace vesk;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct KeptScene {
    TVeskDocument doc;
    RectF bounds;
    QImage drawing { kWidth, kHeight, QImage::Format_ARGB32_Premultiplied };

    KeptScene()
    {
        LoadBenchBoard(doc);
        doc.Root().DrawnBounds(bounds);
    }

    // Zoom 1 with the board's centre in the middle of the view.
    TRenderView zoom1(double shiftX = 0) const
    {
        TRenderView view;
        view.viewMatrix = TRenderView::MakeViewMatrix(
            1.0, -(bounds.X + bounds.Width / 2), -(bounds.Y + bounds.Height / 2), kWidth, kHeight);
        view.viewMatrix = Matrix(1, 0, 0, 1, float(std::floor(view.viewMatrix.OffsetX() + shiftX)),
            float(std::floor(view.viewMatrix.OffsetY())));
        return view;
    }
};

KeptScene& keptScene()
{
    static KeptScene s;
    return s;
}

void BM_Render_AfterMove(benchmark::State& state)
{
    KeptScene& s = keptScene();
    TDrawStyle style;
    const TRenderView view = s.zoom1();
    TVeskRenderer renderer;
    TVeskPart& root = s.doc.Root();
    root.SetSelected(false);
    // The smallest object near the middle of the view: a pad or a track.
    TVeskObject* moved = nullptr;
    const RectF middle { s.bounds.X + s.bounds.Width / 2 - 200, s.bounds.Y + s.bounds.Height / 2 - 200, 400,
        400 };
    float smallest = 0;
    for (const auto& child : root.Children()) {
        RectF b;
        if (child->DrawnBounds(b) && b.IntersectsWith(middle) && (!moved || b.Width * b.Height < smallest)) {
            moved = child.get();
            smallest = b.Width * b.Height;
        }
    }
    moved->SetSelected(true);
    renderer.RenderKept(s.drawing, root, s.doc.Layers(), style, view);
    float step = 10;
    for (auto _ : state) {
        root.Translate(step, 0, MatrixOrder::Append);
        step = -step;
        renderer.RenderKept(s.drawing, root, s.doc.Layers(), style, view);
        benchmark::DoNotOptimize(s.drawing.constBits());
    }
    root.SetSelected(false);
}

void BM_Render_Pan(benchmark::State& state)
{
    KeptScene& s = keptScene();
    TDrawStyle style;
    TVeskRenderer renderer;
    // Then back to the start, not timed, with nothing kept: tiles kept from
    // the last round would spare every pan its painting.
    constexpr int kSteps = 40;
    int step = 0;
    renderer.RenderKept(s.drawing, s.doc.Root(), s.doc.Layers(), style, s.zoom1(-kSteps * 50));
    for (auto _ : state) {
        if (++step == kSteps) {
            state.PauseTiming();
            step = 0;
            renderer.DropKept();
            renderer.RenderKept(s.drawing, s.doc.Root(), s.doc.Layers(), style, s.zoom1(-kSteps * 50));
            state.ResumeTiming();
        }
        renderer.RenderKept(
            s.drawing, s.doc.Root(), s.doc.Layers(), style, s.zoom1((step - kSteps / 2) * 100.0));
        benchmark::DoNotOptimize(s.drawing.constBits());
    }
}

// A frame painted afresh, as after a zoom, at fit zoom.
void BM_Render_KeptFit(benchmark::State& state)
{
    KeptScene& s = keptScene();
    TRenderView view = TRenderView::Fit(s.bounds, kWidth, kHeight);
    TDrawStyle style;
    style.SetZoom(view.zoom);
    TVeskRenderer renderer;
    for (auto _ : state) {
        renderer.DropKept();
        renderer.RenderKept(s.drawing, s.doc.Root(), s.doc.Layers(), style, view);
        benchmark::DoNotOptimize(s.drawing.constBits());
    }
}

BENCHMARK(BM_Render_AfterMove)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Render_Pan)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Render_KeptFit)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace
