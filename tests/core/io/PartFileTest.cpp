// Pad and library part files: a document's objects read onto another
// document's layers as one group, anything but a whole document refused,
// and the folders listed in one stable order.
#include "io/Veskdocument.h"
#include "io/Veskpartfile.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

// Two squares: one on "component", one on a layer only this file has.
// The file's layer table is the default one with "pad_own" added on top.
QByteArray partBytes()
{
    TVeskDocument doc;
    doc.Layers().SetCurrent(doc.Layers().LayerAt(0));
    TVeskLayer* own = doc.Layers().AddNamedLayer(0xFF102030, QStringLiteral("pad_own"));
    const struct {
        TVeskLayer* layer;
        PointF a, b;
    } squares[] = {
        { doc.Layers().FindLayer(QStringLiteral("component")), { -8, -8 }, { 8, 8 } },
        { own, { -10, -10 }, { 10, 10 } },
    };
    for (const auto& s : squares) {
        TVeskRect r(s.layer, TVeskSurface(0.0f, false, true, 4));
        r.SetCorners(s.a, s.b);
        doc.Root().Add(r);
    }
    return doc.ToBytes();
}

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

TEST(PartFile, ADocumentsObjectsComeAsOneGroupOnTheTargetsLayers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = writeFile(dir, "pad.vbf", partBytes());

    TVeskDocument target;
    TVeskLayerList& layers = target.Layers();
    TVeskLayer* component = layers.FindLayer(QStringLiteral("component"));
    const int before = layers.LayerCount();
    const std::unique_ptr<TVeskGroup> group = ReadPartFile(path, layers);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->ChildCount(), 2);

    // Known names map onto the target's own layers; the file's table is not
    // taken over, only the name the target lacked is added.
    auto layerOf = [&](int i) { return dynamic_cast<TVeskInstance&>(*group->ChildAt(i)).GetLayer(); };
    EXPECT_EQ(layerOf(0), component);
    EXPECT_EQ(layers.LayerCount(), before + 1);
    ASSERT_NE(layers.FindLayer(QStringLiteral("pad_own")), nullptr);
    EXPECT_EQ(layerOf(1), layers.FindLayer(QStringLiteral("pad_own")));
    EXPECT_EQ(layers.FindLayer(QStringLiteral("pad_own"))->opaqueColor, 0xFF808080u);

    RectF bounds;
    group->GetBounds(bounds);
    EXPECT_EQ(bounds, RectF(-10, -10, 20, 20));
}

TEST(PartFile, AnythingButAWholeDocumentIsRefused)
{
    const QByteArray whole = partBytes();
    TVeskDocument plain;
    const QByteArray layerTableOnly = plain.ToBytes().left(177);
    QByteArray otherTag = whole;
    otherTag.replace(177, 4, "GRUP");
    const struct {
        const char* what;
        QByteArray bytes;
        bool readable;
    } cases[] = {
        { "whole", whole, true },
        { "empty part", plain.ToBytes(), true },
        { "empty file", QByteArray(), false },
        { "short header", whole.left(10), false },
        { "cut in the layer table", whole.left(60), false },
        { "ends after the layer table", layerTableOnly, false },
        { "another record than a part", otherTag, false },
        { "cut inside the last object", whole.left(whole.size() - 60), false },
        { "cut before the part's own block", whole.left(whole.size() - 20), false },
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = writeFile(dir, "case.vbf", c.bytes);
        TVeskDocument target;
        EXPECT_EQ(ReadPartFile(path, target.Layers()) != nullptr, c.readable);
    }
    TVeskDocument target;
    EXPECT_EQ(ReadPartFile(dir.filePath(QStringLiteral("missing.vbf")), target.Layers()), nullptr);
    EXPECT_EQ(ReadPartFile(dir.path(), target.Layers()), nullptr);
}

TEST(PartFile, FoldersListInNaturalNameOrderWithoutHiddenEntries)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir root(dir.path());
    for (const char* folder : { "c10", "b", ".git", "c9", "Q", "A", "q", "x.vbf" })
        ASSERT_TRUE(root.mkdir(QLatin1String(folder)));
    for (const char* file : { "DIP-14.vbf", "DIP-8.vbf", "a.VBF", ".hidden.vbf", "notes.txt", "DIP-08b.vbf" })
        writeFile(dir, file, QByteArray("x"));

    auto names = [](std::initializer_list<const char*> list) {
        QStringList out;
        for (const char* n : list)
            out << QLatin1String(n);
        return out;
    };
    EXPECT_EQ(PartSubfolders(dir.path()), names({ "A", "b", "c9", "c10", "Q", "q", "x.vbf" }));
    EXPECT_EQ(PartFiles(dir.path()), names({ "a.VBF", "DIP-8.vbf", "DIP-08b.vbf", "DIP-14.vbf" }));
    EXPECT_TRUE(PartFiles(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

} // namespace
