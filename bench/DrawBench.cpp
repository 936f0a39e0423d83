// Drawing on the benchmark board (BenchBoard.h) through the real tools and
// the real frame path, in a 1920 x 1080 window at 1 pixel per 0.1 mm over
// the middle of the board: a press and a handle-pulling move of the Bezier
// tool, and a drag step of the rectangle tool, each with the frame it asks
// for (the document's kept picture where it changed, the overlay, presenting).
#include "BenchToolHost.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskhistory.h"
#include "shapes/Veskpart.h"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

using namespace vesk;

constexpr int kWidth = BenchToolHost::kWidth;
constexpr int kHeight = BenchToolHost::kHeight;

using BenchHost = BenchToolHost;

struct DrawScene {
    BenchHost host;
    TVeskToolBar bar { host };

    DrawScene()
    {
        // Zoom 1 over the middle of the board; every point where it is drawn.
        RectF bounds;
        host.document.Root().DrawnBounds(bounds);
        host.view.Fit(bounds);
        host.view.ZoomAt(1.0 / host.view.Zoom(), { bounds.X + bounds.Width / 2, bounds.Y + bounds.Height / 2 });
        host.grid.snap = false;
        bar.ResetToFirstTool();
        bar.CurrentTool()->OnIdle(); // the first frame, painted once
    }

    TVeskEventProc* use(const char* name)
    {
        bar.SelectToolByName(QLatin1String(name));
        TVeskEventProc* tool = bar.CurrentTool();
        tool->OnIdle();
        return tool;
    }
};

DrawScene& scene()
{
    static DrawScene s;
    return s;
}

QPoint middle(int dx = 0, int dy = 0)
{
    return { kWidth / 2 + dx, kHeight / 2 + dy };
}

// Arg 0: a press and release adding an anchor. Arg 1: a move pulling the
// handles of the last anchor.
void BM_Draw_PathStep(benchmark::State& state)
{
    DrawScene& s = scene();
    TVeskEventProc* tool = s.use("BezierTool");
    const bool pull = state.range(0) == 1;
    int step = 0;
    tool->WindowMouseDown(ssLeft, middle());
    tool->WindowMouseUp(0, middle());
    tool->OnIdle();
    if (pull)
        tool->WindowMouseDown(ssLeft, middle(40, 0));
    for (auto _ : state) {
        ++step;
        const QPoint at = middle(40 + (step % 40) * 5, (step % 7) * 10);
        if (pull) {
            tool->WindowMouseMove(ssLeft, at);
        } else {
            tool->WindowMouseDown(ssLeft, at);
            tool->WindowMouseUp(0, at);
        }
        tool->OnIdle();
    }
    if (pull)
        tool->WindowMouseUp(0, middle(40, 0));
    tool->FinishClick();
    tool->UndoClick(); // the board as it was
    tool->OnIdle();
    state.SetLabel(pull ? "pull" : "press");
}

void BM_Draw_RectDragStep(benchmark::State& state)
{
    DrawScene& s = scene();
    TVeskEventProc* tool = s.use("RectangleTool");
    tool->WindowMouseDown(ssLeft, middle());
    int step = 0;
    for (auto _ : state) {
        ++step;
        tool->WindowMouseMove(ssLeft, middle(20 + step % 200, 10 + step % 100));
        tool->OnIdle();
    }
    tool->WindowMouseUp(0, middle(100, 50));
    tool->OnIdle();
    tool->UndoClick();
    tool->OnIdle();
}

BENCHMARK(BM_Draw_PathStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Draw_RectDragStep)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
