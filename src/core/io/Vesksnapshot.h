#pragma once

#include "Veskdocument.h"
#include "model/Vesklayerlist.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace vesk {

class TVeskEdit;
class TVeskObject;
class TVeskPart;
class TVesk_ostream;

// A document as the history last recorded it, frozen: the recorded copy of
// every top-level child (shared with the history, never written to), the
// root's own attributes and the layer table with the names to write for
// each layer. Taking one copies pointers, not objects, so the editor can
// take it between two frames; writing it touches nothing of the live
// document, so it can run on another thread while the user goes on drawing.
class TVeskSnapshot {
public:
    // Null while a step is open (the recorded state is then not the one the
    // document will come back to); children never recorded are left out.
    static std::shared_ptr<const TVeskSnapshot> Take(TVeskEdit& edit);
    ~TVeskSnapshot();

    // Whether both hold the same state: the same recorded copies, layers
    // and root attributes.
    bool SameState(const TVeskSnapshot& other) const;
    int ChildCount() const { return int(children_.size()); }

    // A document file, replaced atomically; safe on any thread.
    TDocumentResult Write(const QString& fileName) const;
    // The file's bytes.
    QByteArray ToBytes() const;

private:
    TVeskSnapshot();
    void writeBody(TVesk_ostream& out) const;

    std::vector<std::shared_ptr<const TVeskObject>> children_;
    std::unique_ptr<TVeskPart> own_;
    TVeskLayerTable layers_;
};

} // namespace vesk
