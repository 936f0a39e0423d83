// The import dialog and the layer swap dialog on the real main window: each
// change they make is one history step, and what they remember survives.
#include "FakeDialogs.h"
#include "app/Editorcontext.h"
#include "app/Layerswapform.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Valuelisteditor.h"
#include "app/Veskimportform.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "model/Vesklayer.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QAction>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

QString importFixture(const char* name)
{
    return QStringLiteral(VESK_TEST_DATA "/import/") + QLatin1String(name);
}

class ImportAndSwapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        open();
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    void open()
    {
        form.reset();
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(QString());
    }

    TVeskPart& root() { return context->Document().Root(); }
    TVeskLayerList& layers() { return context->Document().Layers(); }
    QByteArray saved() { return context->Document().ToBytes(); }

    // Runs the import menu item on a file; `whileShown` sees the dialog
    // while it is up and decides how it ends.
    void importFile(const QString& path, const std::function<void(TVeskImportForm&)>& whileShown)
    {
        dialogs->openName = path;
        bool shown = false;
        QTimer::singleShot(0, form.get(), [&] {
            shown = true;
            whileShown(form->ImportForm());
        });
        form->Menu().veskImportItem->trigger();
        if (!shown)
            QTimer::singleShot(0, [] {}); // the dialog never came up: drop the pending call
    }

    std::unique_ptr<TVeskRect> rectOn(const char* layer)
    {
        auto rect = std::make_unique<TVeskRect>(
            layers().FindLayer(QLatin1String(layer)), TVeskSurface(1, false, true, 4));
        rect->SetCorners({ 0, 0 }, { 10, 10 });
        return rect;
    }
    QString layerOf(int child)
    {
        return static_cast<TVeskInstance*>(root().ChildAt(child))->GetLayer()->Name();
    }

    QTemporaryDir dir;
    std::unique_ptr<TEditorContext> context;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TVeskForm> form;
};

TEST_F(ImportAndSwapTest, ImportAddsOneGroupOnTheChosenLayersAsOneStep)
{
    const QByteArray before = saved();
    QStringList shownRows;
    importFile(importFixture("board.pcb"), [&](TVeskImportForm& importer) {
        TValueListEditor& rows = importer.LayerList();
        for (int i = 0; i < rows.rowCount(); ++i)
            shownRows << rows.Key(i);
        rows.SetValue(0, QStringLiteral("component"));
        rows.SetValue(1, QStringLiteral("solder"));
        rows.SetValue(3, QStringLiteral("Dimension")); // not a layer: case counts
        importer.OKButtonClick();
    });
    ASSERT_EQ(dialogs->openOptions.size(), 1u);
    EXPECT_EQ(dialogs->openOptions[0].filter, QStringLiteral("VESK files|*.pcb|All files|*.*"));
    EXPECT_EQ(shownRows.size(), 5);
    ASSERT_EQ(root().ChildCount(), 1);
    auto* group = dynamic_cast<TVeskGroup*>(root().ChildAt(0));
    ASSERT_NE(group, nullptr);
    std::vector<TVeskObject*> all;
    group->CollectByLayer(all, layers().FindLayer(QStringLiteral("solder"))->index);
    EXPECT_FALSE(all.empty());
    all.clear();
    group->CollectByLayer(all, layers().FindLayer(QStringLiteral("dimension"))->index);
    EXPECT_TRUE(all.empty()) << "the outline layer was mapped to no layer";

    form->Menu().undoItem->trigger();
    EXPECT_EQ(saved(), before);
    form->Menu().redoItem->trigger();
    EXPECT_EQ(root().ChildCount(), 1);
}

TEST_F(ImportAndSwapTest, DestinationsAreKeptByRowAcrossImportsAndRuns)
{
    importFile(importFixture("board.pcb"), [](TVeskImportForm& importer) {
        importer.LayerList().SetValue(1, QStringLiteral("solder"));
        importer.LayerList().SetValue(2, QStringLiteral("place_cmp"));
        importer.reject();
    });
    EXPECT_EQ(root().ChildCount(), 0) << "cancelled";
    importFile(importFixture("board.pcb"), [](TVeskImportForm& importer) {
        importer.LayerList().SetValue(1, QStringLiteral("solder"));
        importer.OKButtonClick();
    });
    open(); // the settings file carries them to the next run
    QString row1;
    importFile(importFixture("unmapped_layer.pcb"), [&](TVeskImportForm& importer) {
        row1 = importer.LayerList().Value(1);
        importer.reject();
    });
    EXPECT_EQ(row1, QStringLiteral("solder"));
}

TEST_F(ImportAndSwapTest, AFileThatCannotBeReadIsReportedAndAddsNothing)
{
    for (const QString& path :
        { importFixture("missing.pcb"), importFixture("no_sections.pcb"), importFixture("empty.pcb") }) {
        SCOPED_TRACE(path.toStdString());
        dialogs->errors.clear();
        const int steps = context->History().Count();
        importFile(path, [](TVeskImportForm& importer) { importer.OKButtonClick(); });
        EXPECT_EQ(root().ChildCount(), 0);
        EXPECT_EQ(context->History().Count(), steps);
        ASSERT_EQ(dialogs->errors.size(), 1u);
        EXPECT_EQ(dialogs->errors[0].caption, QStringLiteral("インポートエラー"));
        EXPECT_FALSE(form->ImportForm().isVisible());
    }
}

TEST_F(ImportAndSwapTest, SwapExchangesTheLayersOfTheSelectedObjectsAsOneStep)
{
    context->Edit().Begin(QStringLiteral("draw"));
    root().Adopt(rectOn("solder"));
    root().Adopt(rectOn("component"));
    root().Adopt(rectOn("solder"));
    root().SetSelected(false);
    const QByteArray before = saved();
    root().ChildAt(0)->SetSelected(true);
    root().ChildAt(1)->SetSelected(true);
    context->Edit().Commit();

    TLayerSwapForm& swap = form->LayerSwapForm();
    swap.show();
    TValueListEditor& rows = swap.LayerList();
    ASSERT_EQ(rows.rowCount(), layers().LayerCount());
    for (int i = 0; i < rows.rowCount(); ++i) {
        if (rows.Key(i) == QStringLiteral("solder"))
            rows.SetValue(i, QStringLiteral("component"));
        if (rows.Key(i) == QStringLiteral("component"))
            rows.SetValue(i, QStringLiteral("solder"));
    }
    swap.OKButtonClick();
    EXPECT_FALSE(swap.isVisible());
    EXPECT_EQ(layerOf(0), QStringLiteral("component"));
    EXPECT_EQ(layerOf(1), QStringLiteral("solder"));
    EXPECT_EQ(layerOf(2), QStringLiteral("solder")) << "not selected";

    form->Menu().undoItem->trigger();
    root().SetSelected(false);
    EXPECT_EQ(saved(), before);

    // A choice stays with its layers, under their present names, as the
    // table changes around them; a new layer's row starts empty.
    layers().AddNamedLayer(0xFF00FF00, QStringLiteral("new"));
    layers().FindLayer(QStringLiteral("component"))->SetName(QStringLiteral("comp2"));
    swap.show();
    QStringList shown;
    for (int i = 0; i < rows.rowCount(); ++i)
        shown << rows.Key(i) + QLatin1Char('>') + rows.Value(i);
    EXPECT_EQ(shown.size(), layers().LayerCount());
    EXPECT_TRUE(shown.contains(QStringLiteral("solder>comp2"))) << shown.join(u' ').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("comp2>solder"))) << shown.join(u' ').toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("new>")));
    swap.reject();
}

TEST_F(ImportAndSwapTest, SwapRowsFollowARenameAndSayWhatMoved)
{
    context->Edit().Begin(QStringLiteral("draw"));
    root().Adopt(rectOn("component"))->SetSelected(true);
    context->Edit().Commit();
    // Renamed through the layer dialog, as a user would.
    layers().FindLayer(QStringLiteral("component"))->SetName(QStringLiteral("comp2"));

    TLayerSwapForm& swap = form->LayerSwapForm();
    const struct {
        const char* what;
        const char* from;
        const char* to;
        const char* layer; // of the rectangle after OK
        const char* said;
    } cases[] = {
        { "a row with nothing selected on it", "solder", "dimension", "comp2",
            "入れ替え先のあるレイヤーに選択中のオブジェクトはありません" },
        { "the renamed layer's row", "comp2", "solder", "solder", "1 個のオブジェクトを移しました" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        swap.show();
        TValueListEditor& rows = swap.LayerList();
        QStringList keys;
        for (int i = 0; i < rows.rowCount(); ++i) {
            keys << rows.Key(i);
            rows.SetValue(i, rows.Key(i) == QLatin1String(c.from) ? QLatin1String(c.to) : QString());
        }
        EXPECT_FALSE(keys.contains(QStringLiteral("component"))) << "the name from before the rename";
        const int steps = context->History().Count();
        swap.OKButtonClick();
        EXPECT_EQ(layerOf(0), QLatin1String(c.layer));
        EXPECT_EQ(
            context->History().Count(), steps + (QLatin1String(c.layer) == QLatin1String("comp2") ? 0 : 1));
        EXPECT_TRUE(form->statusBar()->currentMessage().contains(QString::fromUtf8(c.said)))
            << form->statusBar()->currentMessage().toStdString();
    }
}

TEST_F(ImportAndSwapTest, ImportRowsDefaultToLayersOfTheirNameAndARefusedFileKeepsTheChoices)
{
    QStringList shown;
    const auto showRows = [&](TVeskImportForm& importer) {
        shown.clear();
        for (int i = 0; i < importer.LayerList().rowCount(); ++i)
            shown << importer.LayerList().Key(i) + QLatin1Char('>') + importer.LayerList().Value(i);
    };
    importFile(importFixture("board.pcb"), [&](TVeskImportForm& importer) {
        showRows(importer);
        importer.LayerList().SetValue(3, QStringLiteral("dimension"));
        importer.OKButtonClick();
    });
    EXPECT_EQ(shown.mid(0, 2),
        QStringList({ QStringLiteral("component>component"), QStringLiteral("solder>solder") }));
    EXPECT_EQ(shown.mid(3), QStringList({ QStringLiteral("outline>"), QStringLiteral("drill>") }));
    EXPECT_EQ(root().ChildCount(), 1) << "the first OK imports the copper";

    // A text file is refused; the choices of real drawings stay.
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a drawing\n");
    }
    importFile(notes, [](TVeskImportForm& importer) { importer.reject(); });
    ASSERT_EQ(dialogs->errors.size(), 1u);
    importFile(importFixture("board.pcb"), [&](TVeskImportForm& importer) {
        showRows(importer);
        importer.reject();
    });
    EXPECT_EQ(shown.value(3), QStringLiteral("outline>dimension"));
}

TEST_F(ImportAndSwapTest, AnImportThatPlacesNothingAddsNothingAndSaysSo)
{
    importFile(importFixture("board.pcb"), [&](TVeskImportForm& importer) {
        for (int i = 0; i < importer.LayerList().rowCount(); ++i)
            importer.LayerList().SetValue(i, QString());
        importer.OKButtonClick();
    });
    EXPECT_EQ(root().ChildCount(), 0);
    EXPECT_FALSE(context->History().IsModified());
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QStringLiteral("インポート")));
}

TEST_F(ImportAndSwapTest, SwapWithNothingSelectedChangesNothing)
{
    root().Adopt(rectOn("solder"));
    root().SetSelected(false);
    const int steps = context->History().Count();
    TLayerSwapForm& swap = form->LayerSwapForm();
    swap.show();
    for (int i = 0; i < swap.LayerList().rowCount(); ++i)
        swap.LayerList().SetValue(i, QStringLiteral("component"));
    swap.OKButtonClick();
    EXPECT_EQ(layerOf(0), QStringLiteral("solder"));
    EXPECT_EQ(context->History().Count(), steps);
}

} // namespace
