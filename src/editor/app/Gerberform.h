#pragma once

#include <QDialog>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace vesk {

class TUserDialogs;
class TVeskForm;

// The dialog "GerberExport": the layers to export are ticked (the ticks are
// the layers' printSelected flags, shared with the print dialog), Gerber or
// outline output is chosen, and OK asks for a folder and writes one file per
// ticked layer there. What was written, and what was not and why, is
// reported. The folder and the choice of output are kept while the program
// runs.
class TGerberForm : public QDialog {
    Q_OBJECT
public:
    TGerberForm(TVeskForm& mainForm, TUserDialogs& dialogs, QWidget* parent = nullptr);
    ~TGerberForm() override;

    void ButtonOkClick();
    // "ホール出力" shows the mask flag of the chosen entry, or of the first
    // layer when none is chosen; it changes nothing itself.
    void LayerListClick();

    const QString& OutputFolder() const { return outputFolder; }
    QListWidget* LayerList() const { return layerList_; }
    QCheckBox* HoleCheckBox() const { return holeCheckBox_; }
    QRadioButton* GerberRadioBtn() const { return gerberRadio_; }
    QRadioButton* OutlineRadioBtn() const { return outlineRadio_; }
    QPushButton* ButtonOk() const { return okButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    void FormClose();

    TVeskForm& mainForm_;
    TUserDialogs& dialogs_;
    std::vector<bool> cutOutFlags;
    QString outputFolder;
    QListWidget* layerList_ = nullptr;
    QCheckBox* holeCheckBox_ = nullptr;
    QRadioButton* gerberRadio_ = nullptr;
    QRadioButton* outlineRadio_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace vesk
