#pragma once

#include "GraphicsPath.h"

#include <memory>

namespace vesk {

// A cached outline that copies of a shape share until one of them changes
// it: copying costs a reference, so history steps and clones never copy or
// rebuild outlines. Reading goes through the const accessors; every change
// goes through Edit or Renew, which give the holder a path of its own first,
// so no change can reach another holder's outline (a recorded state's, say).
class SharedPath {
public:
    explicit SharedPath(FillMode mode = FillMode::Winding)
        : path_(std::make_shared<GraphicsPath>(mode))
    {
    }

    const GraphicsPath& operator*() const { return *path_; }
    const GraphicsPath* operator->() const { return path_.get(); }

    // The outline to change in place, copied first while others share it.
    GraphicsPath& Edit()
    {
        if (path_.use_count() > 1)
            path_ = std::make_shared<GraphicsPath>(*path_);
        return *path_;
    }

    // An empty outline to build anew, without copying what is shared.
    GraphicsPath& Renew(FillMode mode)
    {
        if (path_.use_count() > 1)
            path_ = std::make_shared<GraphicsPath>(mode);
        else {
            path_->Reset();
            path_->SetFillMode(mode);
        }
        return *path_;
    }

    // Whether both hold the very same outline (not merely an equal one).
    bool SameAs(const SharedPath& other) const { return path_ == other.path_; }

private:
    std::shared_ptr<GraphicsPath> path_;
};

} // namespace vesk
