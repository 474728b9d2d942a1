#include "support/stderr_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace orvano {
namespace {

TEST(StderrCaptureTest, CatchesStderrDropsStdoutAndRestoresBoth) {
  {
    StderrCapture capture;
    std::fprintf(stderr, "offset 8192 is beyond EOF\n");
    std::printf("stray line\n");
    EXPECT_EQ(capture.Finish(), "offset 8192 is beyond EOF\n");
    EXPECT_EQ(capture.Finish(), "");
  }
  {
    // More than a pipe holds must not block; only the first 4096 bytes come back.
    StderrCapture capture;
    std::string line(1000, 'x');
    for (int i = 0; i < 200; ++i) std::fprintf(stderr, "%s\n", line.c_str());
    EXPECT_EQ(capture.Finish().size(), 4096u);
  }
  {
    StderrCapture quiet;
    EXPECT_EQ(quiet.Finish(), "");
  }
}

}  // namespace
}  // namespace orvano
