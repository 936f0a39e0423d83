#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QIODevice;

namespace vesk {

class TVeskGroup;
class TVeskLayerList;
class TVeskObject;

// Pad and library part files: ordinary documents whose objects are inserted
// into another one as a group. The file's own layer table is skipped; its
// objects attach to the layers of `layers` by name, and a name the list
// lacks adds that layer, as any document reading does. Null when the file
// cannot be opened, is not a document, holds no root record or is cut
// short: a part that silently lacks some of its pads is worse than none.
std::unique_ptr<TVeskGroup> ReadPartFile(const QString& fileName, TVeskLayerList& layers);
// The same from a device open for reading.
std::unique_ptr<TVeskGroup> ReadPart(QIODevice& device, TVeskLayerList& layers);

// A pad or library part kept apart from every document until it is placed:
// its objects lie on a layer list of its own, the file's table, so that
// listing or previewing parts never changes the open document.
class TVeskPartArtwork {
public:
    // Null where ReadPartFile gives null.
    static std::unique_ptr<TVeskPartArtwork> ReadFile(const QString& fileName);
    static std::unique_ptr<TVeskPartArtwork> Read(QIODevice& device);
    ~TVeskPartArtwork();

    const TVeskGroup& Group() const { return *group_; }
    TVeskGroup& Group() { return *group_; }
    // The file's layers, which the group's objects lie on.
    const TVeskLayerList& Layers() const { return *layers_; }
    // A copy whose objects lie on the layers of `into` named as theirs; a
    // name `into` lacks is added there with the file's colour and flags,
    // above the current layer, which stays current.
    std::unique_ptr<TVeskGroup> PlaceOn(TVeskLayerList& into) const;

private:
    TVeskPartArtwork();

    std::unique_ptr<TVeskLayerList> layers_;
    std::unique_ptr<TVeskGroup> group_;
};

// What a pad or library folder lists, in an order that does not depend on
// the file system: names compared case-insensitively with their numbers as
// numbers (DIP-8 before DIP-14), ties by the exact name. Hidden entries
// (a leading dot) are left out.
QStringList PartSubfolders(const QString& folder);
// The "*.vbf" files (any case of the extension).
QStringList PartFiles(const QString& folder);

} // namespace vesk
