#include "jet/jet_reader_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using std::chrono::milliseconds;
using ::testing::HasSubstr;

// A reader played by a shell script; `script` sees the requests on its standard input.
JetReaderClient FakeReader(const std::string& script, milliseconds limit = milliseconds(5000)) {
  return JetReaderClient("/bin/sh", {"-c", script}, "/p/Orvano.mdb", limit);
}

// Asserts that `action` fails with the damage error naming the file (and `table`).
template <typename Action>
void ExpectDamaged(Action action, const std::string& table = "") {
  const testing::Thrown thrown = testing::ThrownBy(action);
  EXPECT_EQ(thrown.number, err::kDbUnrecognizedFormat);
  EXPECT_EQ(thrown.description,
            "Damaged database: /p/Orvano.mdb" + (table.empty() ? "" : " (table '" + table + "')"));
}

// The answer frame of no table names, in printf's notation.
constexpr const char* kNoNames = "printf 'N\\004\\000\\000\\000\\000\\000\\000\\000'";

// A reader that dies at once: tests/e2e; here it dies after a good open, in the middle of a
// table, and stays failed.
TEST(JetReaderClientTest, ReaderThatDiesIsDamage) {
  JetReaderClient client = FakeReader(
      std::string(kNoNames) + "; head -c 20 >/dev/null; printf 'W\\377\\000\\000\\000\\001'");
  EXPECT_TRUE(client.Open("").empty());
  ExpectDamaged([&] { client.ReadTable("TidxTexts", {"Name"}); }, "TidxTexts");
  ExpectDamaged([&] { client.ColumnNames("TidxTexts"); }, "TidxTexts");
}

TEST(JetReaderClientTest, ReaderThatHangsIsKilledAtTheTimeLimit) {
  const auto start = std::chrono::steady_clock::now();
  {
    JetReaderClient client = FakeReader("exec sleep 60", milliseconds(300));
    ExpectDamaged([&] { client.Open(std::string(1 << 20, 'x')); });  // more than the socket holds
  }
  {
    JetReaderClient client =
        FakeReader(std::string(kNoNames) + "; exec sleep 60", milliseconds(300));
    EXPECT_TRUE(client.Open("").empty());
    ExpectDamaged([&] { client.ColumnNames("TidxGroups"); }, "TidxGroups");
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(JetReaderClientTest, MalformedAnswersAreDamage) {
  for (const std::string answer : {
           "printf 'hello, world'",                                   // no frame at all
           "printf 'N\\377\\377\\377\\377'",                          // larger than the limit
           "printf 'N\\010\\000\\000\\000\\377\\000\\000\\000abcd'",  // 255 names in 4 bytes
           "printf 'Z\\000\\000\\000\\000'",                          // the wrong answer
           "printf 'E\\010\\000\\000\\000\\001\\000\\000\\000\\000\\000\\000\\000'",  // error 1
       }) {
    SCOPED_TRACE(answer);
    JetReaderClient client = FakeReader(answer);
    ExpectDamaged([&] { client.Open(""); });
  }
}

TEST(JetReaderClientTest, ReaderErrorsPassThrough) {
  // Error 3078 with its message, then the reader goes on.
  JetReaderClient client =
      FakeReader(std::string(kNoNames) +
                     "; printf 'E\\013\\000\\000\\000\\006\\014\\000\\000\\003\\000\\000\\000abc'; "
                     "exec sleep 60",
                 milliseconds(300));
  EXPECT_TRUE(client.Open("").empty());
  const testing::Thrown thrown = testing::ThrownBy([&] { client.ColumnNames("T"); });
  EXPECT_EQ(thrown.number, err::kDbTableNotFound);
  EXPECT_EQ(thrown.description, "abc");
  ExpectDamaged([&] { client.ColumnNames("T"); }, "T");  // then it hangs
}

TEST(JetReaderClientTest, MissingProgramIsReported) {
  const testing::Thrown thrown = testing::ThrownBy([] {
    JetReaderClient("/nonexistent/orvano-dbreader", {}, "/p/Orvano.mdb", milliseconds(100));
  });
  EXPECT_EQ(thrown.number, err::kPathFileAccess);
  EXPECT_THAT(thrown.description, HasSubstr("/nonexistent/orvano-dbreader"));
}

}  // namespace
}  // namespace orvano
