#include "Vesksurface.h"

#include "io/Veskfilestream.h"

namespace vesk {

namespace {
    // Stored join and cap values outside the known ones draw as rounded.
    LineCap toCap(std::int32_t v)
    {
        return v == 0 ? LineCap::Flat : v == 1 ? LineCap::Square : LineCap::Round;
    }
    LineJoin toJoin(std::int32_t v)
    {
        return v == 0 ? LineJoin::Miter : v == 1 ? LineJoin::Bevel : LineJoin::Round;
    }
} // namespace

TVeskSurface::TVeskSurface(float width, bool cutOut, bool fill, std::int32_t reserved)
    : width_(width), cutOut_(cutOut), fill_(fill), reserved_(reserved)
{
    if (!fill_ && !PassesWidthRule(width_))
        width_ = kMinimumWidth;
}

int TVeskSurface::Load(TVesk_istream& in)
{
    if (in.Failed())
        return -1;
    width_ = in.ReadExtent();
    cutOut_ = in.ReadBool();
    fill_ = in.ReadBool();
    reserved_ = in.ReadInt32();
    lineJoin_ = in.ReadInt32();
    lineCap_ = in.ReadInt32();
    return 0;
}

int TVeskSurface::Save(TVesk_ostream& out) const
{
    if (out.Failed())
        return -1;
    out.WriteFloat(width_);
    out.WriteBool(cutOut_);
    out.WriteBool(fill_);
    out.WriteInt32(reserved_);
    out.WriteInt32(lineJoin_);
    out.WriteInt32(lineCap_);
    return 0;
}

void TVeskSurface::SetWidth(float width)
{
    if (fill_ || PassesWidthRule(width))
        width_ = width;
}

void TVeskSurface::SetFill(bool fill)
{
    if (!fill && !PassesWidthRule(width_))
        width_ = kMinimumWidth;
    fill_ = fill;
}

Pen TVeskSurface::CreatePen(ARGB color) const
{
    Pen pen;
    pen.color = cutOut_ ? 0xFFFFFFFF : color;
    pen.width = width_;
    pen.startCap = toCap(lineCap_);
    pen.endCap = toCap(lineCap_);
    pen.dashCap = LineCap::Flat;
    pen.lineJoin = toJoin(lineJoin_);
    return pen;
}

SolidBrush TVeskSurface::CreateBrush(ARGB color) const { return { cutOut_ ? 0xFFFFFFFFu : color }; }

} // namespace vesk
