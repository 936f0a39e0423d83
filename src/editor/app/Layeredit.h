#pragma once

#include <QColor>
#include <QDialog>

class QCheckBox;
class QColorDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vesk {

class TVeskLayer;

// The modal dialog that edits one layer: its name, its colour (chosen in a
// colour dialog opened from the colour box), and the mask and wire-frame
// flags. OK and Enter, wherever the focus is, apply all four; Escape and
// Cancel apply nothing, and neither does closing the window through its
// frame. A name another layer of the list already has (as a file stores
// names) is refused: the field is marked, says why, and the dialog stays.
class TLayerEdit : public QDialog {
    Q_OBJECT
public:
    explicit TLayerEdit(QWidget* parent = nullptr);
    ~TLayerEdit() override;

    // The layer is borrowed for as long as the dialog runs.
    void LoadLayer(TVeskLayer* layer);
    // The colour the box shows, which OK and Enter give the layer.
    QColor ChosenColor() const { return color_; }

    QLabel* LabelNameEdit = nullptr;
    QLineEdit* NameEdit = nullptr;
    QLabel* LabelPalletBox = nullptr;
    QPushButton* PalletBox = nullptr;
    QCheckBox* MaskCheckBox = nullptr;
    QCheckBox* WireCheckBox = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QColorDialog* ColorDialog = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void PalletBoxMouseDown();
    void ButtonOKClick();
    // Enter and Escape, before any control sees them; false for other keys.
    bool FormKeyPress(const QKeyEvent& key);
    // Applies what the dialog shows and closes it; false, with the name
    // field marked, when the name is taken.
    bool apply();
    void showColor(const QColor& color);

    TVeskLayer* layer_ = nullptr;
    QColor color_;
};

} // namespace vesk
