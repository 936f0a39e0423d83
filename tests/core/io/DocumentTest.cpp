#include "io/Veskdocument.h"
#include "io/Veskdump.h"
#include "io/Veskfilestream.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace vesk;

namespace {

QByteArray fixtureBytes(const char* name)
{
    QFile f(QStringLiteral(VESK_TEST_DATA "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString fixturePath(const char* name)
{
    return QStringLiteral(VESK_TEST_DATA "/") + QLatin1String(name);
}

TEST(Document, NewDocumentIsThe247ByteEmptyDocument)
{
    TVeskDocument doc;
    const QByteArray bytes = doc.ToBytes();
    EXPECT_EQ(bytes.size(), 247);
    EXPECT_EQ(bytes, fixtureBytes("empty.vbf"));
}

TEST(Document, FixturesReadAndWriteBackByteIdentical)
{
    for (const char* name : { "empty.vbf", "board.vbf" }) {
        TVeskDocument doc;
        ASSERT_TRUE(doc.Read(fixturePath(name))) << name;
        EXPECT_EQ(doc.ToBytes(), fixtureBytes(name)) << name;
    }
}

TEST(Document, BoardFixtureReadsIntoTheExpectedTree)
{
    TVeskDocument doc;
    ASSERT_TRUE(doc.Read(fixturePath("board.vbf")));
    ASSERT_EQ(doc.Layers().LayerCount(), 10);
    EXPECT_EQ(doc.Layers().LayerAt(9)->Name(), QStringLiteral("部品面"));
    // Not "hole" above it: a mask is drawn in the background colour.
    EXPECT_EQ(doc.Layers().CurrentLayer()->Name(), QStringLiteral("solder"));
    const QJsonObject root = ObjectToJson(doc.Root());
    const QJsonArray children = root[QStringLiteral("children")].toArray();
    ASSERT_EQ(children.size(), 4);
    EXPECT_EQ(children[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("配線"));
    EXPECT_EQ(children[3].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("grup"));
    const QJsonArray inner = children[3]
                                 .toObject()[QStringLiteral("children")]
                                 .toArray()[1]
                                 .toObject()[QStringLiteral("children")]
                                 .toArray();
    ASSERT_EQ(inner.size(), 2);
    EXPECT_EQ(inner[0].toObject()[QStringLiteral("layer")].toString(), QStringLiteral("部品面"));
    EXPECT_TRUE(inner[0].toObject()[QStringLiteral("locked")].toBool());
    EXPECT_FALSE(inner[1].toObject()[QStringLiteral("visible")].toBool());
}

TEST(Document, Version2ReadsLayerPositionsAndWritesVersion3)
{
    TVeskDocument doc;
    ASSERT_TRUE(doc.Read(fixturePath("version2.vbf")));
    EXPECT_EQ(doc.FileVersion(), 2);
    EXPECT_EQ(doc.ToBytes(), fixtureBytes("version2-as-3.vbf"));
}

// Shapes whose records lie wholly within the first `length` bytes, in a
// container record that starts at `start`.
int completeShapes(const TVeskContainer& c, qsizetype start, qsizetype length)
{
    int n = 0;
    qsizetype at = start + 8; // tag and child count
    for (const auto& child : c.Children()) {
        TVesk_ostream record;
        child->Save(record);
        const qsizetype end = at + record.Buffer().size();
        if (const auto* inner = dynamic_cast<const TVeskContainer*>(child.get()))
            n += completeShapes(*inner, at, length);
        else if (end <= length)
            ++n;
        if (end > length)
            break;
        at = end;
    }
    return n;
}

int shapeCount(const TVeskContainer& c)
{
    int n = 0;
    for (const auto& child : c.Children()) {
        const auto* inner = dynamic_cast<const TVeskContainer*>(child.get());
        n += inner ? shapeCount(*inner) : 1;
    }
    return n;
}

// Cutting a document short anywhere must never crash and must keep the layers
// and every shape that was complete, however deep in groups.
TEST(Document, TruncatedAtEveryOffsetReadsCleanly)
{
    const QByteArray full = fixtureBytes("board.vbf");
    ASSERT_FALSE(full.isEmpty());
    TVeskDocument whole;
    whole.ReadBytes(full);
    const qsizetype rootAt = full.indexOf("PART");
    for (qsizetype n = 0; n < full.size(); ++n) {
        TVeskDocument doc;
        doc.ReadBytes(full.left(n));
        if (n < 16) {
            EXPECT_EQ(doc.Layers().LayerCount(), 9) << n; // no header: reset to defaults
        }
        EXPECT_EQ(shapeCount(doc.Root()), completeShapes(whole.Root(), rootAt, n)) << n;
        // What was read can always be written and read again.
        TVeskDocument again;
        again.ReadBytes(doc.ToBytes());
        EXPECT_EQ(again.ToBytes(), doc.ToBytes()) << n;
    }
}

TEST(Document, EndingAfterTheLayerTableGivesEmptyDocumentWithStoredLayers)
{
    const QByteArray full = fixtureBytes("board.vbf");
    const qsizetype partAt = full.indexOf("PART");
    ASSERT_GT(partAt, 0);
    TVeskDocument doc;
    doc.ReadBytes(full.left(partAt));
    EXPECT_EQ(doc.Layers().LayerCount(), 10);
    EXPECT_TRUE(doc.Root().Children().empty());
}

TEST(Document, OtherMagicIsReadLikeAnyOther)
{
    QByteArray bytes = fixtureBytes("board.vbf");
    bytes.replace(0, 8, QByteArray("Other!!\0", 8));
    TVeskDocument doc;
    doc.ReadBytes(bytes);
    EXPECT_EQ(doc.Root().Children().size(), 4u);
}

struct CorruptCase {
    const char* what;
    qsizetype
        offset; // from the root's child count: first child's tag at 4, its layer name at 8, point count at 19
    QByteArray bytes;
};

// Counts and lengths from the file are never trusted.
TEST(Document, CorruptCountsAndTagsEndTheReadingCleanly)
{
    const QByteArray full = fixtureBytes("board.vbf");
    const qsizetype count = full.indexOf("PART") + 4;
    const CorruptCase cases[] = {
        { "negative child count", 0, QByteArray("\xff\xff\xff\xff", 4) },
        { "huge child count", 0, QByteArray("\xff\xff\xff\x7f", 4) },
        { "unknown tag", 4, QByteArray("JUNK") },
        { "negative layer name length", 8, QByteArray("\xf0\xff\xff\xff", 4) },
        { "huge layer name length", 8, QByteArray("\x00\x00\x00\x70", 4) },
        { "huge point count", 19, QByteArray("\x00\x00\x00\x40", 4) },
    };
    for (const CorruptCase& c : cases) {
        QByteArray bytes = full;
        bytes.replace(count + c.offset, c.bytes.size(), c.bytes);
        TVeskDocument doc;
        doc.ReadBytes(bytes);
        EXPECT_LE(doc.Root().Children().size(), 4u) << c.what;
        EXPECT_EQ(doc.Layers().LayerCount(), 10) << c.what;
    }
}

TEST(Document, MissingOrShortFileIsAnErrorAndLeavesDefaults)
{
    QTemporaryDir dir;
    const QString shortFile = dir.filePath(QStringLiteral("short.vbf"));
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(fixtureBytes("board.vbf").left(15));
    f.close();
    for (const QString& path : { dir.filePath(QStringLiteral("missing.vbf")), shortFile }) {
        TVeskDocument doc;
        ASSERT_TRUE(doc.Read(fixturePath("board.vbf")));
        const TDocumentResult r = doc.Read(path);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.IsEmpty());
        EXPECT_EQ(doc.Layers().LayerCount(), 9);
        EXPECT_TRUE(doc.Root().Children().empty());
    }
}

TEST(Document, WriteReplacesTheFileAtomically)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.vbf"));
    TVeskDocument doc;
    ASSERT_TRUE(doc.Read(fixturePath("board.vbf")));
    ASSERT_TRUE(doc.Write(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), fixtureBytes("board.vbf"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

// A write that runs out of room (here: the file size limit, which binds root
// too) must fail, say so, and leave the previous file as it was.
TEST(Document, FailedWriteIsReportedAndKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.vbf"));
    TVeskDocument empty;
    ASSERT_TRUE(empty.Write(path));

    TVeskDocument board;
    ASSERT_TRUE(board.Read(fixturePath("board.vbf")));
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const TDocumentResult r = board.Write(path);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.IsEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), fixtureBytes("empty.vbf"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(Document, WriteIntoMissingFolderIsReported)
{
    TVeskDocument doc;
    const TDocumentResult r = doc.Write(QStringLiteral("/nonexistent-folder/doc.vbf"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.IsEmpty());
}

} // namespace

namespace {

// Depth of the first chain of groups below the root.
int groupDepth(const TVeskContainer& c)
{
    int depth = 0;
    const TVeskContainer* at = &c;
    while (!at->Children().empty()) {
        at = dynamic_cast<const TVeskContainer*>(at->ChildAt(0));
        if (!at)
            break;
        ++depth;
    }
    return depth;
}

std::unique_ptr<TVeskGroup> nestedGroups(int depth)
{
    auto chain = std::make_unique<TVeskGroup>();
    for (int i = 1; i < depth; ++i) {
        auto outer = std::make_unique<TVeskGroup>();
        outer->Adopt(std::move(chain));
        chain = std::move(outer);
    }
    return chain;
}

QByteArray documentWithNestedGroups(int depth)
{
    TVeskDocument doc;
    doc.Root().Adopt(nestedGroups(depth));
    return doc.ToBytes();
}

} // namespace

TEST(Document, NestingBeyondTheLimitEndsTheReadingCleanly)
{
    const int allowed = TVeskContainer::kMaxNesting;
    for (const int depth : { allowed, allowed + 1, allowed + 40 }) {
        TVeskDocument doc;
        doc.ReadBytes(documentWithNestedGroups(depth));
        EXPECT_EQ(groupDepth(doc.Root()), depth <= allowed ? depth : 0) << depth;
    }
}

// Whatever is saved reads back: a document nested deeper than the reader
// accepts is refused, and the previous file stays as it was.
TEST(Document, WriteRefusesNestingTheReaderWouldRefuse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.vbf"));
    const int allowed = TVeskContainer::kMaxNesting;
    for (const int depth : { allowed, allowed + 1 }) {
        TVeskDocument empty;
        ASSERT_TRUE(empty.Write(path));
        // One level more than allowed is what grouping the root's children would make.
        TVeskDocument deep;
        deep.Root().Adopt(nestedGroups(depth));
        const TDocumentResult r = deep.Write(path);
        EXPECT_EQ(r.ok, depth <= allowed) << depth;
        TVeskDocument again;
        ASSERT_TRUE(again.Read(path));
        EXPECT_EQ(groupDepth(again.Root()), depth <= allowed ? depth : 0) << depth;
        if (!r.ok) {
            EXPECT_TRUE(r.error.English().contains(QString::number(allowed)))
                << r.error.English().toStdString();
            EXPECT_EQ(again.ToBytes(), fixtureBytes("empty.vbf"));
        }
    }
}
