#pragma once

#include "Veskdocument.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <future>
#include <memory>

namespace vesk {

class TVeskEdit;
class TVeskSnapshot;

// Where the recovery files of documents go. A document's goes beside it
// (".board.vbf.autosave" for "board.vbf") when its folder can be written
// (found by writing there), else, like that of a drawing never saved, into
// the recovery folder (the user's data folder), under a name that tells
// documents of the same name apart.
namespace recovery {
// The user's data folder for recovery files (XDG: ~/.local/share/Vesk2.0/autosave).
QString DefaultFolder();
// ".board.vbf.autosave" beside "board.vbf".
QString BesideDocument(const QString& documentPath);
// "board-1a2b3c4d.vbf.autosave" in the folder, after the document's absolute path.
QString InFolder(const QString& documentPath, const QString& folder);
// A recovery file of the document newer than the document itself: the
// newest of the one beside it and the one in the folder; empty when none.
QString FindFor(const QString& documentPath, const QString& folder);
// The recovery files of drawings never saved, newest first.
QStringList Untitled(const QString& folder);
// A new name for the recovery file of a drawing never saved.
QString NewUntitled(const QString& folder);
} // namespace recovery

// Writes the document's recorded state to its recovery file every few
// minutes while it has unsaved changes: the state is taken on the calling
// thread (pointers to the history's recorded copies, a few milliseconds on
// the largest board) and written on a worker thread, atomically, so that the
// file is always either the previous complete state or the new one. A
// state already written is not written again. The owner says where the
// document lives (SetDocumentPath) and removes the file once the work is
// saved or given up (Discard).
class TVeskAutosave : public QObject {
    Q_OBJECT
public:
    TVeskAutosave(TVeskEdit& edit, QString folder, QObject* parent = nullptr);
    ~TVeskAutosave() override;

    // Minutes between autosaves; 0 (or less) turns them off. Fractions count.
    void SetInterval(double minutes);
    double Interval() const { return minutes_; }
    // The document's file, empty for a drawing never saved. A recovery file
    // written for another path is left alone: the owner decides its fate.
    void SetDocumentPath(const QString& path);
    const QString& Folder() const { return folder_; }
    // The last file written, or empty; up to date once no write is running.
    const QString& WrittenPath() const { return writtenPath_; }

    // Takes the recorded state and starts writing it. False, doing nothing,
    // when the document is unmodified, a step is open, a write is running or
    // the state was written already.
    bool Start();
    bool Writing() const;
    // Blocks until the running write, if any, is done.
    void Wait();
    // Waits for the running write and removes the recovery file written
    // (or adopted); a drawing never saved gets a new name for its next one.
    void Discard();
    // Takes over a recovery file the document was restored from: a drawing
    // never saved autosaves there from now on, and Discard removes it.
    void Adopt(const QString& path);

Q_SIGNALS:
    // A write ended, well or with the reason it failed.
    void written(const QString& path, const TDocumentResult& result);

private:
    void tick();
    void finished(const QString& path, const TDocumentResult& result);
    // Takes the outcome of the write that ended, if not taken yet.
    void collect();

    TVeskEdit& edit_;
    QString folder_;
    QString documentPath_;
    QString untitledPath_;
    QString writtenPath_;
    double minutes_ = 0;
    QTimer timer_;
    // Soon again, while a step under way holds the autosave back.
    QTimer retry_;
    // The file the running write ends up in, empty when it fails.
    std::future<QString> running_;
    std::shared_ptr<const TVeskSnapshot> lastStarted_;
};

} // namespace vesk
