#pragma once

// Shared set-up of the part and group tests: the default layers, helpers
// that add named test shapes and groups, and readers of names and orders.

#include "TestShape.h"
#include "io/Veskfilestream.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace vesk::test {

inline QStringList NamesOf(const std::vector<TVeskObject*>& list)
{
    QStringList names;
    for (const TVeskObject* o : list)
        names.append(o->GetName());
    return names;
}

inline QStringList ChildNames(const TVeskContainer& c)
{
    QStringList names;
    for (const auto& child : c.Children())
        names.append(child->GetName());
    return names;
}

// Space-separated words, for compact expectations.
inline QStringList Words(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

inline QByteArray SaveBytes(const TVeskObject& o)
{
    TVesk_ostream out;
    o.Save(out);
    return out.Buffer();
}

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers.ResetToDefaults();
        liveAtStart = TestShape::live;
    }

    TVeskLayer* Layer(int index) const { return layers.LayerAt(index); }

    // A test shape added to the container; an upper-case first letter in the
    // name makes it a cut-out, which keeps draw-order tables readable.
    TestShape* AddShape(TVeskContainer& c, const QString& name, RectF rect = { 0, 0, 10, 10 }, int layer = 1)
    {
        TestShape proto(Layer(layer), rect, name);
        if (!name.isEmpty() && name[0].isUpper()) {
            TVeskSurface s;
            s.SetCutOut(true);
            proto.SetSurface(s);
        }
        return static_cast<TestShape*>(c.Add(proto));
    }

    TVeskGroup* AddGroup(TVeskContainer& c, const QString& name)
    {
        TVeskGroup proto;
        proto.SetName(name);
        if (!name.isEmpty() && name[0].isUpper()) {
            TVeskSurface s;
            s.SetCutOut(true);
            proto.SetSurface(s);
        }
        return static_cast<TVeskGroup*>(c.Add(proto));
    }

    // Reads a container record the way a document is read: the tag, then Load.
    std::unique_ptr<TVeskPart> LoadPart(
        const QByteArray& record, int* result = nullptr, bool* failed = nullptr)
    {
        TVesk_istream in(record);
        in.SetLayers(&layers);
        auto part = std::make_unique<TVeskPart>();
        char tag[4];
        in.ReadRaw(tag, 4);
        const int r = part->Load(in);
        if (result)
            *result = r;
        if (failed)
            *failed = in.Failed();
        return part;
    }

    TVeskLayerList layers;
    int liveAtStart = 0;
};

} // namespace vesk::test
