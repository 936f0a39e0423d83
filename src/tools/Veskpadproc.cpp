#include "Veskpadproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "model/Veskobject.h"

namespace vesk {

TVeskPadProc::TVeskPadProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskInsertProc(toolBar, info, ModePadArmed)
{
}

std::unique_ptr<TVeskObject> TVeskPadProc::TakeArtwork()
{
    return Host().NewPad();
}

} // namespace vesk
