#pragma once

// What the command-line tests share: running vesk-cli and other programs,
// the Gerber fixture board, and gerbv, a Gerber reader nobody here wrote,
// drawing a file into a PNG.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QProcess>
#include <QSize>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vesk::test {

struct ProcessRun {
    int exitCode = -1; // -1 when the process crashed or did not start
    QByteArray out;
    QByteArray err;
};

inline ProcessRun run(const QString& program, const QStringList& args,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
    std::function<void()> inChild = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (inChild)
        p.setChildProcessModifier(inChild);
    p.start(program, args);
    if (!p.waitForFinished(300000))
        p.kill();
    return { p.exitStatus() == QProcess::NormalExit && p.error() != QProcess::FailedToStart ? p.exitCode()
                                                                                            : -1,
        p.readAllStandardOutput(), p.readAllStandardError() };
}

inline ProcessRun cli(const QStringList& args, std::function<void()> inChild = {})
{
    return run(
        QStringLiteral(VESK_CLI_PATH), args, QProcessEnvironment::systemEnvironment(), std::move(inChild));
}

inline const QString kBoard = QStringLiteral(VESK_TEST_DATA "/gerber/board.vbf");

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QStringList lines(const QByteArray& out)
{
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

inline QString gerbv()
{
    return QStandardPaths::findExecutable(QStringLiteral("gerbv"));
}

// A fixed window of gerbv's plane (millimetres, y up) drawn at a resolution,
// instead of the file's extent scaled to fit.
struct GerbvWindow {
    int dotsPerInch = 0;
    QSize pixels;
    QPointF lowerLeftMm;
};

// Black on white. gerbv exits 0 whatever it finds; with fatal criticals its
// first CRITICAL message (a syntax error, a missing end of file) ends it
// with a trap.
inline ProcessRun gerbvToPng(
    const QString& gerber, const QString& png, const std::optional<GerbvWindow>& window = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("G_DEBUG"), QStringLiteral("fatal-criticals"));
    env.remove(QStringLiteral("DISPLAY"));
    QStringList args { QStringLiteral("-x"), QStringLiteral("png"), QStringLiteral("-b"),
        QStringLiteral("#FFFFFF"), QStringLiteral("-f"), QStringLiteral("#000000FF"), QStringLiteral("-o"),
        png };
    if (window) {
        // The size goes in inches: gerbv refuses windows above 2000 pixels a
        // side, and turns inches times dots per inch into whole pixels by
        // dropping the fraction, so half a pixel more keeps the last one. No
        // border, or gerbv would shrink the resolution to make room for it.
        const auto inches
            = [&](int pixels) { return QString::number((pixels + 0.5) / window->dotsPerInch, 'f', 6); };
        args << QStringLiteral("--border=0") << QStringLiteral("--dpi=%1").arg(window->dotsPerInch)
             << QStringLiteral("--window_inch=%1x%2")
                    .arg(inches(window->pixels.width()), inches(window->pixels.height()))
             << QStringLiteral("--units=mm")
             << QStringLiteral("--origin=%1x%2")
                    .arg(window->lowerLeftMm.x(), 0, 'f', 4)
                    .arg(window->lowerLeftMm.y(), 0, 'f', 4);
    } else {
        args << QStringLiteral("-D") << QStringLiteral("150");
    }
    return run(gerbv(), args << gerber, env);
}

// The tracespace reader (gerber-to-svg), installed by tools/setup.sh into the
// build folder at the versions of tools/tracespace/package-lock.json.
inline QString tracespaceModules()
{
    return QFileInfo(QStringLiteral(VESK_CLI_PATH))
        .dir()
        .filePath(QStringLiteral("../tracespace/node_modules"));
}

inline QString tracespaceScript()
{
    return QStringLiteral(VESK_TEST_DATA "/../../tools/tracespace/check.js");
}

// Empty when the reader can run, else what is missing.
inline QString tracespaceMissing()
{
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        return QStringLiteral("node is not installed");
    if (!QFileInfo::exists(tracespaceModules() + QStringLiteral("/gerber-to-svg")))
        return QStringLiteral("gerber-to-svg is not installed in %1").arg(tracespaceModules());
    if (QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")).isEmpty())
        return QStringLiteral("rsvg-convert (librsvg2-bin) is not installed");
    return {};
}

// tracespace's reading of a file: exit 0 without a warning, 1 with warnings
// (each a line "warning: ..." on stderr), 2 when it could not read it. With
// a window, its picture of that window, black on white, is drawn into `png`.
inline ProcessRun tracespaceRead(
    const QString& file, const QString& png = {}, const std::optional<GerbvWindow>& window = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NODE_PATH"), tracespaceModules());
    QStringList args { tracespaceScript(), file };
    const QString svg = png + QStringLiteral(".svg");
    if (window) {
        const double mmPerPixel = 25.4 / window->dotsPerInch;
        args << QStringLiteral("--svg") << svg << QStringLiteral("--window")
             << QStringLiteral("%1,%2,%3,%4")
                    .arg(window->lowerLeftMm.x(), 0, 'f', 6)
                    .arg(window->lowerLeftMm.y(), 0, 'f', 6)
                    .arg(window->pixels.width() * mmPerPixel, 0, 'f', 6)
                    .arg(window->pixels.height() * mmPerPixel, 0, 'f', 6)
             << QStringLiteral("--pixels")
             << QStringLiteral("%1,%2").arg(window->pixels.width()).arg(window->pixels.height());
    }
    ProcessRun r = run(QStandardPaths::findExecutable(QStringLiteral("node")), args, env);
    if (window && r.exitCode != 2) {
        const ProcessRun raster = run(QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")),
            { QStringLiteral("-b"), QStringLiteral("white"), QStringLiteral("-o"), png, svg });
        if (raster.exitCode != 0) {
            r.exitCode = 2;
            r.err += raster.err;
        }
    }
    return r;
}

} // namespace vesk::test
