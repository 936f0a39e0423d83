#pragma once

#include <span>

namespace vesk {

class TVeskObject;

// When a shape read from a stream builds its cached outline: at once, or
// later by whoever collects the shapes read (see TVesk_istream::DeferOutlines).
enum class TOutlineBuild { Now, Later };

// Rebuilds every shape's outline, on up to maxThreads threads (the caller's
// and helpers from Qt's global pool; texts always on the caller's); the
// shapes must be distinct and no one else may touch them meanwhile. The
// result is the same whatever the number of threads: each shape's outline
// depends on that shape alone.
void RebuildOutlines(std::span<TVeskObject* const> shapes, int maxThreads);

} // namespace vesk
