// vesk-genboard OUT.vbf [OBJECTS]: writes a synthetic board for measurements
// and prints what it holds, by kind and by layer.
#include "BoardGenerator.h"
#include "io/Veskdocument.h"
#include "model/Vesklayer.h"
#include "shapes/Veskcontainer.h"
#include "shapes/Veskpart.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

struct Census {
    std::map<std::string, int> kinds;
    std::map<QString, int> layers;
    int deepest = 0;

    void add(const vesk::TVeskObject& object, int depth)
    {
        ++kinds[object.Tag()];
        if (const auto* instance = dynamic_cast<const vesk::TVeskInstance*>(&object))
            ++layers[instance->GetLayer() ? instance->GetLayer()->Name() : QStringLiteral("(none)")];
        if (const auto* c = dynamic_cast<const vesk::TVeskContainer*>(&object)) {
            if (depth > deepest)
                deepest = depth;
            for (const auto& child : c->Children())
                add(*child, depth + 1);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        std::fputs("usage: vesk-genboard OUT.vbf [OBJECTS]\n", stdout);
        return 0;
    }
    // An option or a bad count is refused, never written as a file or a board of it.
    char* end = nullptr;
    const long objects = argc > 2 ? std::strtol(argv[2], &end, 10) : 100000;
    if (argc < 2 || argc > 3 || first.empty() || first[0] == '-'
        || (argc > 2 && (*end != '\0' || objects < 1))) {
        std::fputs("usage: vesk-genboard OUT.vbf [OBJECTS]\n", stderr);
        return 2;
    }
    vesk::TVeskDocument doc;
    vesk::GenerateBoard(doc, int(std::min(objects, 10000000L)));
    const vesk::TDocumentResult r = doc.Write(QString::fromLocal8Bit(argv[1]));
    if (!r) {
        std::fprintf(stderr, "vesk-genboard: %s\n", qPrintable(r.error.English()));
        return 1;
    }
    Census census;
    for (const auto& child : doc.Root().Children())
        census.add(*child, 1);
    std::printf("%d objects, %d at the top, groups nested %d deep\n", vesk::CountObjects(doc.Root()) - 1,
        doc.Root().ChildCount(), census.deepest);
    for (const auto& [kind, n] : census.kinds)
        std::printf("  %s %d\n", kind.c_str(), n);
    for (const auto& [layer, n] : census.layers)
        std::printf("  on %s %d\n", qPrintable(layer), n);
    return 0;
}
