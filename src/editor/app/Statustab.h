#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QListWidget;

namespace vesk {

class TEditorContext;

// The object editor's "グリッド" page: the grid pitch every tool snaps to,
// with its presets from the settings file, and the snap and grid display
// switches. The values live in the editor context's grid settings, where
// the tools and the renderer read them; this page shows and sets them. The
// pitch is shown and typed in millimetres and echoed on the main window's
// status bar.
class TStatusTab : public QWidget {
    Q_OBJECT
public:
    explicit TStatusTab(TEditorContext& context, QWidget* parent = nullptr);
    ~TStatusTab() override;

    // Presets and the default pitch from the settings file; the switches
    // follow the check boxes.
    void Refresh();
    // For the main window's menu items: the switch and its check box.
    void SetSnap(bool value);
    void SetShowGrid(bool value);
    bool Snap() const;
    bool ShowGrid() const;
    // Document units.
    double GridPitch() const;

    QLineEdit* gridEdit = nullptr;
    QListWidget* gridList = nullptr;
    QCheckBox* showGridCheck = nullptr;
    QCheckBox* snapCheck = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void GridEditChange();
    void GridListClick();
    void SnapCheckClick();
    void ShowGridCheckClick();
    // The pitch in the box and on the status bar.
    void showPitch();

    TEditorContext& context_;
};

} // namespace vesk
