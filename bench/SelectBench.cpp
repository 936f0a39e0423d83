// Dragging a selection with the select tool on the benchmark board
// (BenchBoard.h), in a 1920 x 1080 window at zoom 1 over the middle of the
// board, with grid snapping on: one step is a mouse move delivered to the
// tool and the idle pass it asks for, which moves the selection and composes
// the overlay with the moved objects over the drawing, as the editor does
// between two moves. The footprint nearest the middle is dragged: alone
// (argument 0, picked beforehand as by right-click cycling), or with
// everything a plain click on it picks (argument 1: the copper pours under
// it too). `release_ms` is what the release then costs once: the drawing
// repainted where the objects were and are, and the history step.
#include "BenchToolHost.h"
#include "BoardGenerator.h"
#include "Veskselectproc.h"
#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskhistory.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QElapsedTimer>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <optional>

namespace {

using namespace vesk;

constexpr int kWidth = BenchToolHost::kWidth;
constexpr int kHeight = BenchToolHost::kHeight;

using BenchHost = BenchToolHost;

QPoint pixelOf(const TVeskView& view, PointF p)
{
    const PointF q = view.DocumentToPixel(p);
    return { int(std::lround(q.X)), int(std::lround(q.Y)) };
}

void BM_Select_DragStep(benchmark::State& state)
{
    BenchHost host;
    TVeskPart& root = host.document.Root();
    RectF board;
    if (!root.DrawnBounds(board)) {
        state.SkipWithError("the board is empty");
        return;
    }
    const PointF middle { board.X + board.Width / 2, board.Y + board.Height / 2 };
    host.view.Scroll(-middle.X, -middle.Y);

    // The group nearest the middle: a footprint, the usual thing to drag.
    TVeskObject* picked = nullptr;
    double nearest = 0;
    for (const auto& child : root.Children()) {
        RectF b;
        if (!dynamic_cast<TVeskGroup*>(child.get()) || !child->DrawnBounds(b))
            continue;
        const double d = std::hypot(b.X + b.Width / 2 - middle.X, b.Y + b.Height / 2 - middle.Y);
        if (!picked || d < nearest) {
            picked = child.get();
            nearest = d;
        }
    }
    if (!picked) {
        state.SkipWithError("the board holds no group");
        return;
    }

    TVeskToolBar bar(host, TVeskToolBar::Empty {});
    auto* tool = static_cast<TVeskSelectProc*>(bar.AddTool(std::make_unique<TVeskSelectProc>(bar)));
    bar.ResetToFirstTool();
    tool->RequestRedraw();
    tool->OnIdle();

    // Pressed on the first pixel that shows part of the group.
    RectF b;
    picked->DrawnBounds(b);
    const QPoint lo = pixelOf(host.view, { b.X, b.Y });
    const QPoint hi = pixelOf(host.view, { b.GetRight(), b.GetBottom() });
    std::optional<QPoint> pressAt;
    for (int y = lo.y(); y <= hi.y() && !pressAt; ++y)
        for (int x = lo.x(); x <= hi.x() && !pressAt; ++x)
            if (picked->HitTest(host.view.PixelToDocument(QPoint(x, y))))
                pressAt = QPoint(x, y);
    if (!pressAt) {
        state.SkipWithError("the group shows no pixel");
        return;
    }
    const QPoint press = *pressAt;
    if (state.range(0) == 0) {
        picked->SetSelected(true);
    }
    tool->WindowMouseDown(ssLeft, press);
    tool->OnIdle();
    if (tool->SelectionList().empty()) {
        state.SkipWithError("the press picked nothing");
        return;
    }

    // A little more than a grid step each way: every move is one step.
    const int step = int(std::ceil(host.grid.pitch * host.view.Zoom())) + 1;
    int offset = step;
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

    int moved = 0;
    for (TVeskObject* object : tool->SelectionList())
        moved += CountObjects(*object);
    state.counters["moved_objects"] = moved;
}

BENCHMARK(BM_Select_DragStep)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace
