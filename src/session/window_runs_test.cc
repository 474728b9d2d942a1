#include "session/window_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "project_sources.h"
#include "project_writer.h"
#include "session/path_fields.h"
#include "session/recent_projects.h"
#include "session/run_context.h"
#include "support/ini_file.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

// The demo project in a temporary folder with the program's folder beside it, taken into a
// context through the fields' rules, as the window takes it.
class WindowRunsTest : public ::testing::Test {
 protected:
  void MakeProject(const std::function<void(tools::ProjectSources&)>& edit = {}) {
    tools::ProjectSources sources =
        tools::ReadProjectSources(fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
    if (edit) edit(sources);
    paths_ = tools::WriteProject(fs_, sources, dir_.path() + "project/");
    testing::MakeFolders(bin_);
    testing::MakeFolders(out_);
    WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths_.language_database));
    context_ = std::make_unique<RunContext>(fs_, host_, ProgramInfoFor(bin_ + "orvano-html"));
    context_->user_ini_file = context_->program.UserIniPath();  // as the window's loading sets it
    for (auto [field, path] : {std::pair{PathField::kDescriptionFile, paths_.description},
                               {PathField::kDatabase, paths_.database},
                               {PathField::kWorkbook, paths_.workbook},
                               {PathField::kTemplateFolder, paths_.template_folder},
                               {PathField::kDestinationFolder, out_}}) {
      ASSERT_TRUE(ApplyFieldChange(*context_, field, path).taken) << path;
    }
    context_->settings.language_id = "1033";
  }

  std::vector<std::string> Lines(const WindowCheckOutcome& outcome) {
    std::vector<std::string> lines;
    for (const CheckedProblem& problem : outcome.problems) lines.push_back(problem.line.Text());
    return lines;
  }

  testing::ScopedTempDir dir_;
  const std::string bin_ = dir_.path() + "bin/";
  const std::string out_ = dir_.path() + "out/";
  testing::FixedClockFileSystem fs_{testing::TestTime()};
  testing::RecordingHost host_;
  tools::ProjectPaths paths_;
  std::unique_ptr<RunContext> context_;
};

// The check lists what Check=TRUE prints, in its order, the run's own errors too (a language
// not in the project), without asking; it writes nothing: no page, no event log, no error log,
// no remembered path, no export.
TEST_F(WindowRunsTest, CheckListsTheProblemsAndWritesNothing) {
  std::size_t bad_line = 0;  // the line added to the main template
  ASSERT_NO_FATAL_FAILURE(MakeProject([&bad_line](tools::ProjectSources& sources) {
    for (tools::TemplateFile& file : sources.templates) {
      if (file.name != "Source_Main.htm") continue;
      bad_line = static_cast<std::size_t>(std::count(file.bytes.begin(), file.bytes.end(), '\n'));
      file.bytes += "<p>###DIREKT###x</p>\n";
      ++bad_line;
    }
  }));
  const std::string main_template = paths_.template_folder + "Source_Main.htm";
  context_->settings.export_file = dir_.path() + "rows.csv";
  WindowCheckOutcome outcome = CheckFromWindow(*context_);
  EXPECT_EQ((std::vector<std::string>{
                paths_.workbook + ":Standard!E8: note: Indextext not found: General.Missing",
                paths_.description + " [Section_3] Name: note: Table not found: Inspection",
                main_template + ":" + std::to_string(bad_line) +
                    ": warning: Direct cell reference not valid: ###DIREKT###x (sheet "
                    "\"CommonDirect\")"}),
            Lines(outcome));
  ASSERT_EQ(3u, outcome.problems.size());
  EXPECT_EQ(main_template, outcome.problems[2].template_file);
  EXPECT_EQ("", outcome.problems[0].template_file);
  EXPECT_EQ("check: 0 errors, 1 warning, 2 notes; 1 of 1 language built to the end",
            outcome.summary);

  context_->settings.language_id = "1033,4711";
  outcome = CheckFromWindow(*context_);
  EXPECT_EQ(std::vector<std::string>{"orvano-html: error: Language not found: 4711 (error 9999 in "
                                     "StartMainProcess)"},
            Lines(outcome));
  EXPECT_EQ("check: 1 error, 0 warnings, 0 notes; 0 of 0 languages built to the end",
            outcome.summary);

  EXPECT_TRUE(fs_.ListFolder(out_).empty());
  EXPECT_FALSE(fs_.IsFile(context_->settings.export_file));
  EXPECT_FALSE(fs_.IsFile(context_->program.ErrorLogPath()));
  EXPECT_FALSE(fs_.IsFile(context_->program.UserIniPath()));
  EXPECT_TRUE(host_.CallsOf("error").empty());
}

// A run remembers the project and its export, writes the export and offers the page to start
// from, none when it wrote no frame page. (Several languages: the window's own tests.)
TEST_F(WindowRunsTest, ARunRemembersTheProjectAndOffersItsFirstPage) {
  ASSERT_NO_FATAL_FAILURE(MakeProject());
  const std::string rows = dir_.path() + "rows.csv";
  context_->settings.export_file = rows;
  EXPECT_EQ(out_ + "Index.htm", GenerateFromWindow(*context_).page_to_open);
  const std::string ini = context_->program.UserIniPath();
  EXPECT_EQ(out_, ReadRememberedSetting(fs_, ini, "PathDestinationFolder"));
  EXPECT_EQ(rows, ReadRememberedSetting(fs_, ini, "PathExport"));
  EXPECT_EQ(0u, ReadBytes(rows).find("language,page,section,"));
  EXPECT_EQ(std::vector<RecentProject>{CurrentProject(context_->settings)},
            RecentProjects(*context_));
  EXPECT_TRUE(host_.CallsOf("error").empty());

  host_.continue_after_error = true;
  context_->settings.language_id = "1033";
  fs_.RemoveFile(paths_.template_folder + "Index.htm");
  EXPECT_EQ(std::nullopt, GenerateFromWindow(*context_).page_to_open);
  EXPECT_EQ(1u, RecentProjects(*context_).size());  // the same project once
}

TEST_F(WindowRunsTest, TemplatePlacesNameFilesOfTheTemplateFolder) {
  const std::string folder = dir_.path() + "tpl/";
  testing::MakeFolders(folder);
  WriteBytes(folder + "Source_Main.htm", "x");
  WriteBytes(dir_.path() + "Orvano.doc", "x");
  const std::string file = folder + "Source_Main.htm";
  EXPECT_EQ(file, TemplateFileOfPlace(fs_, folder, file + ":21"));
  EXPECT_EQ(file, TemplateFileOfPlace(fs_, folder, file));
  EXPECT_EQ(file, TemplateFileOfPlace(fs_, folder, "Source_Main.htm:21"));
  for (const std::string& place :
       {folder + "Source_Section_d.htm",              // missing
        dir_.path() + "Orvano.doc",                   // outside the folder
        dir_.path() + "Orvano.doc [Section_3] Name",  // a key of the description file
        folder + "Book.xls:Drives!C17",               // a cell
        std::string("language 1049"), std::string("orvano-html"), std::string(":21")}) {
    EXPECT_EQ(std::nullopt, TemplateFileOfPlace(fs_, folder, place)) << place;
  }
  EXPECT_EQ(std::nullopt, TemplateFileOfPlace(fs_, "", "Source_Main.htm:21"));
}

}  // namespace
}  // namespace orvano
