#include "Veskautosave.h"

#include "Vesksnapshot.h"
#include "model/Veskedit.h"
#include "model/Veskhistory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <limits>
#include <utility>

namespace vesk {

namespace {
const QString kSuffix = QStringLiteral(".autosave");
// While a step is open the recorded state is not the document's; ask again soon.
constexpr int kRetryMs = 2000;

QDateTime modified(const QString& path)
{
    return QFileInfo(path).lastModified().toUTC();
}
} // namespace

namespace recovery {

QString DefaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Vesk2.0/autosave"));
}

QString BesideDocument(const QString& documentPath)
{
    const QFileInfo info(documentPath);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + kSuffix);
}

QString InFolder(const QString& documentPath, const QString& folder)
{
    const QFileInfo info(documentPath);
    const QByteArray digest
        = QCryptographicHash::hash(QFile::encodeName(info.absoluteFilePath()), QCryptographicHash::Md5);
    QString name = info.completeBaseName() + QLatin1Char('-') + QString::fromLatin1(digest.left(4).toHex());
    if (!info.suffix().isEmpty())
        name += QLatin1Char('.') + info.suffix();
    return QDir(folder).filePath(name + kSuffix);
}

QString FindFor(const QString& documentPath, const QString& folder)
{
    const QFileInfo document(documentPath);
    QString found;
    QDateTime newest = document.exists() ? document.lastModified().toUTC() : QDateTime();
    for (const QString& candidate : { BesideDocument(documentPath), InFolder(documentPath, folder) }) {
        if (!QFileInfo(candidate).isFile())
            continue;
        const QDateTime when = modified(candidate);
        if (!newest.isValid() || when > newest) {
            newest = when;
            found = candidate;
        }
    }
    return found;
}

QStringList Untitled(const QString& folder)
{
    const QDir dir(folder);
    QStringList paths;
    for (const QString& name :
        dir.entryList({ QStringLiteral("untitled-*.vbf") + kSuffix }, QDir::Files, QDir::Time))
        paths.append(dir.filePath(name));
    return paths;
}

QString NewUntitled(const QString& folder)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    QString path = QDir(folder).filePath(QStringLiteral("untitled-%1.vbf").arg(stamp) + kSuffix);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(QStringLiteral("untitled-%1-%2.vbf").arg(stamp).arg(n) + kSuffix);
    return path;
}

} // namespace recovery

TVeskAutosave::TVeskAutosave(TVeskEdit& edit, QString folder, QObject* parent)
    : QObject(parent)
    , edit_(edit)
    , folder_(std::move(folder))
{
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, [this] { tick(); });
}

TVeskAutosave::~TVeskAutosave()
{
    Wait();
}

void TVeskAutosave::SetInterval(double minutes)
{
    minutes_ = minutes > 0 ? minutes : 0;
    if (minutes_ <= 0) {
        timer_.stop();
        retry_.stop();
        return;
    }
    timer_.start(int(std::clamp(minutes_ * 60000, 1.0, double(std::numeric_limits<int>::max()))));
}

void TVeskAutosave::SetDocumentPath(const QString& path)
{
    if (path == documentPath_)
        return;
    documentPath_ = path;
    lastStarted_.reset();
}

bool TVeskAutosave::Writing() const
{
    return running_.valid() && running_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

void TVeskAutosave::collect()
{
    if (!running_.valid())
        return;
    const QString path = running_.get();
    if (!path.isEmpty())
        writtenPath_ = path;
}

void TVeskAutosave::Wait()
{
    collect();
}

bool TVeskAutosave::Start()
{
    if (!edit_.History().IsModified() || Writing())
        return false;
    collect();
    std::shared_ptr<const TVeskSnapshot> snapshot = TVeskSnapshot::Take(edit_);
    if (!snapshot || (lastStarted_ && lastStarted_->SameState(*snapshot)))
        return false;
    // Beside the document, else in the folder; a drawing never saved keeps
    // one name in the folder for the whole session.
    QString beside;
    QString inFolder;
    if (documentPath_.isEmpty()) {
        if (untitledPath_.isEmpty())
            untitledPath_ = recovery::NewUntitled(folder_);
        inFolder = untitledPath_;
    } else {
        beside = recovery::BesideDocument(documentPath_);
        inFolder = recovery::InFolder(documentPath_, folder_);
    }
    // Letting go of a state means releasing a reference to each of its
    // objects; the worker does that for the state written before, and for
    // its own copy of this one.
    std::shared_ptr<const TVeskSnapshot> previous = std::exchange(lastStarted_, snapshot);
    running_ = std::async(std::launch::async, [this, snapshot, previous, beside, inFolder]() mutable {
        previous.reset();
        QString path = beside;
        TDocumentResult result { false, {} };
        if (!beside.isEmpty())
            result = snapshot->Write(beside);
        if (!result) {
            path = inFolder;
            QDir().mkpath(folder_);
            result = snapshot->Write(inFolder);
        }
        snapshot.reset();
        // Queued to this object's thread; dropped if the object is gone,
        // which waits for this write before it goes.
        QMetaObject::invokeMethod(
            this, [this, path, result] { finished(path, result); }, Qt::QueuedConnection);
        return result ? path : QString();
    });
    return true;
}

void TVeskAutosave::finished(const QString& path, const TDocumentResult& result)
{
    collect();
    if (!result)
        lastStarted_.reset(); // tried again at the next tick
    Q_EMIT written(path, result);
}

void TVeskAutosave::Discard()
{
    collect();
    if (!writtenPath_.isEmpty())
        QFile::remove(writtenPath_);
    writtenPath_.clear();
    untitledPath_.clear();
    lastStarted_.reset();
}

void TVeskAutosave::Adopt(const QString& path)
{
    if (documentPath_.isEmpty())
        untitledPath_ = path;
    writtenPath_ = path;
}

void TVeskAutosave::tick()
{
    if (edit_.History().IsModified() && !Start() && edit_.IsOpen())
        retry_.start();
}

} // namespace vesk
