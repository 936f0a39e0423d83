#include "Matrix.h"

#include <algorithm>
#include <cmath>

namespace vesk {

namespace {

    // a * b in row-vector convention: apply a, then b.
    std::array<float, 6> product(const std::array<float, 6>& a, const std::array<float, 6>& b)
    {
        return {
            a[0] * b[0] + a[1] * b[2],
            a[0] * b[1] + a[1] * b[3],
            a[2] * b[0] + a[3] * b[2],
            a[2] * b[1] + a[3] * b[3],
            a[4] * b[0] + a[5] * b[2] + b[4],
            a[4] * b[1] + a[5] * b[3] + b[5],
        };
    }

    // Quarter turns are exact so that rotating by 90 degrees keeps grid coordinates on the grid.
    void sinCos(float degrees, float& s, float& c)
    {
        const double r = std::fmod(static_cast<double>(degrees), 360.0);
        const double q = r < 0 ? r + 360.0 : r;
        if (q == 0.0) {
            s = 0, c = 1;
        } else if (q == 90.0) {
            s = 1, c = 0;
        } else if (q == 180.0) {
            s = 0, c = -1;
        } else if (q == 270.0) {
            s = -1, c = 0;
        } else {
            const double rad = q * (3.14159265358979323846 / 180.0);
            s = static_cast<float>(std::sin(rad));
            c = static_cast<float>(std::cos(rad));
        }
    }

} // namespace

bool Matrix::IsIdentity() const { return m_ == std::array<float, 6> { 1, 0, 0, 1, 0, 0 }; }

bool Matrix::IsInvertible() const
{
    const double det = double(m_[0]) * m_[3] - double(m_[1]) * m_[2];
    return det != 0.0 && std::isfinite(det);
}

void Matrix::Multiply(const Matrix& other, MatrixOrder order)
{
    m_ = order == MatrixOrder::Prepend ? product(other.m_, m_) : product(m_, other.m_);
}

void Matrix::Translate(float dx, float dy, MatrixOrder order) { Multiply(Matrix(1, 0, 0, 1, dx, dy), order); }

void Matrix::Rotate(float degrees, MatrixOrder order)
{
    float s, c;
    sinCos(degrees, s, c);
    Multiply(Matrix(c, s, -s, c, 0, 0), order);
}

void Matrix::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    if (order == MatrixOrder::Append) {
        Translate(-centre.X, -centre.Y, order);
        Rotate(degrees, order);
        Translate(centre.X, centre.Y, order);
    } else {
        Translate(centre.X, centre.Y, order);
        Rotate(degrees, order);
        Translate(-centre.X, -centre.Y, order);
    }
}

void Matrix::Scale(float sx, float sy, MatrixOrder order) { Multiply(Matrix(sx, 0, 0, sy, 0, 0), order); }

bool Matrix::Invert()
{
    const double det = double(m_[0]) * m_[3] - double(m_[1]) * m_[2];
    if (det == 0.0 || !std::isfinite(det))
        return false;
    const double a = m_[3] / det, b = -m_[1] / det, c = -m_[2] / det, d = m_[0] / det;
    const double dx = -(m_[4] * a + m_[5] * c), dy = -(m_[4] * b + m_[5] * d);
    m_ = { float(a), float(b), float(c), float(d), float(dx), float(dy) };
    return true;
}

PointF Matrix::TransformPoint(PointF p) const
{
    return { p.X * m_[0] + p.Y * m_[2] + m_[4], p.X * m_[1] + p.Y * m_[3] + m_[5] };
}

PointF Matrix::TransformVector(PointF v) const { return { v.X * m_[0] + v.Y * m_[2], v.X * m_[1] + v.Y * m_[3] }; }

void Matrix::TransformPoints(std::span<PointF> points) const
{
    for (PointF& p : points)
        p = TransformPoint(p);
}

void Matrix::TransformVectors(std::span<PointF> vectors) const
{
    for (PointF& v : vectors)
        v = TransformVector(v);
}

} // namespace vesk
