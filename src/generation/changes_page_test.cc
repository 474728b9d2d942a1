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

  std::string Text(bool language_folders = false) {
    return ChangesPageText(old_one, new_one, language_folders);
  }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(ChangesPageTest, CountsEveryLanguageAtTheTop) {
  const std::string page = Text();
  EXPECT_EQ(0U, page.find("<!DOCTYPE html>\n"));
  EXPECT_TRUE(Has(page, "<meta charset=\"utf-8\">"));
  EXPECT_TRUE(Has(page, "<p>1 changed, 1 added, 1 removed in 3 pages (1 language)</p>"));
  EXPECT_TRUE(Has(page,
                  "<tr><td><a href=\"#language-1033\">1033</a></td><td class=\"number\">1</td>"
                  "<td class=\"number\">1</td><td class=\"number\">1</td>"
                  "<td class=\"number\">3</td></tr>"))
      << page;
  // A language without differences is counted, with nothing to link to.
  EXPECT_TRUE(Has(page, "<tr><td>1031</td><td class=\"number\">0</td>")) << page;
  EXPECT_FALSE(Has(page, "id=\"language-1031\""));
  EXPECT_LT(page.find("<table>"), page.find("<section id=\"language-1033\">"));
  // Nothing is loaded from elsewhere.
  for (const char* outside : {"<script", "<link", "src=", "url(", "http:", "https:"}) {
    EXPECT_FALSE(Has(page, outside)) << outside;
  }
}

TEST_F(ChangesPageTest, ChangedCellsAreMarkedAndTextsEscaped) {
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
  EXPECT_FALSE(Has(page, "Torque"));  // unchanged rows are not shown
}

TEST_F(ChangesPageTest, NewPagesAreLinkedRemovedOnesNamed) {
  std::string page = Text();
  EXPECT_TRUE(Has(page, "<h3><a href=\"Drives_Filler.htm\">Drives_Filler.htm</a></h3>"));
  EXPECT_TRUE(Has(page,
                  "<h3><a href=\"a%26b%20%231.htm\">a&amp;b #1.htm</a> <span "
                  "class=\"note\">(new page)</span></h3>"))
      << page;
  EXPECT_TRUE(Has(page, "<h3>Gone.htm <span class=\"note\">(removed page)</span></h3>"));
  page = Text(true);
  EXPECT_TRUE(Has(page, "<h3><a href=\"1033/Drives_Filler.htm\">Drives_Filler.htm</a></h3>"));
}

TEST_F(ChangesPageTest, RowsAreGroupedByMachine) {
  old_one.languages[0].pages[0].rows.push_back(Row("Capper", "A200.0", "Level", 30));
  new_one.languages[0].pages[0].rows.insert(new_one.languages[0].pages[0].rows.begin(),
                                            Row("Capper", "A200.1", "Pressure", 29));
  const std::string page = Text();
  const std::size_t filler = page.find("<h4>Filler</h4>");
  const std::size_t capper = page.find("<h4>Capper</h4>");
  ASSERT_NE(std::string::npos, filler);
  ASSERT_NE(std::string::npos, capper);
  // The first change is of the Capper; its table holds the added and the removed row.
  EXPECT_LT(capper, filler);
  const std::size_t pressure = page.find("Pressure");
  const std::size_t level = page.find("Level");
  EXPECT_LT(capper, pressure);
  EXPECT_LT(pressure, filler);
  EXPECT_LT(level, filler);
  EXPECT_LT(filler, page.find("Speed setpoint"));
}

}  // namespace
}  // namespace orvano
