#include "support/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>

namespace orvano {

WorkerPool::WorkerPool(int threads) {
  for (int i = 0; i < std::max(threads, 1); ++i) threads_.emplace_back([this] { Work(); });
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Submit(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

void WorkerPool::ForEach(std::size_t count, const std::function<void(std::size_t)>& task) {
  // Tasks are claimed by number; whoever claims one runs it. Helpers that start after every
  // task was claimed find nothing left and return, so the shared state outlives this call.
  struct Shared {
    const std::function<void(std::size_t)>* task;
    std::size_t count;
    std::atomic<std::size_t> next{0};
    std::size_t finished = 0;
    std::mutex mutex;
    std::condition_variable all_done;
  };
  auto shared = std::make_shared<Shared>();
  shared->task = &task;
  shared->count = count;
  auto run_claimed = [](Shared& s) {
    for (std::size_t i = s.next++; i < s.count; i = s.next++) {
      (*s.task)(i);
      std::lock_guard<std::mutex> lock(s.mutex);
      if (++s.finished == s.count) s.all_done.notify_all();
    }
  };
  const std::size_t helpers = std::min(count, threads_.size());
  for (std::size_t h = 1; h < helpers + 1 && h < count; ++h) {
    Submit([shared, run_claimed] { run_claimed(*shared); });
  }
  run_claimed(*shared);
  std::unique_lock<std::mutex> lock(shared->mutex);
  shared->all_done.wait(lock, [&] { return shared->finished == shared->count; });
}

void WorkerPool::Work() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return closing_ || !tasks_.empty(); });
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace orvano
