// ParallelFor: how a piece of work runs its independent parts: one after the other, or side by
// side on a worker pool (WorkerPool::ForEach). Work below the generation takes one instead of
// knowing about threads.

#ifndef ORVANO_SUPPORT_PARALLEL_FOR_H_
#define ORVANO_SUPPORT_PARALLEL_FOR_H_

#include <cstddef>
#include <functional>

namespace orvano {

/// Runs `task(0)` .. `task(count - 1)`, in any order and possibly at once, and returns when all
/// have run. A task must not throw.
using ParallelFor =
    std::function<void(std::size_t count, const std::function<void(std::size_t)>& task)>;

/// Runs the tasks one after the other on the calling thread.
inline void OneAfterAnother(std::size_t count, const std::function<void(std::size_t)>& task) {
  for (std::size_t i = 0; i < count; ++i) task(i);
}

}  // namespace orvano

#endif  // ORVANO_SUPPORT_PARALLEL_FOR_H_
