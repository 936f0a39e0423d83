#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace vesk {

class TVeskString;

// The dialog "TextForm" of the text tool: font family, character size in
// millimetres (a text's em size is in tenths), and the text. OK with an
// empty text gives "ぬる"; a size that is not a number above 0 keeps the
// previous one. The families offered are the Windows families documents
// name, drawn through substitutes, then the installed ones; a text whose
// family is in neither keeps it, listed first.
class TTextForm : public QDialog {
    Q_OBJECT
public:
    explicit TTextForm(QWidget* parent = nullptr);

    // Shows a text's content, family, style and size.
    void LoadFromText(const QString& text, const QString& family, int style, float size);
    QString SelectedFamily() const;

    QString resultText;
    int style = 0;
    float size = 40.0f;

    QComboBox* FontListBox() const { return fontList_; }
    QLineEdit* SizeEdit() const { return sizeEdit_; }
    QPlainTextEdit* TextMemo() const { return memo_; }
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FontListBoxSelect();

    QComboBox* fontList_ = nullptr;
    QLineEdit* sizeEdit_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
};

} // namespace vesk
