// Pads and a library part of the starter set inserted in the real main
// window on the offscreen platform: a pad chosen in the object editor's pad
// list is clicked twice into the drawing, the DIP-8 is picked in the library
// window and placed, one undo takes the part back, and the saved file equals
// the document the same insertions give through the core.
#include "DrawingInput.h"
#include "PartFixtures.h"
#include "Starterlibrary.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "app/Drawingview.h"
#include "app/Libraryform.h"
#include "app/Mainmenu.h"
#include "app/Objecteditor.h"
#include "app/Objectlisttab.h"
#include "app/Padgrid.h"
#include "app/Toolstrip.h"
#include "io/Veskpartfile.h"
#include "shapes/Veskgroup.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <cmath>

using namespace vesk;
using namespace vesk::test;

namespace {

QByteArray normalised(TVeskDocument& doc)
{
    doc.Root().SetViewScale(1.0);
    doc.Root().SetSelected(false);
    return doc.ToBytes();
}

QByteArray normalisedFile(const QString& path)
{
    TVeskDocument doc;
    EXPECT_TRUE(doc.Read(path).ok);
    return normalised(doc);
}

// One insertion: the file, the name a pad gets (empty for a library part)
// and where its origin goes.
struct Insertion {
    QString file;
    QString padName;
    PointF at;
};

QByteArray expectedDocument(const std::vector<Insertion>& insertions)
{
    TVeskDocument doc;
    for (const Insertion& i : insertions) {
        std::unique_ptr<TVeskGroup> group = ReadPartFile(i.file, doc.Layers());
        EXPECT_NE(group, nullptr) << i.file.toStdString();
        if (!group)
            continue;
        if (!i.padName.isEmpty())
            group->SetName(i.padName);
        TVeskObject* placed = doc.Root().Adopt(std::move(group));
        placed->SetSelected(true);
        placed->Translate(i.at.X, i.at.Y, MatrixOrder::Append);
        placed->SetSelected(false);
    }
    return normalised(doc);
}

class PadLibraryRun : public PartFolderFixture {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const TStarterResult starter = WriteStarterLibrary(dir.path());
        ASSERT_TRUE(starter.ok) << starter.error.toStdString();
        startWith(QByteArray());
        context->Grid().pitch = 10;
        context->Grid().snap = true;
        settle();
    }

    void settle() { test::Settle(*form); }
    TDrawingView& area() { return form->DrawingArea(); }
    QPoint px(PointF p) { return test::PixelOf(*form, p); }
    QString activeTool() { return form->ToolBar().CurrentTool()->GetToolName(); }
    int children() { return document().Root().ChildCount(); }
    QByteArray documentNow()
    {
        const QString path = temp("now.vbf");
        EXPECT_TRUE(form->WriteDocument(path).ok);
        return normalisedFile(path);
    }
};

TEST_F(PadLibraryRun, TwoPadsAndADip8UndoOnceAndSave)
{
    // The pad list: a round 1.6 mm pad, chosen with a click, switches tools.
    TObjectEditor& editor = form->ObjectEditor();
    editor.PageControl().setCurrentWidget(&editor.ObjectListTab());
    TObjectListTab& list = editor.ObjectListTab();
    TPadGrid& grid = *list.padGrid;
    ASSERT_TRUE(WaitFor([&] { return grid.isVisible(); }));
    int round = -1;
    for (int i = 0; i < list.PadCount(); ++i)
        if (list.Pad(i).GetName() == QStringLiteral("round_1.6_0.8.vbf"))
            round = i;
    ASSERT_GE(round, 0);
    ASSERT_TRUE(grid.viewport()->rect().contains(grid.CellRect(round))) << "in view without scrolling";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(round).center());
    ASSERT_EQ(list.ChosenPad(), round);
    ASSERT_EQ(activeTool(), QStringLiteral("PadTool"));
    EXPECT_TRUE(form->ToolStrip().ToolButtons()[7]->isChecked());

    // Two clicks, each one pad on the grid point nearest to it.
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ 33, -18 }));
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ -61, 44 }));
    settle();
    ASSERT_EQ(children(), 2);
    EXPECT_EQ(steps(), 2);

    // The library tool: a click opens the library window, where DIP-8 is
    // clicked and confirmed.
    QTest::mouseClick(form->ToolStrip().ToolButtons()[8], Qt::LeftButton);
    ASSERT_EQ(activeTool(), QStringLiteral("LibraryTool"));
    bool picked = false;
    WhenModal<TLibraryForm>([&](TLibraryForm& library) {
        library.libraryTree->expandAll();
        QApplication::processEvents();
        const QList<QTreeWidgetItem*> found = library.libraryTree->findItems(
            QStringLiteral("DIP-8.vbf"), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.size() == 1) {
            QTreeWidget* tree = library.libraryTree;
            QTest::mouseClick(
                tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(found.front()).center());
            picked = library.LoadedPart() != nullptr;
        }
        QTest::mouseClick(library.okButton, Qt::LeftButton);
    });
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ 104, 71 }));
    settle();
    ASSERT_TRUE(picked);
    ASSERT_EQ(children(), 3);
    EXPECT_EQ(steps(), 3);

    const QString pad = QStringLiteral("round_1.6_0.8.vbf");
    const Insertion first { padFile("round_1.6_0.8.vbf"), pad, { 30, -20 } };
    const Insertion second { padFile("round_1.6_0.8.vbf"), pad, { -60, 40 } };
    const Insertion dip { libFile("DIP/DIP-8.vbf"), QString(), { 100, 70 } };
    EXPECT_EQ(documentNow(), expectedDocument({ first, second, dip }));

    form->Menu().undoItem->trigger();
    settle();
    ASSERT_EQ(children(), 2);
    const std::unique_ptr<TVeskDocument> saved = saveAndRead("pads.vbf");
    EXPECT_EQ(normalisedFile(temp("pads.vbf")), expectedDocument({ first, second }));
    EXPECT_FALSE(modified());
}

} // namespace

namespace {

QStringList layerNames(const TVeskLayerList& layers)
{
    QStringList names;
    for (int i = 0; i < layers.LayerCount(); ++i)
        names << layers.LayerAt(i)->Name();
    return names;
}

TEST_F(PadLibraryRun, ListingAndPreviewingPartsLeaveTheDocumentAloneAndPlacingAddsTheLayersTheyNeed)
{
    // A board drawn on "solder" alone: none of the layers the parts use.
    {
        TVeskDocument drawn;
        drawn.Layers().ClearLayers();
        TVeskRect track(drawn.Layers().AddNamedLayer(0xFFEB2828, QStringLiteral("solder")),
            TVeskSurface(0.0f, false, true, 4));
        track.SetCorners({ 0, 0 }, { 100, 10 });
        track.SetSelected(false);
        drawn.Root().Add(track);
        ASSERT_TRUE(drawn.Write(temp("solder-only.vbf")).ok);
    }
    dialogs->openName = temp("solder-only.vbf");
    form->OpenMenuClick();
    settle();
    const QStringList opened { QStringLiteral("solder") };
    EXPECT_EQ(layerNames(document().Layers()), opened);
    EXPECT_FALSE(modified());
    EXPECT_EQ(document().Layers().CurrentLayer()->Name(), QStringLiteral("solder"));

    // A part previewed in the library window, then cancelled.
    QTest::mouseClick(form->ToolStrip().ToolButtons()[8], Qt::LeftButton);
    bool previewed = false;
    WhenModal<TLibraryForm>([&](TLibraryForm& library) {
        library.libraryTree->expandAll();
        const QList<QTreeWidgetItem*> found = library.libraryTree->findItems(
            QStringLiteral("DIP-8.vbf"), Qt::MatchExactly | Qt::MatchRecursive);
        if (found.size() == 1) {
            library.LibraryTreeClick(found.front());
            previewed = library.LoadedPart() != nullptr;
        }
        QTest::mouseClick(library.cancelButton, Qt::LeftButton);
    });
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ 50, 50 }));
    settle();
    ASSERT_TRUE(previewed);
    EXPECT_EQ(layerNames(document().Layers()), opened);
    EXPECT_EQ(children(), 1);
    EXPECT_FALSE(modified());

    // A pad placed brings its layers, in its own step; the current layer stays.
    TObjectListTab& list = form->ObjectEditor().ObjectListTab();
    ASSERT_GT(list.PadCount(), 0);
    list.ChoosePad(0);
    QTest::mouseClick(&area(), Qt::LeftButton, {}, px({ 50, 50 }));
    settle();
    ASSERT_EQ(children(), 2);
    EXPECT_EQ(steps(), 1);
    std::vector<TVeskObject*> leaves;
    document().Root().ChildAt(1)->CollectLeaves(leaves);
    QStringList used;
    for (TVeskObject* leaf : leaves)
        if (auto* shape = dynamic_cast<TVeskInstance*>(leaf);
            shape && !used.contains(shape->GetLayer()->Name()))
            used << shape->GetLayer()->Name();
    if (!used.contains(QStringLiteral("solder")))
        used << QStringLiteral("solder");
    ASSERT_GT(used.size(), 1) << "the fixture needs a pad on layers the board lacks";
    QStringList now = layerNames(document().Layers());
    now.sort();
    used.sort();
    EXPECT_EQ(now, used) << "exactly the layers the pad lies on were added";
    EXPECT_EQ(document().Layers().CurrentLayer()->Name(), QStringLiteral("solder"));

    form->Menu().undoItem->trigger();
    settle();
    EXPECT_EQ(children(), 1);
    EXPECT_EQ(layerNames(document().Layers()), opened);
}

} // namespace
