// The clipboard's bytes: the selected objects' document records, back to
// back, read back into any document.
#include "io/Objectrecords.h"

#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QFile>
#include <gtest/gtest.h>

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

} // namespace
