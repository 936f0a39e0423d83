#include "Vesklayer.h"

#include "Vesklayerlist.h"

namespace vesk {

TVeskLayer::TVeskLayer(int idx, ARGB backgroundColor)
    : index(idx)
    , maskColor(backgroundColor)
{
    SetColor(0xFF0000FF);
    name_ = QStringLiteral("Layer") + QString::number(idx);
}

void TVeskLayer::SetColor(ARGB c)
{
    const int r = ArgbRed(c), g = ArgbGreen(c), b = ArgbBlue(c);
    currentColor = MakeArgb(200, r, g, b);
    normalColor = MakeArgb(120, r, g, b);
    const ARGB opaque = MakeArgb(255, r, g, b);
    if (opaque == opaqueColor)
        return;
    opaqueColor = opaque;
    changed();
}

void TVeskLayer::SetName(const QString& name)
{
    if (name == name_)
        return;
    name_ = name;
    changed();
}

void TVeskLayer::SetVisible(bool value)
{
    if (visible == value)
        return;
    visible = value;
    changed();
}

void TVeskLayer::SetLocked(bool value)
{
    if (locked == value)
        return;
    locked = value;
    changed();
}

void TVeskLayer::SetMask(bool value)
{
    if (mask == value)
        return;
    mask = value;
    changed();
}

void TVeskLayer::SetWireFrame(bool value)
{
    if (wireFrame == value)
        return;
    wireFrame = value;
    changed();
}

void TVeskLayer::changed()
{
    if (list_)
        Q_EMIT list_->layerChanged(this);
}

ARGB TVeskLayer::DrawColor() const
{
    return mask ? maskColor : current ? currentColor : normalColor;
}

} // namespace vesk
