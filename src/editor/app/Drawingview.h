#pragma once

#include <QImage>
#include <QWidget>

namespace vesk {

class TVeskEventProc;
class TVeskView;

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TVeskView& view_;
    TVeskEventProc* handler_ = nullptr;
    QImage image_;
    QColor background_ = Qt::white;
    // Fine-grained wheels and touch pads send parts of a notch; one zoom step per notch.
    int wheelRemainder_ = 0;
};

} // namespace vesk
