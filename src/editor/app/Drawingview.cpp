#include "Drawingview.h"

#include "Veskeventproc.h"
#include "Veskview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace vesk {

namespace {
constexpr int kWheelNotch = 120;

QPoint pixelOf(const QMouseEvent* event)
{
    return event->position().toPoint();
}
} // namespace

TDrawingView::TDrawingView(TVeskView& view, QWidget* parent)
    : QWidget(parent)
    , view_(view)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDrawingView::SetHandler(TVeskEventProc* handler)
{
    handler_ = handler;
    wheelRemainder_ = 0;
}

void TDrawingView::SetImage(const QImage& image)
{
    image_ = image;
    update();
}

void TDrawingView::SetMarkers(std::vector<TDrawingMarker> markers)
{
    markers_ = std::move(markers);
    update();
}

void TDrawingView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), background_);
    if (!image_.isNull())
        p.drawImage(QPoint(0, 0), image_);
    if (handler_)
        handler_->WindowPaint();
    paintMarkers(p);
}

void TDrawingView::paintMarkers(QPainter& p) const
{
    if (markers_.empty())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    // Magenta reads on every layer colour and on the black of a negative.
    const QColor colour(255, 0, 255);
    for (const TDrawingMarker& m : markers_) {
        const PointF a = view_.DocumentToPixel(m.from), b = view_.DocumentToPixel(m.to);
        const QPointF from(a.X, a.Y), to(b.X, b.Y), middle = (from + to) / 2;
        p.setPen(QPen(colour, m.chosen ? 3 : 1.5));
        p.drawLine(from, to);
        const double r = m.chosen ? 12 : 7;
        p.drawEllipse(middle, r, r);
    }
}

void TDrawingView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (handler_)
        handler_->WindowResize(width(), height());
    else
        view_.ResizeView(width(), height());
}

void TDrawingView::mousePressEvent(QMouseEvent* event)
{
    if (handler_)
        handler_->WindowMouseDown(ShiftStateFromQt(event->modifiers(), event->buttons()), pixelOf(event));
}

void TDrawingView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other.
    if (handler_)
        handler_->WindowMouseDown(
            ShiftStateFromQt(event->modifiers(), event->buttons(), true), pixelOf(event));
}

void TDrawingView::mouseMoveEvent(QMouseEvent* event)
{
    if (handler_)
        handler_->WindowMouseMove(ShiftStateFromQt(event->modifiers(), event->buttons()), pixelOf(event));
}

void TDrawingView::mouseReleaseEvent(QMouseEvent* event)
{
    if (handler_)
        handler_->WindowMouseUp(ShiftStateFromQt(event->modifiers(), event->buttons()), pixelOf(event));
}

void TDrawingView::wheelEvent(QWheelEvent* event)
{
    if (!handler_) {
        event->ignore();
        return;
    }
    // Sideways scrolling is not a zoom.
    wheelRemainder_ += event->angleDelta().y();
    while (wheelRemainder_ >= kWheelNotch || wheelRemainder_ <= -kWheelNotch) {
        const int step = wheelRemainder_ > 0 ? kWheelNotch : -kWheelNotch;
        wheelRemainder_ -= step;
        handler_->WindowMouseWheel(step);
        if (!handler_)
            break;
    }
    event->accept();
}

} // namespace vesk
