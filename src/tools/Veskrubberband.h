#pragma once

#include "geometry/PointF.h"

#include <QImage>

namespace vesk {

class TVeskToolHost;

// The dashed rectangle a press on empty space drags out to pick what lies
// in it. It starts once the pointer has left the press point by more than a
// few pixels, and is shown straight on the window over the drawing while the
// off-screen images stay as they are, so that a band step costs one copy of
// the drawing. Tools that pick by band (objects, points) share it.
class TVeskRubberBand {
public:
    static constexpr int ThresholdPixels = 5;

    // The rectangle spanned by the two points: left and top the smaller
    // coordinates, width and height not negative.
    static RectF Span(PointF from, PointF to);
    // Whether the pointer has left the press point by more than the
    // threshold in x or in y, at the view's zoom.
    static bool Started(PointF from, PointF to, double zoom);

    // Shows the drawing with the band from `from` to `to` over it.
    void Show(TVeskToolHost& host, PointF from, PointF to);
    // Lets go of the image the band is composed in.
    void Release() { image_ = QImage(); }

private:
    QImage image_;
};

} // namespace vesk
