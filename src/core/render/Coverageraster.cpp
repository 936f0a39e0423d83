#include "Coverageraster.h"

#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vesk {

namespace {

// x * a / 255 on each byte of x, rounded as Qt's own blending rounds it.
inline quint32 byteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

// Qt's quantisation of a covered area: times 256, truncated, at most 255;
// under the even-odd rule the winding folds back every second unit.
inline int quantise(float sum, bool evenOdd)
{
    const float a = std::min(std::abs(sum), 1024.0f);
    int c = int(a * 256.0f);
    if (evenOdd) {
        c &= 511;
        if (c > 256)
            c = 512 - c;
    }
    return std::min(c, 255);
}

} // namespace

TCoverageRaster::TCoverageRaster(TCoverageScratch& s, uchar* bits, qsizetype bytesPerLine, int left, int top,
    int width, int height, bool inside, bool cells)
    : bits_(bits)
    , bytesPerLine_(bytesPerLine)
    , inside_(inside)
    , left_(left)
    , top_(top)
    , width_(width)
    , height_(height)
    , stride_(width + 2)
{
    if (!cells)
        return;
    const size_t count = size_t(stride_) * size_t(height_);
    if (s.cells.size() < count)
        s.cells.resize(count, 0.0f);
    if (s.first.size() < size_t(height_)) {
        s.first.resize(size_t(height_));
        s.last.resize(size_t(height_));
    }
    if (s.cover.size() < size_t(stride_))
        s.cover.resize(size_t(stride_));
    std::fill_n(s.first.begin(), height_, INT_MAX);
    std::fill_n(s.last.begin(), height_, -1);
    cells_ = s.cells.data();
    first_ = s.first.data();
    last_ = s.last.data();
    cover_ = s.cover.data();
}

quint32 TCoverageRaster::BlendPixel(quint32 pixel, quint32 premultiplied, quint32 c)
{
    const quint32 source = c == 255 ? premultiplied : byteMul(premultiplied, c);
    return source + byteMul(pixel, 255 - (source >> 24));
}

void TCoverageRaster::Sweep(quint32 premultiplied, bool evenOdd)
{
    for (int row = 0; row < height_; ++row) {
        const int first = first_[row], last = last_[row];
        if (first > last)
            continue;
        first_[row] = INT_MAX;
        last_[row] = -1;
        float* cell = cells_ + ptrdiff_t(row) * stride_;
        // Coverage of the row's pixels first, then the blend in one pass.
        const int end = std::min(last + 1, width_);
        float sum = 0;
        for (int i = first; i < end;) {
            sum += cell[i];
            cell[i] = 0;
            const int c = quantise(sum, evenOdd);
            // Cells no edge reached keep the coverage: the inside of a
            // shape, or a gap between two parts of it.
            cover_[i++] = quint8(c);
            while (i < end && cell[i] == 0)
                cover_[i++] = quint8(c);
        }
        for (int i = std::max(end, first); i <= last; ++i)
            cell[i] = 0;
        if (first < end)
            blendRow(reinterpret_cast<quint32*>(bits_ + (top_ + row) * bytesPerLine_) + left_, first, end,
                premultiplied);
    }
}

// The pixels first .. end-1 of a row by their coverage.
void TCoverageRaster::blendRow(quint32* pixel, int first, int end, quint32 premultiplied) const
{
    const bool opaque = premultiplied >> 24 == 255;
    int i = first;
#ifdef __SSE2__
    const __m128i rbMask = _mm_set1_epi32(0x00ff00ff);
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i colour = _mm_set1_epi32(int(premultiplied));
    const __m128i colourRB = _mm_and_si128(colour, rbMask);
    const __m128i colourAG = _mm_srli_epi16(colour, 8);
    // Each 16-bit lane divided by 255 as byteMul does it.
    const auto divide = [&](__m128i v) {
        v = _mm_add_epi16(v, _mm_srli_epi16(v, 8));
        return _mm_srli_epi16(_mm_add_epi16(v, half), 8);
    };
    for (; i + 4 <= end; i += 4) {
        quint32 c4;
        std::memcpy(&c4, cover_ + i, 4);
        if (c4 == 0)
            continue;
        auto* at = reinterpret_cast<__m128i*>(pixel + i);
        if (c4 == 0xffffffffu && opaque) {
            _mm_storeu_si128(at, colour);
            continue;
        }
        // Every pixel's coverage in each of its two 16-bit lanes.
        __m128i c = _mm_cvtsi32_si128(int(c4));
        c = _mm_unpacklo_epi8(c, c);
        c = _mm_and_si128(_mm_unpacklo_epi16(c, c), rbMask);
        const __m128i sourceRB = divide(_mm_mullo_epi16(colourRB, c));
        const __m128i sourceAG = divide(_mm_mullo_epi16(colourAG, c));
        const __m128i alpha = _mm_shufflehi_epi16(
            _mm_shufflelo_epi16(sourceAG, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
        const __m128i keep = _mm_sub_epi16(full, alpha);
        const __m128i d = _mm_loadu_si128(at);
        const __m128i keptRB = divide(_mm_mullo_epi16(_mm_and_si128(d, rbMask), keep));
        const __m128i keptAG = divide(_mm_mullo_epi16(_mm_srli_epi16(d, 8), keep));
        const __m128i source = _mm_or_si128(sourceRB, _mm_slli_epi16(sourceAG, 8));
        const __m128i kept = _mm_or_si128(keptRB, _mm_slli_epi16(keptAG, 8));
        _mm_storeu_si128(at, _mm_add_epi32(source, kept));
    }
#endif
    for (; i < end; ++i) {
        const quint32 c = cover_[i];
        if (c == 0)
            continue;
        pixel[i] = c == 255 && opaque ? premultiplied : BlendPixel(pixel[i], premultiplied, c);
    }
}

// Points on the edge are found from its nearer end: with one end far away,
// the other's precision is kept.
void TCoverageRaster::edgeClipped(PointF a, PointF b)
{
    const float w = float(width_), h = float(height_);
    // Most edges of an outline the window cuts lie wholly on one side of its
    // right edge. Beyond it they add only to cells past the last pixel, which
    // no sweep reads; what counts is that their rows are swept to the end,
    // as the shape's inside reaches that far. Within it they need no cutting.
    if (a.X >= w && b.X >= w) {
        const float top = std::max(std::min(a.Y, b.Y), 0.0f), bottom = std::min(std::max(a.Y, b.Y), h);
        if (!(bottom > top))
            return;
        const int first = int(top), last = std::max(first, std::min(height_, ceilOf(bottom)) - 1);
        for (int row = first; row <= last; ++row) {
            first_[row] = std::min(first_[row], width_);
            last_[row] = std::max(last_[row], width_ + 1);
        }
        return;
    }
    if (a.X >= 0 && b.X >= 0 && a.X <= w && b.X <= w && a.Y >= 0 && b.Y >= 0 && a.Y <= h && b.Y <= h) {
        if (a.Y < b.Y)
            accumulate(a.X, a.Y, b.X, b.Y, 1.0f);
        else if (a.Y > b.Y)
            accumulate(b.X, b.Y, a.X, a.Y, -1.0f);
        return;
    }
    double ax = a.X, ay = a.Y, bx = b.X, by = b.Y;
    if (ay == by)
        return;
    float dir = 1.0f;
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
        dir = -1.0f;
    }
    const double height = height_, width = width_;
    if (by <= 0 || ay >= height)
        return;
    const double dxdy = (bx - ax) / (by - ay);
    const auto xAt = [&](double y) { return y - ay < by - y ? ax + (y - ay) * dxdy : bx - (by - y) * dxdy; };
    // The rows it crosses, cut where it crosses the left and right sides.
    double ys[4] = { std::max(ay, 0.0), 0, 0, 0 };
    int n = 1;
    const double last = std::min(by, height);
    if (bx != ax) {
        const double dydx = (by - ay) / (bx - ax);
        for (const double side : { 0.0, width }) {
            if (!((ax - side) * (bx - side) < 0))
                continue;
            const double y = std::abs(side - ax) < std::abs(side - bx) ? ay + (side - ax) * dydx
                                                                       : by + (side - bx) * dydx;
            if (y > ys[0] && y < last)
                ys[n++] = y;
        }
        if (n == 3 && ys[2] < ys[1])
            std::swap(ys[1], ys[2]);
    }
    ys[n++] = last;
    for (int i = 0; i + 1 < n; ++i) {
        // Which side a piece lies on is decided in its middle: a crossing
        // that rounds onto an end must not turn a piece beside the window
        // into a slope across it.
        const double middle = xAt((ys[i] + ys[i + 1]) / 2);
        float x0 = 0, x1 = 0;
        if (middle >= width) {
            x0 = x1 = float(width);
        } else if (middle > 0) {
            x0 = float(std::clamp(xAt(ys[i]), 0.0, width));
            x1 = float(std::clamp(xAt(ys[i + 1]), 0.0, width));
        }
        accumulate(x0, float(ys[i]), x1, float(ys[i + 1]), dir);
    }
}

} // namespace vesk
