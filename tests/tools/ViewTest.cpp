#include "Veskview.h"
#include "model/Colorstyle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vesk;

namespace {

struct ZoomCase {
    const char* name;
    int zoomInSteps; // how many doublings from 1 before the factor (negative: halvings)
    double factor;
    double expectedZoom;
    bool taken;
};

class ViewZoomBy : public ::testing::TestWithParam<ZoomCase> { };

TVeskView viewAt(int steps)
{
    TVeskView view(200, 100);
    for (int i = 0; i < std::abs(steps); ++i)
        view.ZoomBy(steps > 0 ? 2.0 : 0.5);
    return view;
}

} // namespace

TEST_P(ViewZoomBy, TakesOnlyZoomsWithinTheLimits)
{
    const ZoomCase& c = GetParam();
    TVeskView view = viewAt(c.zoomInSteps);
    TDrawStyle style;
    view.AttachDrawStyle(&style);
    const double before = view.Zoom();

    EXPECT_EQ(view.ZoomBy(c.factor), c.taken);
    EXPECT_DOUBLE_EQ(view.Zoom(), c.expectedZoom);
    EXPECT_DOUBLE_EQ(view.VisibleWidth(), 200 / view.Zoom());
    EXPECT_DOUBLE_EQ(view.VisibleHeight(), 100 / view.Zoom());
    // The draw style follows only a zoom that was taken.
    EXPECT_FLOAT_EQ(style.inverseZoom, float(1 / (c.taken ? c.expectedZoom : before)));
    // The zoom is about the window centre: the document origin stays there.
    const PointF origin = view.DocumentToPixel({ 0, 0 });
    EXPECT_FLOAT_EQ(origin.X, 100);
    EXPECT_FLOAT_EQ(origin.Y, 50);
}

INSTANTIATE_TEST_SUITE_P(Limits, ViewZoomBy,
    ::testing::Values(ZoomCase { "InFromOne", 0, 2, 2, true }, ZoomCase { "InTo32", 4, 2, 32, true },
        ZoomCase { "InFrom32", 5, 2, 32, false }, ZoomCase { "OutTo16th", -3, 0.5, 0.0625, true },
        ZoomCase { "OutFrom16th", -4, 0.5, 0.0625, false }, ZoomCase { "JumpBeyond", 0, 64, 1, false },
        ZoomCase { "Zero", 1, 0, 2, false }, ZoomCase { "Negative", 1, -1, 2, false },
        ZoomCase { "NaN", 1, std::numeric_limits<double>::quiet_NaN(), 2, false },
        ZoomCase { "Infinite", 1, std::numeric_limits<double>::infinity(), 2, false },
        ZoomCase { "ByOne", 2, 1, 4, true }),
    [](const ::testing::TestParamInfo<ZoomCase>& info) { return std::string(info.param.name); });

TEST(ViewTest, RepeatedStepsStopAtTheLastZoomWithinTheLimits)
{
    struct StepCase {
        double factor;
        std::vector<double> expected;
    };
    const double r = 1.4142135623730951;
    const StepCase cases[] = {
        { 2, { 2, 4, 8, 16, 32, 32, 32 } },
        { 0.5, { 0.5, 0.25, 0.125, 0.0625, 0.0625 } },
        // Ten wheel steps make 32 up to rounding; the eleventh is refused.
        { r, { r, 2, 2 * r, 4, 4 * r, 8, 8 * r, 16, 16 * r, 32, 32, 32 } },
        { 1 / r, { 1 / r, 0.5, 0.5 / r, 0.25, 0.25 / r, 0.125, 0.125 / r, 0.0625, 0.0625 } },
    };
    for (const StepCase& c : cases) {
        TVeskView view;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            view.ZoomBy(c.factor);
            EXPECT_NEAR(view.Zoom(), c.expected[i], 1e-12) << "factor " << c.factor << " step " << i;
        }
    }
}

TEST(ViewTest, ScrollClampsEachAxis)
{
    struct ScrollCase {
        double dx, dy;
        double panX, panY;
    };
    // Applied in sequence to one view.
    const ScrollCase steps[] = {
        { 6000, 0, 5000, 0 },
        { -1000, -6000, 4000, -5000 },
        { -20000, 10, -5000, -4990 },
        { std::numeric_limits<double>::quiet_NaN(), 5, -5000, -4985 },
        { 12.5, std::numeric_limits<double>::infinity(), -4987.5, -4985 },
    };
    TVeskView view(200, 100);
    for (const ScrollCase& s : steps) {
        view.Scroll(s.dx, s.dy);
        EXPECT_DOUBLE_EQ(view.PanX(), s.panX);
        EXPECT_DOUBLE_EQ(view.PanY(), s.panY);
        const PointF origin = view.DocumentToPixel({ 0, 0 });
        EXPECT_FLOAT_EQ(origin.X, float(100 + s.panX));
        EXPECT_FLOAT_EQ(origin.Y, float(50 + s.panY));
    }
}

TEST(ViewTest, MatrixPansThenZoomsThenCentres)
{
    TVeskView view(200, 100);
    view.Scroll(10, -20);
    view.ZoomBy(2);
    // ((x + panX) * zoom + w/2, (y + panY) * zoom + h/2)
    const PointF p = view.DocumentToPixel({ 5, 7 });
    EXPECT_FLOAT_EQ(p.X, (5 + 10) * 2 + 100);
    EXPECT_FLOAT_EQ(p.Y, (7 - 20) * 2 + 50);
    const PointF back = view.PixelToDocument(QPoint(int(p.X), int(p.Y)));
    EXPECT_NEAR(back.X, 5, 1e-4);
    EXPECT_NEAR(back.Y, 7, 1e-4);
    EXPECT_EQ(view.PixelToDocument(QPoint(100, 50)), PointF(-10, 20));
}

TEST(ViewTest, ZoomAtCentresThePointEvenWhenTheZoomIsRefused)
{
    const struct {
        int steps;
        double factor;
        double zoom;
    } cases[] = { { 0, 2, 2 }, { 5, 2, 32 }, { 0, 0.5, 0.5 } };
    for (const auto& c : cases) {
        TVeskView view = viewAt(c.steps);
        view.ZoomAt(c.factor, { 30, -12 });
        EXPECT_DOUBLE_EQ(view.Zoom(), c.zoom);
        const PointF centre = view.DocumentToPixel({ 30, -12 });
        EXPECT_FLOAT_EQ(centre.X, 100);
        EXPECT_FLOAT_EQ(centre.Y, 50);
    }
}

TEST(ViewTest, ResizeKeepsZoomAndPanAndRecentres)
{
    TVeskView view(200, 100);
    view.ZoomBy(2);
    view.Scroll(5, 5);
    view.ResizeView(400, 300);
    EXPECT_EQ(view.Width(), 400);
    EXPECT_EQ(view.Height(), 300);
    EXPECT_DOUBLE_EQ(view.Zoom(), 2);
    EXPECT_DOUBLE_EQ(view.VisibleWidth(), 200);
    EXPECT_DOUBLE_EQ(view.VisibleHeight(), 150);
    EXPECT_EQ(view.DocumentToPixel({ -5, -5 }), PointF(200, 150));

    // A minimised window reports no size; the view keeps a usable one.
    view.ResizeView(0, -3);
    EXPECT_EQ(view.Width(), 1);
    EXPECT_EQ(view.Height(), 1);
    EXPECT_TRUE(std::isfinite(view.PixelToDocument(QPoint(0, 0)).X));
}

TEST(ViewTest, ResetReturnsToTheStartingView)
{
    TVeskView view(200, 100);
    TDrawStyle style;
    view.AttachDrawStyle(&style);
    view.ZoomBy(4);
    view.Scroll(100, 100);
    view.Reset();
    EXPECT_DOUBLE_EQ(view.Zoom(), 1);
    EXPECT_DOUBLE_EQ(view.PanX(), 0);
    EXPECT_DOUBLE_EQ(view.PanY(), 0);
    EXPECT_DOUBLE_EQ(view.VisibleWidth(), 200);
    EXPECT_FLOAT_EQ(style.inverseZoom, 1);
    EXPECT_EQ(view.ViewMatrix(), Matrix(1, 0, 0, 1, 100, 50));
}

TEST(ViewTest, SnapToGridRoundsToTheNearestMultiple)
{
    const struct {
        double pitch;
        PointF in;
        PointF out;
    } cases[] = {
        { 12.7, { 19.0f, 19.1f }, { 12.7f, 25.4f } },
        { 12.7, { -6.35f, -6.4f }, { 0.0f, -12.7f } },
        { 10, { 5, -5 }, { 10, 0 } }, // halves go up, also below zero
        { 10, { 0, 1234.4f }, { 0, 1230 } },
        { 0, { 3.3f, 4.4f }, { 3.3f, 4.4f } },
        { -10, { 3.3f, 4.4f }, { 3.3f, 4.4f } },
        { std::numeric_limits<double>::quiet_NaN(), { 3.3f, 4.4f }, { 3.3f, 4.4f } },
    };
    for (const auto& c : cases) {
        PointF p = c.in;
        TVeskView::SnapToGrid(p, c.pitch);
        EXPECT_FLOAT_EQ(p.X, c.out.X) << c.pitch << " " << c.in.X;
        EXPECT_FLOAT_EQ(p.Y, c.out.Y) << c.pitch << " " << c.in.Y;
    }
}

TEST(ViewTest, SnapDeltaMovesInWholeStepsFromTheAnchor)
{
    const struct {
        PointF anchor;
        PointF in;
        PointF out;
    } cases[] = {
        { { 3, 3 }, { 17, 3 }, { 13, 3 } }, // 14 -> 10
        { { 3, 3 }, { 19, -13 }, { 23, -17 } }, // 16 -> 20, -16 -> -20
        { { 3, 3 }, { 4, 7 }, { 3, 3 } },
    };
    for (const auto& c : cases) {
        PointF p = c.in;
        TVeskView::SnapDelta(p, c.anchor, 10);
        EXPECT_EQ(p, c.out);
    }
}

TEST(ViewFit, CentresTheRectangleAndFillsTheWindowButForTheMargin)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        RectF rect;
        bool taken;
        double zoom;
        PointF centre; // the document point in the middle of the 200 x 100 window
    } cases[] = {
        { "wide", { 10, 20, 90, 10 }, true, 2.0, { 55, 25 } }, // 200 * 0.9 / 90
        { "tall", { -40, -30, 10, 45 }, true, 2.0, { -35, -7.5 } }, // 100 * 0.9 / 45
        { "a point zooms in all the way", { 5, 5, 0, 0 }, true, TVeskView::MaxZoom, { 5, 5 } },
        { "a line fills by its length", { 0, 0, 180, 0 }, true, 1.0, { 90, 0 } },
        { "huge stops at the least zoom", { 0, 0, 1e6, 1e6 }, true, TVeskView::MinZoom, { -5000, -5000 } },
        { "negative size", { 0, 0, -10, 10 }, false, 1.0, { 0, 0 } },
        { "not a number", { 0, 0, float(inf), 10 }, false, 1.0, { 0, 0 } },
    };
    for (const auto& c : cases) {
        TVeskView view(200, 100);
        TDrawStyle style;
        view.AttachDrawStyle(&style);
        EXPECT_EQ(view.Fit(c.rect), c.taken) << c.name;
        EXPECT_DOUBLE_EQ(view.Zoom(), c.zoom) << c.name;
        EXPECT_FLOAT_EQ(style.inverseZoom, float(1 / c.zoom)) << c.name;
        const PointF middle = view.PixelToDocument(PointF { 100, 50 });
        if (!c.taken)
            continue;
        if (c.rect.Width < 1e5) {
            EXPECT_NEAR(middle.X, c.centre.X, 1e-3) << c.name;
            EXPECT_NEAR(middle.Y, c.centre.Y, 1e-3) << c.name;
        } else {
            // The pan limit holds the huge rectangle's centre out of reach.
            EXPECT_DOUBLE_EQ(view.PanX(), -TVeskView::PanLimit) << c.name;
        }
    }
}
