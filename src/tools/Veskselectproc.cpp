#include "Veskselectproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "geometry/QtConvert.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskedit.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>

namespace vesk {

namespace {
constexpr std::uint32_t kCtrlR = TVeskKeyState::Ctrl | TVeskKeyState::R;
constexpr std::uint32_t kCtrlM = TVeskKeyState::Ctrl | TVeskKeyState::M;
constexpr std::uint32_t kCtrlG = TVeskKeyState::Ctrl | TVeskKeyState::G;
constexpr std::uint32_t kCtrlShiftG = TVeskKeyState::Ctrl | TVeskKeyState::Shift | TVeskKeyState::G;
} // namespace

TVeskSelectProc::TVeskSelectProc(TVeskToolBar& toolBar)
    : TVeskEventProc(toolBar, QStringLiteral("SelectTool"), QStringLiteral("Bitmap\\Arrow00.bmp"),
        QStringLiteral("オブジェクトを選択します"), ModeSelectIdle)
{
    KeepObjectList(selectionList);
}

TVeskSelectProc::~TVeskSelectProc()
{
    modes.back() = ModeNone;
}

void TVeskSelectProc::AddOwnOptionButtons()
{
    TVeskToolBar& bar = ToolBar();
    bar.AddOptionButton(
        QStringLiteral("Bitmap\\Group.bmp"), QStringLiteral("グループ化します"), [this] { GroupClick(); });
    bar.AddOptionButton(QStringLiteral("Bitmap\\UnGroup.bmp"), QStringLiteral("グループ化を解除します"),
        [this] { UngroupClick(); });
    bar.AddOptionButton(QStringLiteral("Bitmap\\Rotate.bmp"), QStringLiteral("オブジェクトを90°回転します"),
        [this] { RotateClick(); });
    bar.AddOptionButton(QStringLiteral("Bitmap\\Mirror.bmp"), QStringLiteral("オブジェクトを反転します"),
        [this] { MirrorClick(); });
    bar.AddOptionButton(
        QStringLiteral("Bitmap\\Num.bmp"), QStringLiteral("数値入力"), [this] { NumericClick(); });
}

void TVeskSelectProc::Deactivate()
{
    // An idle tool has no gesture; the step open now is another tool's.
    if (IsActive())
        EndGesture();
    selectionList.clear();
    Host().RefreshStyle();
    std::erase(modes, std::int32_t(ModeSelectNumeric));
    TVeskEventProc::Deactivate();
}

// A drag cut short keeps what it moved as its own step; a rubber band is
// dropped. The release that follows finds nothing to do.
void TVeskSelectProc::EndGesture()
{
    if (moved)
        Edit().Commit();
    moved = false;
    dragArmed_ = false;
    band_.Release();
    if (TopMode() == ModeSelectPressed || TopMode() == ModeSelectBand)
        SetTopMode(ModeSelectIdle);
    TVeskEventProc::EndGesture();
}

void TVeskSelectProc::StateInstalled()
{
    moved = false;
    dragArmed_ = false;
    // The selection as the document now holds it: commands act on it.
    if (root)
        collectSelection();
}

// Only what is selected is told: deselecting every object of the root tells
// each one, which has the drawing repainted and the index rebuilt whole.
void TVeskSelectProc::collectSelection()
{
    selectionList.clear();
    root->CollectSelected(selectionList, -1);
}

std::vector<TVeskObject*> TVeskSelectProc::selectedEntries() const
{
    std::vector<TVeskObject*> selected;
    for (TVeskObject* object : selectionList)
        if (object->IsSelected())
            selected.push_back(object);
    return selected;
}

void TVeskSelectProc::showSurfaces()
{
    Host().RefreshStyle();
    if (!selectionList.empty())
        Host().ShowSurfacesOf(selectionList);
}

// ---- mouse -------------------------------------------------------------

void TVeskSelectProc::MouseDown(std::uint32_t shift, PointF point)
{
    if (!root)
        return;
    switch (TopMode()) {
    case ModeSelectIdle:
        if (shift & ssLeft)
            leftDown(shift, point);
        else if (shift & ssRight)
            rightDown(point);
        break;
    case ModeSelectPressed:
        SetTopMode(ModeSelectIdle);
        break;
    case ModeSelectBand:
        if (shift & ssLeft) {
            anchor = point;
            if (!root->HitTest(point)) {
                DeselectAll();
                SetTopMode(ModeSelectIdle);
            }
            selectionList.clear();
            Host().RefreshStyle();
            RequestOverlay();
        }
        break;
    default:
        break;
    }
}

void TVeskSelectProc::leftDown(std::uint32_t shift, PointF point)
{
    anchor = point;
    Host().SetReferencePoint(point);
    dragArmed_ = root->HitTest(point);
    if (dragArmed_) {
        // A press on what is already selected keeps the whole selection, so
        // that it can be dragged; Shift adds to it; nothing toggles off.
        if (!root->HitTestSelected(point)) {
            if (!(shift & ssShift))
                DeselectAll();
            root->SelectAt(point);
        }
    } else {
        DeselectAll();
        SetTopMode(ModeSelectPressed);
    }
    collectSelection();
    RequestOverlay();
}

void TVeskSelectProc::rightDown(PointF point)
{
    anchor = point;
    Host().SetReferencePoint(point);
    dragArmed_ = false;
    if (root->HitTest(point)) {
        if (root->HitTestSelected(point)) {
            if (!selectionList.empty()) {
                std::size_t last = 0;
                for (std::size_t i = 0; i < selectionList.size(); ++i)
                    if (selectionList[i]->IsSelected())
                        last = i;
                for (TVeskObject* object : selectionList)
                    object->SetSelected(false);
                selectionList[(last + 1) % selectionList.size()]->SetSelected(true);
            }
        } else {
            DeselectAll();
            root->SelectAt(point);
            collectSelection();
            // Every object under the pointer stays listed for the next
            // right-clicks; the first alone is selected.
            for (std::size_t i = 1; i < selectionList.size(); ++i)
                selectionList[i]->SetSelected(false);
        }
    } else {
        DeselectAll();
        SetTopMode(ModeSelectPressed);
        selectionList.clear();
    }
    RequestOverlay();
}

void TVeskSelectProc::MouseMove(std::uint32_t shift, PointF point)
{
    if (!root)
        return;
    switch (TopMode()) {
    case ModeSelectIdle:
        if (!(shift & ssLeft))
            Host().ShowPosition(SnapIfOn(point));
        else if (dragArmed_)
            dragTo(point);
        break;
    case ModeSelectPressed:
        if ((shift & ssLeft) && TVeskRubberBand::Started(anchor, point, Host().View().Zoom()))
            SetTopMode(ModeSelectBand);
        break;
    case ModeSelectBand:
        if (shift & ssLeft) {
            Host().ShowPosition(point);
            band_.Show(Host(), anchor, point);
        }
        break;
    default:
        break;
    }
}

void TVeskSelectProc::dragTo(PointF point)
{
    point = StepFromAnchorIfOn(point);
    const float dx = point.X - anchor.X;
    const float dy = point.Y - anchor.Y;
    if (dx != 0.0f || dy != 0.0f) {
        if (!moved)
            Edit().Begin(QStringLiteral("移動"));
        moved = true;
        root->Translate(dx, dy, MatrixOrder::Append);
    }
    Host().ShowPosition(point);
    anchor = point;
    dragDrawn_ = false;
    RequestOverlay();
}

void TVeskSelectProc::RenderDocument()
{
    TVeskEventProc::RenderDocument();
    dragDrawn_ = true;
}

void TVeskSelectProc::RenderOverlay()
{
    TVeskEventProc::RenderOverlay();
    if (moved && !dragDrawn_ && root)
        drawDragged();
}

void TVeskSelectProc::drawDragged()
{
    TVeskToolHost& host = Host();
    QImage& screen = host.ScreenImage();
    if (screen.isNull())
        return;
    const std::vector<TVeskObject*> dragged = selectedEntries();
    const TVeskLayerList& layers = host.Document().Layers();
    // As the drawing shows them: shapes under a pixel as marks.
    TDrawStyle style = host.DrawStyle();
    style.pixelMarks = true;
    QPainter g(&screen);
    g.setWorldTransform(ToQTransform(host.View().ViewMatrix()));
    g.setRenderHint(QPainter::Antialiasing, true);
    for (int i = layers.LayerCount() - 1; i >= 0; --i)
        if (layers.LayerAt(i)->visible)
            for (const TVeskObject* object : dragged)
                object->Draw(g, i, style);
    for (const TVeskObject* object : dragged)
        object->DrawSelection(g, host.DrawStyle());
}

void TVeskSelectProc::MouseUp(std::uint32_t, PointF point)
{
    if (!root)
        return;
    switch (TopMode()) {
    case ModeSelectIdle:
        showSurfaces();
        anchor = SnapIfOn(point);
        dragArmed_ = false;
        if (moved) {
            Edit().Commit();
            moved = false;
        }
        RequestRedraw();
        break;
    case ModeSelectPressed:
        Host().RefreshStyle();
        RequestOverlay();
        SetTopMode(ModeSelectIdle);
        break;
    case ModeSelectBand:
        DeselectAll();
        root->SelectIn(TVeskRubberBand::Span(anchor, point));
        collectSelection();
        showSurfaces();
        RequestOverlay();
        SetTopMode(ModeSelectIdle);
        break;
    default:
        break;
    }
}

// ---- keys and commands ---------------------------------------------------

void TVeskSelectProc::KeyDown(int virtualKey)
{
    if (virtualKey == VkDelete) {
        DeleteClick();
        return;
    }
    switch (keyState.keys) {
    case kCtrlR:
        RotateClick();
        break;
    case kCtrlM:
        MirrorClick();
        break;
    case kCtrlG:
        GroupClick();
        break;
    case kCtrlShiftG:
        UngroupClick();
        break;
    default:
        break;
    }
}

void TVeskSelectProc::deleteObjects(const std::vector<TVeskObject*>& objects)
{
    std::map<TVeskContainer*, std::vector<TVeskObject*>> byOwner;
    for (TVeskObject* object : objects) {
        if (auto* owner = dynamic_cast<TVeskContainer*>(object->GetOwner()))
            byOwner[owner].push_back(object);
        else
            object->Delete();
    }
    for (auto& [owner, children] : byOwner)
        owner->RemoveChildren(children);
}

void TVeskSelectProc::DeleteClick()
{
    if (!root)
        return;
    // A command of the tool's own ends a drag under way as its own step.
    EndGesture();
    const std::vector<TVeskObject*> doomed = selectedEntries();
    if (doomed.empty())
        return;
    Edit().Begin(QStringLiteral("削除"));
    Host().RefreshStyle();
    deleteObjects(doomed);
    selectionList.clear();
    Edit().Commit();
    RequestRedraw();
}

PointF TVeskSelectProc::centreOf(const std::vector<TVeskObject*>& objects, bool snap) const
{
    RectF all;
    bool any = false;
    for (const TVeskObject* object : objects) {
        RectF bounds;
        if (!object->DrawnBounds(bounds))
            continue;
        all = any ? RectF::Union(all, bounds) : bounds;
        any = true;
    }
    PointF centre(all.X + all.Width / 2, all.Y + all.Height / 2);
    return snap ? SnapIfOn(centre) : centre;
}

void TVeskSelectProc::RotateClick()
{
    if (!root)
        return;
    EndGesture();
    // The turn acts on the selected entries, about the centre of every listed one.
    const PointF centre = centreOf(selectionList, true);
    Edit().Begin(QStringLiteral("回転"));
    for (TVeskObject* object : selectionList)
        object->RotateAt(90.0f, centre, MatrixOrder::Append);
    Edit().Commit();
    RequestRedraw();
}

void TVeskSelectProc::MirrorClick()
{
    if (!root)
        return;
    EndGesture();
    const PointF centre = centreOf(selectionList, true);
    Matrix mirror;
    mirror.Translate(-centre.X, -centre.Y, MatrixOrder::Append);
    mirror.Scale(-1.0f, 1.0f, MatrixOrder::Append);
    mirror.Translate(centre.X, centre.Y, MatrixOrder::Append);
    Edit().Begin(QStringLiteral("反転"));
    for (TVeskObject* object : selectionList)
        object->MultiplyMatrix(mirror, MatrixOrder::Append);
    Edit().Commit();
    RequestRedraw();
}

void TVeskSelectProc::GroupClick()
{
    if (!root)
        return;
    EndGesture();
    const std::vector<TVeskObject*> members = selectedEntries();
    if (members.size() < 2)
        return;
    Edit().Begin(QStringLiteral("グループ化"));
    auto* group = static_cast<TVeskGroup*>(root->Add(TVeskGroup()));
    Host().RefreshStyle();
    for (TVeskObject* member : members)
        group->Add(*member);
    deleteObjects(members);
    selectionList.clear();
    Edit().Commit();
    RequestRedraw();
}

void TVeskSelectProc::UngroupClick()
{
    if (!root)
        return;
    EndGesture();
    std::vector<TVeskObject*> groups;
    Edit().Begin(QStringLiteral("グループ解除"));
    for (TVeskObject* object : selectedEntries()) {
        if (auto* group = dynamic_cast<TVeskGroup*>(object)) {
            group->UngroupInto(*root);
            groups.push_back(group);
        }
    }
    deleteObjects(groups);
    selectionList.clear();
    Edit().Commit();
    RequestRedraw();
}

void TVeskSelectProc::NumericClick()
{
    if (!root || std::ranges::find(modes, ModeSelectNumeric) != modes.end())
        return;
    EndGesture();
    if (selectedEntries().empty())
        return;
    // The mouse rests while the dialog is up.
    PushMode(ModeSelectNumeric);
    TVeskNumericMove move;
    move.absolute = numericAbsolute_;
    const PointF centre = centreOf(selectedEntries(), true);
    move.centreXMm = centre.X * 0.1;
    move.centreYMm = centre.Y * 0.1;
    const bool accepted = Host().AskNumericMove(move);
    std::erase(modes, std::int32_t(ModeSelectNumeric));
    if (accepted)
        numericAbsolute_ = move.absolute;
    if (accepted && root)
        applyNumericMove(move);
}

void TVeskSelectProc::applyNumericMove(const TVeskNumericMove& move)
{
    const auto valid
        = [](double value, double limit) { return std::isfinite(value) && std::fabs(value) <= limit; };
    if (!valid(move.dxMm, TVeskNumericMove::MaxOffsetMm) || !valid(move.dyMm, TVeskNumericMove::MaxOffsetMm)
        || !valid(move.angle, TVeskNumericMove::MaxAngle))
        return;
    const std::vector<TVeskObject*> selected = selectedEntries();
    if (selected.empty() || (!move.absolute && move.dxMm == 0.0 && move.dyMm == 0.0 && move.angle == 0.0))
        return;
    Edit().Begin(QStringLiteral("数値入力"));
    if (move.angle != 0.0) {
        const PointF centre = centreOf(selected, false);
        for (TVeskObject* object : selected)
            object->RotateAt(float(move.angle), centre, MatrixOrder::Append);
    }
    // A place is reached from where the turned selection's snapped centre is.
    const PointF from = move.absolute ? centreOf(selected, true) : PointF(0, 0);
    const float dx = float(move.dxMm * 10.0) - from.X;
    const float dy = float(move.dyMm * 10.0) - from.Y;
    if (dx != 0.0f || dy != 0.0f)
        for (TVeskObject* object : selected)
            object->Translate(dx, dy, MatrixOrder::Append);
    Edit().Commit();
    Host().RefreshStyle();
    RequestRedraw();
}

} // namespace vesk
