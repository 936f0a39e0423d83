#include "Vesklayer.h"

namespace vesk {

TVeskLayer::TVeskLayer(int idx, ARGB backgroundColor) : index(idx), maskColor(backgroundColor)
{
    SetColor(0xFF0000FF);
    name_ = QStringLiteral("Layer") + QString::number(idx);
}

void TVeskLayer::SetColor(ARGB c)
{
    const int r = ArgbRed(c), g = ArgbGreen(c), b = ArgbBlue(c);
    currentColor = MakeArgb(200, r, g, b);
    normalColor = MakeArgb(120, r, g, b);
    opaqueColor = MakeArgb(255, r, g, b);
}

ARGB TVeskLayer::DrawColor() const { return mask ? maskColor : current ? currentColor : normalColor; }

} // namespace vesk
