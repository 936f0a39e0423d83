#pragma once

#include "Veskinsertproc.h"

namespace vesk {

// "LibraryTool": each insertion asks the user for a part in the library
// window and inserts it unless the window was cancelled or nothing chosen.
class TVeskLibProc : public TVeskInsertProc {
public:
    TVeskLibProc(TVeskToolBar& toolBar, const TVeskToolInfo& info);

protected:
    std::unique_ptr<TVeskObject> TakeArtwork() override;
};

} // namespace vesk
