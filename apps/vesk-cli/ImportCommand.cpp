// vesk-cli import: a drawing of the old program (.pcb) added to a document as
// one group, with the file's layers mapped onto the document's.
#include "Commands.h"
#include "import/Veskimportmapping.h"
#include "io/Veskdocument.h"
#include "shapes/Veskpart.h"

#include <QFile>
#include <QHash>
#include <cstdio>

namespace vesk::cli {

namespace {

const char* const kSynopsis = "import FILE.pcb -o OUT.vbf [--into DOC.vbf] [--map ROW=LAYER]...";

int usageError(const QString& problem)
{
    Err(problem);
    std::fprintf(stderr, "usage: vesk-cli %s\n", kSynopsis);
    return Usage;
}

// "ROW=LAYER" options: ROW a file layer row from 0, LAYER a document layer
// name (everything after the first '=', possibly empty). The last one given
// for a row counts.
bool parseMaps(const QStringList& arguments, QHash<int, QString>& maps, QString& problem)
{
    for (const QString& argument : arguments) {
        const qsizetype eq = argument.indexOf(u'=');
        bool ok = false;
        const int row = eq > 0 ? argument.left(eq).toInt(&ok) : -1;
        if (!ok || row < 0) {
            problem
                = QStringLiteral("--map needs ROW=LAYER with ROW a number from 0, not '%1'").arg(argument);
            return false;
        }
        maps[row] = argument.mid(eq + 1);
    }
    return true;
}

QString where(const TVeskDocument& doc, const QString& destination)
{
    if (destination.isEmpty())
        return QStringLiteral("(not imported)");
    if (!TVeskImportMapping::Resolve(doc.Layers(), destination))
        return QStringLiteral("(not imported: no layer \"%1\")").arg(destination);
    return destination;
}

int import(const Arguments& a)
{
    const QString output = a.value(QStringLiteral("-o"));
    if (output.isEmpty())
        return usageError(QStringLiteral("import needs an output document: -o OUT.vbf"));
    QHash<int, QString> maps;
    QString problem;
    if (!parseMaps(a.all(QStringLiteral("--map")), maps, problem))
        return usageError(problem);

    TVeskDocument doc;
    if (a.has(QStringLiteral("--into")) && !ReadDocument(a.value(QStringLiteral("--into")), doc))
        return Failed;
    const QString input = a.positional[0];
    TVeskImportMapping mapping;
    if (!mapping.Open(input)) {
        QFile probe(input);
        Err(probe.open(QIODevice::ReadOnly)
                ? QStringLiteral("cannot read %1: no layer definitions ([LayerDef]); not a .pcb drawing")
                      .arg(input)
                : QStringLiteral("cannot read %1: the file cannot be opened").arg(input));
        return Failed;
    }
    for (auto it = maps.cbegin(); it != maps.cend(); ++it) {
        if (it.key() >= mapping.RowCount())
            return usageError(QStringLiteral("--map %1: %2 has layer rows 0 to %3")
                                  .arg(it.key())
                                  .arg(input)
                                  .arg(mapping.RowCount() - 1));
    }
    // A row without --map goes to the document layer of its own name, if there is one.
    for (int row = 0; row < mapping.RowCount(); ++row)
        mapping.SetDestination(row, maps.value(row, mapping.SourceNames()[row]));

    mapping.Import(doc.Layers(), doc.Root());
    const TDocumentResult written = doc.Write(output);
    if (!written) {
        Err(QStringLiteral("cannot write %1: %2").arg(output, written.error.English()));
        return Failed;
    }

    const TVeskImporter& importer = mapping.Importer();
    const TImportCounts& n = importer.Counts();
    QString text;
    text += QStringLiteral("version: %1\n")
                .arg(importer.Version() < 0 ? QStringLiteral("(none)") : QString::number(importer.Version()));
    text += QStringLiteral("layers: %1\n").arg(mapping.RowCount());
    for (int row = 0; row < mapping.RowCount(); ++row)
        text += QStringLiteral("  %1 %2 -> %3\n")
                    .arg(row)
                    .arg(mapping.SourceNames()[row], where(doc, mapping.Destination(row)));
    text += QStringLiteral("imported: %1 objects, %2 groups\n").arg(n.shapes).arg(n.groups);
    text += QStringLiteral("dropped: %1 on layers not imported, %2 unreadable\n")
                .arg(n.unmapped)
                .arg(n.invalid);
    if (n.flattened > 0)
        text += QStringLiteral("flattened: %1 groups nested deeper than %2\n")
                    .arg(n.flattened)
                    .arg(TVeskImporter::kMaxGroupDepth);
    if (!importer.FoundItemSection())
        text += QStringLiteral("note: the file has no drawing items ([DrawItems])\n");
    Out(text);
    return Ok;
}

} // namespace

Command ImportCommand()
{
    return { "import", kSynopsis,
        "Reads a drawing of the old program (.pcb) and adds it as one group to a\n"
        "document: the document given with --into, else a new one with the default\n"
        "layers. The result is written to OUT (replaced atomically).\n"
        "\n"
        "Each layer of the file is a row, counted from 0. --map ROW=LAYER sends that\n"
        "row's items to the document layer LAYER (exact, case-sensitive name);\n"
        "--map ROW= leaves them out. A row without --map goes to the document layer\n"
        "of the same name, if there is one; items of rows that reach no layer are\n"
        "dropped. Prints the file's layers, where each went, and what was imported\n"
        "and dropped.\n",
        1, { QStringLiteral("-o"), QStringLiteral("--into"), QStringLiteral("--map") }, {}, import };
}

} // namespace vesk::cli
