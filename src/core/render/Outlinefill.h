#pragma once

#include "geometry/Matrix.h"
#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <optional>

class QImage;
class QPainter;
class QTransform;

namespace vesk {

class GraphicsPath;

// Anti-aliased fills of a shape's outline in one colour. On a 32-bit image
// painted with anti-aliasing and nothing else unusual (no clip, plain
// source-over, full opacity, an affine transform) the outline is rasterised
// here and blended straight into the pixels; everything else (printers, PDF,
// aliased painting, clips, other formats, outlines too large for the scratch
// buffers, coordinates that are not numbers) is filled by Qt. Qt's per-call
// cost of filling a path dwarfs the work of filling a shape a few pixels
// wide, which is what a board at a useful zoom consists of. A pixel's
// coverage is the area of it inside the outline under the path's fill rule,
// with curves followed to a twentieth of a pixel and vertices left out only
// where that changes no pixel by a whole step; it is quantised and blended as
// Qt quantises and blends a solid colour, so a shape looks the same whichever
// route it takes (Qt follows curves more coarsely). Safe to call from several
// threads at once on different images; each thread keeps its own scratch
// buffers, up to some 10 MB.
void FillOutline(QPainter& g, const GraphicsPath& path, ARGB color);

// Level of detail for screen images: a shape whose device box is smaller
// than a pixel both ways is drawn as one pixel, the one the box's centre
// lies in, in its colour at the coverage its area gives, quantised as a
// fill's. The picture then differs from the full fill only in the pixels the
// box touches and keeps the same ink, however many shapes share a pixel.
struct TPixelMark {
    QImage* image;
    // The pixel; outside the image when the shape lies off it.
    int x, y;
    // Square device pixels per square unit of the painter's coordinates.
    double areaScale;
    // The device box's area, the most a shape inside it can cover.
    double boxArea;
};

// The mark of a shape whose box, in the painter's coordinates, is `bounds`;
// none where the shape is to be drawn in full: not under a pixel both ways,
// or a painter FillOutline's direct route does not serve.
std::optional<TPixelMark> PixelMarkFor(const QPainter& g, const RectF& bounds);
// Draws the mark for a shape of `area` square units of the painter's coordinates.
void DrawPixelMark(const TPixelMark& mark, double area, ARGB color);
// The area the outline's figures enclose, each closed and counted with its
// turn; figures that overlap count twice. Curves exactly.
double OutlineArea(const GraphicsPath& outline);

// A line one device pixel wide along the path, in the pen's colour: with
// anti-aliasing a band one pixel wide with square ends between the centres
// of the pixels its points lie in, so that a line along a row or a column is
// one crisp pixel wide wherever it lies; without anti-aliasing one pixel
// in each column (or row) whose centre the line passes, the rule of Qt's
// aliased hairlines, though Qt adds a pixel here and there at joins and
// steps. Straight into the image on the same terms as FillOutline,
// anti-aliasing aside; else by Qt with a cosmetic pen (and so with the pen's
// dashes), aligned the same way on images and pixmaps.
void StrokeHairline(QPainter& g, const GraphicsPath& path, const Pen& pen);

// Whether marks within `local` (local coordinates placed by `placement`) may
// reach the image the painter paints on, with the few pixels a mark's line
// takes beyond its geometry: false only when they clearly miss it, so that
// marks off the image are skipped before they are built. Always true on
// other devices.
bool MarksMayShow(const QPainter& g, const RectF& local, const Matrix& placement);
// The same for marks within a box in the painter's own coordinates.
bool MarksMayShow(const QPainter& g, const RectF& box);

// StrokeHairline of a path in local coordinates placed by `placement`: the
// selection marks of a placed shape. The direct route leaves the painter's
// transform alone, which costs more than the mark itself when thousands are
// drawn.
void StrokePlacedHairline(QPainter& g, const GraphicsPath& local, const Matrix& placement, const Pen& pen);

// The selection outline of a placed shape, `pen` being the one-pixel
// selection pen. Over a wire frame the figure is itself a one-pixel line,
// maybe in the selection colour (black on "dimension"), so there the mark is
// drawn several pixels wide to show whatever the layer's colour.
void StrokeSelectionOutline(
    QPainter& g, const GraphicsPath& local, const Matrix& placement, const Pen& pen, bool overWireFrame);

// A line of the pen's width along the path in the pen's dashes (the pattern
// in pen widths, from each figure's start), as Qt strokes it with that pen.
// Where the pen comes to about one device pixel on a 32-bit image painted
// without anti-aliasing (the selection overlay), it goes straight into the
// image: each dash is the aliased hairline StrokeHairline draws along its
// stretch. Qt's own dashes differ only in a pixel here and there at their
// ends and at corners.
void StrokeDashedLine(QPainter& g, const GraphicsPath& path, const Pen& pen);

// A wire-frame outline: the bare geometry in local coordinates, placed by
// `placement`, with a pen `width` document units wide (one screen pixel at
// the view's zoom). On an image, where that pen comes to about a pixel, it is
// the hairline StrokeHairline draws; elsewhere (a printer or a PDF, or a pen
// of several pixels) Qt strokes it at its width.
void StrokeWireFrame(
    QPainter& g, const GraphicsPath& local, const Matrix& placement, ARGB color, float width);

// The centre of the pixel a device point lies in.
PointF AlignToPixelCentre(PointF p);

// The direct routes alone: the path, mapped by toDevice, into the image.
// False, with the image untouched, when the image's format, the mapping or
// the outline's size or coordinates need Qt instead.
bool FillOutlineInImage(QImage& image, const QTransform& toDevice, const GraphicsPath& path, ARGB color);
bool StrokeHairlineInImage(
    QImage& image, const QTransform& toDevice, const GraphicsPath& path, ARGB color, bool antialiased);

} // namespace vesk
