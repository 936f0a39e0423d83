#pragma once

#include "Drillexport.h"
#include "Gerberformat.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace vesk {

class GraphicsPath;
class TVeskLayerList;
class TVeskObject;

// What became of one layer of an export: the file written, or why not.
struct TGerberLayerResult {
    int layerIndex = -1;
    QString layerName;
    // The file written, or the one that could not be.
    QString fileName;
    bool ok = false;
    TVeskMessage error;

    // The layer's name (its index when it has none) with the file or the reason.
    TVeskMessage Report() const;
    // The report in English, for a line of the command line's output.
    QString Message() const { return Report().English(); }
};

// The layers of one export in the order they were asked for, and the drill
// files when they were asked for.
struct TGerberExportResult {
    std::vector<TGerberLayerResult> layers;
    std::optional<TDrillExportResult> drill;

    // Every layer written, and the drill files complete.
    bool AllWritten() const;
};

// The choices of one export, as the export dialog and the command line make them.
struct TGerberExportOptions {
    TGerberFormat format = TGerberFormat::Rs274x;
    // Merged outlines stroked with 0.1 mm instead of the objects.
    bool outline = false;
    // Also the Excellon files of the hole layers: "drill.drl" in the folder,
    // and "drill-npth.drl" for layers of non-plated holes.
    bool drillFile = false;
    // The creation date the X2 and drill files record; now when invalid.
    QDateTime creationDate;
};

// Names the file of a layer: the layer name with every character that could
// lead out of the folder or confuse a file system (path separators, "..",
// control characters) replaced by "_", and "layer" and the index for an
// empty name; ".gbr" is appended.
QString GerberFileName(const QString& layerName, int layerIndex);

// Gerber mode: for each chosen layer index, in order, a file in `folder`
// holding every object of the root on that layer, written as strokes, hatch
// fills and flashes, cut-outs with clear polarity. Each file is replaced
// atomically and only when it was written completely; a layer that fails (a
// file that cannot be created or written, a coordinate beyond the format's
// range, a pen width or hatch no file can hold, an index without layer, a
// second layer whose file name an earlier one of the export took) is reported
// and the following layers are still written.
TGerberExportResult ExportGerberFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& folder);

// Outline mode: the same files holding the merged outline of each layer,
// stroked with a 0.1 mm round aperture and never filled; the areas of
// cut-outs are taken out of it.
TGerberExportResult ExportOutlineFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& folder);

// Gerber or outline mode in either format, as the options say, and the drill
// files when asked for; the classic functions above are this with their mode.
TGerberExportResult ExportFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& folder, const TGerberExportOptions& options);

// The indices of the layers that hold at least one object of the root, in
// index order: what an export without a choice of layers writes.
// The merged outline of the layer's artwork with the areas of its cut-outs
// taken away, as the screen paints them over the copper.
void MergedLayerArtwork(const TVeskObject& root, int layerIndex, GraphicsPath& into);

std::vector<int> LayersHoldingObjects(TVeskObject& root, const TVeskLayerList& layers);

} // namespace vesk
