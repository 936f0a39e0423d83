#pragma once

#include <QDialog>
#include <vector>

namespace vesk {

class TValueListEditor;
class TVeskForm;
class TVeskLayer;

// The dialog "LayerSwapForm": every layer is a source row, and OK moves the
// selected objects of each source layer that has a destination to that
// layer, in one history step. Each object is looked up by the layer it had
// before, so two layers can be exchanged at once. The rows and their
// destinations stay while the layers stay the same; the placement is kept in
// the settings file.
class TLayerSwapForm : public QDialog {
    Q_OBJECT
public:
    TLayerSwapForm(TVeskForm& mainForm, QString settingsFileName, QWidget* parent = nullptr);
    ~TLayerSwapForm() override;

    void OKButtonClick();

    TValueListEditor& LayerList() const { return *layerList_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    TVeskForm& mainForm_;
    QString settingsFileName_;
    // The document's layers as they were when the rows were built.
    std::vector<const TVeskLayer*> layers_;
    TValueListEditor* layerList_ = nullptr;
};

} // namespace vesk
