#pragma once

#include <QIcon>
#include <QPixmap>

namespace vesk {

// The program's icon, the drawing the desktop's menu shows too
// (resources/icons/vesk2.svg), rendered sharp at every size.
QPixmap ProgramPixmap(int size, qreal devicePixelRatio = 1.0);
QIcon ProgramIcon();

} // namespace vesk
