#pragma once

// Shared set-up of the Gerber tests: the default layers, shapes built the way
// their tools leave them, writing one layer into memory, and a reader of the
// body records so that geometry can be checked where text would be brittle.

#include "StoredSurface.h"
#include "gerber/Gerberfilestream.h"
#include "io/Veskfilestream.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <vector>

namespace vesk::test {

// Entries of a path through the anchors with straight segments (every control point on its anchor).
inline std::vector<PointF> StraightEntries(std::initializer_list<PointF> anchors)
{
    return vesk::StraightEntries(std::vector<PointF>(anchors));
}

inline TVeskSurface SurfaceOf(float width, bool fill, int cap = 2)
{
    TVeskSurface s(width, false, fill, 4);
    s.SetLineCap(cap);
    return s;
}

// The whole file one stream writes for a root and a layer.
inline QByteArray WriteLayer(const TVeskObject& root, int layerIndex, const QString& name)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TGerber_ostream out(buffer);
    out.SetLayerName(name);
    root.WriteGerber(out, layerIndex);
    EXPECT_TRUE(out.WriteFile()) << out.ErrorString().toStdString();
    return bytes;
}

// The records after the header and the aperture definitions, without "M02*".
inline QList<QByteArray> BodyLines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    if (!lines.isEmpty() && lines.back() == "M02*")
        lines.removeLast();
    qsizetype i = 0;
    while (i < lines.size() && (lines[i].startsWith('%') || lines[i] == "G75*" || lines[i] == "G71*"))
        ++i;
    return lines.mid(i);
}

struct Record {
    enum Kind { Select, Move, Draw, Flash } kind;
    int code = 0; // aperture of a selection
    PointF at; // document units of a coordinate record
};

// Parses the body records; fails the test on anything else.
inline std::vector<Record> ParseBody(const QList<QByteArray>& lines)
{
    std::vector<Record> records;
    for (const QByteArray& line : lines) {
        if (line.startsWith("G54D") && line.endsWith('*')) {
            records.push_back({ Record::Select, line.mid(4, line.size() - 5).toInt(), {} });
            continue;
        }
        const qsizetype y = line.indexOf('Y'), d = line.indexOf('D');
        if (!line.startsWith('X') || y < 0 || d < y || !line.endsWith('*')) {
            ADD_FAILURE() << "not a body record: " << line.toStdString();
            continue;
        }
        const float x = float(line.mid(1, y - 1).toLongLong() / 100.0);
        const float yy = float(line.mid(y + 1, d - y - 1).toLongLong() / 100.0);
        const QByteArray op = line.mid(d, line.size() - d);
        const Record::Kind kind = op == "D01*" ? Record::Draw : op == "D02*" ? Record::Move : Record::Flash;
        records.push_back({ kind, 0, { x, yy } });
    }
    return records;
}

struct Stroke {
    PointF from;
    PointF to;
};

// The hatch strokes: the move-draw pairs after the last aperture selection.
inline std::vector<Stroke> LastHatch(const std::vector<Record>& records)
{
    size_t i = records.size();
    while (i > 0 && records[i - 1].kind != Record::Select)
        --i;
    std::vector<Stroke> strokes;
    for (; i + 1 < records.size(); i += 2) {
        EXPECT_EQ(records[i].kind, Record::Move);
        EXPECT_EQ(records[i + 1].kind, Record::Draw);
        strokes.push_back({ records[i].at, records[i + 1].at });
    }
    return strokes;
}

class GerberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers.ResetToDefaults();
        component = layers.FindLayer(QStringLiteral("component"));
        solder = layers.FindLayer(QStringLiteral("solder"));
        ASSERT_NE(component, nullptr);
        ASSERT_NE(solder, nullptr);
    }

    std::unique_ptr<TVeskPath> MakePath(std::vector<PointF> entries, const TVeskSurface& surface, bool closed,
        const Matrix& matrix = Matrix(), TVeskLayer* layer = nullptr)
    {
        auto path = std::make_unique<TVeskPath>(layer ? layer : component, surface);
        path->SetPoints(std::move(entries), {});
        path->SetClosed(closed);
        path->SetMatrix(matrix);
        return path;
    }

    // A rectangle of w by h centred on c, turned or mirrored about its centre by `placement`.
    std::unique_ptr<TVeskRect> MakeRect(
        PointF c, float w, float h, const TVeskSurface& surface, const Matrix& placement = Matrix())
    {
        auto rect = std::make_unique<TVeskRect>(component, surface);
        rect->SetCorners({ c.X - w / 2, c.Y - h / 2 }, { c.X + w / 2, c.Y + h / 2 });
        Matrix m = placement;
        m.Translate(c.X, c.Y, MatrixOrder::Append);
        rect->SetMatrix(m);
        return rect;
    }

    // A circle of radius r at c stretched to the semi-axes rx, ry, then placed.
    std::unique_ptr<TVeskEllipse> MakeEllipse(
        PointF c, float rx, float ry, const TVeskSurface& surface, const Matrix& placement = Matrix())
    {
        auto e = std::make_unique<TVeskEllipse>(component, surface);
        e->SetCircle({ 0, 0 }, { rx, 0 });
        e->SetHandlesSelected(false);
        // Handle 1 sits below the centre: dragging it down by ry - rx makes the vertical semi-axis ry.
        e->SelectHandleAt({ 0, rx }, 0.5f);
        e->MoveSelection(0, ry - rx, MatrixOrder::Append);
        e->SetHandlesSelected(false);
        Matrix m;
        m.Multiply(placement, MatrixOrder::Append);
        m.Translate(c.X, c.Y, MatrixOrder::Append);
        e->SetMatrix(m);
        return e;
    }

    TVeskLayerList layers;
    TVeskLayer* component = nullptr;
    TVeskLayer* solder = nullptr;
};

} // namespace vesk::test
