#pragma once

// Shared set-up of the path tests: the default layers, and paths built from
// anchors the way the polyline tool leaves them (every control point on its anchor).

#include "model/Vesklayerlist.h"
#include "shapes/Veskpath.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <vector>

namespace vesk::test {

// Entries of a path through the anchors with straight segments.
inline std::vector<PointF> Polyline(std::initializer_list<PointF> anchors)
{
    return vesk::StraightEntries(std::vector<PointF>(anchors));
}

inline TVeskSurface Stroke(float width)
{
    return TVeskSurface(width, false, false, 4);
}
inline TVeskSurface Filled(float width)
{
    return TVeskSurface(width, false, true, 4);
}

class PathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers.ResetToDefaults();
        solder = layers.FindLayer(QStringLiteral("solder"));
        ASSERT_NE(solder, nullptr);
    }

    std::unique_ptr<TVeskPath> MakePath(std::vector<PointF> entries, const TVeskSurface& surface,
        bool closed = false, const Matrix& matrix = Matrix())
    {
        auto path = std::make_unique<TVeskPath>(solder, surface);
        path->SetPoints(std::move(entries), {});
        path->SetClosed(closed);
        path->SetMatrix(matrix);
        return path;
    }

    // A closed filled square without stroke: its outline is exactly the square.
    std::unique_ptr<TVeskPath> Square(float left, float top, float side)
    {
        return MakePath(Polyline({ { left, top }, { left + side, top }, { left + side, top + side },
                            { left, top + side } }),
            Filled(0), true);
    }

    TVeskLayerList layers;
    TVeskLayer* solder = nullptr;
};

} // namespace vesk::test
