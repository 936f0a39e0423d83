// A damaged document whose paths reach hundreds of kilometres: the paths
// that reach that far are left out and counted, the others read with
// outlines of bounded size, and what is kept writes back as it was read.

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

TEST(PathHugeCurve, DamagedDocumentReadsWithoutTheFarPathsAndWithOutlinesOfBoundedSize)
{
    TVeskDocument doc;
    ASSERT_TRUE(doc.Read(fixture()));
    // Two of the seven reach 1.3 km and 440,000 km.
    EXPECT_EQ(doc.SkippedRecords(), 2);
    ASSERT_EQ(doc.Root().ChildCount(), 5);
    for (int i = 0; i < doc.Root().ChildCount(); ++i) {
        const auto* path = dynamic_cast<const TVeskPath*>(doc.Root().ChildAt(i));
        ASSERT_NE(path, nullptr) << i;
        // Flattened at the asked tolerance these took up to 28,000 outline
        // points (and seconds of union work); none of the shapes needs that.
        EXPECT_LE(path->OutlinePath().GetPointCount(), 2000) << i;
    }

    // What is written reads back to the same bytes.
    const QByteArray written = doc.ToBytes();
    TVeskDocument again;
    again.ReadBytes(written);
    EXPECT_EQ(again.ToBytes(), written);
}

} // namespace
} // namespace vesk
