#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

namespace vesk {

class TVeskObject;

// Undo and redo by snapshots: after each completed edit the caller records
// what it edits (the document root, or the path a tool is building), and undo
// and redo hand back a copy of an earlier or later state for the caller to
// install in its place. Holds between 1 and the depth states once reset, so
// at most depth - 1 steps can be undone; recording after an undo drops the
// steps that could have been redone. Also carries the document's modified
// flag.
//
// A step costs what changed, not what exists: a container is recorded as its
// own attributes and its children, and a child that equals the recorded copy
// it was last matched with (or installed from) shares that copy with the
// earlier steps. Recorded copies are never handed out: every state given back
// is a fresh copy, whose objects share only immutable cached geometry with
// the record, so nothing the caller does to it reaches a recorded state.
class TVeskHistory {
public:
    TVeskHistory();
    ~TVeskHistory();
    TVeskHistory(const TVeskHistory&) = delete;
    TVeskHistory& operator=(const TVeskHistory&) = delete;

    // Drops every state and starts over with the object's; a depth below 1
    // is taken as 1. Clears the modified flag.
    void Reset(const TVeskObject& state, int depth);
    // Appends the object's state after the current one, dropping any redo
    // steps and, beyond the depth, the oldest state. Does nothing on a
    // history that was never reset. Sets the modified flag.
    void Record(const TVeskObject& state);
    // A copy of the state one step back (or forward) with the view scale of
    // the window it is about to be shown in, owned by the caller; null when
    // there is none. Both set the modified flag, even when they find nothing
    // to do. `replaced` is the state the caller is about to discard, if it has
    // one: its children that equal their records and carry no editing state
    // move over instead of being copied, so installing costs what differs.
    // It is left with the children that did not move.
    std::unique_ptr<TVeskObject> Undo(double viewScale, TVeskObject* replaced = nullptr);
    std::unique_ptr<TVeskObject> Redo(double viewScale, TVeskObject* replaced = nullptr);
    // A copy of the oldest state with that view scale, or null when empty.
    std::unique_ptr<TVeskObject> First(double viewScale) const;
    void Clear();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    int Count() const { return int(steps_.size()); }
    int Depth() const { return maxDepth_; }
    bool CanUndo() const { return position_ > 0 && position_ < steps_.size(); }
    bool CanRedo() const { return position_ + 1 < steps_.size(); }

private:
    struct Step {
        // The whole object, or a container's attributes without children.
        std::unique_ptr<TVeskObject> own;
        std::vector<std::shared_ptr<const TVeskObject>> children;
    };

    static Step capture(const TVeskObject& state);
    // The recorded copy of a live child: the one it was last matched with
    // when it still equals it, else a new one.
    static std::shared_ptr<const TVeskObject> recorded(const TVeskObject& child);
    static std::unique_ptr<TVeskObject> restore(const Step& step, double viewScale, TVeskObject* replaced);

    std::deque<Step> steps_;
    std::size_t position_ = 0;
    int maxDepth_ = 1;
    bool modified_ = false;
};

} // namespace vesk
