#include "BenchBoard.h"

#include "BoardGenerator.h"
#include "io/Veskdocument.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace vesk {

namespace {

// The named file, or empty (with a warning) when it cannot be the board.
QString namedBoard()
{
    const QString name = qEnvironmentVariable("VESK_BENCH_BOARD");
    if (name.isEmpty())
        return {};
    const QFileInfo info(name);
    if (!name.endsWith(QLatin1String(".vbf"), Qt::CaseInsensitive) || !info.isFile() || !info.isReadable()) {
        std::fprintf(stderr, "VESK_BENCH_BOARD: %s is not a readable .vbf; using the generated board\n",
            qPrintable(name));
        return {};
    }
    return name;
}

const QString& boardFile()
{
    static const QString file = namedBoard();
    return file;
}

QByteArray readBoard(const QString& file)
{
    TVeskDocument probe;
    const TDocumentResult read = probe.Read(file);
    QFile in(file);
    if (!read || !in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "VESK_BENCH_BOARD: %s: %s\n", qPrintable(file),
            qPrintable(read ? in.errorString() : read.error.English()));
        std::exit(1);
    }
    return in.readAll();
}

QByteArray generateBoard()
{
    TVeskDocument doc;
    GenerateBoard(doc, BenchBoardObjects());
    return doc.ToBytes();
}

int objectsAsked()
{
    const QString asked = qEnvironmentVariable("VESK_BENCH_OBJECTS");
    if (asked.isEmpty())
        return kBenchBoardObjects;
    bool ok = false;
    const int count = asked.toInt(&ok);
    if (ok && count >= 1000 && count <= 10000000)
        return count;
    std::fprintf(stderr, "VESK_BENCH_OBJECTS: %s is not a count from 1000 to 10000000; using %d\n",
        qPrintable(asked), kBenchBoardObjects);
    return kBenchBoardObjects;
}

} // namespace

int BenchBoardObjects()
{
    static const int count = objectsAsked();
    return count;
}

const QByteArray& BenchBoardBytes()
{
    static const QByteArray bytes = boardFile().isEmpty() ? generateBoard() : readBoard(boardFile());
    return bytes;
}

void LoadBenchBoard(TVeskDocument& doc)
{
    doc.ReadBytes(BenchBoardBytes());
}

QString BenchBoardSource()
{
    return boardFile().isEmpty() ? QStringLiteral("generated, %1 objects").arg(BenchBoardObjects())
                                 : boardFile();
}

} // namespace vesk
