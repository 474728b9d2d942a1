// What a build job relies on, from real runs of orvano-html: the exit statuses, the JSON run
// report (checked against its schema in docs/ with a packaged validator) and check mode, which
// finds the problems without writing anything.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "project_sources.h"
#include "project_writer.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using nlohmann::json;
using testing::ReadBytes;
using testing::WriteBytes;
using tools::ProjectPaths;
using tools::ProjectSources;
using Outcome = testing::CommandOutcome;

class BuildJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = dir_.path() + "bin/";
    testing::CopyProgramsPortably({ORVANO_HTML_EXE}, bin_);
    out_ = dir_.path() + "out/";
    testing::MakeFolders(out_);
  }

  // The demo project, changed by `edit`, with Languages.mdb beside the program.
  ProjectPaths MakeProject(const std::function<void(ProjectSources&)>& edit = {}) {
    ProjectSources sources =
        tools::ReadProjectSources(*fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
    if (edit) edit(sources);
    ProjectPaths paths = tools::WriteProject(*fs_, sources, dir_.path() + "project/");
    if (!paths.language_database.empty()) {
      WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths.language_database));
    }
    return paths;
  }

  Outcome Run(const ProjectPaths& paths, const std::string& arguments) {
    return testing::RunCommand(
        bin_ + "orvano-html " + arguments + " PathOrvanoDOC=" + paths.description +
        " PathOrvanoDB=" + paths.database + " PathXLCollection=" + paths.workbook +
        " PathHTMLSourceFolder=" + paths.template_folder + " PathDestinationFolder=" + out_ +
        " 2>&1");
  }

  // Every file below `folder`, with its full path.
  static std::set<std::string> FilesBelow(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file()) files.insert(entry.path().string());
    }
    return files;
  }

  testing::ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  std::string bin_;
  std::string out_;
};

// Names the demo's section "Standard" and its sheet "/tmp/Standard", so that its page would
// leave the destination.
void MakeUnsafeSectionName(ProjectSources& s) {
  const std::string old_text = "Name=Standard";
  s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), "Name=/tmp/Standard");
  for (auto& sheet : s.workbook.sheets) {
    if (sheet.name == "Standard") sheet.Set(0, 0, XlsCell::Text("/tmp/Standard"));
  }
}

// The report at `path` is valid by the schema in docs/ (the validator's message otherwise).
::testing::AssertionResult MatchesSchema(const std::string& path) {
  const std::string schema = std::string(ORVANO_SOURCE_DIR) + "/docs/run-report.schema.json";
  Outcome validated = testing::RunCommand(
      "python3 -c 'import json, sys, jsonschema; "
      "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))' " +
      path + " " + schema + " 2>&1");
  if (validated.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << validated.output;
}

TEST_F(BuildJobTest, DemoReportValidatesAndListsExactlyTheFilesWritten) {
  ProjectPaths paths = MakeProject();
  const std::string report_path = dir_.path() + "report.json";
  Outcome outcome = Run(paths, "Silent=TRUE LangID=ALL Report=" + report_path);
  ASSERT_EQ(0, outcome.status) << outcome.output;
  ASSERT_TRUE(MatchesSchema(report_path));
  const json report = json::parse(ReadBytes(report_path));
  EXPECT_EQ(0, report["exit_status"]);
  EXPECT_EQ("run", report["mode"]);
  std::set<std::string> listed;
  for (const json& language : report["languages"]) {
    EXPECT_TRUE(language["complete"].get<bool>());
    for (const json& file : language["files"]) {
      const std::string path = file["file"];
      listed.insert(path);
      EXPECT_EQ(std::filesystem::file_size(path), file["bytes"].get<std::uint64_t>()) << path;
    }
  }
  for (const json& file : report["files"]) listed.insert(file["file"].get<std::string>());
  EXPECT_EQ(FilesBelow(out_), listed);
  EXPECT_EQ(3U, report["languages"].size());
  EXPECT_EQ(5U, report["inputs"].size());
}

TEST_F(BuildJobTest, ExitStatusesFromRealRuns) {
  ProjectPaths paths = MakeProject(MakeUnsafeSectionName);
  const std::string report_path = dir_.path() + "report.json";
  // 2: a command line no project can make right; nothing is run.
  for (const std::string arguments :
       {"Silent=TRUE LangID=1033 Check=MAYBE", "Silent=TRUE LangID=1033 Jobs=0",
        "Silent=TRUE LangID=1033 Report=", "Silent=TRUE LangID=1033,,1049"}) {
    SCOPED_TRACE(arguments);
    Outcome outcome = Run(paths, arguments);
    EXPECT_EQ(2, outcome.status) << outcome.output;
    EXPECT_NE(std::string::npos, outcome.output.find("see --help")) << outcome.output;
  }
  EXPECT_TRUE(FilesBelow(out_).empty());

  // 3: the run finished, but a page was refused; every language counts.
  Outcome refused = Run(paths, "Silent=TRUE LangID=ALL Report=" + report_path);
  EXPECT_EQ(3, refused.status) << refused.output;
  ASSERT_TRUE(MatchesSchema(report_path));
  json report = json::parse(ReadBytes(report_path));
  EXPECT_EQ(3, report["exit_status"]);
  EXPECT_EQ(R"(Page name not allowed: section "/tmp/Standard")",
            report["languages"][0]["problems"][0]["text"]);
  EXPECT_EQ("warning", report["languages"][0]["problems"][0]["kind"]);

  // 1: stopped by an error; the report says so too.
  WriteBytes(paths.description, "[Setup]\nSections=junk\n");
  Outcome stopped = Run(paths, "Silent=TRUE LangID=1033 Report=" + report_path);
  EXPECT_EQ(1, stopped.status) << stopped.output;
  ASSERT_TRUE(MatchesSchema(report_path));
  report = json::parse(ReadBytes(report_path));
  EXPECT_EQ(1, report["exit_status"]);
  ASSERT_EQ(1U, report["languages"].size());
  EXPECT_FALSE(report["languages"][0]["complete"].get<bool>());
  EXPECT_EQ("error", report["languages"][0]["problems"].back()["kind"]);
}

TEST_F(BuildJobTest, StrictCountsTheOrdinaryNotes) {
  // Without its last sheet the section "Utilities" has no table: an ordinary note.
  ProjectPaths paths = MakeProject([](ProjectSources& s) { s.workbook.sheets.pop_back(); });
  Outcome plain = Run(paths, "Silent=TRUE LangID=1033");
  EXPECT_EQ(0, plain.status) << plain.output;
  Outcome strict = Run(paths, "Silent=TRUE LangID=1033 Strict=TRUE");
  EXPECT_EQ(3, strict.status) << strict.output;
}

TEST_F(BuildJobTest, CheckWritesNothingAndPrintsEveryProblem) {
  ProjectPaths paths = MakeProject([](ProjectSources& s) {
    MakeUnsafeSectionName(s);
    s.workbook.sheets.pop_back();
  });
  std::filesystem::remove(paths.template_folder + "Source_Section_d.htm");
  const std::string report_path = dir_.path() + "report.json";
  Outcome outcome = Run(paths, "Check=TRUE LangID=ALL Report=" + report_path);
  EXPECT_EQ(3, outcome.status) << outcome.output;
  EXPECT_TRUE(FilesBelow(out_).empty());
  // Sorted by place, each problem once however many languages have it.
  const std::string& doc = paths.description;
  EXPECT_EQ(doc + " [Section_1] Name: warning: Page name not allowed: section \"/tmp/Standard\"\n" +
                doc + " [Section_3] Name: note: Table not found: Inspection\n" + doc +
                " [Section_4] Name: note: Table not found: Utilities\n" + paths.template_folder +
                "Source_Section_d.htm: warning: Template missing\n" +
                "check: 0 errors, 2 warnings, 2 notes; 3 of 3 languages built to the end\n",
            outcome.output);
  ASSERT_TRUE(MatchesSchema(report_path));
  const json report = json::parse(ReadBytes(report_path));
  EXPECT_EQ("check", report["mode"]);
  EXPECT_EQ(3, report["exit_status"]);
  // The files a run would write are listed, though none was written.
  EXPECT_FALSE(report["languages"][0]["files"].empty());
  EXPECT_FALSE(std::filesystem::exists(report["languages"][0]["files"][0]["file"]));
}

// An error that ends a run abandons its page in a check, and the check goes on to the end.
TEST_F(BuildJobTest, CheckGoesOnAfterAnErrorThatStopsARun) {
  ProjectPaths paths = MakeProject([](ProjectSources& s) {
    for (auto& sheet : s.workbook.sheets) {
      for (auto& [at, cell] : sheet.cells) {
        auto* text = std::get_if<std::string>(&cell.value);
        if (text != nullptr && *text == "###EDR[REJ]") *text = "###EDR[REJ]x";
      }
    }
  });
  Outcome run = Run(paths, "Silent=TRUE LangID=1033");
  EXPECT_EQ(1, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("Type mismatch")) << run.output;

  testing::ScopedTempDir empty;
  Outcome check = Run(paths, "Check=TRUE LangID=1033 PathDestinationFolder=" + empty.path());
  EXPECT_EQ(3, check.status) << check.output;
  EXPECT_NE(
      std::string::npos,
      check.output.find("language 1033: error: Type mismatch: \"###EDR[REJ]x1\" in sheet row 8"))
      << check.output;
  EXPECT_NE(std::string::npos, check.output.find("check: 1 error, 0 warnings, 2 notes; 1 of 1 "))
      << check.output;
  // A note made in a cell of a section's sheet names the cell.
  EXPECT_NE(std::string::npos,
            check.output.find(paths.workbook +
                              ":Standard!E8: note: Indextext not found: General.Missing\n"))
      << check.output;
}

}  // namespace
}  // namespace orvano
