// Documents cut short and drawings nested deep, through vesk-cli: whatever
// was complete survives the reading, and whatever is imported reads back.
#include "CliSupport.h"
#include "io/Veskdocument.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <cctype>
#include <gtest/gtest.h>

namespace {

using namespace vesk;
using namespace vesk::test;

// The "objects: N" line of `vesk-cli info`, or -1.
int objectsOf(const QString& path)
{
    const ProcessRun r = cli({ QStringLiteral("info"), path });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto m
        = QRegularExpression(QStringLiteral("^objects: (\\d+)$"), QRegularExpression::MultilineOption)
              .match(QString::fromUtf8(r.out));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Ten rectangles, laid out in groups as a case asks: every object of the
// layout is written in record order, so the n-th "RECT" tag in the bytes
// starts the n-th rectangle.
enum class Layout {
    Flat, // root: 10 rectangles
    InGroup, // root: group of 10 rectangles
    Nested, // root: rectangle, group of (rectangle, group of 8 rectangles)
};

QByteArray tenRectangles(Layout layout)
{
    TVeskDocument doc;
    const TVeskRect rect(doc.Layers().LayerAt(1), TVeskSurface(2.0f, false, true, 0));
    const auto addRects = [&](TVeskContainer& into, int n) {
        for (int i = 0; i < n; ++i)
            into.Add(rect);
    };
    switch (layout) {
    case Layout::Flat:
        addRects(doc.Root(), 10);
        break;
    case Layout::InGroup: {
        auto g = std::make_unique<TVeskGroup>();
        addRects(*g, 10);
        doc.Root().Adopt(std::move(g));
        break;
    }
    case Layout::Nested: {
        addRects(doc.Root(), 1);
        auto outer = std::make_unique<TVeskGroup>();
        addRects(*outer, 1);
        auto inner = std::make_unique<TVeskGroup>();
        addRects(*inner, 8);
        outer->Adopt(std::move(inner));
        doc.Root().Adopt(std::move(outer));
        break;
    }
    }
    return doc.ToBytes();
}

struct CutCase {
    const char* what;
    Layout layout;
    int completeRects; // the cut lies in the record after this many rectangles
    int intoRecord; // bytes into that record
    int objects; // what info then counts: complete rectangles and the groups holding them
};

class TruncatedDocument : public ::testing::TestWithParam<CutCase> { };

TEST_P(TruncatedDocument, KeepsEveryCompleteObject)
{
    const CutCase& c = GetParam();
    const QByteArray full = tenRectangles(c.layout);
    qsizetype at = -1;
    for (int i = 0; i <= c.completeRects; ++i)
        at = full.indexOf("RECT", at + 1);
    ASSERT_GT(at, 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.vbf"));
    ASSERT_TRUE(writeFile(path, full.left(at + c.intoRecord)));
    EXPECT_EQ(objectsOf(path), c.objects);
}

INSTANTIATE_TEST_SUITE_P(Cli, TruncatedDocument,
    ::testing::Values(CutCase { "flat, after 2", Layout::Flat, 2, 0, 2 },
        CutCase { "flat, after 8", Layout::Flat, 8, 0, 8 },
        CutCase { "flat, inside the 4th", Layout::Flat, 3, 10, 3 },
        CutCase { "flat, inside the 1st", Layout::Flat, 0, 10, 0 },
        CutCase { "group, after 4", Layout::InGroup, 4, 0, 5 },
        CutCase { "group, before its first", Layout::InGroup, 0, 0, 0 },
        CutCase { "nested, outer group empty", Layout::Nested, 1, 0, 1 },
        CutCase { "nested, inner group empty", Layout::Nested, 2, 0, 3 },
        CutCase { "nested, 3 in the inner group", Layout::Nested, 5, 6, 7 }),
    [](const auto& info) {
        std::string name;
        for (const char ch : std::string(info.param.what))
            if (std::isalnum(static_cast<unsigned char>(ch)))
                name += ch;
        return name;
    });

// A legacy drawing with a land, `depth` nested groups around a second land,
// and a flash.
QByteArray nestedDrawing(int depth)
{
    QByteArray text = "VESK:Version 1\n[LayerDef]\nLAYER:NAME=solder,COLOR=1\nEND\n[FlshDef]\n[LineDef]\n"
                      "[DrawItems]\nLAND:LE=0\n";
    for (int i = 0; i < depth; ++i)
        text += "GROUP\n";
    text += "LAND:LE=0\n";
    for (int i = 0; i < depth; ++i)
        text += "ENDGR\n";
    text += "FLSH:LE=0\n";
    return text;
}

struct DepthCase {
    int depth; // groups in the drawing
    int groups; // groups imported
    int flattened; // groups merged into the deepest one allowed
};

class DeepImport : public ::testing::TestWithParam<DepthCase> { };

// The import group lies in the root, so 255 levels of the drawing's own
// groups are the deepest a document may hold below it.
TEST_P(DeepImport, ReadsBackWhole)
{
    const DepthCase& c = GetParam();
    QTemporaryDir dir;
    const QString pcb = dir.filePath(QStringLiteral("deep.pcb"));
    const QString vbf = dir.filePath(QStringLiteral("deep.vbf"));
    ASSERT_TRUE(writeFile(pcb, nestedDrawing(c.depth)));
    const ProcessRun r = cli({ QStringLiteral("import"), pcb, QStringLiteral("-o"), vbf,
        QStringLiteral("--map"), QStringLiteral("0=dimension") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString out = QString::fromUtf8(r.out);
    EXPECT_TRUE(out.contains(QStringLiteral("imported: 3 objects, %1 groups\n").arg(c.groups)))
        << out.toStdString();
    EXPECT_EQ(out.contains(QStringLiteral("flattened: %1 groups nested deeper than 255\n").arg(c.flattened)),
        c.flattened > 0)
        << out.toStdString();
    // Three shapes, the drawing's groups and the import group.
    EXPECT_EQ(objectsOf(vbf), 3 + c.groups + 1);
}

INSTANTIATE_TEST_SUITE_P(Cli, DeepImport,
    ::testing::Values(DepthCase { 1, 1, 0 }, DepthCase { 255, 255, 0 }, DepthCase { 256, 255, 1 },
        DepthCase { 300, 255, 45 }));

// Each level of a chain of groups holds a rectangle, then the next level.
QByteArray chainOfGroups(int depth)
{
    TVeskDocument doc;
    const TVeskRect rect(doc.Layers().LayerAt(1), TVeskSurface(2.0f, false, true, 0));
    std::unique_ptr<TVeskGroup> chain;
    for (int i = 0; i < depth; ++i) {
        auto level = std::make_unique<TVeskGroup>();
        level->Add(rect);
        if (chain)
            level->Adopt(std::move(chain));
        chain = std::move(level);
    }
    doc.Root().Adopt(std::move(chain));
    return doc.ToBytes();
}

struct ChainCase {
    int depth;
    int objects;
};

class DeepDocument : public ::testing::TestWithParam<ChainCase> { };

// Levels below the 256th are refused; every level above keeps its rectangle.
TEST_P(DeepDocument, KeepsEveryLevelItAccepts)
{
    const ChainCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chain.vbf"));
    ASSERT_TRUE(writeFile(path, chainOfGroups(c.depth)));
    EXPECT_EQ(objectsOf(path), c.objects);
}

INSTANTIATE_TEST_SUITE_P(Cli, DeepDocument,
    ::testing::Values(
        ChainCase { 2, 4 }, ChainCase { 256, 512 }, ChainCase { 257, 512 }, ChainCase { 300, 512 }));

} // namespace
