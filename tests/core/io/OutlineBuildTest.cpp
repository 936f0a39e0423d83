// A document read with its outlines built afterwards, on several threads,
// must be the very document that building each shape while reading gives.
#include "io/Outlinebuild.h"

#include "io/Veskdocument.h"
#include "io/Veskfilestream.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

using namespace vesk;

namespace {

// Enough shapes of every kind that both threads get many of each, with the
// placements and pens that take different paths through outline building.
class BoardMaker {
public:
    QByteArray Make(int shapes)
    {
        TVeskDocument doc;
        layers_ = &doc.Layers();
        auto root = std::make_unique<TVeskPart>();
        while (shapes > 0) {
            if (pick(6) == 0) {
                auto group = std::make_unique<TVeskGroup>();
                for (int i = 0; i < 6 && shapes > 0; ++i, --shapes) {
                    if (i == 3) {
                        auto inner = std::make_unique<TVeskGroup>();
                        inner->Adopt(shape());
                        inner->Adopt(shape());
                        group->Adopt(std::move(inner));
                    } else {
                        group->Adopt(shape());
                    }
                }
                root->Adopt(std::move(group));
            } else {
                root->Adopt(shape());
                --shapes;
            }
        }
        doc.SetRoot(std::move(root));
        return doc.ToBytes();
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    float between(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random_); }
    PointF somewhere() { return { between(-500, 500), between(-500, 500) }; }
    TVeskLayer* layer() { return layers_->LayerAt(pick(layers_->LayerCount())); }

    TVeskSurface surface()
    {
        TVeskSurface s(pick(4) == 0 ? 0.0f : between(0.5f, 12), pick(8) == 0, pick(2) == 0, 4);
        s.SetLineCap(pick(3));
        s.SetLineJoin(pick(3));
        return s;
    }

    Matrix placement()
    {
        Matrix m;
        switch (pick(4)) {
        case 0:
            break;
        case 1:
            m.RotateAt(between(0, 360), somewhere(), MatrixOrder::Append);
            break;
        case 2:
            m = Matrix(-1, 0, 0, 1, 0, 0); // mirrored
            break;
        default:
            m = Matrix(between(0.5f, 2), between(-0.3f, 0.3f), between(-0.3f, 0.3f), between(0.5f, 2), 0, 0);
        }
        m.Translate(between(-100, 100), between(-100, 100), MatrixOrder::Append);
        return m;
    }

    std::unique_ptr<TVeskObject> shape()
    {
        std::unique_ptr<TVeskObject> s;
        switch (pick(5)) {
        case 0: {
            auto path = std::make_unique<TVeskPath>(layer(), surface());
            std::vector<PointF> entries;
            const int anchors = 1 + pick(6);
            for (int i = 0; i < anchors * 3; ++i)
                entries.push_back(somewhere());
            path->SetClosed(pick(2) == 0);
            path->SetPoints(std::move(entries), {});
            s = std::move(path);
            break;
        }
        case 1: {
            auto rect = std::make_unique<TVeskRect>(layer(), surface());
            rect->SetCorners(somewhere(), somewhere());
            s = std::move(rect);
            break;
        }
        case 2: {
            auto ellipse = std::make_unique<TVeskEllipse>(layer(), surface());
            ellipse->SetCircle(somewhere(), somewhere());
            s = std::move(ellipse);
            break;
        }
        default: {
            static const char16_t* const texts[] = { u"R12", u"部品面 C3", u"two\nlines", u"", u"  ", u"GND",
                u"ＭＳ Ｐゴシック", u"10k\r\n1%" };
            static const char16_t* const families[]
                = { u"MS UI Gothic", u"Arial", u"MS Mincho", u"Courier New", u"IPAGothic" };
            auto text = std::make_unique<TVeskString>(layer(), surface());
            text->SetFont(QString::fromUtf16(families[pick(5)]), pick(16), between(2, 40));
            text->PlaceText(QString::fromUtf16(texts[pick(8)]), somewhere());
            s = std::move(text);
        }
        }
        s->SetSelected(true); // transforms act on selected shapes only
        s->SetMatrix(placement());
        s->SetSelected(false);
        return s;
    }

    TVeskLayerList* layers_ = nullptr;
    std::mt19937 random_ { 20240611 };
};

// Every shape in the tree, at any depth, in child order.
void collectShapes(const TVeskContainer& c, std::vector<TVeskObject*>& out)
{
    for (const auto& child : c.Children()) {
        if (const auto* inner = dynamic_cast<const TVeskContainer*>(child.get()))
            collectShapes(*inner, out);
        else
            out.push_back(child.get());
    }
}

std::vector<TVeskObject*> shapesOf(const TVeskContainer& root)
{
    std::vector<TVeskObject*> shapes;
    collectShapes(root, shapes);
    return shapes;
}

// A document read by a plain stream: every shape builds its outline as it is read.
struct ReadTree {
    TVeskLayerList layers;
    std::unique_ptr<TVeskPart> root = std::make_unique<TVeskPart>();
    std::vector<TVeskObject*> listed;

    ReadTree(const QByteArray& file, bool defer)
    {
        TVesk_istream in = TVesk_istream::FromFileBytes(file);
        layers.ReadLayerTable(in);
        in.SetLayers(&layers);
        if (defer)
            in.DeferOutlines();
        char tag[4];
        if (in.ReadRaw(tag, 4))
            root->Load(in);
        listed = in.TakeUnbuilt();
    }

    std::vector<TVeskObject*> Shapes() const { return shapesOf(*root); }
};

::testing::AssertionResult sameGeometry(const char* what, const GraphicsPath& a, const GraphicsPath& b)
{
    const auto pa = a.Points(), pb = b.Points();
    const auto ta = a.Types(), tb = b.Types();
    if (a.GetFillMode() != b.GetFillMode() || pa.size() != pb.size() || ta.size() != tb.size()
        || std::memcmp(pa.data(), pb.data(), pa.size_bytes()) != 0
        || std::memcmp(ta.data(), tb.data(), ta.size_bytes()) != 0)
        return ::testing::AssertionFailure()
            << what << " differs: " << pa.size() << " against " << pb.size() << " points";
    return ::testing::AssertionSuccess();
}

// Outline, bounds and what a rebuild derives, bit for bit.
::testing::AssertionResult sameBuild(const TVeskObject& a, const TVeskObject& b)
{
    if (std::strcmp(a.Tag(), b.Tag()) != 0)
        return ::testing::AssertionFailure() << a.Tag() << " against " << b.Tag();
    RectF ra { 1, 2, 3, 4 }, rb { 1, 2, 3, 4 };
    a.GetBounds(ra);
    b.GetBounds(rb);
    if (std::memcmp(&ra, &rb, sizeof ra) != 0)
        return ::testing::AssertionFailure() << a.Tag() << " bounds differ";
    if (const auto* path = dynamic_cast<const TVeskPath*>(&a))
        return sameGeometry(
            "path outline", path->OutlinePath(), static_cast<const TVeskPath&>(b).OutlinePath());
    if (const auto* box = dynamic_cast<const TVeskBoxShape*>(&a)) {
        const auto& other = static_cast<const TVeskBoxShape&>(b);
        if (box->Handles() != other.Handles())
            return ::testing::AssertionFailure() << a.Tag() << " handles differ";
        return sameGeometry("box outline", box->OutlinePath(), other.OutlinePath());
    }
    const auto& text = dynamic_cast<const TVeskString&>(a);
    const auto& other = static_cast<const TVeskString&>(b);
    if (auto glyphs = sameGeometry("glyphs", text.TextPath(), other.TextPath()); !glyphs)
        return glyphs << " of \"" << text.Text().toStdString() << '"';
    return sameGeometry("text frame", text.FramePath(), other.FramePath());
}

void expectSameShapes(const std::vector<TVeskObject*>& got, const std::vector<TVeskObject*>& expected)
{
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_TRUE(sameBuild(*got[i], *expected[i])) << "shape " << i;
}

class OutlineBuildTest : public ::testing::Test {
protected:
    void SetUp() override { file = BoardMaker().Make(1200); }

    QByteArray file;
};

} // namespace

TEST_F(OutlineBuildTest, DeferredShapesAreListedUnbuiltAndBuildAsWhileReadingOnAnyThreadCount)
{
    const ReadTree reference(file, false);
    EXPECT_TRUE(reference.listed.empty()); // nothing is deferred unless asked
    const std::vector<TVeskObject*> expected = reference.Shapes();
    ASSERT_GT(expected.size(), 1000u);
    for (int threads : { 1, 2, 4 }) {
        SCOPED_TRACE(threads);
        ReadTree deferred(file, true);
        // Exactly the shapes of the tree, at every depth, in reading order.
        ASSERT_EQ(deferred.listed, deferred.Shapes());
        for (const TVeskObject* shape : deferred.listed) {
            RectF bounds;
            shape->GetBounds(bounds);
            ASSERT_TRUE(bounds.IsEmptyArea()) << shape->Tag() << " was built while reading";
        }
        RebuildOutlines(deferred.listed, threads);
        expectSameShapes(deferred.listed, expected);
    }
}

TEST_F(OutlineBuildTest, ReadDocumentEqualsBuildingWhileReading)
{
    TVeskDocument doc;
    doc.ReadBytes(file);
    EXPECT_EQ(doc.ToBytes(), file);
    const ReadTree reference(file, false);
    expectSameShapes(shapesOf(doc.Root()), reference.Shapes());
}

// A shape whose record is cut short is dropped; it must not stay listed.
TEST_F(OutlineBuildTest, CutShortReadingListsOnlyTheShapesKept)
{
    const QByteArray small = BoardMaker().Make(400);
    const qsizetype rootAt = small.indexOf("PART");
    constexpr int kCuts = 23;
    for (int k = 1; k < kCuts; ++k) {
        const qsizetype length = rootAt + (small.size() - rootAt) * k / kCuts;
        SCOPED_TRACE(length);
        ReadTree deferred(small.left(length), true);
        ASSERT_EQ(deferred.listed, deferred.Shapes());
        RebuildOutlines(deferred.listed, 2);
        const ReadTree reference(small.left(length), false);
        expectSameShapes(deferred.listed, reference.Shapes());
    }
}
