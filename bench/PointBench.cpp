// Point editing on the benchmark board (BenchBoard.h) through the real point
// tool, in a 1920 x 1080 window at 1 pixel per 0.1 mm over the middle of the
// board, with grid snapping on: one step is a mouse move that drags the
// picked anchor of the track nearest the middle, and the idle pass it asks
// for (the overlay with the edited track over the drawing, as the editor
// does between two moves). `release_ms` is what the release then costs
// once: the drawing repainted where the track was and is, and the history
// step. `anchors` is the dragged track's anchor count.
#include "BenchToolHost.h"
#include "Veskpointproc.h"
#include "Vesktoolbar.h"
#include "Veskview.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace vesk;

QPoint pixelOf(const TVeskView& view, PointF p)
{
    const PointF q = view.DocumentToPixel(p);
    return { int(std::lround(q.X)), int(std::lround(q.Y)) };
}

void BM_Point_DragStep(benchmark::State& state)
{
    BenchToolHost host;
    TVeskPart& root = host.document.Root();
    RectF board;
    if (!root.DrawnBounds(board)) {
        state.SkipWithError("the board is empty");
        return;
    }
    const PointF middle { board.X + board.Width / 2, board.Y + board.Height / 2 };
    host.view.Fit(board);
    host.view.ZoomAt(1.0 / host.view.Zoom(), middle);

    // The track whose first anchor lies nearest the middle.
    TVeskPath* track = nullptr;
    PointF at;
    double nearest = 0;
    for (const auto& child : root.Children()) {
        auto* path = dynamic_cast<TVeskPath*>(child.get());
        if (!path || path->Points().empty())
            continue;
        const PointF first = path->GetMatrixRef().TransformPoint(path->Points().front());
        const double d = std::hypot(first.X - middle.X, first.Y - middle.Y);
        if (!track || d < nearest) {
            track = path;
            at = first;
            nearest = d;
        }
    }
    if (!track) {
        state.SkipWithError("the board holds no track");
        return;
    }

    TVeskToolBar bar(host);
    bar.ResetToFirstTool();
    bar.SelectToolByName(QStringLiteral("PointTool"));
    auto* tool = dynamic_cast<TVeskPointProc*>(bar.CurrentTool());
    if (!tool) {
        state.SkipWithError("no point tool");
        return;
    }
    tool->OnIdle();

    // A click picks the anchor; the press that follows starts the drag.
    const QPoint press = pixelOf(host.view, at);
    tool->WindowMouseDown(ssLeft, press);
    tool->WindowMouseUp(0, press);
    tool->OnIdle();
    tool->WindowMouseDown(ssLeft, press);
    tool->OnIdle();
    if (tool->EditList().empty()) {
        state.SkipWithError("the press picked nothing");
        return;
    }

    // A little more than a grid step each way: every move is one step.
    const int step = int(std::ceil(host.grid.pitch * host.view.Zoom())) + 1;
    const PointF before = track->Points().front();
    tool->WindowMouseMove(ssLeft, press + QPoint(step, step));
    tool->OnIdle();
    if (track->Points().front() == before) {
        state.SkipWithError("the drag moves no anchor");
        return;
    }
    int offset = 0;
    for (auto _ : state) {
        tool->WindowMouseMove(ssLeft, press + QPoint(offset, offset));
        tool->OnIdle();
        offset = offset == 0 ? step : 0;
    }
    QElapsedTimer release;
    release.start();
    tool->WindowMouseUp(0, press + QPoint(offset, offset));
    tool->OnIdle();
    state.counters["release_ms"] = double(release.nsecsElapsed()) / 1e6;
    state.counters["anchors"] = double(track->Points().size() / 3);
}

BENCHMARK(BM_Point_DragStep)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace
