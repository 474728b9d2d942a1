// Runs the real orvano-html on projects built from the demo's sources and compares what it
// writes.
//
// When a page changes on purpose, run with ORVANO_UPDATE_EXPECTED=1 to rewrite the expected
// pages under examples/demo/expected/ and say why in the commit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "demo_run.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

using testing::Outcome;
using testing::ReadBytes;
using testing::WriteBytes;
using tools::ProjectPaths;
using tools::ProjectSources;

constexpr const char* kLanguages[] = {"1031", "1033", "1049"};

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

// The notes of an event log without their time stamps.
std::string EventNotes(const std::string& log) {
  std::vector<std::string> lines = SplitLines(log);
  std::string notes;
  for (std::size_t i = 1; i < lines.size(); i += 2) notes += lines[i] + "\n";
  return notes;
}

class E2eTest : public testing::DemoRunTest {
 protected:
  // The files of `folder` but its event log.
  std::vector<std::string> PagesIn(const std::string& folder) {
    std::vector<std::string> names = FilesIn(folder);
    std::erase(names, "Logfile.log");
    return names;
  }

  // The pages in `destination` are the demo's expected pages of `language`, byte for byte (with
  // `update` and ORVANO_UPDATE_EXPECTED set, they become them).
  void ExpectDemoPages(const std::string& destination, const std::string& language,
                       bool update = false) {
    const std::string expected =
        std::string(ORVANO_SOURCE_DIR) + "/examples/demo/expected/" + language + "/";
    const std::vector<std::string> written = PagesIn(destination);
    if (update && std::getenv("ORVANO_UPDATE_EXPECTED") != nullptr) {
      testing::MakeFolders(expected);
      for (const std::string& name : PagesIn(expected)) fs_->RemoveFile(expected + name);
      for (const std::string& name : written) {
        WriteBytes(expected + name, ReadBytes(destination + name));
      }
    }
    ASSERT_EQ(PagesIn(expected), written);
    for (const std::string& name : written) {
      std::string want = ReadBytes(expected + name);
      std::string got = ReadBytes(destination + name);
      EXPECT_TRUE(want == got) << name << ", " << FirstDifference(want, got);
    }
  }

  // Every link and image of the pages in `folder` points at a file the run wrote there.
  void ExpectLinksLeadToWrittenFiles(const std::string& folder) {
    const std::vector<std::string> names = FilesIn(folder);
    const std::set<std::string> files(names.begin(), names.end());
    int links = 0;
    for (const std::string& name : names) {
      if (!name.ends_with(".htm")) continue;
      const std::string page = DecodeTextFile(ReadBytes(folder + name), true).text;
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
};

// Each language alone; then all of them in one run, the languages and pages built one after the
// other or side by side; one language named twice; then the demo with its collection saved as
// .xlsx. Every folder holds the demo's expected pages of its language, byte for byte, and the
// same event log.
TEST_F(E2eTest, DemoPagesMatchTheExpectedPagesInEveryLanguageAndEveryWay) {
  const ProjectPaths paths = MakeProject();
  for (const std::string language : kLanguages) {
    SCOPED_TRACE("language " + language);
    const std::string destination = out_ + language + "/";
    Outcome outcome = Run(paths, "Silent=TRUE LangID=" + language, destination);
    ASSERT_EQ(0, outcome.status) << outcome.output;
    EXPECT_EQ("", outcome.output);
    std::string log = ReadBytes(destination + "Logfile.log");
    EXPECT_NE(std::string::npos, log.find("\r\nTable not found: Inspection\r\n"));
    EXPECT_NE(std::string::npos, log.find("\r\nIndextext not found: General.Missing\r\n"));
    ExpectDemoPages(destination, language, /*update=*/true);
    ExpectLinksLeadToWrittenFiles(destination);
  }

  for (const std::string jobs : {"1", "4"}) {
    SCOPED_TRACE("Jobs=" + jobs);
    const std::string destination = out_ + "jobs" + jobs + "/";
    Outcome outcome = Run(paths, "Silent=TRUE LangID=ALL Jobs=" + jobs, destination);
    ASSERT_EQ(0, outcome.status) << outcome.output;
    EXPECT_EQ("", outcome.output);
    for (const std::string language : kLanguages) {
      SCOPED_TRACE("language " + language);
      ExpectDemoPages(destination + language + "/", language);
      EXPECT_EQ(EventNotes(ReadBytes(out_ + language + "/Logfile.log")),
                EventNotes(ReadBytes(destination + language + "/Logfile.log")));
    }
    std::string list = ReadBytes(destination + "Languages.htm");
    EXPECT_EQ(0u, list.find("<!DOCTYPE html>"));
    std::size_t de = list.find("<a href=\"1031/Index.htm\">Deutsch</a>");
    std::size_t en = list.find("<a href=\"1033/Index.htm\">English</a>");
    std::size_t ru = list.find("<a href=\"1049/Index.htm\">Русский</a>");
    EXPECT_TRUE(de < en && en < ru && ru != std::string::npos) << list;
    EXPECT_EQ(std::string::npos, list.find("<script"));
  }
  // A language named twice counts once.
  Outcome twice = Run(paths, "Silent=TRUE LangID=1049,1049.0", out_ + "twice/");
  ASSERT_EQ(0, twice.status) << twice.output;
  EXPECT_EQ(std::vector<std::string>{"Languages.htm"}, FilesIn(out_ + "twice/"));
  ExpectDemoPages(out_ + "twice/1049/", "1049");

  tools::ProjectOptions xlsx_options;
  xlsx_options.workbook_name = "Collection.xlsx";
  const ProjectPaths xlsx = MakeProject({}, "project-xlsx/", true, xlsx_options);
  for (const std::string language : kLanguages) {
    SCOPED_TRACE("xlsx, language " + language);
    const std::string destination = out_ + "xlsx" + language + "/";
    Outcome outcome = Run(xlsx, "Silent=TRUE LangID=" + language, destination);
    ASSERT_EQ(0, outcome.status) << outcome.output;
    ExpectDemoPages(destination, language);
  }
}

// A language that fails half-way stops alone: its earlier pages stay whole, the others finish,
// the error names the language and the run's status says it failed.
TEST_F(E2eTest, SeveralLanguagesOneFailingLanguageStopsAlone) {
  ProjectPaths paths = MakeProject();
  // A folder where a page of 1033 must go makes that page's write fail.
  testing::MakeFolders(out_ + "1033/Drives_Filler.htm/");
  Outcome outcome = Run(paths, "Silent=TRUE LangID=1031,1033,1049 Jobs=2");
  EXPECT_EQ(1, outcome.status);
  EXPECT_NE(std::string::npos, outcome.output.find("language 1033: ")) << outcome.output;
  EXPECT_EQ(std::string::npos, outcome.output.find("language 1031")) << outcome.output;
  ExpectDemoPages(out_ + "1031/", "1031");
  ExpectDemoPages(out_ + "1049/", "1049");

  const std::string expected = std::string(ORVANO_SOURCE_DIR) + "/examples/demo/expected/1033/";
  std::vector<std::string> written = PagesIn(out_ + "1033/");
  EXPECT_FALSE(std::count(written.begin(), written.end(), "Index.htm"));
  EXPECT_TRUE(std::count(written.begin(), written.end(), "Standard.htm"));
  for (const std::string& name : written) {
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
    Outcome outcome = Run(paths, "Silent=TRUE LangID=ALL Jobs=" + jobs, destination);
    ASSERT_EQ(0, outcome.status) << outcome.output;
    std::map<std::string, std::string> files;
    for (const std::string language : kLanguages) {
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

// --help names the keys and the compare command; --version the licence and, in a git checkout,
// the commit.
TEST_F(E2eTest, HelpAndVersionAnswerLikeLinuxTools) {
  Outcome help = Run("--help");
  EXPECT_EQ(0, help.status);
  for (const char* key : {"LangID=", "PathDestinationFolder=", "compare OLD.json NEW.json"}) {
    EXPECT_NE(std::string::npos, help.output.find(key)) << key;
  }
  Outcome version = Run("--version");
  EXPECT_EQ(0, version.status);
  EXPECT_EQ(0u, version.output.find("orvano-html "));
  EXPECT_NE(std::string::npos,
            version.output.find("\nLicensed under the Apache License, Version 2.0\n"))
      << version.output;
  if (testing::RunCommand("git -C " + std::string(ORVANO_SOURCE_DIR) + " rev-parse HEAD 2>&1")
          .status == 0) {
    EXPECT_NE(std::string::npos, version.output.find("\ncommit ")) << version.output;
  }
}

TEST_F(E2eTest, EveryStopIsReportedAndLeavesEarlierPagesAlone) {
  ProjectPaths paths = MakeProject();
  WriteBytes(out_ + "Standard.htm", "earlier page");
  const std::string all = PathArgs(paths, out_);
  auto without = [&](const std::string& key) {
    std::string args = all;
    std::size_t at = args.find(key + "=");
    std::size_t end = args.find(' ', at);
    return args.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
  };
  const std::pair<std::string, std::string> cases[] = {
      {"LangID=1033 " + without("PathHTMLSourceFolder"), "Path HTML-SourceFolder not set!"},
      {"LangID=1033 " + without("PathOrvanoDB"), "Path Orvano.mdb not set!"},
      {"LangID=1033 " + without("PathOrvanoDOC"), "Path Orvano.doc not set!"},
      {"LangID=1033 " + without("PathXLCollection"), "Path Excel-Collectionfile not set!"},
      {all, "Language not selected!"},
      {"LangID=9999 " + all, "Language not found"},
      {"LangID=1031 PathOrvanoDOC=" + dir_.path() + "Missing.doc",
       "Error in Commandline. At least one pathparameter incorrect or missing."},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(message);
    std::remove((bin_ + "orvano-htmlError.log").c_str());
    Outcome outcome = Run("Silent=TRUE " + arguments);
    EXPECT_NE(0, outcome.status);
    EXPECT_NE(std::string::npos, outcome.output.find(message)) << outcome.output;
    EXPECT_EQ("Unexpected error!\tNo: 9999\tSource: frmMain\t" + message + "\r\n",
              ReadBytes(bin_ + "orvano-htmlError.log"));
    EXPECT_EQ("earlier page", ReadBytes(out_ + "Standard.htm"));
    EXPECT_EQ(std::vector<std::string>{"Standard.htm"}, FilesIn(out_));
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
      "project/", /*language_db=*/false);
  Outcome outcome = Run(paths, "Silent=TRUE LangID=1033");
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_NE(std::string::npos, DecodeTextFile(ReadBytes(out_ + "Standard.htm"), true)
                                   .text.find("font-family: \"Courier New\""));

  // A project without machines: machine-dependent sections get no pages, the rest is written.
  paths = MakeProject([](ProjectSources& s) {
    auto at = s.orvano_doc.find("AnzMaschinen=3");
    s.orvano_doc.replace(at, 14, "AnzMaschinen=0");
  });
  std::string empty_out = dir_.path() + "nomachines/";
  outcome = Run(paths, "Silent=TRUE LangID=1031", empty_out);
  ASSERT_EQ(0, outcome.status) << outcome.output;
  std::vector<std::string> files = FilesIn(empty_out);
  EXPECT_EQ(0, std::count_if(files.begin(), files.end(),
                             [](const std::string& f) { return f.rfind("Drives", 0) == 0; }));
  for (const char* name : {"Standard.htm", "Overview.htm", "Menu.htm", "Main.htm", "Index.htm"}) {
    EXPECT_TRUE(fs_->IsFile(empty_out + name)) << name;
  }
}

// Each argument is one token: paths with blanks, non-ASCII letters and a leading dash work when
// the shell keeps them whole; the whole command line in one argument, as some launchers pass
// it, still works where its paths hold no blanks.
TEST_F(E2eTest, PathsMayHoldBlanksAndTheOldOneArgumentFormStillWorks) {
  const ProjectPaths paths = MakeProject({}, "My Projects/-Line 4 \u00e4/");
  const std::string destination = dir_.path() + "out put/";
  std::string arguments = "Silent=TRUE LangID=1033";
  for (const std::string& pair :
       {"PathOrvanoDOC=" + paths.description, "PathOrvanoDB=" + paths.database,
        "PathXLCollection=" + paths.workbook, "PathHTMLSourceFolder=" + paths.template_folder,
        "PathDestinationFolder=" + destination}) {
    arguments += " '" + pair + "'";
  }
  Outcome outcome = Run(arguments);
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_TRUE(fs_->IsFile(destination + "Standard.htm"));

  const ProjectPaths plain = MakeProject({}, "plain/");
  outcome = Run("'Silent=TRUE LangID=1033 " + PathArgs(plain, out_) + "'");
  ASSERT_EQ(0, outcome.status) << outcome.output;
  EXPECT_TRUE(fs_->IsFile(out_ + "Standard.htm"));
}

}  // namespace
}  // namespace orvano
