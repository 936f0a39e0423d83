#include "Textform.h"

#include "shapes/Fontresolver.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>

namespace vesk {

TTextForm::TTextForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("TextForm"));
    InstallFontSubstitutions();
    fontList_ = new QComboBox(this);
    fontList_->addItems(SelectableFontFamilies());
    fontList_->setCurrentIndex(0);
    sizeEdit_ = new QLineEdit(this);
    memo_ = new QPlainTextEdit(this);
    QFont memoFont = memo_->font();
    memoFont.setPointSize(12);
    memo_->setFont(memoFont);
    // A tab in a board text is never wanted; Tab reaches the buttons.
    memo_->setTabChangesFocus(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // Enter anywhere but in the memo and on Cancel confirms, the size field included.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(fontList_, &QComboBox::currentIndexChanged, this, [this] { FontListBoxSelect(); });

    auto* top = new QHBoxLayout;
    top->addWidget(fontList_, 1);
    top->addStretch();
    top->addWidget(sizeEdit_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(memo_, 1);
    all->addLayout(buttons);
    setTabOrder(memo_, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, fontList_);
    setTabOrder(fontList_, sizeEdit_);
    resize(361, 303);
}

void TTextForm::LoadFromText(const QString& text, const QString& family, int textStyle, float textSize)
{
    resultText = text;
    if (!family.isEmpty()) {
        int found = fontList_->findText(family);
        if (found < 0) {
            // A family known neither here nor as a substitute stays the text's own.
            fontList_->insertItem(0, family);
            found = 0;
        }
        fontList_->setCurrentIndex(found);
    }
    style = textStyle;
    size = textSize;
}

QString TTextForm::SelectedFamily() const
{
    return fontList_->currentIndex() >= 0 ? fontList_->currentText() : fontList_->itemText(0);
}

void TTextForm::showEvent(QShowEvent* event)
{
    memo_->setPlainText(resultText);
    sizeEdit_->setText(QString::number(double(size) * 0.1, 'g', 6));
    FontListBoxSelect();
    memo_->setFocus();
    QDialog::showEvent(event);
}

void TTextForm::FontListBoxSelect()
{
    QFont font = memo_->font();
    font.setFamily(DrawingFontFamily(SelectedFamily()));
    memo_->setFont(font);
}

void TTextForm::OKButtonClick()
{
    resultText = memo_->toPlainText();
    if (resultText.isEmpty())
        resultText = QStringLiteral("ぬる");
    const QString typed = sizeEdit_->text().trimmed();
    bool ok = false;
    double value = typed.toDouble(&ok);
    if (!ok)
        value = QLocale::system().toDouble(typed, &ok);
    // Tenths of a millimetre, within what a text can be drawn at.
    const double tenths = value * 10.0;
    if (ok && std::isfinite(tenths) && tenths > 0 && tenths <= 1e6)
        size = float(tenths);
    accept();
}

} // namespace vesk
