#pragma once

#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <QTransform>
#include <memory>
#include <span>
#include <vector>

class QImage;
class QPainter;

namespace vesk {

class TDrawStyle;
class TVeskLayerList;
class TVeskObject;
class TVeskPart;
struct TPrintSetup;
struct TRenderItem;
struct TRenderView;
class TRenderTiles;

// Paints a document: the drawing view's image (background, work-area frame,
// visible layers from the last index to 0, grid), the selection marks over a
// copy of it, and printed output in print or screen colours on any painter
// (printer, PDF, image). Every path draws the layers through one traversal:
// the root's children in its drawing order, each asked to draw itself for
// one layer at a time, skipping those whose bounds miss the device and those
// with nothing on that layer (both worked out once per call). Images
// are painted in horizontal bands by threads of the global pool, each band
// culling on its own, while the calling thread waits (it paints only when
// no pool thread is free). Drawing only reads the objects, so the document
// must not change during a call. One instance serves one window, from one
// thread at a time; between calls it keeps only a scratch list.
class TVeskRenderer {
public:
    TVeskRenderer();
    ~TVeskRenderer();
    TVeskRenderer(const TVeskRenderer&) = delete;
    TVeskRenderer& operator=(const TVeskRenderer&) = delete;

    // The drawing image: cleared to the background colour, the work-area
    // frame, the visible layers, then the grid when the view shows it. The
    // style's zoom is the caller's to keep in step with the view.
    void RenderDocument(QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers,
        const TDrawStyle& style, const TRenderView& view);
    // RenderDocument for a window that keeps its picture: the same image,
    // but only what changed since the last call is painted again (the
    // damage the root's index reports; after a pan by whole pixels, what
    // came into view); a zoom, another style or layer look, or another
    // document paints everything. The grid is left to the caller.
    void RenderKept(QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers,
        const TDrawStyle& style, const TRenderView& view);
    // Forgets the kept picture: the next RenderKept paints everything.
    void DropKept();

    // A copy of the drawing image with the selection marks over it. The
    // screen image's pixels are reused when it already has the drawing's
    // size and format.
    void RenderOverlay(QImage& screen, const QImage& drawing, const TVeskPart& root, const TDrawStyle& style,
        const TRenderView& view);
    // Prints the chosen layers at true scale onto the painter's device,
    // whose resolution gives the dots per document unit. Wire-frame outlines
    // take the style's inverseZoom, in document units, as on the screen.
    // The painter's transform and hints are restored afterwards.
    void Print(QPainter& g, const TVeskPart& root, const TVeskLayerList& layers, const TDrawStyle& style,
        const TPrintSetup& setup);

    // Print onto an image, in bands; the image's dots per metre give the resolution.
    void PrintImage(QImage& image, const TVeskPart& root, const TVeskLayerList& layers,
        const TDrawStyle& style, const TPrintSetup& setup);

    // Document units to device dots at the given resolution: the setup's
    // origin to the printable origin, 0.1 mm per unit, turned over about the
    // centre line of the page width when mirrored.
    static QTransform PrintTransform(const TPrintSetup& setup, double dpiX, double dpiY);
    // Single grid pixels every pitch from the document origin, left out when
    // they would stand 4 pixels apart or closer.
    static void DrawGrid(QImage& image, ARGB color, const TRenderView& view);
    // The given layers from the highest index to the lowest on the painter as
    // it is set up, each by Draw (screen colours) or DrawForPrint.
    void DrawLayers(QPainter& g, const TVeskPart& root, std::span<const int> layerIndices,
        const TDrawStyle& style, bool forPrint);

    // The extent of the visible shapes on the given layers, in document
    // units; false when there is none.
    static bool DrawingBounds(const TVeskPart& root, std::span<const int> layerIndices, RectF& out);

    // Most pool threads painting one image at once (the thread count by default).
    void SetMaxThreads(int threads) { maxThreads_ = threads < 1 ? 1 : threads; }

private:
    // Runs paint once per band of the image, with a painter whose device is
    // the band and whose transform places the whole image's pixels.
    template <class Paint> void paintBanded(QImage& image, int bands, const Paint& paint) const;
    // Calls job(0 .. count-1) on pool threads (the calling thread only when
    // none is free) and returns when all are done.
    template <class Job> void runParallel(int count, const Job& job) const;
    // Twice as many bands as threads evens out bands of unequal detail.
    int bandCount() const { return maxThreads_ == 1 ? 1 : 2 * maxThreads_; }
    // The root's children in drawing order, with where they paint and their layers.
    void takeDrawOrder(const TVeskPart& root, const TDrawStyle& style);

    std::vector<TRenderItem> drawOrder_;
    std::unique_ptr<TRenderTiles> tiles_;
    int maxThreads_;
};

} // namespace vesk
