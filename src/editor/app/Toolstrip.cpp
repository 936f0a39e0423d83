#include "Toolstrip.h"

#include "Glyphlibrary.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolButton>

namespace vesk {

TToolStrip::TToolStrip(TVeskToolBar& toolBar, GlyphLibrary& glyphs, QWidget* parent)
    : QScrollArea(parent)
    , toolBar_(toolBar)
    , glyphs_(glyphs)
    , contents_(new QWidget)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::NoFocus);
    contents_->setFixedWidth(TVeskToolBar::Width);
    setWidget(contents_);
    setFixedWidth(TVeskToolBar::Width);
    fitContents();
}

QToolButton* TToolStrip::makeButton(const QString& glyphName, const QString& hint, int index)
{
    auto* button = new QToolButton(contents_);
    button->setGeometry(
        0, index * TVeskToolBar::ButtonSize, TVeskToolBar::ButtonSize, TVeskToolBar::ButtonSize);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(glyphs_.Icon(glyphName));
    button->setIconSize(QSize(24, 24));
    // Only a tooltip: a status tip would replace the status bar's panels.
    button->setToolTip(hint);
    button->show();
    return button;
}

void TToolStrip::BuildToolButtons()
{
    for (QToolButton* button : toolButtons_)
        delete button;
    toolButtons_.clear();
    for (int i = 0; i < toolBar_.ToolCount(); ++i) {
        const TVeskEventProc* tool = toolBar_.Tool(i);
        QToolButton* button = makeButton(tool->GlyphName(), tool->Hint(), i);
        button->setCheckable(true);
        button->setObjectName(tool->GetToolName());
        // The tool bar decides which button is down, not the click.
        connect(button, &QToolButton::clicked, this, [this, i] {
            toolBar_.ToolClick(i);
            SyncToolButtons();
        });
        toolButtons_.push_back(button);
    }
    SyncToolButtons();
    fitContents();
}

void TToolStrip::SyncToolButtons()
{
    for (int i = 0; i < int(toolButtons_.size()); ++i) {
        const TVeskEventProc* tool = toolBar_.Tool(i);
        if (!tool)
            continue;
        toolButtons_[std::size_t(i)]->setEnabled(tool->IsEnabled());
        toolButtons_[std::size_t(i)]->setChecked(tool->IsDown());
    }
}

void TToolStrip::AddOptionButton(const QString& glyphName, const QString& hint, std::function<void()> onClick)
{
    QToolButton* button = makeButton(glyphName, hint, int(toolButtons_.size() + optionButtons_.size()));
    connect(button, &QToolButton::clicked, this, [onClick = std::move(onClick)] {
        // A copy of its own: the click may clear the option buttons, this one among them.
        const std::function<void()> click = onClick;
        if (click)
            click();
    });
    optionButtons_.push_back(button);
    fitContents();
}

void TToolStrip::ClearOptionButtons()
{
    // Later: one of them may be the button whose click is running now.
    for (QToolButton* button : optionButtons_) {
        button->hide();
        button->deleteLater();
    }
    optionButtons_.clear();
    fitContents();
}

void TToolStrip::fitContents()
{
    const int count = int(toolButtons_.size() + optionButtons_.size());
    contents_->setFixedHeight(std::max(1, count) * TVeskToolBar::ButtonSize);
    fitWidth();
}

void TToolStrip::fitWidth()
{
    // The bar takes its width from the viewport: without room made for it,
    // it would cover the right half of every button.
    const bool scrolls = contents_->height() > height();
    setFixedWidth(TVeskToolBar::Width + (scrolls ? verticalScrollBar()->sizeHint().width() : 0));
}

void TToolStrip::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    fitWidth();
    applyPendingPosition();
}

void TToolStrip::SetPosition(int top, int left)
{
    pendingTop_ = top;
    Q_UNUSED(left) // the strip fills its column: nothing but the scrolling can move it
    applyPendingPosition();
}

void TToolStrip::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    applyPendingPosition();
}

void TToolStrip::applyPendingPosition()
{
    // The bar's range is known once the strip is laid out and shown; until
    // then the stored position waits.
    if (!pendingTop_ || !isVisible())
        return;
    verticalScrollBar()->setValue(-*pendingTop_);
    pendingTop_.reset();
}

QPoint TToolStrip::Position() const
{
    return contents_->pos();
}

} // namespace vesk
