#include "Veskstringproc.h"

#include "Vesktoolbar.h"
#include "Vesktoolhost.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskstring.h"

#include <utility>

namespace vesk {

TVeskStringProc::TVeskStringProc(TVeskToolBar& toolBar, const TVeskToolInfo& info)
    : TVeskEventProc(toolBar, QString::fromUtf8(info.name), QString::fromUtf8(info.glyph),
        QString::fromUtf8(info.hint), info.idleMode)
    , step_(QString::fromUtf8(info.step))
{
    KeepObjectList(hitList);
}

void TVeskStringProc::MouseDown(std::uint32_t shift, PointF point)
{
    pressed_ = (shift & ssLeft) && root;
    if (!pressed_)
        return;
    anchor = point;
    root->SetSelected(false);
    hitList.clear();
    root->SelectAt(point);
    root->CollectByLayer(hitList, -1);
}

void TVeskStringProc::MouseMove(std::uint32_t, PointF point)
{
    Host().ShowPosition(SnapIfOn(point));
}

void TVeskStringProc::MouseUp(std::uint32_t, PointF)
{
    if (!std::exchange(pressed_, false) || !root)
        return;
    for (TVeskObject* hit : hitList)
        if (auto* existing = dynamic_cast<TVeskString*>(hit)) {
            edit(*existing);
            return;
        }
    place(!hitList.empty());
}

void TVeskStringProc::edit(TVeskString& existing)
{
    TVeskTextRequest request { existing.GetText(), existing.GetFontFamily(), existing.GetFontStyle(),
        existing.GetEmSize() };
    text = &existing;
    if (!Host().AskText(request) || text != &existing)
        return;
    Edit().Begin(QStringLiteral("文字列の編集"));
    existing.SetFont(request.family, request.style, request.size);
    existing.SetText(request.text);
    Edit().Commit();
    RequestRedraw();
}

void TVeskStringProc::place(bool hitSomething)
{
    if (!LayerForNewShape(false))
        return;
    TVeskTextRequest request;
    if (!Host().AskText(request)) {
        if (hitSomething)
            text = nullptr;
        return;
    }
    TVeskLayer* layer = root ? LayerForNewShape() : nullptr;
    if (!layer)
        return;
    Edit().Begin(step_);
    auto* made = static_cast<TVeskString*>(
        root->Adopt(std::make_unique<TVeskString>(layer, Host().CurrentSurface())));
    anchor = SnapIfOn(anchor);
    made->SetFont(request.family, request.style, request.size);
    made->PlaceText(request.text, anchor);
    text = made;
    Edit().Commit();
    RequestRedraw();
}

void TVeskStringProc::Deactivate()
{
    // Every change was recorded when it was made: leaving adds no step, so
    // the next undo takes back the text rather than appearing to do nothing.
    text = nullptr;
    TVeskEventProc::Deactivate();
}

} // namespace vesk
