#pragma once

#include <QDialog>
#include <vector>

namespace vesk {

class TValueListEditor;
class TVeskForm;
class TVeskLayer;

// The dialog "LayerSwapForm": every layer is a source row, and OK moves the
// selected objects of each source layer that has a destination to that
// layer, in one history step, and says in the status bar what it moved.
// Each object is looked up by the layer it had before, so two layers can be
// exchanged at once. The rows are built from the layer table each time the
// dialog shows, under the layers' present names; a destination chosen before
// stays with its layers while both exist. The placement is kept in the
// settings file.
class TLayerSwapForm : public QDialog {
    Q_OBJECT
public:
    TLayerSwapForm(TVeskForm& mainForm, QString settingsFileName, QWidget* parent = nullptr);
    ~TLayerSwapForm() override;

    void OKButtonClick();

    TValueListEditor& LayerList() const { return *layerList_; }

    // Keeps the destinations shown for the next showing, whichever way it closes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void captureChoices();

    TVeskForm& mainForm_;
    QString settingsFileName_;
    // The layer of each row and the one its destination named, as last shown.
    std::vector<const TVeskLayer*> sources_;
    std::vector<TVeskLayer*> destinations_;
    TValueListEditor* layerList_ = nullptr;
};

} // namespace vesk
