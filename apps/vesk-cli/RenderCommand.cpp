// vesk-cli render: a document to PNG or PDF through the renderer's print path.
#include "Commands.h"
#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "render/Renderexport.h"
#include "render/Veskrenderer.h"
#include "shapes/Veskpart.h"

#include <QRegularExpression>
#include <cstdio>

namespace vesk::cli {

namespace {

const char* const kSynopsis = "render DOC.vbf -o OUT.png|OUT.pdf [--dpi N] [--layer NAME]... [--black] "
                              "[--negative] [--mirror] [--area WxH|fit]";

// Room around the drawing when the window is fitted to it: 1 mm.
constexpr float kFitMargin = 10.0f;

int usage(const QString& problem)
{
    Err(problem);
    std::fprintf(stderr, "usage: vesk-cli %s\n", kSynopsis);
    return Usage;
}

// "WxH" in millimetres, or "fit".
bool parseArea(const QString& text, RectF& window, bool& fit)
{
    fit = text == QLatin1String("fit");
    if (fit)
        return true;
    static const QRegularExpression form(QStringLiteral("^\\s*([0-9.]+)\\s*[xX]\\s*([0-9.]+)\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return false;
    bool okW = false, okH = false;
    const double w = m.captured(1).toDouble(&okW);
    const double h = m.captured(2).toDouble(&okH);
    // Up to 10 m a side: far beyond any board, short of float trouble.
    if (!okW || !okH || !(w > 0 && w <= 10000) || !(h > 0 && h <= 10000))
        return false;
    window = RectF(0, 0, float(w * 10.0), float(h * 10.0));
    return true;
}

int render(const Arguments& a)
{
    const QString out = a.value(QStringLiteral("-o"));
    if (out.isEmpty())
        return usage(QStringLiteral("render needs -o OUT.png or -o OUT.pdf"));
    const bool pdf = out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    if (!pdf && !out.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return usage(QStringLiteral("the output must end in .png or .pdf: %1").arg(out));

    TExportOptions options;
    if (a.has(QStringLiteral("--dpi"))) {
        bool ok = false;
        options.dotsPerInch = a.value(QStringLiteral("--dpi")).toInt(&ok);
        if (!ok || options.dotsPerInch < 1 || options.dotsPerInch > TExportOptions::kMaxDotsPerInch)
            return usage(QStringLiteral("--dpi takes a whole number from 1 to %1")
                             .arg(TExportOptions::kMaxDotsPerInch));
    }
    bool fit = false;
    if (a.has(QStringLiteral("--area")) && !parseArea(a.value(QStringLiteral("--area")), options.window, fit))
        return usage(QStringLiteral("--area takes WIDTHxHEIGHT in millimetres (such as 100x75) or 'fit'"));
    options.black = a.has(QStringLiteral("--black"));
    options.negative = a.has(QStringLiteral("--negative"));
    options.mirror = a.has(QStringLiteral("--mirror"));

    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Failed;

    // Every layer of a name: names need not be unique.
    const TVeskLayerList& layers = doc.Layers();
    for (const QString& name : a.all(QStringLiteral("--layer"))) {
        bool found = false;
        for (int i = 0; i < layers.LayerCount(); ++i) {
            if (layers.LayerAt(i)->Name() == name) {
                options.layers.push_back(i);
                found = true;
            }
        }
        if (!found)
            return usage(QStringLiteral("%1 has no layer named '%2'").arg(a.positional[0], name));
    }

    if (fit) {
        std::vector<int> chosen = options.layers;
        if (chosen.empty())
            for (int i = 0; i < layers.LayerCount(); ++i)
                if (layers.LayerAt(i)->visible)
                    chosen.push_back(i);
        RectF bounds;
        // A drawing with nothing to show keeps the default work area.
        if (TVeskRenderer::DrawingBounds(doc.Root(), chosen, bounds)) {
            bounds.Inflate(kFitMargin, kFitMargin);
            options.window = bounds;
        }
    }

    const TDocumentResult r = pdf ? ExportPdf(doc, options, out) : ExportPng(doc, options, out);
    if (!r) {
        Err(QStringLiteral("cannot write %1: %2").arg(out, r.error.English()));
        return Failed;
    }
    return Ok;
}

} // namespace

Command RenderCommand()
{
    return { "render", kSynopsis,
        "Renders the document to a PNG at --dpi pixels per inch (default 254, one\n"
        "pixel per 0.1 mm) or to a one-page PDF at true scale.\n"
        "\n"
        "The picture shows the window --area WxH (millimetres, default 100x75, the\n"
        "default work area) with the document origin at its top-left corner, where\n"
        "printing puts it; --area fit shows the drawn shapes with 1 mm around them.\n"
        "\n"
        "Layers: each --layer NAME adds every layer of that name; without --layer\n"
        "every visible layer is drawn. Layer 0 is drawn on top.\n"
        "\n"
        "  --black     print colours: black ink on white paper, mask layers and\n"
        "              cut-outs in the paper colour\n"
        "  --negative  white ink on black paper (implies --black)\n"
        "  --mirror    turned over about the vertical centre line of the window\n"
        "\n"
        "Without --black the layers keep their screen colours on the background.\n",
        1,
        { QStringLiteral("-o"), QStringLiteral("--dpi"), QStringLiteral("--layer"),
            QStringLiteral("--area") },
        { QStringLiteral("--black"), QStringLiteral("--negative"), QStringLiteral("--mirror") }, render };
}

} // namespace vesk::cli
