#include "Veskhistory.h"

#include "Veskobject.h"
#include "shapes/Veskcontainer.h"

#include <algorithm>
#include <unordered_map>

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

std::unique_ptr<TVeskObject> TVeskHistory::restore(const Step& step, double viewScale, TVeskObject* replaced)
{
    std::unique_ptr<TVeskObject> state = step.own->Clone();
    auto* container = dynamic_cast<TVeskContainer*>(state.get());
    if (!container) {
        state->SetViewScale(viewScale);
        return state;
    }
    // Set first: each child takes its container's scale as it is adopted.
    state->SetViewScale(viewScale);
    std::vector<std::unique_ptr<TVeskObject>> old;
    if (auto* current = dynamic_cast<TVeskContainer*>(replaced))
        old = current->TakeChildren();
    const auto reusable = [&](size_t k, const TVeskObject* record) {
        return k < old.size() && old[k] && old[k]->recorded_.get() == record && !old[k]->HasEditState()
            && old[k]->SameState(*record);
    };
    // Children mostly keep their order between neighbouring states, so the
    // next few old children are tried first (a changed or added child shifts
    // the order by a step or two) and the index is built only when needed.
    std::unordered_map<const TVeskObject*, size_t> byRecord;
    bool indexed = false;
    size_t next = 0;
    for (const auto& record : step.children) {
        size_t found = old.size();
        for (size_t k = next; k < std::min(next + 4, old.size()) && found == old.size(); ++k)
            if (reusable(k, record.get()))
                found = k;
        if (found == old.size() && !old.empty()) {
            if (!indexed) {
                for (size_t k = 0; k < old.size(); ++k)
                    if (old[k] && old[k]->recorded_)
                        byRecord.emplace(old[k]->recorded_.get(), k);
                indexed = true;
            }
            if (const auto it = byRecord.find(record.get());
                it != byRecord.end() && reusable(it->second, record.get()))
                found = it->second;
        }
        std::unique_ptr<TVeskObject> child;
        if (found < old.size()) {
            child = std::move(old[found]);
            next = found + 1;
        } else {
            child = record->Clone();
            // A fresh copy equals its record, so the next step can share it.
            child->recorded_ = record;
        }
        container->Adopt(std::move(child));
    }
    // What did not move over goes back to the state it came from.
    if (auto* current = dynamic_cast<TVeskContainer*>(replaced))
        for (auto& left : old)
            if (left)
                current->Adopt(std::move(left));
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

std::unique_ptr<TVeskObject> TVeskHistory::Undo(double viewScale, TVeskObject* replaced)
{
    modified_ = true;
    if (!CanUndo())
        return nullptr;
    --position_;
    return restore(steps_[position_], viewScale, replaced);
}

std::unique_ptr<TVeskObject> TVeskHistory::Redo(double viewScale, TVeskObject* replaced)
{
    modified_ = true;
    if (!CanRedo())
        return nullptr;
    ++position_;
    return restore(steps_[position_], viewScale, replaced);
}

std::unique_ptr<TVeskObject> TVeskHistory::First(double viewScale) const
{
    return steps_.empty() ? nullptr : restore(steps_.front(), viewScale, nullptr);
}

void TVeskHistory::Clear()
{
    steps_.clear();
    position_ = 0;
}

} // namespace vesk
