#pragma once

#include "geometry/PointF.h"
#include "io/Veskdocument.h"

#include <QImage>
#include <QString>
#include <vector>

namespace vesk {

// One picture of a document written to a file: the window of the document
// that becomes the picture, its resolution, the layers and the print
// choices. The window's top-left corner is the page's top-left corner; with
// the work area as the window (origin 0, 0) that is where printing puts it.
struct TExportOptions {
    // Document units (0.1 mm). The default is the default work area, 100 x 75 mm.
    RectF window { 0, 0, 1000, 750 };
    // Pixels per inch of a PNG; for a PDF the resolution wire-frame
    // outlines are one pixel wide at (the page itself is at true scale).
    int dotsPerInch = 254;
    // Layer indices; empty stands for every visible layer.
    std::vector<int> layers;
    // Print colours (black ink on white paper) instead of the screen's.
    bool black = false;
    // Black paper and white ink; implies black.
    bool negative = false;
    // Turned over about the vertical centre line of the window.
    bool mirror = false;

    static constexpr int kMaxDotsPerInch = 10000;
    // Largest PNG side and area in pixels, to refuse sizes no one can load.
    static constexpr int kMaxImageSide = 32767;
    static constexpr qint64 kMaxImagePixels = 128LL * 1024 * 1024;
};

// Renders a document at the options' resolution; a null image and a reason
// when the size is out of range.
QImage RenderDocumentImage(const TVeskDocument& doc, const TExportOptions& options, QString* error = nullptr);
// PNG at the options' resolution, which the file records. Written atomically.
TDocumentResult ExportPng(const TVeskDocument& doc, const TExportOptions& options, const QString& fileName);
// One PDF page the size of the window, at true scale. Written atomically.
TDocumentResult ExportPdf(const TVeskDocument& doc, const TExportOptions& options, const QString& fileName);

} // namespace vesk
