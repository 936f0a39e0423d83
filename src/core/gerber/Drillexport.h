#pragma once

#include "geometry/PointF.h"
#include "model/Veskmessage.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace vesk {

class TExcellonWriter;
class TVeskLayerList;
class TVeskObject;

// One Excellon file of an export: written, or why not. A file without a
// hole is not written at all (readers refuse a drill file that drills
// nothing) and counts as done.
struct TDrillFileResult {
    QString fileName;
    bool plated = true;
    bool ok = false;
    TVeskMessage error;
    int tools = 0;
    int hits = 0;
    int slots = 0;

    bool NothingToDrill() const { return hits == 0 && slots == 0; }
};

// The drill files of the hole layers, and every shape on them that no drill
// makes (a rectangle, a text, an ellipse that is not round, a cut-out): each
// reported by kind, name and position and left out of the files.
struct TDrillExportResult {
    std::vector<TDrillFileResult> files;
    std::vector<TVeskMessage> leftOut;

    // Every file written and nothing left out.
    bool AllWritten() const;
};

struct TDrillOptions {
    // Recorded in the files' creation-date attribute; now when invalid.
    QDateTime creationDate;
};

// Whether a layer holds non-plated holes: its name contains "npth", in any case.
bool IsNonPlatedLayer(const QString& layerName);

// The layers a drill file is made of when none are named: "hole" and every
// layer of non-plated holes, in index order.
std::vector<int> DrillLayers(const TVeskLayerList& layers);

// Adds the drillable shapes of the root on one layer to the writer; the
// others are described in `leftOut`. A circle (an ellipse whose placement
// keeps it round) is a hit of its drawn diameter, the outline's outer edge;
// a round-capped straight stroke is a slot of the pen's width between its
// ends, or a hit when its ends coincide.
void CollectDrillHoles(const TVeskObject& root, const TVeskLayerList& layers, int layerIndex,
    TExcellonWriter& into, std::vector<TVeskMessage>& leftOut);

// Writes the holes of the given layers: those of plated layers into
// `platedFile`, those of non-plated layers into the file beside it named with
// "-npth" added to its base name ("drill.drl" gives "drill-npth.drl"), only
// when such a layer is among them. Files are replaced atomically and only
// when written completely; one that would drill nothing is left as it was.
TDrillExportResult ExportDrillFiles(const TVeskObject& root, const TVeskLayerList& layers,
    const std::vector<int>& layerIndices, const QString& platedFile, const TDrillOptions& options = {});

// The name of the non-plated file beside a plated one.
QString NonPlatedDrillFileName(const QString& platedFile);

} // namespace vesk
