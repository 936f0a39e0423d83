#pragma once

#include "geometry/Pen.h"

#include <cstdint>

namespace vesk {

class TVesk_istream;
class TVesk_ostream;

// Per-object style: outline width (document units), cut-out, fill, and the
// outline pen's join and cap. Makes the pens and brushes objects draw with.
//
// Width rule: an unfilled surface keeps a width of at least 0.01. The test
// widens the float to double and compares with 0.01, so the replacement, the
// float nearest 0.01, itself counts as below 0.01.
class TVeskSurface {
public:
    static constexpr float kMinimumWidth = 0.01f;

    TVeskSurface() = default;
    // Join and cap 2 (rounded); applies the width rule.
    TVeskSurface(float width, bool cutOut, bool fill, std::int32_t reserved);
    virtual ~TVeskSurface() = default;
    TVeskSurface(const TVeskSurface&) = default;
    TVeskSurface& operator=(const TVeskSurface&) = default;

    virtual void Assign(const TVeskSurface& source) { *this = source; }
    // Stored values are taken as they are, without the width rule.
    virtual int Load(TVesk_istream& in);
    virtual int Save(TVesk_ostream& out) const;

    float GetWidth() const { return width_; }
    void SetWidth(float width);
    bool GetFill() const { return fill_; }
    void SetFill(bool fill);
    bool GetCutOut() const { return cutOut_; }
    void SetCutOut(bool cutOut) { cutOut_ = cutOut; }
    std::int32_t GetReserved() const { return reserved_; }
    void SetReserved(std::int32_t reserved) { reserved_ = reserved; }
    std::int32_t GetLineCap() const { return lineCap_; }
    void SetLineCap(std::int32_t cap) { lineCap_ = cap; }
    std::int32_t GetLineJoin() const { return lineJoin_; }
    void SetLineJoin(std::int32_t join) { lineJoin_ = join; }

    // Opaque white instead of the colour when the surface cuts out.
    Pen CreatePen(ARGB color) const;
    SolidBrush CreateBrush(ARGB color) const;

    static bool PassesWidthRule(float width) { return static_cast<double>(width) >= 0.01; }

    bool operator==(const TVeskSurface& o) const
    {
        return width_ == o.width_ && cutOut_ == o.cutOut_ && fill_ == o.fill_ && reserved_ == o.reserved_
            && lineJoin_ == o.lineJoin_ && lineCap_ == o.lineCap_;
    }

private:
    float width_ = 1.0f;
    bool cutOut_ = false;
    bool fill_ = false;
    std::int32_t reserved_ = 4;
    std::int32_t lineJoin_ = 2;
    std::int32_t lineCap_ = 2;
};

} // namespace vesk
