#pragma once

#include "Editpair.h"
#include "geometry/PointF.h"

#include <QDialog>
#include <memory>

class QPushButton;

namespace vesk {

// The modal dialog "図面の設定" that edits the size of the work area, the
// board frame drawn in the view with its top-left corner at the document
// origin. It also holds the current work area for the whole program: the
// size in document units (0.1 mm) while the edit boxes show millimetres. The
// size and the dialog's placement live in the "WorkArea" section of the
// settings file, read when the dialog is created and written when it is
// destroyed.
class TWorkAreaForm : public QDialog {
    Q_OBJECT
public:
    TWorkAreaForm(QString settingsFileName, QWidget* parent = nullptr);
    ~TWorkAreaForm() override;

    double AreaWidth() const { return areaWidth; }
    double AreaHeight() const { return areaHeight; }
    const RectF& Area() const { return area; }

    // Reads the edit boxes into the work area when both hold a size above 0
    // and up to a kilometre; otherwise changes nothing, marks each box
    // refused with the reason and puts the focus in the first. False then.
    bool ApplyEdits();

    TEditPair& WidthPair() { return *widthPair; }
    TEditPair& HeightPair() { return *heightPair; }
    QPushButton* OKButton() const { return okButton; }
    QPushButton* CancelButton() const { return cancelButton; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    // The size in force into the boxes, unmarked.
    void showSize();
    void OKButtonClick();

    QString settingsFileName_;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    double areaWidth = 0.0;
    double areaHeight = 0.0;
    RectF area;
    std::unique_ptr<TEditPair> widthPair;
    std::unique_ptr<TEditPair> heightPair;
};

} // namespace vesk
