#include "geometry/Matrix.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vesk {
namespace {

void expectNear(PointF actual, PointF expected, float tol = 1e-4f)
{
    EXPECT_NEAR(actual.X, expected.X, tol);
    EXPECT_NEAR(actual.Y, expected.Y, tol);
}

TEST(MatrixTest, ElementaryTransformsMapPointsInRowVectorConvention)
{
    struct Case {
        const char* name;
        Matrix m;
        PointF in;
        PointF out;
    };
    Matrix translate, scale, rotate;
    translate.Translate(10, -5);
    scale.Scale(2, 3);
    rotate.Rotate(30);
    const float c = std::cos(3.14159265f / 6), s = std::sin(3.14159265f / 6);
    const Case cases[] = {
        { "translate", translate, { 1, 2 }, { 11, -3 } },
        { "scale", scale, { 1, 2 }, { 2, 6 } },
        // Positive angles turn +x towards +y.
        { "rotate", rotate, { 1, 0 }, { c, s } },
        { "general", Matrix(1, 2, 3, 4, 5, 6), { 1, 1 }, { 1 + 3 + 5, 2 + 4 + 6 } },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        expectNear(k.m.TransformPoint(k.in), k.out);
    }
    // Vectors ignore the offset.
    expectNear(translate.TransformVector({ 1, 2 }), { 1, 2 });
}

TEST(MatrixTest, PrependAppliesBeforeAndAppendAfter)
{
    Matrix prepend, append;
    prepend.Scale(2, 2);
    prepend.Translate(10, 0, MatrixOrder::Prepend);
    append.Scale(2, 2);
    append.Translate(10, 0, MatrixOrder::Append);
    // Prepend: translate first, then scale.
    expectNear(prepend.TransformPoint({ 1, 1 }), { 22, 2 });
    // Append: scale first, then translate.
    expectNear(append.TransformPoint({ 1, 1 }), { 12, 2 });

    Matrix a(1, 2, 3, 4, 5, 6), b(0, 1, -1, 0, 7, 8);
    Matrix ab = a, ba = a;
    ab.Multiply(b, MatrixOrder::Append);
    ba.Multiply(b, MatrixOrder::Prepend);
    const PointF p { 3, -2 };
    expectNear(ab.TransformPoint(p), b.TransformPoint(a.TransformPoint(p)));
    expectNear(ba.TransformPoint(p), a.TransformPoint(b.TransformPoint(p)));
}

TEST(MatrixTest, RotateAtTurnsAboutTheCentreInBothOrders)
{
    const PointF centre { 100, 50 };
    for (MatrixOrder order : { MatrixOrder::Prepend, MatrixOrder::Append }) {
        SCOPED_TRACE(int(order));
        Matrix m;
        m.RotateAt(90, centre, order);
        expectNear(m.TransformPoint(centre), centre);
        expectNear(m.TransformPoint({ 110, 50 }), { 100, 60 });
    }
    // On a non-identity matrix the orders differ: prepend rotates in the
    // source space, append in the destination space.
    Matrix pre, app;
    pre.Translate(1000, 0);
    app.Translate(1000, 0);
    pre.RotateAt(90, centre, MatrixOrder::Prepend);
    app.RotateAt(90, centre, MatrixOrder::Append);
    expectNear(pre.TransformPoint(centre), { 1100, 50 });
    expectNear(app.TransformPoint({ -900, 50 }), centre);
}

TEST(MatrixTest, QuarterTurnsAreExact)
{
    struct Case {
        float degrees;
        PointF out;
    };
    const Case cases[] = { { 90, { -3, 7 } }, { 180, { -7, -3 } }, { 270, { 3, -7 } }, { -90, { 3, -7 } },
        { 450, { -3, 7 } }, { 360, { 7, 3 } } };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.degrees);
        Matrix m;
        m.Rotate(k.degrees);
        EXPECT_EQ(m.TransformPoint({ 7, 3 }), k.out);
    }
}

TEST(MatrixTest, InvertUndoesTheTransformAndRefusesSingularMatrices)
{
    Matrix m;
    m.Translate(12, -7);
    m.Rotate(33);
    m.Scale(2, 0.5f);
    Matrix inv = m;
    ASSERT_TRUE(inv.Invert());
    const PointF p { 41, -13 };
    expectNear(inv.TransformPoint(m.TransformPoint(p)), p, 1e-3f);
    Matrix product = m;
    product.Multiply(inv, MatrixOrder::Append);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(product.Elements()[i], Matrix().Elements()[i], 1e-5f) << i;

    Matrix singular(1, 2, 2, 4, 5, 6);
    EXPECT_FALSE(singular.IsInvertible());
    EXPECT_FALSE(singular.Invert());
    EXPECT_EQ(singular, Matrix(1, 2, 2, 4, 5, 6));
}

TEST(MatrixTest, IdentityAndReset)
{
    Matrix m(1, 2, 3, 4, 5, 6);
    EXPECT_FALSE(m.IsIdentity());
    m.Reset();
    EXPECT_TRUE(m.IsIdentity());
    EXPECT_EQ(m, Matrix::Identity());
}

TEST(RectFTest, ContainsIsHalfOpen)
{
    const RectF r(10, 20, 30, 40);
    struct Case {
        PointF p;
        bool inside;
    };
    const Case cases[] = {
        { { 10, 20 }, true }, // top-left corner belongs
        { { 39.99f, 59.99f }, true },
        { { 40, 30 }, false }, // right edge does not
        { { 20, 60 }, false }, // bottom edge does not
        { { 9.99f, 30 }, false },
        { { 20, 19.99f }, false },
    };
    for (const Case& k : cases)
        EXPECT_EQ(r.Contains(k.p), k.inside) << k.p.X << "," << k.p.Y;
}

TEST(RectFTest, IntersectsWithNeedsAreaOverlap)
{
    const RectF r(0, 0, 10, 10);
    struct Case {
        const char* name;
        RectF other;
        bool intersects;
    };
    const Case cases[] = {
        { "overlap", { 5, 5, 10, 10 }, true },
        { "inside", { 2, 2, 1, 1 }, true },
        { "touching right edge", { 10, 0, 5, 10 }, false },
        { "touching corner", { 10, 10, 5, 5 }, false },
        { "disjoint", { 20, 20, 1, 1 }, false },
    };
    for (const Case& k : cases) {
        EXPECT_EQ(r.IntersectsWith(k.other), k.intersects) << k.name;
        EXPECT_EQ(k.other.IntersectsWith(r), k.intersects) << k.name;
    }
}

TEST(RectFTest, UnionCoversBoth)
{
    EXPECT_EQ(RectF::Union({ 0, 0, 10, 10 }, { 5, -5, 20, 5 }), RectF(0, -5, 25, 15));
}

} // namespace
} // namespace vesk
