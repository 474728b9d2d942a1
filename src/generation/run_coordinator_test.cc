#include "generation/run_coordinator.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "testing/test_util.h"

namespace orvano {
namespace {

TEST(RunCoordinatorTest, WorkersAskAndTellThroughTheCoordinatorsThread) {
  testing::RecordingHost host;
  host.continue_after_error = true;
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
  for (const testing::HostCall& call : host.calls) {
    EXPECT_EQ(std::this_thread::get_id(), call.thread) << call.kind;
  }
  ASSERT_EQ(1u, host.CallsOf("status-start").size());
  EXPECT_EQ(12, host.CallsOf("status-start")[0].number);
  EXPECT_EQ(12u, host.CallsOf("tick").size());
  EXPECT_EQ(3u, host.CallsOf("diag").size());
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
