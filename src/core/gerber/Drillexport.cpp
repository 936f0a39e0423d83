#include "Drillexport.h"

#include "Excellonwriter.h"
#include "Gerberlayerorder.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"
#include "model/Veskobject.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <optional>

namespace vesk {

namespace {

// The drawn outline adds its pen to the size; an outline of no width adds nothing.
float penWidthOf(const TVeskObject& o)
{
    const float w = o.Surface().GetWidth();
    return w > 0 ? w : 0.0f;
}

// A circle's placed diameter, when the placement keeps the ellipse round:
// its two placed semi-axes are of one length and at right angles.
std::optional<float> placedCircleDiameter(const TVeskEllipse& e)
{
    const RectF box = e.NormalizedBox();
    const Matrix& m = e.GetMatrixRef();
    const PointF u = m.TransformVector({ box.Width / 2, 0 });
    const PointF v = m.TransformVector({ 0, box.Height / 2 });
    const double uu = double(u.X) * u.X + double(u.Y) * u.Y;
    const double vv = double(v.X) * v.X + double(v.Y) * v.Y;
    const double det = std::fabs(double(u.X) * v.Y - double(u.Y) * v.X);
    // Equal singular values: |u|^2 + |v|^2 = 2 |det|, both sides in square units.
    if (!(uu + vv > 0) || (uu + vv - 2 * det) > 1e-6 * (uu + vv))
        return std::nullopt;
    return float(2 * std::sqrt(det));
}

struct Slot {
    PointF from;
    PointF to;
};

// A round-capped open path whose every point lies on one straight line: the
// slot between its two farthest points.
std::optional<Slot> straightSlot(const TVeskPath& p)
{
    const TVeskSurface& s = p.Surface();
    if (p.IsClosed() || !(s.GetWidth() > 0) || s.GetLineCap() != 2 || s.GetFill())
        return std::nullopt;
    const std::vector<PointF>& entries = p.Points();
    if (entries.size() < 3)
        return std::nullopt;
    // The last two entries shape only the closing segment of a closed path.
    std::vector<PointF> points(entries.begin(), entries.end() - 2);
    for (PointF& q : points)
        q = p.GetMatrixRef().TransformPoint(q);
    // The farthest pair along the line through the first point and the farthest from it.
    const PointF a = points.front();
    PointF b = a;
    double far = 0;
    for (const PointF q : points) {
        const double d = std::hypot(double(q.X) - a.X, double(q.Y) - a.Y);
        if (d > far) {
            far = d;
            b = q;
        }
    }
    if (far == 0)
        return Slot { a, a };
    const double dx = (double(b.X) - a.X) / far, dy = (double(b.Y) - a.Y) / far;
    double lo = 0, hi = 0;
    for (const PointF q : points) {
        const double along = (double(q.X) - a.X) * dx + (double(q.Y) - a.Y) * dy;
        const double across = (double(q.X) - a.X) * dy - (double(q.Y) - a.Y) * dx;
        // Off the line by more than a micrometre: a bend, not a slot.
        if (std::fabs(across) > 0.01)
            return std::nullopt;
        lo = std::min(lo, along);
        hi = std::max(hi, along);
    }
    return Slot { PointF { float(a.X + lo * dx), float(a.Y + lo * dy) },
        PointF { float(a.X + hi * dx), float(a.Y + hi * dy) } };
}

TVeskMessage kindOf(const TVeskObject& o)
{
    if (dynamic_cast<const TVeskEllipse*>(&o))
        return TMessageId::ShapeEllipse;
    if (dynamic_cast<const TVeskRect*>(&o))
        return TMessageId::ShapeRectangle;
    if (dynamic_cast<const TVeskPath*>(&o))
        return TMessageId::ShapePath;
    if (dynamic_cast<const TVeskString*>(&o))
        return TMessageId::ShapeText;
    return QString::fromLatin1(o.Tag()).toLower();
}

TVeskMessage describe(const TVeskObject& o, const QString& layerName, TMessageId why)
{
    RectF b;
    o.GetBounds(b);
    const TVeskMessage name
        = o.GetName().isEmpty() ? TVeskMessage() : TVeskMessage(TMessageId::ShapeName, { o.GetName() });
    return { TMessageId::ShapeLeftOut,
        { layerName, kindOf(o), name, QString::number(double(b.X + b.Width / 2) * 0.1, 'f', 3),
            QString::number(double(b.Y + b.Height / 2) * 0.1, 'f', 3), why } };
}

TDrillFileResult writeFile(
    const TExcellonWriter& writer, const QString& fileName, bool plated, const QDateTime& created)
{
    TDrillFileResult r;
    r.fileName = fileName;
    r.plated = plated;
    r.tools = writer.ToolCount();
    r.hits = writer.HitCount();
    r.slots = writer.SlotCount();
    if (r.NothingToDrill()) {
        r.ok = true;
        return r;
    }
    QSaveFile file(fileName);
    const QByteArray text = writer.Text(created);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        r.error = { TMessageId::CannotWrite, { fileName, file.errorString() } };
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace

bool TDrillExportResult::AllWritten() const
{
    return leftOut.empty()
        && std::all_of(files.begin(), files.end(), [](const TDrillFileResult& f) { return f.ok; });
}

bool IsNonPlatedLayer(const QString& layerName)
{
    return layerName.contains(QLatin1String("npth"), Qt::CaseInsensitive);
}

std::vector<int> DrillLayers(const TVeskLayerList& layers)
{
    std::vector<int> indices;
    for (int i = 0; i < layers.LayerCount(); ++i) {
        const QString& name = layers.LayerAt(i)->Name();
        if (name == QLatin1String("hole") || IsNonPlatedLayer(name))
            indices.push_back(i);
    }
    return indices;
}

QString NonPlatedDrillFileName(const QString& platedFile)
{
    const QFileInfo info(platedFile);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("drl") : info.suffix();
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-npth.") + suffix);
}

void CollectDrillHoles(const TVeskObject& root, const TVeskLayerList& layers, int layerIndex,
    TExcellonWriter& into, std::vector<TVeskMessage>& leftOut)
{
    const TVeskLayer* layer = layers.LayerAt(layerIndex);
    const QString layerName = layer ? layer->Name() : QString::number(layerIndex);
    std::vector<TVeskObject*> found;
    // Collecting only reads; it is declared for callers that go on to edit.
    const_cast<TVeskObject&>(root).CollectByLayer(found, layerIndex);
    for (const TVeskObject* o : found) {
        if (PaintsClear(*o, layerIndex)) {
            leftOut.push_back(describe(*o, layerName, TMessageId::IsCutOut));
            continue;
        }
        if (const auto* e = dynamic_cast<const TVeskEllipse*>(o)) {
            if (const auto d = placedCircleDiameter(*e)) {
                const RectF box = e->NormalizedBox();
                into.AddHit(
                    e->GetMatrixRef().TransformPoint({ box.X + box.Width / 2, box.Y + box.Height / 2 }),
                    *d + penWidthOf(*e));
                continue;
            }
            leftOut.push_back(describe(*o, layerName, TMessageId::NotRound));
            continue;
        }
        if (const auto* p = dynamic_cast<const TVeskPath*>(o)) {
            if (p->Points().size() < 3)
                continue; // nothing is drawn of it
            if (const auto slot = straightSlot(*p)) {
                if (slot->from == slot->to)
                    into.AddHit(slot->from, p->Surface().GetWidth());
                else
                    into.AddSlot(slot->from, slot->to, p->Surface().GetWidth());
                continue;
            }
            leftOut.push_back(describe(*o, layerName, TMessageId::NeitherStrokeNorCircle));
            continue;
        }
        leftOut.push_back(describe(*o, layerName, TMessageId::NeitherRoundNorOblong));
    }
}

TDrillExportResult ExportDrillFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& platedFile, const TDrillOptions& options)
{
    TDrillExportResult result;
    TExcellonWriter plated(true), nonPlated(false);
    bool anyNonPlated = false;
    for (const int index : layerIndices) {
        const TVeskLayer* layer = layers.LayerAt(index);
        const bool npth = layer && IsNonPlatedLayer(layer->Name());
        anyNonPlated |= npth;
        CollectDrillHoles(root, layers, index, npth ? nonPlated : plated, result.leftOut);
    }
    const QDateTime created
        = options.creationDate.isValid() ? options.creationDate : QDateTime::currentDateTime();
    result.files.push_back(writeFile(plated, platedFile, true, created));
    if (anyNonPlated)
        result.files.push_back(writeFile(nonPlated, NonPlatedDrillFileName(platedFile), false, created));
    return result;
}

} // namespace vesk
