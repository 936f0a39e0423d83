#include "Starterlibrary.h"

#include "Starterdrawing.h"
#include "Starterpads.h"
#include "Starterparts.h"

#include <QDir>
#include <QFileInfo>

namespace vesk {

namespace {

// Hidden, so that the editor's library tree never shows it.
const QString kStaging = QStringLiteral(".starter-new");
const QString kFolders[] = { QStringLiteral("pad"), QStringLiteral("lib") };

TStarterResult failure(const QString& why)
{
    return { false, why, 0 };
}

bool writeDrawing(const TStarterDrawing& drawing, const QString& fileName, TStarterResult& result)
{
    if (!QDir().mkpath(QFileInfo(fileName).path())) {
        result = failure(QStringLiteral("cannot create the folder %1").arg(QFileInfo(fileName).path()));
        return false;
    }
    const TDocumentResult written = drawing.Write(fileName);
    if (!written) {
        result = failure(written.error.English());
        return false;
    }
    ++result.files;
    return true;
}

TStarterResult writeSet(const QString& root)
{
    TStarterResult result;
    for (const TStarterPad& pad : StarterPads()) {
        TStarterDrawing drawing;
        drawing.AddPad(pad.pad, { 0, 0 });
        if (!writeDrawing(drawing, root + QStringLiteral("/pad/") + pad.fileName, result))
            return result;
    }
    for (const TStarterPart& part : StarterParts()) {
        TStarterDrawing drawing;
        part.draw(drawing);
        if (!writeDrawing(drawing, root + QStringLiteral("/lib/") + part.path, result))
            return result;
    }
    return result;
}

} // namespace

TStarterResult WriteStarterLibrary(const QString& folder)
{
    const QDir target(folder);
    if (!QDir().mkpath(folder))
        return failure(QStringLiteral("cannot create the folder %1").arg(folder));
    QDir staging(target.filePath(kStaging));
    if (staging.exists() && !staging.removeRecursively())
        return failure(QStringLiteral("cannot clear %1").arg(staging.path()));
    TStarterResult result = writeSet(staging.path());
    if (result.ok) {
        for (const QString& name : kFolders) {
            QDir old(target.filePath(name));
            if (old.exists() && !old.removeRecursively()) {
                result = failure(QStringLiteral("cannot replace %1").arg(old.path()));
                break;
            }
            if (!QDir().rename(staging.filePath(name), target.filePath(name))) {
                result
                    = failure(QStringLiteral("cannot move %1 into %2").arg(staging.filePath(name), folder));
                break;
            }
        }
    }
    staging.removeRecursively();
    return result;
}

} // namespace vesk
