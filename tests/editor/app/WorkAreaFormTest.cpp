#include "app/Workareaform.h"

#include "app/Editpair.h"
#include "app/Settingsfile.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
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

TEST_F(WorkAreaFormTest, EditsAreAppliedUntilTheFirstTextThatIsNotANumber)
{
    const struct {
        const char* width;
        const char* height;
        double areaWidth;
        double areaHeight;
    } cases[] = {
        { "160.5", "100", 1605.0, 1000.0 },
        { " 20 ", "30", 200.0, 300.0 },
        { "0", "-5", 0.0, -50.0 },
        { "abc", "50", 1000.0, 750.0 }, // a bad width keeps both
        { "50", "abc", 500.0, 750.0 }, // a bad height keeps the height
        { "", "", 1000.0, 750.0 },
        { "nan", "10", 1000.0, 750.0 },
        { "inf", "10", 1000.0, 750.0 },
        { "1e300", "10", 1000.0, 750.0 }, // far beyond any board and the settings file's integers
        { "10", "1e7", 100.0, 750.0 },
    };
    for (const auto& c : cases) {
        auto form = makeForm();
        form->WidthPair().SetText(QString::fromUtf8(c.width));
        form->HeightPair().SetText(QString::fromUtf8(c.height));
        form->ApplyEdits();
        EXPECT_EQ(form->AreaWidth(), c.areaWidth) << c.width << " x " << c.height;
        EXPECT_EQ(form->AreaHeight(), c.areaHeight) << c.width << " x " << c.height;
        EXPECT_EQ(form->Area().Width, float(c.areaWidth));
        EXPECT_EQ(form->Area().Height, float(c.areaHeight));
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

    form->WidthPair().SetText(QStringLiteral("5"));
    form->CancelButton()->click();
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(form->AreaWidth(), 1605.0);
    // The typed text waits for the next opening.
    EXPECT_EQ(form->WidthPair().GetText(), QStringLiteral("5"));
}

TEST_F(WorkAreaFormTest, TruncatesTheStoredSizeAndClampsWhatAnIntegerCannotHold)
{
    {
        QFile f(settingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[WorkArea]\nAreaWidth=2147483647\nAreaHeight=-7\n");
    }
    {
        auto form = makeForm();
        EXPECT_EQ(form->AreaWidth(), 2147483647.0);
        form->WidthPair().SetText(QStringLiteral("12.39"));
        form->ApplyEdits();
    }
    const TSettingsFile ini(settingsPath());
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaWidth"), 0), 123);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaHeight"), 0), -7);
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
