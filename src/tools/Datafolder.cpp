#include "Datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vesk {

namespace {
const QString kShareName = QStringLiteral("vesk2");
}

QStringList DataFolderCandidates(const QString& name)
{
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList candidates { program.filePath(name),
        QDir::cleanPath(program.filePath(QStringLiteral("../share/") + kShareName + u'/' + name)) };
    // The user's own folder of the program, then the shared data folders.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!own.isEmpty())
        candidates << QDir(own).filePath(name);
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << QDir(data).filePath(kShareName + u'/' + name);
    return candidates;
}

QString FindDataFolder(const QString& name)
{
    const QStringList candidates = DataFolderCandidates(name);
    for (const QString& folder : candidates)
        if (QFileInfo(folder).isDir())
            return folder;
    return candidates.first();
}

} // namespace vesk
