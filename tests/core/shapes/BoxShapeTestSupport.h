#pragma once

// Shared set-up of the rectangle and ellipse tests: the default layers, shapes
// of either kind built the way their tools build them, rendering into a small
// image, and record reading by tag.

#include "io/Veskfilestream.h"
#include "model/Colorstyle.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskellipse.h"
#include "shapes/Veskrectangle.h"

#include <QImage>
#include <QPainter>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace vesk::test {

enum class BoxKind { Rect, Ellipse };

inline std::ostream& operator<<(std::ostream& os, BoxKind k)
{
    return os << (k == BoxKind::Rect ? "Rect" : "Ellipse");
}

inline TVeskSurface StrokeOnly(float width)
{
    return TVeskSurface(width, false, false, 4);
}
inline TVeskSurface FillOnly()
{
    return TVeskSurface(0, false, true, 4);
}
inline TVeskSurface StrokeAndFill(float width)
{
    return TVeskSurface(width, false, true, 4);
}

// A square of half side r (rectangle) or a circle of radius r (ellipse)
// centred on c; both have the local box (-r, -r, 2r, 2r) and are selected, as
// their tools leave them.
inline std::unique_ptr<TVeskBoxShape> MakeBox(
    BoxKind kind, TVeskLayer* layer, const TVeskSurface& surface, PointF c, float r)
{
    if (kind == BoxKind::Rect) {
        auto rect = std::make_unique<TVeskRect>(layer, surface);
        rect->SetCorners(c - PointF(r, r), c + PointF(r, r));
        return rect;
    }
    auto ellipse = std::make_unique<TVeskEllipse>(layer, surface);
    ellipse->SetCircle(c, c + PointF(r, 0));
    return ellipse;
}

inline std::unique_ptr<TVeskBoxShape> MakeEmptyBox(
    BoxKind kind, TVeskLayer* layer, const TVeskSurface& surface)
{
    if (kind == BoxKind::Rect)
        return std::make_unique<TVeskRect>(layer, surface);
    return std::make_unique<TVeskEllipse>(layer, surface);
}

// Reads one record by its tag with the kinds' stream constructors; null when
// the tag is neither or the record is broken.
inline std::unique_ptr<TVeskBoxShape> ReadBox(TVesk_istream& in)
{
    char tag[4];
    if (!in.ReadRaw(tag, 4))
        return nullptr;
    std::unique_ptr<TVeskBoxShape> shape;
    if (std::memcmp(tag, "RECT", 4) == 0)
        shape = std::make_unique<TVeskRect>(in);
    else if (std::memcmp(tag, "ELPS", 4) == 0)
        shape = std::make_unique<TVeskEllipse>(in);
    if (in.Failed())
        return nullptr;
    return shape;
}

inline QByteArray Saved(const TVeskObject& o)
{
    TVesk_ostream out;
    EXPECT_EQ(o.Save(out), 0);
    return out.Buffer();
}

// A white image of the given size in document units at zoom 1.
class BoxCanvas {
public:
    explicit BoxCanvas(int size = 60)
        : image_(size, size, QImage::Format_ARGB32)
    {
        image_.fill(Qt::white);
    }
    QImage& Image() { return image_; }
    QRgb At(int x, int y) const { return image_.pixel(x, y); }
    bool Blank(int x, int y) const { return image_.pixel(x, y) == qRgb(255, 255, 255); }

private:
    QImage image_;
};

class BoxShapeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        layers.ResetToDefaults();
        component = layers.FindLayer(QStringLiteral("component"));
        ASSERT_NE(component, nullptr);
    }

    template <class F> void Paint(BoxCanvas& canvas, F&& f)
    {
        QPainter g(&canvas.Image());
        f(g);
    }

    TVeskLayerList layers;
    TVeskLayer* component = nullptr;
    TDrawStyle style;
};

} // namespace vesk::test
