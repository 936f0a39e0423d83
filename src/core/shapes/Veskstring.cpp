#include "Veskstring.h"

#include "Fontresolver.h"
#include "geometry/QtConvert.h"
#include "gerber/Gerberfilestream.h"
#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"
#include "model/Vesklayer.h"
#include "render/Outlinefill.h"

#include <QPainter>

namespace vesk {

TVeskString::TVeskString(TVeskLayer* layer, const TVeskSurface& surface)
    : TVeskInstance(layer)
    , fontFamily_(DefaultFontFamily())
{
    name_ = QStringLiteral("Text");
    surface_.Assign(surface);
}

TVeskString::TVeskString(const TVeskString& other)
    : TVeskInstance(other)
    , bounds_(other.bounds_)
    , framePath_(other.framePath_)
    , textPath_(other.textPath_)
    , text_(other.text_)
    , fontFamily_(other.fontFamily_)
    , fontStyle_(other.fontStyle_)
    , emSize_(other.emSize_)
{
    // The glyphs are shared, not laid out again.
    Assign(other);
}

TVeskString::TVeskString(TVesk_istream& in, TOutlineBuild build)
    : fontFamily_(DefaultFontFamily())
{
    name_ = QStringLiteral("Text");
    readRecord(in);
    if (build == TOutlineBuild::Now)
        Rebuild();
}

TVeskString::~TVeskString() = default;

bool TVeskString::SameState(const TVeskObject& other) const
{
    if (!TVeskInstance::SameState(other))
        return false;
    const auto& o = static_cast<const TVeskString&>(other);
    return text_ == o.text_ && fontFamily_ == o.fontFamily_ && fontStyle_ == o.fontStyle_ && emSize_ == o.emSize_;
}

void TVeskString::readRecord(TVesk_istream& in)
{
    layer_ = in.ReadLayerRef();
    const QString family = in.ReadWideString();
    fontStyle_ = in.ReadInt32();
    emSize_ = in.ReadExtent();
    text_ = in.ReadWideString();
    TVeskObject::Load(in);
    if (in.Failed()) {
        // What was read of a broken record is not lettering to lay out.
        text_.clear();
        fontFamily_ = DefaultFontFamily();
        return;
    }
    fontFamily_ = ResolveFontFamily(family);
}

// ---------------------------------------------------------------- text and font

void TVeskString::PlaceText(const QString& text, PointF at)
{
    selected_ = true;
    matrix_.Reset();
    matrix_.Translate(at.X, at.Y, MatrixOrder::Append);
    text_ = text;
    Rebuild();
}

void TVeskString::SetText(const QString& text)
{
    text_ = text;
    Rebuild();
}

void TVeskString::SetFont(const QString& family, std::int32_t style, float emSize)
{
    // Resolved like a stored name, so what is saved reads back as the same family.
    fontFamily_ = ResolveFontFamily(family);
    fontStyle_ = style;
    emSize_ = emSize;
    Rebuild();
}

void TVeskString::Rebuild()
{
    NoteChanged();
    // A text emptied after it had glyphs must not keep showing the old ones.
    GraphicsPath& glyphs = textPath_.Renew(FillMode::Winding);
    GraphicsPath& frame = framePath_.Renew(FillMode::Winding);
    bounds_ = RectF();
    if (text_.isEmpty() || !FontEngineAvailable())
        return;
    InstallFontSubstitutions();
    glyphs.AddString(text_, fontFamily_, fontStyle_, emSize_, PointF());
    if (glyphs.IsEmpty()) // blanks only, or an em size that lays out nothing
        return;
    const RectF local = glyphs.GetBounds();
    glyphs.Transform(matrix_);
    bounds_ = glyphs.GetBounds();
    frame.AddRectangle(local);
    frame.Transform(matrix_);
}

std::unique_ptr<TVeskObject> TVeskString::Clone() const
{
    return std::make_unique<TVeskString>(*this);
}

// ---------------------------------------------------------------- drawing

void TVeskString::Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index || textPath_->IsEmpty())
        return;
    const ARGB color = surface_.CreateBrush(layer_->DrawColor()).color;
    if (style.pixelMarks)
        if (const auto mark = PixelMarkFor(g, bounds_)) {
            DrawPixelMark(*mark, OutlineArea(*textPath_), color);
            return;
        }
    FillOutline(g, *textPath_, color);
}

void TVeskString::DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index || textPath_->IsEmpty())
        return;
    // Cut-outs print in the paper colour itself, as the other shapes do.
    const SolidBrush brush = layer_->mask || IsCutOut() ? SolidBrush { style.printPaperColor }
                                                        : surface_.CreateBrush(style.printInkColor);
    FillOutline(g, *textPath_, brush.color);
}

void TVeskString::DrawSelection(QPainter& g, const TDrawStyle& style) const
{
    if (!HasSelectionMarks() || framePath_->IsEmpty())
        return;
    StrokeDashedLine(g, *framePath_, style.dashedPen);
}

// ---------------------------------------------------------------- geometry

void TVeskString::AddOutline(GraphicsPath&, int) const
{
}

int TVeskString::WriteGerber(TGerber_ostream& out, int layer) const
{
    if (out.Failed() || layer != layerIndex() || text_.isEmpty())
        return -1;
    // The cached glyphs are those AddString lays out, already placed.
    GraphicsPath glyphs(*textPath_);
    glyphs.SetFillMode(FillMode::Winding);
    out.AddPath(nullptr, glyphs, true);
    return 0;
}

void TVeskString::GetBounds(RectF& out) const
{
    out = bounds_;
}

bool TVeskString::HitTest(PointF p) const
{
    return bounds_.Contains(p) && textPath_->IsVisible(p);
}

bool TVeskString::IntersectsRect(const RectF& rect) const
{
    return rect.IntersectsWith(bounds_) && textPath_->IntersectsRect(rect);
}

bool TVeskString::IntersectsPath(const GraphicsPath& path, const RectF& bounds) const
{
    return bounds.IntersectsWith(bounds_) && textPath_->IntersectsPath(path);
}

// ---------------------------------------------------------------- stream

int TVeskString::Load(TVesk_istream& in)
{
    if (in.Failed())
        return -1;
    TVeskString read(in);
    if (in.Failed())
        return -1;
    Assign(read);
    layer_ = read.layer_;
    text_ = std::move(read.text_);
    fontFamily_ = std::move(read.fontFamily_);
    fontStyle_ = read.fontStyle_;
    emSize_ = read.emSize_;
    textPath_ = std::move(read.textPath_);
    framePath_ = std::move(read.framePath_);
    bounds_ = read.bounds_;
    selected_ = false;
    pointEditing_ = false;
    return 0;
}

int TVeskString::Save(TVesk_ostream& out) const
{
    if (out.Failed())
        return -1;
    out.WriteRaw(Tag(), 4);
    out.WriteLayerRef(layer_);
    out.WriteWideString(fontFamily_);
    out.WriteInt32(fontStyle_);
    out.WriteFloat(emSize_);
    out.WriteWideString(text_);
    return TVeskObject::Save(out);
}

// ---------------------------------------------------------------- selection

bool TVeskString::SelectAt(PointF p)
{
    if (locked_ || !HitTest(p))
        return false;
    selected_ = true;
    NoteChanged();
    return true;
}

bool TVeskString::SelectIn(const RectF& rect)
{
    if (locked_ || !IntersectsRect(rect))
        return false;
    selected_ = true;
    NoteChanged();
    return true;
}

bool TVeskString::SetSelected(bool value)
{
    if (selected_ != value)
        NoteChanged();
    selected_ = value;
    return value;
}

// ---------------------------------------------------------------- transforms

void TVeskString::SetMatrix(const Matrix& m)
{
    TVeskObject::SetMatrix(m);
    Rebuild();
}

void TVeskString::MultiplyMatrix(const Matrix& m, MatrixOrder order)
{
    if (!selected_)
        return;
    TVeskObject::MultiplyMatrix(m, order);
    Rebuild();
}

void TVeskString::Translate(float dx, float dy, MatrixOrder order)
{
    if (!selected_)
        return;
    TVeskObject::Translate(dx, dy, order);
    Rebuild();
}

void TVeskString::RotateAt(float degrees, PointF centre, MatrixOrder order)
{
    if (!selected_)
        return;
    TVeskObject::RotateAt(degrees, centre, order);
    Rebuild();
}

} // namespace vesk
