// Random drawings for tests that compare two ways of doing the same thing.
#pragma once

#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <memory>
#include <random>

namespace vesk::test {

// One random shape somewhere on a 400 x 400 board.
inline std::unique_ptr<TVeskObject> RandomShape(std::mt19937& rng, TVeskLayerList& layers, int depth = 0)
{
    std::uniform_real_distribution<float> at(0, 400), size(0.5f, 40), width(0, 6);
    std::uniform_int_distribution<int> kind(0, depth < 2 ? 4 : 3), layerOf(0, 3);
    TVeskLayer* layer = layers.LayerAt(layerOf(rng));
    const TVeskSurface surface(width(rng), false, kind(rng) % 2 == 0, 4);
    const PointF a { at(rng), at(rng) };
    const PointF b { a.X + size(rng), a.Y + size(rng) };
    std::unique_ptr<TVeskObject> o;
    switch (kind(rng)) {
    case 0: {
        auto r = std::make_unique<TVeskRect>(layer, surface);
        r->SetCorners(a, b);
        o = std::move(r);
        break;
    }
    case 1: {
        auto e = std::make_unique<TVeskEllipse>(layer, surface);
        e->SetCircle(a, b);
        o = std::move(e);
        break;
    }
    case 2: {
        auto p = std::make_unique<TVeskPath>(layer, TVeskSurface(1 + width(rng), false, false, 4));
        p->SetPoints(StraightEntries({ a, b, { b.X, a.Y + 2 * size(rng) } }), {});
        o = std::move(p);
        break;
    }
    case 3: {
        auto t = std::make_unique<TVeskString>(layer, surface);
        t->PlaceText(QStringLiteral("R1"), a);
        t->SetSelected(false);
        o = std::move(t);
        break;
    }
    default: {
        auto g = std::make_unique<TVeskGroup>();
        for (int i = 0; i < 3; ++i)
            g->Adopt(RandomShape(rng, layers, depth + 1));
        o = std::move(g);
        break;
    }
    }
    return o;
}

} // namespace vesk::test
