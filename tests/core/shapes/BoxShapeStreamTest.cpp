// The stored form of rectangles and ellipses: the exact record bytes, both
// file versions, and records that are cut short.

#include "BoxShapeTestSupport.h"

#include <QBuffer>
#include <QtEndian>
#include <string_view>

namespace vesk::test {
namespace {

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

// The rectangle dragged from (0, 0) to (20, 10) on "component".
const QByteArray kRectRecord = QByteArray::fromHex("52454354"
                                                   "09000000636f6d706f6e656e74"
                                                   "000020c10000a0c00000a04100002041"
                                                   "0000000000000000"
                                                   "000020c10000a0c0"
                                                   "000020410000a0c0"
                                                   "000020410000a040"
                                                   "000020c10000a040"
                                                   "00010000"
                                                   "000000000000f03f"
                                                   "0000803f00000000000000000000803f000020410000a040"
                                                   "0900000052656374616e676c65"
                                                   "0000f0400001040000000200000002000000");
constexpr qsizetype kRectPayloadEnd = 73; // where the common block starts

QByteArray FileHeader(std::int32_t version)
{
    return QByteArray("Vesk2.0", 8) + I32(version) + I32(16);
}

class BoxShapeStreamTest : public BoxShapeTest {
protected:
    std::unique_ptr<TVeskBoxShape> Read(const QByteArray& records)
    {
        TVesk_istream in(records);
        in.SetLayers(&layers);
        return ReadBox(in);
    }
};

TEST_F(BoxShapeStreamTest, RectangleWorkedExampleIsWrittenByteForByte)
{
    ASSERT_EQ(kRectRecord.size(), 140);
    TVeskRect rect(component, TVeskSurface(7.5f, false, true, 4));
    rect.SetCorners({ 0, 0 }, { 20, 10 });
    rect.SetSelected(false);
    EXPECT_EQ(Saved(rect).toHex(' '), kRectRecord.toHex(' '));
}

TEST_F(BoxShapeStreamTest, RectangleWorkedExampleReadsBackAndWritesTheSameBytes)
{
    TVesk_istream in(kRectRecord.mid(4));
    in.SetLayers(&layers);
    TVeskRect rect(in);
    ASSERT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(rect.GetLayer(), component);
    EXPECT_EQ(rect.Rect(), RectF(-10, -5, 20, 10));
    EXPECT_EQ(rect.Handles(),
        (TVeskBoxShape::HandleArray {
            PointF(0, 0), PointF(-10, -5), PointF(10, -5), PointF(10, 5), PointF(-10, 5) }));
    EXPECT_EQ(rect.GetMatrixRef(), Matrix(1, 0, 0, 1, 10, 5));
    EXPECT_EQ(rect.InverseMatrix(), Matrix(1, 0, 0, 1, -10, -5));
    EXPECT_EQ(rect.GetName(), QStringLiteral("Rectangle"));
    EXPECT_EQ(rect.Surface(), TVeskSurface(7.5f, false, true, 4));
    EXPECT_FALSE(rect.IsSelected());
    EXPECT_EQ(Saved(rect), kRectRecord);
    // The outline was built while reading: filled, with the stroke beyond the edge.
    EXPECT_TRUE(rect.HitTest({ 10, 5 }));
    EXPECT_TRUE(rect.HitTest({ -3, 5 }));
    EXPECT_FALSE(rect.HitTest({ -4, 5 }));
}

TEST_F(BoxShapeStreamTest, EllipseRecordHasTheRectangleLayoutUnderItsOwnTag)
{
    TVeskEllipse ellipse(component, TVeskSurface(2, false, false, 4));
    ellipse.SetCircle({ 30, 40 }, { 33, 44 });
    ellipse.SetSelected(false);
    const QByteArray record = Saved(ellipse);
    const QByteArray payload = QByteArray("ELPS") + I32(9) + "component" + F32(-5) + F32(-5) + F32(10)
        + F32(10) + F32(0) + F32(0) + F32(0) + F32(5) + F32(5) + F32(0) + F32(0) + F32(-5) + F32(-5) + F32(0);
    ASSERT_GT(record.size(), payload.size());
    EXPECT_EQ(record.left(payload.size()).toHex(' '), payload.toHex(' '));
    // Common block: flags, scale 1.0, matrix translated to the centre, name "Ellipse".
    EXPECT_EQ(record.mid(payload.size(), 4), QByteArray::fromHex("00010000"));
    EXPECT_EQ(record.mid(payload.size() + 12, 24), F32(1) + F32(0) + F32(0) + F32(1) + F32(30) + F32(40));
    EXPECT_EQ(record.mid(payload.size() + 36, 11), I32(7) + "Ellipse");

    auto read = Read(record);
    ASSERT_NE(read, nullptr);
    auto* e = dynamic_cast<TVeskEllipse*>(read.get());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Box(), RectF(-5, -5, 10, 10));
    EXPECT_EQ(Saved(*e), record);
}

// What a record's redundant fields become: a rectangle derives its
// rectangle from the stored handles, an ellipse its handles from the
// stored box.
TEST_F(BoxShapeStreamTest, StoredRedundantFieldsGiveWayToTheDerivedOnes)
{
    const QByteArray common = kRectRecord.mid(kRectPayloadEnd);
    const QByteArray handles
        = F32(1) + F32(1) + F32(-2) + F32(-3) + F32(6) + F32(-3) + F32(6) + F32(7) + F32(-2) + F32(7);
    const QByteArray body = I32(9) + "component" + F32(-9) + F32(-9) + F32(-18) + F32(40) + handles + common;

    auto rect = Read("RECT" + body);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(dynamic_cast<TVeskRect&>(*rect).Rect(), RectF(-2, -3, 8, 10));
    EXPECT_EQ(rect->Handles()[0], PointF(1, 1)); // kept until a corner moves

    auto ellipse = Read("ELPS" + body);
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(dynamic_cast<TVeskEllipse&>(*ellipse).Box(), RectF(-9, -9, -18, 40));
    EXPECT_EQ(ellipse->Handles(),
        (TVeskBoxShape::HandleArray {
            PointF(0, 0), PointF(0, 20), PointF(-9, 0), PointF(0, -20), PointF(9, 0) }));
}

TEST_F(BoxShapeStreamTest, VersionTwoRecordNamesTheLayerByPosition)
{
    struct Case {
        const char* tag;
        std::int32_t position;
        const char* layer;
    };
    for (const Case c : { Case { "RECT", 1, "hole" }, Case { "RECT", 3, "component" },
             Case { "RECT", 9, "other" }, Case { "ELPS", 2, "solder" }, Case { "ELPS", 8, "dimension" } }) {
        SCOPED_TRACE(testing::Message() << c.tag << " " << c.position);
        const QByteArray record = c.tag + I32(c.position) + kRectRecord.mid(17);
        TVesk_istream in = TVesk_istream::FromFileBytes(FileHeader(2) + record);
        ASSERT_EQ(in.Version(), 2);
        in.SetLayers(&layers);
        auto shape = ReadBox(in);
        ASSERT_NE(shape, nullptr);
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(shape->GetLayer(), layers.FindLayer(QString::fromLatin1(c.layer)));
        EXPECT_EQ(shape->GetMatrixRef(), Matrix(1, 0, 0, 1, 10, 5));
        EXPECT_EQ(shape->Handles()[0], PointF(0, 0));
        EXPECT_EQ(shape->Handles()[2], PointF(10, std::string_view(c.tag) == "RECT" ? -5 : 0));
        EXPECT_EQ(layers.LayerCount(), 9);
        // Written back in the current form: the layer by name.
        EXPECT_EQ(Saved(*shape).mid(4, 4), I32(std::int32_t(qstrlen(c.layer))));
    }
}

TEST_F(BoxShapeStreamTest, RecordCutAtAnyByteFailsWithoutGeometry)
{
    for (const char* tag : { "RECT", "ELPS" }) {
        const QByteArray record = tag + kRectRecord.mid(4);
        for (qsizetype cut = 4; cut < record.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << tag << " cut at " << cut);
            TVesk_istream in(record.left(cut));
            in.SetLayers(&layers);
            EXPECT_EQ(ReadBox(in), nullptr);
            EXPECT_TRUE(in.Failed());

            // Constructed directly, the broken object still answers safely.
            TVesk_istream again(record.mid(4, cut - 4));
            again.SetLayers(&layers);
            std::unique_ptr<TVeskBoxShape> shape;
            if (std::string_view(tag) == "RECT")
                shape = std::make_unique<TVeskRect>(again);
            else
                shape = std::make_unique<TVeskEllipse>(again);
            EXPECT_TRUE(shape->OutlinePath().IsEmpty());
            EXPECT_FALSE(shape->HitTest({ 10, 5 }));
            shape->SelectHandleAt({ 10, 5 }, 3);
            shape->SetSelected(true);
            shape->MoveSelection(1, 1, MatrixOrder::Append);
            GraphicsPath merged(FillMode::Winding);
            shape->AddOutline(merged, component->index);
        }
    }
}

TEST_F(BoxShapeStreamTest, LoadReplacesEverythingAndClearsTransientState)
{
    for (const BoxKind kind : { BoxKind::Rect, BoxKind::Ellipse }) {
        SCOPED_TRACE(kind);
        auto shape = MakeBox(kind, component, StrokeOnly(1), { 100, 100 }, 20);
        shape->SetName(QStringLiteral("old"));
        shape->SelectHandleAt({ 100, 100 }, 3);
        ASSERT_TRUE(shape->IsSelected());
        ASSERT_TRUE(shape->HandleSelected(0));
        const QByteArray record = (kind == BoxKind::Rect ? "RECT" : "ELPS") + kRectRecord.mid(4);

        TVesk_istream in(record.mid(4));
        in.SetLayers(&layers);
        ASSERT_EQ(shape->Load(in), 0);
        EXPECT_FALSE(shape->IsSelected());
        EXPECT_FALSE(shape->IsPointEditing());
        EXPECT_FALSE(shape->HandleSelected(0));
        EXPECT_EQ(shape->GetName(), QStringLiteral("Rectangle"));
        EXPECT_EQ(shape->InverseMatrix(), Matrix(1, 0, 0, 1, -10, -5));
        EXPECT_FALSE(shape->HitTest({ 100, 100 })); // the old shape is gone
        EXPECT_TRUE(shape->HitTest({ 10, 5 }));
        EXPECT_EQ(Saved(*shape), Saved(*Read(record))); // as if read afresh
    }
}

TEST_F(BoxShapeStreamTest, LoadOfACutRecordOrFromAFailedStreamChangesNothing)
{
    for (const BoxKind kind : { BoxKind::Rect, BoxKind::Ellipse }) {
        SCOPED_TRACE(kind);
        auto shape = MakeBox(kind, component, FillOnly(), { 100, 100 }, 20);
        const QByteArray before = Saved(*shape);

        TVesk_istream cut(kRectRecord.mid(4, 100));
        cut.SetLayers(&layers);
        EXPECT_EQ(shape->Load(cut), -1);
        EXPECT_EQ(Saved(*shape), before);
        EXPECT_TRUE(shape->HitTest({ 100, 100 }));
        EXPECT_TRUE(shape->IsSelected());

        EXPECT_EQ(shape->Load(cut), -1); // now failed before starting
        EXPECT_EQ(Saved(*shape), before);
    }
}

TEST_F(BoxShapeStreamTest, SaveOnAFailedStreamWritesNothing)
{
    QBuffer device;
    device.open(QIODevice::ReadOnly); // every write fails
    TVesk_ostream out(device);
    ASSERT_FALSE(out.Flush());
    const qsizetype size = out.Buffer().size();
    for (const BoxKind kind : { BoxKind::Rect, BoxKind::Ellipse }) {
        auto shape = MakeBox(kind, component, FillOnly(), { 10, 10 }, 5);
        EXPECT_EQ(shape->Save(out), -1);
        EXPECT_EQ(out.Buffer().size(), size);
    }
}

} // namespace
} // namespace vesk::test
