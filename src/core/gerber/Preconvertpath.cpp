#include "Preconvertpath.h"

#include "Aperturelist.h"
#include "Gerberbody.h"
#include "Preconvertregion.h"

#include <cmath>
#include <numbers>

namespace vesk {

namespace {

// Direction of the segment from b to a in whole degrees, -90 .. 89; 0 for a vertical one.
int capAngle(PointF a, PointF b)
{
    const float dx = a.X - b.X, dy = a.Y - b.Y;
    if (dx == 0)
        return 0;
    return int(std::floor(std::atan(double(dy) / double(dx)) * 180.0 / std::numbers::pi));
}

} // namespace

TPreConvObject::~TPreConvObject() = default;

// ---------------------------------------------------------------- path

TPreConvPath::TPreConvPath(TApertureList& apertures)
    : TPreConvObject(apertures)
{
}

TPreConvPath::~TPreConvPath() = default;

std::vector<THatchFigure> TPreConvPath::SplitFigures(const GraphicsPath& flattened)
{
    const auto points = flattened.Points();
    const auto types = flattened.Types();
    std::vector<THatchFigure> figures;
    size_t i = 0;
    while (i < points.size()) {
        THatchFigure figure;
        figure.closed = false;
        const size_t first = i;
        for (; i < points.size(); ++i) {
            figure.points.push_back(points[i]);
            if (types[i] & PathPointTypeCloseSubpath) {
                // A figure that already ends on its start returns there once.
                if (figure.points.size() < 2 || figure.points.back() != points[first])
                    figure.points.push_back(points[first]);
                figure.closed = true;
                ++i;
                break;
            }
        }
        figures.push_back(std::move(figure));
    }
    return figures;
}

bool TPreConvPath::LoadFigure(const GraphicsPath& path, int n)
{
    GraphicsPath flat(path);
    flat.Flatten(kFlatness);
    bounds_ = flat.GetBounds();
    points_.clear();
    std::vector<THatchFigure> figures = SplitFigures(flat);
    if (n < 0 || size_t(n) >= figures.size())
        return false;
    points_ = std::move(figures[size_t(n)].points);
    closed_ = figures[size_t(n)].closed;
    return !points_.empty();
}

void TPreConvPath::SetFigure(THatchFigure figure, const RectF& bounds)
{
    points_ = std::move(figure.points);
    closed_ = figure.closed;
    bounds_ = bounds;
}

void TPreConvPath::SetPen(const Pen* pen, bool fill)
{
    if (pen)
        pen_ = *pen;
    else
        pen_.reset();
    fill_ = fill;
}

void TPreConvPath::SetHatchGroup(std::shared_ptr<const TPreConvHatchGroup> group, bool writesHatch)
{
    group_ = std::move(group);
    writesGroupHatch_ = writesHatch;
}

void TPreConvPath::Write(TGerberBody& out)
{
    if (pen_ && !out.CheckApertureSize(pen_->width))
        return;
    if (pen_) {
        WriteOutline(out, *pen_);
        if (fill_)
            WriteFill(out, pen_->width);
        return;
    }
    Pen pen;
    pen.width = kDefaultPenWidth;
    WriteOutline(out, pen);
    WriteFill(out, kDefaultPenWidth);
}

void TPreConvPath::WriteOutline(TGerberBody& out, const Pen& pen)
{
    const size_t k = points_.size();
    if (k == 0)
        return;
    const PointF first = points_.front(), last = points_.back();
    const bool square = pen.startCap == LineCap::Square;
    if (square) {
        out.Select(apertures_.PenCode(pen, k >= 2 ? capAngle(first, points_[1]) : 0));
        out.Flash(first);
        out.Select(apertures_.CircleCode(pen.width));
    } else {
        out.Select(apertures_.PenCode(pen, 0));
    }
    out.Move(first);
    for (size_t i = 1; i < k; ++i)
        out.Draw(points_[i]);
    if (square) {
        out.Select(apertures_.PenCode(pen, k >= 2 ? capAngle(points_[k - 2], last) : 0));
        out.Flash(last);
    }
}

void TPreConvPath::WriteFill(TGerberBody& out, float w)
{
    if (group_ && !writesGroupHatch_)
        return;
    // Bounds the file cannot hold are refused before any scan line is made:
    // their number could be without limit.
    if (!out.CheckRange({ bounds_.GetLeft(), bounds_.GetTop() })
        || !out.CheckRange({ bounds_.GetRight(), bounds_.GetBottom() }))
        return;
    const float step = float(double(w) * kHatchStep);
    if (!out.CheckHatchPen(w, step))
        return;
    const THatchLines lines = MakeHatchLines(bounds_, step);
    if (lines.tooMany) {
        out.Refuse({ TMessageId::TooManyHatchLines,
            { QString::number(double(bounds_.Width) * 0.1, 'f', 3),
                QString::number(double(bounds_.Height) * 0.1, 'f', 3),
                QString::number(double(w) * 0.1, 'g', 3), QString::number(THatchLines::kMaxLines) } });
        return;
    }
    const std::vector<PointF> hatch = group_ ? HatchFigures(group_->figures, group_->fillMode, lines)
                                             : HatchFigure(points_, !closed_, lines, fillMode_, w / 2);
    out.Select(apertures_.CircleCode(w));
    for (size_t j = 0; j + 1 < hatch.size(); j += 2) {
        out.Move(hatch[j]);
        out.Draw(hatch[j + 1]);
    }
}

// ---------------------------------------------------------------- flashes

void TPreConvFlash::SetRect(const RectF& rect)
{
    centre_ = { rect.X + rect.Width / 2, rect.Y + rect.Height / 2 };
    width_ = rect.Width;
    height_ = rect.Height;
}

bool TPreConvFlash::checkSize(TGerberBody& out) const
{
    return out.CheckApertureSize(width_) && out.CheckApertureSize(height_);
}

void TPreConvEllipse::Write(TGerberBody& out)
{
    if (!checkSize(out))
        return;
    // An obround has straight sides an ellipse lacks; X2 gives the ellipse itself.
    if (out.Format() == TGerberFormat::X2 && std::fabs(double(width_) - double(height_)) >= 0.0001) {
        GraphicsPath ellipse;
        ellipse.AddEllipse({ centre_.X - width_ / 2, centre_.Y - height_ / 2, width_, height_ });
        ellipse.Flatten(TPreConvRegion::kFlatness);
        TPreConvRegion(apertures_, TPreConvPath::SplitFigures(ellipse), FillMode::Alternate, false)
            .Write(out);
        return;
    }
    out.Select(apertures_.CodeOf(TApEllipse(width_, height_)));
    out.Flash(centre_);
}

void TPreConvRect::Write(TGerberBody& out)
{
    if (!checkSize(out))
        return;
    out.Select(apertures_.CodeOf(TApRect(width_, height_, 0)));
    out.Flash(centre_);
}

} // namespace vesk
