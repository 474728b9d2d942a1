#include "session/command_line.h"

#include <gtest/gtest.h>

#include "session/program_info.h"
#include "session/startup.h"

namespace orvano {
namespace {

using Tokens = std::vector<std::string>;

TEST(CommandLine, SplitsAtEveryBlankWithoutQuoting) {
  EXPECT_EQ(Tokens{""}, SplitCommandLine(""));
  EXPECT_EQ(Tokens{""}, SplitCommandLine("   "));
  EXPECT_EQ((Tokens{"a", "", "b"}), SplitCommandLine("  a  b "));
  EXPECT_EQ((Tokens{"\"x", "y\""}), SplitCommandLine("\"x y\""));
  EXPECT_EQ(Tokens{"a\tb"}, SplitCommandLine("a\tb"));
  const char* argv[] = {"orvano-html", "Silent=TRUE", "LangID=1031"};
  EXPECT_EQ("Silent=TRUE LangID=1031", JoinArguments(3, argv));
}

TEST(CommandLine, FindsKeysWithoutRegardToCaseAnywhereInTheKey) {
  Tokens tokens =
      SplitCommandLine("/silent=true  xLangIDx=5 Other=a=b PathOrvanoDOC=/Proj/Orvano.doc");
  EXPECT_EQ("TRUE", CommandLineValue(tokens, "Silent"));
  EXPECT_EQ("5", CommandLineValue(tokens, "LangID"));
  EXPECT_EQ("B", CommandLineValue(tokens, "Other"));
  EXPECT_EQ("", CommandLineValue(tokens, "progress"));
  // Paths keep their letter case; the upper-cased form would break them.
  EXPECT_EQ("/Proj/Orvano.doc", CommandLinePath(tokens, "PathOrvanoDOC"));
  EXPECT_EQ("/PROJ/ORVANO.DOC", CommandLineValue(tokens, "PathOrvanoDOC"));

  EXPECT_EQ("SILENT", CommandLineValue(SplitCommandLine("Silent"), "Silent"));
  EXPECT_EQ("", CommandLineValue(SplitCommandLine(""), "Silent"));
  EXPECT_EQ("Silent", FindCommandLineToken(SplitCommandLine("x Silent"), "SILENT", false));
  EXPECT_EQ("", FindCommandLineToken(SplitCommandLine("Silent=TRUE"), "Silent", false));

  // A path value that holds a key's name does not stand in for that key.
  Tokens paths = SplitCommandLine("PathOrvanoDOC=/home/progress/Orvano.doc progress=TRUE");
  EXPECT_EQ("TRUE", CommandLineValue(paths, "progress"));
}

TEST(StartUp, CommandLineAndFolderDecideTheMode) {
  ProgramInfo elsewhere = ProgramInfoFor("/usr/local/bin/orvano-html");
  elsewhere.install_root = "/opt/orvano/Program/";
  ProgramInfo machine_pc = ProgramInfoFor("/opt/orvano/Program/Tools/orvano-html");
  machine_pc.install_root = "/opt/orvano/Program/";

  StartUpMode plain = ReadStartUpMode("", elsewhere);
  EXPECT_FALSE(plain.silent);
  EXPECT_FALSE(plain.is_running_on_machine_pc);
  EXPECT_EQ("", plain.language_id);

  EXPECT_FALSE(ReadStartUpMode("Silent", elsewhere).silent);
  StartUpMode silent = ReadStartUpMode("silent=true LangID=1031 progress=TRUE", elsewhere);
  EXPECT_TRUE(silent.silent);
  EXPECT_TRUE(silent.show_progress);
  EXPECT_EQ("1031", silent.language_id);
  EXPECT_FALSE(ReadStartUpMode("progress=TRUE", elsewhere).show_progress);

  EXPECT_TRUE(ReadStartUpMode("", machine_pc).silent);
  EXPECT_TRUE(ReadStartUpMode("", machine_pc).is_running_on_machine_pc);
  EXPECT_FALSE(ReadStartUpMode("Silent=FALSE", machine_pc).silent);
  EXPECT_TRUE(ReadStartUpMode("Silent=maybe", machine_pc).silent);

  ProgramInfo other_case = ProgramInfoFor("/OPT/orvano/program/tools/orvano-html");
  other_case.install_root = "/opt/orvano/Program";
  EXPECT_TRUE(ReadStartUpMode("", other_case).is_running_on_machine_pc);
}

TEST(StartUp, ProgramInfoNamesTheFilesBesideTheExecutable) {
  ProgramInfo info = ProgramInfoFor("/srv/tools/Gen.exe");
  EXPECT_EQ("/srv/tools/", info.folder);
  EXPECT_EQ("Gen", info.base_name);
  EXPECT_EQ("/srv/tools/GenError.log", info.ErrorLogPath());
  EXPECT_EQ("/srv/tools/Gen_Events.log", info.DefaultEventLogPath());
  EXPECT_EQ("orvano-html", ProgramInfoFor("/orvano-html").base_name);
}

}  // namespace
}  // namespace orvano
