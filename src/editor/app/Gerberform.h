#pragma once

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vesk {

class TUserDialogs;
class TVeskForm;

// The dialog "GerberExport": the layers to export are ticked (the ticks are
// the layers' printSelected flags, shared with the print dialog), Gerber or
// outline output is chosen, and OK asks for a folder and writes one file per
// ticked layer there, in the classic RS-274X or in Gerber X2, and the
// Excellon drill file of the hole layers when asked for. What was written,
// and what was not and why, is reported. The folder and the choice of output
// are kept while the program runs; the format and the drill choice are
// remembered in the settings file.
class TGerberForm : public QDialog {
    Q_OBJECT
public:
    TGerberForm(TVeskForm& mainForm, TUserDialogs& dialogs, const QString& settingsFileName,
        QWidget* parent = nullptr);
    ~TGerberForm() override;

    void ButtonOkClick();
    // "ホール出力" shows the mask flag of the chosen entry, or of the first
    // layer when none is chosen; it changes nothing, so it cannot be ticked.
    void LayerListClick();

    const QString& OutputFolder() const { return outputFolder; }
    QListWidget* LayerList() const { return layerList_; }
    QCheckBox* HoleCheckBox() const { return holeCheckBox_; }
    QRadioButton* GerberRadioBtn() const { return gerberRadio_; }
    QRadioButton* OutlineRadioBtn() const { return outlineRadio_; }
    QComboBox* FormatBox() const { return formatBox_; }
    QCheckBox* DrillCheckBox() const { return drillCheckBox_; }
    QPushButton* ButtonOk() const { return okButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void WriteChoices() const;

    TVeskForm& mainForm_;
    TUserDialogs& dialogs_;
    QString settingsFileName_;
    std::vector<bool> cutOutFlags;
    QString outputFolder;
    QListWidget* layerList_ = nullptr;
    QCheckBox* holeCheckBox_ = nullptr;
    QRadioButton* gerberRadio_ = nullptr;
    QRadioButton* outlineRadio_ = nullptr;
    QComboBox* formatBox_ = nullptr;
    QCheckBox* drillCheckBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace vesk
