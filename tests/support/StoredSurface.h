#pragma once

#include "io/Veskfilestream.h"
#include "model/Vesksurface.h"

#include <QByteArray>
#include <cstring>

namespace vesk::test {

// A surface as a file may hold it, without the minimal width that surfaces
// made in code keep when unfilled (a zero width, say).
inline TVeskSurface StoredSurface(float width, bool fill)
{
    TVesk_ostream out;
    TVeskSurface(1, false, fill, 4).Save(out);
    QByteArray bytes = out.Buffer();
    std::memcpy(bytes.data(), &width, sizeof width);
    TVesk_istream in(bytes);
    TVeskSurface s;
    s.Load(in);
    return s;
}

} // namespace vesk::test
