#include "Padgrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace vesk {

TPadGrid::TPadGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(CellSize);
}

void TPadGrid::SetImages(std::vector<QImage> images)
{
    images_ = std::move(images);
    if (chosen_ >= CellCount())
        chosen_ = -1;
    updateScrollRange();
    viewport()->update();
}

void TPadGrid::SetChosen(int index)
{
    chosen_ = index >= 0 && index < CellCount() ? index : -1;
    viewport()->update();
}

int TPadGrid::ColumnCount() const
{
    return std::max(1, viewport()->width() / CellSize);
}

int TPadGrid::CellAt(QPoint viewportPoint) const
{
    if (viewportPoint.x() < 0 || viewportPoint.y() < 0)
        return -1;
    const int column = viewportPoint.x() / CellSize;
    if (column >= ColumnCount())
        return -1;
    const int row = (viewportPoint.y() + verticalScrollBar()->value()) / CellSize;
    const int index = row * ColumnCount() + column;
    return index < CellCount() ? index : -1;
}

QRect TPadGrid::CellRect(int index) const
{
    const int columns = ColumnCount();
    return { (index % columns) * CellSize, (index / columns) * CellSize - verticalScrollBar()->value(),
        CellSize, CellSize };
}

void TPadGrid::updateScrollRange()
{
    const int rows = (CellCount() + ColumnCount() - 1) / ColumnCount();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, rows * CellSize - viewport()->height()));
}

void TPadGrid::paintEvent(QPaintEvent*)
{
    QPainter g(viewport());
    g.fillRect(viewport()->rect(), palette().base());
    for (int i = 0; i < CellCount(); ++i) {
        const QRect cell = CellRect(i);
        if (cell.intersects(viewport()->rect()))
            g.drawImage(cell.topLeft(), images_[size_t(i)]);
    }
    if (chosen_ >= 0) {
        g.setPen(QPen(Qt::black, 2));
        g.setBrush(Qt::NoBrush);
        g.drawRect(CellRect(chosen_).adjusted(1, 1, -1, -1));
    }
}

void TPadGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = CellAt(event->position().toPoint());
    if (index >= 0)
        Q_EMIT cellClicked(index);
}

void TPadGrid::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT cellHovered(CellAt(event->position().toPoint()));
}

void TPadGrid::leaveEvent(QEvent* event)
{
    QAbstractScrollArea::leaveEvent(event);
    Q_EMIT cellHovered(-1);
}

void TPadGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

} // namespace vesk
