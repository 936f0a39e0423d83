#include "GeometryTestUtil.h"
#include "geometry/GraphicsPath.h"

#include <QFont>
#include <QPainterPath>
#include <cmath>
#include <gtest/gtest.h>

namespace vesk {
namespace {

using namespace testutil;

const QString kLatin = QStringLiteral("DejaVu Sans");
const QString kJapanese = QStringLiteral("IPAGothic");

GraphicsPath text(const QString& s, const QString& family, float em, PointF origin = { 0, 0 }, int style = 0)
{
    GraphicsPath p(FillMode::Winding);
    p.AddString(s, family, style, em, origin);
    return p;
}

TEST(AddStringTest, GlyphsAreClosedCurvedFiguresBelowTheOrigin)
{
    const PointF origin { 100, 200 };
    const float em = 10;
    GraphicsPath p(FillMode::Alternate);
    p.AddString(QStringLiteral("ABC"), kLatin, 0, em, origin);
    ASSERT_FALSE(p.IsEmpty());
    EXPECT_EQ(p.GetFillMode(), FillMode::Alternate);

    const auto types = p.Types();
    bool hasCurves = false;
    for (std::size_t i = 0; i < types.size(); ++i) {
        hasCurves = hasCurves || (types[i] & PathPointTypeMask) == PathPointTypeBezier;
        const bool last = i + 1 == types.size() || (types[i + 1] & PathPointTypeMask) == PathPointTypeStart;
        EXPECT_EQ(last, (types[i] & PathPointTypeCloseSubpath) != 0) << i;
    }
    EXPECT_TRUE(hasCurves);

    // The line box starts at the origin and the capitals sit on a baseline one ascent below it.
    const RectF b = p.GetBounds();
    EXPECT_GE(b.GetLeft(), origin.X - 0.1f * em);
    EXPECT_LT(b.GetLeft(), origin.X + 0.2f * em);
    EXPECT_GT(b.GetTop(), origin.Y);
    EXPECT_GT(b.GetBottom(), origin.Y + 0.75f * em);
    EXPECT_LT(b.GetBottom(), origin.Y + em);
    EXPECT_GT(b.Width, 1.5f * em);
}

TEST(AddStringTest, SizeScalesTheOutlineLinearlyIncludingFractionalSizes)
{
    const RectF ref = text(QStringLiteral("ABC"), kLatin, 10).GetBounds();
    for (float em : { 20.0f, 3.5f, 0.7f, 123.25f }) {
        SCOPED_TRACE(em);
        const RectF b = text(QStringLiteral("ABC"), kLatin, em).GetBounds();
        const float k = em / 10;
        const float tol = 1e-3f * std::max(1.0f, em);
        EXPECT_NEAR(b.X, ref.X * k, tol);
        EXPECT_NEAR(b.Y, ref.Y * k, tol);
        EXPECT_NEAR(b.Width, ref.Width * k, tol);
        EXPECT_NEAR(b.Height, ref.Height * k, tol);
    }
}

TEST(AddStringTest, CountersAreHolesUnderWindingFill)
{
    struct Case {
        QString text;
        QString family;
    };
    const Case cases[] = {
        { QStringLiteral("o"), kLatin },
        { QStringLiteral("A"), kLatin },
        { QString::fromUtf8("ぬ"), kJapanese },
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text.toStdString());
        const GraphicsPath p = text(k.text, k.family, 100);
        ASSERT_FALSE(p.IsEmpty());
        GraphicsPath flat = p;
        flat.Flatten(0.05f);
        double net = 0, total = 0;
        int clockwise = 0, counter = 0;
        for (const auto& fig : figuresOf(flat)) {
            const double a = signedArea(fig);
            net += a;
            total += std::abs(a);
            (a > 0 ? clockwise : counter)++;
        }
        EXPECT_GT(clockwise, 0);
        EXPECT_GT(counter, 0);
        // Holes turn against their outline, so the filled area is the difference, not the sum.
        const double filled = rasterArea(p, FillMode::Winding, 4);
        EXPECT_NEAR(filled, std::abs(net), 0.02 * std::abs(net));
        EXPECT_LT(filled, 0.9 * total);
    }

    const GraphicsPath o = text(QStringLiteral("o"), kLatin, 100);
    const RectF b = o.GetBounds();
    const float midY = b.Y + b.Height / 2;
    EXPECT_FALSE(o.IsVisible({ b.X + b.Width / 2, midY }));
    EXPECT_TRUE(o.IsVisible({ b.X + 0.05f * b.Width, midY }));
}

TEST(AddStringTest, StyleBitsChangeTheOutline)
{
    const GraphicsPath regular = text(QStringLiteral("I"), kLatin, 100);
    const RectF rb = regular.GetBounds();
    const double regularArea = rasterArea(regular, FillMode::Winding, 2);
    const auto figureCount = [](const GraphicsPath& p) { return figuresOf(p).size(); };

    const GraphicsPath bold = text(QStringLiteral("I"), kLatin, 100, {}, FontStyleBold);
    EXPECT_GT(rasterArea(bold, FillMode::Winding, 2), 1.2 * regularArea);

    const GraphicsPath italic = text(QStringLiteral("I"), kLatin, 100, {}, FontStyleItalic);
    EXPECT_GT(italic.GetBounds().Width, rb.Width + 5);

    // Underline: an extra bar below the baseline.
    const GraphicsPath under = text(QStringLiteral("I"), kLatin, 100, {}, FontStyleUnderline);
    EXPECT_EQ(figureCount(under), figureCount(regular) + 1);
    EXPECT_GT(under.GetBounds().GetBottom(), rb.GetBottom() + 1);

    // Strikeout: an extra bar within the glyph's height.
    const GraphicsPath strike = text(QStringLiteral("I"), kLatin, 100, {}, FontStyleStrikeout);
    EXPECT_EQ(figureCount(strike), figureCount(regular) + 1);
    EXPECT_NEAR(strike.GetBounds().GetBottom(), rb.GetBottom(), 0.01f);
}

// The Japanese faces have no bold; bold is made by emboldening the outline
// as font engines do: every stem grows by a 24th of the em, counters shrink,
// the glyph stays where it was. A family with a bold face is drawn with it
// and not emboldened again.
TEST(AddStringTest, BoldOfAFamilyWithoutABoldFaceIsEmboldened)
{
    const float em = 240;
    const float growth = em / 24;
    for (const char16_t* letters : { u"I", u"ぬ", u"o" }) {
        const QString s = QString::fromUtf16(letters);
        SCOPED_TRACE(s.toStdString());
        const GraphicsPath regular = text(s, kJapanese, em);
        const GraphicsPath bold = text(s, kJapanese, em, {}, FontStyleBold);
        const RectF rb = regular.GetBounds(), bb = bold.GetBounds();
        // Curves bulge a little more than their control points move.
        EXPECT_NEAR(bb.Width, rb.Width + growth, 0.25 * growth);
        EXPECT_NEAR(bb.Height, rb.Height + growth, 0.25 * growth);
        EXPECT_NEAR(bb.X + bb.Width / 2, rb.X + rb.Width / 2, 0.15 * growth) << "grows on both sides alike";
        EXPECT_GT(rasterArea(bold, FillMode::Winding, 2), 1.1 * rasterArea(regular, FillMode::Winding, 2));
    }
    // The counter of an "o" shrinks instead of growing.
    const GraphicsPath o = text(QStringLiteral("o"), kJapanese, em, {}, FontStyleBold);
    const RectF ob = o.GetBounds();
    const float midY = ob.Y + ob.Height / 2;
    const float inner = ob.X + ob.Width / 2;
    EXPECT_FALSE(o.IsVisible({ inner, midY })) << "the counter stays open";

    // DejaVu Sans has a bold face, drawn as it is.
    const RectF real = text(QStringLiteral("I"), kLatin, em, {}, FontStyleBold).GetBounds();
    QFont font(kLatin);
    font.setPixelSize(2048);
    font.setBold(true);
    QPainterPath qt;
    qt.addText(0, 0, font, QStringLiteral("I"));
    EXPECT_NEAR(real.Width, qt.boundingRect().width() * em / 2048, 0.01 * em);
}

TEST(AddStringTest, LineBreaksStackLines)
{
    const RectF one = text(QStringLiteral("A"), kLatin, 10).GetBounds();
    const RectF two = text(QStringLiteral("A\nA"), kLatin, 10).GetBounds();
    EXPECT_NEAR(two.X, one.X, 1e-3f);
    EXPECT_NEAR(two.Y, one.Y, 1e-3f);
    // The second line starts at least one em below the first.
    EXPECT_GT(two.Height, one.Height + 10);
    EXPECT_LT(two.Height, one.Height + 15);
}

TEST(AddStringTest, NothingForEmptyTextOrSize)
{
    EXPECT_TRUE(text(QString(), kLatin, 10).IsEmpty());
    EXPECT_TRUE(text(QStringLiteral("A"), kLatin, 0).IsEmpty());
    EXPECT_TRUE(text(QStringLiteral("A"), kLatin, -5).IsEmpty());
    EXPECT_TRUE(text(QStringLiteral(" "), kLatin, 10).IsEmpty());
}

TEST(AddStringTest, FollowsAnOpenFigureAsNewFigures)
{
    GraphicsPath p;
    p.AddLine({ 0, 0 }, { 10, 0 });
    p.AddString(QStringLiteral("A"), kLatin, 0, 10, { 0, 0 });
    p.AddLine({ 20, 20 }, { 30, 30 });
    const auto figures = figuresOf(p);
    EXPECT_EQ(figures.front().size(), 2u);
    EXPECT_EQ(figures.back(), (std::vector<PointF> { { 20, 20 }, { 30, 30 } }));
}

} // namespace
} // namespace vesk
