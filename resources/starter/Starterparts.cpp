#include "Starterparts.h"

#include "Starterdrawing.h"
#include "Starterpads.h"

#include <cmath>
#include <numbers>

namespace vesk {

namespace {

constexpr double kPitch = 2.54;

PointF at(double x, double y)
{
    return { Mm(x), Mm(y) };
}

// A point at `radius` millimetres from the origin, `degrees` clockwise from +x.
PointF polar(double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180;
    return at(radius * std::cos(a), radius * std::sin(a));
}

// `count` pins numbered from `first`, the first at `start` and each next one
// `step` further; pin 1 takes the marking pad.
void pinRow(TStarterDrawing& d, int first, int count, PointF start, PointF step, const TPadSpec& pad,
    const TPadSpec& pin1)
{
    for (int i = 0; i < count; ++i)
        d.AddPin(first + i == 1 ? pin1 : pad, start + step * float(i), first + i);
}

void rectangle(TStarterDrawing& d, double halfWidth, double halfHeight)
{
    d.Rectangle(at(-halfWidth, -halfHeight), at(halfWidth, halfHeight));
}

// A "+" beside the positive lead of a polarised part.
void plusMark(TStarterDrawing& d, double x, double y)
{
    constexpr double arm = 0.3;
    d.Line(at(x - arm, y), at(x + arm, y));
    d.Line(at(x, y - arm), at(x, y + arm));
}

// Dual-in-line: pin 1 top left, counted down the left row and up the right.
void dualRows(
    TStarterDrawing& d, int pins, double pitch, double rowSpacing, const TPadSpec& pad, const TPadSpec& pin1)
{
    const int perRow = pins / 2;
    const double top = -pitch * (perRow - 1) / 2;
    pinRow(d, 1, perRow, at(-rowSpacing / 2, top), at(0, pitch), pad, pin1);
    pinRow(d, perRow + 1, perRow, at(rowSpacing / 2, -top), at(0, -pitch), pad, pin1);
}

// ---------------------------------------------------------------- DIP

void addDips(std::vector<TStarterPart>& parts)
{
    // JEDEC plastic DIPs: 0.3 inch rows up to 20 pins, 0.6 inch from 24.
    struct Dip {
        int pins;
        double rows;
    };
    constexpr Dip kDips[] = { { 8, 7.62 }, { 14, 7.62 }, { 16, 7.62 }, { 18, 7.62 }, { 20, 7.62 },
        { 24, 15.24 }, { 28, 15.24 } };
    for (const Dip& dip : kDips)
        parts.push_back({ QStringLiteral("DIP/DIP-%1.vbf").arg(dip.pins), [dip](TStarterDrawing& d) {
                             dualRows(d, dip.pins, kPitch, dip.rows, RoundPad(1.6, 0.8), SquarePad(1.6, 0.8));
                             // The body between the rows, notched at the pin-1 end.
                             const double w = dip.rows / 2 - kPitch / 2, h = dip.pins / 2 * kPitch / 2;
                             constexpr double notch = 1.0;
                             d.BeginFigure(at(-w, -h));
                             d.LineTo(at(-notch, -h));
                             d.ArcTo(at(0, -h), -180);
                             d.LineTo(at(w, -h));
                             d.LineTo(at(w, h));
                             d.LineTo(at(-w, h));
                             d.EndFigure(true);
                         } });
}

// ---------------------------------------------------------------- headers

void addHeaders(std::vector<TStarterPart>& parts)
{
    const TPadSpec pad = RoundPad(2.0, 1.0), pin1 = SquarePad(2.0, 1.0);
    for (int rows = 1; rows <= 2; ++rows) {
        const int longest = rows == 1 ? 40 : 20;
        for (int columns = 2; columns <= longest; ++columns) {
            const QString name
                = QStringLiteral("Header/Header_%1x%2.vbf").arg(rows).arg(columns, 2, 10, QLatin1Char('0'));
            parts.push_back(
                { name, [=](TStarterDrawing& d) {
                     const double left = -kPitch * (columns - 1) / 2;
                     const double top = -kPitch * (rows - 1) / 2;
                     // Odd pins along the first row, even pins opposite them.
                     for (int c = 0; c < columns; ++c)
                         for (int r = 0; r < rows; ++r) {
                             const int pin = c * rows + r + 1;
                             d.AddPin(pin == 1 ? pin1 : pad, at(left + c * kPitch, top + r * kPitch), pin);
                         }
                     rectangle(d, columns * kPitch / 2, rows * kPitch / 2);
                 } });
        }
    }
}

// ---------------------------------------------------------------- transistors

void drawTo92(TStarterDrawing& d)
{
    // Leads bent out to 2.54 mm, so that ordinary pads fit between them.
    pinRow(d, 1, 3, at(-kPitch, 0), at(kPitch, 0), RoundPad(1.6, 0.8), SquarePad(1.6, 0.8));
    // The round back, broken where it would cross the outer pads, and the flat face.
    constexpr double r = 2.6, face = 43.8; // the face 1.8 mm before the leads
    d.BeginFigure(polar(r, -155));
    d.ArcTo(at(0, 0), 130);
    d.EndFigure(false);
    d.BeginFigure(polar(r, 25));
    d.ArcTo(at(0, 0), face - 25);
    d.LineTo(polar(r, 180 - face));
    d.ArcTo(at(0, 0), face - 25);
    d.EndFigure(false);
}

void drawTo220(TStarterDrawing& d)
{
    // Standing upright, the metal tab at the back (up).
    pinRow(d, 1, 3, at(-kPitch, 0), at(kPitch, 0), OblongPad(1.6, 2.4, 1.0),
        { TPadShape::Square, 1.6, 2.4, 1.0, true });
    d.Rectangle(at(-5.2, -3.0), at(5.2, 1.6));
    d.Line(at(-5.2, -1.7), at(5.2, -1.7));
}

void drawSot23(TStarterDrawing& d)
{
    // Pins 1 and 2 below, 3 above; 0.95 mm pitch, rows 2.2 mm apart.
    const TPadSpec pad = SurfacePad(0.6, 1.0);
    d.AddPin(pad, at(-0.95, 1.1), 1);
    d.AddPin(pad, at(0.95, 1.1), 2);
    d.AddPin(pad, at(0, -1.1), 3);
    d.Polyline({ at(-0.6, -0.7), at(-1.5, -0.7), at(-1.5, 0.45) }, false);
    d.Polyline({ at(0.6, -0.7), at(1.5, -0.7), at(1.5, 0.45) }, false);
    d.Dot(at(-1.9, 1.1), Mm(0.25));
}

// ---------------------------------------------------------------- SOIC

void addSoics(std::vector<TStarterPart>& parts)
{
    // JEDEC MS-012 narrow body (3.9 mm) lengths; pad rows 5.4 mm apart.
    struct Soic {
        int pins;
        double length;
    };
    constexpr Soic kSoics[] = { { 8, 4.9 }, { 14, 8.65 }, { 16, 9.9 } };
    for (const Soic& soic : kSoics)
        parts.push_back({ QStringLiteral("SOIC/SOIC-%1.vbf").arg(soic.pins), [soic](TStarterDrawing& d) {
                             const TPadSpec pad = SurfacePad(1.55, 0.6);
                             dualRows(d, soic.pins, 1.27, 5.4, pad, pad);
                             rectangle(d, 1.45, soic.length / 2);
                             d.Dot(at(-0.85, -soic.length / 2 + 0.65), Mm(0.25));
                         } });
}

// ---------------------------------------------------------------- passives

void addPassives(std::vector<TStarterPart>& parts)
{
    for (const char* kind : { "Resistor/R", "Capacitor/C" })
        for (const TChipLand& land : ChipLands())
            parts.push_back({ QStringLiteral("%1_%2.vbf").arg(QLatin1String(kind), QLatin1String(land.size)),
                [land](TStarterDrawing& d) {
                    const TPadSpec pad = SurfacePad(land.padWidth, land.padHeight);
                    pinRow(d, 1, 2, at(-land.pitch / 2, 0), at(land.pitch, 0), pad, pad);
                    rectangle(d, (land.pitch + land.padWidth) / 2 + 0.25, land.padHeight / 2 + 0.25);
                } });
    // Axial parts lying flat, leads bent to 10.16 mm.
    struct Axial {
        const char* path;
        double bodyLength;
        double bodyDiameter;
    };
    constexpr Axial kAxials[]
        = { { "Resistor/R_Axial_10.16.vbf", 6.3, 2.5 }, { "Capacitor/C_Axial_10.16.vbf", 5.0, 2.6 } };
    for (const Axial& axial : kAxials)
        parts.push_back({ QLatin1String(axial.path), [axial](TStarterDrawing& d) {
                             constexpr double span = 10.16;
                             const TPadSpec pad = RoundPad(1.6, 0.8);
                             pinRow(d, 1, 2, at(-span / 2, 0), at(span, 0), pad, pad);
                             const double half = axial.bodyLength / 2, lead = span / 2 - 0.8 - 0.3;
                             rectangle(d, half, axial.bodyDiameter / 2);
                             d.Line(at(-half, 0), at(-lead, 0));
                             d.Line(at(half, 0), at(lead, 0));
                         } });
}

void addElectrolytics(std::vector<TStarterPart>& parts)
{
    // Radial electrolytic capacitors: can diameter and lead spacing.
    struct Radial {
        const char* path;
        double diameter;
        double spacing;
        double pad;
        double hole;
    };
    constexpr Radial kRadials[] = {
        { "Capacitor/CP_Radial_D5.0_P2.0.vbf", 5.0, 2.0, 1.6, 0.8 },
        { "Capacitor/CP_Radial_D8.0_P3.5.vbf", 8.0, 3.5, 1.6, 0.8 },
        { "Capacitor/CP_Radial_D10.0_P5.0.vbf", 10.0, 5.0, 2.0, 1.0 },
    };
    for (const Radial& c : kRadials)
        parts.push_back({ QLatin1String(c.path), [c](TStarterDrawing& d) {
                             // Pin 1, the positive lead, is square and marked "+".
                             pinRow(d, 1, 2, at(-c.spacing / 2, 0), at(c.spacing, 0), RoundPad(c.pad, c.hole),
                                 SquarePad(c.pad, c.hole));
                             d.Circle(at(0, 0), Mm(c.diameter / 2 + 0.25));
                             plusMark(d, -c.spacing / 2, -(c.pad / 2 + 0.9));
                         } });
}

// ---------------------------------------------------------------- mounting

void addMountingHoles(std::vector<TStarterPart>& parts)
{
    // Plated holes with a ring wide enough for the screw head.
    struct Hole {
        const char* size;
        double hole;
        double ring;
    };
    constexpr Hole kHoles[] = { { "M2", 2.2, 4.0 }, { "M2.5", 2.7, 5.0 }, { "M3", 3.2, 6.0 } };
    for (const Hole& h : kHoles)
        parts.push_back({ QStringLiteral("Mounting/MountingHole_%1.vbf").arg(QLatin1String(h.size)),
            [h](TStarterDrawing& d) {
                d.AddPin(RoundPad(h.ring, h.hole), at(0, 0), 1);
                d.Circle(at(0, 0), Mm(h.ring / 2 + 0.3));
            } });
}

} // namespace

std::vector<TStarterPart> StarterParts()
{
    std::vector<TStarterPart> parts;
    addDips(parts);
    addHeaders(parts);
    parts.push_back({ QStringLiteral("Transistor/TO-92.vbf"), drawTo92 });
    parts.push_back({ QStringLiteral("Transistor/TO-220.vbf"), drawTo220 });
    parts.push_back({ QStringLiteral("Transistor/SOT-23.vbf"), drawSot23 });
    addSoics(parts);
    addPassives(parts);
    addElectrolytics(parts);
    addMountingHoles(parts);
    return parts;
}

} // namespace vesk
