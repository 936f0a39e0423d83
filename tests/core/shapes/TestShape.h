#pragma once

// A minimal shape on a layer for container and history tests: an axis-aligned
// rectangle placed by its matrix, hit by its bounds. Like the real kinds it
// transforms only while selected. It counts live instances (to catch leaks
// and double frees) and logs every draw call it receives (to see the order).
// Its record tag "TSHP" is unknown to the reader, so a saved TestShape also
// serves as a record the reader cannot decode.

#include "io/Veskfilestream.h"
#include "model/Vesklayer.h"
#include "model/Veskobject.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>

namespace vesk::test {

class TestShape : public TVeskInstance {
public:
    static inline int live = 0;
    // Receives "draw:", "print:" or "sel:" followed by the name; null logs nothing.
    static inline QStringList* log = nullptr;

    TestShape(TVeskLayer* layer, RectF rect, const QString& name = QStringLiteral("TestShape"))
        : TVeskInstance(layer)
        , rect_(rect)
    {
        name_ = name;
        ++live;
    }
    TestShape(const TestShape& other)
        : TVeskInstance(other)
        , rect_(other.rect_)
        , handleCode_(other.handleCode_)
    {
        Assign(other);
        ++live;
    }
    ~TestShape() override { --live; }

    void Draw(QPainter&, int layerIndex, const TDrawStyle&) const override
    {
        if (visible_ && layerIndex == this->layerIndex() && log)
            log->append(QStringLiteral("draw:") + name_);
    }
    void DrawSelection(QPainter&, const TDrawStyle&) const override
    {
        if (log)
            log->append(QStringLiteral("sel:") + name_);
    }
    void DrawForPrint(QPainter&, int layerIndex, const TDrawStyle&) const override
    {
        if (visible_ && layerIndex == this->layerIndex() && log)
            log->append(QStringLiteral("print:") + name_);
    }
    std::unique_ptr<TVeskObject> Clone() const override { return std::make_unique<TestShape>(*this); }
    void GetBounds(RectF& out) const override { out = bounds(); }
    int Save(TVesk_ostream& out) const override
    {
        if (out.Failed())
            return -1;
        out.WriteRaw(Tag(), 4);
        out.WriteRect(rect_);
        out.WriteString(layer_ ? layer_->Name() : QString());
        return TVeskObject::Save(out);
    }
    bool HitTest(PointF p) const override { return bounds().Contains(p); }
    bool IntersectsRect(const RectF& r) const override { return bounds().IntersectsWith(r); }
    bool IntersectsPath(const GraphicsPath&, const RectF& b) const override
    {
        return bounds().IntersectsWith(b);
    }
    int HitHandle(PointF p, float) const override { return HitTest(p) ? handleCode_ : HitNothing; }
    void MultiplyMatrix(const Matrix& m, MatrixOrder order) override
    {
        if (selected_)
            TVeskObject::MultiplyMatrix(m, order);
    }
    void Translate(float dx, float dy, MatrixOrder order) override
    {
        if (selected_)
            TVeskObject::Translate(dx, dy, order);
    }
    void RotateAt(float degrees, PointF centre, MatrixOrder order) override
    {
        if (selected_)
            TVeskObject::RotateAt(degrees, centre, order);
    }
    const char* Tag() const override { return "TSHP"; }

    void SetHandleCode(int code) { handleCode_ = code; }
    RectF bounds() const
    {
        PointF c[4] = { { rect_.GetLeft(), rect_.GetTop() }, { rect_.GetRight(), rect_.GetTop() },
            { rect_.GetLeft(), rect_.GetBottom() }, { rect_.GetRight(), rect_.GetBottom() } };
        matrix_.TransformPoints(c);
        float l = c[0].X, t = c[0].Y, r = c[0].X, b = c[0].Y;
        for (PointF p : c) {
            l = std::min(l, p.X);
            t = std::min(t, p.Y);
            r = std::max(r, p.X);
            b = std::max(b, p.Y);
        }
        return { l, t, r - l, b - t };
    }

private:
    RectF rect_;
    int handleCode_ = HitBody;
};

} // namespace vesk::test
