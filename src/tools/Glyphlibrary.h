#pragma once

#include <QCursor>
#include <QHash>
#include <QIcon>
#include <QString>

namespace vesk {

// Button glyphs and the pan cursor by the names the tools use
// ("Bitmap\OK.bmp", "Bitmap/Zin.bmp" or just "OK"). A glyph is looked up in
// the glyph folder first ("Bitmap" among the program's data unless
// told otherwise) as NAME.svg, NAME.png or NAME.bmp, then among the images built
// into the program, so a missing or partial folder never leaves a button
// blank. Vector images give icons that stay crisp at any device pixel ratio;
// a .bmp takes its lower-left pixel as the transparent colour, as old glyph
// bitmaps expect.
class GlyphLibrary {
public:
    // The glyph folder "Bitmap" of the program's data (see FindDataFolder).
    static QString DefaultFolder();
    // "Bitmap\OK.bmp" -> "OK".
    static QString BaseName(const QString& glyphName);

    explicit GlyphLibrary(QString folder = DefaultFolder());

    const QString& Folder() const { return folder_; }

    // The file that serves the glyph: in the folder, else the built-in one
    // (a ":/" resource path); empty for a name known to neither.
    QString Locate(const QString& glyphName) const;
    // Null icon for a name known to neither.
    QIcon Icon(const QString& glyphName);
    // The glyph drawn at size x size logical pixels for the given device pixel ratio.
    QPixmap Pixmap(const QString& glyphName, int size, qreal devicePixelRatio = 1.0);

    // "NEKOCURSOR": the cursor shown while panning, hot spot in the palm.
    QCursor PanCursor(qreal devicePixelRatio = 1.0);

private:
    QString folder_;
    QHash<QString, QIcon> icons_;
};

} // namespace vesk
