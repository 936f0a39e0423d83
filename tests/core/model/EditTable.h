// The edit table the history and index tests share: every mutating
// operation a tool can reach, and a small drawing that each of them changes.
#pragma once

#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskpath.h"
#include "shapes/Veskrectangle.h"
#include "shapes/Veskstring.h"

#include <functional>
#include <vector>

namespace vesk::test {

// The objects an edit reaches, found by name in whatever root is current.
struct Live {
    TVeskLayerList* layers = nullptr;
    TVeskPart* root = nullptr;
    TVeskPath* path = nullptr;
    TVeskRect* rect = nullptr;
    TVeskEllipse* ellipse = nullptr;
    TVeskString* text = nullptr;
    TVeskGroup* group = nullptr;
    TVeskEllipse* nestedEllipse = nullptr;
};

template <class T> inline T* named(TVeskPart& root, const char* name)
{
    std::vector<TVeskObject*> all;
    root.CollectAll(all);
    std::vector<TVeskObject*> leaves;
    for (TVeskObject* o : all) {
        if (auto* g = dynamic_cast<TVeskGroup*>(o))
            g->CollectLeaves(leaves);
    }
    all.insert(all.end(), leaves.begin(), leaves.end());
    for (TVeskObject* o : all)
        if (o->GetName() == QLatin1String(name))
            if (auto* t = dynamic_cast<T*>(o))
                return t;
    return nullptr;
}

inline Live find(TVeskDocument& doc)
{
    TVeskPart& root = doc.Root();
    return { &doc.Layers(), &root, named<TVeskPath>(root, "P"), named<TVeskRect>(root, "R"),
        named<TVeskEllipse>(root, "E"), named<TVeskString>(root, "T"), named<TVeskGroup>(root, "G"),
        named<TVeskEllipse>(root, "NE") };
}

struct Edit {
    const char* name;
    std::function<void(const Live&)> apply;
};

inline Matrix mirror()
{
    Matrix m(-1, 0, 0, 1, 40, 0);
    return m;
}

// Every mutating operation a tool can reach, each leaving a visible change.
inline const std::vector<Edit>& edits()
{
    static const std::vector<Edit> table = {
        { "translate",
            [](const Live& l) {
                if (l.path) {
                    l.path->SetSelected(true);
                    l.path->Translate(5, 7, MatrixOrder::Append);
                }
            } },
        { "rotate",
            [](const Live& l) {
                if (l.rect) {
                    l.rect->SetSelected(true);
                    l.rect->RotateAt(30, { 10, 10 }, MatrixOrder::Append);
                }
            } },
        { "multiply",
            [](const Live& l) {
                if (l.ellipse) {
                    l.ellipse->SetSelected(true);
                    l.ellipse->MultiplyMatrix(mirror(), MatrixOrder::Append);
                }
            } },
        { "set matrix",
            [](const Live& l) {
                if (l.text) {
                    Matrix m;
                    m.Translate(3, 4);
                    m.Rotate(15);
                    l.text->SetMatrix(m);
                }
            } },
        { "surface",
            [](const Live& l) {
                if (l.path)
                    l.path->SetSurface(
                        TVeskSurface(3.0f + float(l.path->Surface().GetWidth()), false, true, 4));
            } },
        { "name",
            [](const Live& l) {
                if (l.nestedEllipse)
                    l.nestedEllipse->SetName(l.nestedEllipse->GetName() + QLatin1Char('x'));
            } },
        { "visible",
            [](const Live& l) {
                if (l.ellipse)
                    l.ellipse->SetVisible(!l.ellipse->IsVisible());
            } },
        { "locked",
            [](const Live& l) {
                if (l.text)
                    l.text->SetLocked(!l.text->IsLocked());
            } },
        { "layer",
            [](const Live& l) {
                if (l.rect)
                    l.rect->SetLayer(l.layers->FindLayer(l.rect->GetLayer()->Name() == QLatin1String("solder")
                            ? QStringLiteral("component")
                            : QStringLiteral("solder")));
            } },
        { "points",
            [](const Live& l) {
                if (l.path)
                    l.path->SetPoints(StraightEntries({ { 0, 0 }, { 50, 10 }, { 90, 60 } }), {});
            } },
        { "insert point",
            [](const Live& l) {
                if (l.path)
                    l.path->InsertPointAt({ 30, 0 });
            } },
        { "remove point",
            [](const Live& l) {
                if (l.path)
                    l.path->RemovePointAt({ 60, 0 }, 4);
            } },
        { "move anchors",
            [](const Live& l) {
                if (l.path) {
                    l.path->SetHandlesSelected(true);
                    l.path->MoveSelection(4, -3, MatrixOrder::Append);
                }
            } },
        { "drag handle",
            [](const Live& l) {
                if (l.path)
                    l.path->DragControlHandle({ 0, 0 }, { 10, 25 });
            } },
        { "reset handle",
            [](const Live& l) {
                if (l.path)
                    l.path->ResetHandleAt({ 60, 0 });
            } },
        { "rebuild anchor by anchor",
            [](const Live& l) {
                if (l.path) {
                    l.path->BeginPath();
                    l.path->AppendAnchor({ 5, 5 });
                    l.path->AppendAnchor({ 70, 40 });
                    l.path->Rebuild();
                }
            } },
        { "close",
            [](const Live& l) {
                if (l.path)
                    l.path->SetClosed(!l.path->IsClosed());
            } },
        { "corners",
            [](const Live& l) {
                if (l.rect)
                    l.rect->SetCorners({ -20, -10 }, { 35, 45 });
            } },
        { "move corner",
            [](const Live& l) {
                if (l.rect) {
                    RectF r;
                    l.rect->GetBounds(r);
                    l.rect->SelectHandleAt({ r.X + 1, r.Y + 1 }, 8);
                    l.rect->MoveSelection(6, 6, MatrixOrder::Append);
                }
            } },
        { "circle",
            [](const Live& l) {
                if (l.ellipse)
                    l.ellipse->SetCircle({ 100, 100 }, { 130, 100 });
            } },
        { "text",
            [](const Live& l) {
                if (l.text)
                    l.text->SetText(l.text->Text() + QStringLiteral("Z"));
            } },
        { "font",
            [](const Live& l) {
                if (l.text)
                    l.text->SetFont(l.text->GetFontFamily(), 1, 12.5f);
            } },
        { "group transform",
            [](const Live& l) {
                if (l.group) {
                    l.group->SetSelected(true);
                    l.group->Translate(-9, 2, MatrixOrder::Append);
                }
            } },
        { "group member",
            [](const Live& l) {
                if (l.group && l.group->ChildCount())
                    l.group->ChildAt(0)->SetSurface(TVeskSurface(9, false, false, 4));
            } },
        { "add child",
            [](const Live& l) {
                TVeskRect r(l.layers->FindLayer(QStringLiteral("solder")), TVeskSurface());
                r.SetCorners({ 200, 200 }, { 220, 230 });
                l.root->Add(r);
            } },
        { "remove child",
            [](const Live& l) {
                if (l.root->ChildCount())
                    l.root->RemoveChild(l.root->ChildAt(l.root->ChildCount() - 1));
            } },
        { "delete member",
            [](const Live& l) {
                if (l.group && l.group->ChildCount() > 1)
                    l.group->ChildAt(1)->Delete();
            } },
        { "root transform",
            [](const Live& l) {
                l.root->SetSelected(true);
                l.root->Translate(1, 1, MatrixOrder::Append);
            } },
    };
    return table;
}

// The drawing the edits work on: a path, rectangle, ellipse and text on
// the root, a group of two members and a group nested in a group, each
// named as the edits look for it.
inline void BuildEditFixture(TVeskDocument& doc)
{
    doc.Reset();
    doc.Reset();
    TVeskLayer* solder = doc.Layers().FindLayer(QStringLiteral("solder"));
    TVeskLayer* component = doc.Layers().FindLayer(QStringLiteral("component"));
    TVeskPart& root = doc.Root();

    TVeskPath path(solder, TVeskSurface(8, false, false, 4));
    path.SetPoints({ { 0, 0 }, { 20, -30 }, { 40, -30 }, { 60, 0 }, { 60, 0 }, { 100, 40 }, { 100, 40 },
                       { 100, 40 }, { 0, 0 } },
        { 2, 6, 6, 2, 2, 2, 2, 2, 2 });
    path.SetName(QStringLiteral("P"));
    root.Add(path);

    TVeskRect rect(component, TVeskSurface(2, false, true, 4));
    rect.SetCorners({ 0, 0 }, { 30, 20 });
    rect.SetName(QStringLiteral("R"));
    root.Add(rect);

    TVeskEllipse ellipse(solder, TVeskSurface(0, false, true, 4));
    ellipse.SetCircle({ 50, 50 }, { 62, 50 });
    ellipse.SetName(QStringLiteral("E"));
    root.Add(ellipse);

    TVeskString text(component, TVeskSurface());
    text.SetText(QStringLiteral("VCC"));
    text.SetName(QStringLiteral("T"));
    root.Add(text);

    TVeskGroup group;
    group.SetName(QStringLiteral("G"));
    TVeskObject* member = group.Add(path);
    member->SetName(QStringLiteral("GP"));
    group.Add(rect)->SetName(QStringLiteral("GR"));
    root.Add(group);

    TVeskGroup inner;
    ellipse.SetName(QStringLiteral("NE"));
    inner.Add(ellipse);
    TVeskGroup outer;
    outer.SetName(QStringLiteral("N"));
    outer.Add(inner);
    root.Add(outer);
}

} // namespace vesk::test
