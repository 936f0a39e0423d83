#include "model/Vesklayer.h"

#include <gtest/gtest.h>

using namespace vesk;

TEST(LayerTest, NewLayerDefaults)
{
    const TVeskLayer layer(7, 0xFFEEDDCC);
    EXPECT_EQ(layer.index, 7);
    EXPECT_EQ(layer.Name(), QStringLiteral("Layer7"));
    EXPECT_FALSE(layer.current);
    EXPECT_TRUE(layer.visible);
    EXPECT_FALSE(layer.locked);
    EXPECT_FALSE(layer.mask);
    EXPECT_FALSE(layer.printSelected);
    EXPECT_FALSE(layer.wireFrame);
    EXPECT_FALSE(layer.editPending);
    // Blue until the creator picks another colour.
    EXPECT_EQ(layer.currentColor, 0xC80000FFu);
    EXPECT_EQ(layer.normalColor, 0x780000FFu);
    EXPECT_EQ(layer.opaqueColor, 0xFF0000FFu);
    EXPECT_EQ(layer.maskColor, 0xFFEEDDCCu);

    EXPECT_EQ(TVeskLayer(12).Name(), QStringLiteral("Layer12"));
    EXPECT_EQ(TVeskLayer(12).maskColor, 0xFFFFFFFFu);
}

TEST(LayerTest, SetColorIgnoresTheGivenAlpha)
{
    for (ARGB alpha : { 0x00u, 0x01u, 0x80u, 0xC8u, 0xFFu }) {
        TVeskLayer layer;
        layer.SetColor((alpha << 24) | 0x00EB2828u);
        EXPECT_EQ(layer.currentColor, 0xC8EB2828u) << alpha;
        EXPECT_EQ(layer.normalColor, 0x78EB2828u) << alpha;
        EXPECT_EQ(layer.opaqueColor, 0xFFEB2828u) << alpha;
    }
}

TEST(LayerTest, SetColorLeavesTheMaskColour)
{
    TVeskLayer layer(0, 0xFF101010);
    layer.SetColor(0xFF202020);
    EXPECT_EQ(layer.maskColor, 0xFF101010u);
}

TEST(LayerTest, DrawColorRule)
{
    struct Case {
        bool mask;
        bool current;
        ARGB expected;
    } const cases[] = {
        { false, false, 0x78112233 },
        { false, true, 0xC8112233 },
        { true, false, 0xFFABCDEF },
        { true, true, 0xFFABCDEF },
    };
    for (const Case& c : cases) {
        TVeskLayer layer(0, 0xFFABCDEF);
        layer.SetColor(0x00112233);
        layer.mask = c.mask;
        layer.current = c.current;
        EXPECT_EQ(layer.DrawColor(), c.expected) << "mask " << c.mask << " current " << c.current;
    }
}

TEST(LayerTest, WireFrameDoesNotChangeTheFillColour)
{
    TVeskLayer layer;
    layer.SetColor(0xFF000000);
    layer.wireFrame = true;
    EXPECT_EQ(layer.DrawColor(), 0x78000000u);
}
