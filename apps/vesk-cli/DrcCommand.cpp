// vesk-cli drc: the design-rule check of a document.
#include "Commands.h"
#include "drc/Designrulecheck.h"
#include "io/Veskdocument.h"
#include "model/Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace vesk::cli {

namespace {

constexpr double kUnitsPerMm = 10.0;

// Micrometres are what a board house's rules are given in.
double mm(double v)
{
    return std::round(v * 1000.0) / 1000.0;
}

int drc(const Arguments& a)
{
    TDesignRules rules;
    const struct {
        const char* option;
        double* value;
    } options[] = { { "--clearance", &rules.clearance }, { "--width", &rules.width },
        { "--ring", &rules.ring }, { "--hole-gap", &rules.holeGap }, { "--edge", &rules.edge } };
    for (const auto& o : options) {
        const QString name = QLatin1String(o.option);
        if (!a.has(name))
            continue;
        bool ok = false;
        const double v = a.value(name).toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < 0 || v >= 1000) {
            Err(QStringLiteral("%1 needs a distance in millimetres from 0 to 999.999, not \"%2\"")
                    .arg(name, a.value(name)));
            return Usage;
        }
        *o.value = v;
    }
    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Usage;

    // Progress only where someone watches it: not into a pipe or a file.
    const bool terminal = isatty(fileno(stderr));
    const TDrcResult result
        = CheckDesignRules(doc.Root(), doc.Layers(), rules, [terminal](int done, int total) {
              if (terminal)
                  std::fprintf(stderr, "\rchecking: %3d%%", total > 0 ? done * 100 / total : 100);
              return true;
          });
    if (terminal)
        std::fputs("\r               \r", stderr);

    const bool json = a.has(QStringLiteral("--json"));
    for (const TDrcFinding& f : result.findings) {
        const PointF at = f.At();
        if (json) {
            const QJsonObject o { { QStringLiteral("rule"), DrcRuleKey(f.rule) },
                { QStringLiteral("layer"), f.layer }, { QStringLiteral("x"), mm(at.X / kUnitsPerMm) },
                { QStringLiteral("y"), mm(at.Y / kUnitsPerMm) }, { QStringLiteral("found"), mm(f.found) },
                { QStringLiteral("required"), mm(f.required) } };
            Out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) + u'\n');
        } else {
            Out(QStringLiteral("%1 %2 at %3, %4 mm: %5 mm, needs %6 mm\n")
                    .arg(DrcRuleKey(f.rule), f.layer)
                    .arg(at.X / kUnitsPerMm, 0, 'f', 3)
                    .arg(at.Y / kUnitsPerMm, 0, 'f', 3)
                    .arg(f.found, 0, 'f', 3)
                    .arg(f.required, 0, 'f', 3));
        }
    }
    if (!json)
        Out(QStringLiteral("%1 finding(s)\n").arg(result.findings.size()));
    return result.findings.empty() ? Ok : Failed;
}

} // namespace

Command DrcCommand()
{
    return { "drc",
        "drc DOC.vbf [--clearance MM] [--width MM] [--ring MM] [--hole-gap MM] [--edge MM] [--json]",
        "Checks the copper of \"solder\" and \"component\" against design rules\n"
        "(millimetres, defaults in brackets): --clearance, two separate pieces of\n"
        "copper at least this far apart [0.3]; --width, copper at least this wide\n"
        "[0.2]; --ring, the copper ring around each hole of \"hole\" (and of\n"
        "\"npth\" layers) at least this wide, and every hole on copper inside it\n"
        "[0.25]; --hole-gap, holes this far apart edge to edge [0.25]; --edge,\n"
        "copper this far inside the board's outline, the centre line of what is\n"
        "drawn on \"dimension\" [0.3]. Pieces of copper that touch are one\n"
        "conductor. Prints one line per finding (rule, layer, place in mm, the\n"
        "distance found and the one required), or with --json one JSON object\n"
        "per line (rule, layer, x, y, found, required). Exits 1 when anything is\n"
        "found, 0 when nothing is, 2 on a bad file or option.\n",
        1,
        { QStringLiteral("--clearance"), QStringLiteral("--width"), QStringLiteral("--ring"),
            QStringLiteral("--hole-gap"), QStringLiteral("--edge") },
        { QStringLiteral("--json") }, drc };
}

} // namespace vesk::cli
