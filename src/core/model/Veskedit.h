#pragma once

#include "Vesklayerlist.h"
#include "shapes/Veskpart.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vesk {

class TVeskDocument;
class TVeskHistory;
class TVeskObject;

// The one way a document changes: an edit transaction. Whoever changes the
// document (a tool's gesture, a command, a dialog, the clipboard, an
// import) opens a named step, changes objects and layers, and commits or
// reverts. While a step is open the root reports every child that changes,
// arrives or leaves, and callers may declare an object before changing it
// (Modify), which is how a change made through a borrowed pointer is seen.
// Commit records a history step of exactly the touched children that now
// differ from their state at the last step (and of the layer table when it
// changed), and marks the document modified; a step that changed nothing
// records nothing. Revert puts the touched children and the layer table
// back. Undo and redo go through here too, so that nothing is recorded or
// taken back under a step still open.
//
// Models: KiCad's COMMIT (Modify before a change, then Push or Revert) and
// Horizon EDA's ToolResponse (the core decides commit or revert).
class TVeskEdit : private TVeskPart::Watcher {
public:
    TVeskEdit(TVeskDocument& document, TVeskHistory& history);
    ~TVeskEdit() override;
    TVeskEdit(const TVeskEdit&) = delete;
    TVeskEdit& operator=(const TVeskEdit&) = delete;

    // Starts over on the document as it is: no step open, the history reset
    // to the depth with the document unmodified.
    void Reset(int depth);

    // Opens a step with the name the user will see ("移動"). While one is
    // open, a further Begin joins it and keeps its name.
    void Begin(const QString& name);
    bool IsOpen() const { return open_; }
    const QString& Name() const { return name_; }
    // Declares an object (at any depth) about to change; with `rebuild`, its
    // outlines are built again before the step is recorded (a change made
    // through GetEditSurface, which the object cannot see); the object must
    // then stay in the document until the step ends. Opens an unnamed step
    // when none is open.
    void Modify(TVeskObject& object, bool rebuild = false);
    // Ends the open step; true when it changed something and was recorded.
    bool Commit();
    // Ends the open step, putting back what it changed.
    void Revert();

    // A step open is committed first. False when there is nothing to take.
    bool Undo();
    bool Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    QString UndoName() const;
    QString RedoName() const;

    TVeskHistory& History() { return history_; }
    TVeskDocument& Document() { return document_; }

private:
    struct Touch {
        TVeskObject* live = nullptr; // null once it left the root
        std::shared_ptr<const TVeskObject> before;
    };

    void ChildTouched(TVeskObject& child) override;
    void ChildLeaving(TVeskObject& child) override;
    Touch& touch(TVeskObject& child);
    void watch();
    void close();

    TVeskDocument& document_;
    TVeskHistory& history_;
    TVeskPart* watched_ = nullptr;
    bool open_ = false;
    QString name_;
    std::unordered_map<std::int64_t, Touch> touched_;
    std::vector<TVeskObject*> rebuild_;
    std::optional<TVeskLayerTable> layersBefore_;
    // The root's own attributes when the step opened.
    std::shared_ptr<const TVeskObject> rootBefore_;
};

} // namespace vesk
