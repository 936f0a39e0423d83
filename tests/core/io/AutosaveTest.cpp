// The recorded state of a document frozen for writing on another thread, the
// backup a save keeps, where recovery files go and the autosave that writes
// them.
#include "../model/EditTable.h"
#include "PermissionsBind.h"
#include "io/Veskautosave.h"
#include "io/Veskdocument.h"
#include "io/Veskdocumentfile.h"
#include "io/Vesksnapshot.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace vesk;

namespace {

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

void setModified(const QString& path, const QDateTime& when)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

class Snapshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::BuildEditFixture(doc);
        edit.Reset(100);
    }

    // What a file of the recorded state holds: the document as a deep copy
    // has it, without the editing state (selection) the live objects carry.
    QByteArray recordedBytes()
    {
        std::unique_ptr<TVeskPart> live = doc.TakeRoot();
        doc.SetRoot(live->ClonePart());
        for (const auto& child : doc.Root().Children())
            child->SetHandlesSelected(false);
        const QByteArray bytes = doc.ToBytes();
        doc.SetRoot(std::move(live));
        return bytes;
    }

    void addRect(const char* name)
    {
        edit.Begin(QStringLiteral("矩形"));
        TVeskRect rect(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface());
        rect.SetCorners({ 0, 0 }, { 10, 10 });
        rect.SetName(QLatin1String(name));
        doc.Root().Add(rect);
        ASSERT_TRUE(edit.Commit());
    }

    TVeskDocument doc;
    TVeskHistory history;
    TVeskEdit edit { doc, history };
};

// Every kind of edit (moves, points, styles, groups, layers, undo and
// redo) lands in the snapshot taken after it, and nothing done afterwards
// (more edits, renamed or dropped layers, a new document) reaches one
// taken before.
TEST_F(Snapshot, HoldsTheRecordedStateAfterEveryEditAndKeepsIt)
{
    struct Taken {
        const char* after;
        std::shared_ptr<const TVeskSnapshot> snapshot;
        QByteArray bytes;
    };
    std::vector<Taken> taken;
    const auto take = [&](const char* after) {
        std::shared_ptr<const TVeskSnapshot> snapshot = TVeskSnapshot::Take(edit);
        ASSERT_TRUE(snapshot) << after;
        const QByteArray expected = recordedBytes();
        EXPECT_EQ(snapshot->ToBytes(), expected) << after;
        taken.push_back({ after, snapshot, expected });
    };
    take("opening");
    for (const test::Edit& change : test::edits()) {
        edit.Begin(QString::fromUtf8(change.name));
        change.apply(test::find(doc));
        edit.Commit();
        take(change.name);
    }
    ASSERT_TRUE(edit.Undo());
    take("undo");
    ASSERT_TRUE(edit.Redo());
    take("redo");

    doc.Layers().LayerAt(0)->SetName(QStringLiteral("renamed"));
    doc.Layers().ClearLayers();
    doc.Reset();
    for (const Taken& t : taken)
        EXPECT_EQ(t.snapshot->ToBytes(), t.bytes) << "taken after " << t.after;
}

TEST_F(Snapshot, NoneWhileAStepIsOpenAndTheSameStateIsKnown)
{
    const auto before = TVeskSnapshot::Take(edit);
    ASSERT_TRUE(before);
    EXPECT_TRUE(TVeskSnapshot::Take(edit)->SameState(*before));

    edit.Begin(QStringLiteral("移動"));
    test::find(doc).rect->SetSelected(true);
    test::find(doc).rect->Translate(5, 5, MatrixOrder::Append);
    EXPECT_FALSE(TVeskSnapshot::Take(edit)) << "the half-done step is not a recorded state";
    edit.Commit();
    const auto after = TVeskSnapshot::Take(edit);
    ASSERT_TRUE(after);
    EXPECT_FALSE(after->SameState(*before));

    doc.Layers().LayerAt(2)->SetName(QStringLiteral("other"));
    EXPECT_FALSE(TVeskSnapshot::Take(edit)->SameState(*after)) << "a renamed layer is another state";
}

TEST_F(Snapshot, WritesAFileThatReadsBackAsTheDocument)
{
    addRect("added");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state.vbf"));
    ASSERT_TRUE(TVeskSnapshot::Take(edit)->Write(path));
    EXPECT_EQ(readAll(path), recordedBytes());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary left behind";
}

// ------------------------------------------------------------ backups

struct BackupCase {
    const char* name;
    bool keepBackup;
    int saves; // of versions 0, 1, ... in turn
    int backupVersion; // the version the .bak holds, -1 for none
};

class Backup : public ::testing::TestWithParam<BackupCase> {
protected:
    // Version n: the empty document with n rectangles.
    static void makeVersion(TVeskDocument& doc, int n)
    {
        doc.Reset();
        for (int i = 0; i < n; ++i) {
            TVeskRect rect(doc.Layers().FindLayer(QStringLiteral("solder")), TVeskSurface());
            rect.SetCorners({ float(i), 0 }, { float(i + 5), 5 });
            doc.Root().Add(rect);
        }
    }
    static QByteArray version(int n)
    {
        TVeskDocument doc;
        makeVersion(doc, n);
        return doc.ToBytes();
    }
};

TEST_P(Backup, KeepsThePreviousVersionBesideTheFile)
{
    const BackupCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("board.vbf"));
    TVeskDocument doc;
    for (int v = 0; v < c.saves; ++v) {
        makeVersion(doc, v);
        ASSERT_TRUE(WriteDocument(doc, path, c.keepBackup));
    }
    EXPECT_EQ(readAll(path), version(c.saves - 1));
    EXPECT_EQ(BackupPath(path), dir.filePath(QStringLiteral("board.vbf.bak")));
    if (c.backupVersion < 0)
        EXPECT_FALSE(QFileInfo::exists(BackupPath(path)));
    else
        EXPECT_EQ(readAll(BackupPath(path)), version(c.backupVersion));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), c.backupVersion < 0 ? 1 : 2)
        << "nothing else left behind";
}

INSTANTIATE_TEST_SUITE_P(Saves, Backup,
    ::testing::Values(BackupCase { "FirstSaveHasNothingToKeep", true, 1, -1 },
        BackupCase { "SecondSaveKeepsTheFirst", true, 2, 0 },
        BackupCase { "ThirdSaveKeepsTheSecond", true, 3, 1 },
        BackupCase { "SwitchedOffKeepsNone", false, 3, -1 }),
    [](const auto& info) { return std::string(info.param.name); });

// A save that fails, at the start (a folder that cannot be written) or
// half-way (no room), changes neither the file nor its backup, and says why.
TEST(BackupFailure, LeavesTheFileAndTheBackupAsTheyWere)
{
    enum Failure { ReadOnlyFolder, NoRoom };
    for (const Failure failure : { ReadOnlyFolder, NoRoom }) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("board.vbf"));
        TVeskDocument doc;
        ASSERT_TRUE(WriteDocument(doc, path, true));
        ASSERT_TRUE(doc.Read(QStringLiteral(VESK_TEST_DATA "/board.vbf")));
        ASSERT_TRUE(WriteDocument(doc, path, true));
        const QByteArray file = readAll(path);
        const QByteArray backup = readAll(BackupPath(path));
        ASSERT_FALSE(backup.isEmpty());
        doc.Root().SetName(QStringLiteral("changed"));

        TDocumentResult result;
        if (failure == ReadOnlyFolder) {
            ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            test::PermissionsBind bind;
            result = WriteDocument(doc, path, true);
        } else {
            rlimit old {};
            ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
            const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
            rlimit small = old;
            small.rlim_cur = 300;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
            result = WriteDocument(doc, path, true);
            setrlimit(RLIMIT_FSIZE, &old);
            signal(SIGXFSZ, oldHandler);
        }
        QFile::setPermissions(
            dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(result.ok) << failure;
        EXPECT_FALSE(result.error.IsEmpty()) << failure;
        EXPECT_EQ(readAll(path), file) << failure;
        EXPECT_EQ(readAll(BackupPath(path)), backup) << failure;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << failure;
    }
}

// ------------------------------------------------------------ recovery files

TEST(RecoveryFiles, NamedBesideTheDocumentOrInTheDataFolder)
{
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("data"));
    const QString board = dir.filePath(QStringLiteral("a/board.vbf"));
    const QString other = dir.filePath(QStringLiteral("b/board.vbf"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("a"))));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("b"))));

    EXPECT_EQ(recovery::BesideDocument(board), dir.filePath(QStringLiteral("a/.board.vbf.autosave")));
    const QString inFolder = recovery::InFolder(board, data);
    EXPECT_TRUE(inFolder.startsWith(data + QLatin1Char('/'))) << inFolder.toStdString();
    EXPECT_TRUE(QFileInfo(inFolder).fileName().startsWith(QStringLiteral("board-")));
    EXPECT_TRUE(inFolder.endsWith(QStringLiteral(".vbf.autosave")));
    EXPECT_EQ(recovery::InFolder(board, data), inFolder) << "the same name every time";
    EXPECT_NE(recovery::InFolder(other, data), inFolder) << "documents of one name kept apart";
}

// Only a recovery file newer than its document is offered, the newest of
// the one beside it and the one in the data folder.
TEST(RecoveryFiles, FoundWhenNewerThanTheDocument)
{
    QTemporaryDir dir;
    const QString data = dir.path();
    const QString board = dir.filePath(QStringLiteral("board.vbf"));
    const QString beside = recovery::BesideDocument(board);
    const QString inFolder = recovery::InFolder(board, data);
    const QDateTime t0 = QDateTime::currentDateTimeUtc().addSecs(-100);
    struct Case {
        const char* name;
        int document; // seconds after t0 of each file, -1 for no file
        int beside;
        int inFolder;
        int found; // 0 none, 1 beside, 2 in the folder
    };
    const Case cases[] = {
        { "no recovery file", 10, -1, -1, 0 },
        { "older than the document", 10, 5, -1, 0 },
        { "newer beside", 10, 20, -1, 1 },
        { "newer in the folder", 10, -1, 20, 2 },
        { "the newer of two", 10, 20, 30, 2 },
        { "document gone", -1, 20, -1, 1 },
    };
    for (const Case& c : cases) {
        for (const QString& p : { board, beside, inFolder })
            QFile::remove(p);
        const auto make = [&](const QString& path, int at) {
            if (at < 0)
                return;
            ASSERT_TRUE(writeAll(path, "x"));
            setModified(path, t0.addSecs(at));
        };
        make(board, c.document);
        make(beside, c.beside);
        make(inFolder, c.inFolder);
        const QString expected = c.found == 1 ? beside : c.found == 2 ? inFolder : QString();
        EXPECT_EQ(recovery::FindFor(board, data), expected) << c.name;
    }
}

TEST(RecoveryFiles, UntitledOnesListedNewestFirst)
{
    QTemporaryDir dir;
    EXPECT_TRUE(recovery::Untitled(dir.path()).isEmpty());
    const QString first = recovery::NewUntitled(dir.path());
    ASSERT_TRUE(writeAll(first, "x"));
    const QString second = recovery::NewUntitled(dir.path());
    ASSERT_NE(second, first);
    ASSERT_TRUE(writeAll(second, "x"));
    setModified(first, QDateTime::currentDateTimeUtc().addSecs(-60));
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral(".board.vbf.autosave")), "x"));
    EXPECT_EQ(recovery::Untitled(dir.path()), QStringList({ second, first }));
}

// ------------------------------------------------------------ autosave

class Autosave : public Snapshot {
protected:
    void SetUp() override
    {
        Snapshot::SetUp();
        ASSERT_TRUE(dir.isValid());
        data = dir.filePath(QStringLiteral("data"));
    }
    QTemporaryDir dir;
    QString data;
};

TEST_F(Autosave, WritesEachNewStateOnceAndDiscardRemovesIt)
{
    const QString board = dir.filePath(QStringLiteral("board.vbf"));
    TVeskAutosave autosave(edit, data);
    autosave.SetDocumentPath(board);
    EXPECT_FALSE(autosave.Start()) << "nothing unsaved";

    addRect("first");
    ASSERT_TRUE(autosave.Start());
    autosave.Wait();
    const QString recovery = recovery::BesideDocument(board);
    EXPECT_EQ(autosave.WrittenPath(), recovery);
    EXPECT_EQ(readAll(recovery), recordedBytes());
    EXPECT_FALSE(autosave.Start()) << "the same state again";

    edit.Begin(QStringLiteral("移動"));
    test::find(doc).rect->SetSelected(true);
    test::find(doc).rect->Translate(1, 1, MatrixOrder::Append);
    EXPECT_FALSE(autosave.Start()) << "a step under way";
    edit.Commit();
    ASSERT_TRUE(autosave.Start());
    autosave.Wait();
    EXPECT_EQ(readAll(recovery), recordedBytes());

    autosave.Discard();
    EXPECT_FALSE(QFileInfo::exists(recovery));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(Autosave, ADocumentInAReadOnlyFolderAutosavesIntoTheDataFolder)
{
    const QString folder = dir.filePath(QStringLiteral("readonly"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString board = folder + QStringLiteral("/board.vbf");
    ASSERT_TRUE(doc.Write(board));
    addRect("added");
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        test::PermissionsBind bind;
        TVeskAutosave autosave(edit, data);
        autosave.SetDocumentPath(board);
        ASSERT_TRUE(autosave.Start());
        autosave.Wait();
        EXPECT_EQ(autosave.WrittenPath(), recovery::InFolder(board, data));
    }
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(readAll(recovery::InFolder(board, data)), recordedBytes());
    EXPECT_FALSE(QFileInfo::exists(recovery::BesideDocument(board)));
    EXPECT_EQ(recovery::FindFor(board, data), recovery::InFolder(board, data));
}

TEST_F(Autosave, ADrawingNeverSavedGetsItsOwnFileInTheDataFolder)
{
    TVeskAutosave autosave(edit, data);
    addRect("added");
    ASSERT_TRUE(autosave.Start());
    autosave.Wait();
    const QStringList untitled = recovery::Untitled(data);
    ASSERT_EQ(untitled.size(), 1);
    EXPECT_EQ(untitled.first(), autosave.WrittenPath());
    EXPECT_EQ(readAll(untitled.first()), recordedBytes());

    // Once given up, the next drawing does not write over a recovery file left for later.
    autosave.Discard();
    ASSERT_TRUE(writeAll(untitled.first(), "left for later"));
    addRect("next");
    ASSERT_TRUE(autosave.Start());
    autosave.Wait();
    EXPECT_EQ(recovery::Untitled(data).size(), 2);
    EXPECT_EQ(readAll(untitled.first()), QByteArray("left for later"));
}

} // namespace
