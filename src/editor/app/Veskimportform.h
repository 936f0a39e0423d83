#pragma once

#include "import/Veskimportmapping.h"

#include <QDialog>

namespace vesk {

class TUserDialogs;
class TValueListEditor;
class TVeskForm;

// The dialog "VESKファイルのインポート": a drawing of the predecessor program
// is read, each of its layers is given a document layer (or none, dropping
// its items), and OK adds the drawing to the document as one group, in one
// history step. The destinations belong to row positions and are kept in
// the settings file between runs, with the dialog's placement.
class TVeskImportForm : public QDialog {
    Q_OBJECT
public:
    TVeskImportForm(
        TVeskForm& mainForm, TUserDialogs& dialogs, QString settingsFileName, QWidget* parent = nullptr);
    ~TVeskImportForm() override;

    // Reads the file's layers and shows the dialog modally. A file that
    // cannot be read, or holds no layers, is reported instead and nothing
    // is imported.
    int OpenAndShow(const QString& fileName);

    void OKButtonClick();
    void reject() override;

    TValueListEditor& LayerList() const { return *layerList_; }
    const TVeskImportMapping& Mapping() const { return mapping_; }

private:
    void FormShow();

    TVeskForm& mainForm_;
    TUserDialogs& dialogs_;
    QString settingsFileName_;
    TVeskImportMapping mapping_;
    TValueListEditor* layerList_ = nullptr;
};

} // namespace vesk
