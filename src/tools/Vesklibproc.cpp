#include "Vesklibproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "model/Veskobject.h"

namespace vesk {

TVeskLibProc::TVeskLibProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskInsertProc(toolBar, info, ModeLibArmed)
{
}

std::unique_ptr<TVeskObject> TVeskLibProc::TakeArtwork()
{
    return Host().PickLibraryPart();
}

} // namespace vesk
