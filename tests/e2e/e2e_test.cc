// Runs the real orvano-html on projects built from the demo's sources and compares what it
// writes. The program is copied into a temporary folder first, so that its error log, its INI
// file and the Languages.mdb it looks for beside itself belong to the test.
//
// When a page changes on purpose, run with ORVANO_UPDATE_EXPECTED=1 to rewrite the expected
// pages under examples/demo/expected/ and say why in the commit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "project_sources.h"
#include "project_writer.h"
#include "support/file_system.h"
#include "support/text_codec.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
using tools::ProjectPaths;
using tools::ProjectSources;

using Outcome = testing::CommandOutcome;  // standard output and error together

class E2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = dir_.path() + "bin/";
    testing::CopyProgramsPortably({ORVANO_HTML_EXE}, bin_);
    out_ = dir_.path() + "out/";
  }

  // The demo's sources, changed by `edit`, written as a project; Languages.mdb is put beside
  // the program unless `language_db` is false.
  ProjectPaths MakeProject(const std::function<void(ProjectSources&)>& edit = {},
                           bool language_db = true) {
    ProjectSources sources =
        tools::ReadProjectSources(*fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
    if (edit) edit(sources);
    ProjectPaths paths = tools::WriteProject(*fs_, sources, dir_.path() + "project/");
    if (language_db && !paths.language_database.empty()) {
      WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths.language_database));
    }
    return paths;
  }

  static std::string PathArgs(const ProjectPaths& paths, const std::string& destination) {
    return "PathOrvanoDOC=" + paths.description + " PathOrvanoDB=" + paths.database +
           " PathXLCollection=" + paths.workbook +
           " PathHTMLSourceFolder=" + paths.template_folder +
           " PathDestinationFolder=" + destination;
  }

  Outcome Run(const std::string& arguments) {
    return testing::RunCommand(bin_ + "orvano-html " + arguments + " 2>&1");
  }

  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : fs_->ListFolder(folder)) {
      if (!entry.is_folder) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Page(const std::string& name) {
    return DecodeTextFile(ReadBytes(out_ + name), true).text;
  }

  testing::ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  std::string bin_;
  std::string out_;
};

// The first line where two pages differ, for the failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::vector<std::string> a = SplitLines(DecodeTextFile(expected, true).text);
  std::vector<std::string> b = SplitLines(DecodeTextFile(actual, true).text);
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    std::string x = i < a.size() ? a[i] : "(none)";
    std::string y = i < b.size() ? b[i] : "(none)";
    if (x != y) return "line " + std::to_string(i + 1) + ": expected\n  " + x + "\ngot\n  " + y;
  }
  return "the bytes differ (line ends or encoding)";
}

// The pages in `destination` are the demo's expected pages of `language`, byte for byte (with
// ORVANO_UPDATE_EXPECTED set, they become them).
void ExpectDemoPages(FileSystem& fs, const std::string& destination, const std::string& language) {
  const std::string expected =
      std::string(ORVANO_SOURCE_DIR) + "/examples/demo/expected/" + language + "/";
  auto files_in = [&fs](const std::string& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : fs.ListFolder(folder)) {
      if (!entry.is_folder && entry.name != "Logfile.log") names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  std::vector<std::string> written = files_in(destination);
  if (std::getenv("ORVANO_UPDATE_EXPECTED") != nullptr) {
    testing::MakeFolders(expected);
    for (const std::string& name : files_in(expected)) fs.RemoveFile(expected + name);
    for (const std::string& name : written) {
      WriteBytes(expected + name, ReadBytes(destination + name));
    }
  }
  ASSERT_EQ(files_in(expected), written);
  for (const std::string& name : written) {
    std::string want = ReadBytes(expected + name);
    std::string got = ReadBytes(destination + name);
    EXPECT_TRUE(want == got) << name << ", " << FirstDifference(want, got);
  }
}

// The notes of an event log without their time stamps.
std::string EventNotes(const std::string& log) {
  std::vector<std::string> lines = SplitLines(log);
  std::string notes;
  for (std::size_t i = 1; i < lines.size(); i += 2) notes += lines[i] + "\n";
  return notes;
}

TEST_F(E2eTest, DemoPagesMatchTheExpectedPagesInEveryLanguage) {
  ProjectPaths paths = MakeProject();
  for (const std::string language : {"1031", "1033", "1049"}) {
    SCOPED_TRACE("language " + language);
    std::string destination = out_ + language + "/";
    Outcome outcome = Run("Silent=TRUE LangID=" + language + " " + PathArgs(paths, destination));
    ASSERT_EQ(0, outcome.status) << outcome.output;
    EXPECT_EQ("", outcome.output);

    std::string log = ReadBytes(destination + "Logfile.log");
    EXPECT_NE(std::string::npos, log.find("\r\nTable not found: Inspection\r\n"));
    EXPECT_NE(std::string::npos, log.find("\r\nIndextext not found: General.Missing\r\n"));
    ExpectDemoPages(*fs_, destination, language);
  }
}

// All languages in one run: each folder holds what a run of that language alone writes,
// whether the languages and pages are built one after the other or side by side.
TEST_F(E2eTest, SeveralLanguagesAllWritesEachLanguagesFolderAsItsOwnRunWould) {
  ProjectPaths paths = MakeProject();
  const std::string single = dir_.path() + "single/";
  ASSERT_EQ(0, Run("Silent=TRUE LangID=1049 " + PathArgs(paths, single)).status);
  for (const std::string jobs : {"1", "4"}) {
    SCOPED_TRACE("Jobs=" + jobs);
    const std::string destination = out_ + "jobs" + jobs + "/";
    Outcome outcome =
        Run("Silent=TRUE LangID=ALL Jobs=" + jobs + " " + PathArgs(paths, destination));
    ASSERT_EQ(0, outcome.status) << outcome.output;
    EXPECT_EQ("", outcome.output);
    for (const std::string language : {"1031", "1033", "1049"}) {
      SCOPED_TRACE("language " + language);
      ExpectDemoPages(*fs_, destination + language + "/", language);
    }
    EXPECT_EQ(EventNotes(ReadBytes(single + "Logfile.log")),
              EventNotes(ReadBytes(destination + "1049/Logfile.log")));
    std::string list = ReadBytes(destination + "Languages.htm");
    EXPECT_EQ(0u, list.find("<!DOCTYPE html>"));
    std::size_t de = list.find("<a href=\"1031/Index.htm\">Deutsch</a>");
    std::size_t en = list.find("<a href=\"1033/Index.htm\">English</a>");
    std::size_t ru = list.find("<a href=\"1049/Index.htm\">Русский</a>");
    EXPECT_TRUE(de < en && en < ru && ru != std::string::npos) << list;
    EXPECT_EQ(std::string::npos, list.find("<script"));
  }
}

// A language that fails half-way stops alone: its earlier pages stay whole, the others finish,
// the error names the language and the run's status says it failed.
TEST_F(E2eTest, SeveralLanguagesOneFailingLanguageStopsAlone) {
  ProjectPaths paths = MakeProject();
  // A folder where a page of 1033 must go makes that page's write fail.
  testing::MakeFolders(out_ + "1033/Drives_Filler.htm/");
  Outcome outcome = Run("Silent=TRUE LangID=1031,1033,1049 Jobs=2 " + PathArgs(paths, out_));
  EXPECT_EQ(1, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("language 1033: ")) << outcome.output;
  EXPECT_EQ(std::string::npos, outcome.output.find("language 1031")) << outcome.output;
  ExpectDemoPages(*fs_, out_ + "1031/", "1031");
  ExpectDemoPages(*fs_, out_ + "1049/", "1049");

  const std::string expected = std::string(ORVANO_SOURCE_DIR) + "/examples/demo/expected/1033/";
  std::vector<std::string> written = FilesIn(out_ + "1033/");
  EXPECT_FALSE(std::count(written.begin(), written.end(), "Index.htm"));
  EXPECT_TRUE(std::count(written.begin(), written.end(), "Standard.htm"));
  for (const std::string& name : written) {
    if (name == "Logfile.log") continue;
    EXPECT_TRUE(ReadBytes(expected + name) == ReadBytes(out_ + "1033/" + name)) << name;
  }
  std::string error_log = ReadBytes(bin_ + "orvano-htmlError.log");
  for (std::size_t at = 0; at < error_log.size();) {
    std::size_t end = error_log.find("\r\n", at);
    ASSERT_NE(std::string::npos, end);
    EXPECT_EQ(0u, error_log.compare(at, 15, "language 1033: ")) << error_log.substr(at, end - at);
    at = end + 2;
  }
  std::string list = ReadBytes(out_ + "Languages.htm");
  EXPECT_EQ(std::string::npos, list.find("1033/")) << list;
}

// Section templates without a rows frame build no rows, so the pages leave another state than
// the one predicted for building ahead: those units are built again in turn, and the output is
// still that of one page after the other.
TEST_F(E2eTest, SeveralLanguagesPagesBuiltFromAWrongPredictionAreBuiltAgain) {
  ProjectPaths paths = MakeProject([](ProjectSources& sources) {
    for (tools::TemplateFile& file : sources.templates) {
      if (file.name == "Source_Section.htm" || file.name == "Source_Section_d.htm") {
        file.bytes = "<html><body>###UEBERSCHRIFT### ###MASCHINE###</body></html>\r\n";
      }
    }
  });
  std::map<std::string, std::string> first;
  for (const std::string jobs : {"1", "4"}) {
    const std::string destination = out_ + "jobs" + jobs + "/";
    Outcome outcome =
        Run("Silent=TRUE LangID=ALL Jobs=" + jobs + " " + PathArgs(paths, destination));
    ASSERT_EQ(0, outcome.status) << outcome.output;
    std::map<std::string, std::string> files;
    for (const std::string language : {"1031", "1033", "1049"}) {
      const std::string folder = destination + language + "/";
      for (const std::string& name : FilesIn(folder)) {
        const std::string bytes = ReadBytes(folder + name);
        files[language + "/" + name] = name == "Logfile.log" ? EventNotes(bytes) : bytes;
      }
    }
    if (first.empty()) {
      first = files;
    } else {
      EXPECT_TRUE(first == files);
    }
  }
}

// Language lists: an unknown entry is the run's error, a malformed one the command line's,
// before anything is written; a repeated one counts once.
TEST_F(E2eTest, SeveralLanguagesListsAreCheckedBeforeAnythingIsWritten) {
  ProjectPaths paths = MakeProject();
  struct Case {
    std::string value;
    std::string message;
    int status;
  };
  for (const Case& c : {Case{"1031,1050", "Language not found: 1050", 1},
                        Case{"1031,,1049", "Language list not valid: 1031,,1049", 2},
                        Case{"ALL Jobs=0", "Jobs not valid: 0", 2}}) {
    SCOPED_TRACE(c.value);
    const std::string destination = out_ + "bad/";
    Outcome outcome = Run("Silent=TRUE LangID=" + c.value + " " + PathArgs(paths, destination));
    EXPECT_EQ(c.status, outcome.status);
    EXPECT_NE(std::string::npos, outcome.output.find(c.message)) << outcome.output;
    EXPECT_TRUE(fs_->ListFolder(destination).empty());
  }
  Outcome outcome = Run("Silent=TRUE LangID=1049,1049.0 " + PathArgs(paths, out_));
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_EQ(std::vector<std::string>{"Languages.htm"}, FilesIn(out_));
  ExpectDemoPages(*fs_, out_ + "1049/", "1049");
}

// The demo with its collection saved as .xlsx writes the pages of the .xls demo, byte for byte,
// in every language.
TEST_F(E2eTest, XlsxDemoWritesTheXlsDemoPages) {
  const ProjectPaths xls = MakeProject();
  tools::ProjectOptions options;
  options.workbook_name = "Collection.xlsx";
  const ProjectPaths xlsx = tools::WriteProject(
      *fs_, tools::ReadProjectSources(*fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/"),
      dir_.path() + "project-xlsx/", options);
  for (const std::string language : {"1031", "1033", "1049"}) {
    SCOPED_TRACE("language " + language);
    const std::string from_xls = out_ + "xls-" + language + "/";
    const std::string from_xlsx = out_ + "xlsx-" + language + "/";
    for (const auto& [paths, destination] :
         {std::pair{xls, from_xls}, std::pair{xlsx, from_xlsx}}) {
      const Outcome outcome =
          Run("Silent=TRUE LangID=" + language + " " + PathArgs(paths, destination));
      ASSERT_EQ(0, outcome.status) << outcome.output;
    }
    std::vector<std::string> pages = FilesIn(from_xls);
    pages.erase(std::remove(pages.begin(), pages.end(), "Logfile.log"), pages.end());
    std::vector<std::string> xlsx_pages = FilesIn(from_xlsx);
    xlsx_pages.erase(std::remove(xlsx_pages.begin(), xlsx_pages.end(), "Logfile.log"),
                     xlsx_pages.end());
    ASSERT_EQ(pages, xlsx_pages);
    EXPECT_GE(pages.size(), 10u);
    for (const std::string& name : pages) {
      const std::string want = ReadBytes(from_xls + name);
      const std::string got = ReadBytes(from_xlsx + name);
      EXPECT_TRUE(want == got) << name << ", " << FirstDifference(want, got);
    }
  }
}

// Every link and image of the generated folder points at a file the run wrote.
TEST_F(E2eTest, DemoLinksLeadToWrittenFiles) {
  ProjectPaths paths = MakeProject();
  Outcome outcome = Run("Silent=TRUE LangID=1031 " + PathArgs(paths, out_));
  ASSERT_EQ(0, outcome.status) << outcome.output;
  std::set<std::string> files;
  for (const std::string& name : FilesIn(out_)) files.insert(name);
  int links = 0;
  for (const std::string& name : files) {
    if (name.size() < 4 || name.substr(name.size() - 4) != ".htm") continue;
    std::string page = Page(name);
    for (const std::string attribute : {"href=\"", "src=\""}) {
      for (std::size_t at = page.find(attribute); at != std::string::npos;
           at = page.find(attribute, at + 1)) {
        std::size_t start = at + attribute.size();
        std::string target = page.substr(start, page.find('"', start) - start);
        EXPECT_TRUE(files.count(target)) << name << " links to missing " << target;
        ++links;
      }
    }
  }
  EXPECT_GE(links, 15);
}

TEST_F(E2eTest, EveryStopIsReportedAndLeavesEarlierPagesAlone) {
  ProjectPaths paths = MakeProject();
  testing::MakeFolders(out_);
  WriteBytes(out_ + "Standard.htm", "earlier page");
  const std::string all = PathArgs(paths, out_);
  auto without = [&](const std::string& key) {
    std::string args = all;
    std::size_t at = args.find(key + "=");
    std::size_t end = args.find(' ', at);
    return args.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
  };
  struct Case {
    std::string arguments;
    std::string message;
  };
  std::vector<Case> cases = {
      {"LangID=1033 " + without("PathHTMLSourceFolder"), "Path HTML-SourceFolder not set!"},
      {"LangID=1033 " + without("PathOrvanoDB"), "Path Orvano.mdb not set!"},
      {"LangID=1033 " + without("PathOrvanoDOC"), "Path Orvano.doc not set!"},
      {"LangID=1033 " + without("PathXLCollection"), "Path Excel-Collectionfile not set!"},
      {all, "Language not selected!"},
      {"LangID=9999 " + all, "Language not found"},
      {"LangID=1031 PathOrvanoDOC=" + dir_.path() + "Missing.doc",
       "Error in Commandline. At least one pathparameter incorrect or missing."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::remove((bin_ + "orvano-htmlError.log").c_str());
    Outcome outcome = Run("Silent=TRUE " + c.arguments);
    EXPECT_NE(0, outcome.status);
    EXPECT_NE(std::string::npos, outcome.output.find(c.message)) << outcome.output;
    EXPECT_EQ("Unexpected error!\tNo: 9999\tSource: frmMain\t" + c.message + "\r\n",
              ReadBytes(bin_ + "orvano-htmlError.log"));
    EXPECT_EQ("earlier page", ReadBytes(out_ + "Standard.htm"));
  }
  // Without a destination the run stops first of all.
  Outcome outcome = Run("Silent=TRUE LangID=1033 " + without("PathDestinationFolder"));
  EXPECT_NE(0, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("Path Destinationfolder not set!"));
}

TEST_F(E2eTest, ProjectsAtTheEdges) {
  // Duplicate language ids: the later row's font wins. No Languages.mdb: the run still works.
  ProjectPaths paths = MakeProject(
      [](ProjectSources& s) {
        s.languages.push_back({1033, std::string("Courier New 10 0 0 0 0 0 0")});
      },
      /*language_db=*/false);
  Outcome outcome = Run("Silent=TRUE LangID=1033 " + PathArgs(paths, out_));
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_NE(std::string::npos, Page("Standard.htm").find("font-family: \"Courier New\""));

  // A project without machines: machine-dependent sections get no pages, the rest is written.
  paths = MakeProject([](ProjectSources& s) {
    auto at = s.orvano_doc.find("AnzMaschinen=3");
    s.orvano_doc.replace(at, 14, "AnzMaschinen=0");
  });
  std::string empty_out = dir_.path() + "nomachines/";
  outcome = Run("Silent=TRUE LangID=1031 " + PathArgs(paths, empty_out));
  ASSERT_EQ(0, outcome.status) << outcome.output;
  std::vector<std::string> files = FilesIn(empty_out);
  EXPECT_EQ(0, std::count_if(files.begin(), files.end(),
                             [](const std::string& f) { return f.rfind("Drives", 0) == 0; }));
  for (const char* name : {"Standard.htm", "Overview.htm", "Menu.htm", "Main.htm", "Index.htm"}) {
    EXPECT_TRUE(fs_->IsFile(empty_out + name)) << name;
  }
}

}  // namespace
}  // namespace orvano
