// Autosave and recovery with the real main window: an editor in a process
// of its own draws, autosaves and is killed with SIGKILL; the next start
// asks whether to restore, and gives back the drawing byte for byte as it
// was autosaved (at the view's scale, as any document opened), or removes
// the file, and a clean save removes it too. A
// loop of kills at random moments while a large board is being autosaved
// must always leave a complete recovery file. The editor in its own
// process is this test binary, started again to run the disabled test
// AutosaveChild.DISABLED_Editor with what to do in its environment.
#include "FakeDialogs.h"
#include "PermissionsBind.h"
#include "WaitFor.h"
#include "app/Autosaveform.h"
#include "app/Drawingview.h"
#include "app/Editorcontext.h"
#include "app/Mainform.h"
#include "app/Mainmenu.h"
#include "app/Toolstrip.h"
#include "io/Veskautosave.h"
#include "io/Veskdocument.h"
#include "io/Veskdocumentfile.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace vesk;

namespace {

const char* const kRunVariable = "VESK_AUTOSAVE_CHILD";
const char* const kDocumentVariable = "VESK_AUTOSAVE_DOCUMENT";
const char* const kModeVariable = "VESK_AUTOSAVE_MODE";
const QString kQuestion = QStringLiteral("自動保存されたデータがあります。復元しますか?");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void writeSettings(const QString& ini, const char* minutes)
{
    ASSERT_TRUE(writeAll(ini, QByteArray("[AutoSave]\nMinutes=") + minutes + "\nBackup=1\n"));
}

// The document's bytes at zoom 1: a document read into the window, as one
// opened, takes the view's scale, which the file also stores.
QByteArray atZoom1(const QByteArray& bytes)
{
    TVeskDocument doc;
    doc.ReadBytes(bytes);
    doc.Root().SetViewScale(1.0);
    return doc.ToBytes();
}

void setModified(const QString& path, const QDateTime& when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

void settle(TVeskForm& form)
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    form.RunIdle();
}

QPoint pixelOf(TVeskForm& form, PointF p)
{
    const PointF q = form.View().DocumentToPixel(p);
    return { int(std::lround(q.X)), int(std::lround(q.Y)) };
}

void mouse(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(
        type, QPointF(at), target.mapToGlobal(QPointF(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

// A rectangle drawn with the rectangle tool, as the mouse would.
void drawRectangle(TVeskForm& form, PointF from, PointF to)
{
    constexpr int kRectangleTool = 5;
    form.ToolStrip().ToolButtons()[kRectangleTool]->click();
    settle(form);
    QWidget& area = form.DrawingArea();
    mouse(area, QEvent::MouseButtonPress, pixelOf(form, from), Qt::LeftButton);
    mouse(
        area, QEvent::MouseMove, pixelOf(form, { (from.X + to.X) / 2, (from.Y + to.Y) / 2 }), Qt::LeftButton);
    mouse(area, QEvent::MouseMove, pixelOf(form, to), Qt::LeftButton);
    mouse(area, QEvent::MouseButtonRelease, pixelOf(form, to), Qt::NoButton);
    settle(form);
}

// ------------------------------------------------------------ the editor killed

// The editor of the child process: opens the document it is given (none
// for a new drawing), then either draws one rectangle with the tool
// ("draw") or adds a rectangle every few milliseconds ("edits"), and tells
// the parent each autosave it finished, until it is killed (or a minute
// passes).
TEST(AutosaveChild, DISABLED_Editor)
{
    const QString folder = qEnvironmentVariable(kRunVariable);
    if (folder.isEmpty())
        GTEST_SKIP() << "run by AutosaveRun";
    TEditorContext context(folder + QStringLiteral("/VeskV.ini"));
    context.SetRecoveryFolder(folder + QStringLiteral("/data"));
    context.SetDialogs(std::make_unique<FakeDialogs>());
    TVeskForm form(context);
    QObject::connect(
        &form.Autosave(), &TVeskAutosave::written, [](const QString& path, const TDocumentResult& r) {
            std::printf("autosaved %d %s\n", int(r.ok), qPrintable(path));
            std::fflush(stdout);
        });
    form.StartUp(qEnvironmentVariable(kDocumentVariable));
    form.show();
    settle(form);
    QTimer edits;
    int added = 0;
    if (qEnvironmentVariable(kModeVariable) == QLatin1String("draw")) {
        form.View().Reset();
        drawRectangle(form, { 10, 10 }, { 60, 40 });
    } else {
        QObject::connect(&edits, &QTimer::timeout, [&] {
            context.Command(QStringLiteral("矩形"), [&] {
                TVeskRect rect(
                    context.Document().Layers().FindLayer(QStringLiteral("solder")), TVeskSurface());
                rect.SetCorners({ float(added), 0 }, { float(added + 3), 3 });
                rect.SetName(QString::number(++added));
                context.Document().Root().Add(rect);
            });
        });
        edits.start(10);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(60000, qApp, [] { QApplication::exit(0); });
    QApplication::exec();
}

class AutosaveRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ini = dir.filePath(QStringLiteral("VeskV.ini"));
        data = dir.filePath(QStringLiteral("data"));
    }

    // Starts the editor in its own process and kills it with SIGKILL once
    // it has autosaved `autosaves` times, and `thenMs` later.
    void runAndKill(const QString& document, const char* mode, int autosaves, int thenMs)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kRunVariable), dir.path());
        env.insert(QString::fromLatin1(kDocumentVariable), document);
        env.insert(QString::fromLatin1(kModeVariable), QString::fromLatin1(mode));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--gtest_also_run_disabled_tests"),
                QStringLiteral("--gtest_filter=AutosaveChild.DISABLED_Editor") });
        ASSERT_TRUE(child.waitForStarted());
        QByteArray out;
        const QDeadlineTimer deadline(60000);
        while (out.count("autosaved 1 ") < autosaves && !deadline.hasExpired()
            && child.state() == QProcess::Running) {
            child.waitForReadyRead(100);
            out += child.readAllStandardOutput();
        }
        ASSERT_GE(out.count("autosaved 1 "), autosaves) << out.toStdString();
        if (thenMs > 0)
            child.waitForFinished(thenMs); // the child goes on meanwhile
        ASSERT_EQ(::kill(pid_t(child.processId()), SIGKILL), 0);
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }

    // A window over the settings, as the program starts, with its own
    // answers or the real dialogs when `dialogs` is null.
    std::unique_ptr<TVeskForm> start(std::unique_ptr<FakeDialogs> dialogs, const QString& document)
    {
        context = std::make_unique<TEditorContext>(ini);
        context->SetRecoveryFolder(data);
        if (dialogs)
            context->SetDialogs(std::move(dialogs));
        auto form = std::make_unique<TVeskForm>(*context);
        form->StartUp(document);
        return form;
    }

    QTemporaryDir dir;
    QString ini;
    QString data;
    std::unique_ptr<TEditorContext> context;
};

struct KillCase {
    const char* name;
    bool titled;
};

class AutosaveKill : public AutosaveRun, public ::testing::WithParamInterface<KillCase> { };

TEST_P(AutosaveKill, RestoreGivesTheAutosavedDrawingDiscardRemovesItASaveRemovesIt)
{
    const KillCase& c = GetParam();
    writeSettings(ini, "0.005");
    const QByteArray original = readAll(QStringLiteral(VESK_TEST_DATA "/board.vbf"));
    const QString board = c.titled ? dir.filePath(QStringLiteral("board.vbf")) : QString();
    if (c.titled) {
        ASSERT_TRUE(writeAll(board, original));
        setModified(board, QDateTime::currentDateTimeUtc().addSecs(-60));
    }
    runAndKill(board, "draw", 1, 0);

    const QStringList untitled = recovery::Untitled(data);
    const QString recoveryFile = c.titled ? recovery::BesideDocument(board) : untitled.value(0);
    ASSERT_TRUE(QFileInfo(recoveryFile).isFile()) << recoveryFile.toStdString();
    if (c.titled)
        EXPECT_EQ(recoveryFile, dir.filePath(QStringLiteral(".board.vbf.autosave")));
    else
        EXPECT_EQ(untitled.size(), 1);
    const QByteArray autosaved = readAll(recoveryFile);
    TVeskDocument recorded;
    recorded.ReadBytes(autosaved);
    ASSERT_EQ(recorded.Root().Children().size(), (c.titled ? 4u : 0u) + 1u) << "the drawn rectangle";
    if (c.titled)
        EXPECT_EQ(readAll(board), original) << "the document itself untouched";
    writeSettings(ini, "0");

    // The real question, answered with its 復元 button.
    QString asked;
    QStringList buttons;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        asked = box->text();
        for (QAbstractButton* b : box->buttons())
            buttons.append(b->text());
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("復元"))
                b->click();
    });
    answer.start(20);
    std::unique_ptr<TVeskForm> form = start(nullptr, board);
    answer.stop();
    EXPECT_EQ(asked, kQuestion);
    buttons.sort();
    QStringList expected { QStringLiteral("復元"), QStringLiteral("破棄"), QStringLiteral("後で") };
    expected.sort();
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(form->FileName(), board);
    EXPECT_TRUE(context->History().IsModified()) << "restored work is unsaved work";
    EXPECT_EQ(atZoom1(context->Document().ToBytes()), atZoom1(autosaved));
    form.reset();
    EXPECT_TRUE(QFileInfo::exists(recoveryFile)) << "kept until the work is saved";

    // 後で leaves it, 破棄 removes it.
    auto later = std::make_unique<FakeDialogs>();
    later->recoveryAnswers = { TRecoveryAnswer::Later };
    form = start(std::move(later), board);
    EXPECT_FALSE(context->History().IsModified());
    EXPECT_TRUE(QFileInfo::exists(recoveryFile));
    form.reset();
    auto discard = std::make_unique<FakeDialogs>();
    discard->recoveryAnswers = { TRecoveryAnswer::Discard };
    form = start(std::move(discard), board);
    EXPECT_FALSE(QFileInfo::exists(recoveryFile));
    EXPECT_FALSE(context->History().IsModified());
    EXPECT_EQ(context->Document().Root().Children().size(), c.titled ? 4u : 0u);
    form.reset();

    // Restored and saved: the file holds the autosaved bytes, the recovery file is gone.
    ASSERT_TRUE(writeAll(recoveryFile, autosaved));
    auto restore = std::make_unique<FakeDialogs>();
    restore->recoveryAnswers = { TRecoveryAnswer::Restore };
    const QString savedAs = dir.filePath(QStringLiteral("saved.vbf"));
    restore->saveName = savedAs;
    FakeDialogs* dialogs = restore.get();
    form = start(std::move(restore), board);
    ASSERT_EQ(dialogs->recoveryQuestions.size(), 1u);
    form->OverWriteMenuClick();
    EXPECT_TRUE(dialogs->errors.empty());
    EXPECT_FALSE(QFileInfo::exists(recoveryFile));
    EXPECT_FALSE(context->History().IsModified());
    const QString saved = c.titled ? board : savedAs;
    EXPECT_EQ(atZoom1(readAll(saved)), atZoom1(autosaved));
    if (c.titled)
        EXPECT_EQ(readAll(BackupPath(board)), original) << "the version the save replaced";
    form.reset();
}

INSTANTIATE_TEST_SUITE_P(Documents, AutosaveKill,
    ::testing::Values(KillCase { "Saved", true }, KillCase { "NeverSaved", false }),
    [](const auto& info) { return std::string(info.param.name); });

// Killed at random moments while the recovery file of a large board is
// being written over and over: what is there is always a complete state.
TEST_F(AutosaveRun, AKillDuringAnAutosaveLeavesTheLastCompleteFile)
{
    constexpr int kObjects = 100000;
    constexpr int kKills = 3;
    writeSettings(ini, "0.0005");
    const QString board = dir.filePath(QStringLiteral("large.vbf"));
    {
        TVeskDocument doc;
        TVeskLayer* solder = doc.Layers().FindLayer(QStringLiteral("solder"));
        for (int i = 0; i < kObjects; ++i) {
            TVeskRect rect(solder, TVeskSurface(2, false, true, 4));
            const float x = float(i % 400) * 5, y = float(i / 400) * 5;
            rect.SetCorners({ x, y }, { x + 3, y + 2 });
            doc.Root().Adopt(rect.Clone());
        }
        ASSERT_TRUE(doc.Write(board));
        setModified(board, QDateTime::currentDateTimeUtc().addSecs(-60));
    }
    const QString recoveryFile = recovery::BesideDocument(board);
    QRandomGenerator random(7);
    for (int kill = 0; kill < kKills; ++kill) {
        runAndKill(board, "edits", 1, int(random.bounded(400)));
        const QByteArray bytes = readAll(recoveryFile);
        TVeskDocument recovered;
        recovered.ReadBytes(bytes);
        EXPECT_GT(int(recovered.Root().Children().size()), kObjects) << "kill " << kill;
        EXPECT_EQ(recovered.SkippedRecords(), 0) << "kill " << kill;
        // A file cut short reads as the records it completed, and writes
        // back shorter (reading gives every object the root's view scale,
        // so the bytes themselves may differ there).
        EXPECT_EQ(recovered.ToBytes().size(), bytes.size()) << "kill " << kill << ": a file cut short";
    }
}

// The settings dialog: what it shows and writes, and the window follows.
TEST_F(AutosaveRun, SettingsDialogWritesTheAutoSaveSection)
{
    auto form = start(std::make_unique<FakeDialogs>(), QString());
    EXPECT_EQ(form->Menu().autoSaveItem->text(), QStringLiteral("自動保存"));
    EXPECT_EQ(form->Autosave().Interval(), 1.0) << "default";
    TAutoSaveForm& dialog = form->AutoSaveForm();
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(dialog.MinutesBox()->value(), 1.0);
        EXPECT_TRUE(dialog.BackupBox()->isChecked());
        dialog.MinutesBox()->setValue(5);
        dialog.BackupBox()->setChecked(false);
        dialog.OKButton()->click();
    });
    form->AutoSaveMenuClick();
    EXPECT_EQ(form->Autosave().Interval(), 5.0);
    const QString text = QString::fromLatin1(readAll(ini));
    EXPECT_TRUE(text.contains(QStringLiteral("[AutoSave]"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Minutes=5"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Backup=0"))) << text.toStdString();

    // Backups off: a second save keeps no .bak.
    const QString path = dir.filePath(QStringLiteral("plain.vbf"));
    ASSERT_TRUE(form->WriteDocument(path));
    ASSERT_TRUE(form->WriteDocument(path));
    EXPECT_FALSE(QFileInfo::exists(BackupPath(path)));
}

// Saving into a folder that cannot be written: the user is told, the
// work stays unsaved, and neither the file nor its backup changes.
TEST_F(AutosaveRun, ASaveIntoAFolderThatCannotBeWrittenSaysSoAndTouchesNothing)
{
    writeSettings(ini, "0");
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString board = folder + QStringLiteral("/board.vbf");
    ASSERT_TRUE(writeAll(board, readAll(QStringLiteral(VESK_TEST_DATA "/board.vbf"))));
    auto fake = std::make_unique<FakeDialogs>();
    FakeDialogs* dialogs = fake.get();
    auto form = start(std::move(fake), board);
    form->OverWriteMenuClick();
    const QByteArray file = readAll(board);
    const QByteArray backup = readAll(BackupPath(board));
    ASSERT_FALSE(backup.isEmpty());
    context->Command(QStringLiteral("矩形"), [&] {
        TVeskRect rect(context->Document().Layers().FindLayer(QStringLiteral("solder")), TVeskSurface());
        rect.SetCorners({ 0, 0 }, { 10, 10 });
        context->Document().Root().Add(rect);
    });
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        test::PermissionsBind bind;
        form->OverWriteMenuClick();
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(dialogs->errors.size(), 1u);
    EXPECT_EQ(dialogs->errors[0].caption, QStringLiteral("ファイル保存エラー"));
    EXPECT_TRUE(context->History().IsModified());
    EXPECT_EQ(readAll(board), file);
    EXPECT_EQ(readAll(BackupPath(board)), backup);
}

} // namespace
