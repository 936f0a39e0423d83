#include "Veskhistory.h"

#include "Veskobject.h"
#include "shapes/Veskpart.h"

#include <algorithm>

namespace vesk {

TVeskHistory::TVeskHistory() = default;

TVeskHistory::~TVeskHistory() = default;

std::shared_ptr<const TVeskObject> TVeskHistory::Recorded(const TVeskObject& child)
{
    if (child.recorded_ && child.SameState(*child.recorded_))
        return child.recorded_;
    std::unique_ptr<TVeskObject> copy = child.Clone();
    // Picked points stay with the live object.
    copy->SetHandlesSelected(false);
    child.recorded_ = std::move(copy);
    return child.recorded_;
}

std::shared_ptr<const TVeskObject> TVeskHistory::LastRecorded(const TVeskObject& child)
{
    return child.recorded_;
}

void TVeskHistory::Apply(TVeskPart& root, const std::vector<Change>& changes, bool backwards)
{
    std::vector<TVeskContainer::Placement> placements;
    placements.reserve(changes.size());
    for (const Change& change : changes) {
        const std::shared_ptr<const TVeskObject>& record = backwards ? change.before : change.after;
        TVeskContainer::Placement p;
        p.key = change.key;
        if (record) {
            p.object = record->Clone();
            // A fresh copy equals its record, so the next step can share it.
            p.object->recorded_ = record;
        }
        placements.push_back(std::move(p));
    }
    root.Place(std::move(placements));
}

void TVeskHistory::ApplyOwn(TVeskPart& root, const TVeskObject& record)
{
    const double scale = root.ViewScale();
    root.Assign(record);
    root.SetViewScale(scale);
}

void TVeskHistory::SetModified(bool modified)
{
    if (modified == modified_)
        return;
    modified_ = modified;
    if (modifiedListener_)
        modifiedListener_(modified);
}

void TVeskHistory::Reset(TVeskPart& root, int depth)
{
    Clear();
    maxDepth_ = std::max(depth, 1);
    for (const auto& child : root.Children())
        Recorded(*child);
    SetModified(false);
}

void TVeskHistory::Record(QString name, std::vector<Change> changes,
    std::optional<TVeskLayerTable> layersBefore, std::optional<TVeskLayerTable> layersAfter, Change root)
{
    const bool layers = layersBefore && layersAfter && !(*layersBefore == *layersAfter);
    const bool own = root.before && root.after;
    if (changes.empty() && !layers && !own)
        return;
    while (steps_.size() > position_)
        steps_.pop_back();
    Step step { std::move(name), std::move(changes), {}, {}, own ? std::move(root) : Change {} };
    if (layers) {
        step.layersBefore = std::move(layersBefore);
        step.layersAfter = std::move(layersAfter);
    }
    steps_.push_back(std::move(step));
    while (steps_.size() > std::size_t(maxDepth_ - 1))
        steps_.pop_front();
    position_ = steps_.size();
    ++revision_;
    SetModified(true);
}

bool TVeskHistory::Undo(TVeskPart& root, TVeskLayerList& layers)
{
    if (!CanUndo())
        return false;
    const Step& step = steps_[--position_];
    // Objects borrow their layers: a layer the step added goes after them.
    Apply(root, step.changes, true);
    if (step.root.before)
        ApplyOwn(root, *step.root.before);
    if (step.layersBefore)
        layers.RestoreTable(*step.layersBefore, *step.layersAfter);
    ++revision_;
    SetModified(true);
    return true;
}

bool TVeskHistory::Redo(TVeskPart& root, TVeskLayerList& layers)
{
    if (!CanRedo())
        return false;
    const Step& step = steps_[position_++];
    if (step.layersAfter)
        layers.RestoreTable(*step.layersAfter, *step.layersBefore);
    Apply(root, step.changes, false);
    if (step.root.after)
        ApplyOwn(root, *step.root.after);
    ++revision_;
    SetModified(true);
    return true;
}

void TVeskHistory::Clear()
{
    steps_.clear();
    position_ = 0;
    ++revision_;
}

} // namespace vesk
