#pragma once

#include "geometry/PointF.h"
#include "io/Veskdocument.h"

#include <QString>
#include <vector>

namespace vesk {

class TVeskContainer;
class TVeskLayer;

// Millimetres to document units (0.1 mm).
constexpr float Mm(double millimetres)
{
    return float(millimetres * 10.0);
}

// The copper figure of a pad.
enum class TPadShape {
    Round, // a circle of the width
    Square, // a width × height rectangle
    Oblong, // a stadium: round ends on the longer side
};

// One pad as a board house reads it, in millimetres: copper on the
// component side (and on the solder side for a drilled pad), a solder-mask
// opening larger than the copper on the same sides, a drill on "hole".
struct TPadSpec {
    TPadShape shape = TPadShape::Round;
    double width = 0;
    double height = 0;
    double hole = 0; // 0: a surface pad, component side only
    bool maskOpening = true; // false leaves the pad under the mask (a tented via)
    // Longer than the hole: the drill is a slot of this length along the
    // pad's longer side (across y for a square pad), for a flat blade lead.
    double slotLength = 0;
};

// A starter document being drawn: the default layers and a root part whose
// objects a pad or part file holds, built the way the editor's tools build
// them. Coordinates are document units with the part's origin where the
// editor will put the click point.
class TStarterDrawing {
public:
    TStarterDrawing();

    // The pad's shapes straight in the root (a pad file) ...
    void AddPad(const TPadSpec& pad, PointF at);
    // ... or as one group named after its pin (a part's pad).
    void AddPin(const TPadSpec& pad, PointF at, int pin);
    // A hole without copper (a mounting hole, a tab's screw hole) on the
    // layer "npth", which the drawing gains with it; placing the part adds
    // that layer to a document that lacks it.
    void AddNonPlatedHole(PointF at, double diameter);

    // Print on the component side: strokes of the print width.
    void Line(PointF a, PointF b);
    void Polyline(const std::vector<PointF>& points, bool closed);
    void Rectangle(PointF a, PointF b);
    void Circle(PointF centre, float radius);
    // A filled round mark, such as a pin-1 dot.
    void Dot(PointF centre, float radius);

    // A print outline of straight runs and circular arcs: start a figure,
    // add its runs, end it open or closed. Angles in degrees, y downwards,
    // so a positive sweep turns clockwise on the screen.
    void BeginFigure(PointF start);
    void LineTo(PointF p);
    void ArcTo(PointF centre, double sweepDegrees);
    void EndFigure(bool closed);

    TDocumentResult Write(const QString& fileName) const { return document_.Write(fileName); }
    const TVeskDocument& Document() const { return document_; }

private:
    TVeskLayer* layer(const char* name) const;
    void addPadShapes(TVeskContainer& into, const TPadSpec& pad, PointF at) const;

    TVeskDocument document_;
    // The figure under construction: anchors and, per anchor, the two
    // control points of the segment that leaves it.
    std::vector<PointF> entries_;
};

} // namespace vesk
