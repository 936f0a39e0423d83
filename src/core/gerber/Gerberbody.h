#pragma once

#include "Gerberformat.h"
#include "geometry/PointF.h"
#include "model/Veskmessage.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace vesk {

// The body of one Gerber file, rendered in memory while the objects choose
// their apertures: aperture selections, moves, draws and flashes, one record
// a line. In the classic format coordinates are written in the 3.3 format
// in micrometres, N = round(v × 100) for a document value v: six digits with
// leading zeros, and a minus sign in front of them for a negative N;
// selections are "G54D" code "*". In X2 they are nanometres in the 4.6
// format, N = round(v × 100000) with y negated (the document's y grows
// downwards), written without leading zeros; selections are "D" code "*".
//
// A body can be refused: a point whose N does not fit the format (1 m or
// more from the origin in the classic format, 10 m in X2) or is not a
// number cannot be written, nor can a hatch of absurdly many lines. The body
// then keeps the first reason, writes nothing further, and the file must not
// be written.
class TGerberBody {
public:
    // |N| must stay below this: classic, X2.
    static constexpr std::int64_t kCoordinateLimit = 1000000;
    static constexpr std::int64_t kX2CoordinateLimit = 10000000000;

    explicit TGerberBody(TGerberFormat format = TGerberFormat::Rs274x)
        : format_(format)
    {
    }
    TGerberFormat Format() const { return format_; }
    // Document units: twice the coordinate range, more than any plot holds.
    static constexpr float kMaxApertureSize = 20000.0f;
    // Document units: one step of the coordinate format (0.001 mm).
    static constexpr float kResolution = 0.01f;

    // "G54D" code "*".
    void Select(std::int32_t code);
    // Coordinate word, then "D02*" (move), "D01*" (draw) or "D03*" (flash).
    void Move(PointF p) { coordinateRecord(p, "D02*\n"); }
    void Draw(PointF p) { coordinateRecord(p, "D01*\n"); }
    void Flash(PointF p) { coordinateRecord(p, "D03*\n"); }
    // False, and the body refused as for a record, when p cannot be written.
    bool CheckRange(PointF p);
    // Refuses the body for a reason of the caller's (the first reason stays).
    void Refuse(const TVeskMessage& why);
    // False, and the body refused, for an aperture size (a pen width, a
    // flash's side) that is not finite or reaches kMaxApertureSize.
    bool CheckApertureSize(float size);
    // False, and the body refused, for a hatch pen whose lines would lie
    // closer than the file's resolution: strokes on top of each other, or
    // millions of them.
    bool CheckHatchPen(float width, float step);
    // "%LPC*%" (clear: what follows removes the dark) or "%LPD*%".
    void Polarity(bool clear);
    // "G36*" and "G37*": the draws between them outline a filled region.
    void BeginRegion();
    void EndRegion();
    // A coordinate record of a point already in the file's units (X2: nm, y up).
    void MoveUnits(std::int64_t x, std::int64_t y) { unitsRecord(x, y, "D02*\n"); }
    void DrawUnits(std::int64_t x, std::int64_t y) { unitsRecord(x, y, "D01*\n"); }

    const QByteArray& Text() const { return text_; }
    bool Refused() const { return !refusal_.IsEmpty(); }
    // Why the body was refused; empty while it is not.
    const TVeskMessage& Refusal() const { return refusal_; }
    // The first point that could not be written, in document units.
    std::optional<PointF> FirstOutOfRange() const { return outOfRange_; }

    // The coordinate number of a document value; false when it cannot be written.
    static bool CoordinateNumber(float v, std::int64_t& n);
    // A document value as the decimal it was typed as: the shortest one that
    // reads back as the same float. Scaling the float itself would put 21.59 mm
    // (215.899994 units) a unit short in nanometres.
    static double DecimalValue(float v);
    // "X" N(x) "Y" N(y); false (and nothing appended) when either is out of range.
    static bool AppendCoordinateWord(QByteArray& to, PointF p);
    // The X2 numbers of a document point: nanometres, y negated.
    static bool X2CoordinateNumbers(PointF p, std::int64_t& x, std::int64_t& y);

private:
    void coordinateRecord(PointF p, const char* ending);
    void unitsRecord(std::int64_t x, std::int64_t y, const char* ending);
    void refuseAt(PointF p);

    TGerberFormat format_;
    QByteArray text_;
    std::optional<PointF> outOfRange_;
    TVeskMessage refusal_;
};

} // namespace vesk
