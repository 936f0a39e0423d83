#pragma once

// Small pad and part files written through the core into a test's folder,
// and a fixture whose main window reads its pad and library folders there.
#include "ToolWindowFixture.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskrectangle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace vesk::test {

// A filled square of the given side, centred on a point, on a named layer.
struct FixtureSquare {
    const char* layer;
    PointF centre;
    float side;
};

// Writes a document with these squares; missing folders are made.
inline void WritePartFile(const QString& path, const std::vector<FixtureSquare>& squares)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    TVeskDocument doc;
    for (const FixtureSquare& s : squares) {
        TVeskLayer* layer = doc.Layers().FindLayer(QLatin1String(s.layer));
        if (!layer)
            layer = doc.Layers().AddNamedLayer(0xFF808080, QLatin1String(s.layer));
        TVeskRect r(layer, TVeskSurface(0.0f, false, true, 4));
        const float h = s.side / 2;
        r.SetCorners({ s.centre.X - h, s.centre.Y - h }, { s.centre.X + h, s.centre.Y + h });
        r.SetSelected(false);
        doc.Root().Add(r);
    }
    ASSERT_TRUE(doc.Write(path).ok);
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A DIP-8 footprint: two rows of four 16-unit pads, 25.4 units apart along
// a row and 76.2 units between the rows, origin in the middle.
inline std::vector<FixtureSquare> Dip8()
{
    std::vector<FixtureSquare> pads;
    for (int i = 0; i < 4; ++i)
        for (float y : { -38.1f, 38.1f })
            pads.push_back({ "component", { -38.1f + 25.4f * float(i), y }, 16 });
    return pads;
}

// The main window over the folders "pad" and "lib" of the test's own folder.
class PartFolderFixture : public ToolWindowFixture {
public:
    void configure(TEditorContext& context) override { context.SetDataFolders(padFolder(), libFolder()); }
    QString padFolder() const { return dir.filePath(QStringLiteral("pad")); }
    QString libFolder() const { return dir.filePath(QStringLiteral("lib")); }
    QString padFile(const char* name) const { return QDir(padFolder()).filePath(QLatin1String(name)); }
    QString libFile(const char* name) const { return QDir(libFolder()).filePath(QLatin1String(name)); }
};

} // namespace vesk::test
