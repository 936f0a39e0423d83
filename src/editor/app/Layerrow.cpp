#include "Layerrow.h"

#include "Layerwindow.h"
#include "model/Vesklayerlist.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace vesk {

namespace {
constexpr int kDragDistance = 5;
} // namespace

TLayerRow::TLayerRow(TLayerWindow& window, int index, QWidget* parent)
    : QWidget(parent)
    , window_(window)
    , index_(index)
{
}

TVeskLayer* TLayerRow::Layer() const
{
    return window_.Layers().LayerAt(index_);
}

void TLayerRow::SetDropLine(DropLine line)
{
    if (line == dropLine_)
        return;
    dropLine_ = line;
    update();
}

void TLayerRow::paintEvent(QPaintEvent*)
{
    const TVeskLayer* layer = Layer();
    if (!layer)
        return;
    QPainter g(this);
    const QPalette& p = palette();
    g.setPen(p.color(QPalette::Dark));
    g.setBrush(layer->current ? p.color(QPalette::Light) : p.color(QPalette::Button));
    g.drawRect(QRect(-1, -1, width() + 1, height() + 1));
    g.setPen(p.color(QPalette::ButtonText));
    g.drawText(QRect(LockEnd + 2, 0, width() - LockEnd - 30, height()), Qt::AlignVCenter | Qt::AlignLeft,
        layer->Name());
    g.setPen(Qt::black);
    g.setBrush(QColor::fromRgb(layer->opaqueColor));
    g.drawRect(QRect(QPoint(width() - 25, 5), QPoint(width() - 6, 19)));
    g.drawPixmap(0, 0, window_.Glyph(layer->visible ? "Visible" : "UnVisible"));
    g.drawPixmap(VisibilityEnd, 0, window_.Glyph(layer->locked ? "Lock" : "UnLock"));
    if (dropLine_ != DropLine::None) {
        const int y = dropLine_ == DropLine::Top ? 0 : height() - 1;
        g.setPen(QPen(Qt::black, 2));
        g.drawLine(0, y, width(), y);
    }
}

void TLayerRow::press(QMouseEvent* event)
{
    TVeskLayer* layer = Layer();
    if (!layer || event->button() != Qt::LeftButton)
        return;
    const int x = event->position().toPoint().x();
    if (x < VisibilityEnd) {
        layer->SetVisible(!layer->visible);
        window_.RequestRedraw();
    } else if (x < LockEnd) {
        layer->SetLocked(!layer->locked);
    } else {
        window_.RowSelect(*this);
        dragArmed_ = true;
        pressAt_ = event->position().toPoint();
    }
    update();
}

void TLayerRow::mousePressEvent(QMouseEvent* event)
{
    press(event);
}

void TLayerRow::mouseDoubleClickEvent(QMouseEvent* event)
{
    press(event);
    if (TVeskLayer* layer = Layer(); layer && event->button() == Qt::LeftButton)
        layer->editPending = true;
}

void TLayerRow::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !dragArmed_)
        return;
    const QPoint at = event->position().toPoint();
    if (!dragging_
        && (std::abs(at.x() - pressAt_.x()) >= kDragDistance
            || std::abs(at.y() - pressAt_.y()) >= kDragDistance))
        dragging_ = true;
    if (dragging_)
        window_.RowDragOver(*this, event->globalPosition().toPoint());
}

void TLayerRow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    TVeskLayer* layer = Layer();
    if (layer && layer->editPending) {
        layer->editPending = false;
        endDrag();
        window_.RowEdit(*this);
        return;
    }
    if (dragging_)
        window_.RowDrop(*this, event->globalPosition().toPoint());
    endDrag();
}

void TLayerRow::endDrag()
{
    dragArmed_ = false;
    dragging_ = false;
    window_.RowDragEnd();
}

} // namespace vesk
