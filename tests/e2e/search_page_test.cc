// Opens the search page of a small hand-made allocation in headless Chromium with a query in its
// address and checks the results the page built: case and accents folded (Latin and Cyrillic),
// every word required, section and machine searched, matches marked, markup in the data shown
// as text, and the messages for no match and for a project without rows.

#include "generation/search_page.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "generation/allocation.h"
#include "search_dom.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::kChromium;
using testing::RootAttribute;
using testing::SearchedDom;

std::string Between(const std::string& dom, const std::string& open, const std::string& close) {
  const std::size_t start = dom.find(open);
  if (start == std::string::npos) return "";
  const std::size_t end = dom.find(close, start + open.size());
  return dom.substr(start + open.size(), end - start - open.size());
}

AllocationRow Row(const std::string& section, const std::string& machine,
                  std::vector<std::string> cells) {
  AllocationRow row;
  row.section = section;
  row.machine = machine;
  row.cells = std::move(cells);
  return row;
}

LanguageAllocation SampleLanguage() {
  LanguageAllocation language;
  language.language = "1031";
  language.pages = {
      {"Drives_Filler.htm",
       AllocationPageKind::kSection,
       "Drives",
       "Filler",
       {Row("Drives", "Filler", {"12", "", "A104.1", "Übersicht Förderer"}),
        Row("Drives", "Filler", {"12", "", "A104.2", "Motor stop"}),
        Row("Drives", "Filler", {"12", "", "B1", "<b>bold</b> & \"x\" </script> 😀"})}},
      {"Drives_Filler_d.htm",
       AllocationPageKind::kDetail,
       "Drives",
       "Filler",
       {Row("Drives", "Filler", {"12", "", "A104.1", "Übersicht Förderer", "detail"})}},
      {"Привод.htm",
       AllocationPageKind::kSection,
       "Привод",
       "",
       {Row("Привод", "", {"12", "", "E2.0", "Двигатель стоп"}),
        Row("Привод", "", {"12", "", "E2.1", "Ёмкость"})}},
      {"Overview.htm",
       AllocationPageKind::kOverview,
       "",
       "",
       {Row("Standard", "", {"11", "", "Motor overview"})}},
  };
  return language;
}

void WriteSearchFiles(const LanguageAllocation& language, const std::string& folder) {
  testing::MakeFolders(folder);
  for (const GeneratedFile& file : SearchPageFiles(language)) {
    testing::WriteBytes(folder + file.name, file.bytes);
  }
}

TEST(SearchPageInBrowser, FindsMarksAndLinksRows) {
  auto fs = NewPosixFileSystem();
  if (!fs->IsFile(kChromium)) GTEST_SKIP() << "no " << kChromium << " (Debian package chromium)";
  testing::ScopedTempDir dir;
  const std::string folder = dir.path() + "1031/";
  WriteSearchFiles(SampleLanguage(), folder);
  const std::string empty_folder = dir.path() + "empty/";
  WriteSearchFiles(LanguageAllocation{}, empty_folder);

  struct Load {
    std::string folder;
    std::string query;
  };
  const std::vector<Load> loads = {
      {folder, "UBERSICHT"},         {folder, "привод ЕМКОСТЬ"}, {folder, "filler MOTOR"},
      {folder, "<b>bold </script>"}, {folder, "motor nothing"},  {empty_folder, "motor"},
  };
  // Two browsers at a time: each spends most of its second starting.
  std::vector<std::string> doms(loads.size());
  for (std::size_t k = 0; k < loads.size(); k += 2) {
    std::vector<std::future<std::string>> running;
    for (std::size_t j = k; j < loads.size() && j < k + 2; ++j) {
      running.push_back(std::async(std::launch::async, SearchedDom,
                                   loads[j].folder + kSearchPageName, loads[j].query,
                                   dir.path() + "profile" + std::to_string(j)));
    }
    for (std::size_t j = 0; j < running.size(); ++j) doms[k + j] = running[j].get();
  }
  for (std::size_t k = 0; k < loads.size(); ++k) {
    ASSERT_NE(std::string::npos, doms[k].find("data-ready-ms")) << loads[k].query << "\n"
                                                                << doms[k];
  }

  {
    SCOPED_TRACE("case and accents");
    const std::string& dom = doms[0];
    EXPECT_EQ("1", RootAttribute(dom, "data-found"));
    EXPECT_NE(std::string::npos, dom.find("1 row found.")) << dom;
    EXPECT_NE(std::string::npos, dom.find("<span class=\"cell\">A104.1</span><span class=\"cell\">"
                                          "<mark>Übersicht</mark> Förderer</span>"))
        << dom;
    // Grouped under section and machine, linking the page and its detail twin.
    EXPECT_NE(std::string::npos, dom.find("<h2>Drives · Filler</h2>")) << dom;
    EXPECT_NE(std::string::npos, dom.find("<a href=\"Drives_Filler.htm\">Drives_Filler.htm</a>"));
    EXPECT_NE(std::string::npos, dom.find("<a href=\"Drives_Filler_d.htm\">Details</a>"));
    EXPECT_EQ(std::string::npos, dom.find("detail</span>")) << "the detail page is not searched";
  }
  {
    SCOPED_TRACE("Cyrillic, one word in the section, \"Ё\" found by \"Е\"");
    const std::string& dom = doms[1];
    EXPECT_EQ("1", RootAttribute(dom, "data-found"));
    EXPECT_NE(std::string::npos, dom.find("<h2><mark>Привод</mark></h2>")) << dom;
    EXPECT_NE(std::string::npos, dom.find("<mark>Ёмкость</mark>")) << dom;
    EXPECT_NE(std::string::npos, dom.find("href=\"%D0%9F%D1%80%D0%B8%D0%B2%D0%BE%D0%B4.htm\""))
        << dom;
  }
  {
    SCOPED_TRACE("every word, one in the machine");
    const std::string& dom = doms[2];
    EXPECT_EQ("1", RootAttribute(dom, "data-found"));
    EXPECT_NE(std::string::npos, dom.find("<h2>Drives · <mark>Filler</mark></h2>")) << dom;
    EXPECT_NE(std::string::npos, dom.find("<mark>Motor</mark> stop")) << dom;
    EXPECT_EQ(std::string::npos, dom.find("Motor overview")) << "lacks the word filler";
  }
  {
    SCOPED_TRACE("markup stays text");
    const std::string& dom = doms[3];
    EXPECT_EQ("1", RootAttribute(dom, "data-found"));
    EXPECT_NE(std::string::npos, dom.find("<mark>&lt;b&gt;bold</mark>&lt;/b&gt; &amp; \"x\" "
                                          "<mark>&lt;/script&gt;</mark> 😀"))
        << dom;
    EXPECT_EQ(std::string::npos, Between(dom, "<div id=\"results\">", "</main>").find("<b>"));
  }
  {
    SCOPED_TRACE("no match");
    const std::string& dom = doms[4];
    EXPECT_EQ("0", RootAttribute(dom, "data-found"));
    EXPECT_NE(std::string::npos, dom.find("No rows match.")) << dom;
    EXPECT_EQ("", Between(dom, "<div id=\"results\">", "</div>"));
  }
  {
    SCOPED_TRACE("no rows");
    EXPECT_NE(std::string::npos, doms[5].find("This project has no rows to search.")) << doms[5];
  }
}

}  // namespace
}  // namespace orvano
