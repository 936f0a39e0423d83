#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>
#include <functional>

namespace vesk {
class TVeskDocument;
}

namespace vesk::cli {

enum Exit : int { Ok = 0, Failed = 1, Usage = 2 };

// One verb's command line after option parsing: positional arguments in
// order, every value of each value option in order, the flags given.
struct Arguments {
    QStringList positional;
    QHash<QString, QStringList> values;
    QSet<QString> flags;

    // The last value given for `option`, or `fallback`.
    QString value(const QString& option, const QString& fallback = {}) const;
    QStringList all(const QString& option) const { return values.value(option); }
    bool has(const QString& flag) const { return flags.contains(flag) || values.contains(flag); }
};

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    int positionals; // exact number of positional arguments
    QStringList valueOptions; // options followed by a value ("-o", "--layer")
    QStringList flagOptions; // options without a value ("--outline")
    std::function<int(const Arguments&)> run;
};

// Output helpers shared by the commands: stdout as UTF-8, and one
// "vesk-cli: ..." line on stderr.
void Out(const QString& s);
void Err(const QString& s);
// Reads a document, reporting a failure on stderr.
bool ReadDocument(const QString& path, TVeskDocument& doc);

Command RenderCommand();
Command GerberCommand();
Command DrillCommand();
Command ImportCommand();
Command DrcCommand();

// Runs one command line (without the program name); returns the exit code.
int Run(QStringList args);

} // namespace vesk::cli
