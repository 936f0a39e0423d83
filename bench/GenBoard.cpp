// vesk-genboard OUT.vbf [OBJECTS]: writes a synthetic board for measurements.
#include "BoardGenerator.h"
#include "io/Veskdocument.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: vesk-genboard OUT.vbf [OBJECTS]\n", stderr);
        return 2;
    }
    vesk::TVeskDocument doc;
    vesk::GenerateBoard(doc, argc > 2 ? std::atoi(argv[2]) : 100000);
    const vesk::TDocumentResult r = doc.Write(QString::fromLocal8Bit(argv[1]));
    if (!r) {
        std::fprintf(stderr, "vesk-genboard: %s\n", qPrintable(r.error));
        return 1;
    }
    return 0;
}
