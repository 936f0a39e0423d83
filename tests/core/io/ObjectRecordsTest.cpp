// The clipboard's bytes: the selected objects' document records, back to
// back, read back into any document.
#include "io/Objectrecords.h"

#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QFile>
#include <QtEndian>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vesk;

namespace {

class ObjectRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile f(QStringLiteral(VESK_TEST_DATA "/board.vbf"));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        file = f.readAll();
        board.ReadBytes(file);
        ASSERT_GE(board.Root().ChildCount(), 2);
        for (const auto& child : board.Root().Children())
            objects.push_back(child.get());
    }

    QByteArray file;
    TVeskDocument board;
    std::vector<TVeskObject*> objects;
};

TEST_F(ObjectRecords, AreTheBytesTheDocumentHoldsForTheObjects)
{
    const QByteArray records = WriteObjectRecords(objects);
    ASSERT_FALSE(records.isEmpty());
    // The root's record holds its children's records in order, and nothing
    // comes after the root's own common block but the end of the file.
    EXPECT_TRUE(file.contains(records));

    // Read into another document and written again: the same bytes.
    TVeskDocument other;
    const auto read = ReadObjectRecords(records, other.Layers());
    ASSERT_EQ(read.size(), objects.size());
    std::vector<TVeskObject*> again;
    for (const auto& o : read)
        again.push_back(o.get());
    EXPECT_EQ(WriteObjectRecords(again), records);
}

TEST_F(ObjectRecords, AMissingLayerIsAddedGreyAsTheCurrentOne)
{
    TVeskDocument target;
    TVeskLayer* own = target.Layers().AddNamedLayer(0xFF112233, QStringLiteral("only here"));
    TVeskRect rect(own, TVeskSurface(1, false, true, 4));
    rect.SetCorners({ 0, 0 }, { 10, 10 });
    TVeskObject* one[] = { &rect };
    const QByteArray records = WriteObjectRecords(one);

    TVeskDocument elsewhere;
    const int before = elsewhere.Layers().LayerCount();
    const auto read = ReadObjectRecords(records, elsewhere.Layers());
    ASSERT_EQ(read.size(), 1u);
    TVeskLayer* added = elsewhere.Layers().FindLayer(QStringLiteral("only here"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(elsewhere.Layers().LayerCount(), before + 1);
    EXPECT_EQ(added->opaqueColor, 0xFF808080u);
    EXPECT_EQ(elsewhere.Layers().CurrentLayer(), added);
    EXPECT_EQ(static_cast<TVeskInstance*>(read[0].get())->GetLayer(), added);

    // A document that has the layer keeps its own and adds none.
    const int count = target.Layers().LayerCount();
    ReadObjectRecords(records, target.Layers());
    EXPECT_EQ(target.Layers().LayerCount(), count);
}

TEST_F(ObjectRecords, BytesThatStopFormingRecordsEndTheReadingKeepingWhatCameBefore)
{
    const QByteArray first = WriteObjectRecords(std::span(objects).first(1));
    const QByteArray both = WriteObjectRecords(std::span(objects).first(2));
    ASSERT_GT(both.size(), first.size() + 8);
    const struct {
        const char* what;
        QByteArray bytes;
        size_t objects;
    } cases[] = {
        { "nothing", QByteArray(), 0 },
        { "zeros past the end, as a clipboard block may hold", both + QByteArray(64, '\0'), 2 },
        { "the second record cut short", both.left(first.size() + 8), 1 },
        { "an unknown tag after the first", first + QByteArray("JUNKJUNKJUNK"), 1 },
        { "only the tag of a record", QByteArray("RECT"), 0 },
        { "garbage", QByteArray("\xff\xfe\x00\x01garbage", 11), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TVeskDocument target;
        EXPECT_EQ(ReadObjectRecords(c.bytes, target.Layers()).size(), c.objects);
    }
}

// Records whose bytes are well formed but whose values no drawing can have.
// Each is written with a marker value that is then overwritten in place.
class AbsurdRecords : public ::testing::Test {
protected:
    static constexpr float kMarker = 1234.5f;

    void SetUp() override { solder = layers.Layers().FindLayer(QStringLiteral("solder")); }

    static QByteArray floatBytes(float v)
    {
        const auto le = qToLittleEndian(std::bit_cast<std::uint32_t>(v));
        return QByteArray(reinterpret_cast<const char*>(&le), 4);
    }

    // `object`'s record with the marker's bytes replaced by `value`'s.
    static QByteArray withMarker(TVeskObject& object, float value)
    {
        TVeskObject* one[] = { &object };
        QByteArray bytes = WriteObjectRecords(one);
        const qsizetype at = bytes.indexOf(floatBytes(kMarker));
        EXPECT_GE(at, 0);
        return at < 0 ? bytes : bytes.replace(at, 4, floatBytes(value));
    }

    QByteArray good()
    {
        TVeskRect rect(solder, TVeskSurface(1, false, true, 4));
        rect.SetCorners({ 0, 0 }, { 10, 10 });
        TVeskObject* one[] = { &rect };
        return WriteObjectRecords(one);
    }

    TVeskDocument layers;
    TVeskLayer* solder = nullptr;
};

TEST_F(AbsurdRecords, AreSkippedAndCountedAndTheRecordsAroundThemKept)
{
    TVeskPath path(solder, TVeskSurface(kMarker, false, false, 4));
    path.SetPoints(StraightEntries({ { 0, 0 }, { 100, 0 } }), {});
    TVeskPath far(solder, TVeskSurface(2, false, false, 4));
    far.SetPoints(StraightEntries({ { 0, 0 }, { kMarker, 0 } }), {});
    TVeskPath placed(solder, TVeskSurface(2, false, false, 4));
    placed.SetPoints(StraightEntries({ { 0, 0 }, { 100, 0 } }), {});
    placed.SetMatrix(Matrix(1, 0, 0, 1, kMarker, 0));
    TVeskPath scaled(solder, TVeskSurface(2, false, false, 4));
    scaled.SetPoints(StraightEntries({ { 0, 0 }, { 100, 0 } }), {});
    scaled.SetMatrix(Matrix(kMarker, 0, 0, 1, 0, 0));
    TVeskRect rect(solder, TVeskSurface(1, false, true, 4));
    rect.SetCorners({ 0, 0 }, { kMarker, 10 });
    TVeskString text(solder, TVeskSurface(1, false, true, 4));
    text.SetText(QStringLiteral("A"));
    text.SetFont(QStringLiteral("Arial"), 0, kMarker);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* what;
        TVeskObject& object;
        float value;
        bool kept;
    } cases[] = {
        { "a width of 3e38, which would cover the view", path, 3e38f, false },
        { "a NaN width", path, nan, false },
        { "a width of 100 m, the largest taken", path, 1e6f, true },
        { "a NaN coordinate", far, nan, false },
        { "a coordinate of -3e38", far, -3e38f, false },
        { "an infinite offset", placed, inf, false },
        { "an offset of 200 m", placed, 2e6f, false },
        { "an offset of -100 m", placed, -1e6f, true },
        { "a scale of 1e30", scaled, 1e30f, false },
        { "a NaN scale", scaled, nan, false },
        { "a box corner of 3e38", rect, 3e38f, false },
        { "an infinite text size", text, inf, false },
        { "a text size of 1 m", text, 10000.0f, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TVeskDocument target;
        int skipped = -1;
        const auto read
            = ReadObjectRecords(good() + withMarker(c.object, c.value) + good(), target.Layers(), &skipped);
        EXPECT_EQ(read.size(), c.kept ? 3u : 2u);
        EXPECT_EQ(skipped, c.kept ? 0 : 1);
    }
}

TEST_F(AbsurdRecords, APathWithAPartOfAGroupOfEntriesIsSkipped)
{
    TVeskPath path(solder, TVeskSurface(2, false, false, 4));
    path.SetPoints(StraightEntries({ { 0, 0 }, { 100, 0 } }), {});
    TVeskObject* one[] = { &path };
    QByteArray bytes = WriteObjectRecords(one);
    // Tag, layer name with its length, closed flag: then the entry count.
    const qsizetype countAt = 4 + 4 + qsizetype(qstrlen("solder")) + 1;
    std::int32_t count;
    std::memcpy(&count, bytes.constData() + countAt, 4);
    ASSERT_EQ(qFromLittleEndian(count), 6);
    // Four entries: the last two of nine bytes each go, and the count says so.
    const std::int32_t four = qToLittleEndian(std::int32_t(4));
    bytes.replace(countAt, 4, reinterpret_cast<const char*>(&four), 4);
    bytes.remove(countAt + 4 + 4 * 9, 2 * 9);

    TVeskDocument target;
    int skipped = -1;
    EXPECT_EQ(ReadObjectRecords(good() + bytes + good(), target.Layers(), &skipped).size(), 2u);
    EXPECT_EQ(skipped, 1);
}

TEST_F(AbsurdRecords, InAGroupOnlyTheMemberGoesAndInADocumentTheRestOpens)
{
    TVeskGroup group;
    TVeskRect fine(solder, TVeskSurface(1, false, true, 4));
    fine.SetCorners({ 0, 0 }, { 10, 10 });
    TVeskRect broken(solder, TVeskSurface(1, false, true, 4));
    broken.SetCorners({ 0, 0 }, { kMarker, 10 });
    group.Add(fine);
    group.Add(broken);
    group.Add(fine);

    TVeskDocument target;
    int skipped = -1;
    const auto read = ReadObjectRecords(
        withMarker(group, std::numeric_limits<float>::quiet_NaN()), target.Layers(), &skipped);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(static_cast<const TVeskGroup&>(*read[0]).ChildCount(), 2);
    EXPECT_EQ(skipped, 1);

    // A document holding that group opens with everything else and says
    // how much it left out; one without such values reports nothing.
    TVeskDocument document;
    document.Root().Add(group);
    document.Root().Add(fine);
    QByteArray file = document.ToBytes();
    const qsizetype at = file.indexOf(floatBytes(kMarker));
    ASSERT_GE(at, 0);
    TVeskDocument clean;
    clean.ReadBytes(file);
    EXPECT_EQ(clean.SkippedRecords(), 0);
    file.replace(at, 4, floatBytes(3e38f));
    TVeskDocument opened;
    opened.ReadBytes(file);
    EXPECT_EQ(opened.SkippedRecords(), 1);
    ASSERT_EQ(opened.Root().ChildCount(), 2);
    EXPECT_EQ(static_cast<const TVeskGroup&>(*opened.Root().ChildAt(0)).ChildCount(), 2);
}

} // namespace
