#pragma once

#include "Matrix.h"
#include "Pen.h"
#include "PointF.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vesk {

enum class FillMode { Alternate = 0, Winding = 1 };

// Point types of the path data; the close marker sits on a figure's last point.
enum PathPointType : std::uint8_t {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypeMask = 0x07,
    PathPointTypeCloseSubpath = 0x80,
};

// Font style bits of AddString, as documents store them.
enum FontStyleBits : int {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};

// A sequence of figures made of straight and cubic Bezier segments, in the
// document's float precision. Each point carries a type; a figure starts with
// a Start point and its last point may carry the close marker. Flattening is
// our own so that each caller's tolerance is exactly the one used.
class GraphicsPath {
public:
    explicit GraphicsPath(FillMode mode = FillMode::Alternate)
        : fillMode_(mode)
    {
    }

    void Reset();
    FillMode GetFillMode() const { return fillMode_; }
    void SetFillMode(FillMode mode) { fillMode_ = mode; }

    // The next point added begins a new figure.
    void StartFigure();
    // Marks the current figure's last point closed; the next point starts a new figure.
    void CloseFigure();

    // These continue the current open figure (its last point connects to the first new one).
    void AddLine(PointF a, PointF b);
    void AddLines(std::span<const PointF> points);
    void AddBezier(PointF p1, PointF c1, PointF c2, PointF p2);
    // A run of 3k+1 points: start, then k triples of control, control, end.
    void AddBeziers(std::span<const PointF> points);

    // These add closed figures of their own.
    void AddPolygon(std::span<const PointF> points);
    void AddRectangle(const RectF& rect);
    // Four Bezier quadrants starting at the right-most point, turning clockwise on screen.
    void AddEllipse(const RectF& rect);
    // Glyph outlines of the text laid out from origin (top-left of the em box).
    // Bold of a family without a bold face is emboldened as font engines do.
    void AddString(const QString& text, const QString& family, int style, float emSize, PointF origin);
    // Appends the other path's figures; with connect false they stay separate figures.
    void AddPath(const GraphicsPath& other, bool connect = false);

    void Transform(const Matrix& matrix);
    // Tight bounds of the geometry (curves by their extrema), without any pen.
    RectF GetBounds() const;

    // Replaces every curve with straight segments; every point of a segment
    // lies within flatness of the true curve, and a straight cubic gives one segment.
    void Flatten(float flatness = 0.25f);
    // Replaces the path by the outline of the area a stroke with pen covers,
    // flattened within flatness. The outline overlaps itself and fills
    // correctly only under the winding rule, so the fill mode becomes Winding.
    // Dash patterns are not applied (document pens are solid). A figure of no
    // length gets its caps around the point: a dot for round caps.
    void Widen(const Pen& pen, float flatness = 0.25f);
    // Replaces the path by the union outline of its figures under its fill
    // mode: closed polygons whose holes turn against their outer boundaries,
    // so either fill mode gives the same area.
    void WindingModeOutline(float flatness = 0.25f);
    // Reverses the order of the points (and so the direction of every figure).
    void Reverse();

    std::unique_ptr<GraphicsPath> Clone() const { return std::make_unique<GraphicsPath>(*this); }

    // Point containment under the fill mode.
    bool IsVisible(PointF point) const;
    // "The region of the path intersected with ... is not empty".
    bool IntersectsRect(const RectF& rect) const;
    bool IntersectsPath(const GraphicsPath& other) const;

    int GetPointCount() const { return int(points_.size()); }
    bool IsEmpty() const { return points_.empty(); }
    std::span<const PointF> Points() const { return points_; }
    std::span<const std::uint8_t> Types() const { return types_; }

private:
    void addPoint(PointF p, std::uint8_t type);
    void beginFigureIfNeeded(PointF p);

    std::vector<PointF> points_;
    std::vector<std::uint8_t> types_;
    FillMode fillMode_ = FillMode::Alternate;
    bool newFigure_ = true;
};

} // namespace vesk
