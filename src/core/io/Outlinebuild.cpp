#include "Outlinebuild.h"

#include "model/Veskobject.h"
#include "shapes/Veskstring.h"

#include <QSemaphore>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <vector>

namespace vesk {

namespace {
// Shapes claimed at a time: enough that the threads rarely meet at the
// counter, few enough that neither waits long for the other at the end.
constexpr std::size_t kChunk = 64;
// Fewer shapes than this are not worth waking a helper for.
constexpr std::size_t kParallelMinimum = 4 * kChunk;

// Rebuilds the shapes from `next` on, a chunk at a time, until none is left.
void drain(std::span<TVeskObject* const> shapes, std::atomic<std::size_t>& next)
{
    for (std::size_t first = next.fetch_add(kChunk); first < shapes.size(); first = next.fetch_add(kChunk)) {
        const std::size_t last = std::min(shapes.size(), first + kChunk);
        for (std::size_t i = first; i < last; ++i)
            shapes[i]->Rebuild();
    }
}
} // namespace

void RebuildOutlines(std::span<TVeskObject* const> shapes, int maxThreads)
{
    // Glyph layout stays on the calling thread: Qt's font engines keep
    // caches per thread, which a pool thread would hold on to after its
    // work (the leak checker takes them for lost). The other shapes are
    // built by helpers and, once the texts are done, by the caller too.
    std::vector<TVeskObject*> texts, others;
    others.reserve(shapes.size());
    for (TVeskObject* shape : shapes)
        (dynamic_cast<TVeskString*>(shape) ? texts : others).push_back(shape);
    std::atomic<std::size_t> next { 0 };
    // Helpers come from the pool only when a thread is free at once, and the
    // caller works too, so a busy pool or a caller inside it cannot stall.
    QThreadPool* pool = QThreadPool::globalInstance();
    const int helpers = shapes.size() >= kParallelMinimum ? std::max(0, maxThreads - 1) : 0;
    QSemaphore finished;
    int started = 0;
    for (int i = 0; i < helpers; ++i) {
        if (!pool->tryStart([&] {
                drain(others, next);
                finished.release();
            }))
            break;
        ++started;
    }
    for (TVeskObject* text : texts)
        text->Rebuild();
    drain(others, next);
    finished.acquire(started);
}

} // namespace vesk
