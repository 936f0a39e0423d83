#include "Editpair.h"

#include <QLabel>
#include <QLineEdit>

namespace vesk {

TEditPair::TEditPair(QWidget* form)
    : label_(new QLabel(form))
    , edit_(new QLineEdit(form))
{
    // Both controls share the edit box's natural height so their texts line up.
    const int height = edit_->sizeHint().height();
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_->setGeometry(0, 0, label_->width(), height);
    edit_->setGeometry(0, 0, edit_->width(), height);
    SetWidth(200);
}

TEditPair::~TEditPair()
{
    delete label_.data();
    delete edit_.data();
}

void TEditPair::SetParent(QWidget* form)
{
    label_->setParent(form);
    edit_->setParent(form);
    label_->show();
    edit_->show();
}

void TEditPair::SetCaption(const QString& text)
{
    label_->setText(text);
}

void TEditPair::SetText(const QString& text)
{
    edit_->setText(text);
}

QString TEditPair::GetText() const
{
    return edit_->text();
}

void TEditPair::SetLeft(int x)
{
    label_->move(x, label_->y());
    placeEdit();
}

void TEditPair::SetTop(int y)
{
    label_->move(label_->x(), y);
    edit_->move(edit_->x(), y);
}

void TEditPair::SetWidth(int w)
{
    label_->resize(int(w * 0.7), label_->height());
    edit_->resize(int(w * 0.3), edit_->height());
    placeEdit();
}

void TEditPair::placeEdit()
{
    edit_->move(label_->x() + label_->width(), edit_->y());
}

} // namespace vesk
