#include "Veskinsertproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "shapes/Veskpart.h"

namespace vesk {

TVeskInsertProc::TVeskInsertProc(TVeskToolBar& toolBar, const TVeskToolInfo& info, std::int32_t armedMode)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
    , step_(QString::fromUtf8(info.step))
    , idleMode_(info.idleMode)
    , armedMode_(armedMode)
{
}

void TVeskInsertProc::MouseDown(std::uint32_t shift, PointF)
{
    if ((shift & ssLeft) && TopMode() == idleMode_)
        SetTopMode(armedMode_);
}

void TVeskInsertProc::MouseMove(std::uint32_t, PointF point)
{
    Host().ShowPosition(SnapIfOn(point));
}

void TVeskInsertProc::MouseUp(std::uint32_t, PointF point)
{
    if (TopMode() != armedMode_ || !root)
        return;
    // Disarmed first: only the release of the press that armed it inserts.
    SetTopMode(idleMode_);
    anchor = SnapIfOn(point);
    Host().SetReferencePoint(anchor);
    // Open before the artwork is taken: a pad brings the layers it needs.
    Edit().Begin(step_);
    std::unique_ptr<TVeskObject> artwork = TakeArtwork();
    // A modal choice may have run the event loop; the tool may have been let go meanwhile.
    // An empty group could never be seen, picked or deleted again.
    const auto* container = dynamic_cast<const TVeskContainer*>(artwork.get());
    if (!artwork || !root || (container && container->ChildCount() == 0)) {
        Edit().Revert();
        return;
    }
    TVeskObject* placed = root->Adopt(std::move(artwork));
    // Shapes move only while selected.
    placed->SetSelected(true);
    placed->Translate(anchor.X, anchor.Y, MatrixOrder::Append);
    placed->SetSelected(false);
    Edit().Commit();
    RequestRedraw();
}

} // namespace vesk
