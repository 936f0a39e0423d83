// Cut-outs: the screen paints them white over what it painted before them, so
// a Gerber file writes them with clear polarity in the screen's order, and the
// outline mode takes their areas out of the merged outline.
#include "GerberTestSupport.h"
#include "gerber/Gerberexport.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <utility>

namespace vesk::test {
namespace {

TVeskSurface cutOut()
{
    return TVeskSurface(0, true, true, 4);
}

// The body after the aperture definitions, as one text.
QByteArray body(const QByteArray& file)
{
    const qsizetype start = file.indexOf("G54D");
    return start < 0 ? QByteArray() : file.mid(start);
}

TEST_F(GerberTest, ACutOutIsWrittenClearAfterTheCopperItClears)
{
    TVeskPart root;
    root.Add(*MakeRect({ 50, 50 }, 40, 40, SurfaceOf(0, true)));
    root.Add(*MakeEllipse({ 50, 50 }, 5, 5, cutOut()));
    const QByteArray file = WriteLayer(root, component->index, QStringLiteral("component"));
    EXPECT_EQ(file.toStdString(),
        "G75*\n"
        "G71*\n"
        "%OFA0B0*%\n"
        "%FSLAX33Y33*%\n"
        "%IPPOS*%\n"
        "%LPD*%\n"
        "%LNcomponent*%\n"
        "%MIA0B1*%\n"
        "%ADD10P,5.657X4X45*%\n"
        "%ADD11C,1.000*%\n"
        "G54D10*\n"
        "X005000Y005000D03*\n"
        "%LPC*%\n"
        "G54D11*\n"
        "X005000Y005000D03*\n"
        "%LPD*%\n"
        "M02*\n");
}

// The screen paints a container's other children from the newest to the
// oldest and its cut-outs last, oldest first; a group's cut-out therefore
// clears what was painted before the group, not what comes after it.
TEST_F(GerberTest, CutOutsAndTheCopperAroundThemFollowTheScreensOrder)
{
    TVeskGroup group;
    group.Add(*MakeRect({ 20, 10 }, 2, 2, SurfaceOf(0, true))); // g1
    group.Add(*MakeRect({ 20, 10 }, 1, 1, cutOut())); // gc
    TVeskPart root;
    root.Add(*MakeRect({ 10, 10 }, 3, 3, SurfaceOf(0, true))); // a
    root.Add(*MakeRect({ 10, 10 }, 1, 1, cutOut())); // c, oldest cut-out
    root.Add(group);
    root.Add(*MakeRect({ 30, 10 }, 4, 4, SurfaceOf(0, true))); // b
    root.Add(*MakeRect({ 30, 10 }, 2, 2, cutOut())); // d
    EXPECT_EQ(body(WriteLayer(root, component->index, {})).toStdString(),
        "G54D10*\n" // b
        "X003000Y001000D03*\n"
        "G54D11*\n" // g1
        "X002000Y001000D03*\n"
        "%LPC*%\n"
        "G54D12*\n" // gc
        "X002000Y001000D03*\n"
        "%LPD*%\n"
        "G54D13*\n" // a
        "X001000Y001000D03*\n"
        "%LPC*%\n"
        "G54D12*\n" // c
        "X001000Y001000D03*\n"
        "G54D11*\n" // d
        "X003000Y001000D03*\n"
        "%LPD*%\n"
        "M02*\n");
}

// A wire-frame layer shows its shapes as outlines in the layer's colour, cut
// out or not; only lettering is filled there, white when cut out.
TEST_F(GerberTest, CutOutsOnAWireFrameLayerStayDarkButLettering)
{
    TVeskLayer* dimension = layers.FindLayer(QStringLiteral("dimension"));
    ASSERT_TRUE(dimension && dimension->wireFrame);
    TVeskPart root;
    root.Add(*MakePath(StraightEntries({ { 0, 0 }, { 100, 0 } }), TVeskSurface(2, true, false, 4), false,
        Matrix(), dimension));
    EXPECT_FALSE(WriteLayer(root, dimension->index, {}).contains("%LPC*%"));
    TVeskString text(dimension, cutOut());
    text.SetFont(QStringLiteral("MS UI Gothic"), 0, 40);
    text.PlaceText(QStringLiteral("A"), { 10, 10 });
    root.Add(text);
    const QByteArray file = WriteLayer(root, dimension->index, {});
    EXPECT_TRUE(file.contains("%LPC*%")) << file.left(400).toStdString();
    EXPECT_TRUE(file.endsWith("%LPD*%\nM02*\n"));
}

// Outline mode: a clearance inside a pour is a hole in the pour's outline.
TEST_F(GerberTest, OutlineModeTakesTheCutOutsOutOfTheMergedOutline)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto figures = [&](const TVeskPart& board) {
        const TGerberExportResult r = ExportOutlineFiles(board, layers, { component->index }, dir.path());
        EXPECT_TRUE(r.AllWritten());
        QFile f(r.layers[0].fileName);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const std::vector<Record> records = ParseBody(BodyLines(f.readAll()));
        std::vector<RectF> boxes;
        for (const Record& rec : records) {
            if (rec.kind == Record::Move)
                boxes.push_back({ rec.at.X, rec.at.Y, 0, 0 });
            else if (rec.kind == Record::Draw)
                boxes.back() = RectF::Union(boxes.back(), { rec.at.X, rec.at.Y, 0, 0 });
        }
        return boxes;
    };
    TVeskPart board;
    board.Add(*MakeRect({ 50, 50 }, 40, 40, SurfaceOf(0, true)));
    board.Add(*MakeEllipse({ 50, 50 }, 5, 5, cutOut()));
    // A cut-out reaching over the pour's edge bites into it.
    board.Add(*MakeRect({ 70, 50 }, 10, 10, cutOut()));
    std::vector<RectF> boxes = figures(board);
    ASSERT_EQ(boxes.size(), 2u) << "the pour and the hole in it";
    if (boxes[0].Width < boxes[1].Width)
        std::swap(boxes[0], boxes[1]);
    EXPECT_NEAR(boxes[0].GetLeft(), 30, 0.02);
    EXPECT_NEAR(boxes[0].GetRight(), 70, 0.02);
    EXPECT_NEAR(boxes[0].GetTop(), 30, 0.02);
    EXPECT_NEAR(boxes[0].GetBottom(), 70, 0.02);
    EXPECT_NEAR(boxes[1].GetLeft(), 45, 0.1);
    EXPECT_NEAR(boxes[1].GetRight(), 55, 0.1);

    TVeskPart cutOutsOnly;
    cutOutsOnly.Add(*MakeEllipse({ 50, 50 }, 5, 5, cutOut()));
    EXPECT_TRUE(figures(cutOutsOnly).empty()) << "a cut-out alone removes nothing it could draw";
}

} // namespace
} // namespace vesk::test
