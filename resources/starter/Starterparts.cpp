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
    // Radial electrolytic capacitors: can diameter and lead spacing. The
    // metric spacings fall off the 1.27 mm grid, so the part is held at its
    // positive lead: that one lands on the grid.
    struct Radial {
        const char* path;
        double diameter;
        double spacing;
        double pad;
        double hole;
    };
    constexpr Radial kRadials[] = {
        { "Capacitor/CP_Radial_D5.0_P2.0.vbf", 5.0, 2.0, 1.6, 0.8 },
        { "Capacitor/CP_Radial_D5.0_P2.5.vbf", 5.0, 2.5, 1.6, 0.8 },
        { "Capacitor/CP_Radial_D6.3_P2.5.vbf", 6.3, 2.5, 1.6, 0.8 },
        { "Capacitor/CP_Radial_D8.0_P3.5.vbf", 8.0, 3.5, 1.6, 0.8 },
        { "Capacitor/CP_Radial_D10.0_P5.0.vbf", 10.0, 5.0, 2.0, 1.0 },
    };
    for (const Radial& c : kRadials)
        parts.push_back({ QLatin1String(c.path), [c](TStarterDrawing& d) {
                             // Pin 1, the positive lead, is square and marked "+".
                             pinRow(d, 1, 2, at(0, 0), at(c.spacing, 0), RoundPad(c.pad, c.hole),
                                 SquarePad(c.pad, c.hole));
                             d.Circle(at(c.spacing / 2, 0), Mm(c.diameter / 2 + 0.25));
                             plusMark(d, 0, -(c.pad / 2 + 0.9));
                         } });
}

// ---------------------------------------------------------------- LEDs

void addLeds(std::vector<TStarterPart>& parts)
{
    // Round LEDs on 2.54 mm leads. Pin 1, the cathode, takes the square pad
    // and lies on the flat of the flange, which the print shows.
    struct Led {
        const char* path;
        double flange; // diameter
        double pad;
        double hole;
        double flatDegrees; // half the angle the flat cuts from the outline
    };
    constexpr Led kLeds[] = {
        { "LED/LED_3mm.vbf", 3.8, 1.6, 0.8, 18 },
        { "LED/LED_5mm.vbf", 5.8, 1.8, 0.9, 35 },
    };
    for (const Led& led : kLeds)
        parts.push_back({ QLatin1String(led.path), [led](TStarterDrawing& d) {
                             pinRow(d, 1, 2, at(-kPitch / 2, 0), at(kPitch, 0), RoundPad(led.pad, led.hole),
                                 SquarePad(led.pad, led.hole));
                             // Round but for the flat on the cathode's side (-x).
                             const double r = led.flange / 2 + 0.2 + (led.flange < 4 ? 0.3 : 0);
                             d.BeginFigure(polar(r, 180 + led.flatDegrees));
                             d.ArcTo(at(0, 0), 360 - 2 * led.flatDegrees);
                             d.EndFigure(true);
                         } });
}

// ---------------------------------------------------------------- switches, connectors

void drawTactileSwitch(TStarterDrawing& d)
{
    // The 6 x 6 mm tactile switch: leads 6.5 mm apart along the body, 4.5 mm
    // across it; 1 and 2 are joined inside, as are 3 and 4. Held at pin 1.
    const TPadSpec pad = RoundPad(2.0, 1.0), pin1 = SquarePad(2.0, 1.0);
    constexpr double dx = 6.5, dy = 4.5;
    d.AddPin(pin1, at(0, 0), 1);
    d.AddPin(pad, at(dx, 0), 2);
    d.AddPin(pad, at(0, dy), 3);
    d.AddPin(pad, at(dx, dy), 4);
    // The body's edges between the pads, and the button.
    constexpr double cx = dx / 2, cy = dy / 2, half = 3.0;
    d.Line(at(cx - 1.9, cy - half), at(cx + 1.9, cy - half));
    d.Line(at(cx - 1.9, cy + half), at(cx + 1.9, cy + half));
    d.Line(at(cx - half, cy - 0.9), at(cx - half, cy + 0.9));
    d.Line(at(cx + half, cy - 0.9), at(cx + half, cy + 0.9));
    d.Circle(at(cx, cy), Mm(1.75));
}

void addTerminalBlocks(std::vector<TStarterPart>& parts)
{
    // Screw terminals on 5.08 mm: leads of about 1.1 mm, the body 8 mm deep,
    // the wire entering at +y. The pitch is on the grid, so the part is centred.
    constexpr double pitch = 5.08;
    for (int ways = 2; ways <= 3; ++ways)
        parts.push_back(
            { QStringLiteral("Connector/TerminalBlock_1x%1_P5.08.vbf").arg(ways, 2, 10, QLatin1Char('0')),
                [ways](TStarterDrawing& d) {
                    pinRow(d, 1, ways, at(-pitch * (ways - 1) / 2, 0), at(pitch, 0), RoundPad(2.6, 1.3),
                        SquarePad(2.6, 1.3));
                    const double half = pitch * ways / 2;
                    d.Rectangle(at(-half, -4.0), at(half, 4.0));
                    d.Line(at(-half, 2.5), at(half, 2.5));
                } });
}

void drawCrystalHc49(TStarterDrawing& d)
{
    // HC-49/U: leads 4.88 mm apart, a can of 11.05 x 4.65 mm. Held at pin 1.
    constexpr double pitch = 4.88, length = 11.05, width = 4.65;
    pinRow(d, 1, 2, at(0, 0), at(pitch, 0), RoundPad(1.6, 0.8), RoundPad(1.6, 0.8));
    constexpr double r = width / 2, cx = pitch / 2, straight = length / 2 - r;
    d.BeginFigure(at(cx - straight, -r));
    d.LineTo(at(cx + straight, -r));
    d.ArcTo(at(cx + straight, 0), 180);
    d.LineTo(at(cx - straight, r));
    d.ArcTo(at(cx - straight, 0), 180);
    d.EndFigure(true);
}

void drawDcJack(TStarterDrawing& d)
{
    // The 5.5/2.1 mm barrel jack of the DC-005 footprint, lying with the plug
    // entering from -x: its flat blades go into slots of 1 x 3 mm. Pin 1, the
    // centre pin, at the back; pin 2 the sleeve; pin 3 the switch at the side.
    TPadSpec centre = SquarePad(3.5, 1.0);
    centre.slotLength = 3.0;
    TPadSpec sleeve = OblongPad(3.0, 3.5, 1.0);
    sleeve.slotLength = 3.0;
    TPadSpec side = OblongPad(3.5, 3.0, 1.0);
    side.slotLength = 3.0;
    d.AddPin(centre, at(0, 0), 1);
    d.AddPin(sleeve, at(-6.0, 0), 2);
    d.AddPin(side, at(-3.0, 4.7), 3);
    // The 14.4 x 9 mm body, broken where it would cross the pads.
    constexpr double back = 0.7, front = -13.7, half = 4.5;
    d.Polyline({ at(back, -2.0), at(back, -half), at(front, -half), at(front, half), at(-5.0, half) }, false);
    d.Polyline({ at(-1.0, half), at(back, half), at(back, 2.0) }, false);
}

void drawTo220Horizontal(TStarterDrawing& d)
{
    // Laid flat on its tab, the leads bent down 3.81 mm from the body; the
    // tab's screw hole (3.2 mm, for M3) is drilled without plating.
    pinRow(d, 1, 3, at(-kPitch, 0), at(kPitch, 0), OblongPad(1.6, 2.4, 1.0),
        { TPadShape::Square, 1.6, 2.4, 1.0, true });
    constexpr double body = -3.81, tab = body - 9.15, top = body - 15.4, hole = -16.51;
    d.Rectangle(at(-5.0, top), at(5.0, body));
    d.Line(at(-5.0, tab), at(5.0, tab));
    d.AddNonPlatedHole(at(0, hole), 3.2);
}

// ---------------------------------------------------------------- mounting

void addMountingHoles(std::vector<TStarterPart>& parts)
{
    // For each screw two holes: plated with a ring wide enough for the head
    // (the screw grounds to the copper), and non-plated without copper. The
    // print circle keeps tracks clear of the head either way.
    struct Hole {
        const char* size;
        double hole;
        double ring;
    };
    constexpr Hole kHoles[] = { { "M2", 2.2, 4.0 }, { "M2.5", 2.7, 5.0 }, { "M3", 3.2, 6.0 } };
    for (const Hole& h : kHoles) {
        parts.push_back({ QStringLiteral("Mounting/MountingHole_%1_PTH.vbf").arg(QLatin1String(h.size)),
            [h](TStarterDrawing& d) {
                d.AddPin(RoundPad(h.ring, h.hole), at(0, 0), 1);
                d.Circle(at(0, 0), Mm(h.ring / 2 + 0.3));
            } });
        parts.push_back({ QStringLiteral("Mounting/MountingHole_%1_NPTH.vbf").arg(QLatin1String(h.size)),
            [h](TStarterDrawing& d) {
                d.AddNonPlatedHole(at(0, 0), h.hole);
                d.Circle(at(0, 0), Mm(h.ring / 2 + 0.3));
            } });
    }
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
    addLeds(parts);
    parts.push_back({ QStringLiteral("Switch/SW_Tactile_6x6.vbf"), drawTactileSwitch });
    addTerminalBlocks(parts);
    parts.push_back({ QStringLiteral("Crystal/Crystal_HC-49U.vbf"), drawCrystalHc49 });
    parts.push_back({ QStringLiteral("Connector/DC_Jack_5.5x2.1.vbf"), drawDcJack });
    parts.push_back({ QStringLiteral("Transistor/TO-220_Horizontal.vbf"), drawTo220Horizontal });
    addMountingHoles(parts);
    return parts;
}

} // namespace vesk
