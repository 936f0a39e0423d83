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
    , framePath_(std::make_unique<GraphicsPath>(FillMode::Winding))
    , textPath_(std::make_unique<GraphicsPath>(FillMode::Winding))
    , fontFamily_(DefaultFontFamily())
{
    name_ = QStringLiteral("Text");
    surface_.Assign(surface);
}

TVeskString::TVeskString(const TVeskString& other)
    : TVeskInstance(other)
    , framePath_(std::make_unique<GraphicsPath>(FillMode::Winding))
    , textPath_(std::make_unique<GraphicsPath>(FillMode::Winding))
    , text_(other.text_)
    , fontFamily_(other.fontFamily_)
    , fontStyle_(other.fontStyle_)
    , emSize_(other.emSize_)
{
    Assign(other);
    Rebuild();
}

TVeskString::TVeskString(TVesk_istream& in)
    : framePath_(std::make_unique<GraphicsPath>(FillMode::Winding))
    , textPath_(std::make_unique<GraphicsPath>(FillMode::Winding))
    , fontFamily_(DefaultFontFamily())
{
    name_ = QStringLiteral("Text");
    readRecord(in);
    Rebuild();
}

TVeskString::~TVeskString() = default;

void TVeskString::readRecord(TVesk_istream& in)
{
    layer_ = in.ReadLayerRef();
    const QString family = in.ReadWideString();
    fontStyle_ = in.ReadInt32();
    emSize_ = in.ReadFloat();
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
    // A text emptied after it had glyphs must not keep showing the old ones.
    textPath_->Reset();
    textPath_->SetFillMode(FillMode::Winding);
    framePath_->Reset();
    framePath_->SetFillMode(FillMode::Winding);
    bounds_ = RectF();
    if (text_.isEmpty() || !FontEngineAvailable())
        return;
    InstallFontSubstitutions();
    textPath_->AddString(text_, fontFamily_, fontStyle_, emSize_, PointF());
    if (textPath_->IsEmpty()) // blanks only, or an em size that lays out nothing
        return;
    const RectF local = textPath_->GetBounds();
    textPath_->Transform(matrix_);
    bounds_ = textPath_->GetBounds();
    framePath_->AddRectangle(local);
    framePath_->Transform(matrix_);
}

std::unique_ptr<TVeskObject> TVeskString::Clone() const
{
    return std::make_unique<TVeskString>(*this);
}

// ---------------------------------------------------------------- drawing

void TVeskString::Draw(QPainter& g, int layerIndex, const TDrawStyle&) const
{
    if (!visible_ || !layer_ || layerIndex != layer_->index || textPath_->IsEmpty())
        return;
    FillOutline(g, *textPath_, surface_.CreateBrush(layer_->DrawColor()).color);
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
    if ((!pointEditing_ && !selected_) || framePath_->IsEmpty())
        return;
    g.strokePath(ToQPainterPath(*framePath_), ToQPen(style.dashedPen));
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
    out.WriteString(layer_ ? layer_->Name() : QString());
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
    return true;
}

bool TVeskString::SelectIn(const RectF& rect)
{
    if (locked_ || !IntersectsRect(rect))
        return false;
    selected_ = true;
    return true;
}

bool TVeskString::SetSelected(bool value)
{
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
