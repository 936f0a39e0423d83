#include "app/Mainform.h"

#include "FakeDialogs.h"
#include "Veskeventproc.h"
#include "Vesktoolbar.h"
#include "Veskview.h"
#include "WaitFor.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Layerswapform.h"
#include "app/Layerwindow.h"
#include "app/Libraryform.h"
#include "app/Mainmenu.h"
#include "app/Objecteditor.h"
#include "app/Settingsfile.h"
#include "app/Veskimportform.h"
#include "app/Workareaform.h"
#include "io/Veskdocument.h"
#include "model/Veskedit.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskgroup.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString fixturePath(const char* name)
{
    return QStringLiteral(VESK_TEST_DATA "/") + QLatin1String(name);
}

const QString kOpenErrorCaption = QStringLiteral("ファイルオープンエラー");
const QString kOpenErrorText = QStringLiteral("ごめんなさい。このファイルは開けないみたいです。");
const QString kSavePrompt = QStringLiteral("ファイルの変更を保存しますか?");
const QString kUntitled = QStringLiteral("Vesk-2.0");

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        board = dir.filePath(QStringLiteral("board.vbf"));
        ASSERT_TRUE(QFile::copy(fixturePath("board.vbf"), board));
        context = std::make_unique<TEditorContext>(dir.filePath(QStringLiteral("VeskV.ini")));
        auto fake = std::make_unique<FakeDialogs>();
        dialogs = fake.get();
        context->SetDialogs(std::move(fake));
        form = std::make_unique<TVeskForm>(*context);
    }

    void TearDown() override
    {
        form.reset();
        context.reset();
    }

    int childCount() const { return context->Document().Root().ChildCount(); }
    bool modified() const { return context->History().IsModified(); }
    void makeModified() { context->History().SetModified(true); }
    QString temp(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    QString board;
    std::unique_ptr<TEditorContext> context;
    FakeDialogs* dialogs = nullptr;
    std::unique_ptr<TVeskForm> form;
};

// ---- the save prompt of New, Open and Close ----------------------------

enum class Command { New, Open, Close };

struct PromptCase {
    const char* name;
    bool modified;
    // The document's file: "board" (a good one), "" (none), "unwritable".
    const char* file;
    TSaveAnswer answer;
    // What the save dialog returns: "" (cancelled), "new.vbf", or "missing/x.vbf".
    const char* saveAs;
    bool proceeds;
    // The file that must hold the document afterwards, if any.
    const char* written;
    bool error;
};

const PromptCase kPromptCases[] = {
    { "unmodified asks nothing", false, "board", TSaveAnswer::Cancel, "", true, nullptr, false },
    { "cancel keeps everything", true, "board", TSaveAnswer::Cancel, "", false, nullptr, false },
    { "no discards the changes", true, "board", TSaveAnswer::No, "", true, nullptr, false },
    { "yes saves to the document's file", true, "board", TSaveAnswer::Yes, "", true, "board.vbf", false },
    { "yes without a name asks for one", true, "", TSaveAnswer::Yes, "new.vbf", true, "new.vbf", false },
    { "yes, then cancelling the save dialog, cancels", true, "", TSaveAnswer::Yes, "", false, nullptr,
        false },
    { "yes with a failing save cancels", true, "unwritable", TSaveAnswer::Yes, "", false, nullptr, true },
    { "yes, then a name that cannot be written, cancels", true, "", TSaveAnswer::Yes, "missing/x.vbf", false,
        nullptr, true },
};

class SavePromptTest : public MainFormTest,
                       public ::testing::WithParamInterface<std::tuple<Command, PromptCase>> { };

TEST_P(SavePromptTest, UnsavedWorkIsLostOnlyWhenTheUserSaysSo)
{
    const auto [command, c] = GetParam();
    form->StartUp(board);
    ASSERT_GT(childCount(), 0);
    const QString file = QLatin1String(c.file) == QLatin1String("board") ? board
        : QLatin1String(c.file) == QLatin1String("unwritable")           ? temp("missing/board.vbf")
                                                                         : QString();
    form->SetFileName(file);
    // Something to tell a saved document from the fixture it came from.
    context->Document().Root().SetName(QStringLiteral("edited"));
    const QByteArray edited = context->Document().ToBytes();
    if (c.modified)
        makeModified();
    dialogs->answers = { c.answer };
    dialogs->saveName = *c.saveAs ? temp(c.saveAs) : QString();
    dialogs->openName.clear(); // an open that goes ahead stops at its own dialog

    bool proceeded = false;
    switch (command) {
    case Command::New:
        form->NewMenuClick();
        proceeded = childCount() == 0;
        break;
    case Command::Open:
        form->OpenMenuClick();
        proceeded = dialogs->openOptions.size() == 1;
        break;
    case Command::Close:
        proceeded = form->close();
        break;
    }

    EXPECT_EQ(proceeded, c.proceeds);
    EXPECT_EQ(dialogs->questions.size(), c.modified ? 1u : 0u);
    if (!dialogs->questions.empty()) {
        EXPECT_EQ(dialogs->questions[0].text, kSavePrompt);
    }
    EXPECT_EQ(dialogs->errors.size(), c.error ? 1u : 0u);
    if (c.written) {
        EXPECT_EQ(readBytes(temp(c.written)), edited);
    } else {
        EXPECT_EQ(readBytes(board), readBytes(fixturePath("board.vbf")));
    }
    if (!c.proceeds) {
        EXPECT_TRUE(modified());
        EXPECT_GT(childCount(), 0);
        EXPECT_EQ(form->FileName(), file);
    }
}

std::string promptCaseName(const ::testing::TestParamInfo<std::tuple<Command, PromptCase>>& info)
{
    static const char* const commands[] = { "New", "Open", "Close" };
    QString name = QLatin1String(commands[int(std::get<0>(info.param))]) + u'_'
        + QString::fromUtf8(std::get<1>(info.param).name);
    for (QChar& ch : name)
        if (!ch.isLetterOrNumber())
            ch = u'_';
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Commands, SavePromptTest,
    ::testing::Combine(
        ::testing::Values(Command::New, Command::Open, Command::Close), ::testing::ValuesIn(kPromptCases)),
    promptCaseName);

// ---- save and save as ---------------------------------------------------

TEST_F(MainFormTest, SaveReportsAFailureAndKeepsTheDocumentModifiedAndItsName)
{
    form->StartUp(board);
    makeModified();

    form->SetFileName(temp("missing/board.vbf"));
    form->OverWriteMenuClick();
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_EQ(dialogs->errors[0].caption, QStringLiteral("ファイル保存エラー"));
    EXPECT_TRUE(dialogs->errors[0].text.contains(QStringLiteral("missing")));
    EXPECT_TRUE(modified());
    EXPECT_EQ(form->FileName(), temp("missing/board.vbf"));

    dialogs->saveName = temp("missing/other.vbf");
    form->SaveAsNameMenuClick();
    EXPECT_EQ(dialogs->errors.size(), 2u);
    EXPECT_TRUE(modified());
    EXPECT_EQ(form->FileName(), temp("missing/board.vbf"));
    EXPECT_EQ(form->windowTitle(), QLatin1Char('*') + temp("missing/board.vbf")) << "still unsaved";
}

TEST_F(MainFormTest, TheTitleMarksUnsavedChanges)
{
    form->StartUp(board);
    EXPECT_EQ(form->windowTitle(), board);
    context->Edit().Begin(QStringLiteral("rect"));
    TVeskRect rect(context->Document().Layers().CurrentLayer(), TVeskSurface(1, false, true, 4));
    rect.SetCorners({ 0, 0 }, { 10, 10 });
    context->Document().Root().Add(rect);
    context->Edit().Commit();
    EXPECT_EQ(form->windowTitle(), QLatin1Char('*') + board);

    dialogs->saveName = temp("saved.vbf");
    form->SaveAsNameMenuClick();
    EXPECT_EQ(form->windowTitle(), temp("saved.vbf"));
    form->Menu().undoItem->trigger();
    EXPECT_EQ(form->windowTitle(), QLatin1Char('*') + temp("saved.vbf"));
    dialogs->answers = { TSaveAnswer::No };
    form->NewMenuClick();
    EXPECT_EQ(form->windowTitle(), kUntitled);
}

TEST_F(MainFormTest, ADocumentThatWouldNotReadBackIsRefusedInJapanese)
{
    form->StartUp(QString());
    // One level deeper than a file can hold.
    auto chain = std::make_unique<TVeskGroup>();
    for (int i = 0; i < TVeskContainer::kMaxNesting; ++i) {
        auto outer = std::make_unique<TVeskGroup>();
        outer->Adopt(std::move(chain));
        chain = std::move(outer);
    }
    context->Document().Root().Adopt(std::move(chain));
    dialogs->saveName = temp("deep.vbf");
    form->SaveAsNameMenuClick();
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_TRUE(dialogs->errors[0].text.contains(QStringLiteral("グループの入れ子が 256 段より深く")))
        << dialogs->errors[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(temp("deep.vbf")));
}

TEST_F(MainFormTest, ShowingTheSelectionFillsTheDrawingWithIt)
{
    form->StartUp(QString());
    form->show();
    QApplication::processEvents();
    context->Edit().Begin(QStringLiteral("rect"));
    TVeskRect far(context->Document().Layers().CurrentLayer(), TVeskSurface(1, false, true, 4));
    far.SetCorners({ 2000, 1000 }, { 2200, 1100 });
    far.SetSelected(false);
    TVeskObject* placed = context->Document().Root().Add(far);
    context->Edit().Commit();

    // Nothing selected: the view stays and the status bar says why.
    const double zoom = form->View().Zoom();
    form->Menu().fitSelectionItem->trigger();
    EXPECT_EQ(form->View().Zoom(), zoom);
    EXPECT_FALSE(form->statusBar()->currentMessage().isEmpty());

    placed->SetSelected(true);
    form->Menu().fitSelectionItem->trigger();
    const PointF centre = form->View().DocumentToPixel({ 2100, 1050 });
    const QSize area = form->DrawingArea().size();
    EXPECT_NEAR(centre.X, area.width() / 2.0, 2);
    EXPECT_NEAR(centre.Y, area.height() / 2.0, 2);
    const PointF left = form->View().DocumentToPixel({ 2000, 1050 });
    EXPECT_NEAR(centre.X - left.X, area.width() * 0.45, area.width() * 0.05)
        << "the rectangle's width fills the drawing";
    EXPECT_EQ(form->Menu().fitSelectionItem->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Home));
}

TEST_F(MainFormTest, SaveWithoutANameAsksForOneAndTakesIt)
{
    form->StartUp(QString());
    makeModified();
    dialogs->saveName.clear();
    form->OverWriteMenuClick();
    EXPECT_TRUE(modified());
    EXPECT_EQ(form->FileName(), QString());
    EXPECT_EQ(form->windowTitle(), QLatin1Char('*') + kUntitled);

    dialogs->saveName = temp("named.vbf");
    form->OverWriteMenuClick();
    EXPECT_FALSE(modified());
    EXPECT_EQ(form->FileName(), temp("named.vbf"));
    EXPECT_EQ(form->windowTitle(), temp("named.vbf"));
    EXPECT_EQ(readBytes(temp("named.vbf")), readBytes(fixturePath("empty.vbf")));
    ASSERT_EQ(dialogs->saveOptions.size(), 2u);
    EXPECT_EQ(dialogs->saveOptions[1].filter,
        QStringLiteral("Vesk2.0 files|*.vbf|Gerber files|*.gbr|All files|*.*"));
    EXPECT_EQ(dialogs->saveOptions[1].defaultExtension, QStringLiteral("vbf"));
    EXPECT_EQ(dialogs->saveOptions[1].filterIndex, 1);

    // A named document saves without a dialog.
    makeModified();
    form->OverWriteMenuClick();
    EXPECT_EQ(dialogs->saveOptions.size(), 2u);
    EXPECT_FALSE(modified());
}

// ---- open ---------------------------------------------------------------

TEST_F(MainFormTest, OpeningFilesOfEveryKind)
{
    const QByteArray boardBytes = readBytes(fixturePath("board.vbf"));
    const qsizetype rootAt = boardBytes.indexOf("PART");
    ASSERT_GT(rootAt, 16);
    const struct {
        const char* name;
        QByteArray bytes; // null: no file at all
        bool error;
        bool named;
        int layers;
        bool children;
    } cases[] = {
        { "a whole document", boardBytes, false, true, 10, true },
        { "no file", QByteArray(), true, false, 9, false },
        { "shorter than a header", QByteArray("Vesk2"), true, false, 9, false },
        { "header and layers but no root record", boardBytes.left(rootAt), false, false, 10, false },
        { "a root record cut short", boardBytes.left(rootAt + 60), false, true, 10, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = temp("case.vbf");
        QFile::remove(path);
        if (!c.bytes.isNull()) {
            ASSERT_TRUE(writeBytes(path, c.bytes));
        }
        dialogs->errors.clear();
        dialogs->openName = path;
        form->OpenMenuClick();

        ASSERT_EQ(dialogs->errors.size(), c.error ? 1u : 0u);
        if (c.error) {
            EXPECT_EQ(dialogs->errors[0].caption, kOpenErrorCaption);
            EXPECT_EQ(dialogs->errors[0].text, kOpenErrorText);
        }
        EXPECT_EQ(form->FileName(), c.named ? path : QString());
        EXPECT_EQ(form->windowTitle(), c.named ? path : kUntitled);
        EXPECT_EQ(context->Document().Layers().LayerCount(), c.layers);
        EXPECT_EQ(childCount() > 0, c.children);
        EXPECT_FALSE(modified());
        EXPECT_EQ(form->ToolBar().CurrentTool(), form->ToolBar().Tool(0));
        EXPECT_TRUE(form->ToolBar().CurrentTool()->IsActive());
    }
    ASSERT_FALSE(dialogs->openOptions.empty());
    EXPECT_EQ(dialogs->openOptions[0].filter, QStringLiteral("Vesk2.0 files|*.vbf|All files|*.*"));
}

TEST_F(MainFormTest, StartUpOpensTheFirstArgumentOrReportsIt)
{
    form->StartUp(board);
    EXPECT_TRUE(dialogs->errors.empty());
    EXPECT_EQ(form->windowTitle(), board);
    EXPECT_GT(childCount(), 0);
    EXPECT_EQ(context->History().Depth(), 30);
    EXPECT_FALSE(modified());

    auto context2 = std::make_unique<TEditorContext>(temp("VeskV.ini"));
    auto fake = std::make_unique<FakeDialogs>();
    FakeDialogs* dialogs2 = fake.get();
    context2->SetDialogs(std::move(fake));
    auto form2 = std::make_unique<TVeskForm>(*context2);
    form2->StartUp(temp("no such file.vbf"));
    ASSERT_EQ(dialogs2->errors.size(), 1u);
    EXPECT_EQ(dialogs2->errors[0].text, kOpenErrorText);
    EXPECT_EQ(form2->windowTitle(), kUntitled);
    EXPECT_EQ(context2->Document().Root().ChildCount(), 0);
    EXPECT_EQ(context2->Document().Layers().LayerCount(), 9);
    EXPECT_NE(form2->ToolBar().CurrentTool(), nullptr);
}

// ---- menus, status bar, settings ------------------------------------------

QAction* findItem(QMenuBar* bar, const QString& path)
{
    const QStringList parts = path.split(u'/');
    QList<QAction*> actions = bar->actions();
    QAction* found = nullptr;
    for (const QString& part : parts) {
        found = nullptr;
        for (QAction* a : actions)
            if (a->text() == part)
                found = a;
        if (!found)
            return nullptr;
        actions = found->menu() ? found->menu()->actions() : QList<QAction*>();
    }
    return found;
}

// A document opened from a file is shown whole once the window shows; Home
// brings the whole document back after scrolling away.
TEST_F(MainFormTest, OpenedDocumentsShowWholeAndHomeFitsAgain)
{
    form->resize(900, 640);
    form->StartUp(board);
    EXPECT_DOUBLE_EQ(form->View().Zoom(), 1.0); // not shown yet: no final size
    form->show();
    ASSERT_TRUE(test::WaitFor([&] { return form->View().Zoom() != 1.0; }));

    RectF bounds;
    ASSERT_TRUE(context->Document().Root().DrawnBounds(bounds));
    const auto expectWhole = [&](const char* when) {
        const TVeskView& view = form->View();
        const PointF middle = view.PixelToDocument(PointF { view.Width() / 2.0f, view.Height() / 2.0f });
        EXPECT_NEAR(middle.X, bounds.X + bounds.Width / 2, 0.5) << when;
        EXPECT_NEAR(middle.Y, bounds.Y + bounds.Height / 2, 0.5) << when;
        const PointF topLeft = view.DocumentToPixel({ bounds.X, bounds.Y });
        const PointF bottomRight = view.DocumentToPixel({ bounds.GetRight(), bounds.GetBottom() });
        EXPECT_TRUE(topLeft.X >= 0 && topLeft.Y >= 0 && bottomRight.X <= view.Width()
            && bottomRight.Y <= view.Height())
            << when;
        // Filled: one side reaches within the margin of the window's side.
        EXPECT_TRUE(bottomRight.X - topLeft.X > 0.85 * view.Width()
            || bottomRight.Y - topLeft.Y > 0.85 * view.Height())
            << when;
    };
    expectWhole("after start-up");

    form->View().Scroll(400, -300);
    form->View().ZoomBy(4);
    findItem(form->menuBar(), QStringLiteral("編集/全体表示"))->trigger();
    expectWhole("after Home");
}

TEST_F(MainFormTest, MenusCarryTheirCaptionsShortcutsAndStates)
{
    const struct {
        const char* path;
        const char* shortcut;
        bool enabledAfterStartUp;
    } items[] = {
        { "ファイル/新規作成", "Ctrl+N", true },
        { "ファイル/開く", "Ctrl+O", true },
        { "ファイル/上書き保存", "Ctrl+S", true },
        { "ファイル/名前を付けて保存", "", true },
        { "ファイル/インポート", "", true },
        { "ファイル/インポート/VESKファイル", "", true },
        { "ファイル/エクスポート", "", true },
        { "ファイル/エクスポート/ガーバファイル", "", true },
        { "ファイル/印刷", "Ctrl+P", true },
        { "ファイル/閉じる", "", true },
        { "編集", "", true },
        { "編集/取り消し", "Ctrl+Z", true },
        { "編集/やり直し", "Ctrl+Y", true },
        { "編集/全体表示", "Home", true },
        { "編集/切り取り", "Ctrl+X", true },
        { "編集/コピー", "Ctrl+C", true },
        { "編集/貼り付け", "Ctrl+V", true },
        { "オブジェクト", "", true },
        { "オブジェクト/レイヤーの入れ替え", "", true },
        { "設定", "", true },
        { "設定/グリッドを表示する", "", true },
        { "設定/グリッドにスナップする", "", true },
        { "設定/図面の設定", "", true },
        { "ウインドウ/ツール", "", true },
        { "ウインドウ/レイヤー", "", true },
        { "ウインドウ/描画スタイル", "", true },
        { "ヘルプ/バージョン情報", "", true },
    };
    const QList<QAction*> documentMenus = form->Menu().DocumentMenus();
    for (const auto& item : items) {
        SCOPED_TRACE(item.path);
        QAction* action = findItem(form->menuBar(), QString::fromUtf8(item.path));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText), QLatin1String(item.shortcut));
        if (documentMenus.contains(action)) {
            EXPECT_FALSE(action->isEnabled()); // no document yet
        }
    }
    form->StartUp(QString());
    for (const auto& item : items) {
        SCOPED_TRACE(item.path);
        EXPECT_EQ(
            findItem(form->menuBar(), QString::fromUtf8(item.path))->isEnabled(), item.enabledAfterStartUp);
    }
}

TEST_F(MainFormTest, GridItemsToggleTheSwitchesTheToolsRead)
{
    form->StartUp(QString());
    ASSERT_TRUE(context->Grid().showGrid);
    ASSERT_TRUE(context->Grid().snap);
    form->ShowGridMenuClick();
    form->SnapMenuClick();
    EXPECT_FALSE(context->Grid().showGrid);
    EXPECT_FALSE(context->Grid().snap);
    EXPECT_FALSE(form->Menu().showGridItem->isChecked());
    EXPECT_TRUE(form->ToolBar().CurrentTool()->RenderPending());
    form->Menu().snapItem->trigger();
    EXPECT_TRUE(context->Grid().snap);
    EXPECT_TRUE(form->Menu().snapItem->isChecked());
}

TEST_F(MainFormTest, UndoAndRedoItemsReachTheActiveTool)
{
    form->StartUp(board);
    context->Edit().Begin(QStringLiteral("rename"));
    context->Document().Root().SetName(QStringLiteral("edited"));
    context->Edit().Commit();
    form->Menu().undoItem->trigger();
    EXPECT_EQ(context->Document().Root().GetName(), QStringLiteral("Part"));
    form->Menu().redoItem->trigger();
    EXPECT_EQ(context->Document().Root().GetName(), QStringLiteral("edited"));
    // The tool works on the document the window now holds.
    EXPECT_EQ(form->ToolBar().CurrentTool()->Root(), &context->Document().Root());
}

TEST_F(MainFormTest, KeysReachTheToolUnlessTypedIntoATextField)
{
    form->StartUp(QString());
    const TVeskEventProc* tool = form->ToolBar().CurrentTool();
    auto send = [](QWidget& target, QEvent::Type type, int key, bool repeat = false) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(&target, &event);
    };
    QLineEdit field;
    send(field, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(tool->TopMode(), tool->Modes().front());

    send(form->DrawingArea(), QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(tool->TopMode(), int(ModePan));
    // A held key repeats its press; the releases in between are not real.
    send(form->DrawingArea(), QEvent::KeyRelease, Qt::Key_Space, true);
    send(form->DrawingArea(), QEvent::KeyPress, Qt::Key_Space, true);
    EXPECT_EQ(tool->TopMode(), int(ModePan));
    send(form->DrawingArea(), QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_TRUE(test::WaitFor([&] { return tool->TopMode() == tool->Modes().front(); }));
    EXPECT_EQ(tool->KeyState().keys, 0u);
}

TEST_F(MainFormTest, StatusBarShowsMillimetresAbsoluteAndRelative)
{
    form->StartUp(QString());
    const struct {
        PointF reference;
        PointF pointer;
        const char* absolute;
        const char* relative;
    } cases[] = {
        // On the 1.27 mm grid: hundredths of a millimetre.
        { { 0, 0 }, { 100, -50 }, "X 10.00 mm  Y -5.00 mm", "X= 10.00 mm  Y= -5.00 mm" },
        { { 30, 20 }, { 100, -50 }, "X 10.00 mm  Y -5.00 mm", "X= 7.00 mm  Y= -7.00 mm" },
        { { 0, 0 }, { 123456, 0.5f }, "X 12345.60 mm  Y 0.05 mm", "X= 12345.60 mm  Y= 0.05 mm" },
        { { 0, 0 }, { 304.79999f, 0 }, "X 30.48 mm  Y 0.00 mm", "X= 30.48 mm  Y= 0.00 mm" },
    };
    for (const auto& c : cases) {
        form->SetReferencePoint(c.reference);
        EXPECT_EQ(form->StatusText(1), QStringLiteral("X= 0.00 mm  Y= 0.00 mm"));
        form->ShowPosition(c.pointer);
        EXPECT_EQ(form->StatusText(0), QLatin1String(c.absolute));
        EXPECT_EQ(form->StatusText(1), QLatin1String(c.relative));
        EXPECT_EQ(form->StatusText(2), QStringLiteral("1.27mm")) << "the grid pitch stays";
    }
}

TEST_F(MainFormTest, AFirstStartPutsThePanelsBesideTheMainWindowAndDialogsCentreOnIt)
{
    // The fixture's window read an empty file.
    form->show();
    const QRect screen = form->screen()->availableGeometry();
    const QRect main = form->frameGeometry();
    EXPECT_TRUE(screen.contains(main));
    for (QWidget* panel : std::initializer_list<QWidget*> { &form->ObjectEditor(), &form->LayerWindow() }) {
        SCOPED_TRACE(panel->metaObject()->className());
        EXPECT_FALSE(panel->windowFlags() & Qt::WindowStaysOnTopHint)
            << "dialogs must be able to come above it";
        const QRect placed(panel->pos(), panel->size());
        EXPECT_FALSE(placed.intersects(main)) << "never over the menus or the drawing";
        EXPECT_GE(placed.left(), main.right());
        EXPECT_TRUE(screen.contains(placed.topLeft()));
    }
    EXPECT_FALSE(QRect(form->ObjectEditor().pos(), form->ObjectEditor().size())
                     .intersects(QRect(form->LayerWindow().pos(), form->LayerWindow().size())));

    for (QDialog* dialog : std::initializer_list<QDialog*> {
             &form->LayerSwapForm(), &form->ImportForm(), &form->LibraryForm(), &form->WorkAreaForm() }) {
        SCOPED_TRACE(dialog->metaObject()->className());
        dialog->show();
        QApplication::processEvents();
        const QPoint offset = dialog->frameGeometry().center() - form->frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 40) << offset.x() << "," << offset.y();
        dialog->hide();
    }
}

TEST_F(MainFormTest, MainWindowSettingsKeepTheNormalSizeWhenClosedMaximised)
{
    form.reset();
    const QString ini = temp("VeskV.ini");
    ASSERT_TRUE(writeBytes(ini,
        "[Hand]\nNote=kept\n[MainWindow]\nTop=40\nLeft=30\nWindowState=0\nWidth=640\nHeight=480\nExtra=1\n"));

    form = std::make_unique<TVeskForm>(*context);
    EXPECT_EQ(form->pos(), QPoint(30, 40));
    EXPECT_EQ(form->size(), QSize(640, 480));
    form->setWindowState(Qt::WindowMaximized);
    form.reset();

    const TSettingsFile file(ini);
    const QString section = QStringLiteral("MainWindow");
    EXPECT_EQ(file.ReadInteger(section, QStringLiteral("WindowState"), -1), 2);
    EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Width"), -1), 640);
    EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Height"), -1), 480);
    EXPECT_EQ(file.ReadInteger(section, QStringLiteral("Extra"), -1), 1);
    EXPECT_EQ(
        file.ReadString(QStringLiteral("Hand"), QStringLiteral("Note"), QString()), QStringLiteral("kept"));
    // The work-area dialog wrote its own section on the way out.
    EXPECT_EQ(file.ReadInteger(QStringLiteral("WorkArea"), QStringLiteral("AreaWidth"), -1), 1000);

    // A maximised window comes back maximised, at the normal size it had.
    form = std::make_unique<TVeskForm>(*context);
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
}

TEST_F(MainFormTest, StartUpTakesTheGridPitchFromTheSettings)
{
    form.reset();
    ASSERT_TRUE(writeBytes(temp("VeskV.ini"), "[StatusTab]\nDefaultGrid=2.54\n"));
    form = std::make_unique<TVeskForm>(*context);
    form->StartUp(QString());
    EXPECT_DOUBLE_EQ(context->Grid().pitch, 25.4);
}

} // namespace
