// vesk-cli drill: the Excellon files of the hole layers.
#include "Commands.h"
#include "gerber/Drillexport.h"
#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace vesk::cli {

namespace {

int drill(const Arguments& a)
{
    const QString file = a.value(QStringLiteral("-o"));
    if (file.isEmpty()) {
        Err(QStringLiteral("drill needs an output file: -o FILE.drl"));
        std::fputs("usage: vesk-cli drill DOC.vbf -o FILE.drl [--layer NAME]...\n", stderr);
        return Usage;
    }
    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Failed;
    std::vector<int> indices;
    if (a.has(QStringLiteral("--layer"))) {
        for (const QString& name : a.all(QStringLiteral("--layer"))) {
            const TVeskLayer* layer = doc.Layers().FindLayer(name);
            if (!layer) {
                Err(QStringLiteral("no layer named \"%1\"").arg(name));
                return Failed;
            }
            if (std::find(indices.begin(), indices.end(), layer->index) == indices.end())
                indices.push_back(layer->index);
        }
    } else {
        indices = DrillLayers(doc.Layers());
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        Err(QStringLiteral("cannot create the folder %1").arg(folder));
        return Failed;
    }
    const TDrillExportResult result = ExportDrillFiles(doc.Root(), doc.Layers(), indices, file);
    for (const TDrillFileResult& f : result.files) {
        if (!f.ok)
            Err(f.error.English());
        else if (f.NothingToDrill())
            Out(TVeskMessage(TMessageId::NothingToDrill, { f.fileName }).English() + u'\n');
        else
            Out(QStringLiteral("%1: %2 holes, %3 slots, %4 tools\n")
                    .arg(f.fileName)
                    .arg(f.hits)
                    .arg(f.slots)
                    .arg(f.tools));
    }
    for (const TVeskMessage& message : result.leftOut)
        Err(message.English());
    if (!result.leftOut.empty())
        Err(QStringLiteral("%1 shape(s) left out of the drill file").arg(result.leftOut.size()));
    return result.AllWritten() ? Ok : Failed;
}

} // namespace

Command DrillCommand()
{
    return { "drill", "drill DOC.vbf -o FILE.drl [--layer NAME]...",
        "Writes the Excellon drill file of the hole layers: every circle a hit at\n"
        "its centre with a tool of its diameter, every round-capped straight\n"
        "stroke a routed slot (G85), in millimetres. The layers are \"hole\" and\n"
        "every layer whose name contains \"npth\" (any case), or those named by\n"
        "--layer. Holes of \"npth\" layers go to FILE-npth.drl beside FILE, marked\n"
        "non-plated. Prints each file written with its counts. Any other shape on\n"
        "those layers is reported on stderr by kind, name and position and left\n"
        "out, and the exit code is then 1. A file that would drill nothing is not\n"
        "written (\"FILE: nothing to drill, not written\").\n",
        1, { QStringLiteral("-o"), QStringLiteral("--layer") }, {}, drill };
}

} // namespace vesk::cli
