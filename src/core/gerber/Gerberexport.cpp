#include "Gerberexport.h"

#include "Gerberfilestream.h"
#include "Gerberlayerorder.h"
#include "geometry/PolygonClipping.h"
#include "model/Vesklayerlist.h"
#include "model/Veskobject.h"
#include "shapes/Mergedoutline.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <functional>
#include <span>

namespace vesk {

namespace {

// Outline mode strokes every figure with this pen: 0.1 mm, flat caps.
constexpr float kOutlinePenWidth = 1.0f;
// Merged outlines are flat already; this only bounds what a curve would cost.
constexpr float kOutlineFlatness = 0.25f;

using Convert = std::function<void(TGerber_ostream& out, int layerIndex)>;

TGerberLayerResult exportLayer(const TVeskLayerList& layers, int index, const QString& folder,
    const TGerberExportOptions& options, const Convert& convert)
{
    TGerberLayerResult r;
    r.layerIndex = index;
    const TVeskLayer* layer = layers.LayerAt(index);
    if (!layer) {
        r.error = { TMessageId::NoSuchLayer, { QString::number(index) } };
        return r;
    }
    r.layerName = layer->Name();
    r.fileName = QDir(folder).filePath(GerberFileName(layer->Name(), index));
    QSaveFile file(r.fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        r.error = { TMessageId::CannotCreate, { r.fileName, file.errorString() } };
        return r;
    }
    TGerber_ostream out(file, options.format);
    out.SetLayerName(layer->Name());
    out.SetCreationDate(options.creationDate);
    convert(out, index);
    if (!out.WriteFile()) {
        file.cancelWriting();
        r.error = { TMessageId::CannotWrite, { r.fileName, out.Error() } };
        return r;
    }
    if (!file.commit()) {
        r.error = { TMessageId::CannotWrite, { r.fileName, file.errorString() } };
        return r;
    }
    r.ok = true;
    return r;
}

TGerberExportResult exportLayers(const TVeskLayerList& layers, const std::vector<int>& indices,
    const QString& folder, const TGerberExportOptions& options, const Convert& convert)
{
    TGerberExportResult result;
    QSet<QString> written;
    for (int index : indices) {
        // Two layers of one name would share a file and the first would be lost.
        const TVeskLayer* layer = layers.LayerAt(index);
        const QString fileName
            = layer ? QDir(folder).filePath(GerberFileName(layer->Name(), index)) : QString();
        if (layer && written.contains(fileName)) {
            TGerberLayerResult r;
            r.layerIndex = index;
            r.layerName = layer->Name();
            r.fileName = fileName;
            r.error = { TMessageId::FileOfAnotherLayer, { fileName } };
            result.layers.push_back(r);
            continue;
        }
        result.layers.push_back(exportLayer(layers, index, folder, options, convert));
        if (result.layers.back().ok)
            written.insert(fileName);
    }
    return result;
}

} // namespace

void MergedLayerArtwork(const TVeskObject& root, int index, GraphicsPath& into)
{
    std::vector<TVeskObject*> found;
    // Collecting only reads; it is declared for callers that go on to edit.
    const_cast<TVeskObject&>(root).CollectByLayer(found, index);
    std::vector<const TVeskObject*> copper, cutOuts;
    for (const TVeskObject* o : found)
        (PaintsClear(*o, index) ? cutOuts : copper).push_back(o);
    if (cutOuts.empty() || !root.IsVisible()) {
        root.AddMergedOutline(into, index);
        return;
    }
    GraphicsPath dark(FillMode::Winding), clear(FillMode::Winding);
    MergeOutlines(copper, index, dark);
    MergeOutlines(cutOuts, index, clear);
    ClipperLib::Clipper clipper;
    clipper.AddPaths(detail::toClipperPolygons(dark, kOutlineFlatness), ClipperLib::ptSubject, true);
    clipper.AddPaths(detail::toClipperPolygons(clear, kOutlineFlatness), ClipperLib::ptClip, true);
    ClipperLib::Paths left;
    clipper.Execute(ClipperLib::ctDifference, left, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    detail::addClosedFigures(left, into);
}

TVeskMessage TGerberLayerResult::Report() const
{
    const QString name = layerName.isNull() ? QString::number(layerIndex) : layerName;
    return { TMessageId::LayerReport, { name, ok ? TVeskMessage(fileName) : error } };
}

bool TGerberExportResult::AllWritten() const
{
    return std::all_of(layers.begin(), layers.end(), [](const TGerberLayerResult& r) { return r.ok; })
        && (!drill || drill->AllWritten());
}

QString GerberFileName(const QString& layerName, int layerIndex)
{
    QString name = layerName;
    for (QChar& c : name)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            c = u'_';
    name.replace(QStringLiteral(".."), QStringLiteral("__"));
    if (name.isEmpty())
        name = QStringLiteral("layer%1").arg(layerIndex);
    return name + QStringLiteral(".gbr");
}

TGerberExportResult ExportGerberFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& folder)
{
    return ExportFiles(root, layers, layerIndices, folder, {});
}

TGerberExportResult ExportOutlineFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& folder)
{
    TGerberExportOptions options;
    options.outline = true;
    return ExportFiles(root, layers, layerIndices, folder, options);
}

TGerberExportResult ExportFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& folder, const TGerberExportOptions& options)
{
    TGerberExportResult result;
    if (options.outline) {
        Pen pen;
        pen.width = kOutlinePenWidth;
        result = exportLayers(
            layers, layerIndices, folder, options, [&root, &pen](TGerber_ostream& out, int index) {
                GraphicsPath outline;
                MergedLayerArtwork(root, index, outline);
                out.AddPath(&pen, outline, false);
            });
    } else {
        result = exportLayers(layers, layerIndices, folder, options,
            [&root](TGerber_ostream& out, int index) { root.WriteGerber(out, index); });
    }
    if (options.drillFile) {
        TDrillOptions drill;
        drill.creationDate = options.creationDate;
        result.drill = ExportDrillFiles(
            root, layers, DrillLayers(layers), QDir(folder).filePath(QStringLiteral("drill.drl")), drill);
    }
    return result;
}

std::vector<int> LayersHoldingObjects(TVeskObject& root, const TVeskLayerList& layers)
{
    std::vector<int> indices;
    std::vector<TVeskObject*> objects;
    for (int i = 0; i < layers.LayerCount(); ++i) {
        objects.clear();
        root.CollectByLayer(objects, i);
        if (!objects.empty())
            indices.push_back(i);
    }
    return indices;
}

} // namespace vesk
