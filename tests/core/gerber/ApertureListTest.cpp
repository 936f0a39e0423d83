#include "gerber/Aperturelist.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vesk {
namespace {

Pen pen(float width, LineCap cap)
{
    Pen p;
    p.width = width;
    p.startCap = cap;
    p.endCap = cap;
    return p;
}

TEST(ApertureList, WorkedExampleDefinitions)
{
    TApertureList list;
    EXPECT_EQ(list.CircleCode(3.0f), 10);
    EXPECT_EQ(list.PenCode(pen(20.0f, LineCap::Square), 0), 11);
    EXPECT_EQ(list.CodeOf(TApEllipse(25.0f, 12.5f)), 12);
    EXPECT_EQ(list.Definitions(),
        "%ADD10C,0.300*%\n"
        "%ADD11P,2.828X4X45*%\n"
        "%ADD12O,2.500X1.250*%\n");
}

struct DefinitionCase {
    const char* what;
    std::unique_ptr<TAperture> (*make)();
    const char* definition; // as the first aperture of a list
};

const DefinitionCase kDefinitions[] = {
    { "circle", [] { return std::unique_ptr<TAperture>(new TApEllipse(7.5f)); }, "%ADD10C,0.750*%" },
    { "near-circle within 0.0001",
        [] { return std::unique_ptr<TAperture>(new TApEllipse(10.0f, 10.00005f)); }, "%ADD10C,1.000*%" },
    { "obround", [] { return std::unique_ptr<TAperture>(new TApEllipse(10.0f, 30.0f)); },
        "%ADD10O,1.000X3.000*%" },
    { "rectangle", [] { return std::unique_ptr<TAperture>(new TApRect(22.0f, 12.0f)); },
        "%ADD10R,2.200X1.200*%" },
    // The file mirrors y: the polygon turns by 45 plus the angle, so that the
    // mirrored image turns it back onto the track.
    { "square at 30", [] { return std::unique_ptr<TAperture>(new TApRect(10.0f, 10.0f, 30)); },
        "%ADD10P,1.414X4X75*%" },
    { "square at 120 keeps 30", [] { return std::unique_ptr<TAperture>(new TApRect(10.0f, 10.0f, 120)); },
        "%ADD10P,1.414X4X75*%" },
    { "square at -30 is at 60", [] { return std::unique_ptr<TAperture>(new TApRect(10.0f, 10.0f, -30)); },
        "%ADD10P,1.414X4X15*%" },
    { "square at 45", [] { return std::unique_ptr<TAperture>(new TApRect(10.0f, 10.0f, 45)); },
        "%ADD10P,1.414X4X0*%" },
    { "square at -90 is unturned", [] { return std::unique_ptr<TAperture>(new TApRect(10.0f, 10.0f, -90)); },
        "%ADD10P,1.414X4X45*%" },
};

TEST(ApertureList, DefinitionRecords)
{
    for (const DefinitionCase& c : kDefinitions) {
        TApertureList list;
        EXPECT_EQ(list.CodeOf(*c.make()), 10) << c.what;
        EXPECT_EQ(list.Definitions(), QByteArray(c.definition) + '\n') << c.what;
    }
}

TEST(ApertureList, EqualShapesShareOneCode)
{
    TApertureList list;
    const int stroke = list.PenCode(pen(20.0f, LineCap::Round), 45);
    EXPECT_EQ(list.PenCode(pen(20.0f, LineCap::Flat), 0), stroke);
    EXPECT_EQ(list.CircleCode(20.0f), stroke);
    EXPECT_EQ(list.CodeOf(TApEllipse(20.0f, 20.0f)), stroke)
        << "a 20 by 20 ellipse flash is the stroke's circle";
    EXPECT_EQ(list.PenCode(pen(20.0f, LineCap::Square), 30), list.PenCode(pen(20.0f, LineCap::Square), 120));
    EXPECT_EQ(list.Count(), 2);
}

TEST(ApertureList, DifferentShapesGetNewCodesInOrder)
{
    TApertureList list;
    EXPECT_EQ(list.CodeOf(TApEllipse(20.0f, 10.0f)), 10);
    EXPECT_EQ(list.CodeOf(TApEllipse(20.0f, 30.0f)), 11);
    EXPECT_EQ(list.CodeOf(TApRect(20.0f, 20.0f)), 12) << "a square never equals a circle";
    EXPECT_EQ(list.CircleCode(20.0f), 13);
    EXPECT_EQ(list.PenCode(pen(20.0f, LineCap::Square), -30), 14);
    EXPECT_EQ(list.PenCode(pen(20.0f, LineCap::Square), 30), 15);
    const float w = 3.0f;
    EXPECT_EQ(list.CircleCode(std::nextafter(w, 4.0f)), 16);
    EXPECT_EQ(list.CircleCode(w), 17) << "sizes a bit apart are two apertures even when they print alike";
    EXPECT_EQ(list.At(6).Definition(), "%ADD16C,0.300*%");
    EXPECT_EQ(list.At(7).Definition(), "%ADD17C,0.300*%");
}

TEST(ApertureList, CodeOfRegistersACloneAndLeavesTheCallersAperture)
{
    TApertureList list;
    TApRect mine(5.0f, 8.0f);
    EXPECT_EQ(list.CodeOf(mine), 10);
    EXPECT_EQ(mine.Code(), 0);
    EXPECT_NE(&list.At(0), static_cast<const TAperture*>(&mine));
    EXPECT_EQ(list.At(0).Code(), 10);
    EXPECT_TRUE(list.At(0).Equals(mine));
    EXPECT_EQ(mine.Clone()->Code(), 0);
}

TEST(ApertureList, CodesAbove99PrintAllDigits)
{
    TApertureList list;
    for (int i = 0; i < 95; ++i)
        list.CircleCode(float(i + 1));
    EXPECT_EQ(list.At(89).Definition(), "%ADD99C,9.000*%");
    EXPECT_EQ(list.At(90).Definition(), "%ADD100C,9.100*%");
}

TEST(ApertureList, NotANumberEqualsNothingAndDoesNotBreakTheIndex)
{
    TApertureList list;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(list.CircleCode(nan), 10);
    EXPECT_EQ(list.CircleCode(nan), 11);
    EXPECT_EQ(list.CircleCode(1.0f), 12);
    EXPECT_EQ(list.CircleCode(1.0f), 12);
}

} // namespace
} // namespace vesk
