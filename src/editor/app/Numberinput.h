#pragma once

#include <QString>
#include <vector>

class QLineEdit;
class QListWidget;

namespace vesk {

class TSettingsFile;

// What the small number boxes of the tool windows share: reading what the
// user typed, showing that a value was refused, and the preset lists read
// from the settings file.

// A finite number written with a point or the user's decimal separator;
// false for anything else (empty text included).
bool ReadTypedNumber(const QString& text, double* out);

// Marks the box as holding a value that was not taken, with the reason as
// its tip; an empty reason clears the mark.
void MarkRefused(QLineEdit& edit, const QString& reason);
bool IsMarkedRefused(const QLineEdit& edit);
// Marks the box refused and points the user at it: focus, text selected
// for retyping, the reason shown beside it at once.
void RefuseInput(QLineEdit& edit, const QString& reason);

// A value as the boxes show it: up to six significant digits, no exponent
// for everyday sizes.
QString DisplayNumber(double value);

// The chosen preset copied into the box as if typed there; false when none is chosen.
bool TakePreset(const QListWidget& list, QLineEdit& edit);

// The list emptied and filled with Prefix0, Prefix1, ... of the section, up
// to the first missing or negative value; with the fallback values when the
// section has none.
void FillPresetList(QListWidget& list, const TSettingsFile& file, const QString& section,
    const QString& prefix, const std::vector<double>& fallback = {});

// A document coordinate (0.1 mm units) in millimetres with the unit, to the
// decimals the grid pitch needs and at least two: "30.48 mm" on the 1.27 mm
// grid, "0.635 mm" on the 0.635 mm one. Float noise below the last place
// does not show.
QString CoordinateText(double documentUnits, double gridPitch);

} // namespace vesk
