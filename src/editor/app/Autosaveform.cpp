#include "Autosaveform.h"

#include "Settingsfile.h"
#include "Settingskeys.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vesk {

namespace {
// A day: beyond that an autosave protects nothing.
constexpr double kMostMinutes = 1440;
} // namespace

TAutoSaveForm::TAutoSaveForm(QString settingsFileName, QWidget* parent)
    : QDialog(parent)
    , settingsFileName_(std::move(settingsFileName))
{
    setWindowTitle(QStringLiteral("自動保存"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    minutes_ = new QDoubleSpinBox(this);
    minutes_->setRange(0, kMostMinutes);
    minutes_->setDecimals(1);
    minutes_->setSingleStep(1);
    minutes_->setSuffix(QStringLiteral(" 分"));
    minutes_->setSpecialValueText(QStringLiteral("しない"));
    form->addRow(QStringLiteral("間隔"), minutes_);
    layout->addLayout(form);
    backup_ = new QCheckBox(QStringLiteral("保存するとき前の版を .bak として残す"), this);
    layout->addWidget(backup_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(okButton_, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

double TAutoSaveForm::ReadMinutes(const QString& settingsFileName)
{
    const double minutes
        = TSettingsFile(settingsFileName)
              .ReadFloat(settings::Key(settings::kAutoSave), settings::Key(settings::kAutoSaveMinutes),
                  settings::kAutoSaveMinutesDefault);
    return std::isfinite(minutes) ? std::clamp(minutes, 0.0, kMostMinutes)
                                  : settings::kAutoSaveMinutesDefault;
}

bool TAutoSaveForm::ReadKeepBackups(const QString& settingsFileName)
{
    return TSettingsFile(settingsFileName)
               .ReadInteger(settings::Key(settings::kAutoSave), settings::Key(settings::kAutoSaveBackup),
                   settings::kAutoSaveBackupDefault)
        != 0;
}

void TAutoSaveForm::showEvent(QShowEvent* event)
{
    minutes_->setValue(ReadMinutes(settingsFileName_));
    backup_->setChecked(ReadKeepBackups(settingsFileName_));
    QDialog::showEvent(event);
}

void TAutoSaveForm::OKButtonClick()
{
    TSettingsFile file(settingsFileName_);
    file.WriteString(settings::Key(settings::kAutoSave), settings::Key(settings::kAutoSaveMinutes),
        QString::number(minutes_->value()));
    file.WriteInteger(settings::Key(settings::kAutoSave), settings::Key(settings::kAutoSaveBackup),
        backup_->isChecked() ? 1 : 0);
    file.UpdateFile();
    accept();
}

} // namespace vesk
