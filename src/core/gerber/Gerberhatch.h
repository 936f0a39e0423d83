#pragma once

#include "geometry/GraphicsPath.h"
#include "geometry/PointF.h"

#include <cstddef>
#include <span>
#include <vector>

namespace vesk {

// The scan lines of a hatch fill: parallel lines through the bounds of the
// shape, along its longer side (vertical lines for square bounds), the first
// on the near edge of the bounds and each next one `step` further, counted in
// floats as a photo-plot hatch always was, while it stays within the far edge.
struct THatchLines {
    // More lines than any fill of a board needs: 20,000 units across at the
    // smallest pen width's step is 2.5 million.
    static constexpr size_t kMaxLines = 4000000;

    bool horizontal = false;
    // Set, with no lines, when the step would make more than kMaxLines.
    bool tooMany = false;
    // Line positions: y of horizontal lines, x of vertical ones; ascending.
    std::vector<float> at;
    // Ends of every line: x (horizontal) or y (vertical) of its two ends.
    float from = 0;
    float to = 0;
};

// Empty when the bounds or the step are not finite or the step is not
// positive, or when there would be too many lines; lines end where the float
// running value stops advancing.
THatchLines MakeHatchLines(const RectF& bounds, float step);

// Hatch of one flattened figure, as pairs of points (stroke start, stroke
// end) in scan-line order and along each line. An edge counts for a line
// when exactly one of its ends lies strictly beyond it, its crossing is the
// segment intersection of line and edge, and a line that collects an odd
// number of crossings drops the last one found. The crossings pair up
// even-odd; under the winding rule a line where the figure winds twice
// (a star, a figure that runs round twice) is dark wherever the winding
// number is not zero instead. The edges are those between consecutive
// points, plus the closing edge from the last point back to the first when
// `closeFigure` is set (a figure filled as if closed). No pen strokes that
// edge, so stroke centres are kept `keepOff` (half the hatch pen) away from
// it, lest the round ends reach beyond the shape.
std::vector<PointF> HatchFigure(
    std::span<const PointF> points, bool closeFigure, const THatchLines& lines, FillMode mode, float keepOff);

// One figure of a shape made of several, for HatchFigures.
struct THatchFigure {
    std::vector<PointF> points;
    // Closed in the source: the last point already repeats the first.
    bool closed = true;
};

// Hatch of several figures together under the fill rule, as pairs of points:
// each line is dark exactly where the shape is inside, so holes (the counters
// of letters) stay open and overlapping contours do not cancel. Open figures
// count as closed by a straight edge.
std::vector<PointF> HatchFigures(
    std::span<const THatchFigure> figures, FillMode mode, const THatchLines& lines);

} // namespace vesk
