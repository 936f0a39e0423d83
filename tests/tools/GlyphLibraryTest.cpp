#include "Glyphlibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

// Every glyph name the tools, option buttons, layer rows and style buttons load.
const char* const allGlyphs[] = { "Arrow00", "Arrow01", "Bevel", "Ellipse", "Group", "Lib", "Line", "Lock",
    "Mirror", "Num", "OK", "Pad", "Poly", "Rect", "Rotate", "Round", "Text", "UnGroup", "UnLock", "UnVisible",
    "Visible", "Zin", "Zout", "NEKOCURSOR" };

int opaquePixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 128;
    return n;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray redSquare = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"24\">"
                             "<rect width=\"24\" height=\"24\" fill=\"#ff0000\"/></svg>";

} // namespace

TEST(GlyphLibraryTest, BaseNameTakesTheLastPathComponentWithoutExtension)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = { { "Bitmap\\OK.bmp", "OK" }, { "Bitmap/Zin.bmp", "Zin" }, { "Arrow00", "Arrow00" },
        { "a\\b/UnGroup.svg", "UnGroup" }, { "..\\..\\secret", "secret" }, { "", "" }, { "Bitmap\\", "" } };
    for (const auto& c : cases)
        EXPECT_EQ(GlyphLibrary::BaseName(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(GlyphLibraryTest, EveryGlyphIsBuiltInAndDrawsSomething)
{
    QTemporaryDir empty;
    GlyphLibrary glyphs(empty.path());
    for (const char* name : allGlyphs) {
        const QString glyph = QStringLiteral("Bitmap\\") + QString::fromUtf8(name) + QStringLiteral(".bmp");
        EXPECT_TRUE(glyphs.Locate(glyph).startsWith(QStringLiteral(":/"))) << name;
        ASSERT_FALSE(glyphs.Icon(glyph).isNull()) << name;
        const QPixmap one = glyphs.Pixmap(glyph, 24, 1.0);
        const QPixmap two = glyphs.Pixmap(glyph, 24, 2.0);
        EXPECT_EQ(one.size(), QSize(24, 24)) << name;
        // Drawn afresh at twice the pixels on a 2x screen, not scaled up.
        EXPECT_EQ(two.size(), QSize(48, 48)) << name;
        EXPECT_DOUBLE_EQ(two.devicePixelRatio(), 2.0) << name;
        EXPECT_GT(opaquePixels(one.toImage()), 20) << name;
        EXPECT_GT(opaquePixels(two.toImage()), 3 * opaquePixels(one.toImage())) << name;
    }
}

TEST(GlyphLibraryTest, TheFolderComesBeforeTheBuiltInImages)
{
    QTemporaryDir dir;
    writeFile(QDir(dir.path()).filePath(QStringLiteral("OK.svg")), redSquare);
    GlyphLibrary glyphs(dir.path());
    EXPECT_EQ(
        glyphs.Locate(QStringLiteral("Bitmap\\OK.bmp")), QDir(dir.path()).filePath(QStringLiteral("OK.svg")));
    EXPECT_EQ(glyphs.Pixmap(QStringLiteral("Bitmap\\OK.bmp"), 16).toImage().pixel(8, 8), qRgb(255, 0, 0));
    // Names the folder lacks still come from inside the program.
    EXPECT_TRUE(glyphs.Locate(QStringLiteral("Bitmap\\Zin.bmp")).startsWith(QStringLiteral(":/")));
}

TEST(GlyphLibraryTest, AnUnreadableFileGivesWayToTheBuiltInGlyph)
{
    QTemporaryDir dir;
    writeFile(QDir(dir.path()).filePath(QStringLiteral("Zout.svg")), "<svg this is not");
    writeFile(QDir(dir.path()).filePath(QStringLiteral("Zin.png")), "\x89PNG broken");
    GlyphLibrary glyphs(dir.path());
    for (const char* name : { "Bitmap\\Zout.bmp", "Bitmap\\Zin.bmp" }) {
        const QIcon icon = glyphs.Icon(QString::fromUtf8(name));
        ASSERT_FALSE(icon.isNull()) << name;
        EXPECT_GT(opaquePixels(icon.pixmap(QSize(24, 24)).toImage()), 20) << name;
    }
}

TEST(GlyphLibraryTest, OldBitmapsAreTransparentWhereTheLowerLeftPixelsColourIs)
{
    QTemporaryDir dir;
    QImage bmp(16, 16, QImage::Format_RGB32);
    bmp.fill(qRgb(255, 0, 255));
    for (int i = 4; i < 12; ++i)
        bmp.setPixel(i, i, qRgb(0, 0, 128));
    ASSERT_TRUE(bmp.save(QDir(dir.path()).filePath(QStringLiteral("Lock.bmp"))));
    GlyphLibrary glyphs(dir.path());
    const QImage shown = glyphs.Pixmap(QStringLiteral("Bitmap\\Lock.bmp"), 16).toImage();
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(shown.pixel(6, 6), qRgb(0, 0, 128));
}

TEST(GlyphLibraryTest, UnknownNamesGiveNothing)
{
    QTemporaryDir dir;
    writeFile(QDir(dir.path()).filePath(QStringLiteral(".svg")), redSquare);
    GlyphLibrary glyphs(dir.path());
    for (const char* name : { "Bitmap\\NoSuchGlyph.bmp", "", "Bitmap\\.bmp" }) {
        EXPECT_TRUE(glyphs.Locate(QString::fromUtf8(name)).isEmpty()) << name;
        EXPECT_TRUE(glyphs.Icon(QString::fromUtf8(name)).isNull()) << name;
        EXPECT_TRUE(glyphs.Pixmap(QString::fromUtf8(name), 24).isNull()) << name;
    }
}

TEST(GlyphLibraryTest, PanCursorIsThePawWithItsHotSpotInThePalm)
{
    QTemporaryDir empty;
    GlyphLibrary glyphs(empty.path());
    const QCursor cursor = glyphs.PanCursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(16, 21));
    const QImage paw = cursor.pixmap().toImage();
    EXPECT_GT(qAlpha(paw.pixel(16, 21)), 200);
    EXPECT_EQ(qAlpha(paw.pixel(0, 31)), 0);
}

TEST(GlyphLibraryTest, DefaultFolderIsBesideTheExecutable)
{
    EXPECT_EQ(GlyphLibrary::DefaultFolder(),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Bitmap")));
}
