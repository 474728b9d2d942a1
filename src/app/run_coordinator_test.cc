#include "app/run_coordinator.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "testing/test_util.h"

namespace orvano {
namespace {

// A recording host that also notes on which thread each call came.
class ThreadNotingHost final : public Host {
 public:
  bool ShowError(std::string_view title, std::string_view text) override {
    Note();
    return calls.ShowError(title, text);
  }
  bool AskYesNo(std::string_view text) override {
    Note();
    return calls.AskYesNo(text);
  }
  void ShowMessage(std::string_view text) override {
    Note();
    calls.ShowMessage(text);
  }
  void PumpEvents() override { calls.PumpEvents(); }
  void StatusStart(std::string_view text, int maximum, bool lock) override {
    Note();
    calls.StatusStart(text, maximum, lock);
  }
  void StatusTick(std::string_view done) override {
    Note();
    calls.StatusTick(done);
  }
  void StatusEnd() override { calls.StatusEnd(); }
  void WriteDiagnostic(std::string_view text) override {
    Note();
    calls.WriteDiagnostic(text);
  }

  testing::RecordingHost calls;
  std::vector<std::thread::id> threads;

 private:
  void Note() { threads.push_back(std::this_thread::get_id()); }
};

TEST(RunCoordinatorTest, WorkersAskAndTellThroughTheCoordinatorsThread) {
  ThreadNotingHost host;
  host.calls.continue_after_error = true;
  RunCoordinator coordinator(host);
  coordinator.set_progress_scale(3);
  bool answer = false;
  coordinator.Serve([&] {
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
      workers.emplace_back([&, i] {
        WorkerHost worker(coordinator);
        worker.StatusStart("Working...", 4, true);
        for (int t = 0; t < 4; ++t) worker.StatusTick("");
        worker.WriteDiagnostic("worker " + std::to_string(i));
        if (i == 1) answer = worker.ShowError("Error", "Continue?");
      });
    }
    for (std::thread& worker : workers) worker.join();
  });
  // One progress display for all: 3 x 4 steps, opened once, every call on this thread.
  EXPECT_EQ(std::vector<std::thread::id>(host.threads.size(), std::this_thread::get_id()),
            host.threads);
  ASSERT_EQ(1u, host.calls.CallsOf("status-start").size());
  EXPECT_EQ(12, host.calls.CallsOf("status-start")[0].number);
  EXPECT_EQ(12u, host.calls.CallsOf("tick").size());
  EXPECT_EQ(3u, host.calls.CallsOf("diag").size());
  EXPECT_TRUE(answer);
}

TEST(RunCoordinatorTest, WhatTheWorkOrACallThrowsReachesItsCaller) {
  testing::RecordingHost host;
  RunCoordinator coordinator(host);
  bool call_threw = false;
  EXPECT_THROW(coordinator.Serve([&] {
    try {
      coordinator.Call([] { throw std::runtime_error("call"); });
    } catch (const std::runtime_error&) {
      call_threw = true;
    }
    throw std::logic_error("work");
  }),
               std::logic_error);
  EXPECT_TRUE(call_threw);
}

}  // namespace
}  // namespace orvano
