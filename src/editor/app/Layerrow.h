#pragma once

#include <QPoint>
#include <QWidget>

namespace vesk {

class TLayerWindow;
class TVeskLayer;

// One row of the layer window: it shows and handles the layer at its
// position in the document's layer list, so a reorder moves what the rows
// show, not the rows. Left of x 24 the eye shows and hides the layer, up to
// x 48 the padlock locks it, further right a press makes it the current
// layer and starts a drag onto another row; a double click opens the layer
// editor when the button comes up.
class TLayerRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int RowHeight = 25;
    static constexpr int VisibilityEnd = 24;
    static constexpr int LockEnd = 48;
    // Where the dragged layer would land: above or below this row.
    enum class DropLine { None, Top, Bottom };

    TLayerRow(TLayerWindow& window, int index, QWidget* parent);

    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    // Null when the list has no layer at the row's position (while it is rebuilt).
    TVeskLayer* Layer() const;
    DropLine GetDropLine() const { return dropLine_; }
    void SetDropLine(DropLine line);
    bool Dragging() const { return dragging_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void press(QMouseEvent* event);
    void endDrag();

    TLayerWindow& window_;
    int index_;
    DropLine dropLine_ = DropLine::None;
    // A press right of the padlock arms a drag; it starts after 5 pixels.
    bool dragArmed_ = false;
    bool dragging_ = false;
    QPoint pressAt_;
};

} // namespace vesk
