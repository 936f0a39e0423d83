// A window's kept picture, repainted only where the document reports damage
// and shifted on whole-pixel pans, must always be exactly the picture a
// fresh render gives, whatever was edited.
#include "../model/EditTable.h"
#include "../model/RandomShapes.h"
#include "RenderTestSupport.h"
#include "model/Colorstyle.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"

#include <gtest/gtest.h>
#include <random>

using namespace vesk;

namespace {

class KeptRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::BuildEditFixture(doc);
        std::mt19937 build(5);
        for (int i = 0; i < 120; ++i)
            doc.Root().Adopt(test::RandomShape(build, doc.Layers()));
        doc.Layers().LayerAt(2)->wireFrame = true;
        setView(1.5, 0.25, 0.5);
    }

    void setView(double zoom, double offsetX, double offsetY)
    {
        view.zoom = zoom;
        view.viewMatrix = Matrix(float(zoom), 0, 0, float(zoom), float(offsetX), float(offsetY));
        view.workArea = { 0, 0, 300, 200 };
        style.SetZoom(zoom);
    }

    // The kept picture after this render, against a fresh renderer's.
    void expectKeptEqualsFresh(const char* what)
    {
        kept.RenderKept(image, doc.Root(), doc.Layers(), style, view);
        TVeskRenderer fresh;
        QImage full(image.size(), image.format());
        fresh.RenderKept(full, doc.Root(), doc.Layers(), style, view);
        ASSERT_TRUE(image == full) << what;
    }

    // The largest channel difference between the kept picture, brought up
    // to date, and the one-off render of the same view.
    int worstAgainstOneOff()
    {
        kept.RenderKept(image, doc.Root(), doc.Layers(), style, view);
        QImage once(image.size(), image.format());
        TVeskRenderer().RenderDocument(once, doc.Root(), doc.Layers(), style, view);
        int worst = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                worst = std::max(worst, test::ChannelDistance(test::Rgb(image, x, y), test::Rgb(once, x, y)));
        return worst;
    }

    TVeskDocument doc;
    TVeskRenderer kept;
    TDrawStyle style;
    TRenderView view;
    QImage image { 333, 250, QImage::Format_ARGB32_Premultiplied };
};

TEST_F(KeptRender, EveryEditRepaintsExactlyWhatChanged)
{
    for (const test::Edit& edit : test::edits()) {
        SCOPED_TRACE(edit.name);
        kept.RenderKept(image, doc.Root(), doc.Layers(), style, view);
        edit.apply(test::find(doc));
        expectKeptEqualsFresh(edit.name);
    }
}

TEST_F(KeptRender, RandomEditsPansAndZoomsKeepTheFullPicture)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pick(0, 10), shift(-150, 150);
    // Undo and redo install states that keep the unchanged objects and the
    // index with them.
    TVeskHistory history;
    TVeskEdit edit(doc, history);
    edit.Reset(30);
    std::uniform_real_distribution<float> at(0, 400);
    double zoom = 1.5, offsetX = 0.25, offsetY = 0.5;
    for (int step = 0; step < 120; ++step) {
        TVeskPart& root = doc.Root();
        const int n = root.ChildCount();
        TVeskObject* child = n ? root.ChildAt(std::uniform_int_distribution<int>(0, n - 1)(rng)) : nullptr;
        edit.Begin(QStringLiteral("random"));
        switch (pick(rng)) {
        case 0: // pan by whole pixels: the kept tiles move
            offsetX += shift(rng);
            offsetY += shift(rng) / 3;
            setView(zoom, offsetX, offsetY);
            break;
        case 1: // zoom, or a sub-pixel pan: everything anew
            zoom = std::uniform_int_distribution<int>(0, 1)(rng) ? zoom * 1.25 : zoom / 1.25;
            offsetX += 0.375;
            setView(zoom, offsetX, offsetY);
            break;
        case 2:
            root.SetSelected(false);
            root.SelectAt({ at(rng), at(rng) });
            root.MoveSelection(at(rng) / 10 - 20, 7, MatrixOrder::Append);
            root.Translate(-3, at(rng) / 20, MatrixOrder::Append);
            break;
        case 3:
            if (child)
                child->SetVisible(!child->IsVisible());
            break;
        case 4:
            if (child)
                root.RemoveChild(child);
            break;
        case 5:
            root.Adopt(test::RandomShape(rng, doc.Layers()));
            break;
        case 6: {
            TVeskLayer* layer = doc.Layers().LayerAt(std::uniform_int_distribution<int>(0, 3)(rng));
            if (step % 2)
                layer->SetVisible(!layer->visible);
            else
                layer->SetColor(0xFF000000 | rng());
            break;
        }
        case 7:
            if (child)
                child->SetSurface(TVeskSurface(at(rng) / 40, step % 3 == 0, step % 2 == 0, 4));
            if (child)
                child->Rebuild();
            break;
        case 8:
            edit.Revert();
            if (step % 3)
                edit.Undo();
            else
                edit.Redo();
            break;
        default:
            test::edits()[rng() % test::edits().size()].apply(test::find(doc));
            break;
        }
        edit.Commit();
        expectKeptEqualsFresh(("step " + std::to_string(step)).c_str());
    }
}

// Zoomed out, most shapes are under a pixel and drawn as marks: a mark must
// land on the same pixel whichever tile paints it, wherever panning put it.
TEST_F(KeptRender, PixelMarksAreTheSameWhicheverTilePaintsThem)
{
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> shift(-60, 60);
    double offsetX = 230, offsetY = 240;
    setView(0.1, offsetX, offsetY);
    for (int step = 0; step < 40; ++step) {
        if (step % 4 == 3)
            test::edits()[rng() % test::edits().size()].apply(test::find(doc));
        else {
            offsetX += shift(rng);
            offsetY += shift(rng);
            setView(0.1, offsetX, offsetY);
        }
        expectKeptEqualsFresh(("step " + std::to_string(step)).c_str());
    }
}

// The kept picture is the same drawing the one-off render paints, but for
// the last bits of edges that a band seam would also move.
TEST_F(KeptRender, MatchesTheOneOffRender)
{
    // Zoomed out, small shapes are pixel marks in both. (There a wire frame
    // crossing a tile's edge may differ in the edge's pixel by a few levels,
    // as band seams make edges differ: left out of the comparison.)
    for (const double zoom : { 1.5, 0.1 }) {
        doc.Layers().LayerAt(2)->wireFrame = zoom > 1;
        setView(zoom, 100.25, 60.5);
        EXPECT_LE(worstAgainstOneOff(), 2) << "zoom " << zoom;
    }
}

// What the picture keeps per layer index (the index's layer bits, the
// tiles) follows the layer table: after a reorder, a layer added before
// others (as a paste adds one) and a rename, the kept picture is the
// one-off render's, no object missing.
TEST_F(KeptRender, FollowsTheLayerTable)
{
    const struct {
        const char* what;
        std::function<void(TVeskLayerList&)> change;
    } cases[] = {
        { "reorder", [](TVeskLayerList& l) { l.MoveLayer(l.LayerAt(1), l.LayerAt(0)); } },
        { "layer added", [](TVeskLayerList& l) { l.AddNamedLayer(0xFF00FF00, QStringLiteral("pasted")); } },
        { "rename", [](TVeskLayerList& l) { l.LayerAt(0)->SetName(QStringLiteral("renamed")); } },
        { "reorder to the bottom", [](TVeskLayerList& l) { l.MoveLayer(l.LayerAt(0), l.LayerAt(l.LayerCount() - 1)); } },
    };
    doc.Layers().LayerAt(2)->wireFrame = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        kept.RenderKept(image, doc.Root(), doc.Layers(), style, view);
        c.change(doc.Layers());
        EXPECT_LE(worstAgainstOneOff(), 2);
    }
}

} // namespace
