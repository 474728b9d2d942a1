#include "generation/comparison_output.h"

#include <gtest/gtest.h>

namespace orvano {
namespace {

AllocationRow Row(const std::string& address, std::vector<std::string> texts, std::size_t sheet_row,
                  const std::string& position = "1") {
  AllocationRow row{"Drives", "Filler",
                    position, {"Collection.xls", "Drives", sheet_row, 0, 0},
                    "12",     {"12", "", address},
                    {2}};
  for (std::string& text : texts) row.cells.push_back(std::move(text));
  return row;
}

AllocationPage Page(const std::string& file, std::vector<AllocationRow> rows) {
  return {file, AllocationPageKind::kSection, "Drives", "Filler", std::move(rows)};
}

struct ComparisonOutputTest : public ::testing::Test {
  Allocation old_one{{{"1033",
                       "",
                       {Page("Drives_Filler.htm",
                             {Row("A100.0", {"Speed", "4000 rpm"}, 17),
                              Row("A100.1", {"Torque"}, 18), Row("A100.3", {"Current"}, 19)})}}}};
  Allocation new_one{{{"1033",
                       "",
                       {Page("Drives_Filler.htm",
                             {Row("A100.0", {"Speed setpoint", "4000 rpm"}, 17),
                              Row("A100.1", {"Torque"}, 18), Row("A100.2", {"", "Torque"}, 19)}),
                        Page("Hoist.htm", {})}}}};
};

TEST_F(ComparisonOutputTest, ChangedRowsShowWhatDiffers) {
  AllocationRow& row = new_one.languages[0].pages[0].rows[0];
  row.cells = {"14", "", "A100.0", "Speed\t\"max\"", "", "\\"};
  row.font_class = "14";
  row.position = "2";
  row.origin = {};
  EXPECT_EQ(
      "Drives_Filler.htm [Filler, 2]: changed: position \"1\" -> \"2\", class \"12\" -> \"14\", "
      "\"Speed\" \"4000 rpm\" \"\" -> \"Speed\\t\\\"max\\\"\" \"\" \"\\\\\"",
      ComparisonLines(CompareAllocations(old_one, new_one))[0]);
}

TEST_F(ComparisonOutputTest, SeveralLanguagesArePrefixed) {
  new_one.languages[0].pages.pop_back();
  old_one.languages.push_back({"1031", "", {Page("Drives_Filler.htm", {})}});
  new_one.languages.push_back({"1031", "", {Page("Drives_Filler.htm", {Row("A1.0", {"x"}, 4)})}});
  new_one.languages.push_back({"1036", "", {}});
  old_one.languages.push_back({"1040", "", {Page("A.htm", {}), Page("B.htm", {})}});
  const std::vector<std::string> lines = ComparisonLines(CompareAllocations(old_one, new_one));
  EXPECT_EQ((std::vector<std::string>{
                "1033/Drives_Filler.htm [Filler, 1] Drives!17: changed: \"Speed\" -> \"Speed "
                "setpoint\"",
                "1033/Drives_Filler.htm [Filler, 1] Drives!19: removed: \"A100.3\" \"Current\"",
                "1033/Drives_Filler.htm [Filler, 1] Drives!19: added: \"A100.2\" \"Torque\"",
                "1031/Drives_Filler.htm [Filler, 1] Drives!4: added: \"A1.0\" \"x\"",
                "1036: added: language with 0 pages",
                "1040: removed: language with 2 pages",
                "1040/A.htm: removed: page with 0 rows",
                "1040/B.htm: removed: page with 0 rows",
            }),
            lines);
  EXPECT_EQ("1 changed, 2 added, 1 removed in 4 pages (4 languages)",
            ComparisonSummary(CompareAllocations(old_one, new_one)));
}

}  // namespace
}  // namespace orvano
