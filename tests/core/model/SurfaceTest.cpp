#include "io/Veskfilestream.h"
#include "model/Vesksurface.h"

#include <QBuffer>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray SavedBlock(const TVeskSurface& s)
{
    TVesk_ostream out;
    EXPECT_EQ(s.Save(out), 0);
    return out.Buffer();
}

// An ostream that has already failed: writing to a read-only device.
struct FailedOstream {
    QByteArray bytes;
    QBuffer device { &bytes };
    std::unique_ptr<TVesk_ostream> out;
    FailedOstream()
    {
        device.open(QIODevice::ReadOnly);
        out = std::make_unique<TVesk_ostream>(device);
        out->Flush();
    }
};

} // namespace

TEST(SurfaceTest, DefaultsMatchTheWorkedExampleBlock)
{
    const TVeskSurface s;
    EXPECT_EQ(s.GetWidth(), 1.0f);
    EXPECT_FALSE(s.GetCutOut());
    EXPECT_FALSE(s.GetFill());
    EXPECT_EQ(s.GetReserved(), 4);
    EXPECT_EQ(s.GetLineJoin(), 2);
    EXPECT_EQ(s.GetLineCap(), 2);
    EXPECT_EQ(SavedBlock(s), Hex("0000803F 00 00 04000000 02000000 02000000"));
}

TEST(SurfaceTest, BlockWritesEveryFieldInOrder)
{
    TVeskSurface s(7.5f, true, true, 9);
    s.SetLineJoin(1);
    s.SetLineCap(0x01020304);
    const QByteArray block = SavedBlock(s);
    ASSERT_EQ(block.size(), 18);
    EXPECT_EQ(block, Hex("0000F040 01 01 09000000 01000000 04030201"));

    TVesk_istream in(block);
    TVeskSurface back;
    EXPECT_EQ(back.Load(in), 0);
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(back, s);
}

struct WidthCase {
    const char* what;
    bool fill;
    float start;
    float set;
    float expected;
};

class SurfaceWidthRule : public ::testing::TestWithParam<WidthCase> { };

TEST_P(SurfaceWidthRule, SetWidth)
{
    const WidthCase& c = GetParam();
    TVeskSurface s(c.start, false, c.fill, 4);
    ASSERT_EQ(s.GetWidth(), c.start);
    s.SetWidth(c.set);
    EXPECT_EQ(s.GetWidth(), c.expected) << c.what;
    EXPECT_EQ(s.GetFill(), c.fill);
}

INSTANTIATE_TEST_SUITE_P(Cases, SurfaceWidthRule,
    ::testing::Values(WidthCase { "unfilled refuses 0", false, 3.0f, 0.0f, 3.0f },
        WidthCase { "filled takes 0", true, 3.0f, 0.0f, 0.0f },
        WidthCase { "filled takes a negative width", true, 3.0f, -1.0f, -1.0f },
        WidthCase { "unfilled refuses a negative width", false, 3.0f, -1.0f, 3.0f },
        // The float nearest 0.01 widens to a double just below 0.01.
        WidthCase { "unfilled refuses 0.01f", false, 3.0f, 0.01f, 3.0f },
        WidthCase { "unfilled takes the next float above 0.01", false, 3.0f, std::nextafter(0.01f, 1.0f),
            std::nextafter(0.01f, 1.0f) },
        WidthCase { "unfilled takes 0.5", false, 3.0f, 0.5f, 0.5f }));

TEST(SurfaceTest, ClearingFillOnAZeroWidthSurfaceRaisesItToTheFloatNearestAHundredth)
{
    TVeskSurface s(0.0f, false, true, 4);
    ASSERT_EQ(s.GetWidth(), 0.0f);
    s.SetFill(false);
    EXPECT_FALSE(s.GetFill());
    EXPECT_EQ(s.GetWidth(), 0.0099999998f);
    EXPECT_EQ(s.GetWidth(), 0.01f);
    EXPECT_LT(static_cast<double>(s.GetWidth()), 0.01);

    // The replacement value itself fails the rule when set on an unfilled surface.
    TVeskSurface other(5.0f, false, false, 4);
    other.SetWidth(s.GetWidth());
    EXPECT_EQ(other.GetWidth(), 5.0f);
}

TEST(SurfaceTest, ClearingFillKeepsAWidthThatPassesTheRule)
{
    TVeskSurface s(0.02f, false, true, 4);
    s.SetFill(false);
    EXPECT_EQ(s.GetWidth(), 0.02f);
    s.SetFill(true);
    EXPECT_EQ(s.GetWidth(), 0.02f);
    EXPECT_TRUE(s.GetFill());
}

TEST(SurfaceTest, SecondConstructorAppliesTheWidthRule)
{
    struct Case {
        float width;
        bool fill;
        float expected;
    } const cases[] = {
        { 0.0f, false, 0.01f },
        { 0.005f, false, 0.01f },
        { 0.01f, false, 0.01f },
        { 0.0f, true, 0.0f },
        { 7.5f, false, 7.5f },
    };
    for (const Case& c : cases) {
        const TVeskSurface s(c.width, true, c.fill, 6);
        EXPECT_EQ(s.GetWidth(), c.expected) << c.width << " fill " << c.fill;
        EXPECT_TRUE(s.GetCutOut());
        EXPECT_EQ(s.GetFill(), c.fill);
        EXPECT_EQ(s.GetReserved(), 6);
        EXPECT_EQ(s.GetLineJoin(), 2);
        EXPECT_EQ(s.GetLineCap(), 2);
    }
}

TEST(SurfaceTest, LoadKeepsStoredValuesWithoutTheWidthRule)
{
    TVesk_istream in(Hex("00000000 00 00 04000000 02000000 02000000"));
    TVeskSurface s(5.0f, true, true, 7);
    EXPECT_EQ(s.Load(in), 0);
    EXPECT_EQ(s.GetWidth(), 0.0f);
    EXPECT_FALSE(s.GetFill());
    EXPECT_FALSE(s.GetCutOut());
    EXPECT_EQ(s.GetReserved(), 4);
}

TEST(SurfaceTest, LoadAndSaveRefuseAFailedStream)
{
    TVesk_istream in(Hex("00"));
    in.ReadInt32();
    ASSERT_TRUE(in.Failed());
    TVeskSurface s(5.0f, true, true, 7);
    const TVeskSurface before = s;
    EXPECT_EQ(s.Load(in), -1);
    EXPECT_EQ(s, before);

    FailedOstream failed;
    ASSERT_TRUE(failed.out->Failed());
    const QByteArray pending = failed.out->Buffer();
    EXPECT_EQ(s.Save(*failed.out), -1);
    EXPECT_EQ(failed.out->Buffer(), pending);
}

TEST(SurfaceTest, AssignCopiesAllSixFields)
{
    TVeskSurface source(0.0f, true, true, 11);
    source.SetLineJoin(1);
    source.SetLineCap(1);
    TVeskSurface target;
    target.Assign(source);
    EXPECT_EQ(target, source);
    EXPECT_EQ(target.GetWidth(), 0.0f);
}

struct PenCase {
    bool cutOut;
    int join;
    int cap;
    ARGB expectedColor;
    LineJoin expectedJoin;
    LineCap expectedCap;
};

class SurfacePen : public ::testing::TestWithParam<PenCase> { };

TEST_P(SurfacePen, PenAndBrush)
{
    const PenCase& c = GetParam();
    TVeskSurface s(2.5f, c.cutOut, false, 4);
    s.SetLineJoin(c.join);
    s.SetLineCap(c.cap);

    const Pen pen = s.CreatePen(0x7F123456);
    EXPECT_EQ(pen.color, c.expectedColor);
    EXPECT_EQ(pen.width, 2.5f);
    EXPECT_EQ(pen.startCap, c.expectedCap);
    EXPECT_EQ(pen.endCap, c.expectedCap);
    EXPECT_EQ(pen.dashCap, LineCap::Flat);
    EXPECT_EQ(pen.lineJoin, c.expectedJoin);
    EXPECT_TRUE(pen.dashPattern.empty());

    EXPECT_EQ(s.CreateBrush(0x7F123456).color, c.expectedColor);
}

INSTANTIATE_TEST_SUITE_P(Cases, SurfacePen,
    ::testing::Values(PenCase { false, 2, 2, 0x7F123456, LineJoin::Round, LineCap::Round },
        PenCase { false, 1, 1, 0x7F123456, LineJoin::Bevel, LineCap::Square },
        PenCase { false, 0, 0, 0x7F123456, LineJoin::Miter, LineCap::Flat },
        PenCase { true, 2, 2, 0xFFFFFFFF, LineJoin::Round, LineCap::Round },
        PenCase { true, 1, 1, 0xFFFFFFFF, LineJoin::Bevel, LineCap::Square }));

TEST(SurfaceTest, FilledZeroWidthSurfaceMakesAZeroWidthPen)
{
    const TVeskSurface s(0.0f, false, true, 4);
    EXPECT_EQ(s.CreatePen(0xFF000000).width, 0.0f);
}
