// Picking among several points in one pick box: at low zoom the box spans
// many document units, and the point nearest the pointer is the one meant,
// whether it is asked for a hit code, selected, pulled, or removed; of equally
// near points the later anchor's wins. Views at scale 1/16 give a box of
// exactly ±48 units for the tools' radius of 3 pixels.

#include "PathTestSupport.h"

#include <algorithm>
#include <string>

namespace vesk::test {
namespace {

constexpr double kLowZoom = 1.0 / 16; // radius 3 px -> ±48 units
constexpr std::uint8_t kSel = pfSelected;
constexpr std::uint8_t kSmooth = pfSmooth;

class PathPickTest : public PathTest {
protected:
    // A path at identity placement seen at low zoom; `selected` anchors carry pfSelected.
    std::unique_ptr<TVeskPath> AtLowZoom(std::vector<PointF> entries, std::vector<size_t> selected = {})
    {
        std::vector<std::uint8_t> flags(entries.size(), kSmooth);
        for (const size_t i : selected)
            flags[i] |= kSel;
        auto path = std::make_unique<TVeskPath>(solder, Stroke(1));
        path->SetPoints(std::move(entries), std::move(flags));
        path->SetViewScale(kLowZoom);
        return path;
    }

    static std::vector<size_t> Selected(const TVeskPath& path)
    {
        std::vector<size_t> s;
        for (size_t i = 0; i < path.PointFlags().size(); ++i)
            if (path.PointFlags()[i] & kSel)
                s.push_back(i);
        return s;
    }
};

struct NearestCase {
    std::string name;
    std::vector<PointF> entries;
    std::vector<size_t> selected; // anchors selected beforehand
    PointF click;
    int code; // HitHandle and SelectHandleAt
    size_t picked; // the entry SelectHandleAt selects (with the anchors selected before)
};

TEST_F(PathPickTest, TheNearestPointInTheBoxIsPicked)
{
    // Anchor 0 at the origin, its outgoing control point pulled to (90,4),
    // anchor 1 at (100,0): from anchor 1 the box reaches back to x = 52.
    const std::vector<PointF> pulled { { 0, 0 }, { 90, 4 }, { 100, 0 }, { 100, 0 }, { 100, 0 }, { 0, 0 } };
    const std::vector<PointF> row = Polyline({ { 0, 0 }, { 20, 0 }, { 40, 0 } });
    // Anchor 1 at (100,0) has its control points retracted onto it.
    const std::vector<PointF> retracted = Polyline({ { 0, 0 }, { 100, 0 } });
    // Anchor 1's incoming control point lies exactly on anchor 0 at (60,0).
    const std::vector<PointF> onEarlier { { 60, 0 }, { 60, 0 }, { 60, 0 }, { 100, 0 }, { 100, 0 },
        { 60, 0 } };
    // Points on the edges of the box around a click at (100,0): x = 52 is
    // inside (left edge), x = 148 and y = 48 are outside (right and bottom).
    const std::vector<PointF> edges = Polyline({ { 52, 0 }, { 148, 0 } });
    // Anchor 0 inside, 62.5 from the click; its control points on the open
    // edges, only 48 away.
    const std::vector<PointF> edgeControls { { 52, 40 }, { 148, 0 }, { 200, 0 }, { 200, 0 }, { 200, 0 },
        { 100, 48 } };
    const std::vector<PointF> longLine = Polyline({ { 0, 0 }, { 200, 0 } });
    const NearestCase cases[] = {
        { "the nearer of two anchors, not the first", row, {}, { 15, 0 }, 2, 3 },
        { "an anchor under the pointer beats a control point farther off", pulled, { 0 }, { 100, 0 }, 2, 3 },
        { "a control point under the pointer beats an anchor farther off", pulled, { 0 }, { 88, 4 }, 4, 1 },
        { "equally near anchors: the later one", row, {}, { 10, 0 }, 2, 3 },
        { "equally near anchors, three in the box: the later one", row, {}, { 30, 0 }, 2, 6 },
        { "an anchor beats its own retracted control points", retracted, { 3 }, { 100, 0 }, 2, 3 },
        { "the later anchor's control point beats an earlier anchor on it", onEarlier, { 3 }, { 60, 0 }, 4,
            2 },
        { "the left edge is inside, the right edge not", edges, {}, { 100, 0 }, 2, 0 },
        { "nearer control points on the open edges do not count", edgeControls, { 0 }, { 100, 0 }, 2, 0 },
        { "no point in the box, on the line: the body", longLine, {}, { 100, 0 }, 1, 0 },
    };
    for (const NearestCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = AtLowZoom(c.entries, c.selected);
        EXPECT_EQ(path->HitHandle(c.click, 3), c.code);
        EXPECT_EQ(path->SelectHandleAt(c.click, 3), c.code);
        std::vector<size_t> expected = c.selected;
        if (c.code == 2 && std::find(expected.begin(), expected.end(), c.picked) == expected.end())
            expected.push_back(c.picked);
        if (c.code == 4)
            expected.push_back(c.picked);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Selected(*path), expected);
        EXPECT_EQ(path->IsHandleEditing(), c.code == 4);
    }
}

TEST_F(PathPickTest, RemovingTakesTheNearestAnchor)
{
    auto path = AtLowZoom(Polyline({ { 0, 0 }, { 20, 0 }, { 40, 0 }, { 60, 0 } }));
    path->RemovePointAt({ 42, 0 }, 3);
    EXPECT_EQ(path->Points(), Polyline({ { 0, 0 }, { 20, 0 }, { 60, 0 } }));
    path->RemovePointAt({ 10, 0 }, 3); // a tie: the later anchor goes
    EXPECT_EQ(path->Points(), Polyline({ { 0, 0 }, { 60, 0 } }));
}

// The Bezier tool places an anchor and pulls its control points out at once
// (AppendAnchor then DragControlHandle at the same point).
TEST_F(PathPickTest, PullingAtANewAnchorPullsThatAnchor)
{
    struct Case {
        const char* name;
        PointF first, firstPull, second;
    };
    const Case cases[] = {
        { "the previous anchor's control point lies near the new anchor", { 0, 0 }, { 90, 4 }, { 100, 0 } },
        { "the previous anchor lies in the new anchor's box", { 0, 0 }, { 5, 5 }, { 30, 0 } },
        { "the new anchor sits exactly on the previous control point", { 0, 0 }, { 40, 0 }, { 40, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TVeskPath path(solder, Stroke(1));
        path.SetViewScale(kLowZoom);
        path.BeginPath();
        path.AppendAnchor(c.first);
        path.DragControlHandle(c.first, c.firstPull);
        const PointF firstOut = path.Points()[1];
        path.AppendAnchor(c.second);
        path.DragControlHandle(c.second, c.second + PointF(16, 8));

        ASSERT_EQ(path.EntryCount(), 6);
        EXPECT_EQ(path.Points()[1], firstOut); // the first anchor is left as it was
        EXPECT_EQ(path.Points()[4], c.second + PointF(16, 8));
        EXPECT_EQ(path.Points()[2], c.second - PointF(16, 8));
        EXPECT_EQ(Selected(path), std::vector<size_t> { 3 });
    }
}

} // namespace
} // namespace vesk::test
