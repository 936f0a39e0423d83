#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <vector>

namespace vesk {

// A scrolling grid of square cells, one image each, filled row by row as
// wide as the grid allows, with the chosen cell framed in black. It tells
// which cell was clicked and which one the pointer is over; what the cells
// mean is the owner's.
class TPadGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int CellSize = 36;

    explicit TPadGrid(QWidget* parent = nullptr);

    void SetImages(std::vector<QImage> images);
    int CellCount() const { return int(images_.size()); }
    // -1 frames none.
    void SetChosen(int index);
    int Chosen() const { return chosen_; }
    int ColumnCount() const;
    // The cell at a point of the viewport, or -1 past the last one.
    int CellAt(QPoint viewportPoint) const;
    // Where a cell lies in the viewport as now scrolled.
    QRect CellRect(int index) const;

Q_SIGNALS:
    void cellClicked(int index);
    // -1 over no cell, also when the pointer leaves the grid.
    void cellHovered(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateScrollRange();

    std::vector<QImage> images_;
    int chosen_ = -1;
};

} // namespace vesk
