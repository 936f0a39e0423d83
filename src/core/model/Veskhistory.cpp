#include "Veskhistory.h"

#include "Veskobject.h"

#include <algorithm>

namespace vesk {

TVeskHistory::TVeskHistory() = default;

TVeskHistory::~TVeskHistory() = default;

void TVeskHistory::Reset(const TVeskObject& snapshot, int depth)
{
    // Cloned first: the object given may itself be one of the snapshots Clear destroys.
    std::unique_ptr<TVeskObject> copy = snapshot.Clone();
    Clear();
    maxDepth_ = std::max(depth, 1);
    snapshots_.push_back(std::move(copy));
    position_ = 0;
    modified_ = false;
}

void TVeskHistory::Record(const TVeskObject& snapshot)
{
    if (snapshots_.empty())
        return;
    // Cloned first: the object recorded may itself be one of the snapshots dropped below.
    std::unique_ptr<TVeskObject> copy = snapshot.Clone();
    while (snapshots_.size() > position_ + 1)
        snapshots_.pop_back();
    snapshots_.push_back(std::move(copy));
    while (snapshots_.size() > std::size_t(maxDepth_))
        snapshots_.pop_front();
    position_ = snapshots_.size() - 1;
    modified_ = true;
}

const TVeskObject* TVeskHistory::Undo(double viewScale)
{
    modified_ = true;
    if (!CanUndo())
        return nullptr;
    --position_;
    TVeskObject* snapshot = snapshots_[position_].get();
    snapshot->SetViewScale(viewScale);
    return snapshot;
}

const TVeskObject* TVeskHistory::Redo(double viewScale)
{
    modified_ = true;
    if (!CanRedo())
        return nullptr;
    ++position_;
    TVeskObject* snapshot = snapshots_[position_].get();
    snapshot->SetViewScale(viewScale);
    return snapshot;
}

const TVeskObject* TVeskHistory::First(double viewScale)
{
    if (snapshots_.empty())
        return nullptr;
    TVeskObject* snapshot = snapshots_.front().get();
    snapshot->SetViewScale(viewScale);
    return snapshot;
}

void TVeskHistory::Clear()
{
    snapshots_.clear();
    position_ = 0;
}

} // namespace vesk
