#include "Veskpointproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "model/Veskedit.h"
#include "shapes/Veskpart.h"

#include <algorithm>

namespace vesk {

namespace {
constexpr std::uint32_t kCtrlShift = TVeskKeyState::Ctrl | TVeskKeyState::Shift;
constexpr std::uint32_t kXZ = TVeskKeyState::X | TVeskKeyState::Z;
constexpr std::uint32_t kCtrlR = TVeskKeyState::Ctrl | TVeskKeyState::R;

bool includes(int code, HitCode bit)
{
    return (code & bit) != 0;
}

} // namespace

TVeskPointProc::TVeskPointProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
{
    KeepObjectList(editList);
}

TVeskPointProc::~TVeskPointProc()
{
    modes.back() = ModeNone;
}

void TVeskPointProc::AddOwnOptionButtons()
{
    ToolBar().ClearOptionButtons();
    ToolBar().AddOptionButton(QStringLiteral("Bitmap\\Rotate.bmp"),
        QStringLiteral("オブジェクトを90°回転します"), [this] { RotateClick(); });
}

void TVeskPointProc::Deactivate()
{
    // An idle tool has no gesture; the step open now is another tool's.
    if (IsActive())
        EndGesture();
    editList.clear();
    // The held keys are forgotten on the way out, so no key-up would end a
    // Ctrl+Shift or X+Z mode, and a press or band under way has no release
    // to come: the tool comes back idle.
    modes.erase(std::remove_if(modes.begin() + 1, modes.end(),
                    [](std::int32_t m) { return m >= ModePointPressed && m <= ModePointInsertDelete; }),
        modes.end());
    TVeskEventProc::Deactivate();
}

// A drag cut short keeps what it changed as its own step; a rubber band is
// dropped, and the release that follows finds nothing to do.
void TVeskPointProc::EndGesture()
{
    finishEdit();
    band_.Release();
    if (TopMode() == ModePointPressed || TopMode() == ModePointBand)
        SetTopMode(ModePointIdle);
    TVeskEventProc::EndGesture();
}

void TVeskPointProc::StateInstalled()
{
    moved = false;
    // The shapes still shown for point editing stay editable.
    if (root)
        collectEditList();
}

// Only what is selected is told: deselecting every object of the root tells
// each one, which has the drawing repainted and the index rebuilt whole.
void TVeskPointProc::collectEditList()
{
    editList.clear();
    root->CollectByLayer(editList, -1);
}

void TVeskPointProc::showSurfaces()
{
    Host().RefreshStyle();
    if (!editList.empty())
        Host().ShowSurfacesOf(editList);
}

// ---- history steps -------------------------------------------------------

void TVeskPointProc::beginEdit()
{
    // A pending edit is finished first, so no two edits share a step.
    finishEdit();
    Edit().Begin(QStringLiteral("点の編集"));
}

// The step records nothing when only points were picked.
void TVeskPointProc::finishEdit()
{
    Edit().Commit();
    moved = false;
}

// ---- mouse ----------------------------------------------------------------

void TVeskPointProc::MouseDown(std::uint32_t shift, PointF point)
{
    if (!root)
        return;
    const bool left = (shift & ssLeft) != 0;
    switch (TopMode()) {
    case ModePointIdle:
        if (left)
            idleDown(point);
        break;
    case ModePointPressed:
        SetTopMode(ModePointIdle);
        break;
    case ModePointBand:
        if (left) {
            anchor = point;
            if (root->HitHandles(point, BandPressRadius) == HitNothing) {
                DeselectAll();
                SetTopMode(ModePointIdle);
            }
            RequestOverlay();
        }
        break;
    case ModePointHandleDrag:
        SetTopMode(ModePointIdle);
        if (left)
            idleDown(point);
        break;
    case ModePointHandlePull:
        if (left)
            handlePullDown(point);
        break;
    case ModePointInsertDelete:
        if (left)
            insertOrDelete(point);
        break;
    default:
        break;
    }
}

bool TVeskPointProc::pressOnList(PointF point, bool bodies)
{
    for (TVeskObject* object : editList) {
        const int hit = object->HitHandle(point, HandleRadius);
        if (includes(hit, HitControl)) {
            SetTopMode(ModePointHandleDrag);
            for (TVeskObject* other : editList)
                if (other != object)
                    other->SetHandlesSelected(false);
            object->SelectHandleAt(point, HandleRadius);
            return true;
        }
        // A press on a picked anchor keeps every pick, ready to be dragged.
        if (object->HitSelectedHandle(point, HandleRadius) != HitNothing)
            return true;
        if (includes(hit, HitHandle)) {
            for (TVeskObject* other : editList)
                other->SetHandlesSelected(false);
            object->SelectHandleAt(point, HandleRadius);
            return true;
        }
        if (bodies && hit == HitBody)
            object->SelectHandleAt(point, HandleRadius);
    }
    return false;
}

void TVeskPointProc::idleDown(PointF point)
{
    anchor = point;
    Host().SetReferencePoint(point);
    if (!pressOnList(point, false)) {
        editList.clear();
        DeselectAll();
        if (root->SelectAt(point)) {
            collectEditList();
            pressOnList(point, true);
        } else {
            SetTopMode(ModePointPressed);
        }
    }
    beginEdit();
    RequestOverlay();
}

void TVeskPointProc::handlePullDown(PointF point)
{
    anchor = point;
    beginEdit();
    for (TVeskObject* object : editList)
        object->ResetHandleAt(point);
    RequestOverlay();
}

void TVeskPointProc::insertOrDelete(PointF point)
{
    anchor = point;
    for (TVeskObject* object : editList) {
        const int hit = object->HitHandle(anchor, HandleRadius);
        if (includes(hit, HitHandle)) {
            beginEdit();
            object->RemovePointAt(anchor, HandleRadius);
            finishEdit();
            break;
        }
        if (includes(hit, HitBody)) {
            anchor = SnapIfOn(anchor);
            beginEdit();
            object->InsertPointAt(anchor);
            finishEdit();
            break;
        }
    }
}

void TVeskPointProc::MouseMove(std::uint32_t shift, PointF point)
{
    if (!root)
        return;
    const bool left = (shift & ssLeft) != 0;
    switch (TopMode()) {
    case ModePointIdle:
        if (left)
            dragAnchors(point);
        else
            Host().ShowPosition(SnapIfOn(point));
        break;
    case ModePointPressed:
        if (left && TVeskRubberBand::Started(anchor, point, Host().View().Zoom()))
            SetTopMode(ModePointBand);
        break;
    case ModePointBand:
        if (left) {
            Host().ShowPosition(point);
            band_.Show(Host(), anchor, point);
        }
        break;
    case ModePointHandleDrag:
        if (left)
            dragControlPoint(point);
        break;
    case ModePointHandlePull:
        if (left)
            pullHandles(point);
        break;
    default:
        break;
    }
}

void TVeskPointProc::dragAnchors(PointF point)
{
    moveEditList(StepFromAnchorIfOn(point), &TVeskObject::MoveSelection);
}

void TVeskPointProc::dragControlPoint(PointF point)
{
    moveEditList(point, &TVeskObject::MoveControlPoints);
}

void TVeskPointProc::moveEditList(PointF point, void (TVeskObject::*move)(float, float, MatrixOrder))
{
    const float dx = point.X - anchor.X;
    const float dy = point.Y - anchor.Y;
    if (dx != 0.0f || dy != 0.0f) {
        moved = true;
        for (TVeskObject* object : editList)
            (object->*move)(dx, dy, MatrixOrder::Append);
    }
    Host().ShowPosition(point);
    anchor = point;
    RequestOverlay();
}

void TVeskPointProc::pullHandles(PointF point)
{
    // The anchor stays the press point: the handles follow the pointer.
    for (TVeskObject* object : editList)
        if (includes(object->HitHandle(anchor, HandleRadius), HitHandle))
            object->DragControlHandle(anchor, point);
    if (!(point == anchor))
        moved = true;
    Host().ShowPosition(point);
    RequestOverlay();
}

void TVeskPointProc::MouseUp(std::uint32_t, PointF point)
{
    if (!root)
        return;
    switch (TopMode()) {
    case ModePointIdle:
    case ModePointHandlePull:
        showSurfaces();
        finishEdit();
        RequestRedraw();
        break;
    case ModePointPressed:
        Host().RefreshStyle();
        RequestOverlay();
        SetTopMode(ModePointIdle);
        break;
    case ModePointBand:
        bandUp(point);
        break;
    case ModePointHandleDrag:
        finishEdit();
        RequestRedraw();
        SetTopMode(ModePointIdle);
        break;
    case ModePointInsertDelete:
        // A drag that X+Z interrupted ends here.
        finishEdit();
        RequestRedraw();
        break;
    default:
        break;
    }
}

void TVeskPointProc::bandUp(PointF point)
{
    const RectF band = TVeskRubberBand::Span(anchor, point);
    editList.clear();
    DeselectAll();
    root->SelectIn(band);
    collectEditList();
    for (TVeskObject* object : editList)
        object->SelectHandlesIn(band);
    showSurfaces();
    RequestOverlay();
    SetTopMode(ModePointIdle);
}

// ---- keys and commands ----------------------------------------------------

void TVeskPointProc::KeyDown(int)
{
    const std::uint32_t keys = keyState.keys;
    if (TopMode() != ModePointHandlePull && keys == kCtrlShift)
        PushMode(ModePointHandlePull);
    if (TopMode() != ModePointInsertDelete && keys == kXZ)
        PushMode(ModePointInsertDelete);
    else if (keys == kCtrlR)
        RotateClick();
}

void TVeskPointProc::KeyUp(int)
{
    const std::uint32_t keys = keyState.keys;
    if (TopMode() == ModePointHandlePull && keys != kCtrlShift)
        PopMode();
    else if (TopMode() == ModePointInsertDelete && keys != kXZ)
        PopMode();
}

void TVeskPointProc::RotateClick()
{
    if (!root)
        return;
    beginEdit();
    for (TVeskObject* object : editList)
        object->RotateSelectionAt(90.0f, anchor, MatrixOrder::Append);
    finishEdit();
    RequestRedraw();
}

} // namespace vesk
