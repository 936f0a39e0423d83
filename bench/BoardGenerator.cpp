#include "BoardGenerator.h"

#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Fontresolver.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <array>
#include <random>

namespace vesk {

// Sizes are in document units (0.1 mm), taken from common packages.
namespace {

constexpr float kBoardSize = 3000.0f;
constexpr float kPinPitch = 25.4f;
constexpr float kMaskGrowth = 1.0f; // solder-mask opening beyond the pad, each side
constexpr float kSilkWidth = 1.5f;
constexpr float kRefEm = 12.0f;

TVeskSurface filled()
{
    return TVeskSurface(0.0f, false, true, 4);
}
TVeskSurface stroked(float width)
{
    return TVeskSurface(width, false, false, 4);
}

// The layers of one board side.
struct Side {
    TVeskLayer* copper;
    TVeskLayer* mask;
    TVeskLayer* print;
};

// Footprint coordinates to document coordinates: quarter turns, then a shift.
struct Placement {
    PointF at;
    int quarter = 0;
    PointF operator()(PointF p) const
    {
        for (int i = 0; i < quarter; ++i)
            p = { -p.Y, p.X };
        return at + p;
    }
};

template <class Shape> std::unique_ptr<Shape> deselected(std::unique_ptr<Shape> shape)
{
    shape->SetSelected(false); // placing a shape selects it, as the tools want
    return shape;
}

std::unique_ptr<TVeskRect> makeRect(TVeskLayer* layer, const TVeskSurface& surface, PointF a, PointF b)
{
    auto r = std::make_unique<TVeskRect>(layer, surface);
    r->SetCorners(a, b);
    return deselected(std::move(r));
}

std::unique_ptr<TVeskEllipse> makeCircle(TVeskLayer* layer, const TVeskSurface& surface, PointF c, float r)
{
    auto e = std::make_unique<TVeskEllipse>(layer, surface);
    e->SetCircle(c, { c.X + r, c.Y });
    return deselected(std::move(e));
}

std::unique_ptr<TVeskString> makeText(TVeskLayer* layer, const QString& text, PointF at, float em)
{
    auto t = std::make_unique<TVeskString>(layer, filled());
    t->SetFont(DefaultFontFamily(), 0, em); // before the text, so the glyphs are laid out once
    t->PlaceText(text, at);
    return deselected(std::move(t));
}

// A straight segment's triple: control points on the anchors.
void appendLine(std::vector<PointF>& pts, PointF a, PointF b)
{
    pts.push_back(a);
    pts.push_back(a);
    pts.push_back(b);
}

std::unique_ptr<TVeskPath> makePolyline(
    TVeskLayer* layer, float width, const std::vector<PointF>& anchors, bool closed)
{
    std::vector<PointF> pts;
    for (size_t i = 0; i < anchors.size(); ++i)
        appendLine(pts, anchors[i], anchors[(i + 1) % anchors.size()]);
    auto path = std::make_unique<TVeskPath>(layer, stroked(width));
    path->SetPoints(std::move(pts), {});
    path->SetClosed(closed);
    return path;
}

// Closed silk-screen rectangle of half size h around the footprint's origin.
std::unique_ptr<TVeskPath> makeSilkBox(TVeskLayer* print, const Placement& place, PointF h)
{
    return makePolyline(print, kSilkWidth,
        { place({ -h.X, -h.Y }), place({ h.X, -h.Y }), place({ h.X, h.Y }), place({ -h.X, h.Y }) }, true);
}

class BoardBuilder {
public:
    BoardBuilder(TVeskLayerList& layers, std::uint32_t seed)
        : rng_(seed)
        , top_ { layers.FindLayer(QStringLiteral("component")), layers.FindLayer(QStringLiteral("stop_cmp")),
            layers.FindLayer(QStringLiteral("place_cmp")) }
        , bottom_ { layers.FindLayer(QStringLiteral("solder")), layers.FindLayer(QStringLiteral("stop_sol")),
            layers.FindLayer(QStringLiteral("place_sol")) }
        , hole_(layers.FindLayer(QStringLiteral("hole")))
        , dimension_(layers.FindLayer(QStringLiteral("dimension")))
    {
    }

    std::unique_ptr<TVeskObject> Outline()
    {
        return makeRect(dimension_, stroked(2.0f), { 0, 0 }, { kBoardSize, kBoardSize });
    }

    // One object or footprint, chosen so that tracks make about a third
    // of the objects and the footprints most of the rest.
    std::unique_ptr<TVeskObject> Next()
    {
        switch (kind_(rng_)) {
        case Track:
            return MakeTrack();
        case Via:
            return makeVia(somewhere());
        case Passive:
            return makePassive(side(), placement());
        case Module:
            return makeModule();
        case Soic:
            return makeSoic(side(), placement(), 4 * pick({ 2, 4, 4, 5 }));
        case Qfp:
            return makeQfp(side(), placement(), 4 * pick({ 8, 11, 16, 25 }));
        case Header:
            return makeThroughHole(placement(), pick({ 2, 3, 4, 6, 8, 10, 20 }), pick({ 1, 2, 2 }));
        case Bga:
            return makeBga(side(), placement(), pick({ 8, 10, 12, 16 }));
        default:
            return makeLabel();
        }
    }

    // A track of straight runs on the routing directions, some as curves.
    std::unique_ptr<TVeskObject> MakeTrack()
    {
        static const std::array<PointF, 8> directions { PointF { 1, 0 }, { 0.7071f, 0.7071f }, { 0, 1 },
            { -0.7071f, 0.7071f }, { -1, 0 }, { -0.7071f, -0.7071f }, { 0, -1 }, { 0.7071f, -0.7071f } };
        std::uniform_real_distribution<float> length(20.0f, 250.0f);
        std::bernoulli_distribution curved(0.25);
        std::uniform_int_distribution<int> turn(-1, 1);
        const int anchors = std::uniform_int_distribution<int>(2, 6)(rng_);
        int dir = std::uniform_int_distribution<int>(0, 7)(rng_);
        std::vector<PointF> pts;
        PointF p { 0, 0 };
        for (int i = 0; i + 1 < anchors; ++i) {
            const int nextDir = (dir + turn(rng_) + 8) % 8;
            const float len = length(rng_);
            const PointF next = p + directions[size_t(nextDir)] * len;
            if (curved(rng_)) { // leaves along the old direction, arrives along the new
                pts.push_back(p);
                pts.push_back(p + directions[size_t(dir)] * (len * 0.5f));
                pts.push_back(next - directions[size_t(nextDir)] * (len * 0.5f));
            } else {
                appendLine(pts, p, next);
            }
            p = next;
            dir = nextDir;
        }
        appendLine(pts, p, p); // unused closing controls of an open path
        static const std::array<float, 5> widths { 2.5f, 3.0f, 4.0f, 6.0f, 10.0f };
        const float width = widths[size_t(std::uniform_int_distribution<int>(0, 4)(rng_))];
        auto path = std::make_unique<TVeskPath>(coin() ? top_.copper : bottom_.copper, stroked(width));
        path->SetPoints(std::move(pts), {});
        Matrix m;
        const PointF at = somewhere();
        m.Translate(at.X, at.Y);
        path->SetMatrix(m);
        return path;
    }

private:
    enum Kind { Track, Via, Passive, Module, Soic, Qfp, Header, Bga, Label };

    PointF somewhere()
    {
        std::uniform_real_distribution<float> where(0.0f, kBoardSize);
        const float x = where(rng_);
        return { x, where(rng_) };
    }
    bool coin() { return std::bernoulli_distribution(0.5)(rng_); }
    int pick(std::initializer_list<int> values)
    {
        return values.begin()[std::uniform_int_distribution<size_t>(0, values.size() - 1)(rng_)];
    }
    // Most parts sit on the component side.
    const Side& side() { return std::bernoulli_distribution(0.8)(rng_) ? top_ : bottom_; }
    Placement placement()
    {
        const PointF at = somewhere();
        return { at, std::uniform_int_distribution<int>(0, 3)(rng_) };
    }
    QString ref(const char* prefix) { return QString::fromLatin1(prefix) + QString::number(++refs_); }

    // A rectangular pad and its mask opening, centred at c (footprint coordinates).
    void addRectPad(TVeskGroup& g, const Side& s, const Placement& place, PointF c, PointF half)
    {
        const PointF grow { kMaskGrowth, kMaskGrowth };
        g.Adopt(makeRect(s.copper, filled(), place(c - half), place(c + half)));
        g.Adopt(makeRect(s.mask, filled(), place(c - half - grow), place(c + half + grow)));
    }

    void addRoundPad(TVeskGroup& g, const Side& s, PointF c, float r)
    {
        g.Adopt(makeCircle(s.copper, filled(), c, r));
        g.Adopt(makeCircle(s.mask, filled(), c, r + kMaskGrowth));
    }

    // Outline, pin-one mark when asked, and reference text above the outline.
    void addMarkings(
        TVeskGroup& g, const Side& s, const Placement& place, PointF half, const char* prefix, bool pinOne)
    {
        g.Adopt(makeSilkBox(s.print, place, half));
        if (pinOne)
            g.Adopt(makeCircle(s.print, filled(), place({ -half.X - 4, -half.Y - 4 }), 2.0f));
        g.Adopt(makeText(s.print, ref(prefix), place({ -half.X, -half.Y - kRefEm - 4 }), kRefEm));
    }

    std::unique_ptr<TVeskGroup> makeVia(PointF at)
    {
        auto via = std::make_unique<TVeskGroup>();
        via->Adopt(makeCircle(top_.copper, filled(), at, 5.0f));
        via->Adopt(makeCircle(bottom_.copper, filled(), at, 5.0f));
        via->Adopt(makeCircle(hole_, filled(), at, 2.5f));
        return via;
    }

    // Two-pad chip parts from 0402 to 1206.
    std::unique_ptr<TVeskGroup> makePassive(const Side& s, const Placement& place)
    {
        struct Chip {
            float pitch;
            PointF pad;
        };
        static const std::array<Chip, 4> chips { Chip { 10, { 3, 3 } }, { 16, { 4, 4.5f } },
            { 19, { 5, 6.5f } }, { 30, { 6, 8.5f } } };
        static const std::array<const char*, 4> prefixes { "R", "C", "L", "D" };
        const Chip& chip = chips[size_t(pick({ 0, 1, 1, 1, 2, 3 }))];
        auto part = std::make_unique<TVeskGroup>();
        for (float x : { -chip.pitch / 2, chip.pitch / 2 })
            addRectPad(*part, s, place, { x, 0 }, chip.pad);
        addMarkings(*part, s, place, { chip.pitch / 2 + chip.pad.X + 3, chip.pad.Y + 3 },
            prefixes[size_t(pick({ 0, 0, 1, 1, 2, 3 }))], false);
        return part;
    }

    // A row of chip parts with a label: a decoupling or pull-up block.
    std::unique_ptr<TVeskGroup> makeModule()
    {
        const Side& s = side();
        const Placement place = placement();
        const int count = std::uniform_int_distribution<int>(3, 6)(rng_);
        auto module = std::make_unique<TVeskGroup>();
        for (int i = 0; i < count; ++i)
            module->Adopt(makePassive(s, { place({ float(i) * 45.0f, 0 }), place.quarter + 1 }));
        module->Adopt(makeText(s.print, ref("BLK"), place({ -20, 40 }), kRefEm));
        return module;
    }

    // Dual-row gull-wing package, 1.27 mm pitch.
    std::unique_ptr<TVeskGroup> makeSoic(const Side& s, const Placement& place, int pins)
    {
        const int perRow = pins / 2;
        const float span = float(perRow - 1) * 12.7f;
        auto ic = std::make_unique<TVeskGroup>();
        for (int i = 0; i < perRow; ++i) {
            const float x = -span / 2 + float(i) * 12.7f;
            addRectPad(*ic, s, place, { x, 27 }, { 3, 9.5f });
            addRectPad(*ic, s, place, { x, -27 }, { 3, 9.5f });
        }
        addMarkings(*ic, s, place, { span / 2 + 6, 15 }, "U", true);
        return ic;
    }

    // Quad flat package, 0.5 mm pitch, pads on four sides.
    std::unique_ptr<TVeskGroup> makeQfp(const Side& s, const Placement& place, int pins)
    {
        const int perSide = pins / 4;
        const float span = float(perSide - 1) * 5.0f;
        const float row = span / 2 + 15;
        auto ic = std::make_unique<TVeskGroup>();
        for (int i = 0; i < perSide; ++i) {
            const float t = -span / 2 + float(i) * 5.0f;
            addRectPad(*ic, s, place, { t, row }, { 1.4f, 7.5f });
            addRectPad(*ic, s, place, { t, -row }, { 1.4f, 7.5f });
            addRectPad(*ic, s, place, { row, t }, { 7.5f, 1.4f });
            addRectPad(*ic, s, place, { -row, t }, { 7.5f, 1.4f });
        }
        addMarkings(*ic, s, place, { row - 10, row - 10 }, "U", true);
        return ic;
    }

    // Ball grid, 1 mm pitch, round pads.
    std::unique_ptr<TVeskGroup> makeBga(const Side& s, const Placement& place, int balls)
    {
        const float span = float(balls - 1) * 10.0f;
        auto ic = std::make_unique<TVeskGroup>();
        for (int i = 0; i < balls; ++i)
            for (int j = 0; j < balls; ++j)
                addRoundPad(*ic, s, place({ -span / 2 + float(i) * 10, -span / 2 + float(j) * 10 }), 2.5f);
        addMarkings(*ic, s, place, { span / 2 + 8, span / 2 + 8 }, "U", true);
        return ic;
    }

    // Pin headers and DIP packages: each pin a pad stack of its own
    // (copper and mask on both sides, the drill), pin one square.
    std::unique_ptr<TVeskGroup> makeThroughHole(const Placement& place, int perRow, int rows)
    {
        const float span = float(perRow - 1) * kPinPitch;
        const float rowGap = perRow > 4 && rows == 2 ? 3 * kPinPitch : kPinPitch;
        auto part = std::make_unique<TVeskGroup>();
        for (int r = 0; r < rows; ++r) {
            for (int i = 0; i < perRow; ++i) {
                const PointF c = place({ -span / 2 + float(i) * kPinPitch, float(r) * rowGap });
                auto stack = std::make_unique<TVeskGroup>();
                for (const Side* s : { &top_, &bottom_ }) {
                    if (r == 0 && i == 0) {
                        const PointF h { 8.5f, 8.5f }, grow { kMaskGrowth, kMaskGrowth };
                        stack->Adopt(makeRect(s->copper, filled(), c - h, c + h));
                        stack->Adopt(makeRect(s->mask, filled(), c - h - grow, c + h + grow));
                    } else {
                        addRoundPad(*stack, *s, c, 8.5f);
                    }
                }
                stack->Adopt(makeCircle(hole_, filled(), c, 5.0f));
                part->Adopt(std::move(stack));
            }
        }
        const Placement centre { place({ 0, float(rows - 1) * rowGap / 2 }), place.quarter };
        addMarkings(*part, top_, centre, { span / 2 + 14, float(rows - 1) * rowGap / 2 + 14 },
            rows == 2 && perRow > 4 ? "U" : "J", false);
        return part;
    }

    std::unique_ptr<TVeskString> makeLabel()
    {
        static const std::array<const char*, 8> words { "GND", "+3V3", "+5V", "VIN", "TP", "LED", "RESET",
            "REV B" };
        const Side& s = coin() ? top_ : bottom_;
        const QString text = QString::fromLatin1(words[size_t(pick({ 0, 1, 2, 3, 4, 5, 6, 7 }))]);
        return makeText(
            s.print, text + QString::number(++refs_ % 100), somewhere(), float(pick({ 10, 12, 15, 20 })));
    }

    std::mt19937 rng_;
    // Chances per pick in Kind order: each kind's share of the objects over its mean size.
    std::discrete_distribution<int> kind_ { 0.35, 0.02, 0.017, 0.0024, 0.0018, 0.0008, 0.0012, 0.0002, 0.03 };
    Side top_;
    Side bottom_;
    TVeskLayer* hole_;
    TVeskLayer* dimension_;
    int refs_ = 0;
};

} // namespace

int CountObjects(const TVeskObject& object)
{
    int n = 1;
    if (const auto* c = dynamic_cast<const TVeskContainer*>(&object))
        for (const auto& child : c->Children())
            n += CountObjects(*child);
    return n;
}

void GenerateBoard(TVeskDocument& doc, int objectCount, std::uint32_t seed)
{
    BoardBuilder builder(doc.Layers(), seed);
    TVeskPart& root = doc.Root();
    int made = 0;
    if (objectCount > 0) {
        root.Adopt(builder.Outline());
        ++made;
    }
    while (made < objectCount) {
        std::unique_ptr<TVeskObject> next = builder.Next();
        const int size = CountObjects(*next);
        if (made + size > objectCount) // the last few places take single tracks
            next = builder.MakeTrack();
        made += CountObjects(*next);
        root.Adopt(std::move(next));
    }
}

} // namespace vesk
