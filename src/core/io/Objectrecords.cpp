#include "Objectrecords.h"

#include "Outlinebuild.h"
#include "Veskfilestream.h"
#include "model/Veskobject.h"

#include <QThread>

namespace vesk {

QByteArray WriteObjectRecords(std::span<TVeskObject* const> objects)
{
    TVesk_ostream out;
    for (const TVeskObject* object : objects)
        object->Save(out);
    return out.Failed() ? QByteArray() : out.Buffer();
}

std::vector<std::unique_ptr<TVeskObject>> ReadObjectRecords(
    const QByteArray& records, TVeskLayerList& layers, int* skipped)
{
    TVesk_istream in(records);
    in.SetLayers(&layers);
    // Many objects pasted at once build their outlines on every core.
    in.DeferOutlines();
    std::vector<std::unique_ptr<TVeskObject>> objects;
    while (!in.AtEnd()) {
        std::unique_ptr<TVeskObject> object = in.ReadObject();
        if (!object && in.SkippedLast())
            continue;
        if (!object)
            break;
        objects.push_back(std::move(object));
    }
    RebuildOutlines(in.TakeUnbuilt(), QThread::idealThreadCount());
    if (skipped)
        *skipped = in.SkippedRecords();
    return objects;
}

} // namespace vesk
