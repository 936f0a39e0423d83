#include "Glyphlibrary.h"

#include "Datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vesk {

namespace {

const QString builtInFolder = QStringLiteral(":/Bitmap");

bool isSvg(const QString& path)
{
    return path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

QImage renderSvg(const QString& path, QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QPainter g(&image);
    renderer.render(&g, QRectF(QPointF(0, 0), QSizeF(pixels)));
    return image;
}

QImage loadBitmap(const QString& path)
{
    QImage image(path);
    if (image.isNull() || !path.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
        return image;
    // Old glyph bitmaps mark their transparent colour by the lower-left pixel.
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

// Draws a vector glyph afresh at whatever size and pixel ratio is asked for,
// so buttons stay sharp on any screen without relying on an icon plugin.
class SvgIconEngine : public QIconEngine {
public:
    explicit SvgIconEngine(QString path)
        : path_(std::move(path))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }

    // Sizes here are device pixels; QIcon scales its requests by the ratio.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QImage image = renderSvg(path_, size);
        if (image.isNull())
            return {};
        if (mode == QIcon::Disabled) {
            // Greyed and faded, the way a disabled button glyph looks.
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb p = qUnpremultiply(line[x]);
                    const int grey = qGray(p);
                    line[x] = qPremultiply(qRgba(grey, grey, grey, qAlpha(p) * 2 / 5));
                }
            }
        }
        return QPixmap::fromImage(image);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("vesk-svg"); }
    QIconEngine* clone() const override { return new SvgIconEngine(path_); }

private:
    QString path_;
};

} // namespace

QString GlyphLibrary::DefaultFolder()
{
    return FindDataFolder(QStringLiteral("Bitmap"));
}

QString GlyphLibrary::BaseName(const QString& glyphName)
{
    QString name = glyphName;
    const qsizetype slash = std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    if (slash >= 0)
        name = name.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return name;
}

GlyphLibrary::GlyphLibrary(QString folder)
    : folder_(std::move(folder))
{
}

QString GlyphLibrary::Locate(const QString& glyphName) const
{
    const QString base = BaseName(glyphName);
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        return {};
    if (!folder_.isEmpty()) {
        const QDir dir(folder_);
        for (const char* ext : { ".svg", ".png", ".bmp" }) {
            const QString path = dir.filePath(base + QLatin1String(ext));
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    const QString builtIn = builtInFolder + QLatin1Char('/') + base + QStringLiteral(".svg");
    return QFileInfo::exists(builtIn) ? builtIn : QString();
}

QIcon GlyphLibrary::Icon(const QString& glyphName)
{
    const QString base = BaseName(glyphName);
    if (auto it = icons_.constFind(base); it != icons_.constEnd())
        return *it;
    QIcon icon;
    if (base.isEmpty() || base.startsWith(QLatin1Char('.')))
        return icon;
    const QString path = Locate(glyphName);
    if (!path.isEmpty()) {
        if (isSvg(path)) {
            if (QSvgRenderer(path).isValid())
                icon = QIcon(new SvgIconEngine(path));
        } else {
            const QImage image = loadBitmap(path);
            if (!image.isNull())
                icon = QIcon(QPixmap::fromImage(image));
        }
    }
    // A file in the folder that cannot be read gives way to the built-in glyph.
    if (icon.isNull() && !path.startsWith(builtInFolder)) {
        const QString builtIn = builtInFolder + QLatin1Char('/') + base + QStringLiteral(".svg");
        if (QFileInfo::exists(builtIn) && QSvgRenderer(builtIn).isValid())
            icon = QIcon(new SvgIconEngine(builtIn));
    }
    icons_.insert(base, icon);
    return icon;
}

QPixmap GlyphLibrary::Pixmap(const QString& glyphName, int size, qreal devicePixelRatio)
{
    const QIcon icon = Icon(glyphName);
    if (icon.isNull())
        return {};
    return icon.pixmap(QSize(size, size), devicePixelRatio);
}

QCursor GlyphLibrary::PanCursor(qreal devicePixelRatio)
{
    constexpr int size = 32;
    const QPixmap pm = Pixmap(QStringLiteral("NEKOCURSOR"), size, devicePixelRatio);
    if (pm.isNull())
        return QCursor(Qt::OpenHandCursor);
    // Hot spot in the middle of the palm pad, in logical pixels.
    return QCursor(pm, size / 2, size * 2 / 3);
}

} // namespace vesk
