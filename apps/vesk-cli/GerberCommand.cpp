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

constexpr char kUsage[]
    = "usage: vesk-cli gerber DOC.vbf -o DIR [--layer NAME]... [--outline] [--format rs274x|x2]\n";

int gerber(const Arguments& a)
{
    const QString folder = a.value(QStringLiteral("-o"));
    if (folder.isEmpty()) {
        Err(QStringLiteral("gerber needs an output folder: -o DIR"));
        std::fputs(kUsage, stderr);
        return Usage;
    }
    TGerberExportOptions options;
    options.outline = a.has(QStringLiteral("--outline"));
    const QString format = a.value(QStringLiteral("--format"), QStringLiteral("rs274x"));
    if (format == QLatin1String("x2")) {
        options.format = TGerberFormat::X2;
    } else if (format != QLatin1String("rs274x")) {
        Err(QStringLiteral("unknown format '%1': rs274x or x2").arg(format));
        std::fputs(kUsage, stderr);
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
    const TGerberExportResult result = ExportFiles(doc.Root(), doc.Layers(), indices, folder, options);
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
    return { "gerber", "gerber DOC.vbf -o DIR [--layer NAME]... [--outline] [--format rs274x|x2]",
        "Writes one Gerber file per layer into DIR (created when missing), named\n"
        "after the layer with \".gbr\": every layer that holds objects, or the layers\n"
        "named by --layer in the order given. --outline writes the merged outline\n"
        "of each layer stroked with 0.1 mm instead. --format x2 writes Gerber X2\n"
        "(file attributes, nanometre coordinates, fills as regions) instead of the\n"
        "classic RS-274X. Prints each file written; a layer that cannot be written\n"
        "is reported on stderr and the others are still written, and the exit\n"
        "code is then 1.\n",
        1, { QStringLiteral("-o"), QStringLiteral("--layer"), QStringLiteral("--format") },
        { QStringLiteral("--outline") }, gerber };
}

} // namespace vesk::cli
