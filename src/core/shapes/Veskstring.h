#pragma once

#include "geometry/GraphicsPath.h"
#include "geometry/PointF.h"
#include "geometry/SharedPath.h"
#include "io/Outlinebuild.h"
#include "model/Veskobject.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace vesk {

// Lettering on a layer: a string with a font family, style bits and an em
// size, laid out from its local origin (the top-left of the first line) and
// placed by the object's matrix. The glyph outlines and the frame around them
// are cached in document coordinates and rebuilt from the string whenever
// the text, the font or the placement changes, so glyphs stay exact at any
// rotation. Glyphs are always filled, on wire-frame layers too; the surface
// only chooses the brush.
//
// The family name is stored as the document gives it (usually a Windows
// family) and drawn through the substitutions of Fontresolver.h; a name that
// cannot be drawn at all becomes DefaultFontFamily() when read or set.
class TVeskString : public TVeskInstance {
public:
    TVeskString(TVeskLayer* layer, const TVeskSurface& surface);
    TVeskString(const TVeskString& other);
    // Reads the record after its tag: payload in the stream's version, then
    // the common block; lays out the glyphs when `build` says so.
    explicit TVeskString(TVesk_istream& in, TOutlineBuild build = TOutlineBuild::Now);
    ~TVeskString() override;

    // Selects the text and places its origin at the world point.
    void PlaceText(const QString& text, PointF at);
    void SetText(const QString& text);
    void SetFont(const QString& family, std::int32_t style, float emSize);

    const QString& GetText() const { return text_; }
    const QString& GetFontFamily() const { return fontFamily_; }
    std::int32_t GetFontStyle() const { return fontStyle_; }
    float GetEmSize() const { return emSize_; }
    // The same fields under the names the document dump uses.
    const QString& Text() const { return text_; }
    const QString& FontFamilyName() const { return fontFamily_; }
    std::int32_t FontStyle() const { return fontStyle_; }
    float EmSize() const { return emSize_; }
    // Glyph outlines and the frame around them, in document coordinates.
    const GraphicsPath& TextPath() const { return *textPath_; }
    bool SameState(const TVeskObject& other) const override;
    const GraphicsPath& FramePath() const { return *framePath_; }

    void Draw(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    void DrawSelection(QPainter& g, const TDrawStyle& style) const override;
    void DrawForPrint(QPainter& g, int layerIndex, const TDrawStyle& style) const override;
    std::unique_ptr<TVeskObject> Clone() const override;
    // An empty text has no glyphs, no frame and empty bounds.
    void Rebuild() override;
    // Text takes no part in merged outlines.
    void AddOutline(GraphicsPath& into, int layerIndex) const override;
    void GetBounds(RectF& out) const override;
    // Reads the record after its tag. A record cut short leaves the object as
    // it was and returns -1.
    int Load(TVesk_istream& in) override;
    int Save(TVesk_ostream& out) const override;
    // The glyph outlines, filled under the winding rule, with the 0.3 mm pen
    // of outline-less shapes; an empty text writes nothing and returns -1.
    int WriteGerber(TGerber_ostream& out, int layer) const override;
    bool HitTest(PointF p) const override;
    bool IntersectsRect(const RectF& rect) const override;
    bool IntersectsPath(const GraphicsPath& path, const RectF& bounds) const override;
    // Unlike the other shapes these keep point editing as it is.
    bool SelectAt(PointF p) override;
    bool SelectIn(const RectF& rect) override;
    bool SetSelected(bool value) override;
    void SetMatrix(const Matrix& m) override;
    // The three transforms act only on a selected text and rebuild its glyphs.
    void MultiplyMatrix(const Matrix& m, MatrixOrder order) override;
    void Translate(float dx, float dy, MatrixOrder order) override;
    void RotateAt(float degrees, PointF centre, MatrixOrder order) override;
    const char* Tag() const override { return "TEXT"; }

private:
    void readRecord(TVesk_istream& in);

    RectF bounds_;
    SharedPath framePath_;
    SharedPath textPath_;
    QString text_;
    QString fontFamily_;
    std::int32_t fontStyle_ = 0;
    float emSize_ = 5.0f;
};

} // namespace vesk
