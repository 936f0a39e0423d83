// The text dialog: the size in millimetres, the empty text, the families a
// document may name, and Escape.
#include "app/Textform.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vesk;

namespace {

TEST(TextForm, SizeIsTypedInMillimetresAndOnlyAPositiveNumberIsTaken)
{
    const struct {
        const char* typed;
        float size;
    } cases[] = { { "2.5", 25.0f }, { " 1 ", 10.0f }, { "0", 40.0f }, { "-3", 40.0f }, { "abc", 40.0f },
        { "", 40.0f }, { "1e300", 40.0f } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TTextForm form;
        form.show();
        EXPECT_EQ(form.SizeEdit()->text(), QStringLiteral("4")) << "40 tenths shown as 4 mm";
        form.SizeEdit()->setText(QString::fromUtf8(c.typed));
        form.TextMemo()->setPlainText(QStringLiteral("U1"));
        form.OKButtonClick();
        EXPECT_EQ(form.size, c.size);
        EXPECT_EQ(form.resultText, QStringLiteral("U1"));
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
}

TEST(TextForm, AnEmptyTextBecomesNuru)
{
    TTextForm form;
    form.show();
    form.OKButtonClick();
    EXPECT_EQ(form.resultText, QStringLiteral("ぬる"));
}

TEST(TextForm, TheFamiliesDocumentsNameAreOfferedAndAnUnknownOneIsKept)
{
    TTextForm form;
    for (const char* family : { "ＭＳ Ｐゴシック", "Tahoma" })
        EXPECT_GE(form.FontListBox()->findText(QString::fromUtf8(family)), 0) << family;
    form.LoadFromText(QStringLiteral("R2"), QStringLiteral("Tahoma"), 1, 55.0f);
    EXPECT_EQ(form.SelectedFamily(), QStringLiteral("Tahoma"));
    EXPECT_EQ(form.style, 1);
    form.LoadFromText(QStringLiteral("R2"), QStringLiteral("Nowhere Sans"), 0, 55.0f);
    EXPECT_EQ(form.SelectedFamily(), QStringLiteral("Nowhere Sans"));
    form.show();
    EXPECT_EQ(form.TextMemo()->toPlainText(), QStringLiteral("R2"));
    EXPECT_EQ(form.SizeEdit()->text(), QStringLiteral("5.5"));
}

TEST(TextForm, TabLeavesTheMemoForTheButtonsInsteadOfTypingATab)
{
    TTextForm form;
    form.show();
    QApplication::setActiveWindow(&form);
    form.TextMemo()->setFocus();
    QTest::keyClicks(form.TextMemo(), QStringLiteral("C1"));
    QTest::keyClick(form.TextMemo(), Qt::Key_Tab);
    EXPECT_EQ(form.TextMemo()->toPlainText(), QStringLiteral("C1"));
    EXPECT_FALSE(form.TextMemo()->hasFocus());
}

TEST(TextForm, EscapeCancels)
{
    TTextForm form;
    QTimer::singleShot(0, &form, [&] { QTest::keyClick(form.TextMemo(), Qt::Key_Escape); });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
}

} // namespace
