#include "BoardGenerator.h"

#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <random>

namespace vesk {

namespace {

    // A straight segment's triple: control points on the anchors.
    void appendLine(std::vector<PointF>& pts, PointF a, PointF b)
    {
        pts.push_back(a);
        pts.push_back(a);
        pts.push_back(b);
    }

    std::unique_ptr<TVeskPath> makeTrack(TVeskLayer* layer, std::mt19937& rng, PointF origin)
    {
        std::uniform_real_distribution<float> step(-200.0f, 200.0f);
        std::uniform_int_distribution<int> anchors(3, 6);
        std::bernoulli_distribution curved(0.3);
        TVeskPath path(layer, TVeskSurface(7.5f, false, false, 4));
        std::vector<PointF> pts;
        const int n = anchors(rng);
        PointF p { 0, 0 };
        for (int i = 0; i < n; ++i) {
            const PointF next { p.X + step(rng), p.Y + step(rng) };
            if (i + 1 == n) {
                appendLine(pts, p, PointF { 0, 0 }); // unused closing controls of an open path
            } else if (curved(rng)) {
                pts.push_back(p);
                pts.push_back({ p.X + step(rng) / 2, p.Y + step(rng) / 2 });
                pts.push_back({ next.X + step(rng) / 2, next.Y + step(rng) / 2 });
            } else {
                appendLine(pts, p, next);
            }
            p = next;
        }
        path.SetPoints(std::move(pts), {});
        Matrix m;
        m.Translate(origin.X, origin.Y);
        path.SetMatrix(m);
        return std::make_unique<TVeskPath>(path);
    }

    std::unique_ptr<TVeskGroup> makePad(TVeskLayer* copper, TVeskLayer* hole, PointF at)
    {
        const float r = 8.0f;
        const float k = r * 0.5522848f;
        // A circle as four Bezier quadrants.
        std::vector<PointF> circle = {
            { r, 0 }, { r, k }, { k, r },
            { 0, r }, { -k, r }, { -r, k },
            { -r, 0 }, { -r, -k }, { -k, -r },
            { 0, -r }, { k, -r }, { r, -k },
        };
        Matrix m;
        m.Translate(at.X, at.Y);
        TVeskPath ring(copper, TVeskSurface(0.0f, false, true, 4));
        ring.SetPoints(circle, {});
        ring.SetClosed(true);
        ring.SetMatrix(m);
        TVeskPath drill(hole, TVeskSurface(0.0f, false, true, 4));
        for (PointF& p : circle)
            p = p * 0.4f;
        drill.SetPoints(circle, {});
        drill.SetClosed(true);
        drill.SetMatrix(m);
        auto pad = std::make_unique<TVeskGroup>();
        pad->Add(ring);
        pad->Add(drill);
        return pad;
    }

} // namespace

void GenerateBoard(TVeskDocument& doc, int objectCount, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> where(0.0f, 3000.0f);
    TVeskLayerList& layers = doc.Layers();
    TVeskLayer* solder = layers.FindLayer(QStringLiteral("solder"));
    TVeskLayer* component = layers.FindLayer(QStringLiteral("component"));
    TVeskLayer* hole = layers.FindLayer(QStringLiteral("hole"));
    TVeskPart& root = doc.Root();
    int made = 0;
    while (made < objectCount) {
        if (made % 10 == 9 && objectCount - made >= 3) {
            root.Adopt(makePad(solder, hole, { where(rng), where(rng) }));
            made += 3; // the group and its two paths
        } else {
            root.Adopt(makeTrack(made % 2 ? component : solder, rng, { where(rng), where(rng) }));
            ++made;
        }
    }
}

} // namespace vesk
