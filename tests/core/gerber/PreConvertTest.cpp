#include "GerberTestSupport.h"
#include "gerber/Gerberhatch.h"
#include "shapes/Veskpart.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace vesk::test {
namespace {

QByteArray joined(const QList<QByteArray>& lines)
{
    return lines.join('\n') + '\n';
}

TEST_F(GerberTest, SquareWithoutOutlineIsStrokedAndHatchedWithTheDefaultPen)
{
    TVeskPart root;
    // Width 0: no outline pen (an unfilled surface would keep a minimal width).
    root.Add(
        *MakePath(StraightEntries({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }), SurfaceOf(0, true), true));
    const QByteArray file = WriteLayer(root, component->index, QStringLiteral("component"));
    EXPECT_TRUE(file.contains("%MIA0B1*%\n%ADD10C,0.300*%\nG54D10*\n")) << file.toStdString();
    EXPECT_EQ(joined(BodyLines(file)),
        "G54D10*\n"
        "X000000Y000000D02*\n"
        "X001000Y000000D01*\n"
        "X001000Y001000D01*\n"
        "X000000Y001000D01*\n"
        "X000000Y000000D01*\n"
        "G54D10*\n"
        "X000000Y000000D02*\n"
        "X000000Y001000D01*\n"
        "X000240Y000000D02*\n"
        "X000240Y001000D01*\n"
        "X000480Y000000D02*\n"
        "X000480Y001000D01*\n"
        "X000720Y000000D02*\n"
        "X000720Y001000D01*\n"
        "X000960Y000000D02*\n"
        "X000960Y001000D01*\n");
}

TEST_F(GerberTest, SquareCapsAreFlashedTurnedToTheEndSegments)
{
    TVeskPart root;
    // Start segment at 45 degrees, end segment vertical (angle 0).
    root.Add(*MakePath(StraightEntries({ { 0, 0 }, { 10, 10 }, { 10, 20 } }), SurfaceOf(4, false, 1), false));
    const QByteArray file = WriteLayer(root, component->index, QString());
    EXPECT_TRUE(file.contains("%ADD10P,0.566X4X0*%\n%ADD11C,0.400*%\n%ADD12P,0.566X4X45*%\n"))
        << file.toStdString();
    EXPECT_EQ(joined(BodyLines(file)),
        "G54D10*\n"
        "X000000Y000000D03*\n"
        "G54D11*\n"
        "X000000Y000000D02*\n"
        "X001000Y001000D01*\n"
        "X001000Y002000D01*\n"
        "G54D12*\n"
        "X001000Y002000D03*\n");
}

// The file mirrors y, so the square of a track at 30 degrees (31 in the
// document's numbers) is written turned by 45 + 30: turned by 45 - 30, the
// mirrored image would show it 60 degrees off the track.
TEST_F(GerberTest, SquareCapsLineUpWithTheTrackInTheMirroredImage)
{
    TVeskPart root;
    root.Add(*MakePath(StraightEntries({ { 0, 0 }, { 100, 60 } }), SurfaceOf(100, false, 1), false));
    const QByteArray file = WriteLayer(root, component->index, QString());
    EXPECT_TRUE(file.contains("%MIA0B1*%\n%ADD10P,14.142X4X75*%\n%ADD11C,10.000*%\nG54D10*\n"))
        << file.toStdString();
    EXPECT_EQ(joined(BodyLines(file)),
        "G54D10*\n"
        "X000000Y000000D03*\n"
        "G54D11*\n"
        "X000000Y000000D02*\n"
        "X010000Y006000D01*\n"
        "G54D10*\n"
        "X010000Y006000D03*\n");
}

TEST_F(GerberTest, RoundAndFlatCapsStrokeWithTheCircleAndReturnToTheStartOfClosedFigures)
{
    for (int cap : { 0, 2 }) {
        TVeskPart root;
        root.Add(
            *MakePath(StraightEntries({ { 0, 0 }, { 20, 0 }, { 20, 5 } }), SurfaceOf(2, false, cap), true));
        const QByteArray file = WriteLayer(root, component->index, QString());
        EXPECT_EQ(joined(BodyLines(file)),
            "G54D10*\n"
            "X000000Y000000D02*\n"
            "X002000Y000000D01*\n"
            "X002000Y000500D01*\n"
            "X000000Y000000D01*\n")
            << "cap " << cap;
    }
}

// ---------------------------------------------------------------- scan lines

struct LinesCase {
    const char* what;
    RectF bounds;
    float step;
    bool horizontal;
    std::vector<float> at;
};

TEST(HatchLines, RunAlongTheLongerSideFromTheNearEdge)
{
    const LinesCase cases[] = {
        { "square bounds give vertical lines", { 0, 0, 10, 10 }, 2.4f, false, { 0, 2.4f, 4.8f, 7.2f, 9.6f } },
        { "wide bounds give horizontal lines", { 5, 1, 20, 4 }, 2.0f, true, { 1, 3, 5 } },
        { "the far edge itself is a line", { 0, 0, 4, 8 }, 2.0f, false, { 0, 2, 4 } },
        { "zero extent gives the near edge only", { 3, 3, 0, 0 }, 2.0f, false, { 3 } },
        { "zero step gives nothing", { 0, 0, 10, 10 }, 0.0f, false, {} },
        { "negative step gives nothing", { 0, 0, 10, 10 }, -1.0f, false, {} },
        { "not-a-number step gives nothing", { 0, 0, 10, 10 }, std::numeric_limits<float>::quiet_NaN(), false,
            {} },
        { "infinite bounds give nothing", { 0, 0, std::numeric_limits<float>::infinity(), 1 }, 1.0f, false,
            {} },
    };
    for (const LinesCase& c : cases) {
        const THatchLines lines = MakeHatchLines(c.bounds, c.step);
        ASSERT_EQ(lines.at.size(), c.at.size()) << c.what;
        for (size_t i = 0; i < c.at.size(); ++i)
            EXPECT_NEAR(lines.at[i], c.at[i], 1e-5) << c.what << " line " << i;
        if (!c.at.empty()) {
            EXPECT_EQ(lines.horizontal, c.horizontal) << c.what;
        }
    }
}

TEST(HatchLines, TooManyLinesAreRefusedNotMade)
{
    const THatchLines absurd = MakeHatchLines({ 0, 0, 1, 0.5f }, 1e-30f);
    EXPECT_TRUE(absurd.tooMany);
    EXPECT_TRUE(absurd.at.empty());
    // The thinnest outline of an unfilled surface across a whole board still gets its lines.
    const THatchLines thin = MakeHatchLines({ -10000, -10000, 20000, 20000 }, 0.008f);
    EXPECT_FALSE(thin.tooMany);
    EXPECT_GT(thin.at.size(), 2000000u);
}

TEST(HatchLines, AStepTooSmallToAdvanceTheRunningValueEndsTheLines)
{
    const THatchLines lines = MakeHatchLines({ 0, 1000, 0.5f, 0.1f }, 1e-5f);
    EXPECT_FALSE(lines.tooMany);
    EXPECT_EQ(lines.at, std::vector<float> { 1000 });
}

// ---------------------------------------------------------------- hatch of one figure

void expectPoints(const std::vector<PointF>& got, const std::vector<PointF>& want, const char* what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].X, want[i].X, 1e-4) << what << " point " << i;
        EXPECT_NEAR(got[i].Y, want[i].Y, 1e-4) << what << " point " << i;
    }
}

TEST(HatchFigure, VerticesOnAScanLineCountByTheStrictlyBeyondRule)
{
    // Line x = 0 meets a vertex whose edges both go beyond it (counted twice),
    // x = 5 two vertices whose edges go to either side (once each), x = 10 a
    // vertex whose edges both stay on the near side (not at all).
    const std::vector<PointF> diamond { { 5, 0 }, { 10, 5 }, { 5, 10 }, { 0, 5 }, { 5, 0 } };
    const THatchLines lines = MakeHatchLines({ 0, 0, 10, 10 }, 2.5f);
    ASSERT_EQ(lines.at.size(), 5u);
    expectPoints(HatchFigure(diamond, false, lines, FillMode::Alternate, 0),
        { { 0, 5 }, { 0, 5 }, { 2.5f, 2.5f }, { 2.5f, 7.5f }, { 5, 0 }, { 5, 10 }, { 7.5f, 2.5f },
            { 7.5f, 7.5f } },
        "diamond");
}

TEST(HatchFigure, AnEdgeOnTheFirstScanLineIsStrokedByIt)
{
    const std::vector<PointF> rect { { 0, 0 }, { 20, 0 }, { 20, 10 }, { 0, 10 }, { 0, 0 } };
    const THatchLines lines = MakeHatchLines({ 0, 0, 20, 10 }, 2.4f);
    const std::vector<PointF> hatch = HatchFigure(rect, false, lines, FillMode::Alternate, 0);
    ASSERT_EQ(hatch.size(), 10u);
    expectPoints({ hatch[0], hatch[1] }, { { 0, 0 }, { 20, 0 } }, "first line");
    expectPoints(
        { hatch[8], hatch[9] }, { { 0, 9.6f }, { 20, 9.6f } }, "last line, within a step of the far edge");
}

TEST(HatchFigure, AnOddLineDropsTheLastCrossingFoundNotTheLastAlongTheLine)
{
    const std::vector<PointF> open { { 15, 4 }, { 10, 0 }, { 5, 4 }, { 0, 0 } };
    const THatchLines lines = MakeHatchLines({ 0, 0, 15, 4 }, 2.4f);
    expectPoints(HatchFigure(open, false, lines, FillMode::Alternate, 0),
        { { 10, 0 }, { 10, 0 }, { 7, 2.4f }, { 13, 2.4f } }, "open");
}

TEST(HatchFigure, AnOpenFigureFilledAsClosedGetsItsClosingEdge)
{
    const std::vector<PointF> open { { 0, 0 }, { 10, 0 }, { 10, 10 } };
    const THatchLines lines = MakeHatchLines({ 0, 0, 10, 10 }, 2.5f);
    EXPECT_TRUE(HatchFigure(open, false, lines, FillMode::Alternate, 0).empty())
        << "one crossing a line, always dropped";
    expectPoints(HatchFigure(open, true, lines, FillMode::Alternate, 0),
        { { 0, 0 }, { 0, 0 }, { 2.5f, 0 }, { 2.5f, 2.5f }, { 5, 0 }, { 5, 5 }, { 7.5f, 0 }, { 7.5f, 7.5f } },
        "closed by a straight edge");
}

// The closing edge of an open filled path has no pen along it: the round
// ends of the hatch strokes stop half a pen width short of it instead of
// reaching as far beyond it.
TEST_F(GerberTest, OpenFilledPathIsHatchedInsideTheAreaItDraws)
{
    TVeskPart root;
    // Open path of three anchors: drawn filled as the triangle closed by a straight edge.
    auto path = MakePath(StraightEntries({ { 0, 0 }, { 20, 0 }, { 20, 20 } }), SurfaceOf(1, true), false);
    root.Add(*path);
    const std::vector<Stroke> hatch = LastHatch(ParseBody(BodyLines(WriteLayer(root, component->index, {}))));
    // x = 0.8, 1.6, ... and perhaps a last line just short of 20; the one
    // at x = 0 lies within half a pen of the closing edge's end.
    ASSERT_GE(hatch.size(), 24u);
    ASSERT_LE(hatch.size(), 25u);
    const float shortBy = 0.5f * std::sqrt(2.0f);
    for (const Stroke& s : hatch) {
        EXPECT_FLOAT_EQ(s.from.X, s.to.X);
        EXPECT_NEAR(s.from.Y, 0, 0.011);
        EXPECT_NEAR(s.to.Y, s.to.X - shortBy, 0.011) << "stops short of the closing edge at x " << s.to.X;
        EXPECT_GE((s.to.X - s.to.Y) / std::sqrt(2.0f), 0.5f - 0.01f) << "the round end stays inside";
    }
}

TEST(HatchFigure, StrokesKeepOffTheClosingEdgeByTheGivenDistance)
{
    // The closing edge from (10, 10) back to (0, 0) at 45 degrees: each
    // vertical stroke ends sqrt(2) short of it; the one at x = 0 vanishes.
    const std::vector<PointF> open { { 0, 0 }, { 10, 0 }, { 10, 10 } };
    const THatchLines lines = MakeHatchLines({ 0, 0, 10, 10 }, 2.5f);
    const float r = std::sqrt(2.0f);
    expectPoints(HatchFigure(open, true, lines, FillMode::Alternate, 1),
        { { 2.5f, 0 }, { 2.5f, 2.5f - r }, { 5, 0 }, { 5, 5 - r }, { 7.5f, 0 }, { 7.5f, 7.5f - r } },
        "diagonal closing edge");
    // A closing edge along the first scan line: the stroke on it would lie
    // half outside the shape; the line beyond the distance stays whole.
    const std::vector<PointF> u { { 0, 0 }, { 0, 5 }, { 20, 5 }, { 20, 0 } };
    expectPoints(HatchFigure(u, true, MakeHatchLines({ 0, 0, 20, 5 }, 2.5f), FillMode::Alternate, 1),
        { { 0, 2.5f }, { 20, 2.5f } }, "closing edge along a scan line");
    // A closed figure has a pen all round: nothing is kept off.
    const std::vector<PointF> closed { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 0 } };
    EXPECT_EQ(HatchFigure(closed, false, lines, FillMode::Alternate, 1),
        HatchFigure(closed, false, lines, FillMode::Alternate, 0));
}

// A figure that winds round a region twice fills it under the winding rule,
// as the screen fills a path; the even-odd pairing leaves it empty.
TEST(HatchFigure, FiguresThatWindTwiceFollowTheFillRule)
{
    std::vector<PointF> star;
    for (int k = 0; k <= 5; ++k) {
        const double a = (-90.0 + 144.0 * k) * std::numbers::pi / 180.0;
        star.push_back({ float(50 + 40 * std::cos(a)), float(50 + 40 * std::sin(a)) });
    }
    const std::vector<PointF> twice { { 0, 0 }, { 30, 0 }, { 30, 20 }, { 0, 20 }, { 0, 0 }, { 30, 0 },
        { 30, 20 }, { 0, 20 }, { 0, 0 } };
    struct Case {
        const char* what;
        const std::vector<PointF>& points;
        PointF inner; // wound twice
    };
    for (const Case& c :
        { Case { "pentagram", star, { 50, 52 } }, Case { "square run round twice", twice, { 15, 10 } } }) {
        const THatchLines lines = MakeHatchLines({ 0, 0, 100, 100 }, 2.4f);
        const auto covers = [&](const std::vector<PointF>& hatch) {
            for (size_t j = 0; j + 1 < hatch.size(); j += 2) {
                const PointF a = hatch[j], b = hatch[j + 1];
                if (std::abs(a.X - c.inner.X) < 1.3f && a.Y < c.inner.Y && b.Y > c.inner.Y)
                    return true;
            }
            return false;
        };
        EXPECT_TRUE(covers(HatchFigure(c.points, false, lines, FillMode::Winding, 0))) << c.what;
        EXPECT_FALSE(covers(HatchFigure(c.points, false, lines, FillMode::Alternate, 0))) << c.what;
    }
    // Where no region winds twice the two rules give the same strokes.
    const std::vector<PointF> diamond { { 5, 0 }, { 10, 5 }, { 5, 10 }, { 0, 5 }, { 5, 0 } };
    const THatchLines lines = MakeHatchLines({ 0, 0, 10, 10 }, 2.5f);
    EXPECT_EQ(HatchFigure(diamond, false, lines, FillMode::Winding, 0),
        HatchFigure(diamond, false, lines, FillMode::Alternate, 0));
}

// A path object is hatched by the rule it is drawn with: the centre of a
// pentagram is copper.
TEST_F(GerberTest, APentagramPathIsHatchedByTheWindingRule)
{
    std::vector<PointF> anchors;
    for (int k = 0; k < 5; ++k) {
        const double a = (-90.0 + 144.0 * k) * std::numbers::pi / 180.0;
        anchors.push_back({ float(50 + 40 * std::cos(a)), float(50 + 40 * std::sin(a)) });
    }
    TVeskPart root;
    root.Add(*MakePath(vesk::StraightEntries(anchors), SurfaceOf(0, true), true));
    const std::vector<Stroke> hatch = LastHatch(ParseBody(BodyLines(WriteLayer(root, component->index, {}))));
    // The star is wider than high: horizontal scan lines.
    bool centre = false;
    for (const Stroke& s : hatch)
        centre |= std::abs(s.from.Y - 50) < 1.3f && s.from.X < 50 && s.to.X > 50;
    EXPECT_TRUE(centre);
}

// ---------------------------------------------------------------- several figures

struct RingCase {
    const char* what;
    FillMode mode;
    bool innerReversed;
    bool holeOpen;
};

TEST(HatchFigures, HolesFollowTheFillRule)
{
    const RingCase cases[] = {
        { "winding, inner contour turning back", FillMode::Winding, true, true },
        { "winding, inner contour turning alike", FillMode::Winding, false, false },
        { "alternate, inner contour turning alike", FillMode::Alternate, false, true },
        { "alternate, inner contour turning back", FillMode::Alternate, true, true },
    };
    for (const RingCase& c : cases) {
        std::vector<THatchFigure> figures(2);
        figures[0].points = { { 0, 0 }, { 30, 0 }, { 30, 30 }, { 0, 30 }, { 0, 0 } };
        figures[1].points = { { 10, 10 }, { 20, 10 }, { 20, 20 }, { 10, 20 }, { 10, 10 } };
        if (c.innerReversed)
            std::reverse(figures[1].points.begin(), figures[1].points.end());
        const std::vector<PointF> hatch
            = HatchFigures(figures, c.mode, MakeHatchLines({ 0, 0, 30, 30 }, 2.5f));
        bool crossesHole = false;
        for (size_t j = 0; j + 1 < hatch.size(); j += 2) {
            const PointF a = hatch[j], b = hatch[j + 1];
            EXPECT_EQ(a.X, b.X) << c.what;
            EXPECT_LT(a.Y, b.Y) << c.what;
            if (a.X > 10 && a.X < 20 && a.Y < 15 && b.Y > 15)
                crossesHole = true;
        }
        EXPECT_EQ(crossesHole, !c.holeOpen) << c.what;
    }
}

// Text is hatched exactly where its glyphs are inside: a stroke never runs
// through a counter (the hole of "o", "A", "ぬ") and every gap between two
// strokes on a line lies outside the letter.
class TextHatch : public GerberTest, public ::testing::WithParamInterface<const char16_t*> { };

TEST_P(TextHatch, LeavesTheCountersOpen)
{
    TVeskString text(component, SurfaceOf(1, false));
    text.SetFont(QStringLiteral("MS UI Gothic"), 0, 400);
    text.PlaceText(QString::fromUtf16(GetParam()), { 100, 100 });
    ASSERT_FALSE(text.TextPath().IsEmpty());

    // The hatch itself, on the exact scan lines, against the flattened glyphs.
    GraphicsPath glyphs(text.TextPath());
    glyphs.Flatten(TPreConvPath::kFlatness);
    const std::vector<THatchFigure> figures = TPreConvPath::SplitFigures(glyphs);
    ASSERT_GT(figures.size(), 1u);
    const THatchLines lines = MakeHatchLines(glyphs.GetBounds(), 2.4f);
    const std::vector<PointF> hatch = HatchFigures(figures, FillMode::Winding, lines);
    ASSERT_GT(hatch.size(), 40u);
    auto between = [](PointF a, PointF b) { return PointF((a.X + b.X) / 2, (a.Y + b.Y) / 2); };
    auto apart = [](PointF a, PointF b) { return std::hypot(b.X - a.X, b.Y - a.Y) > 0.01f; };
    for (size_t j = 0; j + 1 < hatch.size(); j += 2) {
        EXPECT_TRUE(glyphs.IsVisible(between(hatch[j], hatch[j + 1])))
            << "stroke from " << hatch[j].X << "," << hatch[j].Y << " runs outside the letter";
        const bool sameLine = j + 2 < hatch.size()
            && (lines.horizontal ? hatch[j + 2].Y == hatch[j].Y : hatch[j + 2].X == hatch[j].X);
        if (sameLine && apart(hatch[j + 1], hatch[j + 2])) {
            EXPECT_FALSE(glyphs.IsVisible(between(hatch[j + 1], hatch[j + 2])))
                << "gap after " << hatch[j + 1].X << "," << hatch[j + 1].Y << " is inside the letter";
        }
    }

    // The file carries that hatch after the glyphs' outlines.
    TVeskPart root;
    root.Add(text);
    const std::vector<Stroke> written
        = LastHatch(ParseBody(BodyLines(WriteLayer(root, component->index, {}))));
    ASSERT_EQ(written.size() * 2, hatch.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_NEAR(written[i].from.X, hatch[2 * i].X, 0.011);
        EXPECT_NEAR(written[i].to.Y, hatch[2 * i + 1].Y, 0.011);
    }
}

INSTANTIATE_TEST_SUITE_P(Letters, TextHatch, ::testing::Values(u"o", u"A", u"ぬ", u"B8"));

// ---------------------------------------------------------------- coordinates

struct WordCase {
    PointF p;
    const char* word; // null when it cannot be written
};

TEST(CoordinateWord, FormatAndRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const WordCase cases[] = {
        { { 0, 0 }, "X000000Y000000" },
        { { 12.3f, 1234.5f }, "X001230Y123450" },
        { { 9999.99f, -9999.98f }, "X999999Y-999998" },
        { { -12.5f, -0.001f }, "X-001250Y000000" }, // a tenth of a micrometre rounds to none
        { { -12.3f, 0 }, "X-001230Y000000" }, // -1230.00002 rounded
        { { 0, -9999.99f }, "X000000Y-999999" }, // -999999.02 rounded, in range
        { { 0, -9999.996f }, nullptr }, // rounds to -1000000
        { { -0.0f, 0.004f }, "X000000Y000000" },
        { { 10000, 0 }, nullptr },
        { { 0, -10000 }, nullptr },
        { { 1e30f, 0 }, nullptr },
        { { nan, 0 }, nullptr },
        { { 0, std::numeric_limits<float>::infinity() }, nullptr },
    };
    for (const WordCase& c : cases) {
        QByteArray word;
        EXPECT_EQ(TGerberBody::AppendCoordinateWord(word, c.p), c.word != nullptr) << c.p.X << "," << c.p.Y;
        EXPECT_EQ(word, QByteArray(c.word)) << c.p.X << "," << c.p.Y;
    }
}

TEST(CoordinateWord, TheBodyKeepsTheFirstPointItCannotWriteAndStops)
{
    TGerberBody body;
    body.Move({ 1, 2 });
    body.Draw({ 20000, 3 });
    body.Draw({ 4, 5 });
    body.Select(10);
    EXPECT_TRUE(body.Refused());
    EXPECT_TRUE(body.Refusal().English().contains(QStringLiteral("2000.000 mm")))
        << body.Refusal().English().toStdString();
    EXPECT_EQ(body.FirstOutOfRange(), PointF(20000, 3));
    EXPECT_EQ(body.Text(), "X000100Y000200D02*\n");
}

} // namespace
} // namespace vesk::test
