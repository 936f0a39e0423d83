#include "GerberBoard.h"

#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <initializer_list>
#include <vector>

namespace vesk::test {

namespace {

enum Cap { Flat = 0, Square = 1, Round = 2 };

TVeskSurface surface(float width, bool fill, Cap cap = Round)
{
    TVeskSurface s(width, false, fill, 4);
    s.SetLineCap(cap);
    return s;
}

Matrix placed(PointF at, float degrees = 0, float sx = 1, float sy = 1)
{
    Matrix m;
    m.Scale(sx, sy);
    m.Rotate(degrees, MatrixOrder::Append);
    m.Translate(at.X, at.Y, MatrixOrder::Append);
    return m;
}

// Anchors joined by straight segments.
std::vector<PointF> straight(std::initializer_list<PointF> anchors)
{
    return vesk::StraightEntries(std::vector<PointF>(anchors));
}

class Builder {
public:
    explicit Builder(TVeskDocument& doc)
        : doc_(doc)
    {
    }

    TVeskLayer* Layer(const char* name) { return doc_.Layers().FindLayer(QString::fromLatin1(name)); }

    std::unique_ptr<TVeskPath> Path(const char* layer, std::vector<PointF> entries, bool closed,
        const TVeskSurface& s, const Matrix& m = Matrix())
    {
        auto p = std::make_unique<TVeskPath>(Layer(layer), s);
        p->SetPoints(std::move(entries), {});
        p->SetClosed(closed);
        p->SetMatrix(m);
        return p;
    }

    std::unique_ptr<TVeskRect> Rect(const char* layer, PointF c, float w, float h, const TVeskSurface& s,
        float degrees = 0, float sx = 1, float sy = 1)
    {
        auto r = std::make_unique<TVeskRect>(Layer(layer), s);
        r->SetCorners({ c.X - w / 2, c.Y - h / 2 }, { c.X + w / 2, c.Y + h / 2 });
        r->SetMatrix(placed(c, degrees, sx, sy));
        r->SetSelected(false);
        return r;
    }

    std::unique_ptr<TVeskEllipse> Ellipse(const char* layer, PointF c, float rx, float ry,
        const TVeskSurface& s, float degrees = 0, float sx = 1, float sy = 1)
    {
        auto e = std::make_unique<TVeskEllipse>(Layer(layer), s);
        e->SetCircle({ 0, 0 }, { rx, 0 });
        if (ry != rx) {
            // The point tool's way: drag the handle below the centre to the other semi-axis.
            e->SetHandlesSelected(false);
            e->SelectHandleAt({ 0, rx }, 0.5f);
            e->MoveSelection(0, ry - rx, MatrixOrder::Append);
        }
        e->SetMatrix(placed(c, degrees, sx, sy));
        e->SetSelected(false);
        return e;
    }

    std::unique_ptr<TVeskString> Text(
        const char* layer, const QString& text, PointF at, float em, float degrees = 0, float sx = 1)
    {
        auto t = std::make_unique<TVeskString>(Layer(layer), surface(1, false));
        t->SetFont(QStringLiteral("MS UI Gothic"), 0, em);
        t->PlaceText(text, at);
        t->SetMatrix(placed(at, degrees, sx, 1));
        t->SetSelected(false);
        return t;
    }

    void Add(const TVeskObject& o) { doc_.Root().Add(o); }

private:
    TVeskDocument& doc_;
};

// A closed blob of four Bezier segments around c.
std::vector<PointF> blob(PointF c, float r)
{
    const float k = r * 0.5522848f;
    return {
        { c.X + r, c.Y },
        { c.X + r, c.Y + k },
        { c.X + k * 1.4f, c.Y + r },
        { c.X, c.Y + r },
        { c.X - k, c.Y + r },
        { c.X - r, c.Y + k * 0.6f },
        { c.X - r, c.Y },
        { c.X - r, c.Y - k },
        { c.X - k, c.Y - r * 1.2f },
        { c.X, c.Y - r },
        { c.X + k, c.Y - r },
        { c.X + r, c.Y - k },
    };
}

} // namespace

void BuildGerberBoard(TVeskDocument& doc)
{
    doc.Reset();
    Builder b(doc);

    // Board edge.
    b.Add(*b.Path("dimension", straight({ { 0, 0 }, { 1000, 0 }, { 1000, 700 }, { 0, 700 } }), true,
        surface(1, false)));

    // Paths: caps, open and closed, outline and fill.
    b.Add(*b.Path("component", straight({ { 50, 60 }, { 150, 60 }, { 200, 110 } }), false,
        surface(7.5f, false, Round)));
    b.Add(*b.Path("component", straight({ { 250, 60 }, { 320, 100 }, { 380, 60 } }), false,
        surface(10, false, Square)));
    b.Add(*b.Path(
        "component", straight({ { 420, 60 }, { 520, 60 }, { 520, 120 } }), false, surface(5, false, Flat)));
    b.Add(
        *b.Path("component", straight({ { 560, 50 }, { 660, 50 }, { 610, 130 } }), true, surface(4, false)));
    b.Add(
        *b.Path("component", straight({ { 700, 70 }, { 760, 50 }, { 800, 90 }, { 770, 130 }, { 710, 120 } }),
            true, surface(3, true)));
    b.Add(*b.Path("component", straight({ { 850, 50 }, { 930, 50 }, { 930, 130 }, { 850, 130 } }), true,
        surface(0, true)));
    b.Add(
        *b.Path("component", straight({ { 50, 180 }, { 150, 180 }, { 150, 260 } }), false, surface(2, true)));
    b.Add(*b.Path("component", blob({ 250, 220 }, 40), true, surface(2, true)));
    b.Add(*b.Path("component", { { 330, 260 }, { 330, 160 }, { 450, 280 }, { 450, 180 }, { 0, 0 }, { 0, 0 } },
        false, surface(6, false, Round)));
    b.Add(*b.Path(
        "component", straight({ { 500, 180 }, { 600, 180 }, { 550, 260 } }), false, surface(0, true)));
    b.Add(*b.Path("component", straight({ { 650, 180 }, { 750, 260 }, { 850, 180 }, { 950, 260 } }), false,
        surface(8, false, Square)));

    // Rectangles, filled with an outline unless noted: unturned, quarter-,
    // half-turned, mirrored, at 30 degrees; then unfilled, without outline,
    // without outline at 30 degrees, and a square.
    b.Add(*b.Rect("component", { 80, 340 }, 40, 20, surface(2, true)));
    b.Add(*b.Rect("component", { 180, 340 }, 40, 20, surface(2, true), 90));
    b.Add(*b.Rect("component", { 280, 340 }, 40, 20, surface(2, true), 180));
    b.Add(*b.Rect("component", { 380, 340 }, 40, 20, surface(2, true), 0, -1, 1));
    b.Add(*b.Rect("component", { 480, 340 }, 40, 20, surface(2, true), 30));
    b.Add(*b.Rect("component", { 580, 340 }, 40, 20, surface(3, false)));
    b.Add(*b.Rect("component", { 680, 340 }, 40, 20, surface(0, true)));
    b.Add(*b.Rect("component", { 780, 340 }, 40, 20, surface(0, true), 30));
    b.Add(*b.Rect("component", { 880, 340 }, 30, 30, surface(2, true)));

    // Ellipses the same way, and circles.
    b.Add(*b.Ellipse("component", { 80, 450 }, 20, 10, surface(2, true)));
    b.Add(*b.Ellipse("component", { 180, 450 }, 20, 10, surface(2, true), 90));
    b.Add(*b.Ellipse("component", { 280, 450 }, 20, 10, surface(2, true), 180));
    b.Add(*b.Ellipse("component", { 380, 450 }, 20, 10, surface(2, true), 0, 1, -1));
    b.Add(*b.Ellipse("component", { 480, 450 }, 20, 10, surface(2, true), 30));
    b.Add(*b.Ellipse("component", { 580, 450 }, 20, 10, surface(3, false)));
    b.Add(*b.Ellipse("component", { 680, 450 }, 15, 15, surface(0, true)));
    b.Add(*b.Ellipse("component", { 780, 450 }, 15, 15, surface(2, true), 30));
    b.Add(*b.Ellipse("component", { 880, 450 }, 15, 15, surface(0, false)));

    // A pad as a group across layers, and a group nested in a turned group.
    {
        TVeskGroup pad;
        pad.Add(*b.Ellipse("component", { 100, 570 }, 25, 25, surface(0, true)));
        pad.Add(*b.Ellipse("solder", { 100, 570 }, 25, 25, surface(0, true)));
        pad.Add(*b.Ellipse("hole", { 100, 570 }, 8, 8, surface(0, true)));
        b.Add(pad);
    }
    {
        TVeskGroup inner;
        inner.Add(*b.Rect("component", { 250, 570 }, 50, 30, surface(0, true), 45));
        inner.Add(
            *b.Path("solder", straight({ { 200, 530 }, { 300, 610 } }), false, surface(12, false, Round)));
        TVeskGroup outer;
        outer.Add(inner);
        outer.Add(*b.Rect("solder", { 250, 570 }, 20, 20, surface(0, true)));
        outer.Add(*b.Ellipse("hole", { 250, 570 }, 6, 6, surface(0, true)));
        b.Add(outer);
    }

    // Tracks on the other side.
    b.Add(*b.Path("solder", straight({ { 100, 570 }, { 100, 660 }, { 400, 660 }, { 450, 610 } }), false,
        surface(10, false, Round)));
    b.Add(*b.Path("solder", straight({ { 400, 520 }, { 480, 520 }, { 480, 600 }, { 400, 600 } }), true,
        surface(2, true)));

    // Lettering: counters must stay open; turned and mirrored text.
    b.Add(*b.Text("place_cmp", QStringLiteral("Vesk 2.0 oA8"), { 520, 520 }, 40));
    b.Add(*b.Text("place_cmp", QStringLiteral("ぬる"), { 520, 590 }, 50));
    b.Add(*b.Text("place_cmp", QStringLiteral("ABC"), { 850, 560 }, 30, 30));
    b.Add(*b.Text("place_cmp", QStringLiteral("R"), { 960, 640 }, 30, 0, -1));
}

QStringList GerberBoardFontFreeLayers()
{
    return { QStringLiteral("dimension"), QStringLiteral("component"), QStringLiteral("solder"),
        QStringLiteral("hole"), QStringLiteral("stop_cmp") };
}

} // namespace vesk::test
