// Cut, copy and paste on the real main window: the clipboard holds the
// selected objects' document records, and every change is one history step.
#include "FakeDialogs.h"
#include "WaitFor.h"
#include "app/Clipboardcommands.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "io/Objectrecords.h"
#include "io/Veskdocument.h"
#include "model/Veskhistory.h"
#include "model/Vesklayer.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <bit>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString board = dir.filePath(QStringLiteral("board.vbf"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VESK_TEST_DATA "/board.vbf"), board));
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        context->SetDialogs(std::make_unique<FakeDialogs>());
        form = std::make_unique<TVeskForm>(*context);
        form->StartUp(board);
        QGuiApplication::clipboard()->clear();
        ASSERT_GE(root().ChildCount(), 3);
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    TVeskPart& root() { return context->Document().Root(); }
    TMainMenu& menu() { return form->Menu(); }
    QByteArray clipboardRecords() const
    {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data ? data->data(TClipboardCommands::kMimeType) : QByteArray();
    }
    void putOnClipboard(const QByteArray& records)
    {
        auto* data = new QMimeData;
        data->setData(TClipboardCommands::kMimeType, records);
        QGuiApplication::clipboard()->setMimeData(data);
    }
    std::vector<TVeskObject*> select(std::initializer_list<int> children)
    {
        root().SetSelected(false);
        std::vector<TVeskObject*> chosen;
        for (int i : children) {
            root().ChildAt(i)->SetSelected(true);
            chosen.push_back(root().ChildAt(i));
        }
        return chosen;
    }
    QByteArray saved() { return context->Document().ToBytes(); }
    std::vector<bool> selection()
    {
        std::vector<bool> flags;
        for (const auto& child : root().Children())
            flags.push_back(child->IsSelected());
        return flags;
    }

    QTemporaryDir dir;
    std::unique_ptr<TEditorContext> context;
    std::unique_ptr<TVeskForm> form;
};

TEST_F(ClipboardTest, CopyAndPasteDuplicateTheSelectionAsTheOnlySelectedObjects)
{
    const int count = root().ChildCount();
    const std::vector<TVeskObject*> chosen = select({ 0, 2 });
    const QByteArray records = WriteObjectRecords(chosen);
    EXPECT_TRUE(menu().copyItem->isEnabled());
    menu().copyItem->trigger();
    EXPECT_EQ(clipboardRecords(), records);

    menu().pasteItem->trigger();
    ASSERT_EQ(root().ChildCount(), count + 2);
    std::vector<bool> expected(size_t(count), false);
    expected.insert(expected.end(), { true, true });
    EXPECT_EQ(selection(), expected);
    // The copies are the objects copied, in place, and selected as they were.
    std::vector<TVeskObject*> copies { root().ChildAt(count), root().ChildAt(count + 1) };
    EXPECT_EQ(WriteObjectRecords(copies), records);

    // One step: undo takes the paste back, redo brings it again.
    EXPECT_TRUE(context->History().IsModified());
    menu().undoItem->trigger();
    EXPECT_EQ(root().ChildCount(), count);
    menu().redoItem->trigger();
    EXPECT_EQ(root().ChildCount(), count + 2);
}

TEST_F(ClipboardTest, KeysCutCopyAndPaste)
{
    form->show();
    form->activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::activeWindow() == form.get(); }));
    QWindow* window = form->windowHandle();
    const int count = root().ChildCount();
    const std::vector<TVeskObject*> chosen = select({ 1 });
    const QByteArray records = WriteObjectRecords(chosen);
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardRecords(), records);
    QTest::keyClick(window, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(root().ChildCount(), count + 1);
    QTest::keyClick(window, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(root().ChildCount(), count);
}

TEST_F(ClipboardTest, CutIsOneStepThatUndoTakesBackAlone)
{
    // An earlier edit: the undo of the cut must not take it back too.
    context->Edit().Begin(QStringLiteral("rename"));
    root().SetName(QStringLiteral("edited"));
    context->Edit().Commit();
    const QByteArray before = saved();
    const int count = root().ChildCount();
    const std::vector<TVeskObject*> chosen = select({ 0 });
    const QByteArray records = WriteObjectRecords(chosen);
    const QByteArray selectedBefore = saved();

    menu().cutItem->trigger();
    EXPECT_EQ(clipboardRecords(), records);
    EXPECT_EQ(root().ChildCount(), count - 1);
    const QByteArray afterCut = saved();

    menu().undoItem->trigger();
    EXPECT_EQ(root().GetName(), QStringLiteral("edited"));
    EXPECT_EQ(root().ChildCount(), count);
    EXPECT_EQ(saved(), before) << "the state recorded before the cut, before the selection";
    menu().redoItem->trigger();
    EXPECT_EQ(saved(), afterCut);

    // Pasted back, the document holds the object again, selected.
    menu().pasteItem->trigger();
    EXPECT_EQ(root().ChildCount(), count);
    EXPECT_EQ(saved().size(), selectedBefore.size());
}

TEST_F(ClipboardTest, NothingSelectedCutsAndCopiesNothing)
{
    putOnClipboard(QByteArray("kept"));
    root().SetSelected(false);
    const QByteArray before = saved();
    const int steps = context->History().Count();
    menu().cutItem->trigger();
    menu().copyItem->trigger();
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(context->History().Count(), steps);
    EXPECT_EQ(clipboardRecords(), QByteArray("kept"));
}

TEST_F(ClipboardTest, CopyLeavesOtherProgramsFormatsOnTheClipboard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("a note"));
    select({ 0 });
    menu().copyItem->trigger();
    EXPECT_FALSE(clipboardRecords().isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a note"));
}

TEST_F(ClipboardTest, PasteAddsTheLayersTheDocumentLacks)
{
    TVeskDocument other;
    TVeskLayer* own = other.Layers().AddNamedLayer(0xFF112233, QStringLiteral("elsewhere"));
    TVeskRect rect(own, TVeskSurface(1, false, true, 4));
    rect.SetCorners({ 5, 5 }, { 50, 20 });
    TVeskObject* one[] = { &rect };
    putOnClipboard(WriteObjectRecords(one));

    const int layers = context->Document().Layers().LayerCount();
    menu().pasteItem->trigger();
    TVeskLayer* added = context->Document().Layers().FindLayer(QStringLiteral("elsewhere"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(context->Document().Layers().LayerCount(), layers + 1);
    EXPECT_EQ(context->Document().Layers().CurrentLayer(), added);
    EXPECT_TRUE(saved().contains("elsewhere"));
}

TEST_F(ClipboardTest, BrokenClipboardBytesPasteWhatFormsRecords)
{
    const int count = root().ChildCount();
    const QByteArray good = WriteObjectRecords(select({ 0, 1 }));
    const QByteArray first = WriteObjectRecords(std::vector<TVeskObject*> { root().ChildAt(0) });
    const struct {
        const char* what;
        QByteArray bytes;
        int pasted;
    } cases[] = {
        { "garbage", QByteArray("not a record at all"), 0 },
        { "cut short in the second record", good.left(first.size() + 10), 1 },
        { "empty", QByteArray(), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int steps = context->History().Count();
        putOnClipboard(c.bytes);
        menu().pasteItem->trigger();
        EXPECT_EQ(root().ChildCount(), count + c.pasted);
        EXPECT_EQ(context->History().Count(), steps + (c.pasted ? 1 : 0));
        if (c.pasted)
            menu().undoItem->trigger();
        ASSERT_EQ(root().ChildCount(), count);
    }
}

TEST_F(ClipboardTest, RecordsWithAbsurdValuesAreLeftOutAndTheStatusBarSaysHowMany)
{
    const int count = root().ChildCount();
    TVeskLayer* layer = context->Document().Layers().FindLayer(QStringLiteral("solder"));
    ASSERT_NE(layer, nullptr);
    TVeskRect fine(layer, TVeskSurface(1, false, true, 4));
    fine.SetCorners({ 0, 0 }, { 10, 10 });
    // A width of 3e38: drawn, it would paint the whole view.
    constexpr float kMarker = 1234.5f;
    TVeskRect wide(layer, TVeskSurface(kMarker, false, false, 4));
    wide.SetCorners({ 0, 0 }, { 10, 10 });
    TVeskObject* objects[] = { &fine, &wide, &wide, &fine };
    QByteArray records = WriteObjectRecords(objects);
    const auto bytesOf = [](float v) {
        const auto le = qToLittleEndian(std::bit_cast<std::uint32_t>(v));
        return QByteArray(reinterpret_cast<const char*>(&le), 4);
    };
    records.replace(bytesOf(kMarker), bytesOf(3e38f));
    putOnClipboard(records);

    form->statusBar()->clearMessage();
    menu().pasteItem->trigger();
    EXPECT_EQ(root().ChildCount(), count + 2);
    EXPECT_EQ(form->statusBar()->currentMessage(),
        QStringLiteral("貼り付け: 値が壊れているオブジェクト 2 個を読み飛ばしました。"));

    // A paste of sound records says nothing of the kind.
    form->statusBar()->clearMessage();
    putOnClipboard(WriteObjectRecords(std::vector<TVeskObject*> { &fine }));
    menu().pasteItem->trigger();
    EXPECT_EQ(root().ChildCount(), count + 3);
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
}

} // namespace
