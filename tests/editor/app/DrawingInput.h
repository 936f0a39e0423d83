#pragma once

// What the run tests of the real main window share to talk to its drawing
// area: letting queued events and the idle pass run, and finding the
// window pixel of a document point.
#include "app/Mainform.h"
#include "Veskview.h"

#include <QApplication>
#include <QPoint>
#include <cmath>

namespace vesk::test {

inline void Settle(TVeskForm& form)
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    form.RunIdle();
}

inline QPoint PixelOf(TVeskForm& form, PointF p)
{
    const PointF q = form.View().DocumentToPixel(p);
    return { int(std::lround(q.X)), int(std::lround(q.Y)) };
}

} // namespace vesk::test
