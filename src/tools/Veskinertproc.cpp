#include "Veskinertproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"

namespace vesk {

TVeskInertProc::TVeskInertProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
{
}

void TVeskInertProc::MouseMove(std::uint32_t, PointF point)
{
    Host().ShowPosition(SnapIfOn(point));
}

} // namespace vesk
