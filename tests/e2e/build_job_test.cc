// What a build job relies on, from real runs of orvano-html: the exit statuses, the JSON run
// report (checked against its schema in docs/ with a packaged validator) and check mode, which
// finds the problems without writing anything.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <tuple>

#include "demo_run.h"

namespace orvano {
namespace {

using nlohmann::json;
using testing::Outcome;
using testing::ReadBytes;
using testing::WriteBytes;
using tools::ProjectPaths;
using tools::ProjectSources;

class BuildJobTest : public testing::DemoRunTest {};

// Replaces the first `from` in the template `name` of `s` by `to`.
void EditTemplate(ProjectSources& s, const std::string& name, const std::string& from,
                  const std::string& to) {
  for (auto& file : s.templates) {
    if (file.name != name) continue;
    const std::size_t at = file.bytes.find(from);
    ASSERT_NE(std::string::npos, at) << name << ": " << from;
    file.bytes.replace(at, from.size(), to);
  }
}

XlsSheet& SheetNamed(ProjectSources& s, const std::string& name) {
  for (auto& sheet : s.workbook.sheets) {
    if (sheet.name == name) return sheet;
  }
  throw std::runtime_error("no sheet " + name);
}

// Names the demo's section "Standard" and its sheet "/tmp/Standard", so that its page would
// leave the destination.
void MakeUnsafeSectionName(ProjectSources& s) {
  const std::string old_text = "Name=Standard";
  s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), "Name=/tmp/Standard");
  SheetNamed(s, "Standard").Set(0, 0, XlsCell::Text("/tmp/Standard"));
}

// The README's build-job example: a check, a run with a report, and its jq queries.
TEST_F(BuildJobTest, DemoReportValidatesAndListsExactlyTheFilesWritten) {
  ProjectPaths paths = MakeProject();
  Outcome check = Run(paths, "Check=TRUE LangID=ALL");
  EXPECT_EQ(0, check.status) << check.output;
  EXPECT_NE(std::string::npos,
            check.output.find("check: 0 errors, 0 warnings, 2 notes; 3 of 3 languages"))
      << check.output;
  // Strict=TRUE counts the demo's two ordinary notes.
  EXPECT_EQ(3, Run(paths, "Silent=TRUE Strict=TRUE LangID=1033", dir_.path() + "strict/").status);
  const std::string report_path = dir_.path() + "report.json";
  Outcome outcome = Run(paths, "Silent=TRUE LangID=ALL Report=" + report_path);
  ASSERT_EQ(0, outcome.status) << outcome.output;
  ASSERT_TRUE(testing::MatchesSchema("run-report", report_path));
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

  if (testing::RunCommand("command -v jq").status != 0) GTEST_SKIP() << "jq is not installed";
  const std::string readme = ReadBytes(std::string(ORVANO_SOURCE_DIR) + "/README.md");
  int queries = 0;
  for (std::size_t at = readme.find("\n    jq "); at != std::string::npos;
       at = readme.find("\n    jq ", at + 1)) {
    std::string line = readme.substr(at + 5, readme.find('\n', at + 1) - at - 5);
    const std::size_t report = line.find("out/run.json");
    if (report == std::string::npos) continue;  // a query of another file
    line.replace(report, 12, report_path);
    Outcome query = testing::RunCommand(line + " 2>&1");
    EXPECT_EQ(0, query.status) << line << "\n" << query.output;
    ++queries;
    if (line.starts_with("jq '.exit_status'")) {
      EXPECT_EQ("0\n", query.output);
    }
  }
  EXPECT_EQ(6, queries);
}

TEST_F(BuildJobTest, ExitStatusesFromRealRuns) {
  // The section "Utilities" is named like the page Search=TRUE writes.
  ProjectPaths paths = MakeProject([](ProjectSources& s) {
    MakeUnsafeSectionName(s);
    const std::string old_text = "Name=Utilities";
    s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), "Name=search");
    SheetNamed(s, "Utilities").Set(0, 0, XlsCell::Text("search"));
  });
  const std::string report_path = dir_.path() + "report.json";
  const std::string missing = dir_.path() + "missing/";
  // 2: a command line no project can make right; 1: a language the project lacks, an output
  // that cannot be written or an input that cannot be read. Either way nothing is written.
  const std::tuple<std::string, int, std::string> never_run[] = {
      {"LangID=1033 Check=MAYBE", 2, "Check must be TRUE or FALSE, not \"MAYBE\""},
      {"LangID=ALL Jobs=0", 2, "Jobs not valid: 0"},
      {"LangID=1033 Report=", 2, "Report needs a file name"},
      {"LangID=1033 Export=" + dir_.path() + "rows.txt", 2, "Export must end with .json or .csv: "},
      {"LangID=1031,,1049", 2, "Language list not valid: 1031,,1049"},
      {"LangID=1031,1050", 1, "Language not found: 1050"},
      {"LangID=1033 Export=" + missing + "rows.json", 1, "Export folder not found: " + missing},
      {"LangID=1033 Compare=" + paths.workbook, 1,
       "orvano-html: " + paths.workbook + ": the export is truncated or not JSON"},
      {"LangID=1033 Search=TRUE", 1,
       "The page of section \"search\" would have the name of a file that Search=TRUE writes"}};
  for (const auto& [arguments, status, message] : never_run) {
    SCOPED_TRACE(arguments);
    Outcome outcome = Run(paths, "Silent=TRUE " + arguments);
    EXPECT_EQ(status, outcome.status) << outcome.output;
    EXPECT_NE(std::string::npos, outcome.output.find(message)) << outcome.output;
    EXPECT_EQ(status == 2, outcome.output.find("(see --help)") != std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(out_));
  }

  // 3: the run finished, but a page was refused; every language counts.
  Outcome refused = Run(paths, "Silent=TRUE LangID=ALL Report=" + report_path);
  EXPECT_EQ(3, refused.status) << refused.output;
  ASSERT_TRUE(testing::MatchesSchema("run-report", report_path));
  json report = json::parse(ReadBytes(report_path));
  EXPECT_EQ(3, report["exit_status"]);
  EXPECT_EQ(R"(Page name not allowed: section "/tmp/Standard")",
            report["languages"][0]["problems"][0]["text"]);
  EXPECT_EQ("warning", report["languages"][0]["problems"][0]["kind"]);
  EXPECT_TRUE(fs_->IsFile(out_ + "1033/search.htm"));  // without Search=TRUE, a page like any

  // 1: stopped by an error; the report says so too.
  WriteBytes(paths.description, "[Setup]\nSections=junk\n");
  Outcome stopped = Run(paths, "Silent=TRUE LangID=1033 Report=" + report_path);
  EXPECT_EQ(1, stopped.status) << stopped.output;
  // stderr names where (the error log keeps its lines as they were).
  EXPECT_NE(std::string::npos,
            stopped.output.find("orvano-html: " + paths.description + ": Error reading Orvano.doc"))
      << stopped.output;
  ASSERT_TRUE(testing::MatchesSchema("run-report", report_path));
  report = json::parse(ReadBytes(report_path));
  EXPECT_EQ(1, report["exit_status"]);
  ASSERT_EQ(1U, report["languages"].size());
  EXPECT_FALSE(report["languages"][0]["complete"].get<bool>());
  EXPECT_EQ("error", report["languages"][0]["problems"].back()["kind"]);
}

// A run holds its destination: a second run into it ends at once, a check still works.
TEST_F(BuildJobTest, ASecondRunIntoTheSameDestinationEndsAtOnce) {
  const ProjectPaths paths = MakeProject();
  const std::unique_ptr<FolderLock> held = fs_->LockFolder(out_);
  ASSERT_NE(nullptr, held);
  const Outcome second = Run(paths, "Silent=TRUE LangID=1033");
  EXPECT_EQ(1, second.status) << second.output;
  EXPECT_NE(std::string::npos,
            second.output.find("Another run is writing into the destination folder " + out_))
      << second.output;
  EXPECT_TRUE(std::filesystem::is_empty(out_));
  const Outcome check = Run(paths, "Check=TRUE LangID=1033");
  EXPECT_EQ(0, check.status) << check.output;
}

// A run leaves every file of its destination that already holds the bytes it would write as
// it is, its modification time too, and its report marks which files it replaced; a check
// marks the same and touches nothing. Logfile.log is written anew by every run.
TEST_F(BuildJobTest, PagesWhoseBytesAreAlreadyThereAreLeftAsTheyAre) {
  namespace stdfs = std::filesystem;
  ProjectPaths paths = MakeProject();
  const std::string report_path = dir_.path() + "report.json";
  ASSERT_EQ(0, Run(paths, "Silent=TRUE LangID=ALL").status);
  const auto old_time = stdfs::file_time_type::clock::now() - std::chrono::hours(48);
  struct Touched {
    std::set<std::string> on_disk;  // by their modification times
    std::set<std::string> in_report;
  };
  // Runs with `arguments` after making every file of the destination two days old.
  auto touched_by = [&](const std::string& arguments) {
    for (const std::string& file : FilesBelow(out_)) stdfs::last_write_time(file, old_time);
    const Outcome outcome = Run(paths, arguments + " LangID=ALL Report=" + report_path);
    EXPECT_EQ(0, outcome.status) << outcome.output;
    EXPECT_TRUE(testing::MatchesSchema("run-report", report_path));
    const json report = json::parse(ReadBytes(report_path));
    Touched touched;
    std::set<std::string> listed;
    auto add = [&](const json& files) {
      for (const json& file : files) {
        const std::string path = file["file"];
        listed.insert(path);
        if (!file["unchanged"].get<bool>()) touched.in_report.insert(path);
      }
    };
    for (const json& language : report["languages"]) add(language["files"]);
    add(report["files"]);
    if (report["mode"] == "run") {
      EXPECT_EQ(FilesBelow(out_), listed);
    }
    for (const std::string& file : FilesBelow(out_)) {
      if (stdfs::last_write_time(file) != old_time) touched.on_disk.insert(file);
    }
    return touched;
  };
  auto in_each_language = [&](std::initializer_list<const char*> names) {
    std::set<std::string> files;
    for (const char* id : {"1031/", "1033/", "1049/"}) {
      for (const char* name : names) files.insert(out_ + id + name);
    }
    return files;
  };
  const std::set<std::string> logs = in_each_language({"Logfile.log"});

  Touched again = touched_by("Silent=TRUE");
  EXPECT_EQ(logs, again.on_disk);
  EXPECT_EQ(logs, again.in_report);
  Touched check = touched_by("Check=TRUE");
  EXPECT_TRUE(check.on_disk.empty());
  EXPECT_TRUE(check.in_report.empty());

  // A changed main template and logo change the main page and the logo's copy, nothing else.
  paths = MakeProject([](ProjectSources& s) {
    EditTemplate(s, "Source_Main.htm", ">Overview</a>", ">Overview of every section</a>");
    for (auto& file : s.templates) {
      if (file.name == "Brenk.gif") file.bytes += "!";
    }
  });
  const std::set<std::string> changed = in_each_language({"Main.htm", "Brenk.gif"});
  check = touched_by("Check=TRUE");
  EXPECT_TRUE(check.on_disk.empty());
  EXPECT_EQ(changed, check.in_report);
  std::set<std::string> changed_and_logs = changed;
  changed_and_logs.insert(logs.begin(), logs.end());
  again = touched_by("Silent=TRUE");
  EXPECT_EQ(changed_and_logs, again.on_disk);
  EXPECT_EQ(changed_and_logs, again.in_report);
}

// The demo with faults that page building notes or reports, one at each kind of place the
// check names; a check goes on after each.
void AddPageFaults(ProjectSources& s) {
  // Template lines: sizes that cannot be worked out, a class line without a number, a class
  // block never closed.
  EditTemplate(s, "Source_Menu.htm", "###SIZE###1024-12px", "###SIZE###1024p");
  EditTemplate(s, "Source_OverView.htm", "###SIZE###1024-11px", "###SIZE###0-11px");
  EditTemplate(s, "Source_Section_d.htm", "td.c###FONTCLASS###15", "td.c###FONTCLASS###x15");
  EditTemplate(s, "Source_Section_d.htm", "###FONTBEZUG###ENDE14\n", "");
  // Sheet cells: a formula that overflows, a block row without its number, an index text
  // missing in a range's row.
  XlsSheet& utilities = SheetNamed(s, "Utilities");
  utilities.Set(7, 0, XlsCell::Number(12));
  utilities.Set(7, 2, XlsCell::Text("###ADDR:2147483647+1[PLC]:ADDR"));
  for (auto& [at, cell] : SheetNamed(s, "Standard").cells) {
    auto* text = std::get_if<std::string>(&cell.value);
    if (text != nullptr && *text == "###EDR[REJ]") *text = "###EDR[REJ]x";
    if (text != nullptr && text->starts_with("###INDEX:Warnings.Line.Low.Text:INDEX")) {
      text->replace(0, 37, "###INDEX:Warnings.Line.Gone:INDEX");
    }
  }
  // The description: a position that is no number. The languages: no font, no code page.
  const std::string position = "Machine2_Position1=2";
  s.orvano_doc.replace(s.orvano_doc.find(position), position.size(), "Machine2_Position1=x");
  for (auto& language : s.languages) {
    if (language.lcid == 1033) language.font = "";
  }
  for (auto& name : *s.language_names) {
    if (name.language == 1033) name.code_page.reset();
  }
  // The template folder: no frame page to copy.
  std::erase_if(s.templates, [](const auto& file) { return file.name == "Index.htm"; });
}

// Each kind of problem appears in a check with its place: in the project folder ("P/"), or
// in the language database beside the program ("B/"), sorted by place and once however many
// languages have it. Faults of the inputs stop the language where the reading stops; faults of
// the pages leave the check going to the end. A check writes nothing; its report lists the
// files a run would write.
TEST_F(BuildJobTest, CheckNamesWhereEveryKindOfProblemIs) {
  struct Case {
    const char* name;
    std::function<void(ProjectSources&)> edit;
    const char* arguments;
    int status;
    const char* expected;
  };
  const Case cases[] = {
      {"problems of every language",
       [](ProjectSources& s) {
         MakeUnsafeSectionName(s);
         // The note row of the sheet "Drives" (row 8) gets the address of the first signal of
         // its machine and position.
         SheetNamed(s, "Drives").Set(7, 2, XlsCell::Text("A###ADDR:100+16[MNR]+2[FLDNULL]:ADDR.0"));
         s.workbook.sheets.pop_back();
         std::erase_if(s.templates,
                       [](const auto& file) { return file.name == "Source_Section_d.htm"; });
       },
       "LangID=ALL", 3,
       R"(P/Collection.xls:Drives!C8: warning: address "A100.0" also at Drives!C6 (Filler, position 1)
P/Collection.xls:Drives!C8: warning: address "A104.0" also at Drives!C6 (Filler, position 3)
P/Collection.xls:Drives!C8: warning: address "A118.0" also at Drives!C6 (Capper, position 2)
P/Orvano.doc [Section_1] Name: warning: Page name not allowed: section "/tmp/Standard"
P/Orvano.doc [Section_3] Name: note: Table not found: Inspection
P/Orvano.doc [Section_4] Name: note: Table not found: Utilities
P/Source_HTML/Source_Section_d.htm: warning: Template missing
check: 0 errors, 5 warnings, 2 notes; 3 of 3 languages built to the end
)"},
      {"page faults", AddPageFaults, "LangID=1033", 1,
       R"(B/Languages.mdb [LookUpLanguages] 1033: error: Language 1033 has no code page in 'B/Languages.mdb' (error 94 in GetCodePage)
P/Collection.xls:Drives!C6: error: Type mismatch: the position "x" is not a number (error 13 in GetFormulaFaktor)
P/Collection.xls:Drives!E6: error: Type mismatch: the position "x" is not a number (error 13 in GetFormulaFaktor)
P/Collection.xls:Drives!C7: error: Type mismatch: the position "x" is not a number (error 13 in GetFormulaFaktor)
P/Collection.xls:Drives!E7: error: Type mismatch: the position "x" is not a number (error 13 in GetFormulaFaktor)
P/Collection.xls:Standard!E8: note: Indextext not found: General.Missing
P/Collection.xls:Standard!B12: error: Type mismatch: "###EDR[REJ]x1" in sheet row 8 does not end with a block number (error 13 in GetSectionFieldXL)
P/Collection.xls:Standard!D14: note: Indextext not found: Warnings.Line.Gone
P/Collection.xls:Utilities!C8: error: Overflow in the address formula ###ADDR:2147483647+1[PLC]:ADDR (error 6 in CalculateAdressFormula)
P/Orvano.doc [Section_3] Name: note: Table not found: Inspection
P/Orvano.mdb [Tlanguages] 1033: warning: Font specification missing for the language 1033
P/Source_HTML/Index.htm: error: File not found: P/Source_HTML/Index.htm (error 53 in CopyFileSourceTarget)
P/Source_HTML/Source_Menu.htm:6: error: Size placeholder "###SIZE###1024p" has no "-" after its screen width (P/Source_HTML/Source_Menu.htm, line 6) (error 9999 in EditRelSize)
P/Source_HTML/Source_OverView.htm:7: error: Division by zero: size placeholder "###SIZE###0-11" (P/Source_HTML/Source_OverView.htm, line 7) (error 11 in EditRelSize)
P/Source_HTML/Source_Section_d.htm:10: error: Type mismatch: font class line without a class number (P/Source_HTML/Source_Section_d.htm, line 10) (error 13 in GetHTMLFontClasses)
P/Source_HTML/Source_Section_d.htm:43: error: Font class 14: the block opened in P/Source_HTML/Source_Section_d.htm, line 43 is not closed by ###FONTBEZUG###ENDE14 (error 9999 in GetHTMLFontClasses)
check: 12 errors, 1 warning, 3 notes; 0 of 1 language built to the end
)"},
      {"description entry",
       [](ProjectSources& s) {
         s.orvano_doc.replace(s.orvano_doc.find("AnzMaschinen=3"), 14, "AnzMaschinen=32767");
       },
       "LangID=1033", 1,
       R"(P/Orvano.doc: error: Error reading Orvano.doc (error 9999 in StartMainProcess)
P/Orvano.doc [Setup] AnzMaschinen: error: P/Orvano.doc: entry AnzMaschinen of section Setup is 32767, more than the 1000 this program reads (error 9999 in ReadOrvanoDoc)
check: 2 errors, 0 warnings, 0 notes; 0 of 1 language built to the end
)"},
      {"no direct sheet",
       [](ProjectSources& s) {
         std::erase_if(s.workbook.sheets,
                       [](const auto& sheet) { return sheet.name == "CommonDirect"; });
       },
       "LangID=1033", 1,
       R"(P/Collection.xls: error: Error reading XL-Sheet "CommonDirect" (error 9999 in StartMainProcess)
check: 1 error, 0 warnings, 0 notes; 0 of 1 language built to the end
)"},
      {"no text column", [](ProjectSources& s) { s.language_ids[1] = "1034"; }, "LangID=1033", 1,
       R"(P/Orvano.mdb: error: Could not find column 'L1033' in table 'TidxTexts' of 'P/Orvano.mdb' (error 3061 in GetDataFieldFromSQL)
P/Orvano.mdb: error: Error reading Orvano.mdb (error 9999 in StartMainProcess)
P/Orvano.mdb: error: SQL-Failure, SQL=SELECT G0.Name & '.' & Txt.Name AS AddrIndex, Txt.L1033 FROM TidxTexts AS Txt INNER JOIN TidxGroups AS G0 ON Txt.ParentID = G0.ID ORDER BY G0.Name & '.' & Txt.Name; (error 9999 in GetDataFieldFromSQL)
P/Orvano.mdb: error: Unable to get data from P/Orvano.mdb (error 9999 in ReadOrvanoDatabase)
check: 4 errors, 0 warnings, 0 notes; 0 of 1 language built to the end
)"},
  };
  std::string reports;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string project = "project" + std::to_string(&c - cases) + "/";
    const std::string report_path = dir_.path() + project + "report.json";
    reports += report_path + " ";
    ProjectPaths paths = MakeProject(c.edit, project);
    Outcome outcome =
        Run(paths, "Check=TRUE Report=" + report_path + " " + std::string(c.arguments));
    EXPECT_EQ(c.status, outcome.status);
    std::string output = outcome.output;
    for (const auto& [folder, shown] :
         {std::pair{dir_.path() + project, "P/"}, std::pair{bin_, "B/"}}) {
      for (std::size_t at; (at = output.find(folder)) != std::string::npos;) {
        output.replace(at, folder.size(), shown);
      }
    }
    EXPECT_EQ(c.expected, output);
    EXPECT_TRUE(FilesBelow(out_).empty());
    const json report = json::parse(ReadBytes(report_path));
    EXPECT_EQ("check", report["mode"]);
    EXPECT_EQ(c.status, report["exit_status"]);
    if (c.status == 3) {
      EXPECT_FALSE(report["languages"][0]["files"].empty());
    }
    for (const json& language : report["languages"]) {
      for (const json& file : language["files"]) {
        EXPECT_FALSE(std::filesystem::exists(file["file"]));
      }
    }
  }
  EXPECT_TRUE(testing::MatchesSchema("run-report", reports));
}

}  // namespace
}  // namespace orvano
