#include "Veskrubberband.h"

#include "Vesktoolhost.h"
#include "Veskview.h"
#include "geometry/QtConvert.h"
#include "model/Colorstyle.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vesk {

RectF TVeskRubberBand::Span(PointF from, PointF to)
{
    return { std::min(from.X, to.X), std::min(from.Y, to.Y), std::fabs(to.X - from.X),
        std::fabs(to.Y - from.Y) };
}

bool TVeskRubberBand::Started(PointF from, PointF to, double zoom)
{
    const double threshold = ThresholdPixels / zoom;
    return std::fabs(double(to.X) - from.X) > threshold || std::fabs(double(to.Y) - from.Y) > threshold;
}

void TVeskRubberBand::Show(TVeskToolHost& host, PointF from, PointF to)
{
    const QImage& drawing = host.DrawingImage();
    if (drawing.isNull())
        return;
    if (image_.size() != drawing.size() || image_.format() != drawing.format())
        image_ = QImage(drawing.size(), drawing.format());
    {
        QPainter g(&image_);
        g.setCompositionMode(QPainter::CompositionMode_Source);
        g.drawImage(0, 0, drawing);
        g.setCompositionMode(QPainter::CompositionMode_SourceOver);
        g.setWorldTransform(ToQTransform(host.View().ViewMatrix()));
        g.setPen(ToQPen(host.DrawStyle().dashedPen));
        g.setBrush(Qt::NoBrush);
        g.drawRect(ToQRectF(Span(from, to)));
    }
    host.PresentImage(image_);
}

} // namespace vesk
