#include "generation/run_coordinator.h"

#include <chrono>
#include <exception>
#include <thread>

namespace orvano {

struct RunCoordinator::Request {
  const std::function<void()>* call;
  std::exception_ptr error;
  bool done = false;
  std::condition_variable finished;
};

void RunCoordinator::Serve(const std::function<void()>& work) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    work_done_ = false;
  }
  std::exception_ptr work_error;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      work_error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    work_done_ = true;
    wake_.notify_all();
  });
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // The wait is bounded so that progress and the window's events keep moving.
      wake_.wait_for(lock, std::chrono::milliseconds(50),
                     [&] { return work_done_ || !requests_.empty(); });
      if (work_done_ && requests_.empty()) break;
    }
    RunRequests();
    ForwardTicks();
    host_.PumpEvents();
  }
  worker.join();
  ForwardTicks();
  if (work_error) std::rethrow_exception(work_error);
}

void RunCoordinator::RunRequests() {
  for (;;) {
    Request* request = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (requests_.empty()) return;
      request = requests_.front();
      requests_.pop_front();
    }
    try {
      (*request->call)();
    } catch (...) {
      request->error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    request->done = true;
    request->finished.notify_one();
  }
}

void RunCoordinator::Tick(std::string_view done) {
  std::lock_guard<std::mutex> lock(mutex_);
  ticks_.emplace_back(done);
}

void RunCoordinator::ForwardTicks() {
  std::vector<std::string> ticks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ticks.swap(ticks_);
  }
  for (const std::string& done : ticks) host_.StatusTick(done);
}

void RunCoordinator::Call(const std::function<void()>& call) {
  Request request;
  request.call = &call;
  std::unique_lock<std::mutex> lock(mutex_);
  requests_.push_back(&request);
  wake_.notify_all();
  request.finished.wait(lock, [&] { return request.done; });
  if (request.error) std::rethrow_exception(request.error);
}

void RunCoordinator::StartProgress(std::string_view text, int maximum, bool lock) {
  Call([&] {
    if (progress_started_) return;
    progress_started_ = true;
    host_.StatusStart(text, maximum * progress_scale_, lock);
  });
}

bool WorkerHost::ShowError(std::string_view title, std::string_view text) {
  bool answer = false;
  coordinator_.Call([&] { answer = coordinator_.host().ShowError(title, text); });
  return answer;
}

bool WorkerHost::AskYesNo(std::string_view text) {
  bool answer = false;
  coordinator_.Call([&] { answer = coordinator_.host().AskYesNo(text); });
  return answer;
}

void WorkerHost::ShowMessage(std::string_view text) {
  coordinator_.Call([&] { coordinator_.host().ShowMessage(text); });
}

void WorkerHost::WriteDiagnostic(std::string_view text) {
  coordinator_.Call([&] { coordinator_.host().WriteDiagnostic(text); });
}

}  // namespace orvano
