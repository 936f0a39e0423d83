#pragma once

#include "geometry/PointF.h"
#include "model/Vesksurface.h"

#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QImage;

namespace vesk {

class TDrawStyle;
class TVeskDocument;
class TVeskEventProc;
class TVeskEdit;
class TVeskObject;
class TVeskView;

// Grid of the status tab: pitch in document units, snapping and display switches.
struct TVeskGridSettings {
    double pitch = 12.7;
    bool snap = true;
    bool showGrid = true;
};

enum class TVeskCursor { Default = 0, Pan = 10 };

// What the text dialog edits: the text, its font family, style and em size
// in document units.
struct TVeskTextRequest {
    QString text;
    QString family;
    int style = 0;
    float size = 40.0f;
};

// A move of the selection typed by the user: offsets in millimetres, or
// with `absolute` the place of the selection's snapped centre, and a turn
// in degrees (clockwise on screen) about the selection's centre, made
// first. Values beyond the limits are refused where they are typed.
struct TVeskNumericMove {
    static constexpr double MaxOffsetMm = 1000.0;
    static constexpr double MaxAngle = 360.0;
    double dxMm = 0.0;
    double dyMm = 0.0;
    double angle = 0.0;
    bool absolute = false;
    // Where the snapped centre is now, in millimetres: what the absolute
    // fields start from.
    double centreXMm = 0.0;
    double centreYMm = 0.0;
};

// Everything a tool needs from the window it works in. The main window
// implements it; tests implement it with a fake. A tool never sees a widget:
// it reads and replaces the document, changes the view, renders into the two
// off-screen images and hands the finished one over to be shown, and asks for
// option buttons, cursors, status-bar texts and modal choices through here.
class TVeskToolHost {
public:
    virtual ~TVeskToolHost() = default;

    // The open document: its layer list and its root. When undo, redo or a
    // command may have taken objects out of it, the tool calls RootReplaced:
    // whatever lists objects of it lets go.
    virtual TVeskDocument& Document() = 0;
    virtual void RootReplaced() { }

    virtual TVeskView& View() = 0;
    virtual TDrawStyle& DrawStyle() = 0;
    // Work-area rectangle in document units.
    virtual RectF WorkArea() const = 0;
    virtual TVeskGridSettings& Grid() = 0;
    // The document's edit transaction and, through it, its history.
    virtual TVeskEdit& Edit() = 0;

    // The rendered drawing and the drawing with the overlay. Tools size and
    // paint them; the window only keeps them.
    virtual QImage& DrawingImage() = 0;
    virtual QImage& ScreenImage() = 0;
    // Show this image in the drawing area now, at (0, 0), in window pixels.
    virtual void PresentImage(const QImage& image) = 0;
    // A tool has requests pending: call its OnIdle once the event queue is
    // empty (one call serves any number of requests).
    virtual void ScheduleIdle() = 0;

    // The tool that receives the window's mouse, wheel, key, paint and resize
    // events and the Undo and Redo menu items; null detaches.
    virtual void SetEventHandler(TVeskEventProc* handler) = 0;
    // A tool button's enabled or down state changed.
    virtual void ToolButtonsChanged() { }
    // Option buttons stack below the tool buttons in the order they are added.
    virtual void AddOptionButton(const QString& glyphName, const QString& hint, std::function<void()> onClick)
        = 0;
    virtual void ClearOptionButtons() = 0;

    virtual void SetCursor(TVeskCursor cursor) = 0;
    // Status bar: pointer position and the reference point of relative readings.
    virtual void ShowPosition(PointF point) = 0;
    virtual void SetReferencePoint(PointF point) = 0;
    // A passing message in the status bar: a refusal, or what a command did
    // besides what was asked.
    virtual void ShowMessage(const QString& text) = 0;

    // Layer window's current layer is Document().Layers().CurrentLayer();
    // the surface new objects get comes from the surface tab.
    virtual TVeskSurface CurrentSurface() const { return {}; }
    // The surface tab shows the style of the current selection again.
    virtual void RefreshStyle() { }
    // The surface tab lists these objects' surfaces for editing; objects
    // without an editable surface are skipped. The tool calls RefreshStyle
    // before any listed object goes away.
    virtual void ShowSurfacesOf(const std::vector<TVeskObject*>& /*objects*/) { }

    // Modal text dialog; false when cancelled.
    virtual bool AskText(TVeskTextRequest& request) = 0;
    // Modal numeric input dialog, starting from the values given; false
    // when cancelled.
    virtual bool AskNumericMove(TVeskNumericMove& /*move*/) { return false; }
    // Modal library window; a copy of the chosen part on the document's
    // layers (those it lacks added), or null when cancelled or nothing was
    // chosen. Called inside an open step, which records the added layers.
    virtual std::unique_ptr<TVeskObject> PickLibraryPart() = 0;
    // The same for the pad chosen in the pad list; null when there is none.
    virtual std::unique_ptr<TVeskObject> NewPad() = 0;
};

} // namespace vesk
