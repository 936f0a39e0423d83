#pragma once

// Shared helpers of the legacy import tests: fixture files as streams and a
// one-line description of an imported tree that the tables compare against.

#include "model/Vesklayer.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"

#include <QFile>
#include <QStringList>
#include <memory>
#include <sstream>
#include <string>

namespace vesk::test {

inline QString ImportFixturePath(const char* name)
{
    return QStringLiteral(VESK_TEST_DATA "/import/") + QLatin1String(name);
}

inline std::string ReadImportFixture(const char* name)
{
    QFile f(ImportFixturePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// Five significant digits: a circle is placed by its centre and a rim point
// in single precision, so its diameter carries the rounding of that point
// (a 10-unit land at x = 125.4 is 9.99998 wide). -0 prints as 0.
inline QString Num(float v)
{
    return QString::number(double(v + 0.0f), 'g', 5);
}

inline QString Pt(PointF p)
{
    return QStringLiteral("(%1,%2)").arg(Num(p.X), Num(p.Y));
}

inline QString LayerOf(const TVeskInstance& o)
{
    return o.GetLayer() ? o.GetLayer()->Name() : QStringLiteral("?");
}

// Pads (circles and squares) must be filled without outline; anything else is flagged.
inline QString PadSurfaceNote(const TVeskObject& o)
{
    const TVeskSurface& s = o.Surface();
    return s.GetFill() && s.GetWidth() == 0 && s.GetLineCap() == 2 && s.GetLineJoin() == 2
        ? QString()
        : QStringLiteral(" !surface");
}

// One line per tree, children in order:
//   line LAYER (x,y)-(x,y) wWIDTH     a straight open two-anchor path
//   circle LAYER (cx,cy) dDIAMETER    a filled circle without outline
//   square LAYER (cx,cy) sSIDE        a filled square without outline
//   group[ ... ]
// in document coordinates. Anything that is not what the importer should
// make (a curve, a selected object, a stroked pad) shows up in the text.
inline QString Describe(const TVeskObject& o)
{
    QString text;
    if (o.IsSelected())
        text += QStringLiteral("selected ");
    if (auto* g = dynamic_cast<const TVeskGroup*>(&o)) {
        QStringList parts;
        for (const auto& child : g->Children())
            parts << Describe(*child);
        return text + QStringLiteral("group[") + parts.join(QStringLiteral("; ")) + u']';
    }
    const Matrix& m = o.GetMatrixRef();
    if (auto* p = dynamic_cast<const TVeskPath*>(&o)) {
        const auto& pts = p->Points();
        if (pts.size() != 6 || p->IsClosed() || pts[1] != pts[0] || pts[2] != pts[3] || pts[4] != pts[3]
            || pts[5] != pts[0] || o.Surface().GetFill())
            return text + QStringLiteral("odd path");
        return text
            + QStringLiteral("line %1 %2-%3 w%4")
                  .arg(LayerOf(*p), Pt(m.TransformPoint(pts[0])), Pt(m.TransformPoint(pts[3])),
                      Num(o.Surface().GetWidth()));
    }
    if (auto* e = dynamic_cast<const TVeskEllipse*>(&o)) {
        const RectF b = e->Box();
        if (b.Width != b.Height || b.X != -b.Width / 2 || b.Y != -b.Height / 2)
            return text + QStringLiteral("odd ellipse");
        return text
            + QStringLiteral("circle %1 %2 d%3").arg(LayerOf(*e), Pt(m.TransformPoint({})), Num(b.Width))
            + PadSurfaceNote(o);
    }
    if (auto* r = dynamic_cast<const TVeskRect*>(&o)) {
        const RectF b = r->Rect();
        if (b.Width != b.Height)
            return text + QStringLiteral("odd rect");
        const PointF centre = m.TransformPoint({ b.X + b.Width / 2, b.Y + b.Height / 2 });
        return text + QStringLiteral("square %1 %2 s%3").arg(LayerOf(*r), Pt(centre), Num(b.Width))
            + PadSurfaceNote(o);
    }
    return text + QStringLiteral("unexpected ") + QLatin1String(o.Tag());
}

// Describe as a standard string, so that failures print readably.
inline std::string Tree(const TVeskObject& o)
{
    return Describe(o).toStdString();
}

// "n:a|b|..." so that an empty list and a list of one empty name differ.
inline std::string Joined(const QStringList& list)
{
    return (QString::number(list.size()) + u':' + list.join(u'|')).toStdString();
}

} // namespace vesk::test
