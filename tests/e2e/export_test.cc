// The allocation as data from real runs: the export lists exactly the rows the pages show, is
// valid by its schema and the same whatever the thread count, is written whole or not at all,
// and check mode warns of an address given twice.

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "demo_run.h"
#include "search_dom.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

using nlohmann::json;
using testing::Outcome;
using testing::ReadBytes;
using tools::ProjectPaths;

class ExportTest : public testing::DemoRunTest {};

::testing::AssertionResult MatchesExportSchema(const std::string& path) {
  const std::string schema = std::string(ORVANO_SOURCE_DIR) + "/docs/export.schema.json";
  Outcome validated = testing::RunCommand(
      "python3 -c 'import json, sys, jsonschema\n"
      "jsonschema.validate(json.load(open(sys.argv[2])), json.load(open(sys.argv[1])))' " +
      schema + " " + path + " 2>&1");
  if (validated.status == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << validated.output;
}

// Per font class, the numbers of the "###ZELLE###" placeholders of its main part, in order, as
// the demo template `name` has them.
std::map<std::string, std::vector<int>> ShownColumns(const std::string& name) {
  std::istringstream lines(
      ReadBytes(std::string(ORVANO_SOURCE_DIR) + "/examples/demo/templates/" + name));
  const std::regex main_part("###FONTBEZUG###HAUPT(\\d+)");
  const std::regex placeholder("###ZELLE###(\\d+)");
  std::map<std::string, std::vector<int>> columns;
  std::string font_class;
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (std::regex_search(line, match, main_part)) {
      font_class = match[1];
      continue;
    }
    if (font_class.empty()) continue;
    for (std::sregex_iterator it(line.begin(), line.end(), placeholder), end; it != end; ++it) {
      columns[font_class].push_back(std::stoi((*it)[1]));
    }
    font_class.clear();
  }
  return columns;
}

// The texts of the data rows (rows whose cells have a font class) of the UTF-16LE page `path`.
std::vector<std::vector<std::string>> PageRows(const std::string& path) {
  const std::string page = Utf16LeToUtf8(ReadBytes(path).substr(2));
  const std::regex row("<tr><td class=\"c\\d+\".*?</tr>");
  const std::regex cell("<td[^>]*>(.*?)</td>");
  std::vector<std::vector<std::string>> rows;
  for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it) {
    const std::string text = it->str();
    std::vector<std::string>& cells = rows.emplace_back();
    for (std::sregex_iterator c(text.begin(), text.end(), cell); c != end; ++c) {
      cells.push_back((*c)[1]);
    }
  }
  return rows;
}

// What the page shows of the export's `rows`, by the template's placeholders.
std::vector<std::vector<std::string>> ExportedRows(
    const json& rows, const std::map<std::string, std::vector<int>>& columns) {
  std::vector<std::vector<std::string>> shown;
  for (const json& row : rows) {
    const std::vector<std::string> cells = row["cells"];
    std::vector<std::string>& texts = shown.emplace_back();
    for (int n : columns.at(row["class"])) {
      texts.push_back(static_cast<std::size_t>(n) <= cells.size() ? cells[n - 1] : "");
    }
  }
  return shown;
}

TEST_F(ExportTest, DemoExportListsExactlyTheRowsEveryPageShows) {
  ProjectPaths paths = MakeProject();
  const std::string export_path = dir_.path() + "rows.json";
  Outcome run = Run(paths, "Silent=TRUE LangID=ALL Export=" + export_path);
  ASSERT_EQ(0, run.status) << run.output;
  ASSERT_TRUE(MatchesExportSchema(export_path));
  const std::map<std::string, std::map<std::string, std::vector<int>>> columns = {
      {"section", ShownColumns("Source_Section.htm")},
      {"detail", ShownColumns("Source_Section_d.htm")},
      {"overview", ShownColumns("Source_OverView.htm")}};
  const json exported = json::parse(ReadBytes(export_path));
  ASSERT_EQ(3U, exported["languages"].size());
  std::size_t rows = 0;
  for (const json& language : exported["languages"]) {
    const std::string id = language["id"];
    ASSERT_EQ(9U, language["pages"].size()) << id;
    for (const json& page : language["pages"]) {
      const std::string file = page["file"];
      const std::string path = out_ + id + "/" + file;
      EXPECT_EQ(PageRows(path), ExportedRows(page["rows"], columns.at(page["kind"])))
          << id << "/" << file;
      // The keys change nothing on the pages.
      EXPECT_EQ(
          ReadBytes(std::string(ORVANO_SOURCE_DIR) + "/examples/demo/expected/" + id + "/" + file),
          ReadBytes(path))
          << id << "/" << file;
      rows += page["rows"].size();
    }
  }
  EXPECT_EQ(3U * (2 * (14 + 8 + 4 + 3) + 4), rows);
  const json& drives = exported["languages"][1]["pages"][2];
  EXPECT_EQ("Drives_Filler.htm", drives["file"]);
  EXPECT_EQ((json{{"section", "Drives"},
                  {"machine", "Filler"},
                  {"position", "1"},
                  {"source", "Collection.xls:Drives!6"},
                  {"class", "12"},
                  {"cells", {"12", "", "A100.0", "Speed", "4010 rpm"}},
                  {"address_cells", {2, 4}}}),
            drives["rows"][1]);
  EXPECT_EQ("Collection.xls:Standard!10 (block 1, repetition 1)",
            exported["languages"][0]["pages"][0]["rows"][3]["source"]);
}

TEST_F(ExportTest, ExportIsTheSameWhateverTheThreadsAndAsCsv) {
  ProjectPaths paths = MakeProject();
  const std::string one = dir_.path() + "one.json";
  const std::string two = dir_.path() + "two.json";
  const std::string csv = dir_.path() + "rows.CSV";
  ASSERT_EQ(0, Run(paths, "Silent=TRUE LangID=ALL Jobs=1 Export=" + one).status);
  ASSERT_EQ(0, Run(paths, "Silent=TRUE LangID=ALL Jobs=4 Export=" + two).status);
  EXPECT_EQ(ReadBytes(one), ReadBytes(two));

  // A check writes the export and nothing else.
  const std::string nothing = dir_.path() + "nothing/";
  Outcome check = Run(paths, "Check=TRUE LangID=1033 Export=" + csv, nothing);
  ASSERT_EQ(0, check.status) << check.output;
  EXPECT_TRUE(FilesBelow(nothing).empty());
  const std::string text = ReadBytes(csv);
  EXPECT_EQ(0U, text.find("language,page,section,machine,position,kind,source,class,cell1,"
                          "cell2,cell3,cell4,cell5\r\n"));
  EXPECT_NE(std::string::npos,
            text.find("\r\n1033,Drives_Filler.htm,Drives,Filler,1,section,Collection.xls:Drives!5,"
                      "11,11,,\"Drives of Filler, position 1\",,\r\n"))
      << text;
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(1U + 2 * (14 + 8 + 4 + 3) + 4, lines);
}

TEST_F(ExportTest, BadExportPathsWriteNothingHalf) {
  ProjectPaths paths = MakeProject();
  Outcome wrong_kind = Run(paths, "Silent=TRUE LangID=1033 Export=" + dir_.path() + "rows.txt");
  EXPECT_EQ(2, wrong_kind.status);
  EXPECT_NE(std::string::npos, wrong_kind.output.find("Export must end with .json or .csv: "))
      << wrong_kind.output;

  // A missing folder stops the run before anything is written.
  Outcome no_folder =
      Run(paths, "Silent=TRUE LangID=1033 Export=" + dir_.path() + "missing/rows.json");
  EXPECT_EQ(1, no_folder.status);
  EXPECT_NE(std::string::npos,
            no_folder.output.find("Export folder not found: " + dir_.path() + "missing/"))
      << no_folder.output;
  EXPECT_TRUE(FilesBelow(out_).empty());

  // A path that cannot be written fails the run after the pages, leaving them and no export.
  const std::string folder = dir_.path() + "taken.json";
  testing::MakeFolders(folder + "/");
  Outcome unwritable = Run(paths, "Silent=TRUE LangID=1033 Export=" + folder);
  EXPECT_EQ(1, unwritable.status);
  EXPECT_NE(std::string::npos, unwritable.output.find(folder)) << unwritable.output;
  EXPECT_TRUE(fs_->IsFile(out_ + "Drives_Filler.htm"));
  EXPECT_TRUE(FilesBelow(folder).empty());
}

TEST_F(ExportTest, CheckWarnsOfAnAddressGivenTwice) {
  // The note row of the sheet "Drives" (row 8) gets the first signal's address.
  ProjectPaths paths = MakeProject([](tools::ProjectSources& s) {
    for (auto& sheet : s.workbook.sheets) {
      if (sheet.name == "Drives") {
        sheet.Set(7, 2, XlsCell::Text("A###ADDR:100+16[MNR]+2[FLDNULL]:ADDR.0"));
      }
    }
  });
  Outcome check = Run(paths, "Check=TRUE LangID=1033");
  EXPECT_EQ(0, check.status) << check.output;
  EXPECT_NE(std::string::npos,
            check.output.find("Collection.xls:Drives!C8: warning: address \"A100.0\" also at "
                              "Drives!C6 (Filler, position 1)\n"))
      << check.output;
  EXPECT_NE(std::string::npos, check.output.find("check: 0 errors, 3 warnings, 2 notes;"))
      << check.output;
  EXPECT_EQ(3, Run(paths, "Check=TRUE Strict=TRUE LangID=1033").status);
  // A run does not look for them.
  Outcome run = Run(paths, "Silent=TRUE LangID=1033");
  EXPECT_EQ(0, run.status) << run.output;
  EXPECT_EQ(std::string::npos, ReadBytes(out_ + "Logfile.log").find("also at"));
}

TEST_F(ExportTest, ASectionPageNamedLikeTheSearchPageStopsTheRunBeforeAnything) {
  ProjectPaths paths = MakeProject([](tools::ProjectSources& s) {
    const std::string old_text = "Name=Utilities";
    s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), "Name=search");
    for (auto& sheet : s.workbook.sheets) {
      if (sheet.name == "Utilities") sheet.Set(0, 0, XlsCell::Text("search"));
    }
  });
  Outcome refused = Run(paths, "Silent=TRUE LangID=1033 Search=TRUE");
  EXPECT_EQ(1, refused.status);
  EXPECT_NE(std::string::npos,
            refused.output.find("The page of section \"search\" would have the name of a file "
                                "that Search=TRUE writes"))
      << refused.output;
  EXPECT_TRUE(FilesBelow(out_).empty());
  Outcome run = Run(paths, "Silent=TRUE LangID=1033");
  EXPECT_EQ(0, run.status) << run.output;
  EXPECT_TRUE(fs_->IsFile(out_ + "search.htm"));
}

TEST_F(ExportTest, CompareWritesTheChangesSinceAnEarlierExport) {
  const std::string old_export = dir_.path() + "old.json";
  ASSERT_EQ(0, Run(MakeProject(), "Silent=TRUE LangID=ALL Export=" + old_export).status);
  // The next release: the drives' speed signal gets another text.
  ProjectPaths paths = MakeProject(
      [](tools::ProjectSources& s) {
        for (auto& sheet : s.workbook.sheets) {
          if (sheet.name == "Drives") sheet.Set(5, 3, XlsCell::Text("Speed setpoint"));
        }
      },
      "next/");
  Outcome run = Run(paths, "Silent=TRUE LangID=ALL Compare=" + old_export);
  ASSERT_EQ(0, run.status) << run.output;
  const std::string changes = ReadBytes(out_ + "Changes.htm");
  EXPECT_NE(std::string::npos, changes.find("Speed setpoint")) << changes;
  EXPECT_NE(std::string::npos, changes.find("1033/Drives_Filler.htm")) << changes;

  // A file that is no export stops the run before anything is written.
  const std::string fresh = dir_.path() + "fresh/";
  Outcome refused = Run(paths, "Silent=TRUE LangID=1033 Compare=" + paths.workbook, fresh);
  EXPECT_EQ(1, refused.status);
  EXPECT_NE(std::string::npos, refused.output.find("orvano-html: " + paths.workbook +
                                                   ": the export is truncated or not JSON"))
      << refused.output;
  EXPECT_TRUE(FilesBelow(fresh).empty());
}

// The demo's search pages, one per language, opened in headless Chromium with a query in the
// address: an address, a German word with an umlaut typed without it, and Cyrillic in capitals.
TEST_F(ExportTest, DemoSearchPagesFindRowsInEveryLanguage) {
  if (!fs_->IsFile(testing::kChromium)) {
    GTEST_SKIP() << "no " << testing::kChromium << " (Debian package chromium)";
  }
  ProjectPaths paths = MakeProject();
  Outcome run = Run(paths, "Silent=TRUE LangID=ALL Search=TRUE");
  ASSERT_EQ(0, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("Search page: " + out_ + "1049/Search.htm\n"))
      << run.output;
  EXPECT_NE(std::string::npos, ReadBytes(out_ + "Languages.htm").find("1031/Search.htm"));
  struct Query {
    std::string language;
    std::string words;
    std::string found;  // the count the page reports
    std::string shown;  // a marked cell it shows
  };
  const Query queries[] = {
      {"1033", "A104.1", "1", "<mark>A104.1</mark>"},
      {"1031", "kuhlwasser", "1", "<mark>Kühlwasser</mark>"},
      {"1049", "ЗАТОР", "2", "<mark>Затор</mark> конвейера"},
  };
  for (const Query& query : queries) {
    SCOPED_TRACE(query.language + " " + query.words);
    const std::string dom = testing::SearchedDom(out_ + query.language + "/Search.htm", query.words,
                                                 dir_.path() + "profile" + query.language);
    EXPECT_EQ(query.found, testing::RootAttribute(dom, "data-found")) << dom;
    EXPECT_NE(std::string::npos, dom.find(query.shown)) << dom;
  }
}

}  // namespace
}  // namespace orvano
