// A test fixture for procedures that work on a run: a run context over the real file system
// in a fresh temporary folder, with a pinned clock and a recording host that goes on after
// errors; the event log is "Logfile.log" in that folder.

#ifndef ORVANO_TESTING_RUN_CONTEXT_TEST_H_
#define ORVANO_TESTING_RUN_CONTEXT_TEST_H_

#include <gtest/gtest.h>

#include <string>

#include "app/program_info.h"
#include "app/run_context.h"
#include "testing/test_util.h"

namespace orvano::testing {

struct RunContextTest : public ::testing::Test {
  RunContextTest() {
    host.continue_after_error = true;
    context.logs.set_event_log_path(dir.path() + "Logfile.log");
  }

  /// The event log written so far.
  std::string EventLog() const { return ReadBytes(dir.path() + "Logfile.log"); }

  ScopedTempDir dir;
  FixedClockFileSystem fs{TestTime()};
  RecordingHost host;
  RunContext context{fs, host, ProgramInfoFor(dir.path() + "orvano-html")};
};

}  // namespace orvano::testing

#endif  // ORVANO_TESTING_RUN_CONTEXT_TEST_H_
