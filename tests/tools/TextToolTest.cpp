// The text tool driven through a fake window whose text dialog answers as
// scripted: a click on empty space places a new text, a click on a text
// (inside a group, under other objects) edits it, each as one step.
#include "FakeToolHost.h"
#include "Veskstringproc.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <gtest/gtest.h>

using namespace vesk;
using namespace vesk::test;

namespace {

struct Texting {
    Texting()
        : host(400, 300)
        , bar(host)
    {
        host.edit.Reset(30);
        bar.ResetToFirstTool();
        EXPECT_TRUE(bar.SelectToolByName(QStringLiteral("TextTool")));
        tool = static_cast<TVeskStringProc*>(bar.CurrentTool());
        host.grid.pitch = 10;
    }

    QPoint pixel(PointF p) const
    {
        const PointF px = host.view.DocumentToPixel(p);
        return { qRound(px.X), qRound(px.Y) };
    }
    void click(PointF p)
    {
        tool->WindowMouseDown(ssLeft, pixel(p));
        tool->WindowMouseUp(0, pixel(p));
    }
    void answer(QString text, float size = 40)
    {
        host.answerText = [text, size](TVeskTextRequest& r) {
            r.text = text;
            r.family = QStringLiteral("Tahoma");
            r.size = size;
            return true;
        };
    }
    static Matrix placement(const TVeskObject& o)
    {
        Matrix m;
        o.GetMatrix(m);
        return m;
    }
    TVeskString* textAt(int i) const { return dynamic_cast<TVeskString*>(host.document.Root().ChildAt(i)); }
    TVeskPart& root() { return host.document.Root(); }

    FakeToolHost host;
    TVeskToolBar bar;
    TVeskStringProc* tool = nullptr;
};

TEST(TextTool, AClickOnEmptySpacePlacesANewTextAtTheSnappedPoint)
{
    Texting t;
    t.answer(QStringLiteral("R1"), 25);
    t.click({ 23, 38 });
    ASSERT_EQ(t.root().ChildCount(), 1);
    TVeskString* text = t.textAt(0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetText(), QStringLiteral("R1"));
    EXPECT_EQ(text->GetFontFamily(), QStringLiteral("Tahoma"));
    EXPECT_EQ(text->GetEmSize(), 25.0f);
    EXPECT_EQ(Texting::placement(*text).OffsetX(), 20.0f);
    EXPECT_EQ(Texting::placement(*text).OffsetY(), 40.0f);
    EXPECT_EQ(t.host.history.Count(), 1);
    ASSERT_EQ(t.host.asked.size(), 1u);
    EXPECT_TRUE(t.host.asked[0].text.isEmpty()) << "a new text starts empty";
}

TEST(TextTool, CancellingChangesNothingAndRecordsNothing)
{
    Texting t;
    t.click({ 0, 0 });
    EXPECT_EQ(t.root().ChildCount(), 0);
    EXPECT_EQ(t.host.history.Count(), 0);
}

TEST(TextTool, AClickOnATextEditsItInPlaceWhereverItLies)
{
    const struct {
        const char* where;
        bool inGroup;
        bool coveredByRect;
    } cases[] = { { "on its own", false, false }, { "in a group", true, false },
        { "under a rectangle", false, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        Texting t;
        t.answer(QStringLiteral("OLD"));
        t.click({ 0, 0 });
        ASSERT_NE(t.textAt(0), nullptr);
        RectF box;
        t.textAt(0)->GetBounds(box);
        // A point on a letter's stroke, not just inside the box.
        PointF inside { box.X - 1, box.Y - 1 };
        for (float y = box.Y; y < box.GetBottom() && !t.textAt(0)->HitTest(inside); y += 0.5f)
            for (float x = box.X; x < box.GetRight() && !t.textAt(0)->HitTest(inside); x += 0.5f)
                inside = { x, y };
        ASSERT_TRUE(t.textAt(0)->HitTest(inside));
        if (c.inGroup) {
            auto group = std::make_unique<TVeskGroup>();
            group->Adopt(std::move(t.root().TakeChildren().front()));
            t.root().Adopt(std::move(group));
        }
        if (c.coveredByRect) {
            auto rect = std::make_unique<TVeskRect>(t.host.document.Layers().CurrentLayer(), t.host.surface);
            rect->SetCorners({ box.X - 5, box.Y - 5 }, { box.GetRight() + 5, box.GetBottom() + 5 });
            t.root().Adopt(std::move(rect));
        }
        const int steps = t.host.history.Count();
        t.answer(QStringLiteral("NEW"), 60);
        t.click(inside);
        ASSERT_EQ(t.host.asked.back().text, QStringLiteral("OLD"));
        ASSERT_NE(t.tool->Text(), nullptr);
        EXPECT_EQ(t.tool->Text()->GetText(), QStringLiteral("NEW"));
        EXPECT_EQ(t.tool->Text()->GetEmSize(), 60.0f);
        EXPECT_EQ(Texting::placement(*t.tool->Text()).OffsetX(), 0.0f) << "an edited text never moves";
        EXPECT_EQ(t.host.history.Count(), steps + 1);
    }
}

TEST(TextTool, LeavingTheToolAddsNoStep)
{
    Texting t;
    t.answer(QStringLiteral("R1"));
    t.click({ 0, 0 });
    const int steps = t.host.history.Count();
    EXPECT_TRUE(t.bar.SelectToolByName(QStringLiteral("RectangleTool")));
    EXPECT_EQ(t.host.history.Count(), steps);
    // So the first undo takes the text back.
    t.bar.CurrentTool()->UndoClick();
    EXPECT_EQ(t.root().ChildCount(), 0);
}

} // namespace

namespace {

TEST(TextTool, ARightClickNeitherAsksNorPlaces)
{
    Texting t;
    t.answer(QStringLiteral("R1"));
    t.click({ 20, 20 });
    ASSERT_EQ(t.root().ChildCount(), 1);
    const struct {
        const char* what;
        PointF at;
    } cases[] = {
        { "on empty space", { 100, 100 } },
        { "on the text placed before", { 20, 20 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        t.tool->WindowMouseDown(ssRight, t.pixel(c.at));
        t.tool->WindowMouseUp(0, t.pixel(c.at));
        EXPECT_EQ(t.host.asked.size(), 1u);
        EXPECT_EQ(t.root().ChildCount(), 1);
        EXPECT_EQ(t.host.history.Count(), 1);
    }
}

} // namespace
