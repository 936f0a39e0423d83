#include "Veskrenderer.h"

#include "Printsetup.h"
#include "Rendertiles.h"
#include "Renderview.h"
#include "geometry/QtConvert.h"
#include "model/Colorstyle.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskcontainer.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskspatialindex.h"

#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QRunnable>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vesk {

namespace {

// Hundredths of an inch per document unit, in the single precision the
// print transform has always been built with.
constexpr float kHundredthsPerUnit = float(1.0 / 2.54);

// Device pixels added around the device before it is taken back to
// document units: anti-aliased edges reach one pixel beyond a shape.
constexpr qreal kCullMarginPixels = 2.0;

// Bands thinner than this cost more in per-band culling than they save.
constexpr int kMinBandRows = 32;

} // namespace

struct TRenderItem {
    const TVeskObject* object;
    RectF bounds;
    // False for objects that report no bounds: they are never culled.
    bool bounded;
    std::uint64_t layers;
};

namespace {

// An object still being drawn, on its layer when that is shown: with the
// selection marks, over the kept picture, which leaves it out.
void drawInProgress(QPainter& g, const TVeskObject& o, const TDrawStyle& style)
{
    const auto* instance = dynamic_cast<const TVeskInstance*>(&o);
    const TVeskLayer* layer = instance ? instance->GetLayer() : nullptr;
    if (layer && layer->visible)
        o.Draw(g, layer->index, style);
}

// The screen draws shapes under a device pixel as one-pixel marks; prints and
// exports draw every shape whole.
TDrawStyle onScreen(const TDrawStyle& style)
{
    TDrawStyle screen = style;
    screen.pixelMarks = true;
    return screen;
}

bool mayShow(const TRenderItem& item, const QRectF& clip)
{
    if (!item.bounded)
        return true;
    const RectF& r = item.bounds;
    // Written as "clearly outside" so that bounds that are not numbers are drawn.
    const bool outside = r.GetRight() < clip.left() || r.GetLeft() > clip.right()
        || r.GetBottom() < clip.top() || r.GetTop() > clip.bottom();
    return !outside;
}

// The layers that exist, from the highest index to the lowest, once each.
std::vector<int> drawingOrder(std::span<const int> in, int count)
{
    std::vector<int> out;
    for (int i : in)
        if (i >= 0 && i < count)
            out.push_back(i);
    std::sort(out.begin(), out.end(), std::greater<int>());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// One drawing of layers: the objects in drawing order and what to ask of them.
struct LayerPass {
    const std::vector<TRenderItem>& objects;
    const std::vector<int>& layers;
    const TDrawStyle& style;
    bool forPrint;
};

void drawPass(QPainter& g, const LayerPass& pass)
{
    if (pass.layers.empty())
        return;
    // The device back in document units, widened by what a shape may paint
    // beyond its bounds: anti-aliasing and the wire-frame pen.
    QRectF clip;
    bool invertible = false;
    const QTransform toDocument = g.combinedTransform().inverted(&invertible);
    if (const QPaintDevice* device = g.device(); device && invertible) {
        const qreal m = kCullMarginPixels;
        clip = toDocument.mapRect(QRectF(0, 0, device->width(), device->height()).adjusted(-m, -m, m, m));
        const float wire = std::isfinite(pass.style.inverseZoom) ? std::abs(pass.style.inverseZoom) : 0.0f;
        clip.adjust(-wire, -wire, wire, wire);
    }
    std::vector<const TRenderItem*> inView;
    inView.reserve(pass.objects.size());
    const bool culling = clip.width() > 0 && clip.height() > 0;
    for (const TRenderItem& item : pass.objects)
        if (!culling || mayShow(item, clip))
            inView.push_back(&item);
    for (int index : pass.layers) {
        const std::uint64_t bit = TVeskSpatialIndex::LayerBit(index);
        for (const TRenderItem* item : inView) {
            if (!(item->layers & bit))
                continue;
            if (pass.forPrint)
                item->object->DrawForPrint(g, index, pass.style);
            else
                item->object->Draw(g, index, pass.style);
        }
    }
}

void unionShapes(const TVeskObject& o, std::span<const int> layerIndices, bool& any, RectF& out)
{
    if (!o.IsVisible())
        return;
    if (const auto* c = dynamic_cast<const TVeskContainer*>(&o)) {
        for (const auto& child : c->Children())
            unionShapes(*child, layerIndices, any, out);
        return;
    }
    const auto* shape = dynamic_cast<const TVeskInstance*>(&o);
    const TVeskLayer* layer = shape ? shape->GetLayer() : nullptr;
    if (!layer || std::find(layerIndices.begin(), layerIndices.end(), layer->index) == layerIndices.end())
        return;
    RectF r;
    o.GetDrawnBounds(r, 0.0f);
    if (!(r.Width >= 0 && r.Height >= 0) || (r.Width == 0 && r.Height == 0))
        return;
    out = any ? RectF::Union(out, r) : r;
    any = true;
}

void writePixel(QImage& image, int x, int y, ARGB color)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = color;
        break;
    case QImage::Format_ARGB32_Premultiplied:
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = qPremultiply(color);
        break;
    default:
        image.setPixelColor(x, y, ToQColor(color));
        break;
    }
}

TDrawStyle printStyleFor(const TDrawStyle& style, const TPrintSetup& setup)
{
    TDrawStyle s = style;
    if (setup.PrintColours()) {
        s.printInkColor = setup.negative ? 0xFFFFFFFF : 0xFF000000;
        s.printPaperColor = setup.negative ? 0xFF000000 : 0xFFFFFFFF;
    }
    return s;
}

// The whole sheet in device coordinates: a page's margins too, which lie
// before the printable origin, so that a negative's black reaches the edges
// (as far as the printer can print).
QRectF paperRect(const QPainter& g)
{
    const auto* page = dynamic_cast<const QPagedPaintDevice*>(g.device());
    if (!page)
        return g.window();
    const QPageLayout layout = page->pageLayout();
    const int dpi = g.device()->logicalDpiX();
    const QRect paper = layout.fullRectPixels(dpi);
    return paper.translated(-layout.paintRectPixels(dpi).topLeft());
}

// The print run on a painter as it is set up; returns with it as it was.
void printOn(QPainter& g, const LayerPass& pass, const TPrintSetup& setup)
{
    const QPaintDevice* device = g.device();
    if (!device)
        return;
    g.save();
    if (setup.PaintsPaper()) {
        g.setWorldMatrixEnabled(false);
        g.fillRect(paperRect(g),
            ToQColor(setup.PrintColours() ? pass.style.printPaperColor : pass.style.backgroundColor));
        g.setWorldMatrixEnabled(true);
    }
    g.setWorldTransform(
        TVeskRenderer::PrintTransform(setup, device->logicalDpiX(), device->logicalDpiY()), true);
    g.setRenderHint(QPainter::Antialiasing, true);
    drawPass(g, pass);
    g.restore();
}

} // namespace

TVeskRenderer::TVeskRenderer()
    : maxThreads_(std::max(1, QThread::idealThreadCount()))
{
}

TVeskRenderer::~TVeskRenderer() = default;

void TVeskRenderer::takeDrawOrder(const TVeskPart& root, const TDrawStyle& style)
{
    drawOrder_.clear();
    if (!root.IsVisible())
        return;
    const float wireWidth = std::isfinite(style.inverseZoom) ? style.inverseZoom : 0.0f;
    // Once per call rather than once per band and layer. Culling takes what
    // the objects paint, not their bounds for picking: a part's bounds are
    // those of its selection, and a wire frame paints beyond its outline.
    for (const TVeskObject* o : root.DrawOrder()) {
        TRenderItem item { o, {}, true, TVeskSpatialIndex::LayersOf(*o) };
        bool any = false;
        item.bounded = TVeskSpatialIndex::UniteDrawn(*o, wireWidth, any, item.bounds);
        if (item.bounded && !any)
            continue; // paints nothing
        drawOrder_.push_back(item);
    }
}

template <class Job> void TVeskRenderer::runParallel(int count, const Job& job) const
{
    std::atomic<int> next { 0 };
    const auto work = [&] {
        for (int k = next++; k < count; k = next++)
            job(k);
    };
    // Painting from pool threads also keeps Qt 6.4 from handing every large
    // fill of a thread outside the pool to the pool and waiting for it, which
    // cost five times the painting on a busy machine. The calling thread
    // paints only when no pool thread is free, so a caller inside the pool
    // cannot stall.
    QSemaphore finished;
    QThreadPool* pool = QThreadPool::globalInstance();
    const int helpers = pool->contains(QThread::currentThread()) ? 0 : std::min(count, maxThreads_);
    int started = 0;
    // A thread that has just finished the previous call's share may not be
    // back in the pool yet: its share is queued rather than done alone on
    // the other threads, and taken back if nothing picked it up by the end.
    std::vector<QRunnable*> queued;
    for (int i = 0; i < helpers; ++i) {
        QRunnable* helper = QRunnable::create([&] {
            work();
            finished.release();
        });
        if (pool->tryStart(helper)) {
            ++started;
        } else {
            pool->start(helper);
            queued.push_back(helper);
        }
    }
    if (started == 0)
        work();
    finished.acquire(started);
    for (QRunnable* helper : queued) {
        if (pool->tryTake(helper))
            delete helper;
        else
            finished.acquire();
    }
}

template <class Paint> void TVeskRenderer::paintBanded(QImage& image, int bands, const Paint& paint) const
{
    const int height = image.height();
    bands = std::clamp(bands, 1, std::max(1, height / kMinBandRows));
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    runParallel(bands, [&](int b) {
        const int top = int(qint64(height) * b / bands);
        const int bottom = int(qint64(height) * (b + 1) / bands);
        QImage band(bits + top * stride, image.width(), bottom - top, stride, image.format());
        band.setDotsPerMeterX(image.dotsPerMeterX());
        band.setDotsPerMeterY(image.dotsPerMeterY());
        QPainter g(&band);
        g.translate(0, -top);
        paint(g);
    });
}

void TVeskRenderer::RenderKept(QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers,
    const TDrawStyle& style, const TRenderView& view)
{
    if (drawing.format() != QImage::Format_ARGB32_Premultiplied) {
        DropKept();
        RenderDocument(drawing, root, layers, style, view);
        return;
    }
    if (!tiles_)
        tiles_ = std::make_unique<TRenderTiles>();
    tiles_->Render(drawing, root, layers, onScreen(style), view,
        [this](int count, const auto& job) { runParallel(count, job); });
}

void TVeskRenderer::DropKept()
{
    if (tiles_)
        tiles_->Clear();
}

void TVeskRenderer::RenderDocument(QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers,
    const TDrawStyle& style, const TRenderView& view)
{
    if (drawing.isNull())
        return;
    drawing.fill(ToQColor(style.backgroundColor));
    std::vector<int> visible;
    for (int i = layers.LayerCount() - 1; i >= 0; --i)
        if (layers.LayerAt(i)->visible)
            visible.push_back(i);
    takeDrawOrder(root, style);
    const TDrawStyle screen = onScreen(style);
    const LayerPass pass { drawOrder_, visible, screen, false };
    const QTransform toImage = ToQTransform(view.viewMatrix);
    paintBanded(drawing, bandCount(), [&](QPainter& g) {
        g.setWorldTransform(toImage, true);
        if (!view.workArea.IsEmptyArea()) {
            g.setPen(ToQPen(style.framePen));
            g.setBrush(Qt::NoBrush);
            g.drawRect(ToQRectF(view.workArea));
        }
        g.setRenderHint(QPainter::Antialiasing, view.antialias);
        drawPass(g, pass);
    });
    if (view.showGrid)
        DrawGrid(drawing, style.gridColor, view);
}

void TVeskRenderer::RenderOverlay(QImage& screen, const QImage& drawing, const TVeskPart& root,
    const TDrawStyle& style, const TRenderView& view)
{
    // Keeps the screen's buffer when it fits: no allocation per overlay pass;
    // the copy is then shared out in bands.
    const bool copyRows = &screen != &drawing && screen.size() == drawing.size()
        && screen.format() == drawing.format() && screen.bytesPerLine() == drawing.bytesPerLine()
        && !drawing.isNull();
    if (&screen != &drawing && !copyRows)
        screen = drawing.copy();
    if (screen.isNull())
        return;
    // Detached here, before the bands write to it.
    const uchar* const screenBits = screen.bits();
    // First, on every thread, bands of the copy and shares of the top-level
    // objects, keeping those that hold a selection: the document is walked
    // once in all, its most part holding nothing to draw. Several of each per
    // thread, so that a thread the machine lets run later holds up little.
    const int shares = 4 * maxThreads_;
    const std::vector<TVeskObject*> order = root.IsVisible() ? root.DrawOrder() : std::vector<TVeskObject*>();
    std::vector<std::vector<const TVeskObject*>> marked { size_t(shares) };
    std::atomic<int> nextShare { 0 };
    paintBanded(screen, shares, [&](QPainter& g) {
        if (copyRows) {
            // Where the band's painter writes: bits() would detach the band
            // from the painter's copy.
            const auto* band = static_cast<const QImage*>(g.device());
            uchar* rows = const_cast<uchar*>(band->constBits());
            std::memcpy(rows, drawing.constBits() + (rows - screenBits), size_t(band->sizeInBytes()));
        }
        // Shares, not bands: a small image may have fewer bands than shares.
        for (int share = nextShare++; share < shares; share = nextShare++) {
            const size_t from = order.size() * size_t(share) / size_t(shares);
            const size_t to = order.size() * size_t(share + 1) / size_t(shares);
            for (size_t i = from; i < to; ++i) {
                if (i + 16 < to)
                    __builtin_prefetch(order[i + 16]);
                if (order[i]->HasSelectionMarks() || order[i]->InProgress())
                    marked[size_t(share)].push_back(order[i]);
            }
        }
    });
    if (std::all_of(marked.begin(), marked.end(), [](const auto& share) { return share.empty(); }))
        return;
    // Then those objects, in drawing order, draw their marks on one painter;
    // marks that miss the image leave before they are built. Bands would each
    // have to ask every object again, and would run one after the other
    // whenever a pool thread is not back from the first pass yet.
    const QTransform toImage = ToQTransform(view.viewMatrix);
    paintBanded(screen, 1, [&](QPainter& g) {
        g.setWorldTransform(toImage, true);
        for (const auto& share : marked)
            for (const TVeskObject* o : share) {
                if (o->InProgress())
                    drawInProgress(g, *o, style);
                o->DrawSelection(g, style);
            }
    });
}

QTransform TVeskRenderer::PrintTransform(const TPrintSetup& setup, double dpiX, double dpiY)
{
    // Built in hundredths of an inch first, the unit the transform is defined in.
    const double s = kHundredthsPerUnit;
    const double sx = setup.mirror ? -s : s;
    const double pageUnits = setup.pageWidthMm * 10.0;
    const QTransform origin = QTransform::fromTranslate(-setup.origin.X, -setup.origin.Y);
    const QTransform page(sx, 0, 0, s, setup.mirror ? s * pageUnits : 0.0, 0);
    return origin * page * QTransform::fromScale(dpiX / 100.0, dpiY / 100.0);
}

void TVeskRenderer::Print(QPainter& g, const TVeskPart& root, const TVeskLayerList& layers,
    const TDrawStyle& style, const TPrintSetup& setup)
{
    const TDrawStyle printStyle = printStyleFor(style, setup);
    const std::vector<int> chosen = drawingOrder(setup.layers, layers.LayerCount());
    takeDrawOrder(root, printStyle);
    printOn(g, LayerPass { drawOrder_, chosen, printStyle, setup.PrintColours() }, setup);
}

void TVeskRenderer::PrintImage(QImage& image, const TVeskPart& root, const TVeskLayerList& layers,
    const TDrawStyle& style, const TPrintSetup& setup)
{
    if (image.isNull())
        return;
    const TDrawStyle printStyle = printStyleFor(style, setup);
    const std::vector<int> chosen = drawingOrder(setup.layers, layers.LayerCount());
    takeDrawOrder(root, printStyle);
    const LayerPass pass { drawOrder_, chosen, printStyle, setup.PrintColours() };
    paintBanded(image, bandCount(), [&](QPainter& g) { printOn(g, pass, setup); });
}

void TVeskRenderer::DrawGrid(QImage& image, ARGB color, const TRenderView& view)
{
    const double step = view.gridPitch * view.zoom;
    if (!(step > 4.0) || !std::isfinite(step))
        return;
    // The pixel of the document origin, moved by whole steps to just left of
    // (or onto) the image's first pixel; truncation then plots a column at
    // the edge when the origin column lies within a pixel of it.
    const auto firstLine = [step](double origin) {
        if (!std::isfinite(origin))
            return 0.0;
        double r = std::fmod(origin, step);
        if (origin > 0 && r > 0)
            r -= step;
        else if (origin < 0 && r < 0)
            r += step;
        return r;
    };
    const double x0 = firstLine(view.viewMatrix.OffsetX());
    const double y0 = firstLine(view.viewMatrix.OffsetY());
    const int w = image.width();
    const int h = image.height();
    for (double y = y0; y < h; y += step) {
        const int py = int(y);
        if (py < 0 || py >= h)
            continue;
        for (double x = x0; x < w; x += step) {
            const int px = int(x);
            if (px >= 0 && px < w)
                writePixel(image, px, py, color);
        }
    }
}

void TVeskRenderer::DrawLayers(QPainter& g, const TVeskPart& root, std::span<const int> layerIndices,
    const TDrawStyle& style, bool forPrint)
{
    // Any index is accepted here; an index no object lies on draws nothing.
    std::vector<int> order(layerIndices.begin(), layerIndices.end());
    std::sort(order.begin(), order.end(), std::greater<int>());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    takeDrawOrder(root, style);
    drawPass(g, LayerPass { drawOrder_, order, style, forPrint });
}

bool TVeskRenderer::DrawingBounds(const TVeskPart& root, std::span<const int> layerIndices, RectF& out)
{
    bool any = false;
    if (root.IsVisible())
        for (const auto& child : root.Children())
            unionShapes(*child, layerIndices, any, out);
    return any;
}

} // namespace vesk
