#include "Veskpathproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

namespace vesk {

namespace {
constexpr int kStepDepth = 30;
constexpr float kCloseRadiusPixels = 3.0f;
constexpr int kEnter = 0x0D;
} // namespace

TVeskPathProc::TVeskPathProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
    , stepHistory(std::make_unique<TVeskHistory>())
{
}

TVeskPathProc::~TVeskPathProc() = default;

void TVeskPathProc::MouseDown(std::uint32_t shift, PointF point)
{
    if (!(shift & ssLeft) || !root)
        return;
    anchor = point;
    if (building) {
        anchor = SnapIfOn(anchor);
        if (building->IsNearStart(anchor, kCloseRadiusPixels)) {
            building->SetClosed(true);
            closing = true;
        } else {
            building->AppendAnchor(anchor);
        }
    } else {
        closing = false;
        building = static_cast<TVeskPath*>(root->Adopt(
            std::make_unique<TVeskPath>(Host().Document().Layers().CurrentLayer(), Host().CurrentSurface())));
        building->BeginPath();
        building->SetInProgress(true);
        anchor = SnapIfOn(anchor);
        building->AppendAnchor(anchor);
        Host().RefreshStyle();
        Host().ShowSurfacesOf({ building });
    }
    Host().SetReferencePoint(anchor);
    RequestOverlay();
}

void TVeskPathProc::MouseMove(std::uint32_t shift, PointF point)
{
    if (PullsHandles() && (shift & ssLeft)) {
        if (building)
            building->DragControlHandle(anchor, point);
        Host().ShowPosition(point);
        RequestOverlay();
        return;
    }
    Host().ShowPosition(SnapIfOn(point));
}

void TVeskPathProc::MouseUp(std::uint32_t, PointF)
{
    if (!building)
        return;
    if (closing) {
        closing = false;
        finish();
        return;
    }
    if (building->IsNearStart(anchor, kCloseRadiusPixels))
        stepHistory->Reset(*building, kStepDepth); // the first anchor's release
    else
        stepHistory->Record(*building);
    RequestRedraw();
}

void TVeskPathProc::KeyDown(int virtualKey)
{
    if (virtualKey == kEnter)
        FinishClick();
}

void TVeskPathProc::FinishClick()
{
    if (building)
        finish();
}

void TVeskPathProc::finish()
{
    building->EndPath();
    building->SetInProgress(false);
    building = nullptr;
    root->SetSelected(false);
    Host().RefreshStyle();
    Host().History().Record(*root);
    stepHistory->Clear();
    RequestRedraw();
}

void TVeskPathProc::CommitHistory()
{
    if (building)
        stepHistory->Record(*building);
    else
        TVeskEventProc::CommitHistory();
}

void TVeskPathProc::install(std::unique_ptr<TVeskObject> state)
{
    // The surface tab lets go of the path before it goes.
    Host().RefreshStyle();
    if (building)
        building->Delete();
    building = nullptr;
    auto* path = dynamic_cast<TVeskPath*>(state.get());
    if (!path || !root)
        return;
    state.release();
    building = static_cast<TVeskPath*>(root->Adopt(std::unique_ptr<TVeskPath>(path)));
    building->SetHandlesSelected(true);
    building->SetInProgress(true);
    Host().ShowSurfacesOf({ building });
}

void TVeskPathProc::UndoClick()
{
    if (building) {
        // Nothing comes back for the first anchor: the new path goes entirely.
        install(stepHistory->Undo(Host().View().Zoom()));
        RequestRedraw();
        return;
    }
    UndoDocument();
}

void TVeskPathProc::RedoClick()
{
    if (building) {
        if (auto state = stepHistory->Redo(Host().View().Zoom()))
            install(std::move(state));
        RequestRedraw();
        return;
    }
    // With nothing to redo in the document, a path whose first anchor was
    // undone comes back.
    if (!RedoDocument()) {
        if (auto first = stepHistory->First(Host().View().Zoom()))
            install(std::move(first));
        RequestRedraw();
    }
}

void TVeskPathProc::StateInstalled()
{
    building = nullptr;
    closing = false;
    stepHistory->Clear();
}

void TVeskPathProc::Deactivate()
{
    if (building && root) {
        building->EndPath();
        building->SetInProgress(false);
        Host().History().Record(*root);
    }
    building = nullptr;
    closing = false;
    TVeskEventProc::Deactivate();
    stepHistory->Clear();
    Host().RefreshStyle();
}

} // namespace vesk
