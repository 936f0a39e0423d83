// Containers nested in the drawing are culled by their bounds band by band,
// so those bounds must cover everything they draw, however deep, selected or
// not.
#include "RenderTestSupport.h"
#include "model/Colorstyle.h"
#include "render/Renderexport.h"
#include "render/Renderview.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskgroup.h"

#include <functional>

namespace vesk::test {
namespace {

constexpr unsigned kWhite = 0xFFFFFF;

// Two filled squares on "solder", one near the top of the window and one far
// below the first band.
TVeskPart twoSquares(TVeskDocument& doc)
{
    TVeskPart part;
    for (const RectF box : { RectF { 100, 50, 100, 100 }, RectF { 100, 400, 100, 100 } }) {
        TVeskRect r(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface(0, false, true, 4));
        r.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
        part.Add(r);
    }
    return part;
}

struct NestingCase {
    const char* what;
    // Places the part in the root, wrapped as the case asks.
    std::function<void(TVeskPart& root, const TVeskPart& part)> place;
};

class NestedPartRender : public ::testing::TestWithParam<NestingCase> { };

TEST_P(NestedPartRender, IsDrawnInEveryBand)
{
    TVeskDocument doc;
    GetParam().place(doc.Root(), twoSquares(doc));

    // As the issue met it: a PNG at 254 dots per inch, one pixel per unit.
    TExportOptions options;
    options.dotsPerInch = 254;
    const QImage png = RenderDocumentImage(doc, options);
    ASSERT_FALSE(png.isNull());
    EXPECT_NE(Rgb(png, 150, 100), kWhite);
    EXPECT_NE(Rgb(png, 150, 450), kWhite);

    // On screen, with bands whatever the machine's core count.
    TVeskRenderer renderer;
    renderer.SetMaxThreads(4);
    TDrawStyle style;
    style.SetZoom(1);
    TRenderView view;
    view.workArea = {};
    QImage screen(300, 600, QImage::Format_ARGB32_Premultiplied);
    renderer.RenderDocument(screen, doc.Root(), doc.Layers(), style, view);
    EXPECT_NE(Rgb(screen, 150, 100), kWhite);
    EXPECT_NE(Rgb(screen, 150, 450), kWhite);
    EXPECT_EQ(Rgb(screen, 150, 300), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Renderer, NestedPartRender,
    ::testing::Values(
        NestingCase { "InTheRoot", [](TVeskPart& root, const TVeskPart& part) { root.Add(part); } },
        NestingCase { "InAGroup",
            [](TVeskPart& root, const TVeskPart& part) {
                TVeskGroup group;
                group.Add(part);
                root.Add(group);
            } },
        NestingCase { "InAPartInAGroup",
            [](TVeskPart& root, const TVeskPart& part) {
                TVeskPart outer;
                outer.Add(part);
                TVeskGroup group;
                group.Add(outer);
                root.Add(group);
            } },
        NestingCase { "SelectedOnlyInPart",
            [](TVeskPart& root, const TVeskPart& part) {
                // One square selected must not narrow the part to that square.
                static_cast<TVeskPart*>(root.Add(part))->ChildAt(0)->SetSelected(true);
            } }),
    [](const ::testing::TestParamInfo<NestingCase>& info) { return std::string(info.param.what); });

} // namespace
} // namespace vesk::test
