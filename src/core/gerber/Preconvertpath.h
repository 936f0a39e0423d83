#pragma once

#include "Gerberhatch.h"
#include "geometry/GraphicsPath.h"
#include "geometry/Pen.h"
#include "geometry/PointF.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace vesk {

class TApertureList;
class TGerberBody;

// What a drawing object has become on its way into one Gerber file: strokes
// along a figure, a hatch fill, or a flash. The objects of a file are
// collected first and written afterwards, in the order they were added, into
// the body of that file, taking their apertures from its list.
class TPreConvObject {
public:
    explicit TPreConvObject(TApertureList& apertures)
        : apertures_(apertures)
    {
    }
    virtual ~TPreConvObject();
    TPreConvObject(const TPreConvObject&) = delete;
    TPreConvObject& operator=(const TPreConvObject&) = delete;

    virtual void Write(TGerberBody& out) = 0;

    // Clear polarity: the object removes what the dark objects before it made
    // (a cut-out), instead of adding to it.
    void SetClear(bool clear) { clear_ = clear; }
    bool Clear() const { return clear_; }

protected:
    TApertureList& apertures_;

private:
    bool clear_ = false;
};

// The figures of one path that are hatched together under the path's fill
// rule, shared by the figures' objects; the last of them writes the hatch.
struct TPreConvHatchGroup {
    std::vector<THatchFigure> figures;
    FillMode fillMode = FillMode::Alternate;
};

// One figure of a flattened outline: strokes along it with an aperture that
// matches the outline pen (square flashes reproduce square caps), then,
// when filled, a hatch of overlapping strokes 0.8 pen widths apart. A figure
// without pen is stroked and hatched with a 0.3 mm round pen, filled or not.
//
// A path of one figure is hatched under the path's fill rule, as the screen
// fills it; several figures of one path are hatched together under it, so
// that holes stay open. Pen widths and flash sizes that no file can hold, and
// hatch pens too thin for the file's resolution, refuse the body.
class TPreConvPath : public TPreConvObject {
public:
    // Curves are flattened to this tolerance, in document units.
    static constexpr float kFlatness = 1.0f;
    // Pen of objects without outline: 0.3 mm, flat caps.
    static constexpr float kDefaultPenWidth = 3.0f;
    // Hatch strokes are this many pen widths apart.
    static constexpr float kHatchStep = 0.8f;

    explicit TPreConvPath(TApertureList& apertures);
    ~TPreConvPath() override;

    // The figures of a flattened path, told apart only by the close marker: a
    // closed figure ends with a copy of its first point (unless its last point
    // is already that point); points after the last close marker form a
    // last, open figure.
    static std::vector<THatchFigure> SplitFigures(const GraphicsPath& flattened);

    // Figure n (from 0) of the path flattened with kFlatness; bounds are those
    // of the whole flattened path. False when there is no such figure.
    bool LoadFigure(const GraphicsPath& path, int n);
    // The same from a path flattened and split once for all its figures.
    void SetFigure(THatchFigure figure, const RectF& bounds);
    // Keeps a copy of the pen, if any, and the fill flag.
    void SetPen(const Pen* pen, bool fill);
    // The rule a one-figure hatch follows; alternate until set.
    void SetFillMode(FillMode mode) { fillMode_ = mode; }
    // Makes this figure one of several hatched together; `writesHatch` for the last of them.
    void SetHatchGroup(std::shared_ptr<const TPreConvHatchGroup> group, bool writesHatch);

    void Write(TGerberBody& out) override;
    void WriteOutline(TGerberBody& out, const Pen& pen);
    void WriteFill(TGerberBody& out, float w);

    const std::vector<PointF>& Points() const { return points_; }
    bool IsClosed() const { return closed_; }
    bool Fill() const { return fill_; }
    const std::optional<Pen>& GetPen() const { return pen_; }
    const RectF& Bounds() const { return bounds_; }

private:
    std::vector<PointF> points_;
    bool fill_ = false;
    std::optional<Pen> pen_;
    RectF bounds_;
    bool closed_ = false;
    FillMode fillMode_ = FillMode::Alternate;
    std::shared_ptr<const TPreConvHatchGroup> group_;
    bool writesGroupHatch_ = false;
};

// A flash on the centre of a rectangle, with an aperture of its size.
class TPreConvFlash : public TPreConvObject {
public:
    using TPreConvObject::TPreConvObject;

    // Centre and size of the rectangle.
    void SetRect(const RectF& rect);

    float Width() const { return width_; }
    float Height() const { return height_; }
    PointF Centre() const { return centre_; }

protected:
    // Refuses the body for a size no aperture can have.
    bool checkSize(TGerberBody& out) const;

    float width_ = 10.0f;
    float height_ = 10.0f;
    PointF centre_;
};

// A flash of an elliptical aperture (a circle for equal sides).
class TPreConvEllipse : public TPreConvFlash {
public:
    using TPreConvFlash::TPreConvFlash;
    void Write(TGerberBody& out) override;
};

// A flash of an unturned rectangular aperture.
class TPreConvRect : public TPreConvFlash {
public:
    using TPreConvFlash::TPreConvFlash;
    void Write(TGerberBody& out) override;
};

} // namespace vesk
