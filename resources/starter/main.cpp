// vesk-genstarter FOLDER: writes the starter pads and library parts into
// FOLDER/pad and FOLDER/lib, where the editor looks for them.
#include "Starterlibrary.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vesk-genstarter FOLDER\n");
        return 2;
    }
    const vesk::TStarterResult result = vesk::WriteStarterLibrary(args[1]);
    if (!result.ok) {
        std::fprintf(stderr, "vesk-genstarter: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("vesk-genstarter: %d files in %s\n", result.files, qPrintable(args[1]));
    return 0;
}
