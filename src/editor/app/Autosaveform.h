#pragma once

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QPushButton;

namespace vesk {

// The modal dialog "自動保存": minutes between autosaves of unsaved work
// (0 turns them off) and whether a save keeps the file it replaces as
// ".bak". Both live in the "AutoSave" section of the settings file; the
// dialog shows what the file holds when it opens and writes it on OK.
class TAutoSaveForm : public QDialog {
    Q_OBJECT
public:
    explicit TAutoSaveForm(QString settingsFileName, QWidget* parent = nullptr);

    // The settings as the file holds them, defaults where it holds none.
    static double ReadMinutes(const QString& settingsFileName);
    static bool ReadKeepBackups(const QString& settingsFileName);

    QDoubleSpinBox* MinutesBox() const { return minutes_; }
    QCheckBox* BackupBox() const { return backup_; }
    QPushButton* OKButton() const { return okButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OKButtonClick();

    QString settingsFileName_;
    QDoubleSpinBox* minutes_ = nullptr;
    QCheckBox* backup_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace vesk
