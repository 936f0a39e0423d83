#pragma once

#include "geometry/PointF.h"

#include <QByteArray>
#include <QDateTime>
#include <map>
#include <vector>

namespace vesk {

// One Excellon drill file: round holes (hits) and routed slots, each with a
// tool of its diameter. Tools are numbered T1, T2, ... by ascending diameter,
// diameters equal to the micrometre sharing a tool; the header declares them
// in millimetres (METRIC), the body selects each tool once and lists its hits
// in the order they were added, then its slots (G85), and M30 ends the file.
// Coordinates are millimetres with an explicit decimal point, y negated as
// in the X2 Gerber files, so both lie on the same board.
class TExcellonWriter {
public:
    // Plated holes (the PTH file) or non-plated ones (NPTH).
    explicit TExcellonWriter(bool plated);

    // Document units throughout.
    void AddHit(PointF centre, float diameter);
    void AddSlot(PointF from, PointF to, float width);

    // The whole file; `created` goes into its creation-date attribute.
    QByteArray Text(const QDateTime& created) const;

    // Every hole as it is drilled, a hit being a slot whose ends coincide,
    // with its tool's diameter (to the micrometre).
    struct Hole {
        PointF from;
        PointF to;
        float diameter;
    };
    std::vector<Hole> Holes() const;

    int ToolCount() const { return int(tools_.size()); }
    int HitCount() const { return hits_; }
    int SlotCount() const { return slots_; }

private:
    struct Tool {
        std::vector<PointF> hits;
        std::vector<std::pair<PointF, PointF>> slots;
    };
    Tool& toolOf(float diameter);

    bool plated_;
    // By diameter in micrometres.
    std::map<long long, Tool> tools_;
    int hits_ = 0;
    int slots_ = 0;
};

} // namespace vesk
