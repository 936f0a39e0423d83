#include "app/Workareaform.h"

#include "app/Editpair.h"
#include "app/Numberinput.h"
#include "app/Settingsfile.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

class WorkAreaFormTest : public ::testing::Test {
protected:
    QString settingsPath() const { return dir.filePath(QStringLiteral("VeskV.ini")); }
    std::unique_ptr<TWorkAreaForm> makeForm() const
    {
        return std::make_unique<TWorkAreaForm>(settingsPath());
    }

    QTemporaryDir dir;
};

TEST_F(WorkAreaFormTest, WithoutSettingsTheFrameIs100By75Millimetres)
{
    auto form = makeForm();
    EXPECT_EQ(form->AreaWidth(), 1000.0);
    EXPECT_EQ(form->AreaHeight(), 750.0);
    EXPECT_EQ(form->Area().Width, 1000.0f);
    EXPECT_EQ(form->Area().Height, 750.0f);
    EXPECT_EQ(form->WidthPair().GetText(), QStringLiteral("100"));
    EXPECT_EQ(form->HeightPair().GetText(), QStringLiteral("75"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("図面の設定"));
}

TEST_F(WorkAreaFormTest, OnlySizesAFrameCanHaveAreTakenAndABadOneIsMarkedWithTheDialogOpen)
{
    // Which boxes are refused: none, the width, the height or both.
    enum Refused { None, Width, Height, Both };
    const struct {
        const char* width;
        const char* height;
        Refused refused;
        double areaWidth = 0.0;
        double areaHeight = 0.0;
    } cases[] = {
        { "160.5", "100", None, 1605.0, 1000.0 },
        { " 20 ", "30", None, 200.0, 300.0 },
        { "1000000", "0.1", None, 1e7, 1.0 },
        { "0", "50", Width },
        { "-5", "50", Width },
        { "abc", "50", Width },
        { "", "50", Width },
        { "nan", "10", Width },
        { "inf", "10", Width },
        { "1e300", "10", Width }, // far beyond any board and the settings file's integers
        { "50", "", Height },
        { "10", "1e7", Height },
        { "0", "abc", Both },
        // A comma is no decimal point here (where the user's locale makes it
        // one, ReadTypedNumber takes it as such).
        { "160,5", "100", QLocale::system().decimalPoint() == u',' ? None : Width, 1605.0, 1000.0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        auto form = makeForm();
        form->show();
        QApplication::setActiveWindow(form.get());
        for (auto [pair, text] :
            { std::pair { &form->WidthPair(), c.width }, { &form->HeightPair(), c.height } }) {
            pair->Edit()->setFocus();
            pair->Edit()->clear();
            QTest::keyClicks(pair->Edit(), QString::fromUtf8(text));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QLineEdit* width = form->WidthPair().Edit();
        QLineEdit* height = form->HeightPair().Edit();
        EXPECT_EQ(IsMarkedRefused(*width), c.refused == Width || c.refused == Both);
        EXPECT_EQ(IsMarkedRefused(*height), c.refused == Height || c.refused == Both);
        if (c.refused == None) {
            EXPECT_FALSE(form->isVisible());
            EXPECT_EQ(form->result(), QDialog::Accepted);
            EXPECT_EQ(form->AreaWidth(), c.areaWidth);
            EXPECT_EQ(form->AreaHeight(), c.areaHeight);
            EXPECT_EQ(form->Area().Width, float(c.areaWidth));
        } else {
            EXPECT_TRUE(form->isVisible()) << "the dialog waits for a size it can take";
            EXPECT_EQ(form->AreaWidth(), 1000.0) << "nothing applied";
            EXPECT_EQ(form->AreaHeight(), 750.0);
            QLineEdit* first = c.refused == Height ? height : width;
            EXPECT_TRUE(first->hasFocus());
            EXPECT_FALSE(first->toolTip().isEmpty());
            // Typing again takes the mark away.
            QTest::keyClicks(first, QStringLiteral("5"));
            EXPECT_FALSE(IsMarkedRefused(*first));
        }
        form->hide();
        form.reset(); // writes the size it holds: the next case must start afresh
        QFile::remove(settingsPath());
    }
}

TEST_F(WorkAreaFormTest, OKKeepsTheSizeForTheNextStartAndCancelAppliesNothing)
{
    {
        auto form = makeForm();
        form->WidthPair().SetText(QStringLiteral("160.5"));
        form->HeightPair().SetText(QStringLiteral("100"));
        form->OKButton()->click();
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(form->AreaWidth(), 1605.0);
    }
    const TSettingsFile ini(settingsPath());
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaWidth"), 0), 1605);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaHeight"), 0), 1000);

    auto form = makeForm();
    EXPECT_EQ(form->AreaWidth(), 1605.0);
    EXPECT_EQ(form->AreaHeight(), 1000.0);
    EXPECT_EQ(form->WidthPair().GetText(), QStringLiteral("160.5"));
    EXPECT_EQ(form->HeightPair().GetText(), QStringLiteral("100"));

    form->show();
    form->WidthPair().SetText(QStringLiteral("5"));
    form->HeightPair().SetText(QStringLiteral("0"));
    form->OKButton()->click(); // the height is refused and marked
    form->CancelButton()->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(form->AreaWidth(), 1605.0);
    // Opened again, the dialog shows the size in force, unmarked.
    form->show();
    EXPECT_EQ(form->WidthPair().GetText(), QStringLiteral("160.5"));
    EXPECT_EQ(form->HeightPair().GetText(), QStringLiteral("100"));
    EXPECT_FALSE(IsMarkedRefused(*form->HeightPair().Edit()));
    form->hide();
}

TEST_F(WorkAreaFormTest, StoredSizesNoFrameCanHaveGiveWayAndTheStoredSizeIsTruncated)
{
    {
        QFile f(settingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[WorkArea]\nAreaWidth=2147483647\nAreaHeight=-7\n");
    }
    {
        auto form = makeForm();
        EXPECT_EQ(form->AreaWidth(), 1000.0);
        EXPECT_EQ(form->AreaHeight(), 750.0);
        form->WidthPair().SetText(QStringLiteral("12.39"));
        EXPECT_TRUE(form->ApplyEdits());
    }
    const TSettingsFile ini(settingsPath());
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaWidth"), 0), 123);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaHeight"), 0), 750);
}

TEST_F(WorkAreaFormTest, EditPairSplitsItsWidthSevenToThree)
{
    QWidget form;
    TEditPair pair(&form);
    pair.SetLeft(10);
    pair.SetTop(20);
    pair.SetWidth(150);
    EXPECT_EQ(pair.Label()->geometry().topLeft(), QPoint(10, 20));
    EXPECT_EQ(pair.Label()->width(), 105);
    EXPECT_EQ(pair.Edit()->geometry().topLeft(), QPoint(115, 20));
    EXPECT_EQ(pair.Edit()->width(), 45);
    pair.SetLeft(3);
    EXPECT_EQ(pair.Edit()->x(), 108);
    pair.SetWidth(215); // 150.5 and 64.5 are truncated
    EXPECT_EQ(pair.Label()->width(), 150);
    EXPECT_EQ(pair.Edit()->width(), 64);
    EXPECT_EQ(pair.Edit()->x(), 153);
}

TEST_F(WorkAreaFormTest, ResizingTheDialogWidensThePairsAndMovesTheButtons)
{
    auto form = makeForm();
    form->resize(300, 200);
    form->show();
    EXPECT_EQ(form->WidthPair().Label()->width(), int((300 - 25) * 0.7));
    EXPECT_EQ(form->HeightPair().Edit()->width(), int((300 - 25) * 0.3));
    EXPECT_EQ(form->OKButton()->geometry().bottomRight(), QPoint(300 - 230 + 130, 200 - 122 + 111));
    form->hide();
}

TEST_F(WorkAreaFormTest, EditPairOutlivedByItsControlsFormIsSafe)
{
    auto form = std::make_unique<QWidget>();
    auto pair = std::make_unique<TEditPair>(form.get());
    form.reset(); // destroys the label and the edit box
    pair.reset();
    SUCCEED();
}

} // namespace
