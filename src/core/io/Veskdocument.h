#pragma once

#include "model/Vesklayerlist.h"
#include "model/Veskmessage.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace vesk {

class TVeskObject;
class TVeskPart;

// Outcome of reading or writing a document; `error` says why when `ok` is false.
struct TDocumentResult {
    bool ok = true;
    TVeskMessage error;
    explicit operator bool() const { return ok; }
};

// A document in memory: the layer list and the root part that holds every
// object, with the file's format version. The editor and the command line
// each create one; nothing here reaches a window. Hiding or locking a layer
// drops its objects from the selection, whoever does it.
class TVeskDocument {
public:
    TVeskDocument();
    ~TVeskDocument();
    TVeskDocument(const TVeskDocument&) = delete;
    TVeskDocument& operator=(const TVeskDocument&) = delete;

    TVeskLayerList& Layers() { return layers_; }
    const TVeskLayerList& Layers() const { return layers_; }
    TVeskPart& Root() { return *root_; }
    const TVeskPart& Root() const { return *root_; }
    // Takes ownership; the objects must lie on layers of this document.
    void SetRoot(std::unique_ptr<TVeskPart> root);
    std::unique_ptr<TVeskPart> TakeRoot();

    // Format version of the file last read (3 for a new document).
    int FileVersion() const { return fileVersion_; }
    // Records of the file last read that were left out for values no
    // drawing can have; the rest of the file reads as ever.
    int SkippedRecords() const { return skippedRecords_; }

    // Default layers and an empty root.
    void Reset();

    // Reads a whole document file. A file that cannot be opened or holds no
    // header leaves the document reset and returns an error; anything after the
    // header that is cut short or corrupt ends the reading with what was complete.
    TDocumentResult Read(const QString& fileName);
    void ReadBytes(const QByteArray& fileBytes);

    // Header, layer table, root record. The file is replaced atomically: a
    // failure leaves any previous file untouched and is reported.
    TDocumentResult Write(const QString& fileName) const;
    QByteArray ToBytes() const;

private:
    bool readFrom(class TVesk_istream& in);

    TVeskLayerList layers_;
    // The layers by index as the root's index last numbered them.
    std::vector<const TVeskLayer*> numbered_;
    std::unique_ptr<TVeskPart> root_;
    int fileVersion_ = 3;
    int skippedRecords_ = 0;
};

} // namespace vesk
