// A damaged document whose paths reach hundreds of kilometres: reading it
// must build outlines of bounded size, keep every stored value, and leave the
// ordinary part of each shape intact.

#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

QString fixture()
{
    return QStringLiteral(VESK_TEST_DATA "/huge-curve.vbf");
}

TEST(PathHugeCurve, DamagedDocumentReadsWithOutlinesOfBoundedSize)
{
    TVeskDocument doc;
    ASSERT_TRUE(doc.Read(fixture()));
    ASSERT_EQ(doc.Root().ChildCount(), 7);
    std::vector<const TVeskPath*> paths;
    for (int i = 0; i < doc.Root().ChildCount(); ++i) {
        const auto* path = dynamic_cast<const TVeskPath*>(doc.Root().ChildAt(i));
        ASSERT_NE(path, nullptr) << i;
        paths.push_back(path);
        // Flattened at the asked tolerance these took up to 28,000 outline
        // points (and seconds of union work); none of the shapes needs that.
        EXPECT_LE(path->OutlinePath().GetPointCount(), 2000) << i;
    }

    // Nothing stored is refused or altered: the far control points stay as read.
    EXPECT_EQ(paths[5]->Points()[13].Y, 12993536.0f);
    EXPECT_EQ(paths[6]->Points()[11].X, 4398047559680.0f);

    // The 1.3 km spike of path 5 leaves its ordinary 10 mm body filled and stroked.
    EXPECT_TRUE(paths[5]->HitTest({ 760, 90 }));
    EXPECT_TRUE(paths[5]->HitTest({ 800, 90 }));
    EXPECT_FALSE(paths[5]->HitTest({ 820, 90 }));

    // What is written reads back to the same bytes.
    const QByteArray written = doc.ToBytes();
    TVeskDocument again;
    again.ReadBytes(written);
    EXPECT_EQ(again.ToBytes(), written);
}

} // namespace
} // namespace vesk
