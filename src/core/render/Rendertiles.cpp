#include "Rendertiles.h"

#include "Renderview.h"
#include "Veskrenderer.h"
#include "geometry/QtConvert.h"
#include "model/Colorstyle.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskspatialindex.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vesk {

namespace {

constexpr int T = TRenderTiles::kTileSize;

// Pixels an anti-aliased edge and a one-pixel wire pen reach beyond a box.
constexpr double kMarginPixels = 3.0;

int floorDiv(double v)
{
    return int(std::floor(v / T));
}

QTransform tileTransform(const TRenderTiles::Look& look, int i, int j)
{
    return QTransform(look.m11, look.m12, look.m21, look.m22, look.fractionX - double(i) * T,
        look.fractionY - double(j) * T);
}

// Document units a tile's query must reach beyond the objects' boxes: the
// wire pen, widened as far as any placement widens it.
double wireReach(const TVeskSpatialIndex& index, const TDrawStyle& style)
{
    const double wire = std::isfinite(style.inverseZoom) ? std::abs(double(style.inverseZoom)) : 0.0;
    return wire * std::max(1.0, double(index.WireGrowth()));
}

} // namespace

void TRenderTiles::Render(QImage& drawing, const TVeskPart& root, const TVeskLayerList& layers,
    const TDrawStyle& style, const TRenderView& view, const RunAll& runAll)
{
    // The image as this call found it: unchanged since the last call when
    // its key is the one recorded then.
    Composed composed { drawing.cacheKey(), drawing.width(), drawing.height(), 0, 0, view.showGrid,
        view.gridPitch, style.gridColor };
    const std::vector<Job> jobs = prepare(drawing, root, layers, style, view);
    runAll(int(jobs.size()), [&](int k) { paintBand(jobs[size_t(k)], root, layers, style, view); });
    composed.originX = originX_;
    composed.originY = originY_;
    uchar* bits = drawing.bits();
    const size_t visible = size_t(lastI_ - firstI_ + 1) * size_t(lastJ_ - firstJ_ + 1) * kBands;
    if (composed == composed_ && jobs.size() < visible) {
        for (const Job& job : jobs)
            composeBand(bits, drawing, job);
    } else {
        const int rows = drawing.height();
        const int bands = std::max(1, std::min(8, rows / 64));
        runAll(bands, [&](int b) { composeRows(bits, drawing, rows * b / bands, rows * (b + 1) / bands); });
    }
    drawGrid(drawing, style, view);
    composed.image = drawing.cacheKey();
    composed_ = composed;
}

std::vector<TRenderTiles::Job> TRenderTiles::prepare(const QImage& drawing, const TVeskPart& root,
    const TVeskLayerList& layers, const TDrawStyle& style, const TRenderView& view)
{
    std::vector<Job> jobs;
    if (drawing.isNull()) {
        dropTiles();
        return jobs;
    }
    const Matrix& m = view.viewMatrix;
    const double offsetX = m.OffsetX(), offsetY = m.OffsetY();
    if (!std::isfinite(offsetX) || !std::isfinite(offsetY) || std::abs(offsetX) > 1e9
        || std::abs(offsetY) > 1e9) {
        dropTiles();
        return jobs;
    }
    originX_ = int(std::floor(offsetX));
    originY_ = int(std::floor(offsetY));

    Look look;
    look.m11 = m.M11();
    look.m12 = m.M12();
    look.m21 = m.M21();
    look.m22 = m.M22();
    look.fractionX = offsetX - originX_;
    look.fractionY = offsetY - originY_;
    look.workArea = view.workArea;
    look.antialias = view.antialias;
    look.background = style.backgroundColor;
    look.framePen = style.framePen;
    look.inverseZoom = style.inverseZoom;
    look.layers.push_back(root.IsVisible() ? 1 : 0);
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const TVeskLayer& layer = *layers.LayerAt(i);
        const std::uint64_t flags = (layer.visible ? 1 : 0) | (layer.mask ? 2 : 0) | (layer.wireFrame ? 4 : 0)
            | (layer.current ? 8 : 0);
        look.layers.push_back(std::uint64_t(layer.DrawColor()) | flags << 32);
        look.layers.push_back(std::uint64_t(layer.normalColor) | std::uint64_t(layer.opaqueColor) << 32);
    }
    if (!(look == look_)) {
        dropTiles();
        look_ = std::move(look);
    }

    TVeskSpatialIndex& index = root.Index();
    if (index.Serial() != indexSerial_) {
        dropTiles();
        indexSerial_ = index.Serial();
        index.TrackDamage();
        index.TakeDamage();
    }
    const QTransform toLattice = tileTransform(look_, 0, 0);
    const double reach = wireReach(index, style);
    for (const RectF& r : index.TakeDamage()) {
        if (tiles_.empty())
            break;
        const QRectF area
            = toLattice.mapRect(QRectF(r.X - reach, r.Y - reach, r.Width + 2 * reach, r.Height + 2 * reach))
                  .adjusted(-kMarginPixels, -kMarginPixels, kMarginPixels, kMarginPixels);
        if (!(area.width() < 1e6 && area.height() < 1e6 && std::abs(area.left()) < 1e9
                && std::abs(area.top()) < 1e9)) {
            dropTiles();
            break;
        }
        const int i0 = floorDiv(area.left()), i1 = floorDiv(area.right());
        const int j0 = floorDiv(area.top()), j1 = floorDiv(area.bottom());
        const QRect pixels = area.toAlignedRect();
        // The damaged pixels of a tile are painted again, unless they are
        // most of it: then the whole tile is.
        const auto markDirty = [&](std::unordered_map<std::uint64_t, Tile>::iterator it, int i, int j) {
            Tile& tile = it->second;
            const QRect local = pixels.translated(-i * T, -j * T) & QRect(0, 0, T, T);
            tile.dirty = tile.dirty.isEmpty() ? local : tile.dirty.united(local);
            if (tile.dirty.width() * tile.dirty.height() <= T * T / 2)
                return std::next(it);
            spare_.push_back(std::move(tile.image));
            return tiles_.erase(it);
        };
        if (double(i1 - i0 + 1) * (j1 - j0 + 1) > double(tiles_.size())) {
            for (auto it = tiles_.begin(); it != tiles_.end();) {
                const int i = int(std::int32_t(it->first >> 32)), j = int(std::int32_t(it->first));
                it = i >= i0 && i <= i1 && j >= j0 && j <= j1 ? markDirty(it, i, j) : std::next(it);
            }
        } else {
            for (int j = j0; j <= j1; ++j)
                for (int i = i0; i <= i1; ++i)
                    if (const auto it = tiles_.find(key(i, j)); it != tiles_.end())
                        markDirty(it, i, j);
        }
    }

    firstI_ = floorDiv(-originX_);
    lastI_ = floorDiv(drawing.width() - 1 - originX_);
    firstJ_ = floorDiv(-originY_);
    lastJ_ = floorDiv(drawing.height() - 1 - originY_);
    const size_t visible = size_t(lastI_ - firstI_ + 1) * size_t(lastJ_ - firstJ_ + 1);
    // Tiles a few steps out of view are kept for panning back; beyond that
    // they go once there are many.
    if (tiles_.size() > 3 * visible) {
        for (auto it = tiles_.begin(); it != tiles_.end();) {
            const int i = int(std::int32_t(it->first >> 32)), j = int(std::int32_t(it->first));
            if (i < firstI_ - 2 || i > lastI_ + 2 || j < firstJ_ - 2 || j > lastJ_ + 2) {
                spare_.push_back(std::move(it->second.image));
                it = tiles_.erase(it);
            } else {
                ++it;
            }
        }
    }
    // Only the bands in view are painted: the rows of tiles above and below
    // it would otherwise be painted on every pan along it.
    for (int j = firstJ_; j <= lastJ_; ++j)
        for (int i = firstI_; i <= lastI_; ++i) {
            auto [it, added] = tiles_.try_emplace(key(i, j));
            Tile& tile = it->second;
            if (added)
                tile.image = newTile();
            const auto inView = [&](int band) {
                const int top = j * T + originY_ + band * kBandRows;
                return top < drawing.height() && top + kBandRows > 0;
            };
            bool whole = false;
            for (int band = 0; band < kBands; ++band)
                whole = whole || (inView(band) && !(tile.painted & (1u << band)));
            if (whole && !tile.dirty.isEmpty()) {
                // Painted whole anyway: no band may be painted twice at once.
                tile.painted = 0;
                tile.dirty = {};
            }
            for (int band = 0; band < kBands; ++band) {
                const std::uint8_t bit = std::uint8_t(1u << band);
                if (inView(band) && !(tile.painted & bit)) {
                    tile.painted |= bit;
                    jobs.push_back({ i, j, band, &tile, {} });
                } else if (tile.painted & bit) {
                    const QRect rows = tile.dirty & QRect(0, band * kBandRows, T, kBandRows);
                    if (!rows.isEmpty())
                        jobs.push_back({ i, j, band, &tile, rows });
                }
            }
            tile.dirty = {};
        }
    index_ = &index;
    return jobs;
}

void TRenderTiles::paintBand(const Job& job, const TVeskPart& root, const TVeskLayerList& layers,
    const TDrawStyle& style, const TRenderView& view) const
{
    constexpr int rows = kBandRows;
    const int top = job.band * rows;
    QImage& tile = job.tile->image;
    QImage band(tile.bits() + top * tile.bytesPerLine(), T, rows, tile.bytesPerLine(), tile.format());
    if (job.clip.isEmpty()) {
        paintInto(band, job, QRect(0, 0, T, rows), root, layers, style, view);
        return;
    }
    // Part of a band is painted, from the objects found there, into an image
    // of the band's size in the band's coordinates and copied over: a pixel
    // so painted is exactly the pixel a whole band paints. (A painter's clip
    // would not do: the raster engine draws differently under one.)
    const QRect clip = job.clip.translated(0, -top);
    QImage scratch(T, rows, tile.format());
    paintInto(scratch, job, clip, root, layers, style, view);
    for (int y = clip.top(); y <= clip.bottom(); ++y)
        std::memcpy(band.scanLine(y) + size_t(clip.left()) * 4, scratch.constScanLine(y) + size_t(clip.left()) * 4,
            size_t(clip.width()) * 4);
}

void TRenderTiles::paintInto(QImage& target, const Job& job, const QRect& area, const TVeskPart& root,
    const TVeskLayerList& layers, const TDrawStyle& style, const TRenderView& view) const
{
    const int top = job.band * kBandRows;
    target.fill(ToQColor(style.backgroundColor));
    QPainter g(&target);
    const QTransform toBand = tileTransform(look_, job.i, job.j) * QTransform::fromTranslate(0, -top);
    g.setWorldTransform(toBand);
    if (!view.workArea.IsEmptyArea()) {
        g.setPen(ToQPen(style.framePen));
        g.setBrush(Qt::NoBrush);
        g.drawRect(ToQRectF(view.workArea));
    }
    g.setRenderHint(QPainter::Antialiasing, view.antialias);
    if (!root.IsVisible())
        return;
    bool invertible = false;
    const QTransform toDocument = toBand.inverted(&invertible);
    if (!invertible)
        return;
    const double reach = wireReach(*index_, style);
    const QRectF near
        = toDocument
              .mapRect(QRectF(area).adjusted(-kMarginPixels, -kMarginPixels, kMarginPixels, kMarginPixels))
              .adjusted(-reach, -reach, reach, reach);
    std::vector<TVeskObject*> found;
    index_->Query(RectF { float(near.left()), float(near.top()), float(near.width()), float(near.height()) },
        false, found);
    for (int layer = layers.LayerCount() - 1; layer >= 0; --layer) {
        if (!layers.LayerAt(layer)->visible)
            continue;
        const std::uint64_t bit = TVeskSpatialIndex::LayerBit(layer);
        for (const TVeskObject* o : found)
            if (index_->Layers(*o) & bit)
                o->Draw(g, layer, style);
    }
}

QImage TRenderTiles::newTile()
{
    if (spare_.empty())
        return QImage(T, T, QImage::Format_ARGB32_Premultiplied);
    QImage tile = std::move(spare_.back());
    spare_.pop_back();
    return tile;
}

void TRenderTiles::dropTiles()
{
    // A few are kept, so that the next pictures need not wait for memory.
    for (auto& entry : tiles_)
        if (spare_.size() < 64)
            spare_.push_back(std::move(entry.second.image));
    tiles_.clear();
}

void TRenderTiles::composeBand(uchar* bits, const QImage& drawing, const Job& job) const
{
    const int i = job.i, j = job.j;
    const QRect part = job.clip.isEmpty() ? QRect(0, job.band * kBandRows, T, kBandRows) : job.clip;
    const int tileTop = j * T + originY_;
    const int top = std::max(0, tileTop + part.top());
    const int bottom = std::min(drawing.height(), tileTop + part.bottom() + 1);
    if (top >= bottom)
        return;
    const QImage& tile = job.tile->image;
    const int x0 = i * T + originX_;
    const int left = std::max(0, x0 + part.left()), right = std::min(drawing.width(), x0 + part.right() + 1);
    if (left >= right)
        return;
    const qsizetype stride = drawing.bytesPerLine();
    for (int y = top; y < bottom; ++y)
        std::memcpy(bits + y * stride + size_t(left) * 4,
            tile.constScanLine(y - (j * T + originY_)) + size_t(left - x0) * 4, size_t(right - left) * 4);
}

void TRenderTiles::composeRows(uchar* bits, const QImage& drawing, int top, int bottom) const
{
    const qsizetype stride = drawing.bytesPerLine();
    const int width = drawing.width();
    for (int y = top; y < bottom; ++y) {
        const int j = floorDiv(y - originY_);
        const int row = y - originY_ - j * T;
        for (int i = firstI_; i <= lastI_; ++i) {
            const auto it = tiles_.find(key(i, j));
            if (it == tiles_.end())
                continue;
            const int x0 = i * T + originX_;
            const int left = std::max(0, x0), right = std::min(width, x0 + T);
            if (left < right)
                std::memcpy(bits + y * stride + size_t(left) * 4,
                    it->second.image.constScanLine(row) + size_t(left - x0) * 4, size_t(right - left) * 4);
        }
    }
}

void TRenderTiles::drawGrid(QImage& drawing, const TDrawStyle& style, const TRenderView& view)
{
    if (view.showGrid)
        TVeskRenderer::DrawGrid(drawing, style.gridColor, view);
}

} // namespace vesk
