#pragma once

#include "geometry/PointF.h"

#include <QImage>
#include <QWidget>
#include <vector>

class QPainter;

namespace vesk {

class TVeskEventProc;
class TVeskView;

// A place a check points at, in document units: a line between the closest
// points of what breaks a rule and a ring about their middle, drawn over the
// artwork at any zoom; the chosen one stands out.
struct TDrawingMarker {
    PointF from;
    PointF to;
    bool chosen = false;
};

// The drawing area of the main window. It shows the last image the active
// tool presented and hands mouse, wheel, resize and paint events to that
// tool; without a tool it only keeps the view's size current. Key input
// reaches the tool through the main window, which sees every key of the
// application.
class TDrawingView : public QWidget {
    Q_OBJECT
public:
    TDrawingView(TVeskView& view, QWidget* parent = nullptr);

    void SetHandler(TVeskEventProc* handler);
    TVeskEventProc* Handler() const { return handler_; }

    // Shown from the next paint on.
    void SetImage(const QImage& image);
    const QImage& Image() const { return image_; }
    void SetBackground(const QColor& colour) { background_ = colour; }
    // Shown from the next paint on, until replaced; none at first.
    void SetMarkers(std::vector<TDrawingMarker> markers);
    const std::vector<TDrawingMarker>& Markers() const { return markers_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void paintMarkers(QPainter& p) const;

    TVeskView& view_;
    TVeskEventProc* handler_ = nullptr;
    QImage image_;
    QColor background_ = Qt::white;
    std::vector<TDrawingMarker> markers_;
    // Fine-grained wheels and touch pads send parts of a notch; one zoom step per notch.
    int wheelRemainder_ = 0;
};

} // namespace vesk
