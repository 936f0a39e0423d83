#include "Veskdump.h"

#include "Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <QJsonArray>

#include <map>

namespace vesk {

namespace {

    QString colorText(ARGB c) { return u'#' + QString::number(c, 16).rightJustified(8, u'0').toUpper(); }

    QJsonArray matrixJson(const Matrix& m)
    {
        QJsonArray a;
        for (float e : m.Elements())
            a.append(double(e));
        return a;
    }

    QJsonObject surfaceJson(const TVeskSurface& s)
    {
        return QJsonObject {
            { QStringLiteral("width"), double(s.GetWidth()) },
            { QStringLiteral("cutOut"), s.GetCutOut() },
            { QStringLiteral("fill"), s.GetFill() },
            { QStringLiteral("reserved"), s.GetReserved() },
            { QStringLiteral("lineJoin"), s.GetLineJoin() },
            { QStringLiteral("lineCap"), s.GetLineCap() },
        };
    }

    QJsonArray childrenJson(const TVeskContainer& c)
    {
        QJsonArray a;
        for (const auto& child : c.Children())
            a.append(ObjectToJson(*child));
        return a;
    }

    QString kindName(const TVeskObject& o)
    {
        return QString::fromLatin1(o.Tag(), 4).toLower();
    }

    struct Tally {
        std::map<QString, int> counts;
        RectF bounds;
        bool anyBounds = false;
    };

    // The drawing's extent is the union of its shapes, hidden ones included
    // (container bounds cover drawn children only).
    void tally(const TVeskObject& o, Tally& t)
    {
        ++t.counts[kindName(o)];
        if (const auto* c = dynamic_cast<const TVeskContainer*>(&o)) {
            for (const auto& child : c->Children())
                tally(*child, t);
            return;
        }
        RectF r;
        o.GetBounds(r);
        if (r.Width > 0 || r.Height > 0) {
            t.bounds = t.anyBounds ? RectF::Union(t.bounds, r) : r;
            t.anyBounds = true;
        }
    }

} // namespace

QJsonObject ObjectToJson(const TVeskObject& o)
{
    QJsonObject j;
    j[QStringLiteral("kind")] = kindName(o);
    if (const auto* inst = dynamic_cast<const TVeskInstance*>(&o))
        j[QStringLiteral("layer")] = inst->GetLayer() ? inst->GetLayer()->Name() : QString();
    j[QStringLiteral("selected")] = o.IsSelected();
    j[QStringLiteral("visible")] = o.IsVisible();
    j[QStringLiteral("locked")] = o.TVeskObject::IsLocked(); // the object's own flag, not its layer's
    j[QStringLiteral("pointEditing")] = o.IsPointEditing();
    j[QStringLiteral("name")] = o.GetName();
    j[QStringLiteral("viewScale")] = o.ViewScale();
    j[QStringLiteral("matrix")] = matrixJson(o.GetMatrixRef());
    j[QStringLiteral("surface")] = surfaceJson(o.Surface());

    if (const auto* path = dynamic_cast<const TVeskPath*>(&o)) {
        j[QStringLiteral("closed")] = path->IsClosed();
        QJsonArray points;
        const auto pts = path->Points();
        const auto flags = path->PointFlags();
        for (size_t i = 0; i < pts.size(); ++i)
            points.append(QJsonArray { double(pts[i].X), double(pts[i].Y), int(i < flags.size() ? flags[i] : 0) });
        j[QStringLiteral("points")] = points;
    }
    if (const auto* box = dynamic_cast<const TVeskBoxShape*>(&o)) {
        const auto* rect = dynamic_cast<const TVeskRect*>(&o);
        const auto* ellipse = dynamic_cast<const TVeskEllipse*>(&o);
        const RectF r = rect ? rect->Rect() : ellipse ? ellipse->Box() : RectF {};
        j[rect ? QStringLiteral("rect") : QStringLiteral("box")]
            = QJsonArray { double(r.X), double(r.Y), double(r.Width), double(r.Height) };
        QJsonArray handles;
        for (PointF h : box->Handles())
            handles.append(QJsonArray { double(h.X), double(h.Y) });
        j[QStringLiteral("handles")] = handles;
    }
    if (const auto* text = dynamic_cast<const TVeskString*>(&o)) {
        j[QStringLiteral("text")] = text->Text();
        j[QStringLiteral("family")] = text->FontFamilyName();
        j[QStringLiteral("style")] = int(text->FontStyle());
        j[QStringLiteral("emSize")] = double(text->EmSize());
    }
    if (const auto* c = dynamic_cast<const TVeskContainer*>(&o))
        j[QStringLiteral("children")] = childrenJson(*c);
    return j;
}

QJsonObject DocumentToJson(const TVeskDocument& doc)
{
    QJsonArray layers;
    const TVeskLayerList& list = doc.Layers();
    for (int i = 0; i < list.LayerCount(); ++i) {
        const TVeskLayer* l = list.LayerAt(i);
        layers.append(QJsonObject {
            { QStringLiteral("index"), l->index },
            { QStringLiteral("name"), l->Name() },
            { QStringLiteral("color"), colorText(l->opaqueColor) },
            { QStringLiteral("mask"), l->mask },
            { QStringLiteral("wireFrame"), l->wireFrame },
        });
    }
    return QJsonObject {
        { QStringLiteral("version"), doc.FileVersion() },
        { QStringLiteral("layers"), layers },
        { QStringLiteral("root"), ObjectToJson(doc.Root()) },
    };
}

QString DocumentSummary(const TVeskDocument& doc)
{
    QString s;
    s += QStringLiteral("version: %1\n").arg(doc.FileVersion());
    const TVeskLayerList& list = doc.Layers();
    s += QStringLiteral("layers: %1\n").arg(list.LayerCount());
    for (int i = 0; i < list.LayerCount(); ++i) {
        const TVeskLayer* l = list.LayerAt(i);
        QString flags;
        if (l->mask)
            flags += QStringLiteral(" mask");
        if (l->wireFrame)
            flags += QStringLiteral(" wire-frame");
        s += QStringLiteral("  %1 %2 %3%4\n").arg(i).arg(l->Name(), colorText(l->opaqueColor), flags);
    }
    Tally t;
    for (const auto& child : doc.Root().Children())
        tally(*child, t);
    int total = 0;
    for (const auto& [kind, n] : t.counts)
        total += n;
    s += QStringLiteral("objects: %1\n").arg(total);
    for (const auto& [kind, n] : t.counts)
        s += QStringLiteral("  %1 %2\n").arg(kind).arg(n);
    const RectF& b = t.bounds;
    if (!t.anyBounds)
        s += QStringLiteral("bounds: none\n");
    else
        s += QStringLiteral("bounds: %1 %2 %3 %4 (x y width height, 0.1 mm)\n")
                 .arg(double(b.X))
                 .arg(double(b.Y))
                 .arg(double(b.Width))
                 .arg(double(b.Height));
    return s;
}

} // namespace vesk
