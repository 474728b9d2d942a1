#include "session/command_line.h"

#include <gtest/gtest.h>

#include "session/program_info.h"
#include "session/startup.h"

namespace orvano {
namespace {

using Tokens = std::vector<std::string>;

// Each argument the shell passes is one token, blanks, non-ASCII letters and leading dashes
// in paths included; an argument holding several pairs is split only before a known key.
TEST(CommandLine, EachArgumentIsOneTokenUnlessItHoldsSeveralKeys) {
  const char* argv[] = {"orvano-html",
                        "Silent=TRUE",
                        "PathOrvanoDOC=/home/anna/My Projects/Line 4/Orvano.doc",
                        "",
                        "  PathDestinationFolder=/srv/Größe -x/out/  ",
                        "LangID=1031 -progress=TRUE PathOrvanoDB=/p/My =db.mdb /jobs=2"};
  EXPECT_EQ((Tokens{"Silent=TRUE", "PathOrvanoDOC=/home/anna/My Projects/Line 4/Orvano.doc",
                    "PathDestinationFolder=/srv/Größe -x/out/", "LangID=1031", "-progress=TRUE",
                    "PathOrvanoDB=/p/My =db.mdb", "/jobs=2"}),
            CommandLineTokens(6, argv));
  EXPECT_EQ(Tokens{}, SplitCommandLine("   "));
  // A word that names no key, or a key without "=", does not split.
  EXPECT_EQ(Tokens{"PathXLCollection=/a b/Silent c/LangID/x.xls"},
            SplitCommandLine("PathXLCollection=/a b/Silent c/LangID/x.xls"));
  EXPECT_EQ((Tokens{"Report=/r/a b.json", "check=TRUE"}),
            SplitCommandLine("Report=/r/a b.json check=TRUE"));

  const Tokens tokens = CommandLineTokens(6, argv);
  EXPECT_EQ("/home/anna/My Projects/Line 4/Orvano.doc", CommandLinePath(tokens, "PathOrvanoDOC"));
  EXPECT_EQ("/srv/Größe -x/out/", CommandLinePath(tokens, "PathDestinationFolder"));
  EXPECT_EQ("TRUE", CommandLineValue(tokens, "progress"));
  EXPECT_EQ("2", CommandLineValue(tokens, "Jobs"));
}

TEST(CommandLine, FindsKeysWithoutRegardToCaseAnywhereInTheKey) {
  Tokens tokens = {"/silent=true", "xLangIDx=5", "Other=a=b", "PathOrvanoDOC=/Proj/Orvano.doc"};
  EXPECT_EQ("TRUE", CommandLineValue(tokens, "Silent"));
  EXPECT_EQ("5", CommandLineValue(tokens, "LangID"));
  EXPECT_EQ("B", CommandLineValue(tokens, "Other"));
  EXPECT_EQ("", CommandLineValue(tokens, "progress"));
  // Paths keep their letter case; the upper-cased form would break them.
  EXPECT_EQ("/Proj/Orvano.doc", CommandLinePath(tokens, "PathOrvanoDOC"));
  EXPECT_EQ("/PROJ/ORVANO.DOC", CommandLineValue(tokens, "PathOrvanoDOC"));

  EXPECT_EQ("SILENT", CommandLineValue({"Silent"}, "Silent"));
  EXPECT_EQ("", CommandLineValue({}, "Silent"));
  EXPECT_EQ("Silent", FindCommandLineToken({"x", "Silent"}, "SILENT", false));
  EXPECT_EQ("", FindCommandLineToken({"Silent=TRUE"}, "Silent", false));

  // A path value that holds a key's name does not stand in for that key.
  Tokens paths = {"PathOrvanoDOC=/home/progress/Orvano.doc", "progress=TRUE"};
  EXPECT_EQ("TRUE", CommandLineValue(paths, "progress"));
}

TEST(StartUp, CommandLineAndFolderDecideTheMode) {
  ProgramInfo elsewhere = ProgramInfoFor("/usr/local/bin/orvano-html");
  elsewhere.install_root = "/opt/orvano/Program/";
  ProgramInfo machine_pc = ProgramInfoFor("/opt/orvano/Program/Tools/orvano-html");
  machine_pc.install_root = "/opt/orvano/Program/";

  StartUpMode plain = ReadStartUpMode(SplitCommandLine(""), elsewhere);
  EXPECT_FALSE(plain.silent);
  EXPECT_FALSE(plain.is_running_on_machine_pc);
  EXPECT_EQ("", plain.language_id);

  EXPECT_FALSE(ReadStartUpMode(SplitCommandLine("Silent"), elsewhere).silent);
  StartUpMode silent =
      ReadStartUpMode(SplitCommandLine("silent=true LangID=1031 progress=TRUE"), elsewhere);
  EXPECT_TRUE(silent.silent);
  EXPECT_TRUE(silent.show_progress);
  EXPECT_EQ("1031", silent.language_id);
  EXPECT_FALSE(ReadStartUpMode(SplitCommandLine("progress=TRUE"), elsewhere).show_progress);

  EXPECT_TRUE(ReadStartUpMode(SplitCommandLine(""), machine_pc).silent);
  EXPECT_TRUE(ReadStartUpMode(SplitCommandLine(""), machine_pc).is_running_on_machine_pc);
  EXPECT_FALSE(ReadStartUpMode(SplitCommandLine("Silent=FALSE"), machine_pc).silent);
  EXPECT_TRUE(ReadStartUpMode(SplitCommandLine("Silent=maybe"), machine_pc).silent);

  ProgramInfo other_case = ProgramInfoFor("/OPT/orvano/program/tools/orvano-html");
  other_case.install_root = "/opt/orvano/Program";
  EXPECT_TRUE(ReadStartUpMode(SplitCommandLine(""), other_case).is_running_on_machine_pc);
}

}  // namespace
}  // namespace orvano
