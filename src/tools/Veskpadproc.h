#pragma once

#include "Veskinsertproc.h"

namespace vesk {

// "PadTool": inserts the pad chosen in the object editor's pad list.
class TVeskPadProc : public TVeskInsertProc {
public:
    TVeskPadProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

protected:
    std::unique_ptr<TVeskObject> TakeArtwork() override;
};

} // namespace vesk
