// Behaviour the rectangle and the ellipse share, run for both kinds: hit
// tests, handle picking and selection, whole-object transforms on the cached
// outline, merged outlines, drawing and cloning.

#include "BoxShapeTestSupport.h"
#include "geometry/QtConvert.h"

#include <array>
#include <functional>
#include <vector>

namespace vesk::test {
namespace {

constexpr PointF kCentre { 50, 50 };
constexpr float kR = 20;

class BoxKindTest : public BoxShapeTest, public ::testing::WithParamInterface<BoxKind> {
protected:
    std::unique_ptr<TVeskBoxShape> Make(const TVeskSurface& surface, PointF c = kCentre, float r = kR)
    {
        return MakeBox(GetParam(), component, surface, c, r);
    }
    static PointF WorldHandle(const TVeskBoxShape& s, int i)
    {
        return s.GetMatrixRef().TransformPoint(s.Handles()[size_t(i)]);
    }
    static std::array<bool, 5> Flags(const TVeskBoxShape& s)
    {
        std::array<bool, 5> f {};
        for (int i = 0; i < 5; ++i)
            f[size_t(i)] = s.HandleSelected(i);
        return f;
    }
    // A rectangle holding exactly the given world point (and whatever lies within 1 of it).
    static RectF Around(PointF p) { return { p.X - 1, p.Y - 1, 2, 2 }; }
};

INSTANTIATE_TEST_SUITE_P(Kinds, BoxKindTest, ::testing::Values(BoxKind::Rect, BoxKind::Ellipse),
    [](const auto& info) { return info.param == BoxKind::Rect ? "Rect" : "Ellipse"; });

TEST_P(BoxKindTest, ShapeNeverGivenGeometryHasNoOutlineAndIsNeverHit)
{
    auto shape = MakeEmptyBox(GetParam(), component, StrokeAndFill(5));
    EXPECT_EQ(shape->GetName(),
        GetParam() == BoxKind::Rect ? QStringLiteral("Rectangle") : QStringLiteral("Ellipse"));
    EXPECT_STREQ(shape->Tag(), GetParam() == BoxKind::Rect ? "RECT" : "ELPS");
    EXPECT_FALSE(shape->IsSelected());
    EXPECT_TRUE(shape->OutlinePath().IsEmpty());
    RectF bounds { 1, 1, 1, 1 };
    shape->GetBounds(bounds);
    EXPECT_EQ(bounds, RectF());
    for (const PointF p : { PointF(0, 0), PointF(1, 1), PointF(-1, -1) })
        EXPECT_FALSE(shape->HitTest(p));
    EXPECT_FALSE(shape->IntersectsRect({ -5, -5, 10, 10 }));
    EXPECT_FALSE(shape->SelectAt({ 0, 0 }));
    // Its handles all sit on the origin, where none is shown: none is picked.
    for (const PointF p : { PointF(0, 0), PointF(2, 2), PointF(-2, -2) }) {
        EXPECT_EQ(shape->HitHandle(p, 3), HitNothing);
        EXPECT_EQ(shape->SelectHandleAt(p, 3), HitNothing);
        EXPECT_EQ(Flags(*shape), (std::array<bool, 5> {}));
        EXPECT_FALSE(shape->IsPointEditing());
    }
    shape->SetHandlesSelected(true);
    EXPECT_EQ(shape->HitSelectedHandle({ 0, 0 }, 3), HitNothing);
}

// Points on the horizontal axis through the centre lie at the same place
// relative to the edge for both kinds: the edge is at x = 70.
TEST_P(BoxKindTest, StrokeAndFillDecideWhatIsHit)
{
    struct Case {
        const char* name;
        TVeskSurface surface;
        std::vector<std::pair<float, bool>> hits; // x on the axis, expected HitTest
        float extent; // half size of the bounds
    };
    const Case cases[] = {
        { "stroke only", StrokeOnly(4),
            { { 50, false }, { 67, false }, { 68.5f, true }, { 71.5f, true }, { 72.5f, false } }, 22 },
        { "fill only", FillOnly(), { { 50, true }, { 69.5f, true }, { 70.5f, false } }, 20 },
        { "stroke and fill", StrokeAndFill(4),
            { { 50, true }, { 67, true }, { 68.5f, true }, { 71.5f, true }, { 72.5f, false } }, 22 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto shape = Make(c.surface);
        for (const auto& [x, hit] : c.hits)
            EXPECT_EQ(shape->HitTest({ x, 50 }), hit) << "x " << x;
        RectF b;
        shape->GetBounds(b);
        EXPECT_NEAR(b.X, 50 - c.extent, 0.1);
        EXPECT_NEAR(b.Y, 50 - c.extent, 0.1);
        EXPECT_NEAR(b.Width, 2 * c.extent, 0.2);
        EXPECT_NEAR(b.Height, 2 * c.extent, 0.2);
    }
    auto ring = Make(StrokeOnly(4));
    EXPECT_FALSE(ring->IntersectsRect({ 45, 45, 10, 10 })); // inside the hollow
    EXPECT_TRUE(ring->IntersectsRect({ 65, 45, 10, 10 })); // across the edge
    EXPECT_FALSE(ring->IntersectsRect({ 80, 45, 10, 10 }));
    GraphicsPath probe;
    probe.AddRectangle({ 65, 45, 10, 10 });
    EXPECT_TRUE(ring->IntersectsPath(probe, probe.GetBounds()));
    EXPECT_FALSE(ring->IntersectsPath(probe, { 0, 0, 1, 1 })); // the quick bounds test comes first
}

TEST_P(BoxKindTest, PickBoxIsHalfOpenInLocalUnitsOfRadiusOverViewScale)
{
    struct Case {
        Matrix placement;
        double viewScale;
        PointF offset; // world offset of the click from handle 2
        bool hit;
    };
    const Matrix plain(1, 0, 0, 1, 50, 50), doubled(2, 0, 0, 2, 50, 50);
    const Case cases[] = {
        { plain, 1, { 3, 0 }, true }, // exactly t to the right
        { plain, 1, { -3, 0 }, false }, // exactly t to the left
        { plain, 1, { 0, 3 }, true },
        { plain, 1, { 0, -3 }, false },
        { plain, 1, { -2.9f, -2.9f }, true },
        { plain, 2, { 1.5f, 0 }, true }, // zoomed in: t = 1.5
        { plain, 2, { 2, 0 }, false },
        { plain, 0.5, { 5.9f, 0 }, true }, // zoomed out: t = 6
        { doubled, 1, { 6, 0 }, true }, // the radius is not transformed: 3 local units are 6 here
        { doubled, 1, { -6, 0 }, false },
        { doubled, 1, { 6.5f, 0 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.viewScale << " offset " << c.offset.X << ","
                                        << c.offset.Y << " m11 " << c.placement.M11());
        auto shape = Make(StrokeOnly(0.5f), { 0, 0 }, 10);
        shape->SetMatrix(c.placement);
        shape->SetViewScale(c.viewScale);
        const PointF click = WorldHandle(*shape, 2) + c.offset;
        EXPECT_EQ(shape->HitHandle(click, 3) == HitCode::HitHandle, c.hit);
        EXPECT_EQ(shape->SelectHandleAt(click, 3) == HitCode::HitHandle, c.hit);
        EXPECT_EQ(shape->HandleSelected(2), c.hit);
        EXPECT_EQ(shape->HitSelectedHandle(click, 3) == HitCode::HitHandle, c.hit);
    }
}

TEST_P(BoxKindTest, HitHandleFallsBackToTheBody)
{
    auto shape = Make(FillOnly());
    EXPECT_EQ(shape->HitHandle(WorldHandle(*shape, 4), 3), HitCode::HitHandle);
    EXPECT_EQ(shape->HitHandle({ 58, 57 }, 3), HitBody);
    EXPECT_EQ(shape->HitHandle({ 5, 5 }, 3), HitNothing);
    // A handle is a handle whether selected or not; HitSelectedHandle wants it selected.
    EXPECT_EQ(shape->HitSelectedHandle(WorldHandle(*shape, 4), 3), HitNothing);
    shape->SelectHandleAt(WorldHandle(*shape, 4), 3);
    EXPECT_EQ(shape->HitSelectedHandle(WorldHandle(*shape, 4), 3), HitCode::HitHandle);
    EXPECT_EQ(shape->HitSelectedHandle(WorldHandle(*shape, 2), 3), HitNothing);
    EXPECT_EQ(shape->HitSelectedHandle({ 58, 57 }, 3), HitNothing);
}

TEST_P(BoxKindTest, SelectHandleAtSelectsExactlyTheHandlesUnderThePoint)
{
    auto shape = Make(FillOnly());
    shape->SetSelected(false);

    EXPECT_EQ(shape->SelectHandleAt(WorldHandle(*shape, 2), 3), HitCode::HitHandle);
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> { false, false, true, false, false }));
    EXPECT_TRUE(shape->IsPointEditing());
    EXPECT_FALSE(shape->IsSelected()); // handle picking leaves the object's own selection alone

    EXPECT_EQ(shape->SelectHandleAt(WorldHandle(*shape, 4), 3), HitCode::HitHandle);
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> { false, false, false, false, true }));

    // On the body: point editing with no handle.
    shape->SetSelected(false);
    ASSERT_FALSE(shape->IsPointEditing());
    EXPECT_EQ(shape->SelectHandleAt({ 58, 57 }, 3), HitBody);
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> {}));
    EXPECT_TRUE(shape->IsPointEditing());

    // A miss deselects every handle and does not touch point editing.
    shape->SelectHandleAt(WorldHandle(*shape, 0), 3);
    EXPECT_EQ(shape->SelectHandleAt({ 5, 5 }, 3), HitNothing);
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> {}));
    EXPECT_TRUE(shape->IsPointEditing());
    shape->SetSelected(false);
    EXPECT_EQ(shape->SelectHandleAt({ 5, 5 }, 3), HitNothing);
    EXPECT_FALSE(shape->IsPointEditing());
}

TEST_P(BoxKindTest, SelectHandlesInTakesTheFirstHandleInsideAndStops)
{
    struct Case {
        const char* name;
        int preselectOnly; // -1: all handles selected before
        std::vector<int> enclosed;
        std::array<bool, 5> after;
        bool result;
    };
    const Case cases[] = {
        { "one handle inside", -1, { 2 }, { false, false, true, true, true }, true },
        { "all inside", 4, { 0, 1, 2, 3, 4 }, { true, false, false, false, true }, true },
        { "nothing inside", -1, {}, { false, false, false, false, false }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto shape = Make(StrokeOnly(1));
        if (c.preselectOnly < 0)
            shape->SetHandlesSelected(true);
        else
            shape->SelectHandleAt(WorldHandle(*shape, c.preselectOnly), 3);
        RectF rect { 200, 200, 1, 1 };
        for (size_t k = 0; k < c.enclosed.size(); ++k)
            rect = k == 0 ? Around(WorldHandle(*shape, c.enclosed[k]))
                          : RectF::Union(rect, Around(WorldHandle(*shape, c.enclosed[k])));
        const bool wasEditing = shape->IsPointEditing();
        EXPECT_EQ(shape->SelectHandlesIn(rect), c.result);
        EXPECT_EQ(Flags(*shape), c.after);
        EXPECT_EQ(shape->IsPointEditing(), c.result || wasEditing);
    }
}

TEST_P(BoxKindTest, HandleInRectLooksAtWorldPositionsAndChangesNothing)
{
    auto shape = Make(StrokeOnly(1));
    shape->SetMatrix(Matrix(0, 1, -1, 0, 50, 50)); // a quarter turn
    EXPECT_TRUE(shape->HandleInRect(Around(WorldHandle(*shape, 3))));
    EXPECT_FALSE(shape->HandleInRect(Around(shape->Handles()[3]))); // the local position is not it
    EXPECT_FALSE(shape->HandleInRect({ 200, 200, 5, 5 }));
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> {}));
    EXPECT_FALSE(shape->IsPointEditing());
}

TEST_P(BoxKindTest, WholeObjectSelectionEndsHandleEditing)
{
    auto shape = Make(FillOnly());
    shape->SetSelected(false);
    shape->SelectHandleAt(WorldHandle(*shape, 2), 3);

    shape->SetHandlesSelected(false); // leaves point editing alone
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> {}));
    EXPECT_TRUE(shape->IsPointEditing());
    shape->SetHandlesSelected(true);
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> { true, true, true, true, true }));

    EXPECT_TRUE(shape->SetSelected(true));
    EXPECT_TRUE(shape->IsSelected());
    EXPECT_FALSE(shape->IsPointEditing());
    EXPECT_EQ(Flags(*shape), (std::array<bool, 5> {}));

    // A miss keeps the selection but still ends point editing.
    shape->SelectHandleAt(WorldHandle(*shape, 2), 3);
    EXPECT_FALSE(shape->SelectAt({ 5, 5 }));
    EXPECT_TRUE(shape->IsSelected());
    EXPECT_FALSE(shape->IsPointEditing());
    EXPECT_FALSE(shape->HandleSelected(2));

    shape->SetSelected(false);
    shape->SetLocked(true);
    EXPECT_FALSE(shape->SelectAt(kCentre));
    EXPECT_FALSE(shape->SelectIn({ 40, 40, 20, 20 }));
    EXPECT_FALSE(shape->IsSelected());
    shape->SetLocked(false);
    EXPECT_TRUE(shape->SelectIn({ 40, 40, 20, 20 }));
    EXPECT_TRUE(shape->IsSelected());
}

TEST_P(BoxKindTest, TransformsActOnlyWhenSelectedAndMoveTheCachedOutline)
{
    struct Case {
        const char* name;
        std::function<void(TVeskObject&)> op;
        std::function<void(Matrix&)> expected;
    };
    const Matrix shear(1, 0, 0.5f, 1, 3, -2);
    const PointF pivot { 10, 20 };
    const Case cases[] = {
        { "translate append", [](TVeskObject& o) { o.Translate(5, -3, MatrixOrder::Append); },
            [](Matrix& m) { m.Translate(5, -3, MatrixOrder::Append); } },
        { "translate prepend", [](TVeskObject& o) { o.Translate(5, -3, MatrixOrder::Prepend); },
            [](Matrix& m) { m.Translate(5, -3, MatrixOrder::Prepend); } },
        { "rotate append", [&](TVeskObject& o) { o.RotateAt(30, pivot, MatrixOrder::Append); },
            [&](Matrix& m) { m.RotateAt(30, pivot, MatrixOrder::Append); } },
        { "rotate prepend", [&](TVeskObject& o) { o.RotateAt(30, pivot, MatrixOrder::Prepend); },
            [&](Matrix& m) { m.RotateAt(30, pivot, MatrixOrder::Prepend); } },
        { "multiply append", [&](TVeskObject& o) { o.MultiplyMatrix(shear, MatrixOrder::Append); },
            [&](Matrix& m) { m.Multiply(shear, MatrixOrder::Append); } },
        { "multiply prepend", [&](TVeskObject& o) { o.MultiplyMatrix(shear, MatrixOrder::Prepend); },
            [&](Matrix& m) { m.Multiply(shear, MatrixOrder::Prepend); } },
    };
    const Matrix start(0.8f, 0.6f, -0.6f, 0.8f, 40, 30); // turned, so the orders differ
    for (const Case& c : cases) {
        for (const bool selected : { false, true }) {
            SCOPED_TRACE(testing::Message() << c.name << (selected ? " selected" : " unselected"));
            auto shape = Make(StrokeAndFill(2), { 0, 0 }, 10);
            shape->SetMatrix(start);
            shape->SetSelected(selected);
            RectF before;
            shape->GetBounds(before);
            c.op(*shape);
            Matrix expected = start;
            if (selected)
                c.expected(expected);
            EXPECT_EQ(shape->GetMatrixRef(), expected);
            Matrix inverse = expected;
            ASSERT_TRUE(inverse.Invert());
            EXPECT_EQ(shape->InverseMatrix(), inverse);

            // The cache moved with the matrix: a fresh rebuild (the clone's) agrees.
            const auto rebuilt = shape->Clone();
            RectF moved, fresh;
            shape->GetBounds(moved);
            rebuilt->GetBounds(fresh);
            EXPECT_NEAR(moved.X, fresh.X, 0.01);
            EXPECT_NEAR(moved.Y, fresh.Y, 0.01);
            EXPECT_NEAR(moved.Width, fresh.Width, 0.01);
            EXPECT_NEAR(moved.Height, fresh.Height, 0.01);
            if (!selected) {
                EXPECT_EQ(moved, before);
            }
            const PointF centre = expected.TransformPoint({ 0, 0 });
            EXPECT_TRUE(shape->HitTest(centre));
            EXPECT_EQ(shape->OutlinePath().GetPointCount(),
                static_cast<const TVeskBoxShape&>(*rebuilt).OutlinePath().GetPointCount());
        }
    }
}

TEST_P(BoxKindTest, RotateSelectionAtLeavesEverythingAsItWas)
{
    auto shape = Make(FillOnly());
    shape->SetHandlesSelected(true);
    const QByteArray before = Saved(*shape);
    shape->RotateSelectionAt(90, { 0, 0 }, MatrixOrder::Append);
    EXPECT_EQ(Saved(*shape), before);
    EXPECT_TRUE(shape->HitTest(kCentre + PointF(15, 0)));
}

TEST_P(BoxKindTest, DraggingTheCentreHandleMovesOnlyASelectedShape)
{
    for (const bool selected : { true, false }) {
        SCOPED_TRACE(selected);
        auto shape = Make(FillOnly());
        shape->SetMatrix(Matrix(0, 1, -1, 0, 50, 50)); // the drag is in world terms whatever the turn
        shape->SetSelected(selected);
        ASSERT_EQ(shape->SelectHandleAt(kCentre, 3), HitCode::HitHandle);
        const auto handles = shape->Handles();
        shape->MoveSelection(5, 7, MatrixOrder::Prepend);
        EXPECT_EQ(
            shape->GetMatrixRef(), selected ? Matrix(0, 1, -1, 0, 55, 57) : Matrix(0, 1, -1, 0, 50, 50));
        EXPECT_EQ(shape->Handles(), handles);
        EXPECT_EQ(shape->HitTest({ 74, 57 }), selected);
        EXPECT_EQ(shape->HitTest({ 31, 50 }), !selected);
    }
}

TEST_P(BoxKindTest, SingularPlacementPicksNoHandleAndNeverFails)
{
    auto shape = Make(StrokeAndFill(2));
    shape->SetMatrix(Matrix(0, 0, 0, 0, 50, 50));
    EXPECT_EQ(shape->InverseMatrix(), Matrix());
    EXPECT_NE(shape->HitHandle({ 50, 50 }, 3), HitCode::HitHandle);
    EXPECT_NE(shape->SelectHandleAt({ 50, 50 }, 3), HitCode::HitHandle);
    shape->SetSelected(true);
    shape->Translate(1, 1, MatrixOrder::Prepend);
    shape->RotateAt(45, { 0, 0 }, MatrixOrder::Prepend);
    shape->MoveSelection(1, 1, MatrixOrder::Append);
    GraphicsPath merged(FillMode::Winding);
    shape->AddOutline(merged, component->index);

    shape->SetMatrix(Matrix(1, 0, 0, 1, 50, 50));
    EXPECT_EQ(shape->HitHandle(WorldHandle(*shape, 2), 3), HitCode::HitHandle);
    EXPECT_TRUE(shape->HitTest(kCentre));
}

// A contribution turned against the figures already merged would cancel
// them where they overlap and leave a hole in the merged outline.
TEST_P(BoxKindTest, MergedOutlineUnitesMirroredShapesWithTheirNeighbours)
{
    struct Case {
        const char* name;
        Matrix placement;
        TVeskSurface surface;
        PointF overlap; // in the shape and in the neighbour
    };
    const Case cases[] = {
        { "plain, filled", Matrix(1, 0, 0, 1, 50, 50), FillOnly(), { 57.5f, 50 } },
        { "mirrored in x, filled", Matrix(-1, 0, 0, 1, 50, 50), FillOnly(), { 57.5f, 50 } },
        { "mirrored in y, stroked and filled", Matrix(1, 0, 0, -1, 50, 50), StrokeAndFill(2), { 57.5f, 50 } },
        { "mirrored quarter turn, stroked and filled", Matrix(0, 1, 1, 0, 50, 50), StrokeAndFill(2),
            { 57.5f, 50 } },
        { "plain, stroke only", Matrix(1, 0, 0, 1, 50, 50), StrokeOnly(4), { 60.5f, 50 } },
        { "mirrored, stroke only", Matrix(-1, 0, 0, 1, 50, 50), StrokeOnly(4), { 60.5f, 50 } },
        { "mirrored and scaled, stroke only", Matrix(-2, 0, 0, 2, 50, 50), StrokeOnly(2), { 59.5f, 50 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto shape = Make(c.surface, { 0, 0 }, c.placement.M11() == -2 ? 5.0f : 10.0f);
        shape->SetMatrix(c.placement);
        GraphicsPath merged(FillMode::Winding);
        merged.AddRectangle({ 55, 40, 20, 20 });
        shape->AddOutline(merged, component->index);
        EXPECT_TRUE(merged.IsVisible(c.overlap));
        EXPECT_TRUE(merged.IsVisible({ 70, 50 })); // the neighbour alone
        EXPECT_TRUE(merged.IsVisible({ 41, 50 })); // the shape alone
        EXPECT_FALSE(merged.IsVisible({ 50, 65 }));
    }
}

TEST_P(BoxKindTest, MergedOutlineTakesOnlyVisibleShapesOfTheLayer)
{
    auto shape = Make(FillOnly());
    GraphicsPath merged(FillMode::Winding);
    shape->AddOutline(merged, component->index + 1);
    EXPECT_TRUE(merged.IsEmpty());
    shape->SetVisible(false);
    shape->AddOutline(merged, component->index);
    EXPECT_TRUE(merged.IsEmpty());
    shape->SetVisible(true);
    shape->AddOutline(merged, component->index);
    EXPECT_TRUE(merged.IsVisible(kCentre));
}

TEST_P(BoxKindTest, WireFrameDrawsTheEdgeNotTheArea)
{
    component->wireFrame = true;
    auto shape = Make(StrokeAndFill(6), { 30, 30 }, 15);
    BoxCanvas canvas;
    Paint(canvas, [&](QPainter& g) { shape->Draw(g, component->index, style); });
    EXPECT_TRUE(canvas.Blank(30, 30));
    EXPECT_TRUE(canvas.Blank(19, 30)); // inside the widened outline, but not on the edge
    EXPECT_TRUE(canvas.Blank(11, 30));
    const QRgb edge = ToQColor(component->opaqueColor).rgb();
    EXPECT_TRUE(canvas.At(14, 30) == edge || canvas.At(15, 30) == edge);
    EXPECT_TRUE(canvas.At(45, 30) == edge || canvas.At(44, 30) == edge);
}

TEST_P(BoxKindTest, DrawFillsTheOutlineOnItsOwnLayerOnly)
{
    auto shape = Make(StrokeAndFill(6), { 30, 30 }, 15);
    {
        BoxCanvas canvas;
        Paint(canvas, [&](QPainter& g) { shape->Draw(g, component->index, style); });
        EXPECT_FALSE(canvas.Blank(30, 30));
        EXPECT_FALSE(canvas.Blank(13, 30)); // the stroke beyond the edge
        EXPECT_TRUE(canvas.Blank(10, 30));
    }
    for (const bool visible : { true, false }) {
        shape->SetVisible(visible);
        BoxCanvas canvas;
        Paint(canvas, [&](QPainter& g) {
            shape->Draw(g, visible ? component->index + 1 : component->index, style);
            shape->DrawForPrint(g, visible ? component->index + 1 : component->index, style);
        });
        EXPECT_TRUE(canvas.Blank(30, 30));
    }
}

TEST_P(BoxKindTest, PrintUsesInkAndPaperColours)
{
    style.printInkColor = 0xFFFF0000;
    style.printPaperColor = 0xFF00FF00;
    struct Case {
        const char* name;
        bool cutOut;
        bool mask;
        QRgb centre;
    };
    for (const Case c :
        { Case { "ink", false, false, qRgb(255, 0, 0) }, Case { "cut-out", true, false, qRgb(0, 255, 0) },
            Case { "mask layer", false, true, qRgb(0, 255, 0) } }) {
        SCOPED_TRACE(c.name);
        component->mask = c.mask;
        auto shape = Make(TVeskSurface(2, c.cutOut, true, 4), { 30, 30 }, 15);
        BoxCanvas canvas;
        Paint(canvas, [&](QPainter& g) { shape->DrawForPrint(g, component->index, style); });
        EXPECT_EQ(canvas.At(30, 30), c.centre);
    }
}

TEST_P(BoxKindTest, SelectionShowsTheFrameAndInPointEditingTheHandles)
{
    struct Case {
        const char* name;
        std::function<void(TVeskBoxShape&)> setUp;
        bool frame;
        bool centreFilled;
        bool centreSquare;
    };
    const Case cases[] = {
        { "neither", [](TVeskBoxShape& s) { s.SetSelected(false); }, false, false, false },
        { "selected", [](TVeskBoxShape& s) { s.SetSelected(true); }, true, false, false },
        { "centre handle selected",
            [](TVeskBoxShape& s) {
                s.SetSelected(false);
                s.SelectHandleAt({ 30, 30 }, 3);
            },
            true, true, true },
        { "point editing, no handle",
            [](TVeskBoxShape& s) {
                s.SetSelected(false);
                s.SelectHandleAt({ 36, 37 }, 3);
            },
            true, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto shape = Make(FillOnly(), { 30, 30 }, 15);
        c.setUp(*shape);
        BoxCanvas canvas;
        Paint(canvas, [&](QPainter& g) { shape->DrawSelection(g, style); });
        EXPECT_NE(canvas.Blank(15, 30) && canvas.Blank(14, 30), c.frame);
        EXPECT_EQ(!canvas.Blank(30, 30), c.centreFilled);
        EXPECT_NE(canvas.Blank(32, 30) && canvas.Blank(28, 30), c.centreSquare);
    }
}

TEST_P(BoxKindTest, CloneCopiesGeometryButNotSelection)
{
    auto shape = Make(StrokeAndFill(3));
    shape->SetMatrix(Matrix(0.8f, 0.6f, -0.6f, 0.8f, 40, 30));
    shape->SetName(QStringLiteral("pad"));
    shape->SetSelected(true);
    shape->SelectHandleAt(WorldHandle(*shape, 0), 3);
    const auto clone = shape->Clone();
    const auto& copy = static_cast<const TVeskBoxShape&>(*clone);
    EXPECT_FALSE(copy.IsSelected());
    EXPECT_FALSE(copy.IsPointEditing());
    EXPECT_EQ(Flags(copy), (std::array<bool, 5> {}));
    EXPECT_EQ(copy.GetLayer(), component);
    EXPECT_EQ(copy.Handles(), shape->Handles());
    EXPECT_EQ(copy.InverseMatrix(), shape->InverseMatrix());
    RectF a, b;
    shape->GetBounds(a);
    copy.GetBounds(b);
    EXPECT_EQ(a, b);
    shape->SetSelected(false);
    EXPECT_EQ(Saved(copy), Saved(*shape));
}

} // namespace
} // namespace vesk::test
