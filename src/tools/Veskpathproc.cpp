#include "Veskpathproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
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
    , step_(QString::fromUtf8(info.step))
{
}

void TVeskPathProc::Steps::Reset(const TVeskObject& state)
{
    Clear();
    states.push_back(state.Clone());
}

void TVeskPathProc::Steps::Record(const TVeskObject& state)
{
    states.resize(std::min(states.size(), at + 1));
    states.push_back(state.Clone());
    if (states.size() > std::size_t(kStepDepth))
        states.erase(states.begin());
    at = states.size() - 1;
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
        TVeskLayer* layer = LayerForNewShape();
        if (!layer)
            return;
        closing = false;
        Edit().Begin(step_);
        building = static_cast<TVeskPath*>(
            root->Adopt(std::make_unique<TVeskPath>(layer, Host().CurrentSurface())));
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
        steps_.Reset(*building); // the first anchor's release
    else
        steps_.Record(*building);
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

bool TVeskPathProc::buildingIsALine() const
{
    // Three points an anchor: a lone anchor draws nothing and could never be picked again.
    return building && building->Points().size() > 3;
}

void TVeskPathProc::finish()
{
    if (!buildingIsALine()) {
        install(nullptr);
        closing = false;
        steps_.Clear();
        RequestRedraw();
        return;
    }
    building->EndPath();
    building->SetInProgress(false);
    building = nullptr;
    root->SetSelected(false);
    Host().RefreshStyle();
    Edit().Commit();
    steps_.Clear();
    RequestRedraw();
}

void TVeskPathProc::EndGesture()
{
    if (building)
        finish();
    closing = false;
    TVeskEventProc::EndGesture();
}

void TVeskPathProc::StyleChanged()
{
    if (building)
        steps_.Record(*building);
}

void TVeskPathProc::install(const TVeskObject* state)
{
    // The surface tab lets go of the path before it goes.
    Host().RefreshStyle();
    if (!state) {
        Edit().Revert();
        building = nullptr;
        return;
    }
    if (building)
        building->Delete();
    building = nullptr;
    if (!root)
        return;
    Edit().Begin(step_);
    building = static_cast<TVeskPath*>(root->Adopt(state->Clone()));
    building->SetHandlesSelected(true);
    building->SetInProgress(true);
    Host().ShowSurfacesOf({ building });
}

void TVeskPathProc::UndoClick()
{
    if (building) {
        // Nothing comes back for the first anchor: the new path goes entirely.
        if (steps_.at > 0)
            install(steps_.states[--steps_.at].get());
        else
            install(nullptr);
        RequestRedraw();
        return;
    }
    UndoDocument();
}

void TVeskPathProc::RedoClick()
{
    if (building) {
        if (steps_.at + 1 < steps_.states.size())
            install(steps_.states[++steps_.at].get());
        RequestRedraw();
        return;
    }
    // With nothing to redo in the document, a path whose first anchor was
    // undone comes back.
    if (!RedoDocument() && !steps_.states.empty()) {
        steps_.at = 0;
        install(steps_.states.front().get());
        RequestRedraw();
    }
}

void TVeskPathProc::StateInstalled()
{
    building = nullptr;
    closing = false;
    steps_.Clear();
}

void TVeskPathProc::Deactivate()
{
    if (building && root && !buildingIsALine()) {
        install(nullptr);
    } else if (building && root) {
        building->EndPath();
        building->SetInProgress(false);
        building = nullptr;
        Edit().Commit();
    }
    building = nullptr;
    closing = false;
    TVeskEventProc::Deactivate();
    steps_.Clear();
    Host().RefreshStyle();
}

} // namespace vesk
