// Text objects: the stored record byte for byte in both file versions, records
// cut short or carrying impossible lengths, family substitution (Windows names
// drawn with installed faces, unknown names replaced), glyph outlines, drawing,
// selection, hit tests and transforms.

#include "geometry/QtConvert.h"
#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "shapes/Fontresolver.h"
#include "shapes/Veskstring.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace vesk {
namespace {

// The placed "ぬる" on place_cmp at (200, 100), em size 40, saved unselected.
const QByteArray kWorkedExample = QByteArray::fromHex("5445585409000000706C6163655F636D700C0000004D00530020"
                                                      "0055004900200047006F007400680069006300000000000000"
                                                      "2042020000006C308B3000010000000000000000F03F000080"
                                                      "3F00000000000000000000803F000048430000C84204000000"
                                                      "546578740000F0400000040000000200000002000000");
constexpr qsizetype kFamilyAt = 17; // family count of the worked example
constexpr qsizetype kStyleAt = 45;
constexpr qsizetype kTextAt = 53;
constexpr qsizetype kCommonAt = 61;

QString U(const char16_t* s)
{
    return QString::fromUtf16(s);
}

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
QByteArray Wide(const QString& s)
{
    QByteArray r = I32(std::int32_t(s.size()));
    for (QChar c : s) {
        const std::uint16_t le = qToLittleEndian(std::uint16_t(c.unicode()));
        r.append(reinterpret_cast<const char*>(&le), 2);
    }
    return r;
}
QByteArray FileHeader(std::int32_t version)
{
    return QByteArray("Vesk2.0", 8) + I32(version) + I32(16);
}

// A version-3 record with the worked example's layer and common block.
QByteArray Record(const QString& family, std::int32_t style, float emSize, const QString& text)
{
    return kWorkedExample.left(kFamilyAt) + Wide(family) + I32(style) + F32(emSize) + Wide(text)
        + kWorkedExample.mid(kCommonAt);
}

QByteArray Saved(const TVeskObject& o)
{
    TVesk_ostream out;
    EXPECT_EQ(o.Save(out), 0);
    return out.Buffer();
}

bool SamePath(const GraphicsPath& a, const GraphicsPath& b)
{
    return std::equal(a.Points().begin(), a.Points().end(), b.Points().begin(), b.Points().end())
        && std::equal(a.Types().begin(), a.Types().end(), b.Types().begin(), b.Types().end());
}

// True when some area not covered by the path is enclosed by it: sampled
// on a grid over its bounds and flooded from the margin.
bool HasEnclosedHole(const GraphicsPath& path)
{
    const RectF r = path.GetBounds();
    constexpr int n = 160;
    const float sx = r.Width / (n - 2), sy = r.Height / (n - 2);
    std::vector<int> cell(n * n); // 0 open, 1 filled, 2 reached from outside
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            cell[j * n + i] = path.IsVisible({ r.X + (i - 0.5f) * sx, r.Y + (j - 0.5f) * sy }) ? 1 : 0;
    std::vector<int> stack { 0 };
    cell[0] = 2;
    while (!stack.empty()) {
        const int k = stack.back();
        stack.pop_back();
        const int i = k % n, j = k / n;
        for (const auto& [di, dj] : { std::pair { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 } }) {
            const int a = i + di, b = j + dj;
            if (a >= 0 && a < n && b >= 0 && b < n && cell[b * n + a] == 0) {
                cell[b * n + a] = 2;
                stack.push_back(b * n + a);
            }
        }
    }
    return std::count(cell.begin(), cell.end(), 0) > 0;
}

// Sum over the pixels of how far each is from white.
double Darkness(const QImage& img)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            sum += 255 - qGray(img.pixel(x, y));
    return sum;
}

class StringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers.ResetToDefaults();
        placeCmp = layers.FindLayer(QStringLiteral("place_cmp"));
        ASSERT_NE(placeCmp, nullptr);
        placeCmp->index = 0; // drawing tests ask for layer 0
    }

    std::unique_ptr<TVeskString> Make(const QString& text, const QString& family = DefaultFontFamily(),
        float emSize = 40, PointF at = { 200, 100 }, const TVeskSurface& surface = kSurface)
    {
        auto s = std::make_unique<TVeskString>(placeCmp, surface);
        s->SetFont(family, 0, emSize);
        s->PlaceText(text, at);
        s->SetSelected(false);
        return s;
    }

    std::unique_ptr<TVeskString> Read(const QByteArray& record, std::int32_t version = 3)
    {
        TVesk_istream in = version == 3 ? TVesk_istream(record)
                                        : TVesk_istream::FromFileBytes(FileHeader(version) + record);
        in.SetLayers(&layers);
        char tag[4];
        if (!in.ReadRaw(tag, 4) || std::memcmp(tag, "TEXT", 4) != 0)
            return nullptr;
        auto s = std::make_unique<TVeskString>(in);
        lastFailed = in.Failed();
        lastAtEnd = in.AtEnd();
        return s;
    }

    // Non-white pixels after drawing onto a white 500 x 300 image.
    template <class Paint> int Ink(Paint&& paint, QImage* image = nullptr)
    {
        QImage img(500, 300, QImage::Format_ARGB32);
        img.fill(Qt::white);
        {
            QPainter g(&img);
            paint(g);
        }
        int ink = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ink += img.pixel(x, y) != 0xFFFFFFFFu;
        if (image)
            *image = img;
        return ink;
    }

    static inline const TVeskSurface kSurface { 7.5f, false, false, 4 };
    TVeskLayerList layers;
    TVeskLayer* placeCmp = nullptr;
    TDrawStyle style;
    bool lastFailed = false;
    bool lastAtEnd = false;
};

// ------------------------------------------------------------ record

TEST_F(StringTest, WorkedExampleIsWrittenByteForByte)
{
    ASSERT_EQ(kWorkedExample.size(), 123);
    TVeskString text(placeCmp, kSurface);
    text.SetFont(QStringLiteral("MS UI Gothic"), 0, 40);
    text.PlaceText(U(u"ぬる"), { 200, 100 });
    EXPECT_TRUE(text.IsSelected()); // placing selects
    text.SetSelected(false);
    EXPECT_EQ(Saved(text).toHex(' '), kWorkedExample.toHex(' '));
}

TEST_F(StringTest, WorkedExampleReadsBackAndWritesTheSameBytes)
{
    auto text = Read(kWorkedExample);
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(lastFailed);
    EXPECT_TRUE(lastAtEnd);
    EXPECT_EQ(text->GetLayer(), placeCmp);
    EXPECT_EQ(text->Text(), U(u"ぬる"));
    EXPECT_EQ(text->FontFamilyName(), QStringLiteral("MS UI Gothic"));
    EXPECT_EQ(text->FontStyle(), 0);
    EXPECT_EQ(text->EmSize(), 40.0f);
    EXPECT_EQ(text->GetMatrixRef(), Matrix(1, 0, 0, 1, 200, 100));
    EXPECT_EQ(text->GetName(), QStringLiteral("Text"));
    EXPECT_EQ(text->Surface(), kSurface);
    EXPECT_FALSE(text->IsSelected());
    EXPECT_EQ(Saved(*text), kWorkedExample);
    // Glyphs were built while reading, below and right of the placement.
    RectF b;
    text->GetBounds(b);
    EXPECT_FALSE(b.IsEmptyArea());
    EXPECT_GE(b.X, 199.0f);
    EXPECT_GE(b.Y, 99.0f);
    EXPECT_LT(b.GetRight(), 200 + 2 * 40 + 1.0f);
    EXPECT_LT(b.GetBottom(), 100 + 40 + 10.0f);
}

TEST_F(StringTest, VersionTwoRecordNamesItsLayerByPosition)
{
    // place_cmp is the fifth layer of the default list.
    const QByteArray v2 = "TEXT" + I32(5) + kWorkedExample.mid(kFamilyAt);
    auto text = Read(v2, 2);
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(lastFailed);
    EXPECT_TRUE(lastAtEnd);
    EXPECT_EQ(text->GetLayer(), placeCmp);
    EXPECT_EQ(text->Text(), U(u"ぬる"));
    EXPECT_EQ(Saved(*text), kWorkedExample); // written back in the current version
}

TEST_F(StringTest, LoadReplacesTheObjectAndClearsSelection)
{
    auto text = Make(QStringLiteral("old"), QStringLiteral("IPAGothic"), 10, { 0, 0 });
    text->SetSelected(true);
    TVesk_istream in(kWorkedExample.mid(4));
    in.SetLayers(&layers);
    ASSERT_EQ(text->Load(in), 0);
    EXPECT_FALSE(text->IsSelected());
    EXPECT_EQ(Saved(*text), kWorkedExample);
    EXPECT_TRUE(SamePath(text->TextPath(), Read(kWorkedExample)->TextPath()));
}

TEST_F(StringTest, EveryCutOfTheRecordFailsCleanly)
{
    auto text = Make(QStringLiteral("keep"));
    const QByteArray before = Saved(*text);
    for (qsizetype n = 4; n < kWorkedExample.size(); ++n) {
        SCOPED_TRACE(n);
        auto read = Read(kWorkedExample.left(n));
        ASSERT_NE(read, nullptr);
        EXPECT_TRUE(lastFailed);
        EXPECT_TRUE(read->Text().isEmpty());
        EXPECT_TRUE(read->TextPath().IsEmpty());

        TVesk_istream in(kWorkedExample.mid(4, n - 4));
        in.SetLayers(&layers);
        EXPECT_EQ(text->Load(in), -1);
        EXPECT_EQ(Saved(*text), before);
        EXPECT_EQ(text->Load(in), -1); // failed before starting
    }
}

TEST_F(StringTest, ImpossibleLengthsFailWithoutAllocating)
{
    struct Case {
        const char* name;
        QByteArray record;
    };
    const QByteArray layer = kWorkedExample.left(kFamilyAt);
    const QByteArray afterText = kWorkedExample.mid(kCommonAt);
    const Case cases[] = {
        { "family count max",
            layer + I32(std::numeric_limits<std::int32_t>::max()) + kWorkedExample.mid(kFamilyAt + 4) },
        { "family count negative", layer + I32(-1) + kWorkedExample.mid(kFamilyAt + 4) },
        { "text count max",
            kWorkedExample.left(kTextAt) + I32(0x7FFFFFFF) + kWorkedExample.mid(kTextAt + 4) },
        { "text count just past the end",
            kWorkedExample.left(kTextAt) + I32(std::int32_t((afterText.size() + 4) / 2 + 1))
                + kWorkedExample.mid(kTextAt + 4) },
        { "text count negative",
            kWorkedExample.left(kTextAt) + I32(std::numeric_limits<std::int32_t>::min())
                + kWorkedExample.mid(kTextAt + 4) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto read = Read(c.record);
        ASSERT_NE(read, nullptr);
        EXPECT_TRUE(lastFailed);
        EXPECT_TRUE(read->Text().isEmpty());
    }
}

TEST_F(StringTest, WideStringsSurviveSaveAndLoad)
{
    // Characters outside the 8-bit code page, a surrogate pair and an unpaired surrogate.
    const QString texts[] = { U(u"Ω€ÄΣ😀 部品\nZ"), QString(QChar(0xD800)) + QStringLiteral("x") };
    for (const QString& t : texts) {
        auto text = Make(t, U(u"ＭＳ Ｐゴシック"));
        text->SetName(QStringLiteral("label"));
        const QByteArray bytes = Saved(*text);
        auto read = Read(bytes);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->Text(), t);
        EXPECT_EQ(read->FontFamilyName(), U(u"ＭＳ Ｐゴシック"));
        EXPECT_EQ(Saved(*read), bytes);
    }
}

TEST_F(StringTest, StoredFamilyIsKeptWhenItCanBeDrawnElseDefault)
{
    struct Case {
        QString stored;
        QString loaded;
    };
    const Case cases[] = {
        { QStringLiteral("MS UI Gothic"), QStringLiteral("MS UI Gothic") },
        { U(u"ＭＳ Ｐゴシック"), U(u"ＭＳ Ｐゴシック") },
        { U(u"ＭＳ ゴシック"), U(u"ＭＳ ゴシック") },
        { QStringLiteral("Tahoma"), QStringLiteral("Tahoma") },
        { QStringLiteral("Arial"), QStringLiteral("Arial") },
        { QStringLiteral("ms ui gothic"), QStringLiteral("ms ui gothic") }, // family names ignore case
        { QStringLiteral("IPAGothic"), QStringLiteral("IPAGothic") }, // installed as it is
        { QStringLiteral("No Such Family 12345"), QStringLiteral("MS UI Gothic") },
        { QString(), QStringLiteral("MS UI Gothic") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        const QByteArray record = Record(c.stored, 0, 40, QStringLiteral("A"));
        auto read = Read(record);
        ASSERT_NE(read, nullptr);
        EXPECT_FALSE(lastFailed);
        EXPECT_EQ(read->FontFamilyName(), c.loaded);
        if (c.loaded == c.stored)
            EXPECT_EQ(Saved(*read), record);
        else
            EXPECT_EQ(Saved(*read), Record(c.loaded, 0, 40, QStringLiteral("A")));
        // Setting the family directly resolves it the same way.
        auto set = Make(QStringLiteral("A"), c.stored);
        EXPECT_EQ(set->FontFamilyName(), c.loaded);
    }
}

TEST_F(StringTest, EmptyTextRecordLoadsAsAnObjectWithoutGlyphs)
{
    auto text = Read(Record(DefaultFontFamily(), 0, 40, QString()));
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(lastFailed);
    EXPECT_TRUE(text->TextPath().IsEmpty());
    EXPECT_TRUE(text->FramePath().IsEmpty());
    RectF b { 1, 2, 3, 4 };
    text->GetBounds(b);
    EXPECT_EQ(b, RectF());
    EXPECT_FALSE(text->HitTest({ 200, 100 }));
    EXPECT_FALSE(text->SelectIn({ 0, 0, 1000, 1000 }));
    text->SetSelected(true);
    EXPECT_EQ(Ink([&](QPainter& g) {
        text->Draw(g, 0, style);
        text->DrawSelection(g, style);
    }),
        0);
}

TEST_F(StringTest, EmSizesThatLayOutNothingStillSaveUnchanged)
{
    for (const float em :
        { 0.0f, -40.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity() }) {
        SCOPED_TRACE(em);
        const QByteArray record = Record(DefaultFontFamily(), 0, em, QStringLiteral("AB"));
        auto text = Read(record);
        ASSERT_NE(text, nullptr);
        EXPECT_FALSE(lastFailed);
        EXPECT_TRUE(text->TextPath().IsEmpty());
        EXPECT_FALSE(text->HitTest({ 200, 100 }));
        EXPECT_EQ(Saved(*text), record);
    }
}

TEST_F(StringTest, SaveOnAFailedStreamWritesNothing)
{
    QBuffer device;
    device.open(QIODevice::ReadOnly); // every write fails
    TVesk_ostream out(device);
    ASSERT_FALSE(out.Flush());
    const qsizetype size = out.Buffer().size();
    EXPECT_EQ(Make(QStringLiteral("A"))->Save(out), -1);
    EXPECT_EQ(out.Buffer().size(), size);
}

// ------------------------------------------------------------ fonts and glyphs

TEST_F(StringTest, WindowsFamiliesDrawWithTheMappedInstalledFace)
{
    struct Case {
        QString windows;
        QString installed;
    };
    const Case cases[] = {
        { QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic") },
        { U(u"ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic") },
        { QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic") },
        { U(u"ＭＳ ゴシック"), QStringLiteral("IPAGothic") },
        { QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windows.toStdString());
        EXPECT_EQ(DrawingFontFamily(c.windows), c.installed);
        // Latin and kana alike come from the mapped face, not from a fallback.
        const auto viaWindows = Make(U(u"Agぬ部品"), c.windows);
        const auto direct = Make(U(u"Agぬ部品"), c.installed);
        EXPECT_FALSE(viaWindows->TextPath().IsEmpty());
        EXPECT_TRUE(SamePath(viaWindows->TextPath(), direct->TextPath()));
        EXPECT_EQ(viaWindows->FontFamilyName(), c.windows);
    }
    // Western families use an installed face, whichever of the usual ones is there.
    for (const char* western : { "Arial", "Tahoma", "Times New Roman", "Courier New" }) {
        SCOPED_TRACE(western);
        const QString family = QString::fromLatin1(western);
        EXPECT_TRUE(IsFontFamilyResolvable(family));
        const QString face = DrawingFontFamily(family);
        EXPECT_TRUE(QFontDatabase::hasFamily(face)) << face.toStdString();
        EXPECT_TRUE(SamePath(
            Make(QStringLiteral("Ag"), family)->TextPath(), Make(QStringLiteral("Ag"), face)->TextPath()));
    }
}

TEST_F(StringTest, JapaneseTextGivesRealGlyphsWithCounters)
{
    const auto nu = Make(U(u"ぬ"));
    const auto buhin = Make(U(u"部品"));
    ASSERT_FALSE(nu->TextPath().IsEmpty());
    ASSERT_FALSE(buhin->TextPath().IsEmpty());
    // Not the same missing-glyph box for every character.
    EXPECT_FALSE(SamePath(nu->TextPath(), Make(U(u"る"))->TextPath()));
    EXPECT_FALSE(SamePath(Make(U(u"部"))->TextPath(), Make(U(u"品"))->TextPath()));
    // Counters stay open under the winding rule: the loop of "ぬ", the boxes of "品".
    EXPECT_TRUE(HasEnclosedHole(nu->TextPath()));
    EXPECT_TRUE(HasEnclosedHole(buhin->TextPath()));
    // The counter of "o" is not inside the outline, its ring is.
    for (const QString& family : { DefaultFontFamily(), QStringLiteral("Arial") }) {
        SCOPED_TRACE(family.toStdString());
        const auto o = Make(QStringLiteral("o"), family);
        RectF b;
        o->GetBounds(b);
        const float cy = b.Y + b.Height / 2;
        EXPECT_FALSE(o->HitTest({ b.X + b.Width / 2, cy }));
        EXPECT_TRUE(o->HitTest({ b.X + b.Width * 0.06f, cy }));
        EXPECT_TRUE(HasEnclosedHole(o->TextPath()));
    }
}

TEST_F(StringTest, GlyphsScaleWithTheEmSizeFromTheLocalOrigin)
{
    const auto small = Make(QStringLiteral("ぬる"), DefaultFontFamily(), 40, { 0, 0 });
    const auto large = Make(QStringLiteral("ぬる"), DefaultFontFamily(), 80, { 0, 0 });
    RectF a, b;
    small->GetBounds(a);
    large->GetBounds(b);
    EXPECT_NEAR(b.Width, 2 * a.Width, 0.01f * a.Width);
    EXPECT_NEAR(b.Height, 2 * a.Height, 0.01f * a.Height);
    EXPECT_NEAR(b.X, 2 * a.X, 0.05f);
    EXPECT_NEAR(b.Y, 2 * a.Y, 0.05f);
    // Two lines: the second starts below the first.
    const auto twoLines = Make(QStringLiteral("ぬ\nぬ"), DefaultFontFamily(), 40, { 0, 0 });
    RectF c;
    twoLines->GetBounds(c);
    EXPECT_GT(c.Height, 1.8f * a.Height);
}

TEST(FontResolver, SubstitutionsInstallOnceAndListDocumentFamiliesFirst)
{
    InstallFontSubstitutions();
    const QStringList first = QFont::substitutes(QStringLiteral("MS UI Gothic"));
    InstallFontSubstitutions();
    EXPECT_EQ(QFont::substitutes(QStringLiteral("MS UI Gothic")), first);
    EXPECT_FALSE(first.isEmpty());

    const QStringList list = SelectableFontFamilies();
    ASSERT_FALSE(list.isEmpty());
    EXPECT_EQ(list.first(), QStringLiteral("MS UI Gothic"));
    EXPECT_TRUE(list.contains(U(u"ＭＳ Ｐゴシック")));
    EXPECT_TRUE(list.contains(QStringLiteral("IPAGothic")));
    EXPECT_EQ(list.size(), QSet<QString>(list.begin(), list.end()).size());
    for (const QString& family : list)
        EXPECT_TRUE(IsFontFamilyResolvable(family)) << family.toStdString();
    EXPECT_FALSE(IsFontFamilyResolvable(QStringLiteral("No Such Family 12345")));
    EXPECT_EQ(ResolveFontFamily(QStringLiteral("No Such Family 12345")), DefaultFontFamily());
}

// ------------------------------------------------------------ drawing

TEST_F(StringTest, DrawFillsTheGlyphsOnlyOnItsVisibleLayer)
{
    const auto text = Make(U(u"■"), DefaultFontFamily(), 80, { 100, 50 });
    const auto draw = [&](int layer) { return [&, layer](QPainter& g) { text->Draw(g, layer, style); }; };
    QImage img;
    const int filled = Ink(draw(0), &img);
    EXPECT_GT(filled, 1000);
    RectF b;
    text->GetBounds(b);
    // The layer's drawing colour, translucent over the white background.
    QImage reference(1, 1, QImage::Format_ARGB32);
    reference.fill(Qt::white);
    QPainter(&reference).fillRect(0, 0, 1, 1, ToQColor(placeCmp->DrawColor()));
    EXPECT_EQ(img.pixel(int(b.X + b.Width / 2), int(b.Y + b.Height / 2)), reference.pixel(0, 0));
    EXPECT_EQ(Ink(draw(1)), 0);

    // Wire-frame layers still get filled glyphs.
    placeCmp->wireFrame = true;
    EXPECT_EQ(Ink(draw(0)), filled);
    placeCmp->wireFrame = false;

    text->SetVisible(false);
    EXPECT_EQ(Ink(draw(0)), 0);
}

TEST_F(StringTest, PrintUsesInkOrPaper)
{
    struct Case {
        const char* name;
        bool mask, cutOut;
        QRgb expected;
    };
    style.printInkColor = 0xFF102030;
    style.printPaperColor = 0xFFA0B0C0;
    for (const Case& c : { Case { "ink", false, false, 0xFF102030 },
             Case { "mask layer", true, false, 0xFFA0B0C0 }, Case { "cut-out", false, true, 0xFFA0B0C0 } }) {
        SCOPED_TRACE(c.name);
        placeCmp->mask = c.mask;
        const auto text
            = Make(U(u"■"), DefaultFontFamily(), 80, { 100, 50 }, TVeskSurface(1, c.cutOut, false, 4));
        QImage img;
        Ink([&](QPainter& g) { text->DrawForPrint(g, 0, style); }, &img);
        RectF b;
        text->GetBounds(b);
        EXPECT_EQ(img.pixel(int(b.X + b.Width / 2), int(b.Y + b.Height / 2)), c.expected);
    }
}

TEST_F(StringTest, SelectionDrawsTheDashedFrameAroundTheGlyphs)
{
    const auto text = Make(QStringLiteral("A"), DefaultFontFamily(), 80, { 100, 50 });
    const auto paint = [&](QPainter& g) { text->DrawSelection(g, style); };
    EXPECT_EQ(Ink(paint), 0);
    text->SetSelected(true);
    QImage img;
    const int dashedInk = Ink(paint, &img);
    EXPECT_GT(dashedInk, 0);
    RectF b;
    text->GetBounds(b);
    // Every mark lies on the frame around the glyphs, none inside or outside it.
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, y) == 0xFFFFFFFFu)
                continue;
            const float cx = x + 0.5f, cy = y + 0.5f;
            const bool nearVertical = std::min(std::abs(cx - b.X), std::abs(cx - b.GetRight())) < 1.5f
                && cy > b.Y - 1.5f && cy < b.GetBottom() + 1.5f;
            const bool nearHorizontal = std::min(std::abs(cy - b.Y), std::abs(cy - b.GetBottom())) < 1.5f
                && cx > b.X - 1.5f && cx < b.GetRight() + 1.5f;
            ASSERT_TRUE(nearVertical || nearHorizontal) << x << "," << y;
        }
    // Dashed: clearly less ink than the same frame drawn solid.
    TDrawStyle solid = style;
    solid.dashedPen.dashPattern.clear();
    QImage solidImg;
    Ink([&](QPainter& g) { text->DrawSelection(g, solid); }, &solidImg);
    EXPECT_LT(Darkness(img), Darkness(solidImg) * 0.8);
}

// ------------------------------------------------------------ hits and selection

TEST_F(StringTest, HitsFollowTheGlyphsNotTheBox)
{
    const auto text = Make(QStringLiteral("o"), DefaultFontFamily(), 80, { 100, 50 });
    RectF b;
    text->GetBounds(b);
    const PointF counter { b.X + b.Width / 2, b.Y + b.Height / 2 };
    const PointF ring { b.X + b.Width * 0.06f, counter.Y };
    EXPECT_TRUE(text->HitTest(ring));
    EXPECT_FALSE(text->HitTest(counter));
    EXPECT_FALSE(text->HitTest({ b.X - 1, counter.Y }));
    EXPECT_TRUE(text->IntersectsRect({ ring.X - 0.5f, ring.Y - 0.5f, 1, 1 }));
    EXPECT_FALSE(text->IntersectsRect({ counter.X - 0.5f, counter.Y - 0.5f, 1, 1 }));
    GraphicsPath probe;
    probe.AddRectangle({ ring.X - 0.5f, ring.Y - 0.5f, 1, 1 });
    EXPECT_TRUE(text->IntersectsPath(probe, probe.GetBounds()));
    GraphicsPath inside;
    inside.AddRectangle({ counter.X - 0.5f, counter.Y - 0.5f, 1, 1 });
    EXPECT_FALSE(text->IntersectsPath(inside, inside.GetBounds()));

    EXPECT_FALSE(text->HitTestSelected(ring));
    EXPECT_TRUE(text->SelectAt(ring));
    EXPECT_TRUE(text->IsSelected());
    EXPECT_TRUE(text->HitTestSelected(ring));
    EXPECT_FALSE(text->SetSelected(false));
    EXPECT_FALSE(text->SelectAt(counter));
    EXPECT_FALSE(text->IsSelected());
    EXPECT_TRUE(text->SelectIn({ b.X - 5, b.Y - 5, b.Width + 10, b.Height + 10 }));

    text->SetSelected(false);
    text->SetLocked(true);
    EXPECT_FALSE(text->SelectAt(ring));
    EXPECT_FALSE(text->SelectIn({ b.X - 5, b.Y - 5, b.Width + 10, b.Height + 10 }));
    EXPECT_FALSE(text->IsSelected());
}

TEST_F(StringTest, TakesNoPartInMergedOutlines)
{
    const auto text = Make(QStringLiteral("A"));
    GraphicsPath into;
    text->AddOutline(into, 0);
    text->AddMergedOutline(into, 0);
    EXPECT_TRUE(into.IsEmpty());
}

// ------------------------------------------------------------ transforms and copies

TEST_F(StringTest, TransformsActOnlyWhenSelectedAndRebuildTheGlyphs)
{
    const auto text = Make(QStringLiteral("Ag"), DefaultFontFamily(), 40, { 100, 50 });
    const QByteArray before = Saved(*text);
    text->Translate(10, 20, MatrixOrder::Append);
    text->RotateAt(30, { 0, 0 }, MatrixOrder::Append);
    text->MultiplyMatrix(Matrix(2, 0, 0, 2, 0, 0), MatrixOrder::Append);
    EXPECT_EQ(Saved(*text), before);

    RectF b0, b1;
    text->GetBounds(b0);
    text->SetSelected(true);
    text->Translate(10, 20, MatrixOrder::Append);
    text->GetBounds(b1);
    EXPECT_NEAR(b1.X, b0.X + 10, 1e-3f);
    EXPECT_NEAR(b1.Y, b0.Y + 20, 1e-3f);

    // Several rotations end where one placement with the product matrix does:
    // the glyphs are laid out again, not carried along.
    for (int i = 0; i < 3; ++i)
        text->RotateAt(37, { 150, 80 }, MatrixOrder::Append);
    text->MultiplyMatrix(Matrix(1, 0, 0, -1, 0, 0), MatrixOrder::Prepend);
    Matrix m;
    text->GetMatrix(m);
    auto fresh = Make(QStringLiteral("Ag"), DefaultFontFamily(), 40, { 0, 0 });
    fresh->SetMatrix(m);
    EXPECT_TRUE(SamePath(text->TextPath(), fresh->TextPath()));
    EXPECT_TRUE(SamePath(text->FramePath(), fresh->FramePath()));

    // The frame is the local glyph box carried by the matrix.
    auto local = Make(QStringLiteral("Ag"), DefaultFontFamily(), 40, { 0, 0 });
    GraphicsPath frame(FillMode::Winding);
    frame.AddRectangle(local->TextPath().GetBounds());
    frame.Transform(m);
    EXPECT_TRUE(SamePath(text->FramePath(), frame));
}

TEST_F(StringTest, SettersRebuildAndEmptyingClearsTheGlyphs)
{
    const auto text = Make(QStringLiteral("A"));
    RectF a, b;
    text->GetBounds(a);
    text->SetText(QStringLiteral("AAAA"));
    text->GetBounds(b);
    EXPECT_GT(b.Width, 3 * a.Width);

    text->SetFont(QStringLiteral("IPAGothic"), FontStyleRegular, 20);
    EXPECT_EQ(text->FontFamilyName(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(text->EmSize(), 20.0f);
    EXPECT_TRUE(SamePath(
        text->TextPath(), Make(QStringLiteral("AAAA"), QStringLiteral("IPAGothic"), 20)->TextPath()));

    // A text emptied after it had glyphs shows and hits nothing.
    text->SetText(QString());
    EXPECT_TRUE(text->TextPath().IsEmpty());
    EXPECT_TRUE(text->FramePath().IsEmpty());
    text->GetBounds(b);
    EXPECT_EQ(b, RectF());
    text->SetSelected(true);
    EXPECT_EQ(Ink([&](QPainter& g) {
        text->Draw(g, 0, style);
        text->DrawSelection(g, style);
    }),
        0);
}

TEST_F(StringTest, CloneIsAnIndependentRebuiltCopy)
{
    auto text = Make(U(u"部品"), U(u"ＭＳ ゴシック"), 30, { 50, 60 });
    text->SetSelected(true);
    text->SetName(QStringLiteral("R1"));
    const auto copy = text->Clone();
    auto* c = dynamic_cast<TVeskString*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ(c->GetLayer(), placeCmp);
    text->SetSelected(false);
    EXPECT_EQ(Saved(*c), Saved(*text));
    EXPECT_TRUE(SamePath(c->TextPath(), text->TextPath()));
    text->SetText(QStringLiteral("X"));
    EXPECT_EQ(c->Text(), U(u"部品"));
    EXPECT_FALSE(SamePath(c->TextPath(), text->TextPath()));
}

TEST_F(StringTest, NewTextHasTheDefaultsAndNoGlyphs)
{
    TVeskString text(placeCmp, kSurface);
    EXPECT_EQ(text.GetName(), QStringLiteral("Text"));
    EXPECT_TRUE(text.GetText().isEmpty());
    EXPECT_EQ(text.GetFontFamily(), QStringLiteral("MS UI Gothic"));
    EXPECT_EQ(text.GetFontStyle(), 0);
    EXPECT_EQ(text.GetEmSize(), 5.0f);
    EXPECT_TRUE(text.TextPath().IsEmpty());
    EXPECT_EQ(text.TextPath().GetFillMode(), FillMode::Winding);
    EXPECT_STREQ(text.Tag(), "TEXT");
}

} // namespace
} // namespace vesk
