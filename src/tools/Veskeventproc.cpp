#include "Veskeventproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "Veskview.h"
#include "io/Veskdocument.h"
#include "model/Colorstyle.h"
#include "model/Veskedit.h"
#include "model/Vesklayerlist.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskpart.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace vesk {

std::uint32_t ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick)
{
    std::uint32_t s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    if (doubleClick)
        s |= ssDouble;
    return s;
}

TVeskEventProc::TVeskEventProc(
    TVeskToolBar& toolBar, QString toolName, QString glyphName, QString hint, std::int32_t idleMode)
    : modes { idleMode }
    , toolName(std::move(toolName))
    , glyphName(std::move(glyphName))
    , hint(std::move(hint))
    , toolBar_(toolBar)
{
}

// The host may already be half torn down when the tool bar goes, so a tool
// reaches nothing outside itself here; the editor deactivates tools first.
// The connection is only cut: it is safe whether or not the list still exists.
TVeskEventProc::~TVeskEventProc()
{
    QObject::disconnect(layerWatch_);
}

TVeskToolHost& TVeskEventProc::Host() const
{
    return toolBar_.Host();
}

void TVeskEventProc::SetButtonState(bool enabled, bool down)
{
    if (enabled == enabled_ && down == down_)
        return;
    enabled_ = enabled;
    down_ = down;
    Host().ToolButtonsChanged();
}

void TVeskEventProc::Activate()
{
    active_ = true;
    Host().SetEventHandler(this);
    root = &Host().Document().Root();
    QObject::disconnect(layerWatch_);
    layerWatch_ = QObject::connect(
        &Host().Document().Layers(), &TVeskLayerList::layerChanged, [this](TVeskLayer* layer) {
            if (layer)
                LayerChanged(*layer);
        });
    AddOwnOptionButtons();
    toolBar_.AddOptionButton(
        QStringLiteral("Bitmap\\OK.bmp"), QStringLiteral("操作を終了します"), [this] { FinishClick(); });
    toolBar_.AddOptionButton(
        QStringLiteral("Bitmap\\Zin.bmp"), QStringLiteral("画面を拡大します"), [this] { ZoomInClick(); });
    toolBar_.AddOptionButton(
        QStringLiteral("Bitmap\\Zout.bmp"), QStringLiteral("画面を縮小します"), [this] { ZoomOutClick(); });
}

void TVeskEventProc::Deactivate()
{
    // Nothing the tool opened stays open once it is let go.
    if (active_) {
        Edit().Commit();
        Host().SetEventHandler(nullptr);
    }
    active_ = false;
    root = nullptr;
    emptyKeptLists();
    QObject::disconnect(layerWatch_);
    toolBar_.ClearOptionButtons();
    keyState.Reset();
    // The held keys are forgotten, so no key-up would ever end a pan or click
    // zoom left on top; the tool must come back in its own mode.
    bool wasPanning = false;
    while (modes.size() > 1 && IsFrameworkMode(modes.back())) {
        wasPanning = wasPanning || modes.back() == ModePan;
        modes.pop_back();
    }
    if (wasPanning)
        Host().SetCursor(TVeskCursor::Default);
    panDragging_ = false;
}

void TVeskEventProc::PopMode()
{
    if (modes.size() > 1)
        modes.pop_back();
}

PointF TVeskEventProc::PixelToDocument(QPoint pixel) const
{
    return Host().View().PixelToDocument(pixel);
}

PointF TVeskEventProc::StepFromAnchorIfOn(PointF point) const
{
    const TVeskGridSettings& grid = Host().Grid();
    if (grid.snap)
        TVeskView::SnapDelta(point, anchor, grid.pitch);
    return point;
}

void TVeskEventProc::DeselectAll()
{
    if (!root)
        return;
    std::vector<TVeskObject*> selected;
    root->CollectSelected(selected, -1);
    for (TVeskObject* object : selected)
        object->SetSelected(false);
}

PointF TVeskEventProc::SnapIfOn(PointF point) const
{
    const TVeskGridSettings& grid = Host().Grid();
    if (grid.snap)
        TVeskView::SnapToGrid(point, grid.pitch);
    return point;
}

void TVeskEventProc::WindowMouseDown(std::uint32_t shift, QPoint pixel)
{
    const PointF point = PixelToDocument(pixel);
    switch (TopMode()) {
    case ModePan:
        if (shift & ssLeft) {
            anchor = point;
            panDragging_ = true;
        }
        break;
    case ModeZoomIn:
    case ModeZoomOut:
        if (shift & ssLeft) {
            anchor = point;
            Host().View().ZoomAt(TopMode() == ModeZoomIn ? 2.0 : 0.5, point);
            zoomed();
        }
        break;
    default:
        MouseDown(shift, point);
        break;
    }
}

void TVeskEventProc::WindowMouseMove(std::uint32_t shift, QPoint pixel)
{
    // Moves over the menu or title bar arrive with negative y.
    if (pixel.y() < 0)
        return;
    const PointF point = PixelToDocument(pixel);
    if (TopMode() == ModePan) {
        if ((shift & ssLeft) && panDragging_)
            panPreview(point);
        return;
    }
    MouseMove(shift, point);
}

void TVeskEventProc::WindowMouseUp(std::uint32_t shift, QPoint pixel)
{
    const PointF point = PixelToDocument(pixel);
    if (TopMode() == ModePan) {
        // Only a drag that began in pan mode scrolls: the anchor of any other
        // press is some tool's point and would throw the view off.
        if (panDragging_) {
            panDragging_ = false;
            Host().View().Scroll(double(point.X) - anchor.X, double(point.Y) - anchor.Y);
            RequestRender();
        }
        return;
    }
    MouseUp(shift, point);
}

void TVeskEventProc::panPreview(PointF point)
{
    const double zoom = Host().View().Zoom();
    const QImage& drawing = Host().DrawingImage();
    QImage& screen = Host().ScreenImage();
    if (screen.size() != drawing.size() || screen.format() != drawing.format())
        screen = QImage(
            drawing.size(), drawing.isNull() ? QImage::Format_ARGB32_Premultiplied : drawing.format());
    screen.fill(Qt::white);
    {
        QPainter g(&screen);
        g.drawImage(QPoint(int((point.X - anchor.X) * zoom), int((point.Y - anchor.Y) * zoom)), drawing);
    }
    Host().PresentImage(screen);
}

bool TVeskEventProc::WindowMouseWheel(int delta)
{
    Host().View().ZoomBy(delta > 0 ? WheelStep : 1.0 / WheelStep);
    zoomed();
    return true;
}

void TVeskEventProc::ZoomInClick()
{
    Host().View().ZoomBy(2.0);
    zoomed();
}

void TVeskEventProc::ZoomOutClick()
{
    Host().View().ZoomBy(0.5);
    zoomed();
}

void TVeskEventProc::ZoomToFit()
{
    TVeskToolHost& host = Host();
    RectF bounds;
    if (!host.Document().Root().DrawnBounds(bounds))
        bounds = host.WorkArea();
    host.View().Fit(bounds);
    zoomed();
}

void TVeskEventProc::ZoomToSelection()
{
    RectF bounds;
    if (!root || !root->GetSelectedBounds(bounds)) {
        Host().ShowMessage(QStringLiteral("選択されたオブジェクトがありません。"));
        return;
    }
    ZoomTo(bounds);
}

void TVeskEventProc::ZoomTo(const RectF& area)
{
    // A lone pad would fill the window: never closer than a few millimetres across.
    constexpr float kSmallest = 50.0f;
    const float w = std::max(area.Width, kSmallest), h = std::max(area.Height, kSmallest);
    Host().View().Fit({ area.X + (area.Width - w) / 2, area.Y + (area.Height - h) / 2, w, h });
    zoomed();
}

void TVeskEventProc::zoomed()
{
    if (root)
        root->SetViewScale(Host().View().Zoom());
    RequestRedraw();
}

void TVeskEventProc::WindowKeyDown(int virtualKey)
{
    keyState.KeyDown(virtualKey);
    const std::uint32_t keys = keyState.keys;
    if (keys == TVeskKeyState::Space && TopMode() != ModePan) {
        PushMode(ModePan);
        Host().SetCursor(TVeskCursor::Pan);
        return;
    }
    if (keys == (TVeskKeyState::Space | TVeskKeyState::X) && TopMode() != ModeZoomIn) {
        PushMode(ModeZoomIn);
        return;
    }
    if (keys == (TVeskKeyState::Space | TVeskKeyState::Z) && TopMode() != ModeZoomOut) {
        PushMode(ModeZoomOut);
        return;
    }
    // One step per press; a held chord's repeated presses keep stepping.
    if (keys == (TVeskKeyState::Ctrl | TVeskKeyState::Z)) {
        UndoClick();
        return;
    }
    if (keys == (TVeskKeyState::Ctrl | TVeskKeyState::Y)) {
        RedoClick();
        return;
    }
    KeyDown(virtualKey);
}

void TVeskEventProc::WindowKeyUp(int virtualKey)
{
    keyState.KeyUp(virtualKey);
    const std::uint32_t keys = keyState.keys;
    if (keys != TVeskKeyState::Space && TopMode() == ModePan) {
        PopMode();
        Host().SetCursor(TVeskCursor::Default);
        if (panDragging_) {
            // The preview replaced the screen image; compose it again.
            panDragging_ = false;
            RequestOverlay();
        }
        return;
    }
    if (keys != (TVeskKeyState::Space | TVeskKeyState::X) && TopMode() == ModeZoomIn) {
        PopMode();
        return;
    }
    if (keys != (TVeskKeyState::Space | TVeskKeyState::Z) && TopMode() == ModeZoomOut) {
        PopMode();
        return;
    }
    KeyUp(virtualKey);
}

void TVeskEventProc::ReleaseKeys()
{
    static constexpr int keyOrder[] = { 'X', 'Y', 'Z', 'R', 'M', 'G', 0x10, 0x11, 0x20 };
    for (int vk : keyOrder)
        if (keyState.keys & TVeskKeyState::BitOfVirtualKey(vk))
            WindowKeyUp(vk);
}

void TVeskEventProc::FollowModifiers(std::uint32_t shift, int eventVirtualKey)
{
    static constexpr struct {
        int virtualKey;
        std::uint32_t flag;
    } modifiers[] = { { 0x11, ssCtrl }, { 0x10, ssShift } };
    for (const auto& m : modifiers) {
        if (m.virtualKey == eventVirtualKey)
            continue;
        const bool held = (keyState.keys & TVeskKeyState::BitOfVirtualKey(m.virtualKey)) != 0;
        if (held && !(shift & m.flag))
            WindowKeyUp(m.virtualKey);
        else if (!held && (shift & m.flag))
            WindowKeyDown(m.virtualKey);
    }
}

void TVeskEventProc::WindowPaint()
{
    // The window repaints from the image it was last given, so a paint only
    // asks for work when nothing of the current size has been composed yet.
    // Asking for a present on every paint would loop: present, paint, present.
    const TVeskView& view = Host().View();
    if (Host().ScreenImage().size() != QSize(view.Width(), view.Height()))
        RequestRedraw();
}

void TVeskEventProc::WindowResize(int width, int height)
{
    Host().View().ResizeView(width, height);
    RequestRedraw();
}

void TVeskEventProc::LayerChanged(TVeskLayer&)
{
    for (std::vector<TVeskObject*>* list : keptLists_)
        std::erase_if(*list, [](const TVeskObject* object) { return !object->IsSelected(); });
    RequestRedraw();
}

void TVeskEventProc::KeepObjectList(std::vector<TVeskObject*>& list)
{
    keptLists_.push_back(&list);
}

void TVeskEventProc::emptyKeptLists()
{
    for (std::vector<TVeskObject*>* list : keptLists_)
        list->clear();
}

void TVeskEventProc::RequestRender()
{
    renderPending = true;
    Host().ScheduleIdle();
}

void TVeskEventProc::RequestOverlay()
{
    overlayPending = true;
    Host().ScheduleIdle();
}

void TVeskEventProc::RequestPresent()
{
    presentPending = true;
    Host().ScheduleIdle();
}

void TVeskEventProc::RequestRedraw()
{
    RequestRender();
}

void TVeskEventProc::OnIdle()
{
    // Taken before the work so that a request made while rendering (the
    // window painting what it was just given) is kept for the next pass.
    const bool render = renderPending;
    const bool overlay = overlayPending;
    const bool present = presentPending;
    renderPending = overlayPending = presentPending = false;
    if (render) {
        RenderDocument();
        RenderOverlay();
        Present();
    } else if (overlay) {
        RenderOverlay();
        Present();
    } else if (present) {
        Present();
    }
}

TRenderView TVeskEventProc::renderView() const
{
    TVeskToolHost& host = Host();
    const TVeskView& view = host.View();
    TRenderView rv;
    rv.viewMatrix = view.ViewMatrix();
    rv.zoom = view.Zoom();
    rv.workArea = host.WorkArea();
    rv.gridPitch = host.Grid().pitch;
    // The grid is this framework's own step, after the layers.
    rv.showGrid = false;
    return rv;
}

void TVeskEventProc::RenderDocument()
{
    TVeskToolHost& host = Host();
    const TVeskView& view = host.View();
    QImage& drawing = host.DrawingImage();
    const QSize size(view.Width(), view.Height());
    if (drawing.size() != size || drawing.format() != QImage::Format_ARGB32_Premultiplied)
        drawing = QImage(size, QImage::Format_ARGB32_Premultiplied);
    TVeskDocument& document = host.Document();
    // Only what changed since the last frame is painted again; the grid
    // goes over it there.
    TRenderView kept = renderView();
    kept.showGrid = host.Grid().showGrid;
    toolBar_.Renderer().RenderKept(drawing, document.Root(), document.Layers(), host.DrawStyle(), kept);
}

void TVeskEventProc::RenderOverlay()
{
    TVeskToolHost& host = Host();
    toolBar_.Renderer().RenderOverlay(
        host.ScreenImage(), host.DrawingImage(), host.Document().Root(), host.DrawStyle(), renderView());
}

void TVeskEventProc::Present()
{
    Host().PresentImage(Host().ScreenImage());
}

void TVeskEventProc::DrawGrid()
{
    TVeskToolHost& host = Host();
    TVeskRenderer::DrawGrid(host.DrawingImage(), host.DrawStyle().gridColor, renderView());
}

void TVeskEventProc::RebuildDocument()
{
    if (root)
        root->Rebuild();
}

TVeskEdit& TVeskEventProc::Edit() const
{
    return Host().Edit();
}

TVeskLayer* TVeskEventProc::LayerForNewShape(bool show) const
{
    TVeskLayer* layer = Host().Document().Layers().CurrentLayer();
    if (!layer) {
        Host().ShowMessage(QStringLiteral("描画するレイヤーがありません。"));
        return nullptr;
    }
    if (layer->locked) {
        Host().ShowMessage(
            QStringLiteral("レイヤー「%1」はロックされています。ロックを外してから描いてください。")
                .arg(layer->Name()));
        return nullptr;
    }
    if (!layer->visible && show) {
        // A shape on a hidden layer would vanish on release.
        layer->SetVisible(true);
        Host().ShowMessage(QStringLiteral("非表示だったレイヤー「%1」を表示しました。").arg(layer->Name()));
    }
    return layer;
}

void TVeskEventProc::EndGesture()
{
    Edit().Commit();
}

void TVeskEventProc::UndoClick()
{
    UndoDocument();
}

void TVeskEventProc::RedoClick()
{
    RedoDocument();
}

bool TVeskEventProc::UndoDocument()
{
    return stepDocument(&TVeskEdit::Undo);
}

bool TVeskEventProc::RedoDocument()
{
    return stepDocument(&TVeskEdit::Redo);
}

bool TVeskEventProc::stepDocument(bool (TVeskEdit::*step)())
{
    EndGesture();
    if (!(Edit().*step)())
        return false;
    DocumentChanged();
    return true;
}

void TVeskEventProc::DocumentChanged()
{
    TVeskToolHost& host = Host();
    if (active_)
        root = &host.Document().Root();
    emptyKeptLists();
    host.RootReplaced();
    host.RefreshStyle();
    StateInstalled();
    RequestRedraw();
}

} // namespace vesk
