#pragma once

// PointF and RectF: the document's own coordinates, single-precision floats in
// tenths of a millimetre, y growing downwards.

namespace vesk {

struct PointF {
    float X = 0.0f;
    float Y = 0.0f;

    constexpr PointF() = default;
    constexpr PointF(float x, float y) : X(x), Y(y) { }

    constexpr PointF operator+(PointF o) const { return { X + o.X, Y + o.Y }; }
    constexpr PointF operator-(PointF o) const { return { X - o.X, Y - o.Y }; }
    constexpr PointF operator*(float s) const { return { X * s, Y * s }; }
    constexpr bool operator==(const PointF&) const = default;
};

struct RectF {
    float X = 0.0f;
    float Y = 0.0f;
    float Width = 0.0f;
    float Height = 0.0f;

    constexpr RectF() = default;
    constexpr RectF(float x, float y, float w, float h) : X(x), Y(y), Width(w), Height(h) { }
    constexpr RectF(PointF topLeft, PointF size) : X(topLeft.X), Y(topLeft.Y), Width(size.X), Height(size.Y) { }

    constexpr float GetLeft() const { return X; }
    constexpr float GetTop() const { return Y; }
    constexpr float GetRight() const { return X + Width; }
    constexpr float GetBottom() const { return Y + Height; }
    constexpr bool IsEmptyArea() const { return Width <= 0.0f || Height <= 0.0f; }

    // Half-open: left and top inclusive, right and bottom exclusive.
    constexpr bool Contains(PointF p) const
    {
        return p.X >= X && p.X < X + Width && p.Y >= Y && p.Y < Y + Height;
    }
    // Strict overlap: rectangles that only touch do not intersect.
    constexpr bool IntersectsWith(const RectF& r) const
    {
        return GetLeft() < r.GetRight() && GetTop() < r.GetBottom() && GetRight() > r.GetLeft()
            && GetBottom() > r.GetTop();
    }
    void Inflate(float dx, float dy)
    {
        X -= dx;
        Y -= dy;
        Width += 2 * dx;
        Height += 2 * dy;
    }
    // Smallest rectangle holding both; an empty-area operand still counts by its corner.
    static RectF Union(const RectF& a, const RectF& b);

    constexpr bool operator==(const RectF&) const = default;
};

} // namespace vesk
