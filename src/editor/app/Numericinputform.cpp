#include "Numericinputform.h"

#include "Vesktoolhost.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace vesk {

namespace {
const char* const kMarkedProperty = "veskInvalid";

QString shown(double value)
{
    return QString::number(value, 'g', 10);
}
} // namespace

TNumericInputForm::TNumericInputForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , xEdit_(new QLineEdit(this))
    , yEdit_(new QLineEdit(this))
    , angleEdit_(new QLineEdit(this))
    , relative_(new QRadioButton(QStringLiteral("相対移動"), this))
    , absolute_(new QRadioButton(QStringLiteral("中心の位置"), this))
    , message_(new QLabel(this))
    , okButton_(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("数値入力"));
    setModal(true);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(relative_);
    kinds->addWidget(absolute_);
    relative_->setChecked(true);
    connect(absolute_, &QRadioButton::toggled, this, [this](bool on) { showKind(on); });
    fields_ = new QFormLayout;
    fields_->addRow(QStringLiteral("X方向の移動[mm]"), xEdit_);
    fields_->addRow(QStringLiteral("Y方向の移動[mm]"), yEdit_);
    fields_->addRow(QStringLiteral("回転角[度]"), angleEdit_);
    auto* fields = fields_;
    for (QLineEdit* edit : { xEdit_, yEdit_, angleEdit_ })
        connect(edit, &QLineEdit::textEdited, this, [edit] { setMarked(edit, false); });
    message_->setStyleSheet(QStringLiteral("color: #c00000;"));
    message_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(kinds);
    column->addLayout(fields);
    column->addWidget(message_);
    column->addLayout(buttons);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    ShowValues({});
}

void TNumericInputForm::ShowValues(const TVeskNumericMove& move)
{
    centreXMm_ = move.centreXMm;
    centreYMm_ = move.centreYMm;
    {
        const QSignalBlocker quiet(absolute_);
        absolute_->setChecked(move.absolute);
        relative_->setChecked(!move.absolute);
    }
    showKind(move.absolute);
    if (!move.absolute || move.dxMm != 0.0 || move.dyMm != 0.0) {
        xEdit_->setText(shown(move.dxMm));
        yEdit_->setText(shown(move.dyMm));
    }
    angleEdit_->setText(shown(move.angle));
    for (QLineEdit* edit : { xEdit_, yEdit_, angleEdit_ })
        setMarked(edit, false);
    message_->hide();
}

void TNumericInputForm::showKind(bool absolute)
{
    // A place starts from where the selection is, an offset from nothing.
    fields_->labelForField(xEdit_)->setProperty(
        "text", absolute ? QStringLiteral("中心のX[mm]") : QStringLiteral("X方向の移動[mm]"));
    fields_->labelForField(yEdit_)->setProperty(
        "text", absolute ? QStringLiteral("中心のY[mm]") : QStringLiteral("Y方向の移動[mm]"));
    xEdit_->setText(shown(absolute ? centreXMm_ : 0.0));
    yEdit_->setText(shown(absolute ? centreYMm_ : 0.0));
    for (QLineEdit* edit : { xEdit_, yEdit_ })
        setMarked(edit, false);
}

bool TNumericInputForm::Ask(TVeskNumericMove& move)
{
    ShowValues(move);
    xEdit_->setFocus();
    xEdit_->selectAll();
    if (exec() != QDialog::Accepted)
        return false;
    move.dxMm = dx_;
    move.dyMm = dy_;
    move.angle = angle_;
    move.absolute = absolute_->isChecked();
    return true;
}

std::optional<double> TNumericInputForm::ParseNumber(
    const QString& text, double limit, std::optional<double> empty)
{
    // Japanese input methods often leave digits, signs and points full-width.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (plain.isEmpty())
        return empty;
    bool ok = false;
    double value = QLocale::c().toDouble(plain, &ok);
    if (!ok)
        value = QLocale::system().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

bool TNumericInputForm::ReadFields(TVeskNumericMove& move)
{
    const auto x = ParseNumber(xEdit_->text(), TVeskNumericMove::MaxOffsetMm);
    const auto y = ParseNumber(yEdit_->text(), TVeskNumericMove::MaxOffsetMm);
    // The turn is optional: an empty field turns nothing.
    const auto angle = ParseNumber(angleEdit_->text(), TVeskNumericMove::MaxAngle, 0.0);
    setMarked(xEdit_, !x);
    setMarked(yEdit_, !y);
    setMarked(angleEdit_, !angle);
    if (!x || !y || !angle) {
        message_->setText(QStringLiteral("数値を正しく入力してください (移動は±%1mm、回転は±%2度まで)")
                              .arg(TVeskNumericMove::MaxOffsetMm)
                              .arg(TVeskNumericMove::MaxAngle));
        message_->show();
        return false;
    }
    message_->hide();
    move.dxMm = *x;
    move.dyMm = *y;
    move.angle = *angle;
    return true;
}

void TNumericInputForm::OKButtonClick()
{
    TVeskNumericMove move;
    if (!ReadFields(move)) {
        for (QLineEdit* edit : { xEdit_, yEdit_, angleEdit_ }) {
            if (IsMarked(edit)) {
                edit->setFocus();
                edit->selectAll();
                break;
            }
        }
        return;
    }
    dx_ = move.dxMm;
    dy_ = move.dyMm;
    angle_ = move.angle;
    accept();
}

bool TNumericInputForm::IsMarked(const QLineEdit* edit)
{
    return edit->property(kMarkedProperty).toBool();
}

void TNumericInputForm::setMarked(QLineEdit* edit, bool marked)
{
    if (IsMarked(edit) == marked)
        return;
    edit->setProperty(kMarkedProperty, marked);
    edit->setStyleSheet(marked ? QStringLiteral("QLineEdit { background-color: #ffd0d0; }") : QString());
}

} // namespace vesk
