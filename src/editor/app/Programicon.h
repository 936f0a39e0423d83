#pragma once

#include <QIcon>
#include <QPixmap>

namespace vesk {

// The program's icon, drawn in code so it is sharp at every size: a green
// board with a copper track between two pads.
QPixmap ProgramPixmap(int size, qreal devicePixelRatio = 1.0);
QIcon ProgramIcon();

} // namespace vesk
