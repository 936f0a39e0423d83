#pragma once

// The design-rule check: copper too close, too thin, rings too narrow,
// holes too close, copper too near the board's edge. Artwork has no nets,
// so copper is what is drawn on a copper layer after its cut-outs, united,
// and each connected piece is one conductor: pieces that touch are one.
// Holes are the shapes of the drill layers as the drill file drills them;
// the board's edge is the centre line of what is drawn on "dimension".
// The check reads the document and never changes it.

#include "geometry/PointF.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace vesk {

class TVeskLayerList;
class TVeskObject;

enum class TDrcRule { Clearance, Width, AnnularRing, HoleToHole, CopperToEdge };

// The rule's name on the command line and in JSON ("clearance", "width",
// "ring", "hole-gap", "edge").
QString DrcRuleKey(TDrcRule rule);

// The rules in millimetres, and the layers checked as copper.
struct TDesignRules {
    double clearance = 0.3;
    double width = 0.2;
    double ring = 0.25;
    double holeGap = 0.25;
    double edge = 0.3;
    // Layers whose names are not here are not checked as copper; names the
    // document lacks are passed over.
    QStringList copperLayers { QStringLiteral("solder"), QStringLiteral("component") };

    // Every rule a finite number at least 0 and below a metre.
    bool Valid() const;
};

struct TDrcFinding {
    TDrcRule rule = TDrcRule::Clearance;
    QString layer; // the copper layer; the drill layer for two holes
    // The closest points of what breaks the rule, in document units; the
    // same point when the finding is a place (copper too thin, a hole
    // outside copper, copper outside the board).
    PointF from;
    PointF to;
    double found = 0; // millimetres
    double required = 0; // millimetres

    PointF At() const { return { (from.X + to.X) / 2, (from.Y + to.Y) / 2 }; }
};

struct TDrcResult {
    std::vector<TDrcFinding> findings; // by rule, layer, then place
    bool cancelled = false;
};

// Told how many of the check's steps are done; returning false cancels it.
// Called on the caller's thread only.
using TDrcProgress = std::function<bool(int done, int total)>;

// Checks the document's layers, the copper layers side by side on the
// machine's cores.
TDrcResult CheckDesignRules(const TVeskObject& root, const TVeskLayerList& layers, const TDesignRules& rules,
    const TDrcProgress& progress = {});

} // namespace vesk
