#include "Veskshapedragproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

namespace vesk {

TVeskShapeDragProc::TVeskShapeDragProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
{
}

void TVeskShapeDragProc::MouseDown(std::uint32_t shift, PointF point)
{
    if (!(shift & ssLeft))
        return;
    anchor = point;
    if (!shape && root) {
        TVeskLayerList& layers = Host().Document().Layers();
        shape = root->Adopt(NewShape(layers.CurrentLayer(), Host().CurrentSurface()));
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
        if (made)
            Host().History().Record(*root);
        else
            shape->Delete();
        shape = nullptr;
    }
    RequestRedraw();
}

void TVeskShapeDragProc::Deactivate()
{
    if (shape && root) {
        shape->SetInProgress(false);
        Host().History().Record(*root);
    }
    shape = nullptr;
    TVeskEventProc::Deactivate();
    Host().RefreshStyle();
}

} // namespace vesk
