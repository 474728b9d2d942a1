#include "session/settings_loader.h"

#include <gtest/gtest.h>

#include <map>

#include "session/command_line.h"
#include "session/run_context.h"
#include "session/startup.h"
#include "support/errors.h"
#include "support/ini_file.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

class RecordingFields final : public SettingsFields {
 public:
  void SetField(PathField field, const std::string& text) override { fields[field] = text; }
  std::map<PathField, std::string> fields;
};

// A project with all inputs, an executable folder with its INI file, and an install root.
struct SettingsLoaderTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  testing::FixedClockFileSystem fs{testing::TestTime()};
  testing::RecordingHost host;
  RecordingFields fields;
  std::unique_ptr<RunContext> context;
  std::string project;
  std::string exe_folder;

  void SetUp() override {
    project =
        dir.path() + "My Proj \u00e4/";  // blanks and a non-ASCII letter, as users name folders
    exe_folder = dir.path() + "bin/";
    testing::MakeFolders(project + "Templates");
    testing::MakeFolders(project + "Out");
    testing::MakeFolders(exe_folder);
    for (const char* name :
         {"Orvano.doc", "Orvano.mdb", "Coll.xls", "Templates/Main.htm", "Languages.mdb"}) {
      WriteBytes(project + name, "x");
    }
    MakeContext(exe_folder + "orvano-html");
  }

  void MakeContext(const std::string& exe) {
    ProgramInfo program = ProgramInfoFor(exe);
    program.install_root = dir.path() + "root/";
    context = std::make_unique<RunContext>(fs, host, program);
  }

  std::string IniPath() { return exe_folder + "orvano-html.ini"; }

  // Writes the INI file beside the program with `entries` ({key, path in the project}).
  void WriteIni(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text = "[SysEnviron]\r\n";
    for (const auto& [key, path] : entries) text += key + "=" + project + path + "\r\n";
    WriteBytes(IniPath(), text);
  }

  void Load(const std::string& command_line) {
    ApplyStartUpMode(ReadStartUpMode(SplitCommandLine(command_line), context->program), *context);
    LoadStartSettings(*context, fields, SplitCommandLine(command_line));
  }
};

TEST_F(SettingsLoaderTest, CommandLinePathsKeepTheirCaseAndWinOverTheIniFile) {
  WriteIni({{"PathOrvanoDOC", "Orvano.mdb"},
            {"PathXLCollection", "Coll.xls"},
            {"PathLanguageDB", "Languages.mdb"}});
  Load("PathOrvanoDOC=" + project + "Orvano.doc PathHTMLSourceFolder=" + project + "Templates");
  const RunSettings& s = context->settings;
  EXPECT_EQ(project + "Orvano.doc", s.description_file);
  EXPECT_EQ(project + "Templates/", s.template_folder);  // folders get their "/"
  EXPECT_EQ(project + "Coll.xls", s.workbook_file);      // from the INI file
  EXPECT_EQ(project + "Languages.mdb", s.language_database_file);
  EXPECT_EQ("", s.database_file);
  EXPECT_EQ(project + "Orvano.doc", fields.fields[PathField::kDescriptionFile]);
  EXPECT_EQ(project + "Coll.xls", fields.fields[PathField::kWorkbook]);
  EXPECT_EQ("", fields.fields[PathField::kDestinationFolder]);
  EXPECT_EQ(IniPath(), context->user_ini_file);
  EXPECT_TRUE(host.CallsOf("error").empty());
}

TEST_F(SettingsLoaderTest, AMissingCommandLinePathIsACommandLineError) {
  host.continue_after_error = true;
  WriteIni({{"PathXLCollection", "Coll.xls"}});
  Load("PathOrvanoDOC=" + project + "orvano.doc PathOrvanoDB=" + project + "Orvano.mdb");
  EXPECT_EQ(1u, host.CallsOf("error").size());  // its message: tests/e2e
  EXPECT_EQ("", context->settings.description_file);
  EXPECT_EQ(project + "Orvano.mdb", context->settings.database_file);
  EXPECT_EQ("", context->settings.workbook_file);  // nothing else is loaded
}

TEST_F(SettingsLoaderTest, IniEntriesNamingNothingAreCleared) {
  WriteIni({{"PathOrvanoDOC", "deleted.doc"},
            {"PathOrvanoDB", "Orvano.mdb"},
            {"PathHTMLSourceFolder", "Out/"},
            {"PathDestinationFolder", "Gone/"},
            {"PathLanguageDB", "gone.mdb"}});
  fields.fields[PathField::kDescriptionFile] = "typed before";
  Load("");
  const RunSettings& s = context->settings;
  EXPECT_EQ("", s.description_file);
  EXPECT_EQ("typed before", fields.fields[PathField::kDescriptionFile]);  // field left unchanged
  EXPECT_EQ(project + "Orvano.mdb", s.database_file);
  EXPECT_EQ("", s.template_folder);  // a template folder without files
  EXPECT_EQ("", s.destination_folder);
  EXPECT_EQ("", fields.fields.at(PathField::kDestinationFolder));  // shows empty
  EXPECT_EQ("", s.language_database_file);
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(SettingsLoaderTest, MachinePcFallsBackToDefaultsAndCreatesTheDestination) {
  std::string root = dir.path() + "root/";
  testing::MakeFolders(root + "Tools");
  WriteBytes(root + "Orvano.doc", "x");
  exe_folder = root + "Tools/";
  MakeContext(exe_folder + "orvano-html");
  Load("LangID=1031");
  const RunSettings& s = context->settings;
  EXPECT_TRUE(s.is_running_on_machine_pc);
  EXPECT_TRUE(s.silent);
  EXPECT_EQ(root + "Orvano.doc", s.description_file);
  EXPECT_EQ(root + "Orvano.doc", fields.fields[PathField::kDescriptionFile]);
  EXPECT_EQ(root + "Orvano.mdb", s.database_file);  // the default stays without its file
  EXPECT_EQ(0u, fields.fields.count(PathField::kDatabase));
  EXPECT_EQ(root + "InterfaceDescription_HTML/", s.destination_folder);
  EXPECT_TRUE(fs.IsFolder(root + "InterfaceDescription_HTML/"));  // silent: created at once
  EXPECT_TRUE(host.CallsOf("ask").empty());
}

TEST_F(SettingsLoaderTest, InteractiveRunsAskBeforeCreatingTheDestination) {
  host.answer_yes = false;
  host.continue_after_error = true;
  Load("PathDestinationFolder=" + project + "New/Deeper");
  ASSERT_EQ(1u, host.CallsOf("ask").size());
  EXPECT_EQ("Create Folder? \n\r" + project + "New/Deeper/", host.CallsOf("ask")[0].text);
  EXPECT_FALSE(fs.IsFolder(project + "New/"));
  // Declining leaves the command-line path in error.
  ASSERT_EQ(1u, host.CallsOf("error").size());
  EXPECT_NE(std::string::npos, host.CallsOf("error")[0].text.find("Error in Commandline."));

  host.answer_yes = true;
  MakeContext(exe_folder + "orvano-html");
  Load("PathDestinationFolder=" + project + "New/Deeper");
  EXPECT_TRUE(fs.IsFolder(project + "New/Deeper/"));
  EXPECT_EQ(project + "New/Deeper/", context->settings.destination_folder);

  // A destination that cannot be created: the failure, then the program's own error.
  WriteBytes(project + "blocker", "");
  host.calls.clear();
  MakeContext(exe_folder + "orvano-html");
  Load("PathDestinationFolder=" + project + "blocker/out/");
  auto errors = host.CallsOf("error");
  ASSERT_EQ(3u, errors.size());
  EXPECT_NE(std::string::npos, errors[0].text.find("a file is in the way"));
  EXPECT_NE(std::string::npos, errors[1].text.find("Path could not be created: " + project));
  EXPECT_NE(std::string::npos, errors[2].text.find("Error in Commandline."));
  EXPECT_EQ("", context->settings.destination_folder);
}

TEST_F(SettingsLoaderTest, RememberingWritesTheFivePathsAndKeepsTheRest) {
  WriteBytes(IniPath(), "; mine\r\n[Other]\r\nKeep=1\r\n");
  Load("PathOrvanoDOC=" + project + "Orvano.doc PathDestinationFolder=" + project + "Out/");
  RememberPaths(*context);
  std::string ini = ReadBytes(IniPath());
  EXPECT_EQ(0u, ini.find("; mine\r\n[Other]\r\nKeep=1\r\n"));
  EXPECT_EQ(project + "Out/", ReadRememberedSetting(fs, IniPath(), "PathDestinationFolder"));

  // An INI file that cannot be written is said, and the run goes on.
  class ReadOnly : public testing::FixedClockFileSystem {
   public:
    ReadOnly() : FixedClockFileSystem(testing::TestTime()) {}
    bool CanWrite(const std::string&) override { return false; }
  } read_only;
  RunContext locked(read_only, host, context->program);
  locked.user_ini_file = IniPath();
  RememberPaths(locked);
  ASSERT_EQ(1u, host.CallsOf("diag").size());
  EXPECT_NE(std::string::npos, host.CallsOf("diag")[0].text.find(IniPath()));
}

}  // namespace
}  // namespace orvano
