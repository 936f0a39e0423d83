#include "Renderexport.h"

#include "Printsetup.h"
#include "Veskrenderer.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

namespace vesk {

namespace {

constexpr double kUnitsPerInch = 254.0;

bool checkOptions(const TExportOptions& o, QString& error)
{
    if (o.dotsPerInch < 1 || o.dotsPerInch > TExportOptions::kMaxDotsPerInch) {
        error = QStringLiteral("resolution %1 dpi is outside 1 to %2")
                    .arg(o.dotsPerInch)
                    .arg(TExportOptions::kMaxDotsPerInch);
        return false;
    }
    const RectF& w = o.window;
    const bool finite = std::isfinite(w.X) && std::isfinite(w.Y) && std::isfinite(w.Width)
        && std::isfinite(w.Height) && std::isfinite(w.GetRight()) && std::isfinite(w.GetBottom());
    if (!finite || !(w.Width > 0) || !(w.Height > 0)) {
        error = QStringLiteral("the window to render is empty");
        return false;
    }
    return true;
}

TPrintSetup setupFor(const TVeskDocument& doc, const TExportOptions& o)
{
    TPrintSetup s;
    s.layers = o.layers;
    if (s.layers.empty()) {
        const TVeskLayerList& layers = doc.Layers();
        for (int i = 0; i < layers.LayerCount(); ++i)
            if (layers.LayerAt(i)->visible)
                s.layers.push_back(i);
    }
    s.black = o.black;
    s.negative = o.negative;
    s.mirror = o.mirror;
    s.pageWidthMm = double(o.window.Width) / 10.0;
    s.origin = { o.window.X, o.window.Y };
    s.paintPaper = true;
    return s;
}

// Wire-frame outlines one output pixel wide, as on a screen at this zoom.
TDrawStyle styleFor(const TExportOptions& o)
{
    TDrawStyle style;
    style.SetZoom(o.dotsPerInch / kUnitsPerInch);
    return style;
}

// Whole pixels covering the length, without one more for a rounding error.
qint64 pixelsFor(float units, int dpi)
{
    return qint64(std::ceil(double(units) * dpi / kUnitsPerInch - 1e-6));
}

} // namespace

QImage RenderDocumentImage(const TVeskDocument& doc, const TExportOptions& options, QString* error)
{
    QString problem;
    if (!checkOptions(options, problem)) {
        if (error)
            *error = problem;
        return {};
    }
    const qint64 w = std::max<qint64>(1, pixelsFor(options.window.Width, options.dotsPerInch));
    const qint64 h = std::max<qint64>(1, pixelsFor(options.window.Height, options.dotsPerInch));
    if (w > TExportOptions::kMaxImageSide || h > TExportOptions::kMaxImageSide
        || w * h > TExportOptions::kMaxImagePixels) {
        if (error)
            *error = QStringLiteral("an image of %1 x %2 pixels is too large; lower the resolution")
                         .arg(w)
                         .arg(h);
        return {};
    }
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("not enough memory for an image of %1 x %2 pixels").arg(w).arg(h);
        return {};
    }
    // Printing reads the resolution from the device; the PNG records it too.
    const int dotsPerMeter = int(std::lround(options.dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    TVeskRenderer renderer;
    renderer.PrintImage(image, doc.Root(), doc.Layers(), styleFor(options), setupFor(doc, options));
    return image;
}

TDocumentResult ExportPng(const TVeskDocument& doc, const TExportOptions& options, const QString& fileName)
{
    QString problem;
    const QImage image = RenderDocumentImage(doc, options, &problem);
    if (image.isNull())
        return { false, problem };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return { false, file.errorString() };
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        return { false, writer.errorString() };
    }
    if (!file.commit())
        return { false, file.errorString() };
    return {};
}

TDocumentResult ExportPdf(const TVeskDocument& doc, const TExportOptions& options, const QString& fileName)
{
    QString problem;
    if (!checkOptions(options, problem))
        return { false, problem };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return { false, file.errorString() };
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Vesk2.0"));
        pdf.setResolution(options.dotsPerInch);
        // PDF pages come in whole points; rounding up keeps the whole window on
        // the page. An exact size, too: a near-standard one must not snap to it.
        const auto points
            = [](float units) { return int(std::ceil(double(units) / kUnitsPerInch * 72.0 - 1e-6)); };
        const QPageSize size(QSize(points(options.window.Width), points(options.window.Height)), QString(),
            QPageSize::ExactMatch);
        if (!pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)))) {
            file.cancelWriting();
            return { false, QStringLiteral("the PDF writer refused a page of this size") };
        }
        QPainter g;
        if (!g.begin(&pdf)) {
            file.cancelWriting();
            return { false, QStringLiteral("cannot start the PDF") };
        }
        TVeskRenderer renderer;
        renderer.Print(g, doc.Root(), doc.Layers(), styleFor(options), setupFor(doc, options));
        g.end();
    }
    if (!file.commit())
        return { false, file.errorString() };
    return {};
}

} // namespace vesk
