// vesk-cli gerber: one RS-274X file per layer, as the export dialog writes them.
#include "Commands.h"
#include "gerber/Gerberexport.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <QDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace vesk::cli {

namespace {

// The layers named on the command line in their order, each once; false
// (and a message) when a name is no layer of the document.
bool namedLayers(TVeskDocument& doc, const QStringList& names, std::vector<int>& indices)
{
    for (const QString& name : names) {
        const TVeskLayer* layer = doc.Layers().FindLayer(name);
        if (!layer) {
            Err(QStringLiteral("no layer named \"%1\"").arg(name));
            return false;
        }
        if (std::find(indices.begin(), indices.end(), layer->index) == indices.end())
            indices.push_back(layer->index);
    }
    return true;
}

int gerber(const Arguments& a)
{
    const QString folder = a.value(QStringLiteral("-o"));
    if (folder.isEmpty()) {
        Err(QStringLiteral("gerber needs an output folder: -o DIR"));
        std::fputs("usage: vesk-cli gerber DOC.vbf -o DIR [--layer NAME]... [--outline]\n", stderr);
        return Usage;
    }
    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Failed;
    std::vector<int> indices;
    if (a.has(QStringLiteral("--layer"))) {
        if (!namedLayers(doc, a.all(QStringLiteral("--layer")), indices))
            return Failed;
    } else {
        indices = LayersHoldingObjects(doc.Root(), doc.Layers());
    }
    if (!QDir().mkpath(folder)) {
        Err(QStringLiteral("cannot create the folder %1").arg(folder));
        return Failed;
    }
    const TGerberExportResult result = a.has(QStringLiteral("--outline"))
        ? ExportOutlineFiles(doc.Root(), doc.Layers(), indices, folder)
        : ExportGerberFiles(doc.Root(), doc.Layers(), indices, folder);
    for (const TGerberLayerResult& layer : result.layers) {
        if (layer.ok)
            Out(layer.fileName + u'\n');
        else
            Err(layer.Message());
    }
    return result.AllWritten() ? Ok : Failed;
}

} // namespace

Command GerberCommand()
{
    return { "gerber", "gerber DOC.vbf -o DIR [--layer NAME]... [--outline]",
        "Writes one RS-274X file per layer into DIR (created when missing), named\n"
        "after the layer with \".gbr\": every layer that holds objects, or the layers\n"
        "named by --layer in the order given. --outline writes the merged outline\n"
        "of each layer stroked with 0.1 mm instead. Prints each file written; a\n"
        "layer that cannot be written is reported on stderr and the others are\n"
        "still written, and the exit code is then 1.\n",
        1, { QStringLiteral("-o"), QStringLiteral("--layer") }, { QStringLiteral("--outline") }, gerber };
}

} // namespace vesk::cli
