#pragma once

#include <QString>
#include <QStringList>

namespace vesk {

// Font families for text objects. Documents name Windows families ("MS UI
// Gothic", "ＭＳ Ｐゴシック", "Arial", ...) that are not installed here; the
// stored name is kept as it is so documents save back unchanged, and Qt's
// font substitution draws it with an installed family of the same kind (IPA
// Gothic for the Japanese gothic faces, a common sans, serif or monospace for
// the Western ones). Everything here needs the font database, that is a
// QGuiApplication; without one the functions leave names as they are. Any
// thread may call them.

// The family of new texts, and of stored texts whose family cannot be drawn.
inline QString DefaultFontFamily()
{
    return QStringLiteral("MS UI Gothic");
}

// True when glyphs can be asked for at all (a QGuiApplication exists).
bool FontEngineAvailable();

// Registers the substitutions of the known Windows families. Idempotent;
// called by the text code before it asks for glyphs, and by anyone who shows
// such a family in a widget.
void InstallFontSubstitutions();

// Installed, or drawn through a substitute that is installed.
bool IsFontFamilyResolvable(const QString& family);

// The family itself when it resolves, else DefaultFontFamily(). Unchanged
// without a font engine, as nothing can be checked then.
QString ResolveFontFamily(const QString& family);

// The installed family that actually draws the given one.
QString DrawingFontFamily(const QString& family);

// Families to offer for a text: the known Windows families that resolve,
// then the installed ones, without repeats.
QStringList SelectableFontFamilies();

} // namespace vesk
