#pragma once

#include "geometry/Matrix.h"
#include "geometry/PointF.h"

namespace vesk {

// What the drawing view shows besides the objects, and where: the placement
// of the document in the image, the zoom that placement carries, the board
// frame and the grid. The window that owns the view fills one in for every
// render; the renderer keeps none of it.
struct TRenderView {
    // Document units to image pixels.
    Matrix viewMatrix;
    // Image pixels per document unit; the grid's step is derived from it.
    double zoom = 1.0;
    // The work area, drawn as a frame; nothing is drawn for an empty one.
    RectF workArea { 0, 0, 1000, 750 };
    bool showGrid = false;
    // Grid spacing in document units.
    double gridPitch = 0.0;
    // Anti-aliased objects (the work-area frame and the grid stay crisp).
    bool antialias = true;

    // The view placement: pan, then zoom, then the origin of the image moved
    // to its centre, so that document point -pan lies in the middle.
    static Matrix MakeViewMatrix(double zoom, double panX, double panY, int width, int height);
    // A view of width x height pixels that shows the whole rectangle, centred;
    // the other fields keep their defaults.
    static TRenderView Fit(const RectF& rect, int width, int height);
};

} // namespace vesk
