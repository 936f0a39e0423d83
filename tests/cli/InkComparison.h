#pragma once

// Two pictures of one layer compared pixel by pixel: every dark pixel of
// either must lie within a tolerance of a dark pixel of the other. Used to
// hold the pictures of Gerber readers against our own rendering.

#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vesk::test {

// The dark pixels of a picture (grey below half way).
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<bool> dark;
    long count = 0;
};

inline Ink inkOf(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    Ink ink { image.width(), image.height(), std::vector<bool>(size_t(image.width()) * image.height()), 0 };
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(line[x]) < 128) {
                ink.dark[size_t(y) * ink.width + x] = true;
                ++ink.count;
            }
    }
    return ink;
}

// Squared Euclidean distance, in pixels, from every pixel to the nearest dark
// one: the lower envelope of parabolas along the columns, then the rows.
inline std::vector<double> squaredDistanceToInk(const Ink& ink)
{
    constexpr double kFar = 1e12;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const int w = ink.width;
    const int h = ink.height;
    std::vector<double> d(ink.dark.size());
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = ink.dark[i] ? 0 : kFar;
    const auto n = static_cast<size_t>(std::max(w, h));
    std::vector<double> f(n), out(n), z(n + 1);
    std::vector<int> v(n);
    const auto envelope = [&](int len) {
        int k = 0;
        v[0] = 0;
        z[0] = -kInf;
        z[1] = kInf;
        for (int q = 1; q < len; ++q) {
            double s = 0;
            for (;;) {
                const int r = v[size_t(k)];
                s = ((f[size_t(q)] + double(q) * q) - (f[size_t(r)] + double(r) * r)) / (2.0 * (q - r));
                if (s > z[size_t(k)])
                    break;
                --k;
            }
            ++k;
            v[size_t(k)] = q;
            z[size_t(k)] = s;
            z[size_t(k) + 1] = kInf;
        }
        k = 0;
        for (int q = 0; q < len; ++q) {
            while (z[size_t(k) + 1] < q)
                ++k;
            const int r = v[size_t(k)];
            out[size_t(q)] = double(q - r) * (q - r) + f[size_t(r)];
        }
    };
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            f[size_t(y)] = d[size_t(y) * w + x];
        envelope(h);
        for (int y = 0; y < h; ++y)
            d[size_t(y) * w + x] = out[size_t(y)];
    }
    for (int y = 0; y < h; ++y) {
        std::copy_n(d.begin() + ptrdiff_t(y) * w, w, f.begin());
        envelope(w);
        std::copy_n(out.begin(), w, d.begin() + ptrdiff_t(y) * w);
    }
    return d;
}

struct Agreement {
    // Dark pixels of each picture farther than the tolerance from the other's ink.
    long oursAstray = 0;
    long theirsAstray = 0;
    // The farthest such distance of each picture, in pixels.
    double oursWorst = 0;
    double theirsWorst = 0;
    // White; grey where either picture is dark within the tolerance (or
    // excused), red where only ours is dark beyond it, blue where only gerbv's is.
    QImage diff;

    bool Agrees() const { return oursAstray == 0 && theirsAstray == 0; }
};

// `excused` marks pixels where gerbv's ink is not held against ours; none when empty.
inline Agreement compare(
    const Ink& ours, const Ink& theirs, double tolerancePixels, const std::vector<bool>& excused = {})
{
    Agreement a;
    a.diff = QImage(ours.width, ours.height, QImage::Format_RGB32);
    a.diff.fill(Qt::white);
    const std::vector<double> toOurs = squaredDistanceToInk(ours);
    const std::vector<double> toTheirs = squaredDistanceToInk(theirs);
    const double limit = tolerancePixels * tolerancePixels;
    for (int y = 0; y < ours.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(a.diff.scanLine(y));
        for (int x = 0; x < ours.width; ++x) {
            const size_t i = size_t(y) * ours.width + x;
            if (ours.dark[i] && toTheirs[i] > limit) {
                ++a.oursAstray;
                a.oursWorst = std::max(a.oursWorst, std::sqrt(toTheirs[i]));
                line[x] = qRgb(230, 0, 0);
            } else if (theirs.dark[i] && toOurs[i] > limit && (excused.empty() || !excused[i])) {
                ++a.theirsAstray;
                a.theirsWorst = std::max(a.theirsWorst, std::sqrt(toOurs[i]));
                line[x] = qRgb(0, 0, 230);
            } else if (ours.dark[i] || theirs.dark[i]) {
                line[x] = qRgb(190, 190, 190);
            }
        }
    }
    return a;
}

inline std::string describe(const Agreement& a, double toleranceMm, double mmPerPixel,
    const QString& ours = QStringLiteral("our"), const QString& theirs = QStringLiteral("gerbv's"))
{
    return QStringLiteral("%1 of %6 dark pixels lie beyond %2 mm of %7 (worst %3 mm), %4 of %7 "
                          "beyond those (worst %5 mm)")
        .arg(a.oursAstray)
        .arg(toleranceMm)
        .arg(a.oursWorst * mmPerPixel, 0, 'f', 2)
        .arg(a.theirsAstray)
        .arg(a.theirsWorst * mmPerPixel, 0, 'f', 2)
        .arg(ours, theirs)
        .toStdString();
}

} // namespace vesk::test
