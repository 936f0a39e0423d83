#pragma once

#include "geometry/PointF.h"

#include <QtGlobal>
#include <algorithm>
#include <climits>
#include <vector>

namespace vesk {

// What one thread keeps between outlines. The cells are all zero between
// outlines, because the sweep clears every cell that was written.
struct TCoverageScratch {
    std::vector<PointF> device;
    std::vector<float> cells;
    std::vector<int> first;
    std::vector<int> last;
    std::vector<quint8> cover;
};

// Anti-aliased coverage of one outline in a window of a 32-bit image, by
// signed-area accumulation, the method of Qt's and FreeType's scan
// converters: every edge adds to the cells of the rows it crosses the part of
// each cell that lies to its right, signed by its direction; a running sum
// along a row then gives each pixel's covered area weighted by the winding
// number, which the sweep quantises and blends as Qt does a solid colour. The
// window is the outline's device box cut to the image, pixels [0, width) x
// [0, height) from its top-left corner, and edges come in window
// coordinates. Edges beyond its left or right side run along that side
// instead, which leaves every pixel inside as it was; edges above or below it
// are dropped. Only the rows and cells edges reached are swept.
class TCoverageRaster {
public:
    // inside: the outline lies wholly in the window, so no edge needs cutting.
    // Without cells only the window is kept, for callers that write pixels
    // themselves; Edge and Sweep must not be called then.
    TCoverageRaster(TCoverageScratch& s, uchar* bits, qsizetype bytesPerLine, int left, int top, int width,
        int height, bool inside, bool cells = true);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Edge(PointF a, PointF b)
    {
        if (!inside_) {
            edgeClipped(a, b);
            return;
        }
        // Clamped all the same: rounding may put a vertex a hair outside.
        const float w = float(width_), h = float(height_);
        const float ax = std::clamp(a.X, 0.0f, w), ay = std::clamp(a.Y, 0.0f, h);
        const float bx = std::clamp(b.X, 0.0f, w), by = std::clamp(b.Y, 0.0f, h);
        if (ay < by)
            accumulate(ax, ay, bx, by, 1.0f);
        else if (ay > by)
            accumulate(bx, by, ax, ay, -1.0f);
    }

    // Whether a curve with these control points may touch the window; when
    // it cannot, its chord adds the same, since only where it enters and
    // leaves each row counts.
    bool MayTouch(float minX, float minY, float maxX, float maxY) const
    {
        return maxY > 0 && minY < float(height_) && maxX > 0 && minX < float(width_);
    }

    // Turns the sums into coverage and blends the premultiplied colour into
    // the image, clearing the cells on the way.
    void Sweep(quint32 premultiplied, bool evenOdd);

    // Source-over of a premultiplied colour at coverage c (0 to 255) on one
    // pixel, rounded as Qt's own blending rounds it.
    static quint32 BlendPixel(quint32 pixel, quint32 premultiplied, quint32 c);

private:
    void blendRow(quint32* pixel, int first, int end, quint32 premultiplied) const;
    void edgeClipped(PointF a, PointF b);

    // Window coordinates are never negative, so truncation floors them;
    // without SSE4.1 std::floor and std::ceil are library calls.
    static int ceilOf(float v)
    {
        const int i = int(v);
        return float(i) < v ? i + 1 : i;
    }

    // An edge within the window going down, x in [0, width], y in [0, height].
    [[gnu::always_inline]] void accumulate(float x0, float y0, float x1, float y1, float dir)
    {
        if (!(y1 > y0))
            return;
        const int first = int(y0);
        const int last = std::min(height_, ceilOf(y1)) - 1;
        if (first >= last) {
            // Most edges of a finely flattened outline stay within one row.
            addRow(first, x0, x1, (y1 - y0) * dir);
            return;
        }
        // Where the edge crosses each row boundary, from its start rather than
        // from the previous row, so that rows do not wait on each other.
        const float dxdy = (x1 - x0) / (y1 - y0);
        const auto xAt = [&](float y) { return std::clamp(x0 + (y - y0) * dxdy, 0.0f, float(width_)); };
        float y = float(first + 1);
        float x = xAt(y);
        addRow(first, x0, x, (y - y0) * dir);
        for (int row = first + 1; row < last; ++row) {
            y += 1.0f;
            const float next = xAt(y);
            addRow(row, x, next, dir);
            x = next;
        }
        addRow(last, x, x1, (y1 - y) * dir);
    }

    // One row's part of an edge, from xa to xb, of height times direction d.
    [[gnu::always_inline]] void addRow(int row, float xa, float xb, float d)
    {
        const float lo = std::min(xa, xb), hi = std::max(xa, xb);
        const int l = int(lo);
        int h = int(hi);
        if (h != l)
            h = ceilOf(hi);
        float* a = cells_ + ptrdiff_t(row) * stride_;
        if (h <= l + 1) {
            // Within one cell, the common case: split by the mean position.
            const float m = 0.5f * (xa + xb) - float(l);
            a[l] += d - d * m;
            a[l + 1] += d * m;
            touch(row, l, l + 1);
            return;
        }
        // Across several: a triangle in the first and last cells, an equal
        // share in those between.
        const float s = 1.0f / (hi - lo);
        const float f0 = lo - float(l);
        const float a0 = 0.5f * s * (1 - f0) * (1 - f0);
        const float f1 = hi - float(h) + 1;
        const float am = 0.5f * s * f1 * f1;
        a[l] += d * a0;
        if (h == l + 2) {
            a[l + 1] += d * (1 - a0 - am);
        } else {
            const float a1 = s * (1.5f - f0);
            a[l + 1] += d * (a1 - a0);
            for (int i = l + 2; i < h - 1; ++i)
                a[i] += d * s;
            const float a2 = a1 + float(h - l - 3) * s;
            a[h - 1] += d * (1 - a2 - am);
        }
        a[h] += d * am;
        touch(row, l, h);
    }

    void touch(int row, int from, int to)
    {
        // The image is far larger than the caches; asking for a pixel as soon
        // as an edge reaches it lets memory work while the rest are walked.
        __builtin_prefetch(bits_ + (top_ + row) * bytesPerLine_ + (left_ + from) * 4, 1);
        first_[row] = std::min(first_[row], from);
        last_[row] = std::max(last_[row], to);
    }

    uchar* bits_;
    qsizetype bytesPerLine_;
    float* cells_ = nullptr;
    int* first_ = nullptr;
    int* last_ = nullptr;
    quint8* cover_ = nullptr;
    bool inside_;
    int left_, top_, width_, height_, stride_;
};

} // namespace vesk
