// The allocation as data from real runs: the export lists exactly the rows the pages show, is
// valid by its schema and the same whatever the thread count, is written whole or not at all,
// and is compared with the next release's. The demo's pages and search pages opened in headless
// Chromium; screenshots are kept in the build folder (e2e-artefacts/) for a person to look at.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "demo_run.h"
#include "headless_chromium.h"
#include "support/text_codec.h"

namespace orvano {
namespace {

using nlohmann::json;
using testing::Outcome;
using testing::ReadBytes;
using tools::ProjectPaths;

class ExportTest : public testing::DemoRunTest {};

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

TEST_F(ExportTest, DemoExportListsExactlyTheRowsEveryPageShowsWhateverTheJobs) {
  ProjectPaths paths = MakeProject();
  const std::string export_path = dir_.path() + "rows.json";
  const std::string four = dir_.path() + "four.json";
  Outcome run = Run(paths, "Silent=TRUE LangID=ALL Jobs=1 Export=" + export_path);
  ASSERT_EQ(0, run.status) << run.output;
  ASSERT_EQ(0, Run(paths, "Silent=TRUE LangID=ALL Jobs=4 Export=" + four, out_ + "4/").status);
  EXPECT_EQ(ReadBytes(export_path), ReadBytes(four));
  // Run again, the same export is left as it is.
  const auto two_days_ago = std::filesystem::last_write_time(four) - std::chrono::hours(48);
  std::filesystem::last_write_time(four, two_days_ago);
  ASSERT_EQ(0, Run(paths, "Silent=TRUE LangID=ALL Jobs=4 Export=" + four, out_ + "4/").status);
  EXPECT_EQ(two_days_ago, std::filesystem::last_write_time(four));
  EXPECT_EQ(ReadBytes(export_path), ReadBytes(four));
  ASSERT_TRUE(testing::MatchesSchema("export", export_path));
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

  // A check writes the export and nothing else.
  const std::string csv = dir_.path() + "rows.CSV";
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
  EXPECT_EQ(1 + 2 * (14 + 8 + 4 + 3) + 4, std::count(text.begin(), text.end(), '\n'));
}

// An export that cannot be written fails the run after the pages, leaving them and no export;
// Compare= lists the changes since an earlier export on Changes.htm.
TEST_F(ExportTest, ExportsAreWrittenWholeAndComparedWithTheNextRelease) {
  const std::string taken = dir_.path() + "taken.json";
  testing::MakeFolders(taken + "/");
  Outcome unwritable = Run(MakeProject(), "Silent=TRUE LangID=1033 Export=" + taken);
  EXPECT_EQ(1, unwritable.status);
  EXPECT_NE(std::string::npos, unwritable.output.find(taken)) << unwritable.output;
  EXPECT_TRUE(fs_->IsFile(out_ + "Drives_Filler.htm"));
  EXPECT_TRUE(FilesBelow(taken).empty());

  const std::string old_export = dir_.path() + "old.json";
  ASSERT_EQ(
      0, Run(MakeProject(), "Silent=TRUE LangID=ALL Export=" + old_export, out_ + "old/").status);
  // The next release: the drives' speed signal gets another text.
  ProjectPaths paths = MakeProject(
      [](tools::ProjectSources& s) {
        for (auto& sheet : s.workbook.sheets) {
          if (sheet.name == "Drives") sheet.Set(5, 3, XlsCell::Text("Speed setpoint"));
        }
      },
      "next/");
  Outcome run = Run(paths, "Silent=TRUE LangID=ALL Compare=" + old_export, out_ + "next/");
  ASSERT_EQ(0, run.status) << run.output;
  const std::string changes = ReadBytes(out_ + "next/Changes.htm");
  EXPECT_NE(std::string::npos, changes.find("Speed setpoint")) << changes;
  EXPECT_NE(std::string::npos, changes.find("1033/Drives_Filler.htm")) << changes;
}

// The demo, its section "Utilities" named "Medien Ö", opened in headless Chromium: the frame page
// loads the menu and the main page and a section page loads, without a missing file. Each
// language's search page, with a query in the address, finds rows by address and by words in
// any cell, section or machine (every word required, detail pages left out), folding case and
// accents; it marks the matches, shows the data's markup as text and links the pages by their
// encoded names.
TEST_F(ExportTest, DemoPagesLoadInChromiumAndTheirSearchFindsRowsInEveryLanguage) {
  if (!fs_->IsFile(testing::kChromium)) {
    GTEST_SKIP() << "no " << testing::kChromium << " (Debian package chromium)";
  }
  ProjectPaths paths = MakeProject([](tools::ProjectSources& s) {
    const std::string old_text = "Name=Utilities";
    s.orvano_doc.replace(s.orvano_doc.find(old_text), old_text.size(), "Name=Medien Ö");
    for (auto& sheet : s.workbook.sheets) {
      if (sheet.name == "Utilities") sheet.Set(0, 0, XlsCell::Text("Medien Ö"));
    }
  });
  Outcome run = Run(paths, "Silent=TRUE LangID=ALL Search=TRUE");
  ASSERT_EQ(0, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("Search page: " + out_ + "1049/Search.htm\n"))
      << run.output;
  EXPECT_NE(std::string::npos, ReadBytes(out_ + "Languages.htm").find("1031/Search.htm"));

  const std::string artefacts = std::string(ORVANO_BINARY_DIR) + "/e2e-artefacts/";
  testing::MakeFolders(artefacts);
  for (const std::string page : {"Index.htm", "Drives_Filler.htm"}) {
    SCOPED_TRACE(page);
    const std::string png = artefacts + "demo-" + page + ".png";
    std::remove(png.c_str());
    std::set<std::string> names;
    for (const std::string& file :
         testing::LoadedFiles(out_ + "1049/" + page, png, dir_.path() + "profile-" + page)) {
      EXPECT_TRUE(fs_->IsFile(file)) << "missing file: " << file;
      names.insert(FileNameOf(file));
    }
    EXPECT_TRUE(names.count(page));
    if (page == "Index.htm") {
      for (const char* name : {"Brenk.gif", "Menu.htm", "Main.htm"}) {
        EXPECT_TRUE(names.count(name)) << name;
      }
    }
    EXPECT_TRUE(fs_->IsFile(png)) << "no screenshot";
  }

  struct Query {
    std::string language;
    std::string words;
    std::string found;               // the count the page reports
    std::vector<std::string> shown;  // parts of the results it shows
  };
  const std::vector<Query> queries = {
      {"1033", "A104.1", "1", {"<mark>A104.1</mark>"}},
      {"1031", "kuhlwasser", "1", {"<mark>Kühlwasser</mark>"}},
      {"1049", "ЗАТОР", "2", {"<mark>Затор</mark> конвейера"}},
      {"1049", "счетчик", "1", {"<mark>Счётчик</mark> отбраковки"}},
      // The other machine's rows lack "filler"; the detail page's rows are not counted.
      {"1033",
       "filler SPEED",
       "2",
       {"<h2>Drives · <mark>Filler</mark></h2><p class=\"pages\"><a href=\"Drives_Filler.htm\">"
        "Drives_Filler.htm</a><a href=\"Drives_Filler_d.htm\">Details</a>",
        "<span class=\"cell\">A100.0</span><span class=\"cell\"><mark>Speed</mark></span>"}},
      {"1031",
       "MEDIEN <b>",
       "1",
       {"<h2><mark>Medien</mark> Ö</h2><p class=\"pages\"><a href=\"Medien%20%C3%96.htm\">",
        "Druckluft <mark>&lt;b&gt;</mark>ein&lt;/b&gt;</span>"}},
      {"1033", "speed nothing", "0", {"No rows match.", "<div id=\"results\"></div>"}},
  };
  // Two browsers at a time: each spends most of its time starting.
  std::vector<std::string> doms(queries.size());
  for (std::size_t k = 0; k < queries.size(); k += 2) {
    std::vector<std::future<std::string>> running;
    for (std::size_t j = k; j < queries.size() && j < k + 2; ++j) {
      running.push_back(std::async(std::launch::async, testing::SearchedDom,
                                   out_ + queries[j].language + "/Search.htm", queries[j].words,
                                   dir_.path() + "profile" + std::to_string(j)));
    }
    for (std::size_t j = 0; j < running.size(); ++j) doms[k + j] = running[j].get();
  }
  for (std::size_t k = 0; k < queries.size(); ++k) {
    SCOPED_TRACE(queries[k].language + " " + queries[k].words);
    EXPECT_EQ(queries[k].found, testing::RootAttribute(doms[k], "data-found")) << doms[k];
    for (const std::string& part : queries[k].shown) {
      EXPECT_NE(std::string::npos, doms[k].find(part)) << part << "\n" << doms[k];
    }
  }
}

}  // namespace
}  // namespace orvano
