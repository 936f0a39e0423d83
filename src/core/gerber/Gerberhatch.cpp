#include "Gerberhatch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace vesk {

namespace {

struct Edge {
    PointF a;
    PointF b;
};

// Position of a point across the scan lines, and along them.
float across(PointF p, bool horizontal)
{
    return horizontal ? p.Y : p.X;
}
float along(PointF p, bool horizontal)
{
    return horizontal ? p.X : p.Y;
}

// The edges crossing each line, in edge order, bucketed without testing every
// edge against every line: an edge counts for the lines at c with
// min <= c < max of its ends, which is exactly "one end strictly beyond c".
class Buckets {
public:
    Buckets(std::span<const Edge> edges, const THatchLines& lines)
        : start_(lines.at.size() + 1, 0)
    {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges(edges.size());
        for (size_t e = 0; e < edges.size(); ++e) {
            const float va = across(edges[e].a, lines.horizontal), vb = across(edges[e].b, lines.horizontal);
            if (std::isnan(va) || std::isnan(vb) || va == vb)
                continue;
            const auto first = std::lower_bound(lines.at.begin(), lines.at.end(), std::min(va, vb));
            const auto end = std::lower_bound(first, lines.at.end(), std::max(va, vb));
            ranges[e] = { std::uint32_t(first - lines.at.begin()), std::uint32_t(end - lines.at.begin()) };
            for (auto i = ranges[e].first; i < ranges[e].second; ++i)
                ++start_[i + 1];
        }
        for (size_t i = 1; i < start_.size(); ++i)
            start_[i] += start_[i - 1];
        edges_.resize(start_.back());
        std::vector<std::uint32_t> fill(start_.begin(), start_.end() - 1);
        for (size_t e = 0; e < edges.size(); ++e)
            for (auto i = ranges[e].first; i < ranges[e].second; ++i)
                edges_[fill[i]++] = std::uint32_t(e);
    }

    std::span<const std::uint32_t> EdgesOf(size_t line) const
    {
        return std::span<const std::uint32_t>(edges_).subspan(start_[line], start_[line + 1] - start_[line]);
    }

private:
    std::vector<std::uint32_t> start_;
    std::vector<std::uint32_t> edges_;
};

// Intersection of the segments P0-P1 and P2-P3 in double precision, ends included.
bool intersect(PointF p0, PointF p1, PointF p2, PointF p3, PointF& at)
{
    const double d1x = double(p1.X) - p0.X, d1y = double(p1.Y) - p0.Y;
    const double d2x = double(p3.X) - p2.X, d2y = double(p3.Y) - p2.Y;
    const double d3x = double(p2.X) - p0.X, d3y = double(p2.Y) - p0.Y;
    const double det = d1x * d2y - d1y * d2x;
    if (det == 0)
        return false;
    const double s = (d2y * d3x - d2x * d3y) / det;
    const double t = (d1y * d3x - d1x * d3y) / det;
    if (!(s >= 0 && s <= 1 && t >= 0 && t <= 1))
        return false;
    at = PointF(float(p0.X + s * d1x), float(p0.Y + s * d1y));
    return true;
}

void appendEdges(std::vector<Edge>& edges, std::span<const PointF> points, bool closeFigure)
{
    for (size_t i = 1; i < points.size(); ++i)
        edges.push_back({ points[i - 1], points[i] });
    if (closeFigure && points.size() >= 3 && points.back() != points.front())
        edges.push_back({ points.back(), points.front() });
}

PointF onLine(float c, float position, bool horizontal)
{
    return horizontal ? PointF(position, c) : PointF(c, position);
}

// The strokes of one scan line by the winding rule, from crossings sorted
// along it: spans where the winding number is not zero. False, leaving
// `strokes` alone, where no span winds twice, since the even-odd pairing of
// the crossings then gives the same strokes. Crossings at one position count
// together, so that the order of a vertex's two edges cannot fake a second turn.
template <class Crossings>
bool pairsByWinding(const Crossings& line, std::vector<PointF>& strokes, bool horizontal)
{
    bool twice = false;
    int winding = 0;
    for (size_t k = 0; k < line.size();) {
        const float at = along(line[k].at, horizontal);
        for (; k < line.size() && along(line[k].at, horizontal) == at; ++k)
            winding += line[k].direction;
        twice |= winding > 1 || winding < -1;
    }
    if (!twice)
        return false;
    winding = 0;
    PointF start;
    for (size_t k = 0; k < line.size();) {
        const PointF here = line[k].at;
        const bool wasInside = winding != 0;
        for (; k < line.size() && along(line[k].at, horizontal) == along(here, horizontal); ++k)
            winding += line[k].direction;
        if (!wasInside && winding != 0) {
            start = here;
        } else if (wasInside && winding == 0) {
            strokes.push_back(start);
            strokes.push_back(here);
        }
    }
    return true;
}

// The positions along a scan line, as an open interval, where a centre lies
// closer than r to the segment from a to b; empty (lo >= hi) where none does.
std::pair<double, double> nearSegment(PointF a, PointF b, double r, float c, bool horizontal)
{
    // The line is o + t u, with t the position along it.
    const double ox = horizontal ? 0.0 : c, oy = horizontal ? c : 0.0;
    const double ux = horizontal ? 1.0 : 0.0, uy = horizontal ? 0.0 : 1.0;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    const auto add = [&](double from, double to) {
        if (from < to) {
            lo = std::min(lo, from);
            hi = std::max(hi, to);
        }
    };
    for (const PointF end : { a, b }) {
        const double dx = end.X - ox, dy = end.Y - oy;
        const double m = dx * ux + dy * uy;
        const double disc = m * m - (dx * dx + dy * dy) + r * r;
        if (disc > 0)
            add(m - std::sqrt(disc), m + std::sqrt(disc));
    }
    const double ex = double(b.X) - a.X, ey = double(b.Y) - a.Y;
    const double length = std::hypot(ex, ey);
    if (length > 0) {
        const double vx = ex / length, vy = ey / length;
        // Within the segment's length along it and within r across it; each
        // a linear condition on t.
        double from = -HUGE_VAL, to = HUGE_VAL;
        const auto within = [&](double base, double slope, double min, double max) {
            if (slope == 0) {
                if (!(base > min && base < max))
                    to = -HUGE_VAL;
                return;
            }
            const double t0 = (min - base) / slope, t1 = (max - base) / slope;
            from = std::max(from, std::min(t0, t1));
            to = std::min(to, std::max(t0, t1));
        };
        const double px = ox - a.X, py = oy - a.Y;
        within(px * vx + py * vy, ux * vx + uy * vy, 0.0, length);
        within(px * -vy + py * vx, ux * -vy + uy * vx, -r, r);
        add(from, to);
    }
    return { lo, hi };
}

// Cuts from the strokes of one scan line (pairs of points along it) what
// lies closer than r to the edge from a to b, which no pen strokes: a round
// end there would reach beyond the shape. Pieces of no length are dropped.
void keepOffEdge(std::vector<PointF>& strokes, PointF a, PointF b, float r, bool horizontal)
{
    if (strokes.empty())
        return;
    const float c = horizontal ? strokes.front().Y : strokes.front().X;
    const auto [lo, hi] = nearSegment(a, b, r, c, horizontal);
    if (!(lo < hi))
        return;
    std::vector<PointF> kept;
    for (size_t j = 0; j + 1 < strokes.size(); j += 2) {
        const double from = along(strokes[j], horizontal), to = along(strokes[j + 1], horizontal);
        if (to <= lo || from >= hi) {
            kept.push_back(strokes[j]);
            kept.push_back(strokes[j + 1]);
            continue;
        }
        if (lo > from) {
            kept.push_back(strokes[j]);
            kept.push_back(onLine(c, float(lo), horizontal));
        }
        if (hi < to) {
            kept.push_back(onLine(c, float(hi), horizontal));
            kept.push_back(strokes[j + 1]);
        }
    }
    strokes = std::move(kept);
}

} // namespace

THatchLines MakeHatchLines(const RectF& bounds, float step)
{
    THatchLines lines;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(bounds.X) || !std::isfinite(bounds.Y)
        || !std::isfinite(bounds.Width) || !std::isfinite(bounds.Height))
        return lines;
    lines.horizontal = bounds.Width > bounds.Height;
    const float first = lines.horizontal ? bounds.Y : bounds.X;
    const float last = lines.horizontal ? bounds.Y + bounds.Height : bounds.X + bounds.Width;
    lines.from = lines.horizontal ? bounds.X : bounds.Y;
    lines.to = lines.horizontal ? bounds.X + bounds.Width : bounds.Y + bounds.Height;
    if ((double(last) - first) / step >= double(THatchLines::kMaxLines)) {
        lines.tooMany = true;
        return lines;
    }
    for (float c = first; c <= last;) {
        lines.at.push_back(c);
        const float next = c + step;
        if (!(next > c))
            break;
        c = next;
    }
    return lines;
}

std::vector<PointF> HatchFigure(
    std::span<const PointF> points, bool closeFigure, const THatchLines& lines, FillMode mode, float keepOff)
{
    std::vector<Edge> edges;
    appendEdges(edges, points, closeFigure);
    const bool closingEdge = !points.empty() && edges.size() == points.size() && keepOff > 0;
    const Buckets buckets(edges, lines);
    const bool horizontal = lines.horizontal;
    struct Crossing {
        PointF at;
        int direction;
    };
    std::vector<PointF> hatch;
    std::vector<Crossing> line;
    std::vector<PointF> strokes;
    for (size_t i = 0; i < lines.at.size(); ++i) {
        const float c = lines.at[i];
        const PointF p0 = onLine(c, lines.from, horizontal), p1 = onLine(c, lines.to, horizontal);
        line.clear();
        for (const std::uint32_t e : buckets.EdgesOf(i)) {
            PointF at;
            if (intersect(p0, p1, edges[e].a, edges[e].b, at))
                line.push_back({ at, across(edges[e].b, horizontal) > c ? 1 : -1 });
        }
        if (line.size() % 2 != 0)
            line.pop_back();
        std::sort(line.begin(), line.end(), [horizontal](const Crossing& a, const Crossing& b) {
            return along(a.at, horizontal) < along(b.at, horizontal);
        });
        strokes.clear();
        if (mode != FillMode::Winding || !pairsByWinding(line, strokes, horizontal))
            for (const Crossing& x : line)
                strokes.push_back(x.at);
        if (closingEdge)
            keepOffEdge(strokes, points.back(), points.front(), keepOff, horizontal);
        hatch.insert(hatch.end(), strokes.begin(), strokes.end());
    }
    return hatch;
}

std::vector<PointF> HatchFigures(
    std::span<const THatchFigure> figures, FillMode mode, const THatchLines& lines)
{
    std::vector<Edge> edges;
    for (const THatchFigure& f : figures)
        appendEdges(edges, f.points, !f.closed);
    const Buckets buckets(edges, lines);
    const bool horizontal = lines.horizontal;
    struct Crossing {
        double position;
        int direction;
    };
    std::vector<PointF> hatch;
    std::vector<Crossing> crossings;
    for (size_t i = 0; i < lines.at.size(); ++i) {
        const float c = lines.at[i];
        crossings.clear();
        for (const std::uint32_t e : buckets.EdgesOf(i)) {
            const PointF a = edges[e].a, b = edges[e].b;
            // Every counted edge crosses the line, so each one's turn must
            // count, even where a rounded intersection would fall just off it.
            const double t = (double(c) - across(a, horizontal))
                / (double(across(b, horizontal)) - across(a, horizontal));
            const double position
                = along(a, horizontal) + t * (double(along(b, horizontal)) - along(a, horizontal));
            crossings.push_back({ std::clamp(position, double(lines.from), double(lines.to)),
                across(b, horizontal) > c ? 1 : -1 });
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& x, const Crossing& y) {
            return x.position < y.position || (x.position == y.position && x.direction < y.direction);
        });
        int winding = 0;
        double start = 0;
        for (const Crossing& x : crossings) {
            const bool wasInside = mode == FillMode::Winding ? winding != 0 : (winding & 1) != 0;
            winding += x.direction;
            const bool inside = mode == FillMode::Winding ? winding != 0 : (winding & 1) != 0;
            if (!wasInside && inside) {
                start = x.position;
            } else if (wasInside && !inside) {
                const float from = float(start), to = float(x.position);
                if (from < to) {
                    hatch.push_back(onLine(c, from, horizontal));
                    hatch.push_back(onLine(c, to, horizontal));
                }
            }
        }
    }
    return hatch;
}

} // namespace vesk
