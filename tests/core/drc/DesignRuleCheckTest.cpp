// The design-rule check on small boards with a known answer: each rule just
// broken and just kept, the distances found to the micrometre, and every
// part of the starter library, placed apart on a board, breaking none.
#include "drc/Designrulecheck.h"

#include "Starterlibrary.h"
#include "io/Veskdocument.h"
#include "io/Veskpartfile.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

constexpr float kMm = 10.0f; // document units per millimetre

class Board {
public:
    Board() { doc.Reset(); }

    TVeskLayer* layer(const char* name) { return doc.Layers().FindLayer(QLatin1String(name)); }
    // A track through the points, millimetres.
    void track(const char* on, std::initializer_list<PointF> points, float widthMm)
    {
        TVeskPath p(layer(on), TVeskSurface(widthMm * kMm, false, false, 4));
        p.BeginPath();
        for (PointF point : points)
            p.AppendAnchor(point * kMm);
        p.EndPath();
        p.SetSelected(false);
        doc.Root().Add(p);
    }
    void track(const char* on, PointF a, PointF b, float widthMm) { track(on, { a, b }, widthMm); }
    void disc(const char* on, PointF centre, float diameterMm)
    {
        TVeskEllipse e(layer(on), TVeskSurface(0, false, true, 4));
        e.SetCircle(centre * kMm, { (centre.X + diameterMm / 2) * kMm, centre.Y * kMm });
        e.SetSelected(false);
        doc.Root().Add(e);
    }
    // The board's outline, a thin line on "dimension".
    void outline(PointF topLeft, PointF bottomRight)
    {
        TVeskRect r(layer("dimension"), TVeskSurface(0.2f * kMm, false, false, 4));
        r.SetCorners(topLeft * kMm, bottomRight * kMm);
        r.SetSelected(false);
        doc.Root().Add(r);
    }
    TDrcResult check(const TDesignRules& rules = {}) const
    {
        return CheckDesignRules(doc.Root(), doc.Layers(), rules);
    }

    TVeskDocument doc;
};

std::string describe(const TDrcResult& r)
{
    std::string s;
    for (const TDrcFinding& f : r.findings)
        s += DrcRuleKey(f.rule).toStdString() + " " + f.layer.toStdString() + " " + std::to_string(f.found)
            + " at " + std::to_string(f.At().X / kMm) + "," + std::to_string(f.At().Y / kMm) + "\n";
    return s;
}

TEST(DesignRuleCheck, EachRuleJustBrokenIsFoundAtItsDistanceAndJustKeptIsNot)
{
    struct Case {
        const char* what;
        std::function<void(Board&, float)> draw; // the distance in millimetres
        TDrcRule rule;
        float broken;
        float kept;
    };
    const Case cases[] = {
        { "two tracks apart",
            [](Board& b, float gap) {
                b.track("solder", { 0, 0 }, { 10, 0 }, 0.5f);
                b.track("solder", { 0, 0.5f + gap }, { 10, 0.5f + gap }, 0.5f);
            },
            TDrcRule::Clearance, 0.29f, 0.31f },
        { "a thin track",
            [](Board& b, float width) {
                b.track("component", { 0, 0 }, { 10, 0 }, width);
            },
            TDrcRule::Width, 0.19f, 0.21f },
        { "a bent track",
            [](Board& b, float width) {
                b.track("solder", { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 15, 12 } }, width);
            },
            TDrcRule::Width, 0.19f, 0.21f },
        { "a 0.8 mm hole in a round pad",
            [](Board& b, float ring) {
                b.disc("solder", { 5, 5 }, 0.8f + 2 * ring);
                b.disc("hole", { 5, 5 }, 0.8f);
            },
            TDrcRule::AnnularRing, 0.2f, 0.3f },
        { "two holes",
            [](Board& b, float gap) {
                b.disc("hole", { 0, 0 }, 1.0f);
                b.disc("hole", { 1.0f + gap, 0 }, 1.0f);
            },
            TDrcRule::HoleToHole, 0.24f, 0.26f },
        { "a track near the edge",
            [](Board& b, float gap) {
                b.outline({ -5, -5 }, { 20, 20 });
                b.track("solder", { 0, -5 + gap + 0.25f }, { 10, -5 + gap + 0.25f }, 0.5f);
            },
            TDrcRule::CopperToEdge, 0.29f, 0.31f },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Board broken, kept;
        c.draw(broken, c.broken);
        c.draw(kept, c.kept);
        const TDrcResult found = broken.check();
        ASSERT_EQ(found.findings.size(), 1u) << describe(found);
        EXPECT_EQ(found.findings[0].rule, c.rule);
        EXPECT_NEAR(found.findings[0].found, c.broken, 0.001) << describe(found);
        EXPECT_TRUE(kept.check().findings.empty()) << describe(kept.check());
    }
}

TEST(DesignRuleCheck, TouchingCopperIsOneConductorAndDistantCopperOnlyBreaksTheRulesItReaches)
{
    Board b;
    // A pad with a track into it, and a second track touching the first at
    // its end: one conductor, however its pieces were drawn.
    b.disc("solder", { 0, 0 }, 1.6f);
    b.track("solder", { 0, 0 }, { 5, 0 }, 0.5f);
    b.track("solder", { 5, 0 }, { 5, 5 }, 0.5f);
    // A piece on the other copper layer right above: layers do not meet.
    b.track("component", { 0, 0.3f }, { 5, 0.3f }, 0.5f);
    // Silk is not copper.
    b.track("place_cmp", { 0, 0.1f }, { 5, 0.1f }, 0.1f);
    EXPECT_TRUE(b.check().findings.empty()) << describe(b.check());

    // Only the layers the rules name are copper.
    TDesignRules silk;
    silk.copperLayers = QStringList { QStringLiteral("place_cmp") };
    const TDrcResult r = b.check(silk);
    ASSERT_EQ(r.findings.size(), 1u) << describe(r);
    EXPECT_EQ(r.findings[0].rule, TDrcRule::Width);
    EXPECT_EQ(r.findings[0].layer, QStringLiteral("place_cmp"));
    EXPECT_NEAR(r.findings[0].found, 0.1, 0.001);
}

TEST(DesignRuleCheck, HolesOutsideCopperAndCopperOutsideTheBoard)
{
    Board b;
    b.outline({ 0, 0 }, { 20, 20 });
    // A hole beside a pad, cutting its edge: not inside copper.
    b.disc("solder", { 5, 5 }, 1.6f);
    b.disc("hole", { 5.8f, 5 }, 0.8f);
    // A hole with no copper on it at all is no copper finding.
    b.disc("hole", { 15, 15 }, 0.8f);
    // Copper wholly outside the board.
    b.track("component", { 30, 5 }, { 35, 5 }, 0.5f);
    const TDrcResult r = b.check();
    ASSERT_EQ(r.findings.size(), 2u) << describe(r);
    EXPECT_EQ(r.findings[0].rule, TDrcRule::AnnularRing);
    EXPECT_EQ(r.findings[0].found, 0.0);
    EXPECT_EQ(r.findings[1].rule, TDrcRule::CopperToEdge);
    EXPECT_EQ(r.findings[1].layer, QStringLiteral("component"));
}

TEST(DesignRuleCheck, CancellingStopsWithNoFindings)
{
    Board b;
    b.track("solder", { 0, 0 }, { 10, 0 }, 0.1f);
    int calls = 0;
    const TDrcResult r = CheckDesignRules(b.doc.Root(), b.doc.Layers(), {}, [&](int, int) {
        ++calls;
        return false;
    });
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.findings.empty());
    EXPECT_GE(calls, 1);
}

TEST(DesignRuleCheck, EveryStarterPartPlacedApartBreaksNoRule)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(WriteStarterLibrary(folder.path()).ok);
    Board b;
    float y = 0;
    int parts = 0;
    QDirIterator it(folder.path() + QStringLiteral("/lib"), { QStringLiteral("*.vbf") }, QDir::Files,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        std::unique_ptr<TVeskGroup> part = ReadPartFile(file, b.doc.Layers());
        ASSERT_NE(part, nullptr) << file.toStdString();
        RectF bounds;
        part->GetBounds(bounds);
        TVeskObject* placed = b.doc.Root().Adopt(std::move(part));
        placed->SetSelected(true);
        placed->Translate(-bounds.X, y - bounds.Y, MatrixOrder::Append);
        placed->SetSelected(false);
        y += bounds.Height + 5 * kMm;
        ++parts;
    }
    ASSERT_GT(parts, 50);
    b.outline({ -5, -5 }, { 120, y / kMm + 5 });
    const TDrcResult r = b.check();
    EXPECT_TRUE(r.findings.empty()) << describe(r);
}

} // namespace
