// The coordinator of a run whose work happens on other threads: the thread that starts the run
// (the window's, or main's) stays free to show the workers' dialogs, write their diagnostics,
// move the progress display and keep the window responsive, one request at a time and in the
// order they come. WorkerHost is the Host a worker thread uses: it hands everything the person
// sees to the coordinator.

#ifndef ORVANO_GENERATION_RUN_COORDINATOR_H_
#define ORVANO_GENERATION_RUN_COORDINATOR_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "support/host.h"

namespace orvano {

class RunCoordinator {
 public:
  /// `host` must outlive the coordinator and is used from the coordinator's thread only.
  explicit RunCoordinator(Host& host) : host_(host) {}
  RunCoordinator(const RunCoordinator&) = delete;
  RunCoordinator& operator=(const RunCoordinator&) = delete;

  /// Runs `work` on a new thread and serves its requests (and those of the threads it starts)
  /// on the calling thread until it returns; then rethrows what `work` threw, if anything.
  void Serve(const std::function<void()>& work);

  /// Runs `call` on the coordinator's thread and returns when it has run; rethrows what it
  /// threw. Only from a thread that Serve's work started, while Serve runs.
  void Call(const std::function<void()>& call);

  /// Opens the run's progress display the first time a worker opens its own: with `maximum`
  /// times the progress scale (the number of languages). From a worker thread only.
  void StartProgress(std::string_view text, int maximum, bool lock);
  void set_progress_scale(int scale) { progress_scale_ = scale; }

  /// Moves the progress display on by one, `done` naming what was finished ("" for none);
  /// from any thread.
  void Tick(std::string_view done);

  Host& host() { return host_; }

 private:
  struct Request;
  void RunRequests();
  void ForwardTicks();

  Host& host_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Request*> requests_;
  bool work_done_ = false;
  std::vector<std::string> ticks_;  // not yet shown, each naming what was done; by mutex_
  int progress_scale_ = 1;
  bool progress_started_ = false;  // used on the coordinator's thread only
};

/// The Host of a worker thread: errors, questions, messages and diagnostics go through the
/// coordinator (the worker waits for the answer); the progress display is the run's one display
/// (the first worker to open it opens it for all, ticks are counted, closing is the run's);
/// event pumping is dropped, as the coordinator keeps the window responsive itself.
class WorkerHost final : public Host {
 public:
  explicit WorkerHost(RunCoordinator& coordinator) : coordinator_(coordinator) {}

  bool ShowError(std::string_view title, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  void PumpEvents() override {}
  void StatusStart(std::string_view text, int maximum, bool lock) override {
    coordinator_.StartProgress(text, maximum, lock);
  }
  void StatusTick(std::string_view done) override { coordinator_.Tick(done); }
  void StatusEnd() override {}
  void WriteDiagnostic(std::string_view text) override;

 private:
  RunCoordinator& coordinator_;
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_RUN_COORDINATOR_H_
