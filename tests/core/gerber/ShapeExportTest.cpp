// What each kind of drawing object hands to the Gerber stream.
#include "GerberTestSupport.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

namespace vesk::test {
namespace {

class StreamOnBuffer {
public:
    StreamOnBuffer()
        : out(buffer)
    {
        buffer.open(QIODevice::WriteOnly);
    }

    template <class T> const T* Object(size_t i) const
    {
        return i < out.Objects().size() ? dynamic_cast<const T*>(out.Objects()[i].get()) : nullptr;
    }

    QBuffer buffer;
    TGerber_ostream out;
};

Matrix rotation(float degrees)
{
    Matrix m;
    m.Rotate(degrees);
    return m;
}

enum class Expect { Own, Exchanged, Outline };

struct PlacementCase {
    const char* what;
    Matrix placement;
    Expect expect;
};

const PlacementCase kPlacements[] = {
    { "unturned", Matrix(), Expect::Own },
    { "half turn", rotation(180), Expect::Own },
    { "quarter turn", rotation(90), Expect::Exchanged },
    { "three quarter turns", rotation(270), Expect::Exchanged },
    { "mirrored along x", Matrix(-1, 0, 0, 1, 0, 0), Expect::Own },
    { "mirrored along y", Matrix(1, 0, 0, -1, 0, 0), Expect::Own },
    { "mirrored about a diagonal", Matrix(0, 1, 1, 0, 0, 0), Expect::Exchanged },
    { "quarter turn mirrored", Matrix(0, -1, -1, 0, 0, 0), Expect::Exchanged },
    { "30 degrees", rotation(30), Expect::Outline },
    { "scaled", Matrix(2, 0, 0, 2, 0, 0), Expect::Outline },
    { "element 0.000005 below 1 counts as 1", Matrix(0.999995f, 0, 0, 1, 0, 0), Expect::Own },
    { "element 0.00001 below 1 does not", Matrix(0.99999f, 0, 0, 1, 0, 0), Expect::Outline },
    { "element 0.0000049 above 1 counts as 1", Matrix(1.0000049f, 0, 0, 1, 0, 0), Expect::Own },
    { "element 0.000006 above 1 does not", Matrix(1.000006f, 0, 0, 1, 0, 0), Expect::Outline },
    { "element 0.000004 from 0 counts as 0", Matrix(1, 0.000004f, -0.000004f, 1, 0, 0), Expect::Own },
    { "element 0.000006 from 0 does not", Matrix(1, -0.000006f, 0, 1, 0, 0), Expect::Outline },
};

class BoxPlacement : public GerberTest, public ::testing::WithParamInterface<PlacementCase> { };

// A filled 20 by 10 shape with a 2 wide outline at (50, 40): one flash of
// 22 by 12 covering the outline's outer edge, or an outline and hatch.
TEST_P(BoxPlacement, FilledOutlinedShapesFlashWhenAxisAligned)
{
    const PlacementCase& c = GetParam();
    const PointF centre { 50, 40 };
    const float w = c.expect == Expect::Exchanged ? 12.0f : 22.0f;
    const float h = c.expect == Expect::Exchanged ? 22.0f : 12.0f;
    {
        StreamOnBuffer s;
        EXPECT_EQ(
            MakeRect(centre, 20, 10, SurfaceOf(2, true), c.placement)->WriteGerber(s.out, component->index),
            0);
        ASSERT_EQ(s.out.Objects().size(), 1u) << c.what;
        if (c.expect == Expect::Outline) {
            const auto* path = s.Object<TPreConvPath>(0);
            ASSERT_NE(path, nullptr) << c.what;
            EXPECT_TRUE(path->GetPen().has_value() && path->Fill()) << c.what;
            EXPECT_TRUE(path->IsClosed()) << c.what;
        } else {
            const auto* flash = s.Object<TPreConvRect>(0);
            ASSERT_NE(flash, nullptr) << c.what;
            EXPECT_FLOAT_EQ(flash->Width(), w) << c.what;
            EXPECT_FLOAT_EQ(flash->Height(), h) << c.what;
            EXPECT_NEAR(flash->Centre().X, centre.X, 1e-4) << c.what;
            EXPECT_NEAR(flash->Centre().Y, centre.Y, 1e-4) << c.what;
        }
    }
    {
        StreamOnBuffer s;
        EXPECT_EQ(
            MakeEllipse(centre, 10, 5, SurfaceOf(2, true), c.placement)->WriteGerber(s.out, component->index),
            0);
        ASSERT_EQ(s.out.Objects().size(), 1u) << c.what;
        if (c.expect == Expect::Outline) {
            EXPECT_NE(s.Object<TPreConvPath>(0), nullptr) << c.what;
        } else {
            const auto* flash = s.Object<TPreConvEllipse>(0);
            ASSERT_NE(flash, nullptr) << c.what;
            EXPECT_FLOAT_EQ(flash->Width(), w) << c.what;
            EXPECT_FLOAT_EQ(flash->Height(), h) << c.what;
            EXPECT_NEAR(flash->Centre().X, centre.X, 1e-4) << c.what;
            EXPECT_NEAR(flash->Centre().Y, centre.Y, 1e-4) << c.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Placements, BoxPlacement, ::testing::ValuesIn(kPlacements));

// An ellipse whose box is not centred on its origin (as a file may hold it)
// is flashed where the placement puts the box's centre, as the screen draws it.
TEST_F(GerberTest, AnEllipseFlashSitsOnItsBoxsCentreAsPlaced)
{
    struct Case {
        const char* what;
        Matrix placement;
        PointF centre;
        float w, h;
    };
    const Case cases[] = {
        { "moved", Matrix(1, 0, 0, 1, 100, 50), { 130, 60 }, 40, 20 },
        { "mirrored along x", Matrix(-1, 0, 0, 1, 100, 50), { 70, 60 }, 40, 20 },
        { "mirrored along y", Matrix(1, 0, 0, -1, 100, 50), { 130, 40 }, 40, 20 },
        { "quarter turn", Matrix(0, 1, -1, 0, 100, 50), { 90, 80 }, 20, 40 },
        { "mirrored about a diagonal", Matrix(0, 1, 1, 0, 100, 50), { 110, 80 }, 20, 40 },
        { "half turn", Matrix(-1, 0, 0, -1, 100, 50), { 70, 40 }, 40, 20 },
    };
    // The record of an ellipse with its box changed to (10, 0, 40, 20): after
    // the tag and the layer's name come the box's four floats.
    QByteArray record = [&] {
        TVesk_ostream out;
        MakeEllipse({ 0, 0 }, 5, 5, SurfaceOf(0, true))->Save(out);
        return out.Buffer();
    }();
    const qsizetype box = 4 + 4 + qsizetype(std::strlen("component"));
    const float values[] = { 10, 0, 40, 20 };
    std::memcpy(record.data() + box, values, sizeof values);
    for (const Case& c : cases) {
        TVesk_istream in(record);
        in.SetLayers(&layers);
        std::unique_ptr<TVeskObject> ellipse = in.ReadObject();
        ASSERT_NE(ellipse, nullptr);
        ellipse->SetMatrix(c.placement);
        StreamOnBuffer s;
        ASSERT_EQ(ellipse->WriteGerber(s.out, component->index), 0);
        const auto* flash = s.Object<TPreConvEllipse>(0);
        ASSERT_NE(flash, nullptr) << c.what;
        EXPECT_FLOAT_EQ(flash->Centre().X, c.centre.X) << c.what;
        EXPECT_FLOAT_EQ(flash->Centre().Y, c.centre.Y) << c.what;
        EXPECT_FLOAT_EQ(flash->Width(), c.w) << c.what;
        EXPECT_FLOAT_EQ(flash->Height(), c.h) << c.what;
        RectF drawn;
        ellipse->GetBounds(drawn);
        EXPECT_NEAR(drawn.X + drawn.Width / 2, c.centre.X, 1e-3) << c.what << ": where the screen draws it";
        EXPECT_NEAR(drawn.Y + drawn.Height / 2, c.centre.Y, 1e-3) << c.what << ": where the screen draws it";
    }
}

TEST_F(GerberTest, FilledOutlinedRectangleIsOneRectangularFlash)
{
    TVeskPart root;
    root.Add(*MakeRect({ 50, 40 }, 20, 10, SurfaceOf(2, true)));
    const QByteArray file = WriteLayer(root, component->index, {});
    EXPECT_TRUE(file.endsWith("%ADD10R,2.200X1.200*%\nG54D10*\nX005000Y004000D03*\nM02*\n"))
        << file.toStdString();
}

struct SurfaceCase {
    const char* what;
    float width;
    bool fill;
    Matrix placement;
    bool flash; // else strokes of one closed figure
    bool pen;
    bool hatched;
};

TEST_F(GerberTest, OutlineAndFillChooseStrokesOrFlash)
{
    const SurfaceCase cases[] = {
        { "unfilled outline: strokes only, even unturned", 2, false, Matrix(), false, true, false },
        { "no outline, fill clear: still a flash", 0, false, Matrix(), true, false, false },
        { "no outline, filled: a flash of its own size", 0, true, Matrix(), true, false, false },
        { "no outline at 30 degrees: default pen and hatch", 0, false, rotation(30), false, false, true },
        { "filled outline at 30 degrees: its pen and hatch", 2, true, rotation(30), false, true, true },
    };
    for (const SurfaceCase& c : cases) {
        for (int kind = 0; kind < 2; ++kind) {
            StreamOnBuffer s;
            const TVeskSurface surface = StoredSurface(c.width, c.fill);
            std::unique_ptr<TVeskBoxShape> shape;
            if (kind == 0)
                shape = MakeRect({ 0, 0 }, 20, 10, surface, c.placement);
            else
                shape = MakeEllipse({ 0, 0 }, 10, 5, surface, c.placement);
            shape->WriteGerber(s.out, component->index);
            ASSERT_EQ(s.out.Objects().size(), 1u) << c.what;
            if (c.flash) {
                const auto* rect = s.Object<TPreConvRect>(0);
                const auto* ellipse = s.Object<TPreConvEllipse>(0);
                ASSERT_TRUE(kind == 0 ? rect != nullptr : ellipse != nullptr) << c.what;
                EXPECT_FLOAT_EQ(kind == 0 ? rect->Width() : ellipse->Width(), 20.0f) << c.what;
                continue;
            }
            const auto* path = s.Object<TPreConvPath>(0);
            ASSERT_NE(path, nullptr) << c.what;
            EXPECT_EQ(path->GetPen().has_value(), c.pen) << c.what;
            if (c.pen) {
                EXPECT_EQ(path->Fill(), c.hatched) << c.what;
            }
        }
    }
}

TEST_F(GerberTest, PathsHandTheirOutlineOpenOrClosedWithTheirPenAndFill)
{
    const auto square = StraightEntries({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } });
    struct Case {
        const char* what;
        TVeskSurface surface;
        bool closed;
        bool pen;
    } cases[] = {
        { "closed, outlined", SurfaceOf(2, false), true, true },
        { "open, outlined and filled", SurfaceOf(2, true), false, true },
        { "closed, fill only", SurfaceOf(0, true), true, false },
    };
    for (const Case& c : cases) {
        StreamOnBuffer s;
        EXPECT_EQ(MakePath(square, c.surface, c.closed)->WriteGerber(s.out, component->index), 0) << c.what;
        ASSERT_EQ(s.out.Objects().size(), 1u) << c.what;
        const auto* path = s.Object<TPreConvPath>(0);
        EXPECT_EQ(path->IsClosed(), c.closed) << c.what;
        EXPECT_EQ(path->GetPen().has_value(), c.pen) << c.what;
        EXPECT_EQ(path->Fill(), c.surface.GetFill()) << c.what;
        EXPECT_EQ(path->Points().size(), c.closed ? 5u : 4u) << c.what;
    }
}

TEST_F(GerberTest, PathsWithoutASegmentWriteNothing)
{
    StreamOnBuffer s;
    EXPECT_EQ(MakePath({}, SurfaceOf(2, true), true)->WriteGerber(s.out, component->index), 0);
    EXPECT_EQ(MakePath({ { 5, 5 }, { 5, 5 }, { 5, 5 } }, SurfaceOf(2, true), false)
                  ->WriteGerber(s.out, component->index),
        0);
    EXPECT_TRUE(s.out.Objects().empty());
}

TEST_F(GerberTest, CurvesAreFlattenedWithinOneUnit)
{
    StreamOnBuffer s;
    // A quarter circle of radius 100 as one Bezier segment.
    const float k = 100 * 0.5522848f;
    auto arc = MakePath({ { 100, 0 }, { 100, k }, { k, 100 }, { 0, 100 }, { 0, 100 }, { 0, 100 } },
        SurfaceOf(1, false), false);
    arc->WriteGerber(s.out, component->index);
    const auto* path = s.Object<TPreConvPath>(0);
    ASSERT_NE(path, nullptr);
    ASSERT_GT(path->Points().size(), 4u);
    for (size_t i = 1; i < path->Points().size(); ++i) {
        const PointF a = path->Points()[i - 1], b = path->Points()[i];
        const PointF m { (a.X + b.X) / 2, (a.Y + b.Y) / 2 };
        EXPECT_LE(100 - std::hypot(m.X, m.Y), 1.0f) << "chord " << i << " strays more than the flatness";
    }
}

TEST_F(GerberTest, ObjectsOnOtherLayersOrOnAFailedStreamWriteNothing)
{
    QBuffer closed;
    TGerber_ostream failed(closed);
    ASSERT_TRUE(failed.Failed());
    StreamOnBuffer s;
    TVeskString text(component, SurfaceOf(1, false));
    text.PlaceText(QStringLiteral("A"), { 0, 0 });
    const std::unique_ptr<TVeskObject> objects[] = {
        MakePath(StraightEntries({ { 0, 0 }, { 10, 0 } }), SurfaceOf(2, false), false),
        MakeRect({ 0, 0 }, 4, 4, SurfaceOf(1, true)),
        MakeEllipse({ 0, 0 }, 4, 4, SurfaceOf(1, true)),
        text.Clone(),
    };
    for (const auto& o : objects) {
        EXPECT_EQ(o->WriteGerber(s.out, solder->index), -1) << o->Tag();
        EXPECT_EQ(o->WriteGerber(failed, component->index), -1) << o->Tag();
    }
    EXPECT_TRUE(s.out.Objects().empty());
    EXPECT_TRUE(failed.Objects().empty());
}

TEST_F(GerberTest, TextIsFilledGlyphsWithoutPenHatchedTogether)
{
    TVeskString text(component, SurfaceOf(7.5f, false));
    text.SetFont(QStringLiteral("MS UI Gothic"), 0, 40);
    StreamOnBuffer s;
    EXPECT_EQ(text.WriteGerber(s.out, component->index), -1) << "empty text";
    text.PlaceText(QStringLiteral("ぬる"), { 200, 100 });
    EXPECT_EQ(text.WriteGerber(s.out, component->index), 0);
    ASSERT_GT(s.out.Objects().size(), 2u);
    for (const auto& o : s.out.Objects()) {
        const auto* path = dynamic_cast<const TPreConvPath*>(o.get());
        ASSERT_NE(path, nullptr);
        EXPECT_FALSE(path->GetPen().has_value());
        EXPECT_TRUE(path->Fill());
        EXPECT_TRUE(path->IsClosed());
    }
}

TEST_F(GerberTest, ContainersWriteTheirMembersOnTheLayerInChildOrder)
{
    TVeskGroup group;
    group.Add(*MakeRect({ 10, 10 }, 4, 4, SurfaceOf(0, true)));
    group.Add(
        *MakePath(StraightEntries({ { 0, 0 }, { 10, 0 } }), SurfaceOf(2, false), false, Matrix(), solder));
    group.Add(*MakeEllipse({ 30, 30 }, 3, 3, SurfaceOf(0, true)));
    TVeskPart root;
    root.Add(*MakeRect({ 50, 50 }, 6, 6, SurfaceOf(0, true)));
    root.Add(group);
    StreamOnBuffer s;
    EXPECT_EQ(root.WriteGerber(s.out, component->index), 0);
    ASSERT_EQ(s.out.Objects().size(), 3u);
    EXPECT_EQ(s.Object<TPreConvRect>(0)->Width(), 6.0f);
    EXPECT_EQ(s.Object<TPreConvRect>(1)->Width(), 4.0f);
    EXPECT_NE(s.Object<TPreConvEllipse>(2), nullptr);

    QBuffer closed;
    TGerber_ostream failed(closed);
    EXPECT_EQ(root.WriteGerber(failed, component->index), -1);
    EXPECT_EQ(group.WriteGerber(failed, component->index), -1);
}

} // namespace
} // namespace vesk::test
