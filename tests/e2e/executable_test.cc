// Runs the real orvano-html executable, copied into a temporary folder so that its error log and
// INI file land there. What a silent run that stops reports is checked in e2e_test.cc.

#include <gtest/gtest.h>

#include "testing/test_util.h"

namespace orvano {
namespace {

using Outcome = testing::CommandOutcome;  // standard output and error together
using testing::RunCommand;

struct ExecutableTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  std::string exe;

  void SetUp() override {
    exe = dir.path() + "orvano-html";
    testing::WriteBytes(exe, testing::ReadBytes(ORVANO_HTML_EXE));
    testing::SetMode(exe, 0755);
    testing::WriteBytes(exe + ".ini", "");  // a portable copy: its files stay beside it
  }

  Outcome Run(const std::string& arguments) {
    return testing::RunCommand(exe + " " + arguments + " 2>&1");
  }
};

TEST_F(ExecutableTest, HelpAndVersionAnswerLikeLinuxTools) {
  Outcome help = Run("--help");
  EXPECT_EQ(0, help.status);
  for (const char* key : {"Silent=", "LangID=", "progress=", "PathOrvanoDOC=", "PathOrvanoDB=",
                          "PathXLCollection=", "PathHTMLSourceFolder=", "PathDestinationFolder=",
                          "pgleft=", "compare OLD.json NEW.json"}) {
    EXPECT_NE(std::string::npos, help.output.find(key)) << key;
  }
  Outcome version = Run("--version");
  EXPECT_EQ(0, version.status);
  EXPECT_EQ(0u, version.output.find("orvano-html "));
  EXPECT_NE(std::string::npos,
            version.output.find("\nLicensed under the Apache License, Version 2.0\n"))
      << version.output;
  // A build from a git checkout names its commit.
  if (RunCommand("git -C " + std::string(ORVANO_SOURCE_DIR) + " rev-parse HEAD 2>/dev/null")
          .status == 0) {
    EXPECT_NE(std::string::npos, version.output.find("\ncommit ")) << version.output;
  }
}

}  // namespace
}  // namespace orvano
