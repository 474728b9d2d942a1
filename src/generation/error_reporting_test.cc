#include "generation/error_reporting.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "support/file_system.h"
#include "support/logs.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;

struct ErrorReportingTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  testing::FixedClockFileSystem fs{testing::TestTime()};
  testing::RecordingHost host;
  Logs logs{fs, dir.path() + "genError.log", dir.path() + "gen_Events.log"};

  ErrorContext Context(bool silent) { return {host, logs, silent}; }
};

TEST_F(ErrorReportingTest, ProgramErrorShowsAndLogsItsMessage) {
  ErrorReport report{kProgramErrorNumber, "StartMainProcess", "Language not found",
                     "StartMainProcess", ""};
  host.continue_after_error = true;
  EXPECT_EQ(ErrorAnswer::kContinue, ReportError(report, Context(false)));
  EXPECT_EQ("Error!\n\rLanguage not found\r\n", ReadBytes(dir.path() + "genError.log"));
  ASSERT_EQ(1u, host.CallsOf("error").size());
  EXPECT_EQ("Error", host.calls[0].title);
  EXPECT_EQ("Error!\n\rLanguage not found\n\rContinue?", host.calls[0].text);

  host.continue_after_error = false;
  EXPECT_EQ(ErrorAnswer::kStop, ReportError(report, Context(false)));
  // The error log grows: both entries are there.
  EXPECT_EQ("Error!\n\rLanguage not found\r\nError!\n\rLanguage not found\r\n",
            ReadBytes(dir.path() + "genError.log"));
}

TEST_F(ErrorReportingTest, UnexpectedErrorNamesSourceWindowAndProcedure) {
  ErrorReport in_window{53, "FileSystem", "File not found", "TextOrvanoDB_Change", "frmMain"};
  ReportError(in_window, Context(false));
  EXPECT_EQ("Unexpected error", host.calls[0].title);
  EXPECT_EQ(
      "Unexpected error!\n\rNo: 53\n\rSource: FileSystem / frmMain / TextOrvanoDB_Change\n\r"
      "File not found\n\rContinue?",
      host.calls[0].text);

  ErrorReport in_module{53, "FileSystem", "File not found", "CopyFileSourceTarget", ""};
  EXPECT_EQ(
      "Unexpected error!\n\rNo: 53\n\rSource: FileSystem / CopyFileSourceTarget\n\r"
      "File not found",
      InteractiveErrorMessage(in_module));
}

// A silent run shows no dialog; an error log that cannot be written is said on stderr before
// the error itself, instead of failing. (The line it logs and says: tests/e2e.)
TEST_F(ErrorReportingTest, SilentModeSaysWhatTheErrorLogCannotTake) {
  ErrorReport report{kProgramErrorNumber, "StartMainProcess", "Path Orvano.doc not set!",
                     "StartMainProcess", "frmMain"};
  Logs broken(fs, dir.path() + "missing/genError.log", "");
  EXPECT_EQ(ErrorAnswer::kStop, ReportError(report, {host, broken, true}));
  EXPECT_TRUE(host.CallsOf("error").empty());
  auto diags = host.CallsOf("diag");
  ASSERT_EQ(2u, diags.size());
  EXPECT_NE(std::string::npos, diags[0].text.find("missing/genError.log"));
  EXPECT_NE(std::string::npos, diags[1].text.find("Path Orvano.doc not set!"));
}

TEST_F(ErrorReportingTest, GuardContinuesOrEndsTheProgram) {
  host.continue_after_error = true;
  bool after = false;
  EXPECT_FALSE(Guarded(Context(false), "ReadOrvanoDoc", [&] {
    throw UnexpectedError(err::kOverflow, "Overflow", "LoadIniInteger");
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_EQ(1u, host.CallsOf("error").size());
  EXPECT_TRUE(Guarded(Context(false), "X", [] {}));

  host.continue_after_error = false;
  EXPECT_THROW(Guarded(Context(false), "X", [] { throw ProgramError("No"); }), EndProgram);
  EXPECT_THROW(Guarded(Context(true), "X", [] { throw ProgramError("No"); }), EndProgram);

  // Foreign exceptions are reported with a classic number, never escape unreported.
  host.continue_after_error = true;
  host.calls.clear();
  Guarded(Context(false), "X", [] { throw std::runtime_error("boom"); });
  Guarded(Context(false), "X", [] { throw std::bad_alloc(); });
  Guarded(Context(false), "X", [] { throw 42; });
  auto errors = host.CallsOf("error");
  ASSERT_EQ(3u, errors.size());
  EXPECT_NE(std::string::npos, errors[0].text.find("No: 51"));
  EXPECT_NE(std::string::npos, errors[0].text.find("boom"));
  EXPECT_NE(std::string::npos, errors[1].text.find("No: 7"));
  EXPECT_NE(std::string::npos, errors[2].text.find("No: 51"));

  // EndProgram from inside passes through without a report.
  host.calls.clear();
  EXPECT_THROW(Guarded(Context(false), "X", [] { throw EndProgram{0}; }), EndProgram);
  EXPECT_TRUE(host.calls.empty());
}

}  // namespace
}  // namespace orvano
