#include "Veskkeystate.h"

#include <Qt>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

struct KeyCase {
    const char* name;
    int virtualKey;
    std::uint32_t bit;
};

class KeyStateKey : public ::testing::TestWithParam<KeyCase> { };

} // namespace

TEST_P(KeyStateKey, DownSetsAndUpClearsOnlyItsBit)
{
    const KeyCase& c = GetParam();
    TVeskKeyState state;
    EXPECT_EQ(TVeskKeyState::BitOfVirtualKey(c.virtualKey), c.bit);
    EXPECT_TRUE(state.KeyDown(c.virtualKey));
    EXPECT_EQ(state.keys, c.bit);
    EXPECT_TRUE(state.KeyDown(c.virtualKey)); // auto-repeat changes nothing
    EXPECT_EQ(state.keys, c.bit);
    EXPECT_EQ(state.buttons, 0u);

    // Other keys held stay held.
    state.keys |= 0xFF8u & ~c.bit;
    EXPECT_TRUE(state.KeyUp(c.virtualKey));
    EXPECT_EQ(state.keys, 0xFF8u & ~c.bit);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyStateKey,
    ::testing::Values(KeyCase { "Ctrl", 0x11, 0x008 }, KeyCase { "Shift", 0x10, 0x010 },
        KeyCase { "Space", 0x20, 0x020 }, KeyCase { "X", 0x58, 0x040 }, KeyCase { "Y", 0x59, 0x080 },
        KeyCase { "Z", 0x5A, 0x100 }, KeyCase { "R", 0x52, 0x200 }, KeyCase { "M", 0x4D, 0x400 },
        KeyCase { "G", 0x47, 0x800 }),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(KeyStateTest, StartsEmpty)
{
    const TVeskKeyState state;
    EXPECT_EQ(state.keys, 0u);
    EXPECT_EQ(state.buttons, 0u);
}

TEST(KeyStateTest, ChordsCompareTheWholeWord)
{
    TVeskKeyState state;
    state.KeyDown(0x11);
    state.KeyDown('R');
    EXPECT_EQ(state.keys, 0x208u);
    state.KeyDown(0x10);
    EXPECT_NE(state.keys, 0x208u);
    state.KeyUp(0x10);
    EXPECT_EQ(state.keys, 0x208u);
    state.KeyUp(0x11);
    EXPECT_EQ(state.keys, 0x200u);

    TVeskKeyState zoom;
    zoom.KeyDown(0x20);
    zoom.KeyDown('X');
    EXPECT_EQ(zoom.keys, 0x060u);
}

TEST(KeyStateTest, UnlistedKeysChangeNothing)
{
    // Alt, Enter, Escape, a lower-case letter code (F3 as a virtual key), other letters, digits.
    for (int vk :
        { 0x12, 0x0D, 0x1B, 0x72, 0x78, int('A'), int('Q'), int('0'), 0x01, 0x02, 0, -1, 0x152, 0x10011 }) {
        TVeskKeyState state;
        state.KeyDown(0x11);
        state.ButtonDown(TVeskKeyState::LeftButton);
        EXPECT_EQ(TVeskKeyState::BitOfVirtualKey(vk), 0u) << vk;
        EXPECT_FALSE(state.KeyDown(vk)) << vk;
        EXPECT_EQ(state.keys, 0x008u) << vk;
        EXPECT_FALSE(state.KeyUp(vk)) << vk;
        EXPECT_EQ(state.keys, 0x008u) << vk;
        EXPECT_EQ(state.buttons, 0x2u) << vk;
    }
}

TEST(KeyStateTest, MouseButtonsHaveTheirOwnWord)
{
    TVeskKeyState state;
    state.ButtonDown(TVeskKeyState::LeftButton);
    EXPECT_EQ(state.buttons, 0x2u);
    state.ButtonDown(TVeskKeyState::RightButton);
    EXPECT_EQ(state.buttons, 0x6u);
    state.ButtonUp(TVeskKeyState::LeftButton);
    EXPECT_EQ(state.buttons, 0x4u);
    EXPECT_EQ(state.keys, 0u);
}

TEST(KeyStateTest, ResetClearsBothWords)
{
    TVeskKeyState state;
    state.KeyDown(0x20);
    state.KeyDown('Z');
    state.ButtonDown(TVeskKeyState::RightButton);
    state.Reset();
    EXPECT_EQ(state.keys, 0u);
    EXPECT_EQ(state.buttons, 0u);
}

TEST(KeyStateTest, QtKeysMapToVirtualKeys)
{
    const struct {
        int qtKey;
        int vk;
    } cases[] = { { Qt::Key_Control, 0x11 }, { Qt::Key_Shift, 0x10 }, { Qt::Key_Space, 0x20 },
        { Qt::Key_X, 0x58 }, { Qt::Key_Y, 0x59 }, { Qt::Key_Z, 0x5A }, { Qt::Key_R, 0x52 },
        { Qt::Key_M, 0x4D }, { Qt::Key_G, 0x47 }, { Qt::Key_A, 0x41 }, { Qt::Key_0, 0x30 },
        { Qt::Key_9, 0x39 }, { Qt::Key_Delete, 0x2E }, { Qt::Key_Escape, 0x1B }, { Qt::Key_Return, 0x0D },
        { Qt::Key_Enter, 0x0D }, { Qt::Key_Alt, 0x12 }, { Qt::Key_Left, 0x25 }, { Qt::Key_Down, 0x28 },
        { Qt::Key_F1, 0x70 }, { Qt::Key_F12, 0x7B }, { Qt::Key_Meta, 0 }, { Qt::Key_unknown, 0 },
        { Qt::Key_Exclam, 0 }, { Qt::Key_BracketLeft, 0 }, { Qt::Key_Yacute, 0 } };
    for (const auto& c : cases)
        EXPECT_EQ(TVeskKeyState::VirtualKeyFromQtKey(c.qtKey), c.vk) << std::hex << c.qtKey;
}
