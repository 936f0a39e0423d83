#include "Layeredit.h"

#include "Numberinput.h"
#include "model/Vesklayer.h"
#include "model/Vesklayerlist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

namespace vesk {

namespace {
QPushButton* button(QWidget* parent, const QString& caption, int x, int y)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(x, y, 97, 25);
    // Enter belongs to the dialog, not to whichever button has the focus.
    b->setAutoDefault(false);
    return b;
}
} // namespace

TLayerEdit::TLayerEdit(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString());
    setFixedSize(352, 70);
    LabelNameEdit = new QLabel(QStringLiteral("名前:"), this);
    LabelNameEdit->move(16, 10);
    NameEdit = new QLineEdit(this);
    NameEdit->setGeometry(48, 8, 177, 21);
    LabelPalletBox = new QLabel(QStringLiteral("いろ:"), this);
    LabelPalletBox->move(19, 42);
    PalletBox = new QPushButton(this);
    PalletBox->setGeometry(48, 40, 33, 20);
    PalletBox->setFlat(true);
    PalletBox->setAutoDefault(false);
    MaskCheckBox = new QCheckBox(QStringLiteral("切り抜く"), this);
    MaskCheckBox->move(128, 32);
    WireCheckBox = new QCheckBox(QStringLiteral("ワイヤーフレーム"), this);
    WireCheckBox->move(128, 48);
    ButtonOK = button(this, QStringLiteral("OK"), 248, 8);
    ButtonCancel = button(this, QStringLiteral("Cancel"), 248, 40);
    ColorDialog = new QColorDialog(this);
    ColorDialog->setOption(QColorDialog::DontUseNativeDialog);

    for (QWidget* control : std::initializer_list<QWidget*> {
             NameEdit, PalletBox, MaskCheckBox, WireCheckBox, ButtonOK, ButtonCancel })
        control->installEventFilter(this);
    connect(PalletBox, &QPushButton::clicked, this, [this] { PalletBoxMouseDown(); });
    connect(ButtonOK, &QPushButton::clicked, this, [this] { ButtonOKClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A refused name is marked until it is changed.
    connect(NameEdit, &QLineEdit::textEdited, this, [this] { MarkRefused(*NameEdit, QString()); });
}

TLayerEdit::~TLayerEdit() = default;

void TLayerEdit::LoadLayer(TVeskLayer* layer)
{
    layer_ = layer;
    if (!layer)
        return;
    NameEdit->setText(layer->Name());
    MaskCheckBox->setChecked(layer->mask);
    WireCheckBox->setChecked(layer->wireFrame);
    // The layer's own colour: a mask layer draws in the background colour,
    // and taking that would lose the colour it has.
    showColor(QColor::fromRgb(layer->opaqueColor));
}

void TLayerEdit::showColor(const QColor& color)
{
    color_ = color;
    ColorDialog->setCurrentColor(color);
    PalletBox->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid black; }").arg(color.name()));
}

void TLayerEdit::PalletBoxMouseDown()
{
    ColorDialog->setCurrentColor(color_);
    if (ColorDialog->exec() == QDialog::Accepted && ColorDialog->selectedColor().isValid())
        showColor(ColorDialog->selectedColor());
}

bool TLayerEdit::apply()
{
    if (layer_) {
        const QString name = NameEdit->text();
        if (layer_->List() && layer_->List()->NameTaken(name, layer_)) {
            const QString why = QStringLiteral("この名前のレイヤーはもうあります。別の名前にしてください。");
            MarkRefused(*NameEdit, why);
            NameEdit->setFocus();
            QToolTip::showText(NameEdit->mapToGlobal(QPoint(0, NameEdit->height())), why, NameEdit);
            return false;
        }
        layer_->SetName(name);
        layer_->SetColor(color_.rgb());
        layer_->SetMask(MaskCheckBox->isChecked());
        layer_->SetWireFrame(WireCheckBox->isChecked());
    }
    accept();
    return true;
}

void TLayerEdit::ButtonOKClick()
{
    apply();
}

bool TLayerEdit::FormKeyPress(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        apply();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    default:
        return false;
    }
}

bool TLayerEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && FormKeyPress(*static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TLayerEdit::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyPress(*event))
        QDialog::keyPressEvent(event);
}

void TLayerEdit::closeEvent(QCloseEvent* event)
{
    // Closed through the frame: accepted, with nothing applied.
    setResult(QDialog::Accepted);
    event->accept();
}

} // namespace vesk
