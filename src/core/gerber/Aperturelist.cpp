#include "Aperturelist.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vesk {

namespace {

// Sizes print in millimetres with three decimals, as "%.3f" prints them.
QByteArray format(const char* pattern, auto... args)
{
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return QByteArray(buffer, n < 0 ? 0 : std::min(n, int(sizeof buffer) - 1));
}

double toMillimetres(float documentUnits)
{
    return double(documentUnits) * 0.1;
}

bool nearlySquare(float width, float height)
{
    return std::fabs(double(width) - double(height)) < 0.0001;
}

enum Kind { KindEllipse = 1, KindRect = 2 };

} // namespace

// ---------------------------------------------------------------- apertures

QByteArray TApEllipse::Definition() const
{
    if (nearlySquare(width_, height_))
        return format("%%ADD%02dC,%.3f*%%", int(Code()), toMillimetres(width_));
    return format("%%ADD%02dO,%.3fX%.3f*%%", int(Code()), toMillimetres(width_), toMillimetres(height_));
}

bool TApEllipse::Equals(const TAperture& other) const
{
    const auto* o = dynamic_cast<const TApEllipse*>(&other);
    return o && o->width_ == width_ && o->height_ == height_;
}

void TApRect::SetAngle(int degrees)
{
    angle_ = degrees % 90;
    if (angle_ < 0)
        angle_ += 90;
}

QByteArray TApRect::Definition() const
{
    if (nearlySquare(width_, height_)) {
        // A regular polygon of four vertices whose outer diameter is the
        // diagonal. The angle is measured in the document's numbers, which the
        // file keeps before its image is mirrored in y; a square turned by the
        // angle there is the polygon turned by 45 more, and the mirror then
        // turns it with the track it ends.
        const float diagonal = float(double(width_) * std::sqrt(2.0));
        return format("%%ADD%02dP,%.3fX4X%d*%%", int(Code()), toMillimetres(diagonal), (45 + angle_) % 90);
    }
    return format("%%ADD%02dR,%.3fX%.3f*%%", int(Code()), toMillimetres(width_), toMillimetres(height_));
}

QByteArray TApRect::X2Definition() const
{
    if (!nearlySquare(width_, height_))
        return Definition();
    // With y negated a square turned by the angle in the document is turned
    // by minus the angle in the file; the polygon's own 45 puts its sides
    // along the axes.
    const float diagonal = float(double(width_) * std::sqrt(2.0));
    return format(
        "%%ADD%02dP,%.3fX4X%d*%%", int(Code()), toMillimetres(diagonal), ((45 - angle_) % 90 + 90) % 90);
}

bool TApRect::Equals(const TAperture& other) const
{
    const auto* o = dynamic_cast<const TApRect*>(&other);
    return o && o->width_ == width_ && o->height_ == height_ && o->angle_ == angle_;
}

// ---------------------------------------------------------------- list

TApertureList::TApertureList() = default;
TApertureList::~TApertureList() = default;

namespace {

// False for shapes the index cannot hold: other kinds, and NaN sizes, which
// equal nothing and would break the ordering.
bool keyOf(const TAperture& a, std::tuple<int, float, float, int>& key)
{
    if (const auto* e = dynamic_cast<const TApEllipse*>(&a)) {
        key = { KindEllipse, e->Width(), e->Height(), 0 };
    } else if (const auto* r = dynamic_cast<const TApRect*>(&a)) {
        key = { KindRect, r->Width(), r->Height(), r->Angle() };
    } else {
        return false;
    }
    return !std::isnan(std::get<1>(key)) && !std::isnan(std::get<2>(key));
}

} // namespace

std::int32_t TApertureList::findOrRegister(std::unique_ptr<TAperture> candidate, const TAperture& probe)
{
    Key key;
    const bool indexed = keyOf(probe, key);
    if (indexed) {
        const auto it = index_.find(key);
        if (it != index_.end())
            return it->second;
    } else {
        for (const auto& held : apertures_)
            if (probe.Equals(*held))
                return held->Code();
    }
    if (!candidate)
        candidate = probe.Clone();
    apertures_.push_back(std::move(candidate));
    const std::int32_t code = kFirstCode - 1 + std::int32_t(apertures_.size());
    apertures_.back()->SetCode(code);
    if (indexed)
        index_.emplace(key, code);
    return code;
}

std::int32_t TApertureList::CircleCode(float diameter)
{
    auto circle = std::make_unique<TApEllipse>(diameter);
    const TAperture& probe = *circle;
    return findOrRegister(std::move(circle), probe);
}

std::int32_t TApertureList::PenCode(const Pen& pen, int angle)
{
    if (pen.startCap != LineCap::Square)
        return CircleCode(pen.width);
    auto square = std::make_unique<TApRect>(pen.width, pen.width, angle);
    const TAperture& probe = *square;
    return findOrRegister(std::move(square), probe);
}

std::int32_t TApertureList::CodeOf(const TAperture& aperture)
{
    return findOrRegister(nullptr, aperture);
}

QByteArray TApertureList::Definitions() const
{
    QByteArray text;
    for (const auto& a : apertures_) {
        text += format_ == TGerberFormat::X2 ? a->X2Definition() : a->Definition();
        text += '\n';
    }
    return text;
}

} // namespace vesk
