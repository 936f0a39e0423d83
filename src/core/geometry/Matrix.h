#pragma once

#include "PointF.h"

#include <array>
#include <span>

namespace vesk {

// Order in which a new transform combines with a matrix: prepended (applied
// before the existing one) or appended (applied after).
enum class MatrixOrder { Prepend = 0, Append = 1 };

// Affine placement of six floats m11, m12, m21, m22, dx, dy in row-vector
// convention: x' = x*m11 + y*m21 + dx, y' = x*m12 + y*m22 + dy. Arithmetic
// stays in single precision, as the stored document values are.
class Matrix {
public:
    Matrix() = default;
    Matrix(float m11, float m12, float m21, float m22, float dx, float dy) : m_ { m11, m12, m21, m22, dx, dy } { }

    static Matrix Identity() { return {}; }

    void SetElements(float m11, float m12, float m21, float m22, float dx, float dy)
    {
        m_ = { m11, m12, m21, m22, dx, dy };
    }
    const std::array<float, 6>& Elements() const { return m_; }
    float M11() const { return m_[0]; }
    float M12() const { return m_[1]; }
    float M21() const { return m_[2]; }
    float M22() const { return m_[3]; }
    float OffsetX() const { return m_[4]; }
    float OffsetY() const { return m_[5]; }

    bool IsIdentity() const;
    bool IsInvertible() const;

    void Reset() { m_ = { 1, 0, 0, 1, 0, 0 }; }
    void Multiply(const Matrix& other, MatrixOrder order = MatrixOrder::Prepend);
    void Translate(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend);
    // Angle in degrees; positive turns from +x towards +y (clockwise on screen).
    void Rotate(float degrees, MatrixOrder order = MatrixOrder::Prepend);
    void RotateAt(float degrees, PointF centre, MatrixOrder order = MatrixOrder::Prepend);
    void Scale(float sx, float sy, MatrixOrder order = MatrixOrder::Prepend);
    // Leaves the matrix unchanged and returns false when it is singular.
    bool Invert();

    PointF TransformPoint(PointF p) const;
    PointF TransformVector(PointF v) const;
    void TransformPoints(std::span<PointF> points) const;
    void TransformVectors(std::span<PointF> vectors) const;

    bool operator==(const Matrix&) const = default;

private:
    std::array<float, 6> m_ { 1, 0, 0, 1, 0, 0 };
};

} // namespace vesk
