#include "Veskshapedragproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

namespace vesk {

TVeskShapeDragProc::TVeskShapeDragProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
    , step_(QString::fromUtf8(info.step))
{
}

void TVeskShapeDragProc::MouseDown(std::uint32_t shift, PointF point)
{
    if (!(shift & ssLeft))
        return;
    anchor = point;
    if (!shape && root) {
        TVeskLayer* layer = LayerForNewShape();
        if (!layer)
            return;
        Edit().Begin(step_);
        shape = root->Adopt(NewShape(layer, Host().CurrentSurface()));
        shape->SetInProgress(true);
        anchor = SnapIfOn(point);
        Host().RefreshStyle();
        Host().ShowSurfacesOf({ shape });
    }
    Host().SetReferencePoint(anchor);
    RequestOverlay();
}

void TVeskShapeDragProc::MouseMove(std::uint32_t shift, PointF point)
{
    if (!(shift & ssLeft)) {
        Host().ShowPosition(SnapIfOn(point));
        return;
    }
    if (shape) {
        point = SnapIfOn(point);
        Place(*shape, anchor, point);
    }
    Host().ShowPosition(point);
    RequestOverlay();
}

void TVeskShapeDragProc::MouseUp(std::uint32_t, PointF point)
{
    if (shape) {
        point = SnapIfOn(point);
        const bool made = !(point == anchor);
        shape->SetInProgress(false);
        root->SetSelected(false);
        // The surface tab lets go of the shape before it may go.
        Host().RefreshStyle();
        shape = nullptr;
        if (made)
            Edit().Commit();
        else
            Edit().Revert();
    }
    RequestRedraw();
}

void TVeskShapeDragProc::Deactivate()
{
    if (shape && root) {
        shape->SetInProgress(false);
        shape = nullptr;
        Edit().Commit();
    }
    shape = nullptr;
    TVeskEventProc::Deactivate();
    Host().RefreshStyle();
}

// A shape half dragged out is dropped: the command comes first.
void TVeskShapeDragProc::EndGesture()
{
    if (shape) {
        Host().RefreshStyle();
        shape = nullptr;
        Edit().Revert();
        RequestRedraw();
    }
    TVeskEventProc::EndGesture();
}

void TVeskShapeDragProc::StateInstalled()
{
    shape = nullptr;
}

} // namespace vesk
