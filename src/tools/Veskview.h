#pragma once

#include "geometry/Matrix.h"
#include "geometry/PointF.h"

#include <QPoint>

namespace vesk {

class TDrawStyle;

// The window's view onto the document: zoom (screen pixels per document
// unit), pan offset in document units and the window size in pixels, and the
// matrix built from them that maps document points to pixels. A document point
// (x, y) shows at ((x + panX) * zoom + width / 2, (y + panY) * zoom + height / 2),
// so with no pan the document origin sits in the middle of the window. Zoom
// stays within 1/16 .. 32 and the pan within +-5000 units on each axis. When a
// draw style is attached it is told every zoom the view takes, so that its
// pens stay one screen pixel wide. Pure arithmetic: the window owns one and
// the tools change it through the host.
class TVeskView {
public:
    static constexpr double MinZoom = 0.0625;
    static constexpr double MaxZoom = 32.0;
    static constexpr double PanLimit = 5000.0;

    TVeskView(int width = 674, int height = 470);

    double Zoom() const { return zoom_; }
    double VisibleWidth() const { return visibleWidth_; }
    double VisibleHeight() const { return visibleHeight_; }
    double PanX() const { return panX_; }
    double PanY() const { return panY_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const Matrix& ViewMatrix() const { return viewMatrix_; }

    // The draw style that follows the zoom (may be null); told the current zoom at once.
    void AttachDrawStyle(TDrawStyle* style);

    // Multiplies the zoom by the factor about the window centre. A result
    // outside MinZoom .. MaxZoom (beyond rounding error), or not a number, is not taken and false is
    // returned; the matrix is rebuilt either way.
    bool ZoomBy(double factor);
    // Makes the document point the window centre, then ZoomBy(factor).
    bool ZoomAt(double factor, PointF centre);
    // Pans by a document-unit delta, each axis clamped to +-PanLimit.
    void Scroll(double dx, double dy);
    // New window size in pixels (at least 1 x 1); the zoom stays.
    void ResizeView(int width, int height);
    // Back to zoom 1 with no pan: the document origin in the window centre.
    void Reset();
    // Centres the rectangle and zooms so that it fills the window but for a
    // margin of that fraction of the window on every side, within the zoom
    // and pan limits. A rectangle with no size fills it by its other side; one
    // that is not finite or negative leaves the view alone and gives false.
    bool Fit(const RectF& rect, double margin = 0.05);

    // Document point under a window pixel, through the inverse of the view
    // matrix; the origin when the matrix cannot be inverted.
    PointF PixelToDocument(QPoint pixel) const;
    PointF PixelToDocument(PointF pixel) const;
    PointF DocumentToPixel(PointF point) const;

    // Each coordinate to the nearest multiple of the pitch (halves round up);
    // a pitch that is not positive leaves the point alone.
    static void SnapToGrid(PointF& point, double pitch);
    // The drag delta from anchor to point in whole grid steps: the point
    // becomes anchor + pitch * floor((point - anchor) / pitch + 0.5) per axis.
    static void SnapDelta(PointF& point, PointF anchor, double pitch);

private:
    void rebuildMatrix();

    double zoom_ = 1.0;
    double visibleWidth_;
    double visibleHeight_;
    double panX_ = 0.0;
    double panY_ = 0.0;
    int width_;
    int height_;
    Matrix viewMatrix_;
    TDrawStyle* style_ = nullptr;
};

} // namespace vesk
