#include "Veskview.h"

#include "model/Colorstyle.h"

#include <algorithm>
#include <cmath>

namespace vesk {

TVeskView::TVeskView(int width, int height)
    : visibleWidth_(std::max(width, 1))
    , visibleHeight_(std::max(height, 1))
    , width_(std::max(width, 1))
    , height_(std::max(height, 1))
{
    rebuildMatrix();
}

void TVeskView::AttachDrawStyle(TDrawStyle* style)
{
    style_ = style;
    if (style_)
        style_->SetZoom(zoom_);
}

bool TVeskView::ZoomBy(double factor)
{
    const double z = zoom_ * factor;
    // Rounding slack: ten wheel steps of sqrt 2 from 1 land a hair above
    // 32 and must still count as 32. The comparisons also refuse NaN.
    constexpr double slack = 1e-9;
    const bool taken = z >= MinZoom * (1.0 - slack) && z <= MaxZoom * (1.0 + slack);
    if (taken) {
        zoom_ = z;
        visibleWidth_ = width_ / zoom_;
        visibleHeight_ = height_ / zoom_;
        if (style_)
            style_->SetZoom(zoom_);
    }
    rebuildMatrix();
    return taken;
}

bool TVeskView::Fit(const RectF& rect, double margin)
{
    const double w = rect.Width, h = rect.Height;
    if (!std::isfinite(double(rect.X)) || !std::isfinite(double(rect.Y)) || !std::isfinite(w)
        || !std::isfinite(h) || w < 0 || h < 0)
        return false;
    const double room = std::max(1.0 - 2.0 * std::clamp(margin, 0.0, 0.45), 0.1);
    const double zx = w > 0 ? width_ * room / w : MaxZoom;
    const double zy = h > 0 ? height_ * room / h : MaxZoom;
    zoom_ = std::clamp(std::min(zx, zy), MinZoom, MaxZoom);
    visibleWidth_ = width_ / zoom_;
    visibleHeight_ = height_ / zoom_;
    if (style_)
        style_->SetZoom(zoom_);
    panX_ = std::clamp(-(rect.X + w / 2), -PanLimit, PanLimit);
    panY_ = std::clamp(-(rect.Y + h / 2), -PanLimit, PanLimit);
    rebuildMatrix();
    return true;
}

bool TVeskView::ZoomAt(double factor, PointF centre)
{
    panX_ = -double(centre.X);
    panY_ = -double(centre.Y);
    return ZoomBy(factor);
}

void TVeskView::Scroll(double dx, double dy)
{
    // NaN deltas would poison the pan for good; they move nothing.
    if (std::isfinite(dx))
        panX_ = std::clamp(panX_ + dx, -PanLimit, PanLimit);
    if (std::isfinite(dy))
        panY_ = std::clamp(panY_ + dy, -PanLimit, PanLimit);
    rebuildMatrix();
}

void TVeskView::ResizeView(int width, int height)
{
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    visibleWidth_ = width_ / zoom_;
    visibleHeight_ = height_ / zoom_;
    ZoomBy(1.0);
}

void TVeskView::Reset()
{
    zoom_ = 1.0;
    panX_ = panY_ = 0.0;
    visibleWidth_ = width_;
    visibleHeight_ = height_;
    if (style_)
        style_->SetZoom(zoom_);
    rebuildMatrix();
}

PointF TVeskView::PixelToDocument(QPoint pixel) const
{
    return PixelToDocument(PointF(float(pixel.x()), float(pixel.y())));
}

PointF TVeskView::PixelToDocument(PointF pixel) const
{
    Matrix inverse = viewMatrix_;
    if (!inverse.Invert())
        return {};
    return inverse.TransformPoint(pixel);
}

PointF TVeskView::DocumentToPixel(PointF point) const
{
    return viewMatrix_.TransformPoint(point);
}

void TVeskView::SnapToGrid(PointF& point, double pitch)
{
    if (!(pitch > 0.0))
        return;
    point.X = float(pitch * std::floor(point.X / pitch + 0.5));
    point.Y = float(pitch * std::floor(point.Y / pitch + 0.5));
}

void TVeskView::SnapDelta(PointF& point, PointF anchor, double pitch)
{
    if (!(pitch > 0.0))
        return;
    const double dx = pitch * std::floor((double(point.X) - anchor.X) / pitch + 0.5);
    const double dy = pitch * std::floor((double(point.Y) - anchor.Y) / pitch + 0.5);
    point = PointF(float(anchor.X + dx), float(anchor.Y + dy));
}

void TVeskView::rebuildMatrix()
{
    viewMatrix_.Reset();
    viewMatrix_.Translate(float(panX_), float(panY_), MatrixOrder::Append);
    viewMatrix_.Scale(float(zoom_), float(zoom_), MatrixOrder::Append);
    viewMatrix_.Translate(float(width_ / 2.0), float(height_ / 2.0), MatrixOrder::Append);
}

} // namespace vesk
