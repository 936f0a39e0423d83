#include "model/Colorstyle.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vesk;

TEST(DrawStyleTest, InitialColoursAndPens)
{
    const TDrawStyle style;
    EXPECT_EQ(style.selectionColor, 0xFF000000u);
    EXPECT_EQ(style.backgroundColor, 0xFFFFFFFFu);
    EXPECT_EQ(style.gridColor, 0xFF000000u);
    EXPECT_EQ(style.frameColor, 0xFF3A6EA5u);
    EXPECT_EQ(style.printInkColor, 0xFF000000u);
    EXPECT_EQ(style.printPaperColor, 0xFFFFFFFFu);

    EXPECT_EQ(style.selectionPen.color, style.selectionColor);
    EXPECT_EQ(style.dashedPen.color, style.selectionColor);
    EXPECT_EQ(style.framePen.color, style.frameColor);
    EXPECT_EQ(style.handleBrush.color, style.selectionColor);
    EXPECT_EQ(style.selectionPen.width, 1.0f);
    EXPECT_EQ(style.framePen.width, 1.0f);
    EXPECT_EQ(style.dashedPen.width, 1.0f);
    EXPECT_TRUE(style.selectionPen.dashPattern.empty());
    EXPECT_TRUE(style.framePen.dashPattern.empty());
    EXPECT_FALSE(style.dashedPen.dashPattern.empty());
}

struct ZoomCase {
    double zoom;
    float width;
    float dash;
};

class DrawStyleZoom : public ::testing::TestWithParam<ZoomCase> { };

TEST_P(DrawStyleZoom, PensStayOneScreenPixelWide)
{
    const ZoomCase& c = GetParam();
    TDrawStyle style;
    style.SetZoom(c.zoom);
    EXPECT_FLOAT_EQ(style.inverseZoom, c.width);
    EXPECT_FLOAT_EQ(style.selectionPen.width, c.width);
    EXPECT_FLOAT_EQ(style.dashedPen.width, c.width);
    EXPECT_FLOAT_EQ(style.framePen.width, c.width);
    ASSERT_EQ(style.dashedPen.dashPattern.size(), 2u);
    EXPECT_FLOAT_EQ(style.dashedPen.dashPattern[0], c.dash);
    EXPECT_FLOAT_EQ(style.dashedPen.dashPattern[1], c.dash);
    // Zoom changes widths only, never colours.
    EXPECT_EQ(style.framePen.color, style.frameColor);
    EXPECT_TRUE(style.selectionPen.dashPattern.empty());
}

// Zoomed out (inverse zoom above 1) the dash entries stay at 1.
INSTANTIATE_TEST_SUITE_P(Cases, DrawStyleZoom,
    ::testing::Values(ZoomCase { 4.0, 0.25f, 0.25f }, ZoomCase { 0.5, 2.0f, 1.0f },
        ZoomCase { 1.0, 1.0f, 1.0f }, ZoomCase { 2.0, 0.5f, 0.5f }, ZoomCase { 0.1, 10.0f, 1.0f }));

TEST(DrawStyleTest, ZoomingBackRestoresThePens)
{
    TDrawStyle style;
    style.SetZoom(4.0);
    style.SetZoom(0.5);
    style.SetZoom(1.0);
    EXPECT_EQ(style.selectionPen.width, 1.0f);
    EXPECT_EQ(style.dashedPen.dashPattern, (std::vector<float> { 1.0f, 1.0f }));
}

TEST(DrawStyleTest, ColourConversions)
{
    struct Case {
        ARGB argb;
        ColorRef ref;
    } const cases[] = {
        { 0xFF3A6EA5, 0x00A56E3A },
        { 0x00112233, 0x00332211 }, // alpha is dropped
        { 0x80FF0000, 0x000000FF },
        { 0xFFFFFFFF, 0x00FFFFFF },
        { 0xFF000000, 0x00000000 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ArgbToColorRef(c.argb), c.ref) << std::hex << c.argb;
        // Back to ARGB always comes out opaque.
        EXPECT_EQ(ColorToArgb(c.ref), 0xFF000000u | (c.argb & 0x00FFFFFFu)) << std::hex << c.ref;
    }
    EXPECT_EQ(MakeArgb(58, 110, 165), 0xFF3A6EA5u);
    EXPECT_EQ(MakeArgb(0, 0, 0), 0xFF000000u);
    static_assert(MakeArgb(255, 255, 255) == 0xFFFFFFFFu);
}

TEST(DrawStyleTest, SystemColoursResolveToOpaqueColours)
{
    // The toolkit marks system colours by the high byte; whatever they resolve to is opaque.
    for (ColorRef system : { 0x80000005u, 0x8000000Fu, 0x80000000u, 0xFF0000FFu })
        EXPECT_EQ(ArgbAlpha(ColorToArgb(system)), 255) << std::hex << system;
}
