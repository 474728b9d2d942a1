#include "generation/changes_page.h"

#include <gtest/gtest.h>

namespace orvano {
namespace {

AllocationRow Row(const std::string& machine, const std::string& address, const std::string& text,
                  std::size_t sheet_row) {
  return {"Drives", machine,
          "1",      {"Collection.xls", "Drives", sheet_row, 0, 0},
          "12",     {"12", "", address, text},
          {2}};
}

AllocationPage Page(const std::string& file, std::vector<AllocationRow> rows) {
  return {file, AllocationPageKind::kSection, "Drives", "Filler", std::move(rows)};
}

struct ChangesPageTest : public ::testing::Test {
  Allocation old_one{{{"1033",
                       "",
                       {Page("Drives_Filler.htm", {Row("Filler", "A100.0", "Speed", 17),
                                                   Row("Filler", "A100.1", "Torque", 18)}),
                        Page("Gone.htm", {Row("Filler", "A1.0", "x", 3)})}},
                      {"1031", "", {Page("Drives_Filler.htm", {})}}}};
  Allocation new_one{{{"1033",
                       "",
                       {Page("Drives_Filler.htm", {Row("Filler", "A100.0", "Speed setpoint", 17),
                                                   Row("Filler", "A100.1", "Torque", 18)}),
                        Page("a&b #1.htm", {Row("Filler", "A9.0", "<b>bold</b>", 4)})}},
                      {"1031", "", {Page("Drives_Filler.htm", {})}}}};

  std::string Text() { return ChangesPageText(old_one, new_one, false); }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The counts of every language at the top, a language without differences with nothing to
// link to; nothing loaded from elsewhere.
TEST_F(ChangesPageTest, CountsEveryLanguageAtTheTop) {
  const std::string page = Text();
  EXPECT_EQ(0U, page.find("<!DOCTYPE html>\n"));
  EXPECT_TRUE(Has(page, "<p>1 changed, 1 added, 1 removed in 3 pages (1 language)</p>"));
  EXPECT_TRUE(Has(page,
                  "<tr><td><a href=\"#language-1033\">1033</a></td><td class=\"number\">1</td>"
                  "<td class=\"number\">1</td><td class=\"number\">1</td>"
                  "<td class=\"number\">3</td></tr>"))
      << page;
  EXPECT_TRUE(Has(page, "<tr><td>1031</td><td class=\"number\">0</td>")) << page;
  EXPECT_FALSE(Has(page, "id=\"language-1031\""));
  EXPECT_LT(page.find("<table>"), page.find("<section id=\"language-1033\">"));
  for (const char* outside : {"<script", "<link", "src=", "url(", "http:", "https:"}) {
    EXPECT_FALSE(Has(page, outside)) << outside;
  }
}

// Changed cells are marked, texts and page names escaped; unchanged rows are not shown. New pages
// are linked, removed ones named.
TEST_F(ChangesPageTest, ShowsTheChangedRowsOfEachPage) {
  const std::string page = Text();
  EXPECT_TRUE(Has(page,
                  "<tr class=\"changed\"><td>1</td><td>Drives!17</td><td class=\"kind\">changed"
                  "</td><td><span class=\"cell\">A100.0</span> <del><span class=\"cell\">Speed"
                  "</span></del></td><td><span class=\"cell\">A100.0</span> <ins><span "
                  "class=\"cell\">Speed setpoint</span></ins></td></tr>"))
      << page;
  EXPECT_TRUE(Has(page, "<span class=\"cell\">&lt;b&gt;bold&lt;/b&gt;</span>"));
  EXPECT_FALSE(Has(page, "<b>"));
  EXPECT_TRUE(Has(page, "<tr class=\"removed\"><td>1</td><td>Drives!3</td>"));
  EXPECT_FALSE(Has(page, "Torque"));
  EXPECT_TRUE(Has(page,
                  "<h3><a href=\"a%26b%20%231.htm\">a&amp;b #1.htm</a> <span "
                  "class=\"note\">(new page)</span></h3>"))
      << page;
  EXPECT_TRUE(Has(page, "<h3>Gone.htm <span class=\"note\">(removed page)</span></h3>"));
}

TEST_F(ChangesPageTest, RowsAreGroupedByMachine) {
  old_one.languages[0].pages[0].rows.push_back(Row("Capper", "A200.0", "Level", 30));
  new_one.languages[0].pages[0].rows.insert(new_one.languages[0].pages[0].rows.begin(),
                                            Row("Capper", "A200.1", "Pressure", 29));
  const std::string page = Text();
  const std::size_t filler = page.find("<h4>Filler</h4>");
  const std::size_t capper = page.find("<h4>Capper</h4>");
  ASSERT_NE(std::string::npos, filler);
  // The first change is of the Capper; its table holds the added and the removed row.
  EXPECT_LT(capper, page.find("Pressure"));
  EXPECT_LT(page.find("Pressure"), filler);
  EXPECT_LT(page.find("Level"), filler);
  EXPECT_LT(filler, page.find("Speed setpoint"));
}

}  // namespace
}  // namespace orvano
