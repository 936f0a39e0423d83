#include "Starterpads.h"

namespace vesk {

namespace {

// Copper diameter or side, and the drill that leaves a sound ring around it.
struct TDrilledSize {
    double size;
    double hole;
};
constexpr TDrilledSize kDrilledSizes[]
    = { { 1.2, 0.6 }, { 1.6, 0.8 }, { 2.0, 1.0 }, { 2.5, 1.0 }, { 3.0, 1.0 } };

// Oblong pads suit DIL rows and power packages; the second drill takes
// TO-220 and connector leads.
constexpr double kOblongHoles[] = { 0.8, 1.0 };

QString mm(double v)
{
    return QString::number(v, 'f', 1);
}

} // namespace

TPadSpec RoundPad(double diameter, double hole)
{
    return { TPadShape::Round, diameter, diameter, hole, true };
}

TPadSpec SquarePad(double side, double hole)
{
    return { TPadShape::Square, side, side, hole, true };
}

TPadSpec OblongPad(double width, double height, double hole)
{
    return { TPadShape::Oblong, width, height, hole, true };
}

TPadSpec SurfacePad(double width, double height)
{
    return { TPadShape::Square, width, height, 0, true };
}

const std::vector<TChipLand>& ChipLands()
{
    // Nominal reflow land patterns of the metric 1608, 2012 and 3216 sizes.
    static const std::vector<TChipLand> lands = {
        { "0603", 0.9, 1.0, 1.6 },
        { "0805", 1.0, 1.4, 1.9 },
        { "1206", 1.15, 1.8, 2.9 },
    };
    return lands;
}

std::vector<TStarterPad> StarterPads()
{
    std::vector<TStarterPad> pads;
    for (const TDrilledSize& d : kDrilledSizes) {
        pads.push_back(
            { QStringLiteral("round_%1_%2.vbf").arg(mm(d.size), mm(d.hole)), RoundPad(d.size, d.hole) });
        pads.push_back(
            { QStringLiteral("square_%1_%2.vbf").arg(mm(d.size), mm(d.hole)), SquarePad(d.size, d.hole) });
    }
    for (double hole : kOblongHoles)
        pads.push_back({ QStringLiteral("oblong_1.6x2.4_%1.vbf").arg(mm(hole)), OblongPad(1.6, 2.4, hole) });
    for (const TChipLand& land : ChipLands())
        pads.push_back({ QStringLiteral("smd_%1.vbf").arg(QLatin1String(land.size)),
            SurfacePad(land.padWidth, land.padHeight) });
    // A via stays under the mask: nothing is soldered to it.
    TPadSpec via = RoundPad(0.8, 0.4);
    via.maskOpening = false;
    pads.push_back({ QStringLiteral("via_0.8_0.4.vbf"), via });
    return pads;
}

} // namespace vesk
