// The numeric input dialog of the select tool: what it accepts as a number,
// how it marks a field it refuses, and what Ask hands back.
#include "app/Numericinputform.h"

#include "Vesktoolhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

using namespace vesk;

namespace {

TEST(NumericInputForm, ParsesNumbersWithinTheLimit)
{
    const struct {
        const char* text;
        std::optional<double> empty;
        std::optional<double> expected;
    } cases[] = {
        { "2.5", {}, 2.5 },
        { "  -1 ", {}, -1.0 },
        { "１．５", {}, 1.5 }, // full-width, as Japanese input leaves it
        { "－３", {}, -3.0 },
        { "1e3", {}, 1000.0 },
        { "-1000", {}, -1000.0 },
        { "1000.001", {}, std::nullopt },
        { "1,5mm", {}, std::nullopt },
        { "abc", {}, std::nullopt },
        { "nan", {}, std::nullopt },
        { "inf", {}, std::nullopt },
        { "1e999", {}, std::nullopt },
        { "", {}, std::nullopt },
        { "   ", 0.0, 0.0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TNumericInputForm::ParseNumber(QString::fromUtf8(c.text), 1000.0, c.empty), c.expected)
            << c.text;
}

TEST(NumericInputForm, RefusedFieldsAreMarkedAndTheMoveIsKept)
{
    TNumericInputForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("数値入力"));
    TVeskNumericMove move { 7, 8, 9 };
    const struct {
        const char* x;
        const char* y;
        const char* angle;
        bool xMarked, yMarked, angleMarked;
    } refused[] = {
        { "abc", "2", "", true, false, false },
        { "1", "", "0", false, true, false },
        { "1", "2", "361", false, false, true },
        { "2000", "x", "90", true, true, false },
    };
    for (const auto& c : refused) {
        form.XEdit()->setText(QString::fromUtf8(c.x));
        form.YEdit()->setText(QString::fromUtf8(c.y));
        form.AngleEdit()->setText(QString::fromUtf8(c.angle));
        EXPECT_FALSE(form.ReadFields(move)) << c.x << " " << c.y << " " << c.angle;
        EXPECT_EQ(TNumericInputForm::IsMarked(form.XEdit()), c.xMarked) << c.x;
        EXPECT_EQ(TNumericInputForm::IsMarked(form.YEdit()), c.yMarked) << c.y;
        EXPECT_EQ(TNumericInputForm::IsMarked(form.AngleEdit()), c.angleMarked) << c.angle;
        EXPECT_FALSE(form.MessageLabel()->isHidden());
        EXPECT_EQ(move.dxMm, 7);
        EXPECT_EQ(move.dyMm, 8);
        EXPECT_EQ(move.angle, 9);
    }

    // Typing into a marked field takes the mark off.
    QTest::keyClick(form.YEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(TNumericInputForm::IsMarked(form.YEdit()));
    EXPECT_TRUE(TNumericInputForm::IsMarked(form.XEdit()));

    form.XEdit()->setText(QStringLiteral("-2.5"));
    form.YEdit()->setText(QStringLiteral("0.1"));
    form.AngleEdit()->setText(QString());
    EXPECT_TRUE(form.ReadFields(move));
    EXPECT_FALSE(TNumericInputForm::IsMarked(form.XEdit()));
    EXPECT_TRUE(form.MessageLabel()->isHidden());
    EXPECT_EQ(move.dxMm, -2.5);
    EXPECT_EQ(move.dyMm, 0.1);
    EXPECT_EQ(move.angle, 0);
}

TEST(NumericInputForm, AskHandsBackWhatWasTypedOnlyOnOK)
{
    TNumericInputForm form;
    const struct {
        const char* x;
        bool ok;
    } cases[] = { { "12", true }, { "12", false }, { "bad", false } };
    for (const auto& c : cases) {
        TVeskNumericMove move { 1, 2, 3 };
        bool shownValues = false;
        QTimer::singleShot(0, &form, [&] {
            shownValues = form.XEdit()->text() == QStringLiteral("1")
                && form.AngleEdit()->text() == QStringLiteral("3");
            form.XEdit()->setText(QString::fromUtf8(c.x));
            if (c.ok)
                form.OKButton()->click();
            if (form.isVisible()) // refused, or asked to cancel
                form.CancelButton()->click();
        });
        EXPECT_EQ(form.Ask(move), c.ok) << c.x;
        EXPECT_TRUE(shownValues);
        EXPECT_EQ(move.dxMm, c.ok ? 12.0 : 1.0) << c.x;
        EXPECT_EQ(move.dyMm, 2);
    }
}

TEST(NumericInputForm, ThePlaceChoiceStartsFromTheSelectionsCentre)
{
    TNumericInputForm form;
    TVeskNumericMove move;
    move.centreXMm = 12.7;
    move.centreYMm = -5;
    QStringList seen;
    QTimer::singleShot(0, &form, [&] {
        seen << form.XEdit()->text() + u',' + form.YEdit()->text();
        QTest::mouseClick(form.AbsoluteChoice(), Qt::LeftButton, {}, QPoint(5, 5));
        seen << form.XEdit()->text() + u',' + form.YEdit()->text();
        QTest::mouseClick(form.RelativeChoice(), Qt::LeftButton, {}, QPoint(5, 5));
        seen << form.XEdit()->text() + u',' + form.YEdit()->text();
        QTest::mouseClick(form.AbsoluteChoice(), Qt::LeftButton, {}, QPoint(5, 5));
        form.XEdit()->setText(QStringLiteral("20"));
        form.OKButton()->click();
    });
    ASSERT_TRUE(form.Ask(move));
    EXPECT_EQ(seen, QStringList({ QStringLiteral("0,0"), QStringLiteral("12.7,-5"), QStringLiteral("0,0") }));
    EXPECT_TRUE(move.absolute);
    EXPECT_EQ(move.dxMm, 20.0);
    EXPECT_EQ(move.dyMm, -5.0);
}

} // namespace
