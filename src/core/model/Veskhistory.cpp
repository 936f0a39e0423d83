#include "Veskhistory.h"

#include "Veskobject.h"
#include "shapes/Veskcontainer.h"

#include <algorithm>

namespace vesk {

TVeskHistory::TVeskHistory() = default;

TVeskHistory::~TVeskHistory() = default;

std::shared_ptr<const TVeskObject> TVeskHistory::recorded(const TVeskObject& child)
{
    if (child.recorded_ && child.SameState(*child.recorded_))
        return child.recorded_;
    std::shared_ptr<const TVeskObject> copy = child.Clone();
    child.recorded_ = copy;
    return copy;
}

TVeskHistory::Step TVeskHistory::capture(const TVeskObject& state)
{
    Step step;
    const auto* container = dynamic_cast<const TVeskContainer*>(&state);
    if (!container) {
        step.own = state.Clone();
        return step;
    }
    step.own = container->CloneEmpty();
    step.children.reserve(container->Children().size());
    for (const auto& child : container->Children())
        step.children.push_back(recorded(*child));
    return step;
}

std::unique_ptr<TVeskObject> TVeskHistory::restore(const Step& step, double viewScale)
{
    std::unique_ptr<TVeskObject> state = step.own->Clone();
    if (auto* container = dynamic_cast<TVeskContainer*>(state.get())) {
        for (const auto& child : step.children) {
            std::unique_ptr<TVeskObject> copy = child->Clone();
            // A fresh copy equals its record, so the next step can share it.
            copy->recorded_ = child;
            container->Adopt(std::move(copy));
        }
    }
    state->SetViewScale(viewScale);
    return state;
}

void TVeskHistory::Reset(const TVeskObject& state, int depth)
{
    // Captured first: the object may be a state this history handed out.
    Step first = capture(state);
    Clear();
    maxDepth_ = std::max(depth, 1);
    steps_.push_back(std::move(first));
    position_ = 0;
    modified_ = false;
}

void TVeskHistory::Record(const TVeskObject& state)
{
    if (steps_.empty())
        return;
    Step step = capture(state);
    while (steps_.size() > position_ + 1)
        steps_.pop_back();
    steps_.push_back(std::move(step));
    while (steps_.size() > std::size_t(maxDepth_))
        steps_.pop_front();
    position_ = steps_.size() - 1;
    modified_ = true;
}

std::unique_ptr<TVeskObject> TVeskHistory::Undo(double viewScale)
{
    modified_ = true;
    if (!CanUndo())
        return nullptr;
    --position_;
    return restore(steps_[position_], viewScale);
}

std::unique_ptr<TVeskObject> TVeskHistory::Redo(double viewScale)
{
    modified_ = true;
    if (!CanRedo())
        return nullptr;
    ++position_;
    return restore(steps_[position_], viewScale);
}

std::unique_ptr<TVeskObject> TVeskHistory::First(double viewScale) const
{
    return steps_.empty() ? nullptr : restore(steps_.front(), viewScale);
}

void TVeskHistory::Clear()
{
    steps_.clear();
    position_ = 0;
}

} // namespace vesk
