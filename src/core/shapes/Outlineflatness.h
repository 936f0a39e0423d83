#pragma once

namespace vesk {

// How far the outlines objects build for export and checks may lie from
// their true curves (document units): 0.25 unless a check on this thread
// asked for finer. The outlines kept for drawing are built at 0.25 always.
float OutlineFlatness();

// Finer outlines on this thread while it lives: a design-rule check
// measures to the micrometre, where a round pad flattened at 25 µm would
// read up to 25 µm narrower than it is.
class TOutlineFlatnessScope {
public:
    explicit TOutlineFlatnessScope(float flatness);
    ~TOutlineFlatnessScope();
    TOutlineFlatnessScope(const TOutlineFlatnessScope&) = delete;
    TOutlineFlatnessScope& operator=(const TOutlineFlatnessScope&) = delete;

private:
    float previous_;
};

} // namespace vesk
