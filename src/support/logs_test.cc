#include "support/logs.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;

struct LogsTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  testing::FixedClockFileSystem fs{testing::TestTime()};
  Logs logs{fs, dir.path() + "genError.log", dir.path() + "gen_Events.log"};
};

// The entry format that users' scripts read: the date and time in the locale's short forms
// (the tests run in the "C" locale), " / " between them, CR LF, the message, CR LF.
TEST_F(LogsTest, EventEntriesHaveDateTimeAndMessageLines) {
  logs.AppendEvent("early");  // before any run: the default file beside the executable
  EXPECT_EQ(dir.path() + "gen_Events.log", logs.event_log_path());
  EXPECT_EQ("03/04/26 / 05:06:07\r\nearly\r\n", ReadBytes(dir.path() + "gen_Events.log"));

  logs.set_event_log_path(dir.path() + "Logfile.log");
  logs.AppendEvent("Indextext not found: A.B");
  logs.AppendEvent("\xD0\x96 stays UTF-8");
  EXPECT_EQ(
      "03/04/26 / 05:06:07\r\nIndextext not found: A.B\r\n"
      "03/04/26 / 05:06:07\r\n\xD0\x96 stays UTF-8\r\n",
      ReadBytes(dir.path() + "Logfile.log"));
}

TEST_F(LogsTest, EachRunStartsItsEventLogAfresh) {
  const std::string run_log = dir.path() + "Logfile.log";
  for (const char* run : {"first", "second"}) {
    logs.set_event_log_path(run_log);
    logs.RemoveEventLog();
    logs.AppendEvent(std::string("Table not found: ") + run);
  }
  EXPECT_EQ("03/04/26 / 05:06:07\r\nTable not found: second\r\n", ReadBytes(run_log));

  logs.set_event_log_path(dir.path() + "no/such/Logfile.log");
  logs.RemoveEventLog();  // nothing to delete, no complaint
  const std::string lost = testing::ThrownBy([&] { logs.AppendEvent("lost"); }).description;
  EXPECT_NE(std::string::npos, lost.find("no/such/Logfile.log")) << lost;
}

// Held entries reach the file when the hold ends, in order and as they would have one by one; a
// change of the event log's path sends the held ones where they were meant to go, and a hold
// whose entries cannot be written loses them without throwing from its end.
TEST_F(LogsTest, HeldEventsAreWrittenTogetherWhenTheHoldEnds) {
  const std::string first = dir.path() + "first.log";
  const std::string second = dir.path() + "second.log";
  logs.set_event_log_path(first);
  {
    HeldEvents held(logs);
    logs.AppendEvent("one");
    logs.AppendEvent("two");
    EXPECT_FALSE(fs.IsFile(first));
    logs.set_event_log_path(second);
    logs.AppendEvent("three");
    EXPECT_EQ("03/04/26 / 05:06:07\r\none\r\n03/04/26 / 05:06:07\r\ntwo\r\n", ReadBytes(first));
  }
  EXPECT_EQ("03/04/26 / 05:06:07\r\nthree\r\n", ReadBytes(second));
  logs.AppendEvent("four");  // after the hold: at once
  EXPECT_EQ("03/04/26 / 05:06:07\r\nthree\r\n03/04/26 / 05:06:07\r\nfour\r\n", ReadBytes(second));

  logs.set_event_log_path(dir.path() + "no/such/Logfile.log");
  {
    HeldEvents held(logs);
    logs.AppendEvent("lost");
  }
  logs.set_event_log_path(second);
  logs.AppendEvent("five");
  EXPECT_NE(std::string::npos, ReadBytes(second).find("five"));
}

}  // namespace
}  // namespace orvano
