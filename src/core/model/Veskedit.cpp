#include "Veskedit.h"

#include "Veskhistory.h"
#include "Veskobject.h"
#include "io/Veskdocument.h"

#include <algorithm>

namespace vesk {

TVeskEdit::TVeskEdit(TVeskDocument& document, TVeskHistory& history)
    : document_(document)
    , history_(history)
{
}

TVeskEdit::~TVeskEdit()
{
    if (watched_ && watched_ == &document_.Root())
        watched_->SetWatcher(nullptr);
}

void TVeskEdit::watch()
{
    // A root that replaced the watched one may stand at its address: hooked
    // each time, never compared.
    watched_ = &document_.Root();
    watched_->SetWatcher(this);
}

void TVeskEdit::Reset(int depth)
{
    close();
    watch();
    history_.Reset(document_.Root(), depth);
}

void TVeskEdit::Begin(const QString& name)
{
    watch();
    if (open_)
        return;
    open_ = true;
    name_ = name;
    layersBefore_ = document_.Layers().Table();
    rootBefore_ = document_.Root().CloneEmpty();
}

TVeskEdit::Touch& TVeskEdit::touch(TVeskObject& child)
{
    const auto [it, added] = touched_.try_emplace(child.OrderKey());
    if (added) {
        it->second.live = &child;
        it->second.before = TVeskHistory::LastRecorded(child);
    } else if (!it->second.live) {
        it->second.live = &child;
    }
    return it->second;
}

void TVeskEdit::ChildTouched(TVeskObject& child)
{
    if (open_)
        touch(child);
}

void TVeskEdit::ChildLeaving(TVeskObject& child)
{
    if (open_)
        touch(child).live = nullptr;
}

void TVeskEdit::Modify(TVeskObject& object, bool rebuild)
{
    if (!open_)
        Begin(QString());
    TVeskPart& root = document_.Root();
    TVeskObject* top = &object;
    while (top->GetOwner() && top->GetOwner() != &root)
        top = top->GetOwner();
    if (top->GetOwner() == &root)
        touch(*top);
    if (rebuild)
        rebuild_.push_back(&object);
}

bool TVeskEdit::Commit()
{
    if (!open_)
        return false;
    TVeskPart& root = document_.Root();
    for (TVeskObject* object : rebuild_)
        object->Rebuild();
    std::vector<TVeskHistory::Change> changes;
    for (auto& [key, t] : touched_) {
        // A child that left and another that arrived may share a key only
        // through Place, which the history alone calls.
        std::shared_ptr<const TVeskObject> after;
        if (t.live && t.live->GetOwner() == &root)
            after = TVeskHistory::Recorded(*t.live);
        if (after != t.before)
            changes.push_back({ key, std::move(t.before), std::move(after) });
    }
    std::sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
    TVeskHistory::Change own;
    if (std::shared_ptr<const TVeskObject> rootAfter = root.CloneEmpty(); !rootAfter->SameState(*rootBefore_))
        own = { 0, std::move(rootBefore_), std::move(rootAfter) };
    const bool recorded = !changes.empty() || own.after || !(document_.Layers().Table() == *layersBefore_);
    history_.Record(name_, std::move(changes), std::move(layersBefore_), document_.Layers().Table(), std::move(own));
    close();
    return recorded;
}

void TVeskEdit::Revert()
{
    if (!open_)
        return;
    TVeskPart& root = document_.Root();
    std::vector<TVeskHistory::Change> back;
    for (auto& [key, t] : touched_) {
        const bool unchanged = t.live && t.live->GetOwner() == &root && t.before
            && TVeskHistory::LastRecorded(*t.live) == t.before && t.live->SameState(*t.before);
        if (!unchanged && (t.live || t.before))
            back.push_back({ key, t.before, nullptr });
    }
    const std::optional<TVeskLayerTable> layers = std::move(layersBefore_);
    const std::shared_ptr<const TVeskObject> own = std::move(rootBefore_);
    // Closed first: what Place reports is no longer part of the step.
    close();
    TVeskHistory::Apply(root, back, true);
    if (own && !own->SameState(*root.CloneEmpty()))
        TVeskHistory::ApplyOwn(root, *own);
    if (layers && !(document_.Layers().Table() == *layers))
        document_.Layers().RestoreTable(*layers, document_.Layers().Table());
}

void TVeskEdit::close()
{
    open_ = false;
    name_.clear();
    touched_.clear();
    rebuild_.clear();
    layersBefore_.reset();
    rootBefore_.reset();
}

bool TVeskEdit::Undo()
{
    Commit();
    watch();
    return history_.Undo(document_.Root(), document_.Layers());
}

bool TVeskEdit::Redo()
{
    Commit();
    watch();
    return history_.Redo(document_.Root(), document_.Layers());
}

bool TVeskEdit::CanUndo() const
{
    return open_ || history_.CanUndo();
}

bool TVeskEdit::CanRedo() const
{
    return !open_ && history_.CanRedo();
}

QString TVeskEdit::UndoName() const
{
    return open_ ? name_ : history_.UndoName();
}

QString TVeskEdit::RedoName() const
{
    return open_ ? QString() : history_.RedoName();
}

} // namespace vesk
