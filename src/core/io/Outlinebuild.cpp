#include "Outlinebuild.h"

#include "model/Veskobject.h"

#include <QSemaphore>
#include <QThreadPool>
#include <algorithm>
#include <atomic>

namespace vesk {

namespace {
// Shapes claimed at a time: enough that the threads rarely meet at the
// counter, few enough (64 texts lay out in about 2 ms) that neither waits
// long for the other at the end.
constexpr std::size_t kChunk = 64;
// Fewer shapes than this are not worth waking a helper for.
constexpr std::size_t kParallelMinimum = 4 * kChunk;
} // namespace

void RebuildOutlines(std::span<TVeskObject* const> shapes, int maxThreads)
{
    std::atomic<std::size_t> next { 0 };
    const auto work = [&] {
        for (std::size_t first = next.fetch_add(kChunk); first < shapes.size();
             first = next.fetch_add(kChunk)) {
            const std::size_t last = std::min(shapes.size(), first + kChunk);
            for (std::size_t i = first; i < last; ++i)
                shapes[i]->Rebuild();
        }
    };
    // Helpers come from the pool only when a thread is free at once, and the
    // caller works too, so a busy pool or a caller inside it cannot stall.
    QThreadPool* pool = QThreadPool::globalInstance();
    const int helpers = shapes.size() >= kParallelMinimum ? std::max(0, maxThreads - 1) : 0;
    QSemaphore finished;
    int started = 0;
    for (int i = 0; i < helpers; ++i) {
        if (!pool->tryStart([&] {
                work();
                finished.release();
            }))
            break;
        ++started;
    }
    work();
    finished.acquire(started);
}

} // namespace vesk
