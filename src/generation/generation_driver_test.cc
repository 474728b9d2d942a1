#include "generation/generation_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "generation/error_reporting.h"
#include "generation/run_settings.h"
#include "inputs/languages.h"
#include "project_sources.h"
#include "project_writer.h"
#include "support/file_system.h"
#include "support/logs.h"
#include "support/text_codec.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

// A run over a project built from the demo's sources in a temporary folder, with the language
// database beside the program, a recording host that goes on after errors and a pinned clock.
class GenerationDriverTest : public ::testing::Test {
 protected:
  // Writes the demo project, changed by `edit`, and points the settings at it.
  void MakeProject(const std::function<void(tools::ProjectSources&)>& edit = {}) {
    tools::ProjectSources sources =
        tools::ReadProjectSources(fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
    if (edit) edit(sources);
    paths_ = tools::WriteProject(fs_, sources, dir_.path() + "project/");
    testing::MakeFolders(bin_);
    WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths_.language_database));
    testing::MakeFolders(out_);
    settings_.description_file = paths_.description;
    settings_.database_file = paths_.database;
    settings_.workbook_file = paths_.workbook;
    settings_.template_folder = paths_.template_folder;
    settings_.destination_folder = out_;
    settings_.language_id = "1033";
    const std::optional<std::string> names = FindLanguageDatabase(fs_, bin_);
    ASSERT_TRUE(names);
    settings_.language_database_file = *names;
    languages_ = ReadProjectLanguages(paths_.database, "Tlanguages", names, sink_);
    ASSERT_FALSE(languages_.empty());
  }

  bool Generate() {
    return GeneratePages(settings_, languages_, {fs_, host_, logs_}, nullptr).complete;
  }

  // The texts of the error dialogs so far.
  std::vector<std::string> Errors() {
    std::vector<std::string> texts;
    for (const testing::HostCall& call : host_.CallsOf("error")) texts.push_back(call.text);
    return texts;
  }

  std::string Page(const std::string& name) {
    return DecodeTextFile(ReadBytes(out_ + name), true).text;
  }

  std::vector<std::string> PagesWritten() {
    std::vector<std::string> names;
    for (const FolderEntry& entry : fs_.ListFolder(out_)) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::ScopedTempDir dir_;
  const std::string bin_ = dir_.path() + "bin/";
  const std::string out_ = dir_.path() + "out/";
  testing::FixedClockFileSystem fs_{testing::TestTime()};
  testing::RecordingHost host_;
  Logs logs_{fs_, bin_ + "orvano-htmlError.log", bin_ + "orvano-html_Events.log"};
  RunSettings settings_;
  ReportingErrorSink sink_{host_, logs_, settings_.silent};
  std::vector<ProjectLanguage> languages_;
  tools::ProjectPaths paths_;

  void SetUp() override { host_.continue_after_error = true; }
};

// A reader that fails reports its own step first; the run then stops under its own step with
// the message that names the input, and the earlier pages stay. (Each stop of a silent run, and
// the pages it leaves: tests/e2e.)
TEST_F(GenerationDriverTest, AStopNamesTheInputAfterItsReadersOwnReport) {
  MakeProject();
  WriteBytes(out_ + "Standard.htm", "earlier page");
  settings_.language_id = "4711";
  EXPECT_FALSE(Generate());
  EXPECT_EQ(std::vector<std::string>{"Error!\n\rLanguage not found\n\rAt: " + paths_.database +
                                     " [Tlanguages]\n\rContinue?"},
            Errors());

  host_.calls.clear();
  settings_.language_id = "1033";
  WriteBytes(paths_.workbook, ReadBytes(paths_.workbook).substr(0, 700));
  EXPECT_FALSE(Generate());
  std::vector<std::string> errors = Errors();
  ASSERT_EQ(2u, errors.size());
  EXPECT_NE(std::string::npos, errors[0].find("/ XLCollectionSheetList\n\r" + paths_.workbook))
      << errors[0];
  EXPECT_EQ("Error!\n\rError reading Collectionfile\n\rAt: " + paths_.workbook + "\n\rContinue?",
            errors[1]);
  EXPECT_EQ(std::vector<std::string>{"Standard.htm"}, PagesWritten());
  EXPECT_EQ("earlier page", ReadBytes(out_ + "Standard.htm"));
}

// Sections without sheets write no section page: the navigation pages show no machine, and
// each missing sheet is noted in order.
TEST_F(GenerationDriverTest, SectionsWithoutSheetsLeaveTheMachineNameEmpty) {
  MakeProject([](tools::ProjectSources& sources) {
    auto& sheets = sources.workbook.sheets;
    std::erase_if(sheets, [](const auto& sheet) { return sheet.name != "CommonDirect"; });
  });
  EXPECT_TRUE(Generate());
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ((std::vector<std::string>{"Brenk.gif", "Index.htm", "Logfile.log", "Main.htm",
                                      "Menu.htm", "Overview.htm"}),
            PagesWritten());
  // The menu template's line "<!-- built after: ###MASCHINE### ###MASCHINEID### ###ZIEL_HTML###
  // ###MENU_TEXT### -->" with every placeholder empty.
  EXPECT_NE(std::string::npos, Page("Menu.htm").find("<!-- built after:     -->"))
      << Page("Menu.htm");
  const std::string log = ReadBytes(out_ + "Logfile.log");
  const std::size_t standard = log.find("Table not found: Standard\r\n");
  const std::size_t drives = log.find("Table not found: Drives\r\n");
  const std::size_t utilities = log.find("Table not found: Utilities\r\n");
  ASSERT_NE(std::string::npos, utilities) << log;
  EXPECT_LT(standard, drives);
  EXPECT_LT(drives, utilities);
}

// The progress display's maximum is the number of ticks the run makes, with machines that
// lack a section and sections without a sheet; the ticks name the pages finished.
TEST_F(GenerationDriverTest, ProgressReachesItsMaximumExactly) {
  MakeProject([](tools::ProjectSources& sources) { sources.workbook.sheets.pop_back(); });
  ASSERT_TRUE(Generate());
  std::vector<testing::HostCall> starts = host_.CallsOf("status-start");
  ASSERT_EQ(2u, starts.size());  // the run's empty display, then the pages'
  const std::vector<testing::HostCall> ticks = host_.CallsOf("tick");
  EXPECT_EQ(starts[1].number, static_cast<int>(ticks.size()));
  std::vector<std::string> named;
  for (const testing::HostCall& tick : ticks) {
    if (!tick.text.empty()) named.push_back(tick.text);
  }
  EXPECT_EQ("Standard.htm", named.front());
  EXPECT_EQ("Brenk.gif", named.back());
  EXPECT_NE(named.end(), std::find(named.begin(), named.end(), "Overview.htm"));
}

}  // namespace
}  // namespace orvano
