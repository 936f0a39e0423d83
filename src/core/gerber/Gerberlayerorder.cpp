#include "Gerberlayerorder.h"

#include "Gerberfilestream.h"
#include "model/Vesklayer.h"
#include "shapes/Veskcontainer.h"
#include "shapes/Veskstring.h"

namespace vesk {

namespace {

bool holdsCutOut(const TVeskObject& object, int layerIndex)
{
    if (const auto* c = dynamic_cast<const TVeskContainer*>(&object)) {
        for (const auto& child : c->Children())
            if (holdsCutOut(*child, layerIndex))
                return true;
        return false;
    }
    return PaintsClear(object, layerIndex);
}

} // namespace

bool PaintsClear(const TVeskObject& object, int layerIndex)
{
    const auto* shape = dynamic_cast<const TVeskInstance*>(&object);
    const TVeskLayer* layer = shape ? shape->GetLayer() : nullptr;
    if (!layer || layer->index != layerIndex || !object.IsCutOut())
        return false;
    return !layer->wireFrame || dynamic_cast<const TVeskString*>(&object);
}

int WriteChildrenGerber(const TVeskContainer& container, TGerber_ostream& out, int layerIndex)
{
    if (out.Failed())
        return -1;
    if (!holdsCutOut(container, layerIndex)) {
        for (const auto& child : container.Children())
            child->WriteGerber(out, layerIndex);
        return 0;
    }
    const bool outer = out.ClearPolarity();
    for (const TVeskObject* child : container.DrawOrder()) {
        out.SetClearPolarity(PaintsClear(*child, layerIndex));
        child->WriteGerber(out, layerIndex);
    }
    out.SetClearPolarity(outer);
    return 0;
}

} // namespace vesk
