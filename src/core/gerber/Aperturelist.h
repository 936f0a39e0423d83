#pragma once

#include "Gerberformat.h"
#include "geometry/Pen.h"

#include <QByteArray>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace vesk {

// A tool shape of one Gerber file: what a stroke is drawn with or a flash
// stamps. Sizes are in document units (0.1 mm); the D-code is handed out by
// the file's TApertureList and stays 0 until then.
class TAperture {
public:
    virtual ~TAperture() = default;

    // Same kind and size, code 0.
    virtual std::unique_ptr<TAperture> Clone() const = 0;
    // The "%ADD" record without its line end.
    virtual QByteArray Definition() const = 0;
    // The same for an X2 file, whose y axis points the other way.
    virtual QByteArray X2Definition() const { return Definition(); }
    virtual std::int32_t Code() const { return code_; }
    virtual void SetCode(std::int32_t code) { code_ = code; }
    // Same shape: same kind and bit-for-bit the same float sizes (and angle).
    virtual bool Equals(const TAperture& other) const = 0;

protected:
    TAperture() = default;
    TAperture(const TAperture&) = default;

private:
    std::int32_t code_ = 0;
};

// Circle (width == height) or obround of width by height.
class TApEllipse : public TAperture {
public:
    explicit TApEllipse(float diameter)
        : width_(diameter)
        , height_(diameter)
    {
    }
    TApEllipse(float width, float height)
        : width_(width)
        , height_(height)
    {
    }

    std::unique_ptr<TAperture> Clone() const override
    {
        return std::make_unique<TApEllipse>(width_, height_);
    }
    QByteArray Definition() const override;
    bool Equals(const TAperture& other) const override;

    float Width() const { return width_; }
    float Height() const { return height_; }

private:
    float width_;
    float height_;
};

// Rectangle of width by height turned by a whole number of degrees, counted
// from the x axis towards the y axis in document coordinates. A square looks
// the same after a quarter turn, so the angle is kept in 0 .. 89. Only
// squares are ever turned (square pen caps); rectangle flashes are unturned,
// and a turned non-square has no standard aperture, so it is defined unturned.
class TApRect : public TAperture {
public:
    TApRect(float width, float height, int angle = 0)
        : width_(width)
        , height_(height)
    {
        SetAngle(angle);
    }

    std::unique_ptr<TAperture> Clone() const override
    {
        return std::make_unique<TApRect>(width_, height_, angle_);
    }
    QByteArray Definition() const override;
    QByteArray X2Definition() const override;
    bool Equals(const TAperture& other) const override;

    void SetAngle(int degrees);
    float Width() const { return width_; }
    float Height() const { return height_; }
    int Angle() const { return angle_; }

private:
    float width_;
    float height_;
    int angle_ = 0;
};

// The apertures of one Gerber file in the order of their codes (D10, D11, ...).
// Asking for a shape returns the code of an equal aperture already held, or
// registers the shape under the next code; codes are never reused or
// reordered. An index by exact size finds the equal aperture without walking
// the list, which gives the same code the walk would, since no two held
// apertures are equal.
class TApertureList {
public:
    static constexpr std::int32_t kFirstCode = 10;

    TApertureList();
    virtual ~TApertureList();
    TApertureList(const TApertureList&) = delete;
    TApertureList& operator=(const TApertureList&) = delete;

    std::int32_t CircleCode(float diameter);
    // A square of the pen's width turned by `angle` for a square start cap,
    // else a circle of the pen's width (the angle is not used).
    std::int32_t PenCode(const Pen& pen, int angle);
    // The caller keeps `aperture`; a clone is registered when nothing equal is held.
    std::int32_t CodeOf(const TAperture& aperture);
    // Each aperture's definition followed by "\n", in code order.
    QByteArray Definitions() const;
    // Definitions are written for this format; classic until set.
    void SetFormat(TGerberFormat format) { format_ = format; }

    int Count() const { return int(apertures_.size()); }
    const TAperture& At(int i) const { return *apertures_[size_t(i)]; }

private:
    // Kind, width, height, angle: equal keys are exactly equal apertures.
    using Key = std::tuple<int, float, float, int>;

    std::int32_t findOrRegister(std::unique_ptr<TAperture> candidate, const TAperture& probe);

    std::vector<std::unique_ptr<TAperture>> apertures_;
    std::map<Key, std::int32_t> index_;
    TGerberFormat format_ = TGerberFormat::Rs274x;
};

} // namespace vesk
