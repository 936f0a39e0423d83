// The stored form of paths: the exact record bytes, both file versions, and
// records that are cut short or carry impossible counts.

#include "PathTestSupport.h"
#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstring>
#include <limits>

namespace vesk::test {
namespace {

QByteArray Golden()
{
    QFile f(QStringLiteral(VESK_TEST_DATA "/path_open_solder.bin"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Offset of the common block in the worked example.
constexpr qsizetype kCommonAt = 73;

QByteArray I32(std::int32_t v)
{
    const std::int32_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}
QByteArray F32(float v)
{
    std::int32_t bits;
    std::memcpy(&bits, &v, 4);
    return I32(bits);
}
QByteArray Byte(int v)
{
    return QByteArray(1, char(v));
}

struct Entry {
    float x, y;
    std::uint8_t flag;
};

// A version-3 record with the worked example's common block.
QByteArray RecordV3(const QByteArray& layerName, bool closed, const std::vector<Entry>& entries)
{
    QByteArray r = "PATH" + I32(std::int32_t(layerName.size())) + layerName + Byte(closed)
        + I32(std::int32_t(entries.size()));
    for (const Entry& e : entries)
        r += F32(e.x) + F32(e.y) + Byte(e.flag);
    return r + Golden().mid(kCommonAt);
}

QByteArray FileHeader(std::int32_t version)
{
    return QByteArray("Vesk2.0", 8) + I32(version) + I32(16);
}

std::unique_ptr<TVeskPath> AsPath(std::unique_ptr<TVeskObject> o)
{
    auto* p = dynamic_cast<TVeskPath*>(o.get());
    if (!p)
        return nullptr;
    o.release();
    return std::unique_ptr<TVeskPath>(p);
}

QByteArray Saved(const TVeskObject& o)
{
    TVesk_ostream out;
    EXPECT_EQ(o.Save(out), 0);
    return out.Buffer();
}

class PathStreamTest : public PathTest {
protected:
    std::unique_ptr<TVeskPath> Read(const QByteArray& records)
    {
        TVesk_istream in(records);
        in.SetLayers(&layers);
        return AsPath(in.ReadObject());
    }
};

TEST_F(PathStreamTest, WorkedExampleIsWrittenByteForByte)
{
    const QByteArray golden = Golden();
    ASSERT_EQ(golden.size(), 135);
    TVeskPath path(solder, TVeskSurface(7.5f, false, false, 4));
    path.SetPoints(Polyline({ { 0, 0 }, { 10, 0 } }), std::vector<std::uint8_t>(6, pfSmooth));
    path.SetMatrix(Matrix(1, 0, 0, 1, 100, 50));
    EXPECT_EQ(Saved(path).toHex(' '), golden.toHex(' '));
}

TEST_F(PathStreamTest, WorkedExampleReadsBackAndWritesTheSameBytes)
{
    const QByteArray golden = Golden();
    auto path = Read(golden);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->GetLayer(), solder);
    EXPECT_FALSE(path->IsClosed());
    EXPECT_EQ(path->Points(), Polyline({ { 0, 0 }, { 10, 0 } }));
    EXPECT_EQ(path->PointFlags(), std::vector<std::uint8_t>(6, pfSmooth));
    EXPECT_EQ(path->GetMatrixRef(), Matrix(1, 0, 0, 1, 100, 50));
    EXPECT_EQ(path->InverseMatrix(), Matrix(1, 0, 0, 1, -100, -50));
    EXPECT_EQ(path->GetName(), QStringLiteral("Path"));
    EXPECT_EQ(path->Surface(), TVeskSurface(7.5f, false, false, 4));
    EXPECT_EQ(Saved(*path), golden);
    // The outline was built while reading: the stroke around (100,50)-(110,50).
    EXPECT_TRUE(path->HitTest({ 105, 52 }));
    EXPECT_FALSE(path->HitTest({ 105, 55 }));
}

TEST_F(PathStreamTest, LoadReplacesTheWholePathAndClearsTransientState)
{
    const QByteArray golden = Golden();
    auto path = Square(0, 0, 40);
    path->SetName(QStringLiteral("old"));
    path->SetSelected(true);
    path->SetHandlesSelected(true);
    TVesk_istream in(golden.mid(4)); // Load starts after the tag
    in.SetLayers(&layers);
    ASSERT_EQ(path->Load(in), 0);
    EXPECT_FALSE(path->IsSelected());
    EXPECT_FALSE(path->IsPointEditing());
    EXPECT_FALSE(path->HitTest({ 20, 20 })); // the old square is gone
    EXPECT_TRUE(path->HitTest({ 105, 52 }));
    EXPECT_EQ(Saved(*path), golden);
}

TEST_F(PathStreamTest, LoadOfACutRecordOrFromAFailedStreamChangesNothing)
{
    const QByteArray golden = Golden();
    auto path = Square(0, 0, 40);
    const QByteArray before = Saved(*path);

    TVesk_istream cut(golden.mid(4, 80));
    cut.SetLayers(&layers);
    EXPECT_EQ(path->Load(cut), -1);
    EXPECT_EQ(Saved(*path), before);
    EXPECT_TRUE(path->HitTest({ 20, 20 }));

    EXPECT_EQ(path->Load(cut), -1); // now failed before starting
    EXPECT_EQ(Saved(*path), before);
}

TEST_F(PathStreamTest, SaveOnAFailedStreamWritesNothing)
{
    QBuffer device;
    device.open(QIODevice::ReadOnly); // every write fails
    TVesk_ostream out(device);
    ASSERT_FALSE(out.Flush());
    const qsizetype size = out.Buffer().size();
    auto path = Square(0, 0, 40);
    EXPECT_EQ(path->Save(out), -1);
    EXPECT_EQ(out.Buffer().size(), size);
}

TEST_F(PathStreamTest, EveryFlagByteSurvivesSaveAndLoad)
{
    const std::vector<std::uint8_t> flags { pfSelected | pfSmooth, pfSelected, pfCurve, pfSmooth | pfCurve,
        0x00, pfSelected | pfSmooth | pfCurve, 0xF8, pfSmooth, pfSelected | pfCurve };
    auto path = MakePath(Polyline({ { 0, 0 }, { 50, 0 }, { 50, 50 } }), Stroke(5), true);
    path->SetSelected(true); // before the flags: selecting the whole path releases the anchors
    path->SetPoints(path->Points(), flags);
    auto read = Read(Saved(*path));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->PointFlags(), flags);
    EXPECT_TRUE(read->IsClosed());
    EXPECT_FALSE(read->IsSelected());
}

TEST_F(PathStreamTest, VersionTwoRecordUsesLayerPositionsAndSmoothCurveBytes)
{
    struct Case {
        std::int32_t position;
        const char* layer;
    };
    for (const Case c : { Case { 1, "hole" }, Case { 2, "solder" }, Case { 8, "dimension" } }) {
        SCOPED_TRACE(c.position);
        QByteArray record = "PATH" + I32(c.position) + Byte(1) + I32(6);
        const std::pair<int, int> bytes[] = { { 0, 0 }, { 1, 0 }, { 0, 1 }, { 7, 3 }, { 0, 0 }, { 2, 0 } };
        for (int i = 0; i < 6; ++i)
            record += F32(float(i)) + F32(float(-i)) + Byte(bytes[i].first) + Byte(bytes[i].second);
        record += Golden().mid(kCommonAt);

        TVesk_istream in = TVesk_istream::FromFileBytes(FileHeader(2) + record);
        ASSERT_EQ(in.Version(), 2);
        in.SetLayers(&layers);
        auto path = AsPath(in.ReadObject());
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(path->GetLayer(), layers.FindLayer(QString::fromLatin1(c.layer)));
        EXPECT_TRUE(path->IsClosed());
        EXPECT_EQ(path->PointFlags(),
            (std::vector<std::uint8_t> { 0, pfSmooth, pfCurve, pfSmooth | pfCurve, 0, pfSmooth }));
        EXPECT_EQ(path->Points()[3], PointF(3, -3));
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(layers.LayerCount(), 9);
    }
}

TEST_F(PathStreamTest, UnknownLayerNameAddsAGreyCurrentLayer)
{
    auto path = Read(RecordV3(
        "gold", false, { { 0, 0, 2 }, { 0, 0, 2 }, { 9, 0, 2 }, { 9, 0, 2 }, { 9, 0, 2 }, { 0, 0, 2 } }));
    ASSERT_NE(path, nullptr);
    TVeskLayer* gold = layers.FindLayer(QStringLiteral("gold"));
    ASSERT_NE(gold, nullptr);
    EXPECT_EQ(layers.LayerCount(), 10);
    EXPECT_EQ(path->GetLayer(), gold);
    EXPECT_EQ(gold->opaqueColor, 0xFF808080u);
    EXPECT_EQ(layers.CurrentLayer(), gold);
}

TEST_F(PathStreamTest, RecordCutAtAnyByteYieldsNoObject)
{
    const QByteArray golden = Golden();
    for (qsizetype cut = 0; cut < golden.size(); ++cut) {
        SCOPED_TRACE(cut);
        TVesk_istream in(golden.left(cut));
        in.SetLayers(&layers);
        EXPECT_EQ(in.ReadObject(), nullptr);
    }
}

TEST_F(PathStreamTest, ImpossibleEntryCountsFailWithoutAllocating)
{
    for (const std::int32_t count : { -1, -6, 15, 0x7FFFFFFF, std::int32_t(0x80000000) }) {
        SCOPED_TRACE(count);
        QByteArray record = Golden();
        record.replace(15, 4, I32(count));
        TVesk_istream in(record);
        in.SetLayers(&layers);
        EXPECT_EQ(in.ReadObject(), nullptr);
        EXPECT_TRUE(in.Failed());
    }
}

// A record whose entries do not come in whole groups of three was not
// written by any writer: it is read to its end (so the stream stays in
// step) and skipped, and the next record reads.
TEST_F(PathStreamTest, EntryCountOffTheGroupsOfThreeSkipsTheRecord)
{
    for (const int entries : { 1, 2, 4, 5, 7, 8 }) {
        SCOPED_TRACE(entries);
        std::vector<Entry> list;
        for (int i = 0; i < entries; ++i)
            list.push_back({ float(10 * (i % 4)), float(10 * (i / 4)), std::uint8_t(pfSelected) });
        const QByteArray second = Golden();
        TVesk_istream in(RecordV3("solder", true, list) + second);
        in.SetLayers(&layers);
        EXPECT_EQ(in.ReadObject(), nullptr);
        EXPECT_TRUE(in.SkippedLast());
        EXPECT_FALSE(in.Failed());
        auto next = AsPath(in.ReadObject());
        ASSERT_NE(next, nullptr); // the following record still reads
        EXPECT_EQ(Saved(*next), second);
        EXPECT_EQ(in.SkippedRecords(), 1);
    }
}

// Such values in a record skip it; given through the interface, they
// neither crash nor hang anything that draws, picks or outlines the path.
TEST_F(PathStreamTest, NonFiniteValuesNeitherCrashNorHang)
{
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const QByteArray record = RecordV3("solder", true,
        { { nan, 0, 1 }, { 0, inf, 1 }, { 1e30f, -1e30f, 1 }, { 5, 5, 1 }, { -inf, nan, 1 },
            { 3e38f, 3e38f, 1 } });
    TVesk_istream in(record);
    in.SetLayers(&layers);
    EXPECT_EQ(in.ReadObject(), nullptr);
    EXPECT_TRUE(in.SkippedLast());

    auto path = std::make_unique<TVeskPath>(solder, Stroke(2));
    path->SetPoints({ { nan, 0 }, { 0, inf }, { 1e30f, -1e30f }, { 5, 5 }, { -inf, nan }, { 3e38f, 3e38f } },
        std::vector<std::uint8_t>(6, pfSelected));
    path->SetClosed(true);
    path->SetViewScale(0);
    path->SetHandlesSelected(true);
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter g(&image);
    TDrawStyle style;
    path->Draw(g, solder->index, style);
    path->DrawSelection(g, style);
    g.end();
    path->HitTest({ 5, 5 });
    path->IntersectsRect({ 0, 0, 10, 10 });
    GraphicsPath outline(FillMode::Winding);
    path->AddOutline(outline, solder->index);
}

TEST_F(PathStreamTest, SetPointsKeepsWholeGroupsAndMatchingFlags)
{
    TVeskPath path(solder, Stroke(2));
    path.SetPoints({ { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 4, 0 } }, { pfSelected, pfCurve });
    EXPECT_EQ(path.EntryCount(), 3);
    EXPECT_EQ(path.PointFlags(), (std::vector<std::uint8_t> { pfSelected, pfCurve, pfSmooth }));
    path.SetPoints(Polyline({ { 0, 0 }, { 5, 0 } }), std::vector<std::uint8_t>(9, pfCurve));
    EXPECT_EQ(path.PointFlags(), std::vector<std::uint8_t>(6, pfCurve));
}

} // namespace
} // namespace vesk::test
