#include "generation/search_page.h"

#include <gtest/gtest.h>

#include "generation/allocation.h"

namespace orvano {
namespace {

AllocationRow Row(const std::string& section, const std::string& machine,
                  std::vector<std::string> cells) {
  AllocationRow row;
  row.section = section;
  row.machine = machine;
  row.font_class = cells.empty() ? "" : cells[0];
  row.cells = std::move(cells);
  return row;
}

AllocationPage Page(const std::string& file, AllocationPageKind kind, const std::string& section,
                    const std::string& machine, std::vector<AllocationRow> rows) {
  return {file, kind, section, machine, std::move(rows)};
}

// The text of the first run's rows, as written between its quotes.
std::string RowsOfFirstRun(const std::string& index) {
  const std::string opening = "\n[0,0,\"";
  const std::size_t start = index.find(opening);
  if (start == std::string::npos) return "(no run)";
  const std::size_t end = index.find("\"]", start + opening.size());
  return index.substr(start + opening.size(), end - start - opening.size());
}

// The rows of the index of one section page holding one row with the cells "12" and `cell`.
std::string IndexedCell(const std::string& cell) {
  LanguageAllocation language;
  language.pages.push_back(
      Page("P.htm", AllocationPageKind::kSection, "S", "", {Row("S", "", {"12", cell})}));
  return RowsOfFirstRun(SearchIndexText(language));
}

TEST(SearchIndex, ListsRunsPagesAndGroupsOnce) {
  LanguageAllocation language;
  language.language = "1033";
  language.pages = {
      Page("Standard.htm", AllocationPageKind::kSection, "Standard", "",
           {Row("Standard", "", {"11", "", "Standard signals"}),
            Row("Standard", "", {"12", "", "E1.0", "Start"})}),
      Page("Standard_d.htm", AllocationPageKind::kDetail, "Standard", "",
           {Row("Standard", "", {"12", "", "E1.0", "Start", "detail only"})}),
      Page("Drives_Filler.htm", AllocationPageKind::kSection, "Drives", "Filler",
           {Row("Drives", "Filler", {"12", "", "A104.1", "", "Strom"})}),
      Page("Drives_Filler_d.htm", AllocationPageKind::kDetail, "Drives", "Filler",
           {Row("Drives", "Filler", {"12", "", "A104.1", "", "Strom"})}),
      Page("Overview.htm", AllocationPageKind::kOverview, "", "",
           {Row("Standard", "", {"12", "", "E1.0"}), Row("Standard", "", {"12", "", "E1.1"}),
            Row("Drives", "Filler", {"11", "", "Drives"})}),
  };
  EXPECT_EQ(
      "window.orvanoSearchIndex = {\n\"runs\": [\n"
      "[0,0,\"Standard signals\x1e"
      "E1.0\x1fStart\"],\n[1,1,\"A104.1\x1fStrom\"],\n[2,0,\"E1.0\x1e"
      "E1.1\"],\n[2,1,\"Drives\"]\n],\n"
      "\"pages\": [\n[\"Standard.htm\",\"Standard_d.htm\"],\n"
      "[\"Drives_Filler.htm\",\"Drives_Filler_d.htm\"],\n[\"Overview.htm\",\"\"]\n],\n"
      "\"groups\": [\n[\"Standard\",\"\"],\n[\"Drives\",\"Filler\"]\n]\n};\n",
      SearchIndexText(language));
}

TEST(SearchIndex, LinksEachSectionPageToItsDetailTwin) {
  // Names longer than a short string's inline buffer, twins in another order, one page without,
  // and an overview page of the same section and machine, which has none.
  const std::string section = "Drives of every machine on the line";
  const std::string machines[] = {"Filler of the first hall", "Capper of the first hall",
                                  "Labeller of the second hall"};
  LanguageAllocation language;
  for (const std::string& machine : machines) {
    language.pages.push_back(Page(machine + ".htm", AllocationPageKind::kSection, section, machine,
                                  {Row(section, machine, {"12", "", "x"})}));
  }
  language.pages.push_back(
      Page("Third_d.htm", AllocationPageKind::kDetail, section, machines[2], {}));
  language.pages.push_back(
      Page("First_d.htm", AllocationPageKind::kDetail, section, machines[0], {}));
  language.pages.push_back(Page("Overview.htm", AllocationPageKind::kOverview, section, machines[0],
                                {Row(section, machines[0], {"12", "", "y"})}));
  const std::string index = SearchIndexText(language);
  EXPECT_NE(std::string::npos, index.find("\"pages\": [\n"
                                          "[\"Filler of the first hall.htm\",\"First_d.htm\"],\n"
                                          "[\"Capper of the first hall.htm\",\"\"],\n"
                                          "[\"Labeller of the second hall.htm\",\"Third_d.htm\"],\n"
                                          "[\"Overview.htm\",\"\"]\n]"))
      << index;
}

// Pages without rows, rows with no text shown and detail pages alone add nothing.
TEST(SearchIndex, LeavesOutRowsAndPagesWithNothingShown) {
  LanguageAllocation language;
  language.pages = {
      Page("Empty.htm", AllocationPageKind::kSection, "Empty", "", {}),
      Page("Blank.htm", AllocationPageKind::kSection, "Blank", "",
           {Row("Blank", "", {"11"}), Row("Blank", "", {"12", "", ""})}),
      Page("A_d.htm", AllocationPageKind::kDetail, "A", "", {Row("A", "", {"12", "", "text"})}),
  };
  EXPECT_EQ("window.orvanoSearchIndex = {\n\"runs\": [],\n\"pages\": [],\n\"groups\": []\n};\n",
            SearchIndexText(language));
  language.pages.push_back(Page("Only.htm", AllocationPageKind::kSection, "Only", "",
                                {Row("Only", "", {"12", "", ""}),
                                 Row("Only", "", {"12", "", "", "x"}), Row("Only", "", {"12"})}));
  const std::string index = SearchIndexText(language);
  EXPECT_EQ("x", RowsOfFirstRun(index));
  EXPECT_NE(std::string::npos, index.find("\"pages\": [\n[\"Only.htm\",\"\"]\n]")) << index;
}

// Texts go into script string literals: markup, quotes, line ends and control characters are
// escaped ("<" always, so that "</script>" and "<!--" cannot occur), the separators of rows
// and cells become spaces, and bytes that are not UTF-8 become U+FFFD.
TEST(SearchIndex, WritesEveryTextAsAnEscapedScriptString) {
  const std::pair<std::string, std::string> cases[] = {
      {"</script><b>&amp;\"x\"'\\n<!--", "\\x3c/script>\\x3cb>&amp;\\\"x\\\"'\\\\n\\x3c!--"},
      {std::string("a\r\nb\tc\0d\x7f", 9) + "\u2028e\u2029",
       "a\\r\\nb\\tc\\x00d\\x7f\\u2028e\\u2029"},
      {"Übersicht Привод 😀 ẞ", "Übersicht Привод 😀 ẞ"},
      {"a\x1e"
       "b\x1f"
       "c",
       "a b c"},
      {"a\x80z", "a\\ufffdz"},                               // a stray continuation byte
      {"a\xC3", "a\\ufffd"},                                 // cut at the end
      {"a\xC3z", "a\\ufffdz"},                               // cut before an ASCII byte
      {"\xC0\xAF", "\\ufffd\\ufffd"},                        // overlong "/"
      {"\xE0\x80\xAF", "\\ufffd\\ufffd\\ufffd"},             // overlong in three bytes
      {"\xED\xA0\x80", "\\ufffd\\ufffd\\ufffd"},             // a surrogate
      {"\xF4\x90\x80\x80", "\\ufffd\\ufffd\\ufffd\\ufffd"},  // beyond U+10FFFF
      {"\xFF", "\\ufffd"},
      {"\xF0\x9F\x98\x80\xE2\x80\xA8", "\xF0\x9F\x98\x80\\u2028"},
  };
  for (const auto& [cell, written] : cases) EXPECT_EQ(written, IndexedCell(cell)) << written;
  // In names the separators are escaped.
  LanguageAllocation language;
  language.pages.push_back(Page("P\x1e.htm", AllocationPageKind::kSection, "S\x1f", "M\x1e",
                                {Row("S\x1f", "M\x1e", {"12", "d"})}));
  const std::string index = SearchIndexText(language);
  EXPECT_NE(std::string::npos, index.find("[\"P\\x1e.htm\",\"\"]")) << index;
  EXPECT_NE(std::string::npos, index.find("[\"S\\x1f\",\"M\\x1e\"]")) << index;
}

TEST(SearchPage, LoadsItsIndexFromBesideItAndNothingElse) {
  const std::string page = SearchPageText();
  EXPECT_EQ(0u, page.find("<!DOCTYPE html>"));
  EXPECT_NE(std::string::npos, page.find(std::string("<script src=\"") + kSearchIndexName + "\">"));
  for (const char* outside : {"http", "<link", "@import", "url(", "fetch(", "<iframe", "<img"}) {
    EXPECT_EQ(std::string::npos, page.find(outside)) << outside;
  }
  EXPECT_EQ(page.find("src="), page.rfind("src="));

  LanguageAllocation language;
  const std::vector<GeneratedFile> files = SearchPageFiles(language);
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ("Search.htm", files[0].name);
  EXPECT_EQ(page, files[0].bytes);
  EXPECT_EQ("SearchIndex.js", files[1].name);
  EXPECT_EQ(SearchIndexText(language), files[1].bytes);
}

}  // namespace
}  // namespace orvano
