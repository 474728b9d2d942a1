#include "session/compare_command.h"

#include <gtest/gtest.h>

#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

// How the command is run is checked on the real program (tests/e2e/compare_test.cc); here the
// arguments it refuses before reading anything.
TEST(CompareCommandTest, WrongArgumentsAreUsageErrors) {
  auto fs = NewPosixFileSystem();
  using Arguments = std::vector<std::string>;
  for (const Arguments& arguments : {Arguments{}, Arguments{"a.json"}, Arguments{"--json"},
                                     Arguments{"a.json", "b.json", "c.json"}}) {
    const CommandResult result = RunCompareCommand(*fs, arguments);
    EXPECT_EQ(kCompareTrouble, result.exit_status);
    EXPECT_EQ("", result.output);
    EXPECT_EQ(
        "orvano-html: compare needs two exports, the old and the new (usage: orvano-html compare "
        "OLD.json NEW.json [--json])\n",
        result.errors);
  }
  const CommandResult result = RunCompareCommand(*fs, {"a.json", "-q", "b.json"});
  EXPECT_EQ(kCompareTrouble, result.exit_status);
  EXPECT_EQ(0U, result.errors.find("orvano-html: compare: unknown option -q (usage: "))
      << result.errors;
}

TEST(CompareCommandTest, EachExportThatCannotBeReadIsNamed) {
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  testing::WriteBytes(dir.path() + "new.json", "{\"format_version\": 1}");
  const CommandResult result =
      RunCompareCommand(*fs, {dir.path() + "old.json", dir.path() + "new.json", "--json"});
  EXPECT_EQ(kCompareTrouble, result.exit_status);
  EXPECT_EQ("", result.output);
  EXPECT_EQ("orvano-html: cannot open '" + dir.path() +
                "old.json': No such file or directory\n"
                "orvano-html: " +
                dir.path() + "new.json: not an export of orvano-html\n",
            result.errors);
}

}  // namespace
}  // namespace orvano
