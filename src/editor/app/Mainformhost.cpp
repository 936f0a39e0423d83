// The main window as the host through which the active tool reaches it:
// the document, view, style and grid, the images and their presentation,
// option buttons, cursor and status bar, and the modal choices.
#include "Drawingview.h"
#include "Drcform.h"
#include "Editorcontext.h"
#include "Glyphlibrary.h"
#include "Libraryform.h"
#include "Mainform.h"
#include "Numberinput.h"
#include "Numericinputform.h"
#include "Objecteditor.h"
#include "Objectlisttab.h"
#include "Surfacetab.h"
#include "Textform.h"
#include "Toolstrip.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Workareaform.h"
#include "model/Veskhistory.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"

#include <QApplication>
#include <QLabel>
#include <QStatusBar>

namespace vesk {

TVeskDocument& TVeskForm::Document()
{
    return context_.Document();
}

void TVeskForm::RootReplaced()
{
    // The listed surfaces were in the root that is gone.
    if (objectEditor_)
        objectEditor_->SurfaceTab().ForgetListed();
}

// The object editor exists from the end of construction on.
TVeskSurface TVeskForm::CurrentSurface() const
{
    return objectEditor_ ? objectEditor_->SurfaceTab().CurrentSurface() : TVeskSurface();
}

void TVeskForm::RefreshStyle()
{
    if (objectEditor_)
        objectEditor_->SurfaceTab().RefreshStyle();
}

void TVeskForm::ShowSurfacesOf(const std::vector<TVeskObject*>& objects)
{
    if (objectEditor_)
        objectEditor_->SurfaceTab().ShowSurfacesOf(objects);
}

TDrawStyle& TVeskForm::DrawStyle()
{
    return context_.DrawStyle();
}

RectF TVeskForm::WorkArea() const
{
    return workAreaForm_ ? workAreaForm_->Area() : RectF(0.0f, 0.0f, 1000.0f, 750.0f);
}

TVeskGridSettings& TVeskForm::Grid()
{
    return context_.Grid();
}

TVeskEdit& TVeskForm::Edit()
{
    return context_.Edit();
}

void TVeskForm::PresentImage(const QImage& image)
{
    drawingView_->SetImage(image);
}

void TVeskForm::ScheduleIdle()
{
    if (!idleTimer_.isActive())
        idleTimer_.start();
}

void TVeskForm::RunIdle()
{
    idleTimer_.stop();
    onIdle();
}

void TVeskForm::onIdle()
{
    if (eventHandler_)
        eventHandler_->OnIdle();
    updateUndoItems();
    if (drcForm_)
        drcForm_->NoteRevision(context_.History().Revision());
}

void TVeskForm::requestRedraw()
{
    if (TVeskEventProc* tool = toolBar_->CurrentTool())
        tool->RequestRedraw();
}

void TVeskForm::SetEventHandler(TVeskEventProc* handler)
{
    // A tool that goes forgets its keys; a release pending for it is moot.
    cancelSpaceRelease();
    eventHandler_ = handler;
    if (drawingView_)
        drawingView_->SetHandler(handler);
}

void TVeskForm::ToolButtonsChanged()
{
    if (toolStrip_)
        toolStrip_->SyncToolButtons();
}

void TVeskForm::AddOptionButton(const QString& glyphName, const QString& hint, std::function<void()> onClick)
{
    toolStrip_->AddOptionButton(glyphName, hint, std::move(onClick));
}

void TVeskForm::ClearOptionButtons()
{
    if (toolStrip_)
        toolStrip_->ClearOptionButtons();
}

void TVeskForm::SetCursor(TVeskCursor cursor)
{
    if (cursor == TVeskCursor::Pan)
        drawingView_->setCursor(glyphs_->PanCursor(devicePixelRatioF()));
    else
        drawingView_->unsetCursor();
}

void TVeskForm::ShowPosition(PointF point)
{
    mousePoint = point;
    const double pitch = context_.Grid().pitch;
    statusPanels_[0]->setText(
        QStringLiteral("X %1  Y %2").arg(CoordinateText(point.X, pitch), CoordinateText(point.Y, pitch)));
    statusPanels_[1]->setText(QStringLiteral("X= %1  Y= %2")
                                  .arg(CoordinateText(double(point.X) - referencePoint.X, pitch),
                                      CoordinateText(double(point.Y) - referencePoint.Y, pitch)));
}

void TVeskForm::SetReferencePoint(PointF point)
{
    referencePoint = point;
    const QString zero = CoordinateText(0, context_.Grid().pitch);
    statusPanels_[1]->setText(QStringLiteral("X= %1  Y= %2").arg(zero, zero));
}

void TVeskForm::ShowMessage(const QString& text)
{
    // Long enough to read, short enough not to outlive the next action.
    constexpr int kMessageMs = 6000;
    statusBar()->showMessage(text, kMessageMs);
}

bool TVeskForm::AskText(TVeskTextRequest& request)
{
    TTextForm form(this);
    form.LoadFromText(request.text, request.family, request.style, request.size);
    if (form.exec() != QDialog::Accepted)
        return false;
    request.text = form.resultText;
    request.family = form.SelectedFamily();
    request.style = form.style;
    request.size = form.size;
    return true;
}

bool TVeskForm::AskNumericMove(TVeskNumericMove& move)
{
    TNumericInputForm form(this);
    return form.Ask(move);
}

std::unique_ptr<TVeskObject> TVeskForm::PickLibraryPart()
{
    if (!libraryForm_ || !libraryForm_->Choose())
        return nullptr;
    return libraryForm_->PlaceLoadedPart(context_.Document().Layers());
}

std::unique_ptr<TVeskObject> TVeskForm::NewPad()
{
    return objectEditor_ ? objectEditor_->ObjectListTab().PlaceCurrentPad(context_.Document().Layers())
                         : nullptr;
}

} // namespace vesk
