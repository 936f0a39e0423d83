#pragma once

#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace vesk {

class TDrawStyle;
class TVeskLayerList;
class TVeskPart;
class TVeskSpatialIndex;
struct TRenderView;

// The drawing view's picture kept between renders as square tiles on a
// lattice fixed to the document: lattice pixel = view matrix without its
// whole-pixel offset, so that a pan by whole pixels shifts the tiles without
// changing one of them. Each tile is painted on its own from the objects the
// part's index finds there, always with the same transform, so a tile
// painted after an edit is exactly the tile a full render paints. After an
// edit only the pixels of the tiles the index reports damaged are painted
// again, clipped to the damage, from the objects found there; a pan
// paints only the tiles that come into view; anything else (zoom, a sub-pixel
// offset, the layers' look, the style, another document) starts afresh.
class TRenderTiles {
public:
    static constexpr int kTileSize = 256;

    // Brings the drawing image (32-bit premultiplied) up to date: background,
    // work-area frame, the visible layers and the grid. `runAll(count, job)`
    // calls job(0 .. count-1), on several threads when it can. When the image
    // is the one composed last time, in the same place, only the tiles
    // painted now are copied into it.
    using RunAll = std::function<void(int count, const std::function<void(int)>& job)>;
    void Render(QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers, const TDrawStyle& style,
        const TRenderView& view, const RunAll& runAll);
    void Clear() { dropTiles(); }
    int TileCount() const { return int(tiles_.size()); }

    // What decides a tile's pixels besides the objects.
    struct Look {
        float m11 = 0, m12 = 0, m21 = 0, m22 = 0;
        double fractionX = 0, fractionY = 0;
        RectF workArea;
        bool antialias = true;
        ARGB background = 0;
        Pen framePen;
        float inverseZoom = 0;
        std::vector<std::uint64_t> layers;
        bool operator==(const Look&) const = default;
    };

private:
    // A tile is painted in bands of rows, always the same ones, so that one
    // damaged tile keeps both cores busy and rows out of view wait.
    static constexpr int kBands = 2;
    static constexpr int kBandRows = kTileSize / kBands;

    struct Tile {
        QImage image;
        std::uint8_t painted = 0; // a bit per band
        // Pixels of the painted bands to paint again, in tile pixels.
        QRect dirty;
    };
    struct Job {
        int i, j, band;
        Tile* tile;
        // Only these pixels of the band, in tile pixels; the whole band when empty.
        QRect clip;
    };

    // Prepares the tiles for the view; returns the ones to paint.
    std::vector<Job> prepare(const QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers,
        const TDrawStyle& style, const TRenderView& view);
    void paintBand(const Job& job, const TVeskPart& root, const TVeskLayerList& layers,
        const TDrawStyle& style, const TRenderView& view) const;
    // Paints the band of the job into an image of the band's size: the
    // background, the frame and the objects that may reach `area` (band pixels).
    void paintInto(QImage& target, const Job& job, const QRect& area, const TVeskPart& root,
        const TVeskLayerList& layers, const TDrawStyle& style, const TRenderView& view) const;
    void composeBand(uchar* bits, const QImage& drawing, const Job& job) const;
    // Rows top .. bottom-1 of the image from the tiles.
    void composeRows(uchar* bits, const QImage& drawing, int top, int bottom) const;
    static void drawGrid(QImage& drawing, const TDrawStyle& style, const TRenderView& view);
    // An image for a tile, from those dropped when there are any.
    QImage newTile();
    void dropTiles();

    // What the drawing image held after the last call.
    struct Composed {
        qint64 image = 0;
        int width = 0, height = 0, originX = 0, originY = 0;
        bool grid = false;
        double pitch = 0;
        ARGB gridColor = 0;
        bool operator==(const Composed&) const = default;
    };

    static std::uint64_t key(int i, int j)
    {
        return (std::uint64_t(std::uint32_t(i)) << 32) | std::uint32_t(j);
    }

    Look look_;
    // The index of the document last drawn, and the serial it had.
    const TVeskSpatialIndex* index_ = nullptr;
    std::uint64_t indexSerial_ = 0;
    // Whole-pixel offset of the lattice in the image.
    int originX_ = 0, originY_ = 0;
    int firstI_ = 0, lastI_ = -1, firstJ_ = 0, lastJ_ = -1;
    std::unordered_map<std::uint64_t, Tile> tiles_;
    std::vector<QImage> spare_;
    Composed composed_;
};

} // namespace vesk
