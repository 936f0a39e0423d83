#pragma once

#include "Vesklayerlist.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vesk {

class TVeskObject;
class TVeskPart;

// Undo and redo of a document root by recorded copies. Every top-level child
// of the root carries the recorded copy of its state at the last step; a step
// keeps, for each child an edit touched, the copies from before and after it
// (none where the child was absent), by the child's order key, and the layer
// table before and after when the edit changed it. Steps share the copies of
// what they have in common, and copies share cached geometry with the
// objects, so a step, an undo and a redo cost what changed, not what exists.
// Recorded copies are never handed out for writing: undo and redo put fresh
// copies in place. Holds at most depth - 1 steps; recording after an undo
// drops the steps that could have been redone. Also carries the document's
// modified flag.
class TVeskHistory {
public:
    // One child's part in a step.
    struct Change {
        std::int64_t key = 0;
        std::shared_ptr<const TVeskObject> before;
        std::shared_ptr<const TVeskObject> after;
    };

    TVeskHistory();
    ~TVeskHistory();
    TVeskHistory(const TVeskHistory&) = delete;
    TVeskHistory& operator=(const TVeskHistory&) = delete;

    // Drops every step and records each child of the root as it is; a depth
    // below 1 is taken as 1. Clears the modified flag.
    void Reset(TVeskPart& root, int depth);
    // Appends a step after the current one, dropping any redo steps and,
    // beyond the depth, the oldest. Nothing without changes. Sets the
    // modified flag.
    // `root` holds the root's own attributes (name, matrix, flags) before
    // and after, when the edit changed them.
    void Record(QString name, std::vector<Change> changes, std::optional<TVeskLayerTable> layersBefore,
        std::optional<TVeskLayerTable> layersAfter, Change root);
    // Takes back (puts again) the step before (after) the current state in
    // the root and the layer list, which must be the state the history last
    // left or recorded. False, with nothing changed, when there is none.
    bool Undo(TVeskPart& root, TVeskLayerList& layers);
    bool Redo(TVeskPart& root, TVeskLayerList& layers);
    void Clear();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified);
    // Called whenever the modified flag turns, with its new value.
    void SetModifiedListener(std::function<void(bool)> listener) { modifiedListener_ = std::move(listener); }

    // Turns with every step recorded, undone or redone and every reset: what
    // was found in the document at one revision holds while it stays.
    std::uint64_t Revision() const { return revision_; }

    int Count() const { return int(steps_.size()); }
    // The steps undo can take, one after the other.
    int UndoCount() const { return int(position_); }
    int Depth() const { return maxDepth_; }
    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    // The name of the step undo (redo) would take; empty when there is none.
    QString UndoName() const { return CanUndo() ? steps_[position_ - 1].name : QString(); }
    QString RedoName() const { return CanRedo() ? steps_[position_].name : QString(); }

    // The recorded copy of a top-level child as it is now: the one it
    // carries when that still equals it, else a new one it carries from now on.
    static std::shared_ptr<const TVeskObject> Recorded(const TVeskObject& child);
    // The copy the child carries, or null; its state at the last step.
    static std::shared_ptr<const TVeskObject> LastRecorded(const TVeskObject& child);
    // Puts each change's `before` (or `after`) in place in the root, as fresh
    // copies that carry it as their record.
    static void Apply(TVeskPart& root, const std::vector<Change>& changes, bool backwards);
    // Gives the root the own attributes of the record, keeping its view scale.
    static void ApplyOwn(TVeskPart& root, const TVeskObject& record);

private:
    struct Step {
        QString name;
        std::vector<Change> changes;
        std::optional<TVeskLayerTable> layersBefore;
        std::optional<TVeskLayerTable> layersAfter;
        Change root;
    };

    std::deque<Step> steps_;
    // Steps applied: steps_[position_ - 1] is the one undo takes back.
    std::size_t position_ = 0;
    int maxDepth_ = 1;
    bool modified_ = false;
    std::uint64_t revision_ = 0;
    std::function<void(bool)> modifiedListener_;
};

} // namespace vesk
