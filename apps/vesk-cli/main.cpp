// vesk-cli: the document core for scripts and tests. Each command is a thin
// wiring of core functions; see the README for the commands and their output.
#include "Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace {

// Headless runs have no session runtime folder; Qt's note about it is noise
// on a tool whose stderr carries one line per failure.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qt_message_output(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    // Rendering and glyph outlines need a GUI application; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    return vesk::cli::Run(args);
}
