#include "Commands.h"

#include "io/Veskdocument.h"
#include "io/Veskdump.h"
#include "shapes/Veskpart.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>
#include <vector>

namespace vesk::cli {

namespace {

int usage(const Command& c, const QString& problem)
{
    Err(problem);
    std::fprintf(stderr, "usage: vesk-cli %s\n", c.synopsis);
    return Usage;
}

int info(const Arguments& a)
{
    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Failed;
    Out(DocumentSummary(doc));
    return Ok;
}

int dump(const Arguments& a)
{
    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Failed;
    Out(QString::fromUtf8(QJsonDocument(DocumentToJson(doc)).toJson(QJsonDocument::Indented)));
    return Ok;
}

int convert(const Arguments& a)
{
    TVeskDocument doc;
    if (!ReadDocument(a.positional[0], doc))
        return Failed;
    const TDocumentResult r = doc.Write(a.positional[1]);
    if (!r) {
        Err(QStringLiteral("cannot write %1: %2").arg(a.positional[1], r.error.English()));
        return Failed;
    }
    return Ok;
}

// Further verbs live in files of their own and are listed here.
const std::vector<Command>& commands()
{
    static const std::vector<Command> table {
        { "info", "info FILE.vbf",
            "Prints the format version, the layers (name, colour, mask, wire-frame),\n"
            "the number of objects of each kind and the bounds of the drawing.\n",
            1, {}, {}, info },
        { "dump", "dump FILE.vbf",
            "Prints the whole document as JSON: the layers in index order and the\n"
            "object tree with every stored field (format in the README).\n",
            1, {}, {}, dump },
        { "convert", "convert IN.vbf OUT.vbf",
            "Reads a document and writes it again in the current format (version 3).\n"
            "OUT is replaced atomically; a failed write leaves it untouched.\n",
            2, {}, {}, convert },
        RenderCommand(),
        GerberCommand(),
        DrillCommand(),
        ImportCommand(),
        DrcCommand(),
    };
    return table;
}

// Splits options from positional arguments; "--" ends the options.
bool parse(const Command& c, const QStringList& args, Arguments& out, QString& problem)
{
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded || !a.startsWith(u'-') || a.size() == 1) {
            out.positional << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (c.valueOptions.contains(a)) {
            if (i + 1 >= args.size()) {
                problem = QStringLiteral("option '%1' needs a value").arg(a);
                return false;
            }
            out.values[a] << args[++i];
        } else if (c.flagOptions.contains(a)) {
            out.flags.insert(a);
        } else {
            problem = QStringLiteral("unknown option '%1'").arg(a);
            return false;
        }
    }
    if (out.positional.size() != c.positionals) {
        problem = QStringLiteral("%1 expects %2 argument(s)").arg(QLatin1String(c.name)).arg(c.positionals);
        return false;
    }
    return true;
}

void printUsage(std::FILE* to)
{
    std::fputs("usage: vesk-cli [--help] [--version] COMMAND [ARGS]\n\ncommands:\n", to);
    for (const Command& c : commands())
        std::fprintf(to, "  %s\n", c.synopsis);
    std::fputs("\n'vesk-cli COMMAND --help' describes a command.\n", to);
}

} // namespace

QString Arguments::value(const QString& option, const QString& fallback) const
{
    const QStringList v = values.value(option);
    return v.isEmpty() ? fallback : v.last();
}

void Out(const QString& s)
{
    std::fputs(s.toUtf8().constData(), stdout);
}

void Err(const QString& s)
{
    std::fputs((QStringLiteral("vesk-cli: ") + s + u'\n').toUtf8().constData(), stderr);
}

bool ReadDocument(const QString& path, TVeskDocument& doc)
{
    const TDocumentResult r = doc.Read(path);
    if (!r)
        Err(QStringLiteral("cannot read %1: %2").arg(path, r.error.English()));
    else if (doc.SkippedRecords() > 0)
        Err(QStringLiteral("%1: skipped %2 objects whose values are out of range")
                .arg(path)
                .arg(doc.SkippedRecords()));
    return r.ok;
}

int Run(QStringList args)
{
    if (args.isEmpty()) {
        printUsage(stderr);
        return Usage;
    }
    const QString verb = args.takeFirst();
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
        printUsage(stdout);
        return Ok;
    }
    if (verb == QLatin1String("--version")) {
        std::printf("vesk-cli %s\n", VESK_VERSION);
        return Ok;
    }
    for (const Command& c : commands()) {
        if (verb != QLatin1String(c.name))
            continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            std::printf("usage: vesk-cli %s\n\n%s", c.synopsis, c.help);
            return Ok;
        }
        Arguments parsed;
        QString problem;
        if (!parse(c, args, parsed, problem))
            return usage(c, problem);
        return c.run(parsed);
    }
    Err(QStringLiteral("unknown command '%1'").arg(verb));
    printUsage(stderr);
    return Usage;
}

} // namespace vesk::cli
