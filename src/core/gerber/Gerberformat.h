#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace vesk {

// The two kinds of Gerber file the export writes. The classic one keeps the
// records older plotters expect (3.3 micrometre coordinates, G54 selections,
// the image mirrored in y by "%MIA0B1*%", fills as hatches). X2 is what
// current readers follow: nanometre coordinates with y negated, extended
// commands only, file attributes, and fills as regions of the exact outline.
enum class TGerberFormat { Rs274x, X2 };

// What a board house reads from a layer's name: the ".FileFunction" and
// ".FilePolarity" values of its X2 file. The default layers and "npth" (the
// non-plated holes the starter parts bring) are known; any other name is "Other".
struct TGerberLayerRole {
    const char* fileFunction;
    const char* filePolarity;
    // False for a layer whose name is none of the known ones.
    bool known;
};

TGerberLayerRole GerberLayerRole(const QString& layerName);

// The attribute lines that open an X2 file: generation software, creation
// date (ISO 8601 with the UTC offset), file function and polarity, each as a
// "G04 #@! TF." comment, and for a layer of no known role a comment naming it.
QByteArray GerberX2Attributes(const QString& layerName, const QDateTime& created);

// The layer name made safe for a comment or attribute field: UTF-8, with the
// record delimiters "*" and "%", "," and control characters replaced by "_".
QByteArray GerberFieldText(const QString& text);

// A date as the attributes give it: ISO 8601 with the offset from UTC.
QByteArray GerberCreationDate(const QDateTime& when);

// The program's name and version as the file attributes give them.
QByteArray GerberGenerationSoftware();

} // namespace vesk
