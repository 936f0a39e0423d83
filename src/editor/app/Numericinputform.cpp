#include "Numericinputform.h"

#include "Vesktoolhost.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
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
    , message_(new QLabel(this))
    , okButton_(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("数値入力"));
    setModal(true);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("X方向の移動[mm]"), xEdit_);
    fields->addRow(QStringLiteral("Y方向の移動[mm]"), yEdit_);
    fields->addRow(QStringLiteral("回転角[度]"), angleEdit_);
    for (QLineEdit* edit : { xEdit_, yEdit_, angleEdit_ })
        connect(edit, &QLineEdit::textEdited, this, [edit] { setMarked(edit, false); });
    message_->setStyleSheet(QStringLiteral("color: #c00000;"));
    message_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* column = new QVBoxLayout(this);
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
    xEdit_->setText(shown(move.dxMm));
    yEdit_->setText(shown(move.dyMm));
    angleEdit_->setText(shown(move.angle));
    for (QLineEdit* edit : { xEdit_, yEdit_, angleEdit_ })
        setMarked(edit, false);
    message_->hide();
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
