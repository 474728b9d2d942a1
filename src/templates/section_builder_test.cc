#include "templates/section_builder.h"

#include <gtest/gtest.h>

#include "app/run_context.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

struct SectionBuilderTest : public testing::RunContextTest {
  void SetUp() override {
    context.workbook.sheet_list = {{"Drives", 1}, {"standard", 0}};
    context.page.sheet_index = 1;
    context.page.machine_name = "M1";
    context.page.position = "3";
    context.description.control_type = 1;
  }
};

// A part table: row 0 empty, then `rows` (column 0 the class).
Table Part(std::vector<std::vector<Cell>> rows) {
  Table table(3, 1);
  for (auto& row : rows) table.AddRow(std::move(row));
  return table;
}

TEST_F(SectionBuilderTest, ReplacesWildcardsOutsideColumnAndRowZero) {
  Table part = Part({{"###FLD", "Pos ###FLD", "###FLD/###FLD"}, {12.0, "###MNR###OVERVIEW"}});
  part.At(1, 0) = "###FLD";
  Table out = GetHTMLFromXL(context, part);
  EXPECT_EQ("###FLD|###FLD", out.TextAt(0, 1) + "|" + out.TextAt(1, 0));
  EXPECT_EQ("Pos 3|3/3|M1", out.TextAt(1, 1) + "|" + out.TextAt(2, 1) + "|" + out.TextAt(1, 2));
  EXPECT_EQ("Pos ###FLD", part.TextAt(1, 1));  // the caller's table is not changed
}

TEST_F(SectionBuilderTest, ExpandsRangesOnlyOnTheStandardSheet) {
  const Table part = Part({{13.0, "###SDR[REJ]", "head"},
                           {13.0, "R###FLD", "###ADDR:10+1[FREJ]:ADDR"},
                           {14.0, "S", "###ADDR:20+2[FREJ]:ADDR"},
                           {13.0, "###EDR[REJ]", "###ADDR:1+1[FLD]:ADDR"}});
  {
    context.description.reject_count = 60;  // (60 - 50) / 2 + 1 = 6 repetitions of 2 rows
    Table out = GetHTMLFromXL(context, part);
    ASSERT_EQ(2u, context.build.range_blocks.size());
    const Table& block = context.build.range_blocks[1];
    ASSERT_EQ(13u, block.row_count());
    for (std::size_t k = 1; k <= 6; ++k) {
      EXPECT_EQ("13", block.TextAt(0, 2 * k - 1));
      EXPECT_EQ("R3", block.TextAt(1, 2 * k - 1));
      EXPECT_EQ(std::to_string(10 + k), block.TextAt(2, 2 * k - 1));
      EXPECT_EQ(std::to_string(20 + 2 * k), block.TextAt(2, 2 * k));
    }
    EXPECT_EQ("###SDR[REJ]1", out.TextAt(1, 1));
    EXPECT_EQ("###EDR[REJ]1", out.TextAt(1, 4));
    EXPECT_EQ("###ADDR:10+1[FREJ]:ADDR", out.TextAt(2, 2));  // inside: left for the block
    EXPECT_EQ("4", out.TextAt(2, 4));  // the end marker row is evaluated again
  }
  {
    context.description.reject_count = 50;
    Table out = GetHTMLFromXL(context, part);
    EXPECT_EQ(1u, context.build.range_blocks.size());
    EXPECT_EQ("###SDR[REJ]", out.TextAt(1, 1));
    EXPECT_EQ("###EDR[REJ]", out.TextAt(1, 4));
  }
  context.description.reject_count = 51;  // 1.5 repetitions round to 2
  GetHTMLFromXL(context, part);
  EXPECT_EQ(5u, context.build.range_blocks.at(1).row_count());
  for (int sheet : {0, -1}) {  // another sheet, or no sheet: plain text
    context.page.sheet_index = sheet;
    context.build.block_number = 5;  // kept between calls
    Table out = GetHTMLFromXL(context, part);
    EXPECT_EQ(1u, context.build.range_blocks.size());
    EXPECT_EQ("15", out.TextAt(2, 2));
  }
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(SectionBuilderTest, WarningAndFaultBlocksKeepTheirClass) {
  context.description.warning_count = 257;  // 2 repetitions
  context.description.fault_count = 258;    // 3 repetitions
  Table out = GetHTMLFromXL(context, Part({{14.0, "###SDR[WAR]"},
                                           {14.0, "W ###ADDR:0+1[FWAR]:ADDR"},
                                           {14.0, "###EDR[WAR]"},
                                           {15.0, "###SDR[ALA]"},
                                           {15.0, "A"},
                                           {15.0, "###EDR[ALA]"}}));
  ASSERT_EQ(3u, context.build.range_blocks.size());
  const Table& warnings = context.build.range_blocks[1];
  EXPECT_EQ("14|W 2|15", warnings.TextAt(0, 2) + "|" + warnings.TextAt(1, 2) + "|" +
                             context.build.range_blocks[2].TextAt(0, 3));
  EXPECT_EQ("###EDR[ALA]2", out.TextAt(1, 6));
}

TEST_F(SectionBuilderTest, RangesWithoutRowsMakeNoBlock) {
  context.description.reject_count = 60;
  // The end marker on the row after the start marker, or on the start marker's own row (no
  // wrapped row count): each reported under "GetHTMLFromXL", no block.
  for (const Table& part : {Part({{13.0, "###SDR[REJ]"}, {13.0, "###EDR[REJ]"}}),
                            Part({{13.0, "###SDR[REJ]", "###EDR[REJ]"}, {13.0, "x"}}),
                            Part({{13.0, "###SDR[REJ]###EDR[REJ]"}})}) {
    GetHTMLFromXL(context, part);
    EXPECT_EQ(1u, context.build.range_blocks.size());
    EXPECT_NE(std::string::npos, host.calls.back().text.find("GetHTMLFromXL"));
  }
  EXPECT_EQ(3u, host.CallsOf("error").size());
}

}  // namespace
}  // namespace orvano
