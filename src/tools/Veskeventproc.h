#pragma once

#include "Veskkeystate.h"
#include "Veskmodes.h"
#include "geometry/PointF.h"

#include <QMetaObject>
#include <QPoint>
#include <QString>
#include <Qt>
#include <cstdint>
#include <memory>
#include <vector>

namespace vesk {

class TVeskPart;
class TVeskToolBar;
struct TRenderView;
class TVeskToolHost;
class TVeskObject;
class TVeskLayer;
class TVeskEdit;

// Shift state delivered with a mouse event. On a release the released button
// is no longer in the set.
enum TShiftState : std::uint32_t {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};

// The shift state of a Qt mouse event.
std::uint32_t ShiftStateFromQt(
    Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick = false);

// The base of every tool. A tool turns the drawing window's pointer, wheel and
// key input into edits of the document; exactly one is active at a time and
// receives the window's events through the host. The framework handles what
// every tool shares: a stack of modes over the tool's own idle mode (pan with
// Space, click zoom with Space+X / Space+Z), pixel to document conversion,
// wheel and button zoom, deferred rendering (requests only set flags, and
// OnIdle renders once per burst at the lowest level that suffices: document
// image, overlay, or just presenting the finished image), and undo and redo
// of the document history with everything that installing a state involves.
// A tool is not a widget; its button lives in the editor and reflects its
// enabled/down state.
class TVeskEventProc {
public:
    static constexpr double WheelStep = 1.4142135623730951;

    TVeskEventProc(
        TVeskToolBar& toolBar, QString toolName, QString glyphName, QString hint, std::int32_t idleMode);
    virtual ~TVeskEventProc();
    TVeskEventProc(const TVeskEventProc&) = delete;
    TVeskEventProc& operator=(const TVeskEventProc&) = delete;

    const QString& GetToolName() const { return toolName; }
    const QString& GlyphName() const { return glyphName; }
    const QString& Hint() const { return hint; }

    // Tool button state, owned by the tool bar's switching.
    bool IsEnabled() const { return enabled_; }
    bool IsDown() const { return down_; }
    bool IsActive() const { return active_; }
    void SetButtonState(bool enabled, bool down);

    // Attaches the tool to the window and adds its option buttons (the tool's
    // own first, then finish, zoom in, zoom out).
    virtual void Activate();
    // Detaches it, removes the option buttons and forgets the held keys.
    virtual void Deactivate();

    // Window events, as the host delivers them. Pixels are window pixels.
    void WindowMouseDown(std::uint32_t shift, QPoint pixel);
    void WindowMouseMove(std::uint32_t shift, QPoint pixel);
    void WindowMouseUp(std::uint32_t shift, QPoint pixel);
    // Returns true: the wheel is always consumed while a tool is active.
    bool WindowMouseWheel(int delta);
    // Virtual-key codes; never marks the key handled. Deliver auto-repeated
    // presses as key-downs and drop the auto-repeated releases. Ctrl+Z and
    // Ctrl+Y (exactly those keys held) are the framework's: each press calls
    // UndoClick or RedoClick and does not reach KeyDown.
    void WindowKeyDown(int virtualKey);
    void WindowKeyUp(int virtualKey);
    void WindowPaint();
    void WindowResize(int width, int height);
    // The application lost the keyboard: every held key is released as if
    // its key-up had arrived, so a temporary mode cannot stay stuck.
    void ReleaseKeys();
    // Ctrl and Shift as a key or mouse event reports them (ssCtrl, ssShift):
    // a press or release of either that went elsewhere (to a dialog, to
    // another program) is caught up before the event itself is handled. The
    // key of a key event is left to that event.
    void FollowModifiers(std::uint32_t shift, int eventVirtualKey = 0);
    // Carries out the pending requests; the host calls it when idle.
    void OnIdle();

    virtual void RenderDocument();
    virtual void RenderOverlay();
    virtual void Present();
    virtual void DrawGrid();

    void RequestRender();
    void RequestOverlay();
    void RequestPresent();
    void RequestRedraw();
    bool RenderPending() const { return renderPending; }
    bool OverlayPending() const { return overlayPending; }
    bool PresentPending() const { return presentPending; }

    void RebuildDocument();

    // Ends the gesture under way (a drag, a path being built), each tool in
    // its documented way, so that a command from outside the tool (menu,
    // shortcut, dialog, clipboard, open, new) finds no step open. The base
    // commits a step left open.
    virtual void EndGesture();
    // A command from outside the tool changed the document, or undo or redo
    // did: the kept lists are emptied, the tool forgets what else it held
    // (StateInstalled), the windows let go of the objects they list
    // (RootReplaced), the style tab follows the selection and the drawing
    // is redrawn. So no tool keeps a pointer to an object across a command.
    void DocumentChanged();
    // Whether a style change of the object editor belongs to the gesture
    // under way (the path being built) rather than being a step of its own;
    // then StyleChanged is told once the step's objects changed.
    virtual bool StyleJoinsGesture() const { return false; }
    virtual void StyleChanged() { }

    // The Undo and Redo menu items, Ctrl+Z and Ctrl+Y. Step the document
    // history and install the state it hands back (see StateInstalled). A
    // tool with a history of its own (the path being drawn steps through its
    // anchors) overrides these and steps the document with UndoDocument and
    // RedoDocument when its own history has nothing to step.
    virtual void UndoClick();
    virtual void RedoClick();
    virtual void ZoomInClick();
    virtual void ZoomOutClick();
    // Zooms and scrolls so that everything drawn fills the window with a
    // margin; the work area when nothing is drawn.
    void ZoomToFit();
    // The same for the selected objects; with nothing selected the view
    // stays and the status bar says why.
    void ZoomToSelection();
    // Fills the drawing with the rectangle (document units), never closer
    // than a few millimetres across.
    void ZoomTo(const RectF& area);
    virtual void FinishClick() { }

    std::int32_t TopMode() const { return modes.back(); }
    const std::vector<std::int32_t>& Modes() const { return modes; }
    const TVeskKeyState& KeyState() const { return keyState; }
    PointF Anchor() const { return anchor; }
    TVeskPart* Root() const { return root; }

protected:
    virtual void MouseDown(std::uint32_t shift, PointF point) = 0;
    virtual void MouseMove(std::uint32_t shift, PointF point) = 0;
    virtual void MouseUp(std::uint32_t shift, PointF point) = 0;
    virtual void KeyDown(int virtualKey) = 0;
    virtual void KeyUp(int virtualKey) = 0;
    // Called by Activate before the three framework buttons are added.
    virtual void AddOwnOptionButtons() { }
    // A layer's name, colour or flags changed while the tool is active. When
    // the layer is now hidden or locked, the document has already dropped its
    // objects from the selection; the kept lists drop what is no longer
    // selected. Redraws.
    virtual void LayerChanged(TVeskLayer& layer);

    // Ends the gesture, then steps the document history back or forward
    // and follows with DocumentChanged. False when there was no step; then
    // nothing changed.
    bool UndoDocument();
    bool RedoDocument();
    // Objects of the document may be gone (undo, redo, a command); the kept
    // lists are already empty. A tool forgets here whatever else it held of
    // the document (the shape being dragged out, the text being edited) or
    // takes it afresh (the selection). Runs after the style refresh and
    // before the redraw request.
    virtual void StateInstalled() { }

    // The document's edit transaction: every change goes through it.
    TVeskEdit& Edit() const;
    // The layer a new shape goes on, the current one. Null, with the reason
    // in the status bar, when it is locked or there is none. A hidden one is
    // shown, and the status bar says so, unless only asked (`show` false),
    // as before a dialog the user may cancel.
    TVeskLayer* LayerForNewShape(bool show = true) const;

    // A list of objects of the live document the tool keeps (the selection,
    // the objects being point-edited), a member of the tool. The framework
    // empties it when a new root is installed and when the tool is
    // deactivated, and drops its entries that left the selection when a
    // layer changes; so it never points into a document that is gone.
    void KeepObjectList(std::vector<TVeskObject*>& list);

    void SetTopMode(std::int32_t mode) { modes.back() = mode; }
    void PushMode(std::int32_t mode) { modes.push_back(mode); }
    void PopMode();

    TVeskToolHost& Host() const;
    TVeskToolBar& ToolBar() const { return toolBar_; }
    PointF PixelToDocument(QPoint pixel) const;
    // SnapToGrid with the grid's pitch when snapping is on.
    PointF SnapIfOn(PointF point) const;
    // The point moved to whole grid steps from `anchor` when snapping is on,
    // so that dragged objects keep their offset from the grid.
    PointF StepFromAnchorIfOn(PointF point) const;
    // Deselects the selected objects one by one, leaving the rest untouched
    // (and so not repainted).
    void DeselectAll();

    PointF anchor;
    std::vector<std::int32_t> modes;
    TVeskKeyState keyState;
    TVeskPart* root = nullptr;
    QString toolName;
    QString glyphName;
    QString hint;
    bool renderPending = false;
    bool overlayPending = false;
    bool presentPending = false;

private:
    // UndoDocument and RedoDocument, by the history's step.
    bool stepDocument(bool (TVeskEdit::*step)());
    TRenderView renderView() const;
    void zoomed();
    void panPreview(PointF point);

    void emptyKeptLists();

    TVeskToolBar& toolBar_;
    std::vector<std::vector<TVeskObject*>*> keptLists_;
    bool enabled_ = false;
    bool down_ = false;
    bool active_ = false;
    // A left press in pan mode started a drag; only that drag scrolls.
    bool panDragging_ = false;
    // To the layer list's change notification while active.
    QMetaObject::Connection layerWatch_;
};

} // namespace vesk
