#pragma once

#include "render/Printsetup.h"

#include <QDialog>
#include <QPrinter>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPagedPaintDevice;
class QPushButton;
class QRadioButton;

namespace vesk {

class TUserDialogs;
class TVeskToolHost;

// The dialog "印刷": prints the chosen layers at true scale (one document
// unit is 0.1 mm on paper at any printer resolution), in the layers' colours
// or in black for artwork films, mirrored about the page width and as a
// negative on request. It stays open after printing. The layer choice is
// each layer's printSelected flag, shared with the Gerber export dialog.
// Besides the printer it shows a print preview and writes a PDF file, so
// that a print can be checked before it costs toner and film, and made
// without a printer. Two presets set the dialog up for toner transfer, one
// per copper side: the solder side as drawn, the component side mirrored
// (the print is laid face down on the board), each in black with that
// side's copper, the holes and the outline.
class TPrintForm : public QDialog {
    Q_OBJECT
public:
    TPrintForm(TVeskToolHost& host, TUserDialogs& dialogs, QWidget* parent = nullptr);
    ~TPrintForm() override;

    // What the controls choose, for a page whose printable width is this.
    TPrintSetup Setup(double pageWidthMm) const;
    // Prints onto the device; false with the reason when it cannot start.
    bool PrintOn(QPagedPaintDevice& device, QString* error);

    // The entries of the preset box after the first, which chooses nothing.
    enum class TPreset { None, TonerSolderSide, TonerComponentSide };
    // Chooses the preset's layers, black, its mirror and no negative.
    void ApplyPreset(TPreset preset);

    void ConfigButtonClick();
    // Prints on the printer; a failure or an aborted job is reported.
    void PrintButtonClick();
    void PreviewButtonClick();
    // Asks for a file and writes the print there as one PDF page of the
    // printer's paper size; the file is replaced only when all went well.
    void PdfButtonClick();

    QPrinter& Printer() { return printer_; }
    QListWidget* LayerListBox() const { return layerList_; }
    QRadioButton* ColorButton() const { return colorButton_; }
    QRadioButton* BlackButton() const { return blackButton_; }
    QCheckBox* MirrorCheckBox() const { return mirror_; }
    QCheckBox* NegativeCheckBox() const { return negative_; }
    QComboBox* PresetBox() const { return presetBox_; }
    QPushButton* PrintButton() const { return printButton_; }
    QPushButton* PdfButton() const { return pdfButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The layers into the list, the chosen ones selected; and back.
    void FormShow();
    void FormClose();
    void reportError(const QString& text);
    // A choice changed by hand: the preset box no longer names what is set.
    void leavePreset();
    bool matchesPreset(TPreset preset) const;

    TVeskToolHost& host_;
    TUserDialogs& dialogs_;
    QPrinter printer_ { QPrinter::HighResolution };
    QListWidget* layerList_ = nullptr;
    QRadioButton* colorButton_ = nullptr;
    QRadioButton* blackButton_ = nullptr;
    QCheckBox* mirror_ = nullptr;
    QCheckBox* negative_ = nullptr;
    QComboBox* presetBox_ = nullptr;
    bool applyingPreset_ = false;
    QPushButton* printButton_ = nullptr;
    QPushButton* pdfButton_ = nullptr;
};

} // namespace vesk
