#pragma once

#include <QString>
#include <QStringList>

namespace vesk {

// Where the program's own data (the "Bitmap" glyphs, the "pad" and "lib"
// starter folders) are found: beside the executable (a development build),
// else in the install's share/vesk2, found from the executable so that a
// moved prefix still works, else in the user's data folder of the program
// (~/.local/share/Vesk2.0), else in vesk2 of the user's and the system's
// data folders (XDG). The first of these that holds the folder wins.
QStringList DataFolderCandidates(const QString& name);
// The first candidate that exists; the one beside the executable when none does.
QString FindDataFolder(const QString& name);

} // namespace vesk
