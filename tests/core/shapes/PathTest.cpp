// Path geometry, hit testing, selection and whole-object transforms.

#include "PathTestSupport.h"
#include "io/Veskfilestream.h"

#include <cmath>

namespace vesk::test {
namespace {

RectF BoundsOf(const TVeskObject& o)
{
    RectF r;
    o.GetBounds(r);
    return r;
}

void ExpectNear(const RectF& a, const RectF& b, float tolerance)
{
    EXPECT_NEAR(a.X, b.X, tolerance);
    EXPECT_NEAR(a.Y, b.Y, tolerance);
    EXPECT_NEAR(a.Width, b.Width, tolerance);
    EXPECT_NEAR(a.Height, b.Height, tolerance);
}

TEST_F(PathTest, NewPathIsEmptyAndNamed)
{
    TVeskPath path(solder, Stroke(7.5f));
    EXPECT_EQ(path.GetName(), QStringLiteral("Path"));
    EXPECT_EQ(path.GetLayer(), solder);
    EXPECT_EQ(path.EntryCount(), 0);
    EXPECT_FALSE(path.IsClosed());
    EXPECT_TRUE(path.OutlinePath().IsEmpty());
    EXPECT_EQ(path.OutlinePath().GetFillMode(), FillMode::Winding);
    EXPECT_EQ(BoundsOf(path), RectF());
    EXPECT_STREQ(path.Tag(), "PATH");
}

TEST_F(PathTest, StrokeOutlineCoversTheWidthAndRoundCaps)
{
    // The worked example's line: (100,50) to (110,50), width 7.5, round caps.
    auto path = MakePath(Polyline({ { 0, 0 }, { 10, 0 } }), Stroke(7.5f), false, Matrix(1, 0, 0, 1, 100, 50));
    ExpectNear(BoundsOf(*path), RectF(96.25f, 46.25f, 17.5f, 7.5f), 0.3f);
    EXPECT_TRUE(path->HitTest({ 105, 53.5f }));
    EXPECT_TRUE(path->HitTest({ 97, 50 })); // inside the start cap
    EXPECT_FALSE(path->HitTest({ 105, 54.5f }));
    EXPECT_FALSE(path->HitTest({ 97, 53 })); // outside the cap's round
}

TEST_F(PathTest, SingleAnchorHasNoOutlineAndIsNeverHit)
{
    auto path = MakePath(Polyline({ { 10, 10 } }), Filled(5));
    EXPECT_EQ(path->EntryCount(), 3);
    EXPECT_TRUE(path->OutlinePath().IsEmpty());
    EXPECT_FALSE(path->HitTest({ 10, 10 }));
    EXPECT_FALSE(path->IntersectsRect({ 0, 0, 20, 20 }));
}

TEST_F(PathTest, TwoEntriesOrFewerKeepThePreviousOutline)
{
    auto path = Square(0, 0, 40);
    const RectF before = BoundsOf(*path);
    for (size_t n : { 0u, 1u, 2u }) {
        SCOPED_TRACE(n);
        path->SetPoints(std::vector<PointF>(n, PointF(500, 500)), {});
        path->Rebuild();
        EXPECT_EQ(BoundsOf(*path), before);
        EXPECT_TRUE(path->HitTest({ 20, 20 }));
    }
}

TEST_F(PathTest, OpenFilledPathIsFilledAsIfClosedButStrokedOpen)
{
    // Corner at (100,0); the fill closes the figure along the diagonal.
    auto path = MakePath(Polyline({ { 0, 0 }, { 100, 0 }, { 100, 100 } }), Filled(10));
    EXPECT_TRUE(path->HitTest({ 70, 30 })); // inside the triangle
    EXPECT_TRUE(path->HitTest({ -4, 0 })); // start cap
    EXPECT_TRUE(path->HitTest({ 100, 104 })); // end cap
    EXPECT_FALSE(path->HitTest({ 47, 53 })); // near the diagonal, outside: no stroke there
    ExpectNear(BoundsOf(*path), RectF(-5, -5, 110, 110), 0.3f);

    path->SetClosed(true); // the closing segment now gets a stroke
    EXPECT_TRUE(path->HitTest({ 47, 53 }));
}

// Whichever way the user drew it, the stroke and the fill of one path add up:
// the inner half of the line is not cancelled by a fill turning the other way.
TEST_F(PathTest, StrokeAndFillCoverTheirUnionInEitherDirection)
{
    for (const bool reversed : { false, true }) {
        for (const bool closed : { false, true }) {
            SCOPED_TRACE(testing::Message() << "reversed " << reversed << ", closed " << closed);
            std::vector<PointF> entries = reversed
                ? Polyline({ { 0, 100 }, { 100, 100 }, { 100, 0 }, { 0, 0 } })
                : Polyline({ { 0, 0 }, { 100, 0 }, { 100, 100 }, { 0, 100 } });
            auto path = MakePath(std::move(entries), Filled(10), closed);
            EXPECT_TRUE(path->HitTest({ 50, 50 }));
            EXPECT_TRUE(path->HitTest({ 98, 50 })); // inner half of the right edge
            EXPECT_TRUE(path->HitTest({ 102, 50 })); // outer half
            EXPECT_FALSE(path->HitTest({ 106, 50 }));

            GraphicsPath merged(FillMode::Winding);
            path->AddOutline(merged, solder->index);
            EXPECT_TRUE(merged.IsVisible({ 98, 50 }));
            EXPECT_TRUE(merged.IsVisible({ 50, 50 }));
        }
    }
}

TEST_F(PathTest, ZeroWidthFillsWithoutStroke)
{
    auto path = Square(10, 20, 50);
    EXPECT_EQ(BoundsOf(*path), RectF(10, 20, 50, 50));
    EXPECT_TRUE(path->HitTest({ 30, 40 }));
}

TEST_F(PathTest, ZeroWidthWithoutFillHasNoOutline)
{
    // Only a stored surface can be unfilled with width 0: the setters refuse it.
    TVeskSurface surface;
    const QByteArray block
        = QByteArray(4, '\0') + QByteArray(2, '\0') + QByteArray("\x04\0\0\0\x02\0\0\0\x02\0\0\0", 12);
    TVesk_istream in(block);
    ASSERT_EQ(surface.Load(in), 0);
    ASSERT_EQ(surface.GetWidth(), 0.0f);
    ASSERT_FALSE(surface.GetFill());

    auto path = MakePath(Polyline({ { 0, 0 }, { 50, 0 }, { 50, 50 } }), surface, true);
    EXPECT_TRUE(path->OutlinePath().IsEmpty());
    EXPECT_FALSE(path->HitTest({ 40, 10 }));
}

TEST_F(PathTest, HitTestBoundsAreHalfOpen)
{
    auto path = Square(0, 0, 100);
    EXPECT_TRUE(path->HitTest({ 99.9f, 50 }));
    EXPECT_TRUE(path->HitTest({ 50, 99.9f }));
    EXPECT_FALSE(path->HitTest({ 100, 50 }));
    EXPECT_FALSE(path->HitTest({ 50, 100 }));
    EXPECT_FALSE(path->HitTest({ -0.1f, 50 }));
}

TEST_F(PathTest, RectAndPathIntersectionNeedTheOutlineNotJustTheBounds)
{
    // A thin diagonal: its bounds cover corners its outline never reaches.
    auto path = MakePath(Polyline({ { 0, 0 }, { 100, 100 } }), Stroke(2));
    struct Case {
        RectF rect;
        bool expected;
    };
    const Case cases[] = {
        { { 45, 45, 10, 10 }, true }, // across the line
        { { 80, 0, 20, 20 }, false }, // a corner of the bounds only
        { { 200, 200, 10, 10 }, false }, // far away
        { { 50, 50, 0, 0 }, false }, // no area
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rect.X);
        EXPECT_EQ(path->IntersectsRect(c.rect), c.expected);
        GraphicsPath other(FillMode::Winding);
        other.AddRectangle(c.rect);
        EXPECT_EQ(path->IntersectsPath(other, c.rect), c.expected);
    }
    // The quick test uses the bounds passed in, not the other path's own.
    GraphicsPath crossing;
    crossing.AddRectangle({ 45, 45, 10, 10 });
    EXPECT_FALSE(path->IntersectsPath(crossing, { 300, 300, 1, 1 }));
}

TEST_F(PathTest, SelectAtAndSelectInFollowTheOwnLockOnly)
{
    struct Case {
        const char* what;
        bool ownLock, layerLock, layerHidden;
        PointF at;
        bool result;
    };
    const Case cases[] = {
        { "hit", false, false, false, { 20, 20 }, true },
        { "miss", false, false, false, { 80, 80 }, false },
        { "own lock", true, false, false, { 20, 20 }, false },
        { "layer lock", false, true, false, { 20, 20 }, true },
        { "layer hidden", false, false, true, { 20, 20 }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const bool wasSelected : { false, true }) {
            auto path = Square(0, 0, 40);
            path->SetLocked(c.ownLock);
            solder->locked = c.layerLock;
            solder->visible = !c.layerHidden;
            path->SetSelected(wasSelected);
            path->SetHandlesSelected(true);
            EXPECT_EQ(path->SelectAt(c.at), c.result);
            EXPECT_EQ(path->IsSelected(), c.result || wasSelected);
            EXPECT_FALSE(path->IsPointEditing());
            for (std::uint8_t f : path->PointFlags())
                EXPECT_EQ(f & pfSelected, 0);

            path->SetSelected(wasSelected);
            EXPECT_EQ(path->SelectIn({ c.at.X - 1, c.at.Y - 1, 2, 2 }), c.result);
            EXPECT_EQ(path->IsSelected(), c.result || wasSelected);
            EXPECT_EQ(path->IsLocked(), c.ownLock || c.layerLock || c.layerHidden);
        }
    }
}

TEST_F(PathTest, HandleSelectionMarksAnchorsOnly)
{
    auto path = Square(0, 0, 40);
    std::vector<std::uint8_t> flags(12, pfSmooth);
    flags[4] |= pfSelected; // a control point being edited
    path->SetPoints(path->Points(), flags);

    path->SetHandlesSelected(true);
    EXPECT_TRUE(path->IsPointEditing());
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(path->PointFlags()[i], i % 3 == 0 ? pfSmooth | pfSelected : pfSmooth) << i;

    path->SetHandlesSelected(false);
    EXPECT_FALSE(path->IsPointEditing());
    EXPECT_EQ(path->PointFlags(), std::vector<std::uint8_t>(12, pfSmooth));

    path->SetHandlesSelected(true);
    EXPECT_TRUE(path->SetSelected(true));
    EXPECT_TRUE(path->IsSelected());
    EXPECT_FALSE(path->IsPointEditing());
    EXPECT_FALSE(path->IsHandleEditing());
    EXPECT_EQ(path->PointFlags(), std::vector<std::uint8_t>(12, pfSmooth));
    EXPECT_TRUE(path->HitTestSelected({ 20, 20 }));
    EXPECT_FALSE(path->SetSelected(false));
    EXPECT_FALSE(path->HitTestSelected({ 20, 20 }));
}

TEST_F(PathTest, CollectsBySelectionOrLayer)
{
    auto path = Square(0, 0, 40);
    struct Case {
        bool selected;
        int asked;
        bool collected;
    };
    const Case cases[] = {
        { true, -1, true },
        { false, -1, false },
        { false, 1, true }, // solder's index
        { true, 2, false },
    };
    for (const Case& c : cases) {
        path->SetSelected(c.selected);
        std::vector<TVeskObject*> a, b;
        path->CollectSelected(a, c.asked);
        path->CollectByLayer(b, c.asked);
        EXPECT_EQ(a.size(), c.collected ? 1u : 0u);
        EXPECT_EQ(b, a);
    }
}

TEST_F(PathTest, CloneIsADeepIndependentCopy)
{
    auto path
        = MakePath(Polyline({ { 0, 0 }, { 30, 0 }, { 30, 30 } }), Filled(3), true, Matrix(0, 1, -1, 0, 5, 7));
    path->SetName(QStringLiteral("track"));
    path->SetLocked(true);
    path->SetSelected(true);
    path->SetHandlesSelected(true);
    path->SetViewScale(2.5);

    auto object = path->Clone();
    auto* clone = dynamic_cast<TVeskPath*>(object.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->Points(), path->Points());
    EXPECT_EQ(clone->PointFlags(), path->PointFlags());
    EXPECT_TRUE(clone->IsClosed());
    EXPECT_EQ(clone->GetLayer(), solder);
    EXPECT_EQ(clone->GetMatrixRef(), path->GetMatrixRef());
    EXPECT_EQ(clone->InverseMatrix(), path->InverseMatrix());
    EXPECT_EQ(clone->Surface(), path->Surface());
    EXPECT_EQ(clone->GetName(), QStringLiteral("track"));
    EXPECT_TRUE(clone->TVeskObject::IsLocked());
    EXPECT_EQ(clone->ViewScale(), 2.5);
    EXPECT_FALSE(clone->IsSelected());
    EXPECT_FALSE(clone->IsPointEditing());
    EXPECT_EQ(BoundsOf(*clone), BoundsOf(*path));

    path->SetPoints(Polyline({ { 500, 500 }, { 600, 500 } }), {});
    EXPECT_NE(clone->Points(), path->Points());
    EXPECT_NE(BoundsOf(*clone), BoundsOf(*path));
}

// ---------------------------------------------------------------- transforms

enum class Op { Translate, Rotate, Multiply };
struct TransformCase {
    const char* name;
    Op op;
    MatrixOrder order;
};

void PrintTo(const TransformCase& c, std::ostream* os)
{
    *os << c.name;
}

void Apply(TVeskPath& path, const TransformCase& c)
{
    switch (c.op) {
    case Op::Translate:
        path.Translate(12, -7, c.order);
        break;
    case Op::Rotate:
        path.RotateAt(35, { 20, -10 }, c.order);
        break;
    case Op::Multiply:
        path.MultiplyMatrix(Matrix(2, 0.5f, 0, 1.5f, 3, 4), c.order);
        break;
    }
}

class PathTransformTest : public PathTest, public ::testing::WithParamInterface<TransformCase> {
protected:
    std::unique_ptr<TVeskPath> Placed()
    {
        Matrix m;
        m.Rotate(30);
        m.Translate(40, 25, MatrixOrder::Append);
        return MakePath(Polyline({ { 0, 0 }, { 30, 0 }, { 30, 20 } }), Filled(4), false, m);
    }
};

TEST_P(PathTransformTest, UnselectedPathDoesNotMove)
{
    auto path = Placed();
    const Matrix matrix = path->GetMatrixRef();
    const RectF bounds = BoundsOf(*path);
    Apply(*path, GetParam());
    EXPECT_EQ(path->GetMatrixRef(), matrix);
    EXPECT_EQ(BoundsOf(*path), bounds);
}

TEST_P(PathTransformTest, SelectedPathMovesItsOutlineAsARebuildWould)
{
    auto path = Placed();
    const auto points = path->Points();
    path->SetSelected(true);
    Matrix expected = path->GetMatrixRef();
    switch (GetParam().op) {
    case Op::Translate:
        expected.Translate(12, -7, GetParam().order);
        break;
    case Op::Rotate:
        expected.RotateAt(35, { 20, -10 }, GetParam().order);
        break;
    case Op::Multiply:
        expected.Multiply(Matrix(2, 0.5f, 0, 1.5f, 3, 4), GetParam().order);
        break;
    }
    Apply(*path, GetParam());
    EXPECT_EQ(path->GetMatrixRef(), expected);
    EXPECT_EQ(path->Points(), points);

    // The inverse follows the matrix.
    const PointF probe(13, -4);
    const PointF back = path->InverseMatrix().TransformPoint(expected.TransformPoint(probe));
    EXPECT_NEAR(back.X, probe.X, 1e-3);
    EXPECT_NEAR(back.Y, probe.Y, 1e-3);

    TVeskPath rebuilt(solder, path->Surface());
    rebuilt.SetPoints(path->Points(), {});
    rebuilt.SetMatrix(expected);
    ExpectNear(BoundsOf(*path), BoundsOf(rebuilt), 0.02f);
    const RectF b = BoundsOf(rebuilt);
    const PointF centre(b.X + b.Width / 2, b.Y + b.Height / 2);
    EXPECT_EQ(path->HitTest(centre), rebuilt.HitTest(centre));
}

INSTANTIATE_TEST_SUITE_P(Transforms, PathTransformTest,
    ::testing::Values(TransformCase { "TranslateAppend", Op::Translate, MatrixOrder::Append },
        TransformCase { "TranslatePrepend", Op::Translate, MatrixOrder::Prepend },
        TransformCase { "RotateAppend", Op::Rotate, MatrixOrder::Append },
        TransformCase { "RotatePrepend", Op::Rotate, MatrixOrder::Prepend },
        TransformCase { "MultiplyAppend", Op::Multiply, MatrixOrder::Append },
        TransformCase { "MultiplyPrepend", Op::Multiply, MatrixOrder::Prepend }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PathTest, SetMatrixRebuildsEvenWhenUnselected)
{
    auto path = Square(0, 0, 10);
    path->SetMatrix(Matrix(2, 0, 0, 2, 100, 0));
    EXPECT_EQ(BoundsOf(*path), RectF(100, 0, 20, 20));
    EXPECT_EQ(path->InverseMatrix(), Matrix(0.5f, 0, 0, 0.5f, -50, 0));
}

TEST_F(PathTest, SingularMatrixLeavesAnIdentityInverse)
{
    auto path = Square(0, 0, 10);
    path->SetMatrix(Matrix(0, 0, 0, 0, 5, 5));
    EXPECT_TRUE(path->InverseMatrix().IsIdentity());
    path->SetSelected(true);
    // A step prepended to a singular placement cannot be mapped; the outline is rebuilt.
    path->MultiplyMatrix(Matrix(1, 0, 0, 1, 3, 3), MatrixOrder::Prepend);
    EXPECT_FALSE(path->HitTest({ 50, 50 }));
}

// ---------------------------------------------------------------- merged outline

TEST_F(PathTest, AddOutlineAppendsTheWorldAreaOnItsLayerOnly)
{
    auto a = Square(0, 0, 40);
    auto b = MakePath(Polyline({ { 0, 0 }, { 40, 0 }, { 40, 40 }, { 0, 40 } }), Filled(0), true,
        Matrix(1, 0, 0, 1, 30, 30));
    GraphicsPath merged(FillMode::Winding);
    a->AddOutline(merged, solder->index);
    b->AddOutline(merged, solder->index);
    EXPECT_TRUE(merged.IsVisible({ 10, 10 }));
    EXPECT_TRUE(merged.IsVisible({ 35, 35 }));
    EXPECT_TRUE(merged.IsVisible({ 60, 60 }));
    EXPECT_FALSE(merged.IsVisible({ 60, 10 }));
    const RectF bounds = merged.GetBounds();
    ExpectNear(bounds, RectF(0, 0, 70, 70), 0.01f);

    GraphicsPath untouched(FillMode::Winding);
    a->AddOutline(untouched, solder->index + 1);
    a->SetVisible(false);
    a->AddOutline(untouched, solder->index);
    EXPECT_TRUE(untouched.IsEmpty());
}

TEST_F(PathTest, AddOutlineUnitesAreasDrawnInOppositeDirections)
{
    // a: the square (0,0)-(100,100) drawn clockwise on screen; b: the same square
    // drawn the other way and placed at (50,50). The probe lies in both areas.
    struct Case {
        const char* what;
        TVeskSurface first, second;
        PointF probe;
    };
    const Case cases[] = {
        { "fill and fill", Filled(0), Filled(0), { 75, 75 } },
        { "stroke and fill", Stroke(6), Filled(0), { 100, 75 } },
        { "fill and stroke", Filled(0), Stroke(6), { 50, 75 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto a = MakePath(Polyline({ { 0, 0 }, { 100, 0 }, { 100, 100 }, { 0, 100 } }), c.first, true);
        auto b = MakePath(Polyline({ { 0, 100 }, { 100, 100 }, { 100, 0 }, { 0, 0 } }), c.second, true,
            Matrix(1, 0, 0, 1, 50, 50));
        ASSERT_TRUE(a->HitTest(c.probe));
        ASSERT_TRUE(b->HitTest(c.probe));
        GraphicsPath merged(FillMode::Winding);
        a->AddOutline(merged, solder->index);
        b->AddOutline(merged, solder->index);
        EXPECT_TRUE(merged.IsVisible(c.probe));
    }
}

TEST_F(PathTest, AddOutlineWidensInDocumentUnits)
{
    // Under a scaling placement the stroke of the merged outline keeps the
    // surface width in document units.
    auto path = MakePath(Polyline({ { 0, 0 }, { 10, 0 } }), Stroke(4), false, Matrix(10, 0, 0, 10, 0, 0));
    GraphicsPath merged(FillMode::Winding);
    path->AddOutline(merged, solder->index);
    ExpectNear(merged.GetBounds(), RectF(-2, -2, 104, 4), 0.45f);
}

} // namespace
} // namespace vesk::test
