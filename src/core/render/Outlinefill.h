#pragma once

#include "geometry/Matrix.h"
#include "geometry/Pen.h"
#include "geometry/PointF.h"

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
