#include "geometry/QtConvert.h"

#include <QFont>
#include <gtest/gtest.h>
#include <vector>

namespace vesk {
namespace {

constexpr std::uint8_t S = PathPointTypeStart;
constexpr std::uint8_t L = PathPointTypeLine;
constexpr std::uint8_t B = PathPointTypeBezier;
constexpr std::uint8_t C = PathPointTypeCloseSubpath;

std::vector<std::uint8_t> typesOf(const GraphicsPath& p)
{
    return { p.Types().begin(), p.Types().end() };
}
std::vector<PointF> pointsOf(const GraphicsPath& p)
{
    return { p.Points().begin(), p.Points().end() };
}

// A closed polygon, an open line-and-curve figure and a closed curve.
GraphicsPath mixedPath(FillMode mode)
{
    GraphicsPath p(mode);
    p.AddRectangle({ 0, 0, 10, 5 });
    p.AddLine({ 20, 0 }, { 30, 0 });
    p.AddBezier({ 30, 0 }, { 35, 5 }, { 40, 5 }, { 45, 0 });
    p.StartFigure();
    p.AddEllipse({ 50, 0, 10, 10 });
    return p;
}

TEST(QtConvertTest, ToQPainterPathMapsFiguresSegmentsAndFillRule)
{
    const QPainterPath alt = ToQPainterPath(mixedPath(FillMode::Alternate));
    EXPECT_EQ(alt.fillRule(), Qt::OddEvenFill);
    EXPECT_EQ(ToQPainterPath(mixedPath(FillMode::Winding)).fillRule(), Qt::WindingFill);

    using E = QPainterPath::ElementType;
    const std::vector<E> expected { // Rectangle: the close adds the line back to the start.
        E::MoveToElement, E::LineToElement, E::LineToElement, E::LineToElement, E::LineToElement,
        // Open figure: no closing line.
        E::MoveToElement, E::LineToElement, E::CurveToElement, E::CurveToDataElement, E::CurveToDataElement,
        // Ellipse: four curves ending on the start, so nothing is added.
        E::MoveToElement, E::CurveToElement, E::CurveToDataElement, E::CurveToDataElement, E::CurveToElement,
        E::CurveToDataElement, E::CurveToDataElement, E::CurveToElement, E::CurveToDataElement,
        E::CurveToDataElement, E::CurveToElement, E::CurveToDataElement, E::CurveToDataElement
    };
    ASSERT_EQ(alt.elementCount(), int(expected.size()));
    for (int i = 0; i < alt.elementCount(); ++i)
        EXPECT_EQ(alt.elementAt(i).type, expected[std::size_t(i)]) << i;
    EXPECT_EQ(QPointF(alt.elementAt(4)), QPointF(0, 0));
    EXPECT_EQ(QPointF(alt.elementAt(7)), QPointF(35, 5));
    EXPECT_EQ(QPointF(alt.elementAt(9)), QPointF(45, 0));
}

TEST(QtConvertTest, RoundTripKeepsPointsTypesAndFillMode)
{
    for (FillMode mode : { FillMode::Alternate, FillMode::Winding }) {
        const GraphicsPath original = mixedPath(mode);
        const GraphicsPath back = FromQPainterPath(ToQPainterPath(original));
        EXPECT_EQ(back.GetFillMode(), mode);
        EXPECT_EQ(pointsOf(back), pointsOf(original));
        EXPECT_EQ(typesOf(back), typesOf(original));
    }
}

TEST(QtConvertTest, FromQPainterPathClosesSubpathsThatReturnToTheirStart)
{
    QPainterPath qp;
    qp.setFillRule(Qt::WindingFill);
    qp.addRect(0, 0, 10, 10);
    qp.moveTo(20, 0);
    qp.lineTo(30, 0);
    qp.lineTo(30, 10);
    qp.moveTo(40, 0);
    qp.cubicTo(50, 10, 60, 10, 40, 0);
    const GraphicsPath p = FromQPainterPath(qp);
    EXPECT_EQ(p.GetFillMode(), FillMode::Winding);
    EXPECT_EQ(typesOf(p), (std::vector<std::uint8_t> { S, L, L, L | C, S, L, L, S, B, B, B | C }));
    EXPECT_EQ(p.Points()[3], PointF(0, 10));
    EXPECT_EQ(p.Points()[10], PointF(40, 0));
}

// Placing while converting must give the very floats of converting Qt's own
// mapped copy, for each kind of transform Qt tells apart.
TEST(QtConvertTest, PlacingWhileConvertingEqualsConvertingTheMappedPath)
{
    QPainterPath qp;
    qp.addText(QPointF(3.25, 1843.5), QFont(QStringLiteral("IPAGothic"), 200), QStringLiteral("Rg8ぬ"));
    qp.addRect(0.1, 0.2, 1000.3, 10.7);
    qp.moveTo(20, 0);
    qp.lineTo(30, 0);
    ASSERT_GT(qp.elementCount(), 50);
    const QTransform placements[] = { QTransform(), QTransform::fromTranslate(12.3, -45.6),
        QTransform(40.0 / 2048, 0, 0, 40.0 / 2048, 200.1, 100.7), QTransform(0, 0.3, -0.3, 0, 7, 9),
        QTransform(1, 0.2, 0, 1, 0, 0) };
    for (const QTransform& t : placements) {
        const GraphicsPath placed = FromQPainterPath(qp, t);
        const GraphicsPath mapped = FromQPainterPath(t.map(qp));
        EXPECT_EQ(pointsOf(placed), pointsOf(mapped)) << int(t.type());
        EXPECT_EQ(typesOf(placed), typesOf(mapped)) << int(t.type());
    }
}

TEST(QtConvertTest, ToQPenMapsEveryPenProperty)
{
    struct Case {
        const char* name;
        Pen pen;
        Qt::PenCapStyle cap;
        Qt::PenJoinStyle join;
        Qt::PenStyle style;
        QList<qreal> dashes;
    };
    const auto pen = [](LineCap start, LineCap end, LineJoin join, std::vector<float> dashes = {}) {
        Pen p;
        p.color = MakeArgb(128, 10, 20, 30);
        p.width = 7.5f;
        p.startCap = start;
        p.endCap = end;
        p.lineJoin = join;
        p.dashPattern = std::move(dashes);
        return p;
    };
    const Case cases[] = {
        { "flat bevel", pen(LineCap::Flat, LineCap::Flat, LineJoin::Bevel), Qt::FlatCap, Qt::BevelJoin,
            Qt::SolidLine, {} },
        { "square miter", pen(LineCap::Square, LineCap::Square, LineJoin::Miter), Qt::SquareCap,
            Qt::MiterJoin, Qt::SolidLine, {} },
        { "round round", pen(LineCap::Round, LineCap::Round, LineJoin::Round), Qt::RoundCap, Qt::RoundJoin,
            Qt::SolidLine, {} },
        { "start cap wins", pen(LineCap::Round, LineCap::Flat, LineJoin::Round), Qt::RoundCap, Qt::RoundJoin,
            Qt::SolidLine, {} },
        { "dashes", pen(LineCap::Flat, LineCap::Flat, LineJoin::Round, { 3, 1 }), Qt::FlatCap, Qt::RoundJoin,
            Qt::CustomDashLine, { 3, 1 } },
        { "odd dashes repeat", pen(LineCap::Flat, LineCap::Flat, LineJoin::Round, { 3, 1, 2 }), Qt::FlatCap,
            Qt::RoundJoin, Qt::CustomDashLine, { 3, 1, 2, 3, 1, 2 } },
        { "all-zero dashes draw solid", pen(LineCap::Flat, LineCap::Flat, LineJoin::Round, { 0, 0 }),
            Qt::FlatCap, Qt::RoundJoin, Qt::SolidLine, {} },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const QPen q = ToQPen(k.pen);
        EXPECT_EQ(q.color(), QColor(10, 20, 30, 128));
        EXPECT_DOUBLE_EQ(q.widthF(), 7.5);
        EXPECT_EQ(q.capStyle(), k.cap);
        EXPECT_EQ(q.joinStyle(), k.join);
        EXPECT_EQ(q.style(), k.style);
        if (k.style == Qt::CustomDashLine) {
            EXPECT_EQ(q.dashPattern(), k.dashes);
        }
    }
}

TEST(QtConvertTest, BrushAndColours)
{
    const QBrush b = ToQBrush({ MakeArgb(255, 1, 2, 3) });
    EXPECT_EQ(b.style(), Qt::SolidPattern);
    EXPECT_EQ(b.color(), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(9, 8, 7, 6)), MakeArgb(6, 9, 8, 7));
}

} // namespace
} // namespace vesk
