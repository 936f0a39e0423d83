#include "io/Veskfilestream.h"
#include "model/Vesklayerlist.h"
#include "model/Veskobject.h"

#include <QBuffer>
#include <QTemporaryFile>
#include <QtEndian>
#include <algorithm>
#include <cctype>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

using namespace vesk;

namespace {

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

const QByteArray kHeader = Hex("56 65 73 6B 32 2E 30 00 03 00 00 00 10 00 00 00");

// One primitive: how to write it, its bytes, and whether reading gives the value back.
struct PrimitiveCase {
    const char* name;
    std::function<void(TVesk_ostream&)> write;
    const char* hex;
    std::function<bool(TVesk_istream&)> readsBack;
};

const PrimitiveCase kPrimitives[] = {
    { "int32 1", [](TVesk_ostream& o) { o.WriteInt32(1); }, "01 00 00 00",
        [](TVesk_istream& i) { return i.ReadInt32() == 1; } },
    { "int32 -2", [](TVesk_ostream& o) { o.WriteInt32(-2); }, "FE FF FF FF",
        [](TVesk_istream& i) { return i.ReadInt32() == -2; } },
    { "int32 0x12345678", [](TVesk_ostream& o) { o.WriteInt32(0x12345678); }, "78 56 34 12",
        [](TVesk_istream& i) { return i.ReadInt32() == 0x12345678; } },
    { "bool true", [](TVesk_ostream& o) { o.WriteBool(true); }, "01",
        [](TVesk_istream& i) { return i.ReadBool(); } },
    { "bool false", [](TVesk_ostream& o) { o.WriteBool(false); }, "00",
        [](TVesk_istream& i) { return !i.ReadBool(); } },
    { "float 1", [](TVesk_ostream& o) { o.WriteFloat(1.0f); }, "00 00 80 3F",
        [](TVesk_istream& i) { return i.ReadFloat() == 1.0f; } },
    { "float -2.5", [](TVesk_ostream& o) { o.WriteFloat(-2.5f); }, "00 00 20 C0",
        [](TVesk_istream& i) { return i.ReadFloat() == -2.5f; } },
    { "float 0.01", [](TVesk_ostream& o) { o.WriteFloat(0.01f); }, "0A D7 23 3C",
        [](TVesk_istream& i) { return i.ReadFloat() == 0.01f; } },
    { "double 1", [](TVesk_ostream& o) { o.WriteDouble(1.0); }, "00 00 00 00 00 00 F0 3F",
        [](TVesk_istream& i) { return i.ReadDouble() == 1.0; } },
    { "double -0.1", [](TVesk_ostream& o) { o.WriteDouble(-0.1); }, "9A 99 99 99 99 99 B9 BF",
        [](TVesk_istream& i) { return i.ReadDouble() == -0.1; } },
    { "empty string", [](TVesk_ostream& o) { o.WriteString(QString()); }, "00 00 00 00",
        [](TVesk_istream& i) { return i.ReadString() == QString(); } },
    { "string Part", [](TVesk_ostream& o) { o.WriteString(QStringLiteral("Part")); },
        "04 00 00 00 50 61 72 74",
        [](TVesk_istream& i) { return i.ReadString() == QStringLiteral("Part"); } },
    { "string CP932", [](TVesk_ostream& o) { o.WriteString(QStringLiteral("部品面")); },
        "06 00 00 00 95 94 95 69 96 CA",
        [](TVesk_istream& i) { return i.ReadString() == QStringLiteral("部品面"); } },
    { "empty wide string", [](TVesk_ostream& o) { o.WriteWideString(QString()); }, "00 00 00 00",
        [](TVesk_istream& i) { return i.ReadWideString() == QString(); } },
    { "wide string", [](TVesk_ostream& o) { o.WriteWideString(QStringLiteral("Aä部")); },
        "03 00 00 00 41 00 E4 00 E8 90",
        [](TVesk_istream& i) { return i.ReadWideString() == QStringLiteral("Aä部"); } },
    { "wide string beyond the BMP", [](TVesk_ostream& o) { o.WriteWideString(QStringLiteral("\U0001F480")); },
        "02 00 00 00 3D D8 80 DC",
        [](TVesk_istream& i) { return i.ReadWideString() == QStringLiteral("\U0001F480"); } },
    { "colour", [](TVesk_ostream& o) { o.WriteColor(0xFF3A6EA5); }, "FF 3A 6E A5",
        [](TVesk_istream& i) { return i.ReadColor() == 0xFF3A6EA5u; } },
    { "translucent colour", [](TVesk_ostream& o) { o.WriteColor(0x01020304); }, "01 02 03 04",
        [](TVesk_istream& i) { return i.ReadColor() == 0x01020304u; } },
    { "identity matrix", [](TVesk_ostream& o) { o.WriteMatrix(Matrix()); },
        "00 00 80 3F 00 00 00 00 00 00 00 00 00 00 80 3F 00 00 00 00 00 00 00 00",
        [](TVesk_istream& i) { return i.ReadMatrix() == Matrix(); } },
    { "matrix", [](TVesk_ostream& o) { o.WriteMatrix(Matrix(1, 2, 3, 4, 5, -6)); },
        "00 00 80 3F 00 00 00 40 00 00 40 40 00 00 80 40 00 00 A0 40 00 00 C0 C0",
        [](TVesk_istream& i) { return i.ReadMatrix() == Matrix(1, 2, 3, 4, 5, -6); } },
    { "point",
        [](TVesk_ostream& o) {
            o.WritePoint({ 1.0f, -2.5f });
        },
        "00 00 80 3F 00 00 20 C0", [](TVesk_istream& i) { return i.ReadPoint() == PointF(1.0f, -2.5f); } },
    { "rectangle",
        [](TVesk_ostream& o) {
            o.WriteRect({ 1, 2, 3, 4 });
        },
        "00 00 80 3F 00 00 00 40 00 00 40 40 00 00 80 40",
        [](TVesk_istream& i) { return i.ReadRect() == RectF(1, 2, 3, 4); } },
    { "raw tag", [](TVesk_ostream& o) { o.WriteRaw("PATH", 4); }, "50 41 54 48",
        [](TVesk_istream& i) {
            char tag[4];
            return i.ReadRaw(tag, 4) && QByteArray(tag, 4) == QByteArray("PATH");
        } },
};

class StreamPrimitive : public ::testing::TestWithParam<PrimitiveCase> { };

// Lowers this process's file size limit while it lives, so that writing a file fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = std::min(bytes, previous_.rlim_max);
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Active() const { return active_; }

private:
    rlimit previous_ {};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

std::unique_ptr<TVesk_istream> FileReader(const QByteArray& body, const QByteArray& header = kHeader)
{
    return std::make_unique<TVesk_istream>(TVesk_istream::FromFileBytes(header + body));
}

} // namespace

TEST_P(StreamPrimitive, WritesExactBytesAndReadsThemBack)
{
    const PrimitiveCase& c = GetParam();
    TVesk_ostream out;
    c.write(out);
    EXPECT_FALSE(out.Failed());
    EXPECT_EQ(out.Buffer().toHex(' '), Hex(c.hex).toHex(' '));

    TVesk_istream in(Hex(c.hex));
    EXPECT_TRUE(c.readsBack(in));
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());

    // One byte short fails the stream.
    TVesk_istream shortIn(Hex(c.hex).chopped(1));
    c.readsBack(shortIn);
    EXPECT_TRUE(shortIn.Failed());
}

INSTANTIATE_TEST_SUITE_P(All, StreamPrimitive, ::testing::ValuesIn(kPrimitives),
    [](const ::testing::TestParamInfo<PrimitiveCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(StreamTest, DeviceWriterStartsWithTheHeader)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    {
        TVesk_ostream out(device);
        EXPECT_FALSE(out.Failed());
        EXPECT_EQ(out.Header().version, 3);
        EXPECT_EQ(out.Header().headerLength, 16);
        EXPECT_TRUE(out.Flush());
        EXPECT_EQ(bytes.toHex(' '), kHeader.toHex(' '));
        out.WriteInt32(9);
    }
    // The rest reaches the device when the writer goes away.
    EXPECT_EQ(bytes, kHeader + Hex("09000000"));
}

TEST(StreamTest, LargeOutputReachesTheDeviceIntact)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    constexpr int kCount = 100000;
    {
        TVesk_ostream out(device);
        for (int i = 0; i < kCount; ++i)
            out.WriteInt32(i);
        EXPECT_TRUE(out.Flush());
    }
    ASSERT_EQ(bytes.size(), 16 + 4 * kCount);
    TVesk_istream in = TVesk_istream::FromFileBytes(bytes);
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(in.ReadInt32(), i);
    EXPECT_TRUE(in.AtEnd());
}

TEST(StreamTest, InMemoryWriterWritesNoHeader)
{
    TVesk_ostream out;
    EXPECT_TRUE(out.Buffer().isEmpty());
    EXPECT_EQ(QByteArray(out.Header().magic, 8), QByteArray("Vesk2.0", 8));
    EXPECT_EQ(out.Header().version, 3);
    EXPECT_EQ(out.Header().headerLength, 16);
    EXPECT_TRUE(out.Flush());
    out.WriteBool(true);
    EXPECT_EQ(out.Buffer(), Hex("01"));
}

TEST(StreamTest, WriteFailureIsStickyAndExplained)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    TVesk_ostream out(device);
    out.WriteInt32(1);
    EXPECT_FALSE(out.Flush());
    EXPECT_TRUE(out.Failed());
    EXPECT_FALSE(out.ErrorString().isEmpty());
    const QByteArray pending = out.Buffer();
    out.WriteInt32(2);
    out.WriteString(QStringLiteral("later"));
    EXPECT_EQ(out.Buffer(), pending);
    EXPECT_FALSE(out.Flush());
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(StreamTest, WriteFailureOfAFileIsNoticed)
{
    // A file holds small writes in its own buffer: the failure shows only when that is emptied.
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    bool flushed = true;
    {
        const FileSizeLimit limit(8);
        if (!limit.Active())
            GTEST_SKIP() << "the file size limit cannot be lowered";
        TVesk_ostream out(file);
        out.WriteString(QStringLiteral("a small document"));
        flushed = out.Flush();
        EXPECT_TRUE(out.Failed());
        EXPECT_FALSE(out.ErrorString().isEmpty());
        const QByteArray pending = out.Buffer();
        out.WriteInt32(1);
        EXPECT_EQ(out.Buffer(), pending);
    }
    EXPECT_FALSE(flushed);
}

TEST(StreamTest, DeviceReaderReadsTheHeader)
{
    QByteArray bytes = kHeader + Hex("2A000000");
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    TVesk_istream in(device);
    EXPECT_FALSE(in.HeaderMissing());
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Version(), 3);
    EXPECT_EQ(in.Header().headerLength, 16);
    EXPECT_EQ(in.ReadInt32(), 42);
    EXPECT_TRUE(in.AtEnd());
}

TEST(StreamTest, AnotherMagicStillReads)
{
    const auto in = FileReader(Hex("2A000000"), Hex("4E 6F 74 56 65 73 6B 21 03000000 10000000"));
    EXPECT_FALSE(in->HeaderMissing());
    EXPECT_FALSE(in->Failed());
    EXPECT_EQ(QByteArray(in->Header().magic, 8), QByteArray("NotVesk!"));
    EXPECT_EQ(in->ReadInt32(), 42);
}

TEST(StreamTest, ShortFileHasNoHeader)
{
    for (int length : { 0, 1, 7, 8, 12, 15 }) {
        const auto in = FileReader({}, kHeader.left(length));
        EXPECT_TRUE(in->HeaderMissing()) << length;
        EXPECT_TRUE(in->Failed()) << length;
        EXPECT_EQ(in->ReadObject(), nullptr) << length;
    }
    const auto complete = FileReader({});
    EXPECT_FALSE(complete->HeaderMissing());
    EXPECT_FALSE(complete->Failed());
    EXPECT_TRUE(complete->AtEnd());
}

TEST(StreamTest, RecordReaderAssumesTheCurrentFormat)
{
    TVesk_istream in(Hex("2A000000"));
    EXPECT_FALSE(in.HeaderMissing());
    EXPECT_EQ(in.Version(), 3);
    EXPECT_EQ(QByteArray(in.Header().magic, 8), QByteArray("Vesk2.0", 8));
    EXPECT_EQ(in.ReadInt32(), 42);
}

TEST(StreamTest, FailureIsSticky)
{
    // Six bytes: the double does not fit, and afterwards nothing reads, not even what is left.
    TVesk_istream in(Hex("01 00 00 00 02 00"));
    EXPECT_EQ(in.ReadDouble(), 0.0);
    EXPECT_TRUE(in.Failed());
    EXPECT_EQ(in.ReadInt32(), 0);
    EXPECT_FALSE(in.ReadBool());
    EXPECT_EQ(in.ReadFloat(), 0.0f);
    EXPECT_EQ(in.ReadColor(), 0u);
    EXPECT_EQ(in.ReadString(), QString());
    EXPECT_EQ(in.ReadMatrix(), Matrix(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(in.ReadPoint(), PointF());
    EXPECT_EQ(in.ReadRect(), RectF());
    EXPECT_EQ(in.ReadObject(), nullptr);
    EXPECT_TRUE(in.Failed());
}

TEST(StreamTest, CorruptStringLengthsFail)
{
    struct Case {
        const char* hex;
        bool wide;
    } const cases[] = {
        { "FF FF FF FF 41 42", false },
        { "00 00 00 80 41 42", false },
        { "FF FF FF 7F 41 42", false },
        { "03 00 00 00 41 42", false },
        { "FF FF FF FF 41 00", true },
        { "FF FF FF 7F 41 00", true },
        { "02 00 00 00 41 00 42", true },
    };
    for (const Case& c : cases) {
        TVesk_istream in(Hex(c.hex));
        EXPECT_EQ(c.wide ? in.ReadWideString() : in.ReadString(), QString()) << c.hex;
        EXPECT_TRUE(in.Failed()) << c.hex;
    }
    // Exactly as many bytes as announced is fine.
    TVesk_istream exact(Hex("02 00 00 00 41 42 02 00 00 00 41 00 42 00"));
    EXPECT_EQ(exact.ReadString(), QStringLiteral("AB"));
    EXPECT_EQ(exact.ReadWideString(), QStringLiteral("AB"));
    EXPECT_FALSE(exact.Failed());
    EXPECT_TRUE(exact.AtEnd());
}

TEST(StreamTest, ReadCountGuardsAgainstTheBytesLeft)
{
    struct Case {
        const char* hex;
        qsizetype itemSize;
        std::int32_t expected;
        bool fails;
    } const cases[] = {
        { "00000000", 10, 0, false },
        { "02000000 0000 0000", 2, 2, false },
        { "02000000 0000 00", 2, 0, true },
        { "03000000 0000 0000", 2, 0, true },
        { "FFFFFFFF 0000", 1, 0, true },
        { "FFFFFF7F 0000", 1, 0, true },
        { "FFFFFF7F", 0, 0x7FFFFFFF, false }, // no size known: only negative counts fail
        { "FFFFFFFF", 0, 0, true },
        { "0100", 1, 0, true },
    };
    for (const Case& c : cases) {
        TVesk_istream in(Hex(c.hex));
        EXPECT_EQ(in.ReadCount(c.itemSize), c.expected) << c.hex;
        EXPECT_EQ(in.Failed(), c.fails) << c.hex;
    }
}

TEST(StreamTest, ReadObjectEndsAtTheEndAndAtStrangeTags)
{
    TVesk_istream empty(QByteArray {});
    EXPECT_EQ(empty.ReadObject(), nullptr);

    TVesk_istream unknown(Hex("58 59 5A 57 00 00 00 00"));
    EXPECT_EQ(unknown.ReadObject(), nullptr);
    EXPECT_EQ(unknown.ReadObject(), nullptr);

    TVesk_istream partialTag(Hex("50 41"));
    EXPECT_EQ(partialTag.ReadObject(), nullptr);
    EXPECT_TRUE(partialTag.Failed());

    // A known tag whose record is cut short is no object either.
    TVesk_istream cut(Hex("50 41 52 54 01 00 00 00"));
    EXPECT_EQ(cut.ReadObject(), nullptr);
    EXPECT_TRUE(cut.Failed());
}

// Texts read again and again come from memory; each must still be its own.
TEST(StreamTest, RepeatedStringsReadBackAsWritten)
{
    const QString longName = QString(70, QLatin1Char('n'));
    const QString texts[] = { QStringLiteral("Path"), QStringLiteral("Pat"), QStringLiteral("Path "),
        QStringLiteral("ＰＡＴＨ"), QStringLiteral("配線"), QStringLiteral("a"), QStringLiteral("b"),
        QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e"), longName, QString(),
        QString::fromUtf16(u"a\xDCFF") };
    std::vector<QString> written;
    TVesk_ostream out;
    // More distinct texts than are remembered, in an order that revisits each.
    for (int round = 0; round < 3; ++round)
        for (size_t i = 0; i < std::size(texts); ++i) {
            const QString& t = texts[(i * 5 + size_t(round)) % std::size(texts)];
            out.WriteString(t);
            written.push_back(t);
        }
    TVesk_istream in(out.Buffer());
    for (const QString& t : written)
        EXPECT_EQ(in.ReadString(), t);
    EXPECT_FALSE(in.Failed());
    EXPECT_TRUE(in.AtEnd());
}

class LayerRefTest : public ::testing::Test {
protected:
    LayerRefTest() { layers.ResetToDefaults(); }

    std::unique_ptr<TVesk_istream> Reader(int version, const QByteArray& body)
    {
        QByteArray header = kHeader;
        header[8] = char(version);
        auto in = FileReader(body, header);
        in->SetLayers(&layers);
        return in;
    }

    TVeskLayerList layers;
};

TEST_F(LayerRefTest, VersionTwoUsesOneBasedPositions)
{
    struct Case {
        std::int32_t position;
        int expectedIndex;
    } const cases[] = {
        { 1, 0 },
        { 2, 1 },
        { 9, 8 },
        // Outside the list: the object goes on the current layer ("solder").
        { 0, 1 },
        { 10, 1 },
        { -5, 1 },
        { 0x7FFFFFFF, 1 },
    };
    for (const Case& c : cases) {
        QByteArray body(4, '\0');
        qToLittleEndian(c.position, body.data());
        const auto in = Reader(2, body);
        ASSERT_EQ(in->Version(), 2);
        TVeskLayer* layer = in->ReadLayerRef();
        ASSERT_NE(layer, nullptr) << c.position;
        EXPECT_EQ(layer->index, c.expectedIndex) << c.position;
        EXPECT_FALSE(in->Failed());
        EXPECT_EQ(layers.LayerCount(), 9);
    }
}

TEST_F(LayerRefTest, VersionThreeUsesNames)
{
    const auto in = Reader(3, Hex("09000000 636F6D706F6E656E74"));
    EXPECT_EQ(in->ReadLayerRef(), layers.LayerAt(2));
    EXPECT_EQ(layers.LayerCount(), 9);
    EXPECT_EQ(layers.CurrentLayer(), layers.LayerAt(1));
}

TEST_F(LayerRefTest, OtherVersionsReadAsVersionThree)
{
    for (int version : { 0, 1, 4, 255 }) {
        const auto in = Reader(version, Hex("04000000 686F6C65"));
        EXPECT_EQ(in->Version(), version);
        EXPECT_EQ(in->ReadLayerRef(), layers.LayerAt(0)) << version;
    }
}

TEST_F(LayerRefTest, UnknownNameAddsAGreyCurrentLayer)
{
    // Names are matched exactly: "Solder" is not "solder".
    const auto in = Reader(3, Hex("06000000 536F6C646572 04000000 686F6C65"));
    TVeskLayer* added = in->ReadLayerRef();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Name(), QStringLiteral("Solder"));
    EXPECT_EQ(added->opaqueColor, 0xFF808080u);
    EXPECT_EQ(layers.LayerCount(), 10);
    EXPECT_EQ(layers.CurrentLayer(), added);
    EXPECT_EQ(added->index, 1); // before the former current layer
    EXPECT_EQ(layers.FindLayer(QStringLiteral("solder"))->index, 2);

    // The next reference to a known name adds nothing.
    EXPECT_EQ(in->ReadLayerRef(), layers.LayerAt(0));
    EXPECT_EQ(layers.LayerCount(), 10);
}

TEST_F(LayerRefTest, AlternatingNamesEachFindTheirLayer)
{
    TVesk_ostream out;
    const char* const names[] = { "hole", "hole", "solder", "Solder", "hole", "Solder", "", "solder", "" };
    for (const char* name : names)
        out.WriteString(QString::fromLatin1(name));
    const auto in = Reader(3, out.Buffer());
    for (const char* name : names) {
        TVeskLayer* layer = in->ReadLayerRef();
        ASSERT_NE(layer, nullptr) << name;
        EXPECT_EQ(layer->Name(), QString::fromLatin1(name));
        EXPECT_EQ(layers.FindLayer(QString::fromLatin1(name)), layer) << name;
    }
    EXPECT_EQ(layers.LayerCount(), 11); // "Solder" and "" added once each
    EXPECT_TRUE(in->AtEnd());

    // A stream given another list finds the layers of that list.
    TVeskLayerList other;
    other.ResetToDefaults();
    const auto again = Reader(3, out.Buffer());
    again->ReadLayerRef();
    again->SetLayers(&other);
    EXPECT_EQ(again->ReadLayerRef(), other.FindLayer(QStringLiteral("hole")));
}

TEST_F(LayerRefTest, EmptyNameIsJustAnotherName)
{
    const auto in = Reader(3, Hex("00000000 00000000"));
    TVeskLayer* added = in->ReadLayerRef();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Name(), QString());
    EXPECT_EQ(in->ReadLayerRef(), added);
    EXPECT_EQ(layers.LayerCount(), 10);
}

TEST_F(LayerRefTest, FailedReadsResolveToNoLayer)
{
    for (int version : { 2, 3 }) {
        const auto in = Reader(version, Hex("01"));
        EXPECT_EQ(in->ReadLayerRef(), nullptr) << version;
        EXPECT_TRUE(in->Failed());
        EXPECT_EQ(layers.LayerCount(), 9);
    }
}

TEST_F(LayerRefTest, VersionTwoOnAnEmptyListStillGivesALayer)
{
    layers.ClearLayers();
    const auto in = Reader(2, Hex("01000000"));
    TVeskLayer* layer = in->ReadLayerRef();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layers.LayerCount(), 1);
    EXPECT_EQ(layers.CurrentLayer(), layer);
}

TEST(StreamTest, WithoutALayerListReferencesAreConsumed)
{
    TVesk_istream in(Hex("04000000 686F6C65 2A000000"));
    EXPECT_EQ(in.ReadLayerRef(), nullptr);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.ReadInt32(), 42);
}
