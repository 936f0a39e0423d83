// The object editor's pad list over a pad folder made by the test: every
// readable pad file as a thumbnail in name order, small pads at one pixel
// per unit and larger ones scaled down with the scale written in the cell,
// a click on a cell choosing the pad and switching to the pad tool, the
// label following the pointer, and the folder read again with a new document.
#include "app/Objectlisttab.h"

#include "PartFixtures.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "app/Objecteditor.h"
#include "app/Padgrid.h"
#include "shapes/Veskgroup.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>

using namespace vesk;
using namespace vesk::test;

namespace {

class ObjectListTabTest : public PartFolderFixture {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WritePartFile(padFile("pad10.vbf"), { { "component", { 0, 0 }, 16 } });
        WritePartFile(padFile("pad2.vbf"), { { "solder", { 0, 0 }, 20 } });
        // 72 x 36 units: drawn at half size in a 36-pixel cell.
        WritePartFile(
            padFile("oblong.vbf"), { { "component", { -18, 0 }, 36 }, { "component", { 18, 0 }, 36 } });
        WritePartFile(padFile(".hidden.vbf"), { { "component", { 0, 0 }, 16 } });
        WriteBytes(padFile("broken.vbf"), QByteArray("Vesk2.0"));
        startWith(QByteArray());
        editor().show();
        editor().PageControl().setCurrentWidget(&pads());
        ASSERT_TRUE(WaitFor([&] { return pads().isVisible(); }));
        QApplication::processEvents();
    }

    TObjectEditor& editor() { return form->ObjectEditor(); }
    TObjectListTab& pads() { return editor().ObjectListTab(); }
    TPadGrid& grid() { return *pads().padGrid; }
    QString activeTool() const
    {
        TVeskEventProc* tool = form->ToolBar().CurrentTool();
        return tool ? tool->GetToolName() : QString();
    }
    void hover(int cell)
    {
        QMouseEvent move(QEvent::MouseMove, grid().CellRect(cell).center(),
            grid().viewport()->mapToGlobal(grid().CellRect(cell).center()), Qt::NoButton, Qt::NoButton,
            Qt::NoModifier);
        QApplication::sendEvent(grid().viewport(), &move);
    }
    QStringList names()
    {
        QStringList out;
        for (int i = 0; i < pads().PadCount(); ++i)
            out << pads().Pad(i).GetName();
        return out;
    }
};

TEST_F(ObjectListTabTest, ReadablePadFilesInNameOrderBetweenTheStyleAndGridPages)
{
    QTabWidget& pages = editor().PageControl();
    ASSERT_EQ(pages.count(), 3);
    EXPECT_EQ(pages.tabText(0), QStringLiteral("スタイル"));
    EXPECT_EQ(pages.tabText(1), QStringLiteral("パッド"));
    EXPECT_EQ(pages.tabText(2), QStringLiteral("グリッド"));
    EXPECT_EQ(pages.widget(1), &pads());

    EXPECT_EQ(names(),
        QStringList(
            { QStringLiteral("oblong.vbf"), QStringLiteral("pad2.vbf"), QStringLiteral("pad10.vbf") }));
    EXPECT_EQ(grid().CellCount(), 3);
    EXPECT_EQ(pads().ChosenPad(), 0);
    EXPECT_EQ(pads().CurrentPad(), &pads().Pad(0));
    EXPECT_EQ(pads().padLabel->text(), QStringLiteral("oblong.vbf"));
}

TEST_F(ObjectListTabTest, ThumbnailsCentreThePadOriginAndScaleDownLargePads)
{
    const QColor background = QColor::fromRgba(context->DrawStyle().backgroundColor);
    auto inked = [&](const QImage& image, int x, int y) { return image.pixelColor(x, y) != background; };
    auto dark = [](QRgb p) { return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80; };

    // pad10: 16 units at one pixel each, about the middle; no scale written.
    const QImage small = pads().Thumbnail(2);
    ASSERT_EQ(small.size(), QSize(36, 36));
    EXPECT_TRUE(inked(small, 18, 18));
    EXPECT_TRUE(inked(small, 11, 25));
    EXPECT_FALSE(inked(small, 18, 28));
    EXPECT_FALSE(inked(small, 28, 18));
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x)
            EXPECT_FALSE(dark(small.pixel(x, y))) << x << "," << y;

    // oblong: 72 x 36 units drawn 36 x 18 pixels, with "0.5" in the lower left.
    const QImage oblong = pads().Thumbnail(0);
    EXPECT_TRUE(inked(oblong, 1, 18));
    EXPECT_TRUE(inked(oblong, 34, 18));
    EXPECT_TRUE(inked(oblong, 18, 10));
    EXPECT_FALSE(inked(oblong, 18, 6));
    EXPECT_FALSE(inked(oblong, 30, 30));
    bool written = false;
    for (int y = 23; y < 36; ++y)
        for (int x = 8; x < 30; ++x)
            written = written || dark(oblong.pixel(x, y));
    EXPECT_TRUE(written);
}

TEST_F(ObjectListTabTest, ClickingACellChoosesItsPadAndSwitchesToThePadTool)
{
    const struct {
        const char* what;
        int cell;
        int chosen;
        const char* tool;
    } cases[] = {
        { "a pad", 2, 2, "PadTool" },
        { "past the last pad", 3, 0, "SelectTool" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startWith(QByteArray());
        editor().show();
        editor().PageControl().setCurrentWidget(&pads());
        ASSERT_TRUE(WaitFor([&] { return grid().isVisible(); }));
        ASSERT_EQ(activeTool(), QStringLiteral("SelectTool"));
        ASSERT_GE(grid().ColumnCount(), 4);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().CellRect(c.cell).center());
        EXPECT_EQ(pads().ChosenPad(), c.chosen);
        EXPECT_EQ(grid().Chosen(), c.chosen);
        EXPECT_EQ(pads().CurrentPad(), &pads().Pad(c.chosen));
        EXPECT_EQ(activeTool(), QLatin1String(c.tool));
    }
}

TEST_F(ObjectListTabTest, LabelNamesThePadUnderThePointerElseTheChosenOne)
{
    pads().ChoosePad(1);
    hover(2);
    EXPECT_EQ(pads().padLabel->text(), QStringLiteral("pad10.vbf"));
    hover(0);
    EXPECT_EQ(pads().padLabel->text(), QStringLiteral("oblong.vbf"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&grid(), &leave);
    EXPECT_EQ(pads().padLabel->text(), QStringLiteral("pad2.vbf"));
}

TEST_F(ObjectListTabTest, ANewDocumentReadsTheFolderAgain)
{
    pads().ChoosePad(2);
    WritePartFile(padFile("a-first.vbf"), { { "component", { 0, 0 }, 16 } });
    form->NewMenuClick();
    EXPECT_EQ(pads().PadCount(), 4);
    EXPECT_EQ(pads().Pad(0).GetName(), QStringLiteral("a-first.vbf"));
    EXPECT_EQ(pads().ChosenPad(), 0);

    // Emptied: nothing to choose, nothing for the pad tool.
    for (const char* name : { "a-first.vbf", "oblong.vbf", "pad2.vbf", "pad10.vbf" })
        ASSERT_TRUE(QFile::remove(padFile(name)));
    form->NewMenuClick();
    EXPECT_EQ(pads().PadCount(), 0);
    EXPECT_EQ(grid().CellCount(), 0);
    EXPECT_EQ(pads().ChosenPad(), -1);
    EXPECT_EQ(pads().CurrentPad(), nullptr);
    EXPECT_TRUE(pads().padLabel->text().isEmpty());
}

} // namespace
