#pragma once

// Small documents for the renderer tests: rectangles placed by their corners
// on named layers, and readers of pixels.

#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"
#include "shapes/Veskrectangle.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vesk::test {

// A filled rectangle without outline, so its area is exactly the box.
inline TVeskObject* AddRect(TVeskDocument& doc, const char* layer, RectF box, bool cutOut = false)
{
    TVeskLayer* l = doc.Layers().FindLayer(QString::fromLatin1(layer));
    EXPECT_NE(l, nullptr) << layer;
    TVeskRect proto(l, TVeskSurface(0, cutOut, true, 4));
    proto.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
    return doc.Root().Add(proto);
}

// An outlined, unfilled rectangle with the given outline width.
inline TVeskObject* AddFrame(TVeskDocument& doc, const char* layer, RectF box, float width)
{
    TVeskLayer* l = doc.Layers().FindLayer(QString::fromLatin1(layer));
    EXPECT_NE(l, nullptr) << layer;
    TVeskRect proto(l, TVeskSurface(width, false, false, 4));
    proto.SetCorners({ box.X, box.Y }, { box.GetRight(), box.GetBottom() });
    return doc.Root().Add(proto);
}

inline int LayerIndex(const TVeskDocument& doc, const char* name)
{
    const TVeskLayer* l = doc.Layers().FindLayer(QString::fromLatin1(name));
    return l ? l->index : -1;
}

// The pixel as 0xRRGGBB, alpha and premultiplication left out.
inline unsigned Rgb(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).rgb() & 0xFFFFFFu;
}

// The colour `argb` with its alpha laid over an opaque background, as 0xRRGGBB.
inline unsigned Over(unsigned argb, unsigned background)
{
    const int a = int(argb >> 24);
    unsigned out = 0;
    for (int shift : { 16, 8, 0 }) {
        const int c = int((argb >> shift) & 0xFF);
        const int b = int((background >> shift) & 0xFF);
        out |= unsigned((b * (255 - a) + c * a + 127) / 255) << shift;
    }
    return out;
}

// Largest difference of one channel between two colours 0xRRGGBB.
inline int ChannelDistance(unsigned a, unsigned b)
{
    int d = 0;
    for (int shift : { 16, 8, 0 })
        d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return d;
}

} // namespace vesk::test
