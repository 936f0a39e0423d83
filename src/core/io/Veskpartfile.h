#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QIODevice;

namespace vesk {

class TVeskGroup;
class TVeskLayerList;

// Pad and library part files: ordinary documents whose objects are inserted
// into another one as a group. The file's own layer table is skipped; its
// objects attach to the layers of `layers` by name, and a name the list
// lacks adds that layer, as any document reading does. Null when the file
// cannot be opened, is not a document, holds no root record or is cut
// short: a part that silently lacks some of its pads is worse than none.
std::unique_ptr<TVeskGroup> ReadPartFile(const QString& fileName, TVeskLayerList& layers);
// The same from a device open for reading.
std::unique_ptr<TVeskGroup> ReadPart(QIODevice& device, TVeskLayerList& layers);

// What a pad or library folder lists, in an order that does not depend on
// the file system: names compared case-insensitively with their numbers as
// numbers (DIP-8 before DIP-14), ties by the exact name. Hidden entries
// (a leading dot) are left out.
QStringList PartSubfolders(const QString& folder);
// The "*.vbf" files (any case of the extension).
QStringList PartFiles(const QString& folder);

} // namespace vesk
