#include "Renderview.h"

#include <algorithm>

namespace vesk {

Matrix TRenderView::MakeViewMatrix(double zoom, double panX, double panY, int width, int height)
{
    Matrix m;
    m.Translate(float(panX), float(panY), MatrixOrder::Append);
    m.Scale(float(zoom), float(zoom), MatrixOrder::Append);
    m.Translate(float(width / 2.0), float(height / 2.0), MatrixOrder::Append);
    return m;
}

TRenderView TRenderView::Fit(const RectF& rect, int width, int height)
{
    TRenderView view;
    const double w = std::max(double(rect.Width), 1e-3);
    const double h = std::max(double(rect.Height), 1e-3);
    view.zoom = std::min(width / w, height / h);
    const double cx = rect.X + rect.Width / 2.0;
    const double cy = rect.Y + rect.Height / 2.0;
    view.viewMatrix = MakeViewMatrix(view.zoom, -cx, -cy, width, height);
    return view;
}

} // namespace vesk
