// WorkerPool: a fixed number of threads that run submitted tasks in the order submitted. Tasks
// must not throw; whoever submits one waits for it by its own means (the pool only runs it).

#ifndef ORVANO_SUPPORT_WORKER_POOL_H_
#define ORVANO_SUPPORT_WORKER_POOL_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orvano {

class WorkerPool {
 public:
  /// Starts `threads` threads (at least one).
  explicit WorkerPool(int threads);
  /// Runs the tasks still waiting, then joins the threads.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  /// Queues `task` to run on one of the threads.
  void Submit(std::function<void()> task);

  /// Runs `task(0)` .. `task(count - 1)` on the pool's threads and the calling thread, and
  /// returns when all have run (a ParallelFor). The calling thread takes tasks too, so this
  /// finishes even when every thread of the pool is busy, also when called from one of them.
  void ForEach(std::size_t count, const std::function<void(std::size_t)>& task);

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace orvano

#endif  // ORVANO_SUPPORT_WORKER_POOL_H_
