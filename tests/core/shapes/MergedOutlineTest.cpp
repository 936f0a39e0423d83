// The merged outline of a layer: objects whose areas meet become one figure,
// the others stay apart; the grouped union must give exactly the figures of
// the direct cluster-by-cluster scan.

#include "shapes/Mergedoutline.h"

#include "BoxShapeTestSupport.h"
#include "PathTestSupport.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <span>
#include <string>

namespace vesk::test {
namespace {

struct Figure {
    RectF bounds;
    double area = 0; // signed: holes turn against their outer boundary
};

std::vector<Figure> FiguresOf(const GraphicsPath& path)
{
    std::vector<Figure> figures;
    const auto points = path.Points();
    const auto types = path.Types();
    size_t start = 0;
    for (size_t i = 0; i < types.size(); ++i) {
        const bool last = i + 1 == types.size() || (types[i + 1] & PathPointTypeMask) == PathPointTypeStart;
        if (!last)
            continue;
        Figure f;
        float l = points[start].X, t = points[start].Y, r = l, b = t;
        for (size_t k = start; k <= i; ++k) {
            const PointF p = points[k], q = points[k == i ? start : k + 1];
            f.area += (double(p.X) * q.Y - double(q.X) * p.Y) / 2;
            l = std::min(l, p.X), t = std::min(t, p.Y), r = std::max(r, p.X), b = std::max(b, p.Y);
        }
        f.bounds = { l, t, r - l, b - t };
        figures.push_back(f);
        start = i + 1;
    }
    std::sort(figures.begin(), figures.end(), [](const Figure& a, const Figure& b) {
        return std::tie(a.bounds.X, a.bounds.Y, a.area) < std::tie(b.bounds.X, b.bounds.Y, b.area);
    });
    return figures;
}

double TotalArea(const GraphicsPath& path)
{
    double sum = 0;
    for (const Figure& f : FiguresOf(path))
        sum += f.area;
    return std::fabs(sum);
}

// The same figures: same count, and pairwise the same bounds and area.
void ExpectSameFigures(const GraphicsPath& actual, const GraphicsPath& expected)
{
    const std::vector<Figure> a = FiguresOf(actual), e = FiguresOf(expected);
    ASSERT_EQ(a.size(), e.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(a[i].bounds.X, e[i].bounds.X, 1e-3);
        EXPECT_NEAR(a[i].bounds.Y, e[i].bounds.Y, 1e-3);
        EXPECT_NEAR(a[i].bounds.Width, e[i].bounds.Width, 1e-3);
        EXPECT_NEAR(a[i].bounds.Height, e[i].bounds.Height, 1e-3);
        EXPECT_NEAR(a[i].area, e[i].area, 1e-4 * std::fabs(e[i].area) + 1e-3);
    }
}

class MergedOutlineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers.ResetToDefaults();
        solder = layers.FindLayer(QStringLiteral("solder"));
        component = layers.FindLayer(QStringLiteral("component"));
        ASSERT_NE(solder, nullptr);
        ASSERT_NE(component, nullptr);
    }

    // A filled rectangle as a closed path: its area is exactly the rectangle.
    TVeskPath Block(const RectF& r, TVeskLayer* layer = nullptr) const
    {
        TVeskPath path(layer ? layer : solder, Filled(0));
        path.SetPoints(Polyline({ { r.X, r.Y }, { r.GetRight(), r.Y }, { r.GetRight(), r.GetBottom() },
                           { r.X, r.GetBottom() } }),
            {});
        path.SetClosed(true);
        return path;
    }
    TVeskPath Square(float left, float top, float side, TVeskLayer* layer = nullptr) const
    {
        return Block({ left, top, side, side }, layer);
    }
    // A hollow square: a closed stroke of width 2 around (left, top, side, side).
    TVeskPath Frame(float left, float top, float side) const
    {
        TVeskPath path(solder, Stroke(2));
        path.SetPoints(Polyline({ { left, top }, { left + side, top }, { left + side, top + side },
                           { left, top + side } }),
            {});
        path.SetClosed(true);
        return path;
    }

    GraphicsPath Merged(const TVeskPart& root, GraphicsPath into = GraphicsPath()) const
    {
        root.AddMergedOutline(into, solder->index);
        return into;
    }
    GraphicsPath Scanned(TVeskPart& root, GraphicsPath into = GraphicsPath()) const
    {
        std::vector<TVeskObject*> found;
        root.CollectByLayer(found, solder->index);
        const std::vector<const TVeskObject*> objects(found.begin(), found.end());
        MergeOutlinesByScan(objects, solder->index, into);
        return into;
    }

    TVeskLayerList layers;
    TVeskLayer* solder = nullptr;
    TVeskLayer* component = nullptr;
};

struct LayoutCase {
    const char* name;
    std::vector<RectF> blocks; // filled, on the layer
    std::vector<RectF> elsewhere; // filled, on another layer
    std::vector<RectF> frames; // hollow, on the layer
    size_t figures;
    double area;
    double tolerance;
};

// A frame of side 30 and stroke width 2: outer square 32 with round corners
// of radius 1, hole 28. The flattened corners lose between 4 - pi (true arcs)
// and 2 (one chord each); the middle of that range, with half of it as tolerance.
constexpr double kFrameArea = 32 * 32 - 28 * 28 - 1.43;
constexpr double kFrameTolerance = 0.6;

TEST_F(MergedOutlineTest, ObjectsThatMeetBecomeOneFigure)
{
    const LayoutCase cases[] = {
        { "disjoint", { { 0, 0, 10, 10 }, { 20, 0, 10, 10 } }, {}, {}, 2, 200, 0.01 },
        { "overlapping", { { 0, 0, 10, 10 }, { 5, 5, 10, 10 } }, {}, {}, 1, 175, 0.01 },
        { "a third joins two apart", { { 0, 0, 10, 10 }, { 20, 0, 10, 10 }, { 5, 2, 20, 4 } }, {}, {}, 1, 240,
            0.01 },
        { "sharing an edge", { { 0, 0, 10, 10 }, { 10, 0, 10, 10 } }, {}, {}, 1, 200, 0.01 },
        { "nested", { { 0, 0, 30, 30 }, { 10, 10, 5, 5 } }, {}, {}, 1, 900, 0.01 },
        { "other layers ignored", { { 0, 0, 10, 10 } }, { { 5, 5, 10, 10 }, { 40, 40, 5, 5 } }, {}, 1, 100,
            0.01 },
        { "empty layer", {}, { { 0, 0, 10, 10 } }, {}, 0, 0, 0 },
        // A frame's bounds hold the square, but its area does not touch it:
        // outer edge, hole and square stay three figures.
        { "inside a frame's hole", { { 10, 10, 5, 5 } }, {}, { { 0, 0, 30, 30 } }, 3, 25 + kFrameArea,
            kFrameTolerance },
        { "across a frame", { { -5, 10, 10, 5 } }, {}, { { 0, 0, 30, 30 } }, 2, kFrameArea + 50 - 2 * 5,
            0.5 },
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        TVeskPart root;
        for (const RectF& r : c.blocks)
            root.Add(Block(r));
        for (const RectF& r : c.elsewhere)
            root.Add(Block(r, component));
        for (const RectF& r : c.frames)
            root.Add(Frame(r.X, r.Y, r.Width));
        const GraphicsPath merged = Merged(root);
        EXPECT_EQ(FiguresOf(merged).size(), c.figures);
        EXPECT_NEAR(TotalArea(merged), c.area, c.tolerance);
        ExpectSameFigures(merged, Scanned(root));
    }
}

TEST_F(MergedOutlineTest, GroupMembersCountAndAHiddenPartAddsNothing)
{
    TVeskPart root;
    TVeskGroup group;
    group.Add(Square(0, 0, 10));
    group.Add(Square(40, 0, 10, component));
    root.Add(group);
    root.Add(Square(5, 5, 10));
    const GraphicsPath merged = Merged(root);
    EXPECT_EQ(FiguresOf(merged).size(), 1u);
    EXPECT_NEAR(TotalArea(merged), 175, 0.05);

    root.SetVisible(false);
    EXPECT_TRUE(Merged(root).IsEmpty());
}

TEST_F(MergedOutlineTest, WhatTheTargetHeldIsMergedIn)
{
    TVeskPart root;
    root.Add(Square(0, 0, 10));
    root.Add(Square(30, 0, 10));
    // Under either rule the held rectangle unites with the square it overlaps.
    for (const FillMode mode : { FillMode::Winding, FillMode::Alternate }) {
        SCOPED_TRACE(int(mode));
        GraphicsPath held(mode);
        held.AddRectangle({ 5, 0, 10, 10 });
        const GraphicsPath merged = Merged(root, held);
        EXPECT_EQ(FiguresOf(merged).size(), 2u);
        EXPECT_NEAR(TotalArea(merged), 250, 0.01);
        EXPECT_EQ(merged.GetFillMode(), mode);
        // The scan outlines the held figures under their own rule, so an
        // alternate one would lose the overlap; compare where it unites.
        if (mode == FillMode::Winding) {
            ExpectSameFigures(merged, Scanned(root, held));
        }
    }
}

// Small boards of mixed shapes, many of them overlapping, some in groups and
// some on another layer. Equal figures mean equal clusters: every figure of
// the union is one cluster's outline (or a hole in it).
TEST_F(MergedOutlineTest, RandomBoardsGiveTheFiguresOfTheScan)
{
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> pos(0, 300), size(4, 30), step(-40, 40), unit(0, 1);
        std::uniform_int_distribution<int> kind(0, 4);
        TVeskPart root;
        TVeskGroup group;
        for (int i = 0; i < 40; ++i) {
            TVeskLayer* layer = unit(rng) < 0.15f ? component : solder;
            const PointF at(pos(rng), pos(rng));
            std::unique_ptr<TVeskObject> object;
            switch (kind(rng)) {
            case 0:
                object = Square(at.X, at.Y, size(rng), layer).Clone();
                break;
            case 1: {
                auto track = std::make_unique<TVeskPath>(layer, Stroke(2 + 6 * unit(rng)));
                const PointF b = at + PointF(step(rng), step(rng)), c = b + PointF(step(rng), step(rng));
                track->SetPoints({ at, at + PointF(step(rng), step(rng)), b, b, b, c, c, c, at }, {});
                object = std::move(track);
                break;
            }
            case 2:
                object = MakeBox(BoxKind::Ellipse, layer, unit(rng) < 0.5f ? FillOnly() : StrokeOnly(3), at,
                    size(rng) / 2);
                break;
            case 3: {
                auto box = MakeBox(BoxKind::Rect, layer, StrokeAndFill(2), at, size(rng) / 2);
                box->SetSelected(true);
                box->RotateAt(360 * unit(rng), at, MatrixOrder::Append);
                object = std::move(box);
                break;
            }
            default:
                object = Frame(at.X, at.Y, 2 * size(rng)).Clone();
                break;
            }
            if (i % 5 == 4)
                group.Add(*object);
            else
                root.Add(*object);
        }
        root.Add(group);
        const GraphicsPath merged = Merged(root);
        const GraphicsPath scanned = Scanned(root);
        EXPECT_GT(FiguresOf(scanned).size(), 3u); // the board is not one blob
        ExpectSameFigures(merged, scanned);
    }
}

// The union of everything in one pass: what any grouping must come back to.
GraphicsPath UnitedAtOnce(std::span<const TVeskObject* const> objects, int layerIndex)
{
    GraphicsPath all(FillMode::Winding);
    for (const TVeskObject* o : objects) {
        GraphicsPath area(FillMode::Winding);
        o->AddOutline(area, layerIndex);
        all.AddPath(area, false);
    }
    all.WindingModeOutline(0.25f);
    return all;
}

// A mesh of short tracks large enough to be united in stages, with islands
// in some of its holes and filled blocks that close others.
TEST_F(MergedOutlineTest, LargeClustersUnitedInStagesKeepEveryHoleAndIsland)
{
    TVeskPart root;
    constexpr int kNodes = 14;
    constexpr float kPitch = 20;
    for (int i = 0; i < kNodes; ++i) {
        for (int j = 0; j + 1 < kNodes; ++j) {
            for (const bool across : { true, false }) {
                const PointF a = across ? PointF(j * kPitch, i * kPitch) : PointF(i * kPitch, j * kPitch);
                const PointF b = across ? a + PointF(kPitch, 0) : a + PointF(0, kPitch);
                TVeskPath track(solder, Stroke(3));
                track.SetPoints(Polyline({ a, b }), {});
                root.Add(track);
            }
        }
    }
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> cell(0, kNodes - 2);
    for (int k = 0; k < 40; ++k) {
        const float x = cell(rng) * kPitch, y = cell(rng) * kPitch;
        if (k % 4 == 0)
            root.Add(Block({ x + 5, y + 5, 35, 12 })); // closes holes, spans two cells
        else
            root.Add(Square(x + 8, y + 8, 4)); // an island, or inside a closed hole
    }
    std::vector<TVeskObject*> found;
    root.CollectByLayer(found, solder->index);
    const std::vector<const TVeskObject*> objects(found.begin(), found.end());
    ASSERT_GT(objects.size(), 300u);

    const GraphicsPath merged = Merged(root);
    EXPECT_GT(FiguresOf(merged).size(), 100u);
    ExpectSameFigures(merged, UnitedAtOnce(objects, solder->index));
}

} // namespace
} // namespace vesk::test
