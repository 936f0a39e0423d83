#include "Commands.h"

#include "io/Veskdocument.h"
#include "io/Veskdump.h"
#include "shapes/Veskpart.h"

#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>
#include <functional>

namespace vesk::cli {

namespace {

    struct Command {
        const char* name;
        const char* synopsis;
        const char* help;
        std::function<int(const QStringList&)> run;
    };

    void out(const QString& s) { std::fputs(s.toUtf8().constData(), stdout); }
    void err(const QString& s) { std::fputs((QStringLiteral("vesk-cli: ") + s + u'\n').toUtf8().constData(), stderr); }

    int usage(const Command& c, const QString& problem)
    {
        err(problem);
        std::fprintf(stderr, "usage: vesk-cli %s\n", c.synopsis);
        return Usage;
    }

    bool readDocument(const QString& path, TVeskDocument& doc)
    {
        const TDocumentResult r = doc.Read(path);
        if (!r)
            err(QStringLiteral("cannot read %1: %2").arg(path, r.error));
        return r.ok;
    }

    int info(const QStringList& a)
    {
        TVeskDocument doc;
        if (!readDocument(a[0], doc))
            return Failed;
        out(DocumentSummary(doc));
        return Ok;
    }

    int dump(const QStringList& a)
    {
        TVeskDocument doc;
        if (!readDocument(a[0], doc))
            return Failed;
        out(QString::fromUtf8(QJsonDocument(DocumentToJson(doc)).toJson(QJsonDocument::Indented)));
        return Ok;
    }

    int convert(const QStringList& a)
    {
        TVeskDocument doc;
        if (!readDocument(a[0], doc))
            return Failed;
        const TDocumentResult r = doc.Write(a[1]);
        if (!r) {
            err(QStringLiteral("cannot write %1: %2").arg(a[1], r.error));
            return Failed;
        }
        return Ok;
    }

    const Command kCommands[] = {
        { "info", "info FILE.vbf",
          "Prints the format version, the layers (name, colour, mask, wire-frame),\n"
          "the number of objects of each kind and the bounds of the drawing.\n",
          [](const QStringList& a) { return info(a); } },
        { "dump", "dump FILE.vbf",
          "Prints the whole document as JSON: the layers in index order and the\n"
          "object tree with every stored field (format in the README).\n",
          [](const QStringList& a) { return dump(a); } },
        { "convert", "convert IN.vbf OUT.vbf",
          "Reads a document and writes it again in the current format (version 3).\n"
          "OUT is replaced atomically; a failed write leaves it untouched.\n",
          [](const QStringList& a) { return convert(a); } },
    };

    int argumentCount(const Command& c) { return int(QString::fromLatin1(c.synopsis).count(u' ')); }

    void printUsage(std::FILE* to)
    {
        std::fputs("usage: vesk-cli [--help] [--version] COMMAND [ARGS]\n\ncommands:\n", to);
        for (const Command& c : kCommands)
            std::fprintf(to, "  %s\n", c.synopsis);
        std::fputs("\n'vesk-cli COMMAND --help' describes a command.\n", to);
    }

} // namespace

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
    for (const Command& c : kCommands) {
        if (verb != QLatin1String(c.name))
            continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            std::printf("usage: vesk-cli %s\n\n%s", c.synopsis, c.help);
            return Ok;
        }
        for (const QString& a : args)
            if (a.startsWith(u'-') && a.size() > 1)
                return usage(c, QStringLiteral("unknown option '%1'").arg(a));
        if (args.size() != argumentCount(c))
            return usage(c, QStringLiteral("%1 expects %2 argument(s)").arg(verb).arg(argumentCount(c)));
        return c.run(args);
    }
    err(QStringLiteral("unknown command '%1'").arg(verb));
    printUsage(stderr);
    return Usage;
}

} // namespace vesk::cli
