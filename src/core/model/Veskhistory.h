#pragma once

#include <cstddef>
#include <deque>
#include <memory>

namespace vesk {

class TVeskObject;

// Undo and redo by whole snapshots: after each completed edit the caller
// records a deep copy of what it edits (the document root, or the path a
// tool is building), and undo and redo hand back an earlier or later copy
// for the caller to install a clone of. Holds between 1 and the depth
// snapshots once reset, so at most depth - 1 steps can be undone; recording
// after an undo drops the steps that could have been redone. Also carries the
// document's modified flag.
class TVeskHistory {
public:
    TVeskHistory();
    ~TVeskHistory();
    TVeskHistory(const TVeskHistory&) = delete;
    TVeskHistory& operator=(const TVeskHistory&) = delete;

    // Drops every snapshot and starts over with a copy of the object; a depth
    // below 1 is taken as 1. Clears the modified flag.
    void Reset(const TVeskObject& snapshot, int depth);
    // Appends a copy of the object after the current snapshot, dropping any
    // redo steps and, beyond the depth, the oldest snapshot. Does nothing on
    // a history that was never reset. Sets the modified flag.
    void Record(const TVeskObject& snapshot);
    // The snapshot one step back (or forward), given the view scale of the
    // window it is about to be shown in; null when there is none. Owned by the
    // history: install a clone of it. Both set the modified flag, even when
    // they find nothing to do.
    const TVeskObject* Undo(double viewScale);
    const TVeskObject* Redo(double viewScale);
    // The oldest snapshot with that view scale set, or null when empty.
    const TVeskObject* First(double viewScale);
    void Clear();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    int Count() const { return int(snapshots_.size()); }
    int Depth() const { return maxDepth_; }
    bool CanUndo() const { return position_ > 0 && position_ < snapshots_.size(); }
    bool CanRedo() const { return position_ + 1 < snapshots_.size(); }

private:
    std::deque<std::unique_ptr<TVeskObject>> snapshots_;
    std::size_t position_ = 0;
    int maxDepth_ = 1;
    bool modified_ = false;
};

} // namespace vesk
